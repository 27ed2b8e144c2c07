#include "tables/TableFile.h"

#include "common/IoErrors.h"
#include "tables/Bytes.h"
#include "tables/EngineError.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

/// Lock byte that marks a table open: a read lock for shared use, a write lock for exclusive
/// use. It lies far beyond any record, where the classic engine keeps its locks too.
constexpr std::uint64_t kLockOffset = 0x40000000;
constexpr std::size_t kAppendBuffer = 1 << 20;
constexpr std::size_t kReadAhead = 1 << 16;
constexpr std::uint64_t kWholeTable = 64u << 20;
constexpr std::uint64_t kMaxIndexFile = std::uint64_t(1) << 31;

std::map<std::string, std::weak_ptr<TableFile>>& registry()
{
    static std::map<std::string, std::weak_ptr<TableFile>> files;
    return files;
}

std::string registryKey(const fs::path& p)
{
    std::error_code ec;
    const fs::path c = fs::weakly_canonical(p, ec);
    return ec ? fs::absolute(p).lexically_normal().string() : c.string();
}

platform::FileSystem& files()
{
    return platform::fileSystem();
}

std::string readWhole(const fs::path& file)
{
    const auto f = files().open(file, platform::Access::Read, &throwEngineFailure);
    const std::uint64_t size = f->size();
    if (size > kMaxIndexFile)
        throwEngine(engine::kCorruptIndex, file);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!f->readExactAt(bytes.data(), bytes.size(), 0))
        throwEngine(engine::kCorruptIndex, file); // the file got shorter under us
    return bytes;
}

/// An open that was refused, to be looked at before it is reported.
struct OpenRefused
{
    platform::FileFailure failure;
};

[[noreturn]] void refuseOpen(const platform::FileFailure& failure, const fs::path&)
{
    throw OpenRefused{failure};
}

bool isNumericType(char type)
{
    return type == 'N' || type == 'F' || type == 'I' || type == '+' || type == 'O';
}

/// Key order, equal keys by record number (a function object, so that sorting inlines it).
constexpr auto entryLess = [](const mdx::KeyEntry& a, const mdx::KeyEntry& b) {
    const int c = a.key.compare(b.key);
    return c < 0 || (c == 0 && a.recno < b.recno);
};

} // namespace

std::shared_ptr<TableFile> TableFile::acquire(const fs::path& dbf, bool exclusive, bool readOnly)
{
    const std::string key = registryKey(dbf);
    auto& files = registry();
    if (auto it = files.find(key); it != files.end()) {
        if (auto shared = it->second.lock()) {
            if (exclusive || shared->m_exclusive || (!readOnly && !shared->m_writable))
                throwEngine(engine::kTableBusy, dbf);
            ++shared->m_handles;
            return shared;
        }
    }
    std::shared_ptr<TableFile> file(new TableFile());
    file->m_path = dbf;
    file->m_key = key;
    file->load(readOnly, exclusive);
    file->m_handles = 1;
    files[key] = file;
    return file;
}

bool TableFile::inUse(const fs::path& dbf)
{
    auto& files = registry();
    const auto it = files.find(registryKey(dbf));
    return it != files.end() && !it->second.expired();
}

bool TableFile::lockedElsewhere(const fs::path& dbf)
{
    if (platform::fileKind(dbf) != platform::FileKind::Regular)
        return false;
    try {
        const auto f = files().open(dbf, platform::Access::Read, &refuseOpen);
        f->setFailHandler(&throwEngineFailure);
        return f->lockedByOther(kLockOffset, 1);
    } catch (const OpenRefused& refused) {
        // A file another program keeps from being opened at all is held all the more.
        return refused.failure.kind == platform::Failure::Busy;
    }
}

void TableFile::load(bool readOnly, bool exclusive)
{
    if (!readOnly) {
        try {
            m_file = files().open(m_path, platform::Access::ReadWrite, &refuseOpen);
        } catch (const OpenRefused& refused) {
            // A table we may only read opens for reading; posts then give "Table is read only.".
            if (refused.failure.kind != platform::Failure::AccessDenied ||
                platform::fileKind(m_path) != platform::FileKind::Regular)
                throwEngineFailure(refused.failure, m_path);
        }
    }
    m_writable = m_file != nullptr;
    if (m_file)
        m_file->setFailHandler(&throwEngineFailure);
    else
        m_file = files().open(m_path, platform::Access::Read, &throwEngineFailure);
    m_exclusive = exclusive;
    if (!m_file->tryLock(kLockOffset, 1, exclusive && m_writable))
        throwEngine(engine::kTableBusy, m_path);
    // The header is at most 65535 bytes long.
    const std::uint64_t fileSize = m_file->size();
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 65536)), '\0');
    if (!m_file->readExactAt(head.data(), head.size(), 0))
        throwEngine(engine::kCorruptHeader, m_path);
    m_header = dbf::parseHeader(head, fileSize, m_path);
    m_count = m_flushed = m_header.recordCount;
    loadIndex();
}

