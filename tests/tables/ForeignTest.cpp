// Tables written by other programs: levels III, IV and 7, with more field types, extra fields and
// other widths than ours, crafted byte by byte here.
#include "TableTestUtil.h"

#include <gtest/gtest.h>

namespace conv
{
namespace
{

using test::readBytes;
using test::TempDir;

struct Spec
{
    std::string name;
    char type;
    int length;
    int decimals = 0;
    std::uint32_t autoIncrement = 0;
};

std::string le(std::uint32_t v, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

/// A table of level III or IV (32-byte descriptors).
std::string level3(unsigned char version, const std::vector<Spec>& fields, const std::vector<std::string>& records,
                   unsigned char language = 0x57)
{
    std::size_t recordLength = 1;
    for (const Spec& f : fields)
        recordLength += static_cast<std::size_t>(f.length);
    std::string h(32, '\0');
    h[0] = static_cast<char>(version);
    h[1] = 99, h[2] = 3, h[3] = 4;
    h.replace(4, 4, le(static_cast<std::uint32_t>(records.size()), 4));
    h.replace(8, 2, le(static_cast<std::uint32_t>(32 + 32 * fields.size() + 1), 2));
    h.replace(10, 2, le(static_cast<std::uint32_t>(recordLength), 2));
    h[29] = static_cast<char>(language);
    for (const Spec& f : fields) {
        std::string d(32, '\0');
        d.replace(0, f.name.size(), f.name);
        d[11] = f.type;
        d[16] = static_cast<char>(f.length);
        d[17] = static_cast<char>(f.decimals);
        h += d;
    }
    h += '\x0D';
    for (const std::string& r : records)
        h += r;
    return h + '\x1A';
}

/// A level-7 table made by another program; `properties` bytes follow the descriptors.
std::string level7(const std::vector<Spec>& fields, const std::vector<std::string>& records,
                   const std::string& properties = "")
{
    std::size_t recordLength = 1;
    for (const Spec& f : fields)
        recordLength += static_cast<std::size_t>(f.length);
    std::string h(68, '\0');
    h[0] = 0x04;
    h[1] = 124, h[2] = 1, h[3] = 31;
    h.replace(4, 4, le(static_cast<std::uint32_t>(records.size()), 4));
    h.replace(8, 2, le(static_cast<std::uint32_t>(68 + 48 * fields.size() + 1 + properties.size()), 2));
    h.replace(10, 2, le(static_cast<std::uint32_t>(recordLength), 2));
    h.replace(32, 8, "DBWINWE0");
    for (const Spec& f : fields) {
        std::string d(48, '\0');
        d.replace(0, f.name.size(), f.name);
        d[32] = f.type;
        d[33] = static_cast<char>(f.length);
        d[34] = static_cast<char>(f.decimals);
        d.replace(42, 4, le(f.autoIncrement, 4));
        h += d;
    }
    h += '\x0D';
    h += properties;
    for (const std::string& r : records)
        h += r;
    return h + '\x1A';
}

std::vector<std::string> column(Table& t, const char* field)
{
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next())
        out.push_back(t.fieldByName(field).asString());
    return out;
}

TEST(ForeignTables, LevelIIIWithNumbersDatesLogicalsAndADeletedRecord)
{
    TempDir dir;
    const std::vector<Spec> fields = {{"NAME", 'C', 6}, {"QTY", 'N', 5},  {"PRICE", 'N', 8, 2},
                                      {"OK", 'L', 1},   {"WHEN", 'D', 8}, {"RATE", 'F', 10, 3}};
    auto rec = [](std::vector<std::string> values) {
        const int widths[] = {1, 6, 5, 8, 1, 8, 10};
        std::string r;
        for (std::size_t i = 0; i < values.size(); ++i) {
            std::string v = values[i];
            const bool right = i == 2 || i == 3 || i == 6;
            const std::size_t w = static_cast<std::size_t>(widths[i]);
            r += right ? std::string(w - v.size(), ' ') + v : v + std::string(w - v.size(), ' ');
        }
        return r;
    };
    dir.write("OLD.DBF", level3(0x03, fields,
                                {rec({" ", "Caf\xE9", "12", "3.50", "T", "20261209", "1.250"}),
                                 rec({"*", "gone", "1", "0.00", "F", "", ""}),
                                 rec({" ", "x", "-40", "-12.25", "?", "19991231", "-0.001"}),
                                 rec({" ", "", "", "", " ", "", ""})}));
    Table t(dir.path(), "old.dbf");
    t.open();
    EXPECT_EQ(t.recordCount(), 3); // the deleted record is left out
    EXPECT_EQ(column(t, "NAME"), (std::vector<std::string>{"Caf\xE9", "x", ""}));
    EXPECT_EQ(column(t, "QTY"), (std::vector<std::string>{"12", "-40", ""}));
    EXPECT_EQ(column(t, "PRICE"), (std::vector<std::string>{"3.5", "-12.25", ""}));
    EXPECT_EQ(column(t, "OK"), (std::vector<std::string>{"True", "", ""}));
    EXPECT_EQ(column(t, "WHEN"), (std::vector<std::string>{"2026-12-09", "1999-12-31", ""}));
    EXPECT_EQ(column(t, "RATE"), (std::vector<std::string>{"1.25", "-0.001", ""}));
    t.first();
    EXPECT_EQ(t.fieldByName("QTY").asInteger(), 12);
    EXPECT_EQ(t.fieldByName("PRICE").asInteger(), 4); // 3.5 rounds to even
    EXPECT_TRUE(t.locate("QTY;OK", {std::int32_t{-40}, Value()}));
    EXPECT_EQ(t.fieldByName("NAME").asString(), "x");
    EXPECT_FALSE(t.locate("NAME", Value(std::string("gone"))));
}

TEST(ForeignTables, LevelIVWithMemoFlagAndOtherDriver)
{
    TempDir dir;
    dir.write("MEMO.DBF", level3(0x8B, {{"TITLE", 'C', 3}, {"NOTES", 'M', 10}},
                                 {std::string(" abc         7"), std::string(" de           ")}, 0x01));
    Table t(dir.path(), "MEMO.DBF");
    t.open();
    EXPECT_EQ(column(t, "TITLE"), (std::vector<std::string>{"abc", "de"}));
    EXPECT_EQ(column(t, "NOTES"), (std::vector<std::string>{"7", ""}));
}

std::string be32(std::uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

TEST(ForeignTables, Level7TimetableWithExtraFieldsAndOtherWidths)
{
    TempDir dir;
    const std::vector<Spec> fields = {{"ID", '+', 4, 0, 3},    {"ASIG", 'C', 6},     {"PROF", 'C', 4},
                                      {"EXTRA_FIELD_NAME_31_CHARACTERS", 'C', 2},
                                      {"DIA", 'N', 2},          {"HORA", 'F', 5, 1},  {"SESIONES", 'O', 8},
                                      {"STAMP", '@', 8},        {"FECHA", 'D', 8},    {"CUENTA", 'I', 4}};
    const std::string stamp1970("\x42\xCC\x41\x8B\xA9\x9A\x00\x00", 8);
    const std::string o43("\xC0\x45\xD3\x33\x33\x33\x33\x33", 8);
    const std::string o0("\x80\0\0\0\0\0\0\0", 8);
    const std::string zero8(8, '\0');
    std::vector<std::string> records = {
        " " + be32(0x80000001) + "MAT1  P1  xx 1  2.5" + o43 + stamp1970 + "20260131" + be32(0x7FFFFFFF),
        " " + be32(0x80000002) + "HIS   P2     0  3.5" + o0 + zero8 + "        " + std::string(4, '\0')};
    dir.write("SOLUC.DBF", level7(fields, records, std::string("\0\0\x10\0", 4) + std::string(12, '\0')));
    {
        Table t(dir.path(), "SOLUC.DBF");
        t.setExclusive(true);
        t.open();
        EXPECT_EQ(t.fieldByName("extra_field_name_31_characters").asString(), "xx");
        EXPECT_EQ(t.fieldByName("DIA").asInteger(), 1);
        EXPECT_EQ(t.fieldByName("HORA").asInteger(), 2); // 2.5 rounds to even
        EXPECT_EQ(t.fieldByName("HORA").asFloat(), 2.5);
        EXPECT_EQ(t.fieldByName("SESIONES").asFloat(), 43.65);
        EXPECT_EQ(t.fieldByName("STAMP").asString(), "1970-01-01 00:00:00");
        EXPECT_EQ(t.fieldByName("FECHA").asString(), "2026-01-31");
        EXPECT_EQ(t.fieldByName("CUENTA").asInteger(), -1);
        EXPECT_EQ(t.fieldByName("ID").asInteger(), 1);
        t.next();
        EXPECT_EQ(t.fieldByName("HORA").asInteger(), 4);
        EXPECT_EQ(t.fieldByName("SESIONES").asString(), "0");
        EXPECT_TRUE(t.fieldByName("STAMP").isNull());
        EXPECT_TRUE(t.fieldByName("CUENTA").isNull());
        // An appended record takes the next autoincrement value.
        t.append();
        t.fieldByName("ASIG").setString("FIS");
        t.post();
        EXPECT_EQ(t.fieldByName("ID").asInteger(), 3);
    }
    const std::string bytes = readBytes(dir / "SOLUC.DBF");
    EXPECT_EQ(test::le32At(bytes, 4), 3u);
    EXPECT_EQ(test::le32At(bytes, 68 + 42), 4u); // next value kept in the descriptor
    EXPECT_EQ(bytes.substr(32, 8), "DBWINWE0");  // the rest of the header is left as it was
}

TEST(ForeignTables, DayAndPeriodSearchOnTextFields)
{
    TempDir dir;
    const std::vector<Spec> fields = {{"DIHO", 'C', 10}, {"DIA", 'C', 20}, {"HORA", 'C', 8}, {"HORADESDE", 'C', 8},
                                      {"SESION_ORDEN", 'I', 4}};
    auto rec = [](const std::string& dia, const std::string& hora, const std::string& desde) {
        auto pad = [](std::string s, std::size_t n) {
            s.resize(n, ' ');
            return s;
        };
        return " " + pad("x", 10) + pad(dia, 20) + pad(hora, 8) + pad(desde, 8) + be32(0x80000001);
    };
    dir.write("DIASHORAST.DBF", level7(fields, {rec("1", "1", "08:00"), rec("1", "2", "08:50"), rec("2", "1", "08:05")}));
    Table t(dir.path(), "DIASHORAST.DBF");
    t.open();
    EXPECT_TRUE(t.locate("DIA;HORA", {std::int32_t{2}, std::int32_t{1}}));
    EXPECT_EQ(t.fieldByName("HORADESDE").asString(), "08:05");
    EXPECT_TRUE(t.locate("DIA;HORA", {std::string("1"), std::string("2")}));
    EXPECT_EQ(t.fieldByName("HORA").asInteger(), 2);
    EXPECT_FALSE(t.locate("DIA;HORA", {std::string("3"), std::string("1")}));
    EXPECT_ERROR_TEXT(t.fieldByName("DIHO").asInteger(), "'x' is not a valid integer value");
}

} // namespace
} // namespace conv
