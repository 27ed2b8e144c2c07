// Truncated, corrupt and hostile files give the engine's error naming the file, never a crash;
// a failing disk leaves no table that looks complete (DiskLimitsTest).
#include "TableTestUtil.h"
#include "tables/TableCheck.h"
#include "tables/WorkFolder.h"

#include <gtest/gtest.h>

namespace conv
{
namespace
{

using test::readBytes;
using test::makeGood;
using test::TempDir;

struct Spoil
{
    const char* name;
    std::size_t at; // byte to change, or npos to cut the file to `value` bytes
    unsigned value;
};

constexpr std::size_t kCut = std::string::npos;

const Spoil kDbfSpoils[] = {
    {"empty file", kCut, 0},
    {"truncated header", kCut, 20},
    {"cut inside the descriptors", kCut, 100},
    {"unknown version", 0, 0x00},
    {"record count beyond the file", 6, 0x01},
    {"header length smaller than the descriptors", 8, 100},
    {"header length beyond the file", 9, 0xF0},
    {"zero-length field", 68 + 33, 0},
    {"integer field of five bytes", 68 + 48 + 33, 5},
    {"record length smaller than the fields", 10, 3},
    {"no end of the descriptors", 68 + 2 * 48, 'X'},
    {"records cut short", kCut, 68 + 2 * 48 + 1 + 9 * 300 - 4},
};

class SpoiledTable : public ::testing::TestWithParam<Spoil>
{
};

TEST_P(SpoiledTable, GivesTheEngineErrorNamingTheFile)
{
    const Spoil& s = GetParam();
    TempDir dir;
    makeGood(dir);
    std::string bytes = readBytes(dir / "GOOD.DBF");
    if (s.at == kCut)
        bytes.resize(s.value);
    else
        bytes[s.at] = static_cast<char>(s.value);
    dir.write("GOOD.DBF", bytes);
    Table t(dir.path(), "GOOD.DBF");
    EXPECT_ERROR_TEXT(t.open(), "Corrupt table/index header.\nFile: " + (dir / "GOOD.DBF").string());
    EXPECT_FALSE(t.isOpen());
    EXPECT_FALSE(checkTable(dir / "GOOD.DBF").ok());
}

INSTANTIATE_TEST_SUITE_P(Dbf, SpoiledTable, ::testing::ValuesIn(kDbfSpoils), [](const auto& info) {
    std::string n = info.param.name;
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
});

TEST(SpoiledIndex, UnreadableIndexFileGivesTheEngineError)
{
    const Spoil spoils[] = {{"truncated", kCut, 100},
                            {"version", 0, 9},
                            {"block size", 23, 0},
                            {"tag header outside", 544, 0xFF},
                            {"tag count", 28, 60}};
    for (const Spoil& s : spoils) {
        SCOPED_TRACE(s.name);
        TempDir dir;
        makeGood(dir);
        std::string bytes = readBytes(dir / "GOOD.MDX");
        if (s.at == kCut)
            bytes.resize(s.value);
        else
            bytes[s.at] = static_cast<char>(s.value);
        dir.write("GOOD.MDX", bytes);
        Table t(dir.path(), "GOOD.DBF");
        EXPECT_ERROR_TEXT(t.open(), "Corrupt index file.\nFile: " + (dir / "GOOD.MDX").string());
        const TableCheck c = checkTable(dir / "GOOD.DBF");
        ASSERT_FALSE(c.ok());
        EXPECT_EQ(c.problems[0], "GOOD.MDX: Corrupt index file.");
    }
}

/// Offsets in GOOD.MDX: the tag header page and the root page.
std::uint32_t rootPage(const std::string& mdx)
{
    return test::le32At(mdx, test::le32At(mdx, 544) * 512);
}

TEST(SpoiledIndex, CheckFindsACycleAndWrongKeysAndTheTableStillOpens)
{
    TempDir dir;
    makeGood(dir);
    std::string mdx = readBytes(dir / "GOOD.MDX");
    const std::uint32_t root = rootPage(mdx);
    // The root's second child points back at the root.
    const std::size_t child = root * 512 + 8 + 16;
    for (int i = 0; i < 4; ++i)
        mdx[child + i] = static_cast<char>((root >> (8 * i)) & 0xFF);
    dir.write("GOOD.MDX", mdx);
    TableCheck c = checkTable(dir / "GOOD.DBF");
    ASSERT_FALSE(c.ok());
    EXPECT_NE(c.problems[0].find("is reached twice (a cycle or a shared page)"), std::string::npos) << c.problems[0];
    // The engine keeps its index from the records, so the table reads and searches right.
    Table t(dir.path(), "GOOD.DBF");
    t.setIndexName("CODE");
    t.open();
    EXPECT_TRUE(t.findKey(std::string("37")));
    EXPECT_EQ(t.fieldByName("N").asInteger(), 1);
    t.close();

    makeGood(dir);
    Table edit(dir.path(), "GOOD.DBF");
    edit.open();
    std::string dbf = readBytes(dir / "GOOD.DBF");
    dbf[68 + 2 * 48 + 1 + 1] = 'Z'; // change a record's key behind the index's back
    dir.write("GOOD.DBF", dbf);
    c = checkTable(dir / "GOOD.DBF");
    ASSERT_FALSE(c.ok());
    EXPECT_EQ(c.problems.back(), "tag CODE: the key of record 1 differs from its field");
}

} // namespace
} // namespace conv