void TableFile::loadIndex()
{
    if (!m_header.hasMdx)
        return;
    const fs::path folder = m_path.parent_path().empty() ? fs::path(".") : m_path.parent_path();
    const std::string stem = m_path.stem().string();
    m_mdxPath = findNoCase(folder, stem + ".MDX");
    std::error_code ec;
    if (!fs::is_regular_file(m_mdxPath, ec))
        throwEngine(engine::kIndexNotFound, m_mdxPath);
    const std::string bytes = readWhole(m_mdxPath);
    const mdx::FileInfo info = mdx::parse(bytes, m_mdxPath);
    for (const mdx::TagInfo& t : info.tags) {
        IndexTag tag;
        tag.name = t.name;
        tag.expression = t.expression;
        tag.keyType = t.keyType;
        tag.keyLength = t.keyLength;
        for (std::size_t i = 0; i < m_header.fields.size(); ++i)
            if (equalNoCase(m_header.fields[i].name, t.expression))
                tag.field = static_cast<int>(i);
        if (tag.field >= 0 && (t.keyFormat & (mdx::kDescending | mdx::kUnique)) == 0) {
            const dbf::Field& f = m_header.fields[static_cast<std::size_t>(tag.field)];
            tag.supported = (t.keyType == 'C' && f.type == 'C' && t.keyLength == static_cast<std::size_t>(f.length)) ||
                            (t.keyType == 'N' && isNumericType(f.type));
        }
        tag.built = tag.supported && m_count == 0;
        m_tags.push_back(std::move(tag));
    }
}

TableFile::~TableFile()
{
    try {
        flush();
    } catch (...) {
        // Closing after a failure: the header keeps the count of the last complete state.
    }
    m_file.reset();
    auto& files = registry();
    if (auto it = files.find(m_key); it != files.end() && it->second.expired())
        files.erase(it);
}

void TableFile::release()
{
    if (--m_handles == 0)
        flush();
}

void TableFile::checkWritable() const
{
    if (!m_writable)
        throwEngine(engine::kReadOnly, m_path);
    for (const IndexTag& t : m_tags)
        if (!t.supported)
            throwEngine(engine::kIndexExpression, m_mdxPath);
}

std::uint32_t TableFile::liveCount()
{
    if (m_deleted < 0) {
        m_deleted = 0;
        for (std::uint32_t r = 1; r <= m_count; ++r)
            m_deleted += deleted(r) ? 1 : 0;
    }
    return m_count - static_cast<std::uint32_t>(m_deleted);
}

void TableFile::read(std::uint32_t recno, char* out)
{
    const std::size_t len = m_header.recordLength;
    if (recno > m_flushed) {
        std::memcpy(out, m_appended.data() + (recno - m_flushed - 1) * len, len);
        return;
    }
    if (recno < m_cacheFirst || recno >= m_cacheFirst + m_cacheCount) {
        // A table of up to kWholeTable bytes is read whole, once, so that reading in index order
        // and locate cost no system call a record; a bigger one is read ahead in runs.
        if (std::uint64_t(m_flushed) * len <= kWholeTable) {
            m_cacheFirst = 1;
            m_cacheCount = m_flushed;
        } else {
            const std::uint32_t want = static_cast<std::uint32_t>(std::max<std::size_t>(1, kReadAhead / len));
            m_cacheFirst = recno;
            m_cacheCount = std::min(want, m_flushed - recno + 1);
        }
        m_cache.resize(std::size_t(m_cacheCount) * len);
        if (!m_file->readExactAt(m_cache.data(), m_cache.size(),
                                 m_header.headerLength + std::uint64_t(m_cacheFirst - 1) * len))
            throwEngine(engine::kCorruptHeader, m_path); // the file got shorter under us
    }
    std::memcpy(out, m_cache.data() + (recno - m_cacheFirst) * len, len);
}

