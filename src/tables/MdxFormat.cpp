// The production index as we write it. Where published descriptions of the format disagree or
// are silent, we write what the dBASE-made files described by others show, and keep every
// redundant field consistent:
// - the version-2 (dBase IV) layout of header and tag table, which every reader documents;
// - header byte 30 = tags in use + 1, and the tag header's byte 11 = the language driver ID,
//   as seen in dBASE's own files;
// - tag header bytes 4-7 = the pages of the whole file; bytes 248/252 = first and last leaf;
//   byte 246 = 1 once the tag has keys;
// - numeric keys count every digit of a whole number, trailing zeros included; an empty
//   number is indexed as 0;
// - leaves are filled to the brim, interior levels split evenly, so no node is ever left with
//   one child.
#include "tables/MdxFormat.h"

#include "tables/Bytes.h"
#include "tables/EngineError.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <unordered_set>

namespace conv::mdx
{
namespace
{

using bytes::u;

[[noreturn]] void corrupt(const std::filesystem::path& file)
{
    throwEngine(engine::kCorruptIndex, file);
}

std::string cString(const char* p, std::size_t max)
{
    std::size_t n = 0;
    while (n < max && p[n] != '\0')
        ++n;
    std::string s(p, n);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

void putDate(unsigned char* p)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (const std::tm* local = std::localtime(&now)) // one thread only: the shared result is ours
        tm = *local;
    p[0] = static_cast<unsigned char>(tm.tm_year);
    p[1] = static_cast<unsigned char>(tm.tm_mon + 1);
    p[2] = static_cast<unsigned char>(tm.tm_mday);
}

TagInfo parseTag(std::string_view bytes, const char* entry, unsigned char version, const std::filesystem::path& file)
{
    TagInfo t;
    t.headerPage = bytes::le32(u(entry) + kEntHeaderPage);
    if (version == kVersion7) {
        t.name = cString(entry + kEntName, kEnt3NameLength);
        t.keyFormat = u(entry)[kEnt3KeyFormat];
    } else {
        t.name = cString(entry + kEntName, kTagNameLength);
        t.keyFormat = u(entry)[kEntKeyFormat];
    }
    const std::uint64_t headerAt = static_cast<std::uint64_t>(t.headerPage) * kPageSize;
    if (t.headerPage < kHeaderPages || headerAt + kPageSize > bytes.size() || t.name.empty())
        corrupt(file);
    const char* h = bytes.data() + headerAt;
    t.rootPage = bytes::le32(u(h) + kTagRoot);
    t.keyFormat = u(h)[kTagKeyFormat];
    t.keyType = h[kTagKeyType];
    t.keyLength = bytes::le16(u(h) + kTagKeyLength);
    t.maxKeys = bytes::le16(u(h) + kTagMaxKeys);
    t.itemLength = bytes::le16(u(h) + kTagItemLength);
    t.expression = cString(h + kTagExpression, kTagExpressionLength);
    if (t.keyLength == 0 || t.itemLength < t.keyLength + 4 || t.maxKeys == 0 ||
        kNodeHeader + t.maxKeys * t.itemLength + 4 > kBlockSize)
        corrupt(file);
    if (t.keyType != 'C' && t.keyType != 'N' && t.keyType != 'D')
        corrupt(file);
    return t;
}

} // namespace

std::size_t itemLengthFor(std::size_t keyLength)
{
    return (keyLength + 4 + 3) / 4 * 4;
}

std::size_t maxKeysFor(std::size_t itemLength)
{
    return (kBlockSize - 12) / itemLength;
}

FileInfo parse(std::string_view bytes, const std::filesystem::path& file)
{
    if (bytes.size() < kHeaderPages * kPageSize)
        corrupt(file);
    const unsigned char* p = u(bytes.data());
    FileInfo info;
    info.version = p[kOffVersion];
    if (info.version != kVersionIV && info.version != kVersion7)
        corrupt(file);
    info.dbfName = cString(bytes.data() + kOffDbfName, kDbfNameLength);
    info.language = p[kOffLanguage];
    info.totalPages = bytes::le32(p + kOffTotalPages);
    const std::size_t pagesPerBlock = bytes::le16(p + kOffPagesPerBlock);
    const std::size_t blockSize = bytes::le16(p + kOffBlockSize);
    // Our walker reads nodes as blocks of this size; any other block size is refused here.
    if (pagesPerBlock != kPagesPerBlock || blockSize != kBlockSize)
        corrupt(file);
    const std::size_t tags = bytes::le16(p + kOffTagsInUse);
    std::size_t stride = p[kOffEntryLength];
    if (tags > kMaxTags || stride < kTagEntryLength)
        corrupt(file);
    const std::size_t first = info.version == kVersion7 ? kPageSize + stride : kTagTableStart;
    const std::size_t entrySpan = info.version == kVersion7 ? std::max<std::size_t>(stride, kEnt3KeyType + 1) : stride;
    for (std::size_t i = 0; i < tags; ++i) {
        const std::size_t at = first + i * stride;
        if (at + entrySpan > bytes.size() || at + entrySpan > kHeaderPages * kPageSize)
            corrupt(file);
        info.tags.push_back(parseTag(bytes, bytes.data() + at, info.version, file));
    }
    return info;
}

std::string numericKey(double value)
{
    std::string key(kNumericKeyLength, '\0');
    unsigned char* k = u(key.data());
    if (value == 0 || !std::isfinite(value)) {
        k[0] = 0x34;
        k[1] = 0x01;
        return key;
    }
    // Significant digits and the decimal exponent; an integer keeps its trailing zeros.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.19e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    const char* e = buf + 2;
    while (*e >= '0' && *e <= '9')
        digits += *e++;
    const int exponent = std::atoi(e + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (std::floor(value) == value && exponent + 1 > static_cast<int>(digits.size()) && exponent < 20)
        digits.append(static_cast<std::size_t>(exponent + 1) - digits.size(), '0');
    if (digits.size() > 20)
        digits.resize(20);
    k[0] = static_cast<unsigned char>(0x34 + exponent + 1);
    k[1] = static_cast<unsigned char>((digits.size() << 2) | 0x01 | (value < 0 ? 0x80 : 0));
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const unsigned d = static_cast<unsigned>(digits[i] - '0');
        k[2 + i / 2] |= static_cast<unsigned char>(i % 2 == 0 ? d << 4 : d);
    }
    return key;
}

double numericKeyValue(std::string_view key)
{
    if (key.size() < kNumericKeyLength)
        return 0;
    const unsigned char* k = u(key.data());
    double v = 0;
    for (std::size_t i = 0; i < 20; ++i) {
        const unsigned d = i % 2 == 0 ? k[2 + i / 2] >> 4 : k[2 + i / 2] & 0x0F;
        v += std::min(d, 9u) * std::pow(10.0, -static_cast<double>(i + 1));
    }
    v *= std::pow(10.0, static_cast<int>(k[0]) - 0x34);
    return (k[1] & 0x80) ? -v : v;
}

int compareKeys(char keyType, std::string_view a, std::string_view b)
{
    if (keyType == 'N') {
        const double x = numericKeyValue(a), y = numericKeyValue(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

namespace
{

struct Walker
{
    std::string_view bytes;
    const TagInfo& tag;
    Walk& out;
    std::unordered_set<std::uint32_t> seen;
    std::size_t leafDepth = 0;

    void problem(std::string text)
    {
        if (out.problems.size() < 100)
            out.problems.push_back("tag " + tag.name + ": " + std::move(text));
    }

    /// Walks the subtree at `page`; gives false when it could not be read.
    bool node(std::uint32_t page, std::size_t depth, std::string& lastKey)
    {
        const std::uint64_t at = static_cast<std::uint64_t>(page) * kPageSize;
        if (page < kHeaderPages || at + kBlockSize > bytes.size()) {
            problem("page " + std::to_string(page) + " lies outside the file");
            return false;
        }
        if (!seen.insert(page).second) {
            problem("page " + std::to_string(page) + " is reached twice (a cycle or a shared page)");
            return false;
        }
        if (depth > kMaxDepth) {
            problem("the tree is deeper than " + std::to_string(kMaxDepth) + " levels");
            return false;
        }
        ++out.nodes;
        const char* n = bytes.data() + at;
        const std::uint32_t count = bytes::le32(u(n));
        if (count > tag.maxKeys || kNodeHeader + count * tag.itemLength + 4 > kBlockSize) {
            problem("page " + std::to_string(page) + " holds " + std::to_string(count) + " keys, more than fit");
            return false;
        }
        const auto item = [&](std::size_t i) { return n + kNodeHeader + i * tag.itemLength; };
        const std::uint32_t after = bytes::le32(u(item(count)));
        if (after == 0 || count == 0) {
            if (count == 0 && depth > 0)
                problem("page " + std::to_string(page) + " is an empty node below the root");
            if (leafDepth == 0)
                leafDepth = depth + 1;
            else if (leafDepth != depth + 1)
                problem("leaf page " + std::to_string(page) + " is not at the same depth as the others");
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint32_t recno = bytes::le32(u(item(i)));
                out.entries.push_back({std::string(item(i) + 4, tag.keyLength), recno});
            }
            if (count > 0)
                lastKey = out.entries.back().key;
            return true;
        }
        for (std::size_t i = 0; i <= count; ++i) {
            std::string childLast;
            if (!node(bytes::le32(u(item(i))), depth + 1, childLast))
                return false;
            if (i < count && compareKeys(tag.keyType, childLast, std::string_view(item(i) + 4, tag.keyLength)) != 0)
                problem("page " + std::to_string(page) + " key " + std::to_string(i + 1) +
                        " is not the highest key of its child");
            lastKey = childLast;
        }
        return true;
    }
};

} // namespace

Walk walkTag(std::string_view bytes, const FileInfo&, const TagInfo& tag)
{
    Walk out;
    Walker w{bytes, tag, out, {}, 0};
    std::string last;
    w.node(tag.rootPage, 0, last);
    out.depth = w.leafDepth;
    for (std::size_t i = 1; i < out.entries.size(); ++i) {
        const int c = compareKeys(tag.keyType, out.entries[i - 1].key, out.entries[i].key);
        if (c > 0 || (c == 0 && out.entries[i - 1].recno >= out.entries[i].recno)) {
            w.problem("keys out of order at entry " + std::to_string(i + 1) + " (record " +
                      std::to_string(out.entries[i].recno) + ")");
            break;
        }
    }
    return out;
}

namespace
{

struct NodeRef
{
    std::uint32_t page;
    std::string lastKey;
};

/// Splits `count` items into groups of at most `most`, as even as possible.
std::vector<std::size_t> groupSizes(std::size_t count, std::size_t most)
{
    const std::size_t groups = std::max<std::size_t>(1, (count + most - 1) / most);
    std::vector<std::size_t> sizes(groups, count / groups);
    for (std::size_t i = 0; i < count % groups; ++i)
        ++sizes[i];
    return sizes;
}

class Builder
{
public:
    explicit Builder(std::string& out)
        : m_out(out)
    {
    }
    std::uint32_t allocate()
    {
        const auto page = static_cast<std::uint32_t>(m_out.size() / kPageSize);
        m_out.append(kBlockSize, '\0');
        return page;
    }
    unsigned char* at(std::uint32_t page)
    {
        return u(m_out.data()) + static_cast<std::size_t>(page) * kPageSize;
    }

    /// Writes one tag's nodes; gives the root page and the first and last leaf pages.
    void tree(const TagBuild& tag, std::uint32_t& root, std::uint32_t& firstLeaf, std::uint32_t& lastLeaf)
    {
        const std::size_t item = itemLengthFor(tag.keyLength);
        const std::size_t most = maxKeysFor(item);
        std::vector<NodeRef> level;
        std::size_t next = 0;
        for (std::size_t size : groupSizes(tag.entries.size(), most)) {
            const std::uint32_t page = allocate();
            unsigned char* n = at(page);
            bytes::putLe32(n, static_cast<std::uint32_t>(size));
            for (std::size_t i = 0; i < size; ++i, ++next) {
                unsigned char* it = n + kNodeHeader + i * item;
                bytes::putLe32(it, tag.entries[next].recno);
                std::copy(tag.entries[next].key.begin(), tag.entries[next].key.end(), it + 4);
            }
            level.push_back({page, size ? tag.entries[next - 1].key : std::string()});
        }
        firstLeaf = level.front().page;
        lastLeaf = level.back().page;
        while (level.size() > 1) {
            std::vector<NodeRef> up;
            std::size_t child = 0;
            for (std::size_t size : groupSizes(level.size(), most + 1)) {
                const std::uint32_t page = allocate();
                unsigned char* n = at(page);
                bytes::putLe32(n, static_cast<std::uint32_t>(size - 1));
                for (std::size_t i = 0; i < size; ++i, ++child) {
                    unsigned char* it = n + kNodeHeader + i * item;
                    bytes::putLe32(it, level[child].page);
                    if (i + 1 < size)
                        std::copy(level[child].lastKey.begin(), level[child].lastKey.end(), it + 4);
                }
                up.push_back({page, level[child - 1].lastKey});
            }
            level = std::move(up);
        }
        root = level.front().page;
    }

private:
    std::string& m_out;
};

/// Places entry `i` (1-based) in the binary search tree over tag names rooted at entry 1.
void linkName(unsigned char* table, const std::vector<TagBuild>& tags, std::size_t i)
{
    std::size_t at = 1;
    for (;;) {
        unsigned char* e = table + (at - 1) * kTagEntryLength;
        const bool left = tags[i - 1].name < tags[at - 1].name;
        unsigned char& slot = e[left ? kEntLeft : kEntRight];
        if (slot == 0) {
            slot = static_cast<unsigned char>(i);
            table[(i - 1) * kTagEntryLength + kEntParent] = static_cast<unsigned char>(at);
            return;
        }
        at = slot;
    }
}

} // namespace

std::string build(std::string_view dbfName, const std::vector<TagBuild>& tags, unsigned char language)
{
    std::size_t blocks = 0; // reserved up front: the file is built in one string
    for (const TagBuild& tag : tags) {
        const std::size_t most = maxKeysFor(itemLengthFor(tag.keyLength));
        for (std::size_t level = tag.entries.size() / most + 1; level > 1; level = level / (most + 1) + 1)
            blocks += level + 1;
        blocks += 3;
    }
    std::string out;
    out.reserve(kHeaderPages * kPageSize + blocks * kBlockSize);
    out.assign(kHeaderPages * kPageSize, '\0');
    Builder b(out);
    std::vector<std::uint32_t> headers, roots, firsts, lasts;
    for (const TagBuild& tag : tags) {
        headers.push_back(b.allocate());
        std::uint32_t root, first, last;
        b.tree(tag, root, first, last);
        roots.push_back(root);
        firsts.push_back(first);
        lasts.push_back(last);
    }
    const auto totalPages = static_cast<std::uint32_t>(out.size() / kPageSize);
    unsigned char* p = u(out.data());
    p[kOffVersion] = kVersionIV;
    putDate(p + kOffCreated);
    std::copy_n(dbfName.begin(), std::min(dbfName.size(), kDbfNameLength), p + kOffDbfName);
    bytes::putLe16(p + kOffPagesPerBlock, kPagesPerBlock);
    bytes::putLe16(p + kOffBlockSize, kBlockSize);
    p[kOffProduction] = 1;
    p[kOffTagSlots] = kTagSlots;
    p[kOffEntryLength] = kTagEntryLength;
    bytes::putLe16(p + kOffTagsInUse, static_cast<std::uint32_t>(tags.size()));
    p[kOffTagsPlusOne] = static_cast<unsigned char>(tags.size() + 1);
    p[kOffLanguage] = language;
    bytes::putLe32(p + kOffTotalPages, totalPages);
    putDate(p + kOffUpdated);
    p[kUnusedSlotMarker] = 0x01;
    unsigned char* table = p + kTagTableStart;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const TagBuild& tag = tags[i];
        unsigned char* e = table + i * kTagEntryLength;
        bytes::putLe32(e + kEntHeaderPage, headers[i]);
        std::copy_n(tag.name.begin(), std::min(tag.name.size(), kTagNameLength - 1), e + kEntName);
        e[kEntKeyFormat] = kKeyFormat;
        e[kEntMarker] = 0x02;
        e[kEntKeyType] = static_cast<unsigned char>(tag.keyType);
        if (i > 0)
            linkName(table, tags, i + 1);

        unsigned char* h = b.at(headers[i]);
        const std::size_t item = itemLengthFor(tag.keyLength);
        bytes::putLe32(h + kTagRoot, roots[i]);
        bytes::putLe32(h + kTagPages, totalPages);
        h[kTagKeyFormat] = kKeyFormat;
        h[kTagKeyType] = static_cast<unsigned char>(tag.keyType);
        h[kTagLanguage] = language;
        bytes::putLe16(h + kTagKeyLength, static_cast<std::uint32_t>(tag.keyLength));
        bytes::putLe16(h + kTagMaxKeys, static_cast<std::uint32_t>(maxKeysFor(item)));
        bytes::putLe16(h + kTagDateKey, tag.keyType == 'D' ? 1 : 0);
        bytes::putLe16(h + kTagItemLength, static_cast<std::uint32_t>(item));
        h[kTagChanges] = 1;
        h[kTagUnique] = 0;
        std::copy_n(tag.expression.begin(), std::min(tag.expression.size(), kTagExpressionLength - 1),
                    h + kTagExpression);
        h[kTagHasKeys] = tag.entries.empty() ? 0 : 1;
        bytes::putLe32(h + kTagFirstNode, firsts[i]);
        bytes::putLe32(h + kTagLastNode, lasts[i]);
        putDate(h + kTagDate);
        h[kTagPlainField] = 1;
    }
    return out;
}

} // namespace conv::mdx
