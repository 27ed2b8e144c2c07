// The bytes we write: every layout's header exactly, record storage of each kind, file sizes, and
// the production index walked by code of its own (not the engine's) against the records.
#include "TableTestUtil.h"
#include "tables/WorkFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

namespace conv
{
namespace
{

using test::le16At;
using test::le32At;
using test::readBytes;
using test::TempDir;

std::string today()
{
    const std::time_t now = std::time(nullptr);
    const std::tm tm = *std::localtime(&now);
    return {static_cast<char>(tm.tm_year), static_cast<char>(tm.tm_mon + 1), static_cast<char>(tm.tm_mday)};
}

/// The level-7 header a layout must produce, built by hand from the format's rules.
std::string expectedHeader(const TableLayout& layout, std::uint32_t count)
{
    const std::size_t n = layout.fields.size();
    std::string h(68 + 48 * n + 1, '\0');
    std::size_t recordLength = 1;
    for (std::size_t i = 0; i < n; ++i) {
        const FieldDef& f = layout.fields[i];
        char type = 'C';
        int length = f.width;
        if (f.kind == FieldKind::Integer)
            type = 'I', length = 4;
        if (f.kind == FieldKind::Float)
            type = 'O', length = 8;
        if (f.kind == FieldKind::Logical)
            type = 'L', length = 1;
        std::string& d = h;
        const std::size_t at = 68 + 48 * i;
        d.replace(at, f.name.size(), f.name);
        d[at + 32] = type;
        d[at + 33] = static_cast<char>(length);
        d[at + 37] = std::find(layout.indexes.begin(), layout.indexes.end(), f.name) != layout.indexes.end() ? 1 : 0;
        recordLength += static_cast<std::size_t>(length);
    }
    h[0] = 0x04;
    h.replace(1, 3, today());
    h[4] = static_cast<char>(count & 0xFF);
    h[5] = static_cast<char>(count >> 8);
    h[8] = static_cast<char>(h.size() & 0xFF);
    h[9] = static_cast<char>(h.size() >> 8);
    h[10] = static_cast<char>(recordLength & 0xFF);
    h[11] = static_cast<char>(recordLength >> 8);
    h[28] = layout.indexes.empty() ? 0 : 1;
    h.replace(32, 8, "DBWINUS0");
    h.back() = 0x0D;
    return h;
}

class EveryLayout : public ::testing::TestWithParam<const TableLayout*>
{
};

TEST_P(EveryLayout, HeaderBytesAndFileSizeExactly)
{
    const TableLayout& layout = *GetParam();
    TempDir dir;
    rebuildTable(dir.path(), layout);
    const auto file = dir / (std::string(layout.name) + ".DBF");
    std::string expected = expectedHeader(layout, 0);
    EXPECT_EQ(readBytes(file), expected + '\x1A');
    {
        Table t(dir.path(), std::string(layout.name) + ".DBF");
        t.open();
        for (int i = 0; i < 3; ++i) {
            t.append();
            t.field(0).setString(std::to_string(i + 1));
            t.post();
        }
        EXPECT_EQ(t.recordCount(), 3);
    }
    const std::string bytes = readBytes(file);
    expected = expectedHeader(layout, 3);
    const std::size_t recordLength = le16At(expected, 10);
    ASSERT_EQ(bytes.size(), expected.size() + 3 * recordLength + 1);
    EXPECT_EQ(bytes.substr(0, expected.size()), expected);
    EXPECT_EQ(bytes.back(), '\x1A');
    EXPECT_EQ(std::filesystem::exists(dir / (std::string(layout.name) + ".MDX")), !layout.indexes.empty());
    // Full field names are kept: the longest has 19 characters.
    Table t(dir.path(), std::string(layout.name) + ".DBF");
    t.open();
    for (const FieldDef& f : layout.fields)
        EXPECT_EQ(t.fieldByName(f.name).name(), f.name);
}

INSTANTIATE_TEST_SUITE_P(Layouts, EveryLayout, ::testing::ValuesIn(layouts::all().begin(), layouts::all().end()),
                         [](const auto& info) { return std::string(info.param->name); });

TEST(RecordBytes, EachKindIsStoredAsTheLevel7FormatSays)
{
    TempDir dir;
    constexpr FieldDef fields[] = {{"T", FieldKind::Text, 4},
                                   {"I", FieldKind::Integer, 0},
                                   {"F", FieldKind::Float, 0},
                                   {"L", FieldKind::Logical, 0}};
    rebuildTable(dir.path(), TableLayout{"KINDS", fields, {}});
    struct Row
    {
        const char* text;
        std::int32_t i;
        double f;
        bool l;
        const char* stored;
    };
    const Row rows[] = {{"ab", 1, 43.65, true, " ab  \x80\x00\x00\x01\xC0\x45\xD3\x33\x33\x33\x33\x33" "T"},
                        {"\xE1\xE9\xED\xF3\xFA", -1, -199.99, false, " \xE1\xE9\xED\xF3\x7F\xFF\xFF\xFF\x3F\x97\x00\x51\xEB\x85\x1E\xB7" "F"},
                        {"", 5000000, 0.0, false, "     \x80\x4C\x4B\x40\x80\x00\x00\x00\x00\x00\x00\x00" "F"}};
    {
        Table t(dir.path(), "KINDS.DBF");
        t.open();
        for (const Row& r : rows) {
            t.append();
            t.fieldByName("T").setString(r.text);
            t.fieldByName("I").setInteger(r.i);
            t.fieldByName("F").setFloat(r.f);
            t.fieldByName("L").setBoolean(r.l);
            t.post();
        }
        t.append();
        t.fieldByName("T").setString("e");
        t.post(); // the others stay empty: zeros for I and O, a blank for L
    }
    const std::string bytes = readBytes(dir / "KINDS.DBF");
    const std::size_t start = 68 + 4 * 48 + 1;
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(bytes.substr(start + i * 18, 18), std::string(rows[i].stored, 18)) << "row " << i;
    EXPECT_EQ(bytes.substr(start + 3 * 18, 18), std::string(" e   \0\0\0\0\0\0\0\0\0\0\0\0 ", 18));
    Table t(dir.path(), "KINDS.DBF");
    t.open();
    EXPECT_EQ(t.fieldByName("F").asFloat(), 43.65);
    t.next();
    EXPECT_EQ(t.fieldByName("T").asString(), "\xE1\xE9\xED\xF3");
    EXPECT_EQ(t.fieldByName("I").asInteger(), -1);
    EXPECT_EQ(t.fieldByName("F").asFloat(), -199.99);
}

// ---- An index walker of the tests' own, from the published layout of the MDX file.

struct Leaf
{
    std::string key;
    std::uint32_t recno;
};

void walk(const std::string& mdx, std::uint32_t page, std::size_t keyLength, std::size_t itemLength, int depth,
          std::vector<Leaf>& out, std::vector<int>& leafDepths, int& pages)
{
    ASSERT_LT(++pages, 100000) << "runaway walk";
    ASSERT_LE((page + 2) * 512u, mdx.size());
    const char* node = mdx.data() + page * 512;
    const std::string block(node, 1024);
    const std::uint32_t n = le32At(block, 0);
    ASSERT_LE(8 + n * itemLength + 4, 1024u);
    const std::uint32_t after = le32At(block, 8 + n * itemLength);
    if (after == 0) {
        leafDepths.push_back(depth);
        for (std::uint32_t i = 0; i < n; ++i)
            out.push_back({block.substr(8 + i * itemLength + 4, keyLength), le32At(block, 8 + i * itemLength)});
        return;
    }
    for (std::uint32_t i = 0; i <= n; ++i) {
        const std::size_t before = out.size();
        walk(mdx, le32At(block, 8 + i * itemLength), keyLength, itemLength, depth + 1, out, leafDepths, pages);
        if (i < n) { // the separator is the highest key of the child
            ASSERT_GT(out.size(), before);
            EXPECT_EQ(out.back().key, block.substr(8 + i * itemLength + 4, keyLength));
        }
    }
}

double bcd(const std::string& key)
{
    double v = 0;
    const int digits = (static_cast<unsigned char>(key[1]) >> 2) & 0x1F;
    for (int i = 0; i < digits; ++i) {
        const unsigned char b = static_cast<unsigned char>(key[2 + i / 2]);
        v = v * 10 + (i % 2 ? b & 0x0F : b >> 4);
    }
    v *= std::pow(10.0, (static_cast<unsigned char>(key[0]) - 0x34) - digits);
    return (key[1] & 0x80) ? -v : v;
}

struct IndexCase
{
    const char* name;
    const TableLayout* layout;
    int records;
};

class IndexTree : public ::testing::TestWithParam<IndexCase>
{
};

TEST_P(IndexTree, WalkedIndependentlyEveryRecordOnceInKeyOrder)
{
    const IndexCase& c = GetParam();
    const TableLayout& layout = *c.layout;
    TempDir dir;
    rebuildTable(dir.path(), layout);
    const std::string tag(layout.indexes[0]);
    std::vector<std::string> fieldKeys; // what each record's indexed field holds
    {
        Table t(dir.path(), std::string(layout.name) + ".DBF");
        t.open();
        for (int i = 0; i < c.records; ++i) {
            t.append();
            const int v = (i * 7919) % 997 - 300;
            if (t.fieldByName(tag).def().kind == FieldKind::Text)
                t.fieldByName(tag).setString("K" + std::to_string(v));
            else if (i % 5 != 0)
                t.fieldByName(tag).setInteger(v);
            t.post();
            fieldKeys.push_back(t.fieldByName(tag).asString());
        }
        // Change some keys after the fact: the index follows every post.
        for (int i = 0; i < c.records; i += 3) {
            ASSERT_TRUE(t.locate(tag, Value(fieldKeys[static_cast<std::size_t>(i)])) || fieldKeys[i].empty());
            if (fieldKeys[static_cast<std::size_t>(i)].empty())
                continue;
            t.edit();
            t.fieldByName(tag).setString(std::to_string(1000 + i));
            t.post();
            fieldKeys[t.recordNumber() - 1] = t.fieldByName(tag).asString();
        }
    }
    const std::string mdx = readBytes(dir / (std::string(layout.name) + ".MDX"));
    ASSERT_GE(mdx.size(), 2048u + 1024u);
    EXPECT_EQ(mdx[0], 2);
    EXPECT_EQ(mdx.substr(4, layout.name.size()), std::string(layout.name));
    EXPECT_EQ(le16At(mdx, 20), 2);
    EXPECT_EQ(le16At(mdx, 22), 1024);
    EXPECT_EQ(mdx[24], 1);
    EXPECT_EQ(mdx[25], 48);
    EXPECT_EQ(mdx[26], 32);
    EXPECT_EQ(le16At(mdx, 28), 1);
    EXPECT_EQ(static_cast<unsigned char>(mdx[31]), 0x57);
    EXPECT_EQ(le32At(mdx, 32) * 512u, mdx.size());
    EXPECT_EQ(mdx[529], 1);
    // The one tag entry.
    const std::uint32_t headerPage = le32At(mdx, 544);
    EXPECT_EQ(mdx.substr(548, tag.size() + 1), tag + '\0');
    EXPECT_EQ(mdx[559], 0x10);
    EXPECT_EQ(mdx[563], 0x02);
    const bool text = mdx[564] == 'C';
    const std::string header = mdx.substr(headerPage * 512, 1024);
    const std::size_t keyLength = le16At(header, 12);
    const std::size_t itemLength = le16At(header, 18);
    EXPECT_EQ(header[9], mdx[564]);
    EXPECT_EQ(itemLength, (keyLength + 4 + 3) / 4 * 4);
    EXPECT_EQ(le16At(header, 14), (1024 - 12) / itemLength);
    EXPECT_EQ(header.substr(24, tag.size() + 1), tag + '\0');

    std::vector<Leaf> leaves;
    std::vector<int> depths;
    int pages = 0;
    walk(mdx, le32At(header, 0), keyLength, itemLength, 0, leaves, depths, pages);
    ASSERT_EQ(leaves.size(), fieldKeys.size());
    EXPECT_TRUE(std::all_of(depths.begin(), depths.end(), [&](int d) { return d == depths[0]; }));
    std::vector<int> seen(fieldKeys.size(), 0);
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const Leaf& l = leaves[i];
        ASSERT_GE(l.recno, 1u);
        ASSERT_LE(l.recno, fieldKeys.size());
        ++seen[l.recno - 1];
        const std::string& value = fieldKeys[l.recno - 1];
        if (text) {
            std::string padded = value;
            padded.resize(keyLength, ' ');
            EXPECT_EQ(l.key, padded);
        } else {
            EXPECT_EQ(bcd(l.key), value.empty() ? 0.0 : std::stod(value));
        }
        if (i > 0) {
            const Leaf& p = leaves[i - 1];
            const bool ordered = text ? (p.key < l.key || (p.key == l.key && p.recno < l.recno))
                                      : (bcd(p.key) < bcd(l.key) || (bcd(p.key) == bcd(l.key) && p.recno < l.recno));
            EXPECT_TRUE(ordered) << "at " << i;
        }
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
}

const IndexCase kIndexCases[] = {
    {"CURSOST_empty", &layouts::CURSOST, 0},        {"CURSOST_one_leaf", &layouts::CURSOST, 40},
    {"CURSOST2_two_levels", &layouts::CURSOST2, 700}, {"PROFT_three_levels", &layouts::PROFT, 5000},
    {"PLANTILLA_numbers", &layouts::PLANTILLA, 20},   {"PLANTILLA_numbers_two_levels", &layouts::PLANTILLA, 900},
};

INSTANTIATE_TEST_SUITE_P(Tags, IndexTree, ::testing::ValuesIn(kIndexCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NumericKeys, EncodeAsTheFormatNoteGives)
{
    TempDir dir;
    rebuildTable(dir.path(), layouts::PLANTILLA);
    {
        Table t(dir.path(), "PLANTILLA.DBF");
        t.open();
        for (std::int32_t v : {0, 3, -2, 10, 120}) {
            t.append();
            t.fieldByName("HORA").setInteger(v);
            t.post();
        }
    }
    const std::string mdx = readBytes(dir / "PLANTILLA.MDX");
    const std::uint32_t root = le32At(mdx.substr(le32At(mdx, 544) * 512, 4), 0);
    const std::string leaf = mdx.substr(root * 512, 1024);
    ASSERT_EQ(le32At(leaf, 0), 5u);
    const std::map<std::uint32_t, std::string> expected = {
        {1, std::string("\x34\x01\0\0", 4)}, {2, std::string("\x35\x05\x30\0", 4)},
        {3, std::string("\x35\x85\x20\0", 4)}, {4, std::string("\x36\x09\x10\0", 4)},
        {5, std::string("\x37\x0D\x12\0", 4)}};
    const std::uint32_t order[] = {3, 1, 2, 4, 5};
    for (std::uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(le32At(leaf, 8 + i * 16), order[i]);
        EXPECT_EQ(leaf.substr(8 + i * 16 + 4, 4), expected.at(order[i]));
    }
}

} // namespace
} // namespace conv