bool TableFile::deleted(std::uint32_t recno)
{
    if (recno > m_flushed)
        return m_appended[(recno - m_flushed - 1) * m_header.recordLength] == dbf::kDeleted;
    if (recno < m_cacheFirst || recno >= m_cacheFirst + m_cacheCount) {
        std::string scratch(m_header.recordLength, '\0');
        read(recno, scratch.data());
    }
    return m_cache[(recno - m_cacheFirst) * m_header.recordLength] == dbf::kDeleted;
}

std::uint32_t TableFile::append(char* record)
{
    checkWritable();
    if (m_count == UINT32_MAX ||
        m_header.headerLength + (std::uint64_t(m_count) + 1) * m_header.recordLength + 1 > (std::uint64_t(1) << 40))
        throwEngine(engine::kTableFull, m_path);
    for (dbf::Field& f : m_header.fields)
        if (f.type == '+' && f.length == 4 && bytes::be32(bytes::u(record + f.offset)) == 0) {
            bytes::putBe32(bytes::u(record + f.offset), dbf::encodeInteger(static_cast<std::int32_t>(
                                                           std::max<std::uint32_t>(1, f.nextAutoIncrement))));
            f.nextAutoIncrement = std::max<std::uint32_t>(1, f.nextAutoIncrement) + 1;
            m_autoIncrementDirty = true;
        }
    m_appended.append(record, m_header.recordLength);
    const std::uint32_t recno = ++m_count;
    if (m_deleted >= 0 && record[0] == dbf::kDeleted)
        ++m_deleted;
    m_dirty = true;
    for (IndexTag& t : m_tags)
        if (t.built) {
            t.tail.push_back({sortKey(t, record), recno});
            m_indexDirty = true;
        }
    if (!m_tags.empty())
        m_indexDirty = true;
    ++m_version;
    if (m_appended.size() >= kAppendBuffer)
        flushAppends();
    return recno;
}

void TableFile::write(std::uint32_t recno, const char* record)
{
    checkWritable();
    const std::size_t len = m_header.recordLength;
    std::string old(len, '\0');
    read(recno, old.data());
    for (IndexTag& t : m_tags) {
        const std::string before = sortKey(t, old.data());
        const std::string after = sortKey(t, record);
        if (before == after)
            continue;
        m_indexDirty = true;
        if (!t.built)
            continue;
        sortedKeys(t);
        const mdx::KeyEntry probe{before, recno};
        auto it = std::lower_bound(t.sorted.begin(), t.sorted.end(), probe, entryLess);
        if (it != t.sorted.end() && it->key == before && it->recno == recno)
            t.sorted.erase(it);
        t.tail.push_back({after, recno});
    }
    if (m_deleted >= 0 && old[0] != record[0])
        m_deleted += record[0] == dbf::kDeleted ? 1 : -1;
    if (recno > m_flushed) {
        std::memcpy(m_appended.data() + (recno - m_flushed - 1) * len, record, len);
    } else {
        m_file->writeAt(record, len, m_header.headerLength + std::uint64_t(recno - 1) * len);
        if (recno >= m_cacheFirst && recno < m_cacheFirst + m_cacheCount)
            std::memcpy(m_cache.data() + (recno - m_cacheFirst) * len, record, len);
    }
    m_dirty = true;
    ++m_version;
}

int TableFile::findTag(std::string_view name) const
{
    for (std::size_t i = 0; i < m_tags.size(); ++i)
        if (equalNoCase(m_tags[i].name, name))
            return static_cast<int>(i);
    return -1;
}

std::string TableFile::sortKey(const IndexTag& tag, const char* record) const
{
    if (tag.field < 0)
        return {};
    const dbf::Field& f = m_header.fields[static_cast<std::size_t>(tag.field)];
    if (tag.keyType == 'C')
        return std::string(record + f.offset, static_cast<std::size_t>(f.length));
    // Numbers: a null is indexed as 0; the key sorts as the level-7 sortable double.
    const Value v = dbf::decode(f, record + f.offset);
    double d = 0;
    if (const auto* i = std::get_if<std::int32_t>(&v))
        d = *i;
    else if (const auto* x = std::get_if<double>(&v))
        d = *x;
    std::string key(8, '\0');
    bytes::putBe64(bytes::u(key.data()), dbf::encodeDouble(d));
    return key;
}

void TableFile::build(IndexTag& tag)
{
    tag.sorted.clear();
    tag.tail.clear();
    std::string record(m_header.recordLength, '\0');
    for (std::uint32_t r = 1; r <= m_count; ++r) {
        read(r, record.data());
        tag.sorted.push_back({sortKey(tag, record.data()), r});
    }
    std::sort(tag.sorted.begin(), tag.sorted.end(), entryLess);
    tag.built = true;
}

const std::vector<mdx::KeyEntry>& TableFile::sortedKeys(IndexTag& tag)
{
    if (!tag.built)
        build(tag);
    if (!tag.tail.empty()) {
        std::sort(tag.tail.begin(), tag.tail.end(), entryLess);
        if (tag.sorted.empty()) {
            tag.sorted.swap(tag.tail);
            return tag.sorted;
        }
        const auto middle = static_cast<std::ptrdiff_t>(tag.sorted.size());
        tag.sorted.insert(tag.sorted.end(), std::make_move_iterator(tag.tail.begin()),
                          std::make_move_iterator(tag.tail.end()));
        tag.tail.clear();
        std::inplace_merge(tag.sorted.begin(), tag.sorted.begin() + middle, tag.sorted.end(), entryLess);
    }
    return tag.sorted;
}

void TableFile::flushAppends()
{
    if (m_appended.empty())
        return;
    const std::uint64_t at = m_header.headerLength + std::uint64_t(m_flushed) * m_header.recordLength;
    m_file->writeAt(m_appended.data(), m_appended.size(), at);
    m_flushed = m_count;
    m_appended.clear();
}

void TableFile::writeIndex()
{
    std::vector<mdx::TagBuild> builds;
    for (IndexTag& t : m_tags) {
        mdx::TagBuild b;
        b.name = t.name;
        b.expression = t.expression;
        b.keyType = t.keyType;
        b.keyLength = t.keyType == 'N' ? mdx::kNumericKeyLength : t.keyLength;
        sortedKeys(t);
        if (t.keyType == 'N') {
            b.entries.reserve(t.sorted.size());
            for (const mdx::KeyEntry& e : t.sorted)
                b.entries.push_back({mdx::numericKey(dbf::decodeDouble(bytes::be64(bytes::u(e.key.data())))), e.recno});
        } else {
            // Text keys are written as they are kept; the tag is gathered from the records again
            // should it be needed after this flush.
            b.entries = std::move(t.sorted);
            t.sorted.clear();
            t.built = false;
        }
        builds.push_back(std::move(b));
    }
    const std::string bytes = mdx::build(m_path.stem().string(), builds, dbf::kDriverId);
    // Written aside and renamed over the old index, so that no half-written index is left.
    fs::path tmp = m_mdxPath;
    tmp += ".tmp";
    try {
        {
            const auto f = files().open(tmp, platform::Access::Create, &throwEngineFailure);
            f->writeAt(bytes.data(), bytes.size(), 0);
        }
        files().replace(tmp, m_mdxPath, &throwEngineFailure);
    } catch (...) {
        files().remove(tmp);
        throw;
    }
}

void TableFile::flush()
{
    if (!m_dirty || !m_writable)
        return;
    flushAppends();
    const std::uint64_t end = m_header.headerLength + std::uint64_t(m_count) * m_header.recordLength;
    const char eof = static_cast<char>(dbf::kEndOfFile);
    m_file->writeAt(&eof, 1, end);
    m_file->truncate(end + 1);
    if (m_indexDirty && !m_tags.empty())
        writeIndex();
    // The header last: until it is written the table shows its previous complete state.
    unsigned char head[dbf::kOffRecordCount + 4] = {};
    head[0] = m_header.version;
    dbf::stampHeader(head, m_count);
    m_file->writeAt(reinterpret_cast<const char*>(head) + 1, sizeof head - 1, 1);
    if (m_autoIncrementDirty && m_header.level7) {
        for (std::size_t i = 0; i < m_header.fields.size(); ++i)
            if (m_header.fields[i].type == '+') {
                unsigned char v[4];
                bytes::putLe32(v, m_header.fields[i].nextAutoIncrement);
                m_file->writeAt(reinterpret_cast<const char*>(v), 4,
                                dbf::kFixedHeader7 + dbf::kDescriptor7 * i + dbf::kFd7AutoIncrement);
            }
    }
    m_dirty = m_indexDirty = m_autoIncrementDirty = false;
}

} // namespace conv
