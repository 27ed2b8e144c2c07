// The table handle's operations and their exact results and messages.
#include "TableTestUtil.h"
#include "common/IoErrors.h"
#include "support/Environment.h"
#include "tables/TableCheck.h"
#include "tables/WorkFolder.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace conv
{
namespace
{

using test::TempDir;

constexpr FieldDef kFields[] = {{"CODE", FieldKind::Text, 5},
                                {"NAME", FieldKind::Text, 12},
                                {"COUNT", FieldKind::Integer, 0},
                                {"RATE", FieldKind::Float, 0},
                                {"DONE", FieldKind::Logical, 0}};
constexpr std::string_view kIndexes[] = {"CODE"};
constexpr TableLayout kLayout{"THINGS", kFields, kIndexes};

struct Fixture : ::testing::Test
{
    TempDir dir;
    void SetUp() override
    {
        rebuildTable(dir.path(), kLayout);
    }

    void add(Table& t, const std::string& code, const std::string& name, std::int32_t count)
    {
        t.append();
        t.fieldByName("CODE").setString(code);
        t.fieldByName("NAME").setString(name);
        t.fieldByName("COUNT").setInteger(count);
        t.post();
    }
    std::vector<std::string> codes(Table& t)
    {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next())
            out.push_back(t.fieldByName("CODE").asString());
        return out;
    }
};

TEST_F(Fixture, AppendPostAndReadBackInRecordAndIndexOrder)
{
    {
        Table t(dir.path(), "THINGS.DBF");
        t.open();
        EXPECT_TRUE(t.eof());
        EXPECT_EQ(t.recordCount(), 0);
        add(t, "b", "Beta", 2);
        add(t, "A", "Alpha", 1);
        add(t, "a", "alpha", 3);
        add(t, "A", "Alpha 2", 4);
        EXPECT_EQ(t.recordCount(), 4);
        EXPECT_EQ(codes(t), (std::vector<std::string>{"b", "A", "a", "A"}));
    }
    Table t(dir.path(), "things.dbf"); // names are matched without regard to case
    t.setIndexName("code");
    t.open();
    EXPECT_EQ(t.recordCount(), 4);
    EXPECT_EQ(t.fieldByName("NAME").asString(), "Alpha"); // open makes the first record current
    EXPECT_EQ(codes(t), (std::vector<std::string>{"A", "A", "a", "b"}));
    std::vector<std::int32_t> counts;
    for (t.first(); !t.eof(); t.next())
        counts.push_back(t.fieldByName("COUNT").asInteger());
    EXPECT_EQ(counts, (std::vector<std::int32_t>{1, 4, 3, 2})); // equal keys in record order
}

TEST_F(Fixture, TextIsCutToWidthAndReadsBackWithoutTrailingBlanks)
{
    Table t(dir.path(), "THINGS.DBF");
    t.open();
    t.append();
    t.fieldByName("CODE").setString("ABCDEFG");
    t.fieldByName("NAME").setString("  x  ");
    t.post();
    EXPECT_EQ(t.fieldByName("CODE").asString(), "ABCDE");
    EXPECT_EQ(t.fieldByName("NAME").asString(), "  x");
    t.append();
    t.fieldByName("NAME").setString("");
    t.fieldByName("CODE").setString(std::string_view{}); // a view without a pointer
    t.post();
    EXPECT_EQ(t.fieldByName("NAME").asString(), "");
    EXPECT_TRUE(t.fieldByName("NAME").isNull());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(t.fieldByName("COUNT").value()));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(t.fieldByName("RATE").value()));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(t.fieldByName("DONE").value()));
    EXPECT_EQ(t.fieldByName("COUNT").asString(), "");
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 0);
}

struct Conversion
{
    const char* name;
    const char* field;
    Value written;
    const char* text;     // asString, or the error of asInteger when it starts with '!'
    std::int32_t integer; // asInteger
};

const Conversion kConversions[] = {
    {"text to integer", "NAME", std::string("42"), "42", 42},
    {"text with blanks to integer", "NAME", std::string("  -7"), "  -7", -7},
    {"text not a number", "NAME", std::string("12a"), "!'12a' is not a valid integer value", 0},
    {"empty text", "NAME", std::string(""), "!'' is not a valid integer value", 0},
    {"integer to text", "COUNT", std::int32_t{-120}, "-120", -120},
    {"float half rounds to even (down)", "RATE", 2.5, "2.5", 2},
    {"float half rounds to even (up)", "RATE", 3.5, "3.5", 4},
    {"negative half", "RATE", -2.5, "-2.5", -2},
    {"float rounds to nearest", "RATE", 2.6, "2.6", 3},
    {"large float as text", "RATE", 1e20, "1E20", 0},
    {"integer written into text", "CODE", std::int32_t{123456}, "12345", 12345},
    {"float written into text", "NAME", 0.25, "!'0.25' is not a valid integer value", 0},
    {"logical", "DONE", true, "True", 1},
    {"text written into integer", "COUNT", std::string(" 17 "), "17", 17},
    {"text written into float", "RATE", std::string("-0.5"), "-0.5", 0},
};

TEST_F(Fixture, ReadsAndWritesAcrossKinds)
{
    Table t(dir.path(), "THINGS.DBF");
    t.open();
    for (const Conversion& c : kConversions) {
        SCOPED_TRACE(c.name);
        t.append();
        t.fieldByName(c.field).setValue(c.written);
        t.post();
        FieldRef f = t.fieldByName(c.field);
        if (c.text[0] == '!') {
            EXPECT_ERROR_TEXT(f.asInteger(), std::string(c.text + 1));
            continue;
        }
        EXPECT_EQ(f.asString(), c.text);
        if (std::string(c.name) != "large float as text") {
            EXPECT_EQ(f.asInteger(), c.integer);
        }
    }
}

TEST_F(Fixture, WrongValuesAndNamesGiveTheirMessages)
{
    Table t(dir.path(), "THINGS.DBF");
    EXPECT_ERROR_TEXT(t.fieldByName("CODE"), "Cannot perform this operation on a closed dataset");
    t.open();
    EXPECT_ERROR_TEXT(t.fieldByName("NOPE"), "Field 'NOPE' not found");
    EXPECT_ERROR_TEXT(t.fieldByName("CODE").setString("x"), "Dataset not in edit or insert mode");
    t.append();
    EXPECT_ERROR_TEXT(t.fieldByName("COUNT").setString("x1"), "'x1' is not a valid integer value");
    EXPECT_ERROR_TEXT(t.fieldByName("RATE").setString("abc"), "'abc' is not a valid floating point value");
    EXPECT_ERROR_TEXT(t.fieldByName("DONE").setString("maybe"), "'maybe' is not a valid boolean value");
    EXPECT_ERROR_TEXT(t.fieldByName("COUNT").setFloat(3e10), "Value out of range for field 'COUNT'");
    EXPECT_ERROR_TEXT(t.findKey(std::string("x")), "No index currently active");
    EXPECT_ERROR_TEXT(t.locate("CODE;NAME", std::vector<Value>{std::string("a")}),
                      "Locate needs one value for each field (2 fields, 1 values)");
}

TEST_F(Fixture, ImplicitPostOnMovesAndDropOfUnchangedRecords)
{
    Table t(dir.path(), "THINGS.DBF");
    t.open();
    t.edit(); // on an empty table: a new record
    EXPECT_TRUE(t.editing());
    EXPECT_TRUE(t.inserting());
    t.fieldByName("CODE").setString("E");
    t.first(); // posts the changed record
    EXPECT_FALSE(t.editing());
    EXPECT_EQ(t.recordCount(), 1);
    t.append();
    t.next(); // an unchanged new record is dropped
    EXPECT_EQ(t.recordCount(), 1);
    t.append();
    t.fieldByName("CODE").setString("F");
    t.append(); // append posts the pending one first
    t.fieldByName("CODE").setString("G");
    EXPECT_TRUE(t.locate("CODE", Value(std::string("E")))); // locate too
    EXPECT_EQ(t.recordCount(), 3);
    t.edit();
    t.fieldByName("NAME").setString("edited");
    t.next(); // posts the edit
    EXPECT_TRUE(t.locate("NAME", Value(std::string("edited"))));
    EXPECT_EQ(t.fieldByName("CODE").asString(), "E");
    EXPECT_EQ(t.recordCount(), 3);
}

TEST_F(Fixture, CloseDropsThePendingRecordAndEditChangesInPlace)
{
    {
        Table t(dir.path(), "THINGS.DBF");
        t.open();
        add(t, "A", "one", 1);
        add(t, "B", "two", 2);
        t.append();
        t.fieldByName("CODE").setString("C");
        t.close();
    }
    Table t(dir.path(), "THINGS.DBF");
    t.setIndexName("CODE");
    t.open();
    EXPECT_EQ(t.recordCount(), 2);
    ASSERT_TRUE(t.findKey(std::string("B")));
    t.edit();
    t.fieldByName("CODE").setString("0");
    t.post();
    EXPECT_EQ(codes(t), (std::vector<std::string>{"0", "A"}));
    EXPECT_FALSE(t.findKey(std::string("B")));
    EXPECT_TRUE(t.findKey(std::string("0")));
    EXPECT_EQ(t.fieldByName("NAME").asString(), "two");
}

TEST_F(Fixture, LocateOnOneOrSeveralFieldsInReadingOrder)
{
    Table t(dir.path(), "THINGS.DBF");
    t.open();
    add(t, "b", "x", 1);
    add(t, "a", "x", 2);
    add(t, "a", "y", 3);
    add(t, "a", "", 4);
    EXPECT_TRUE(t.locate("NAME", Value(std::string("x"))));
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 1);
    EXPECT_TRUE(t.locate("CODE;NAME", {std::string("a"), std::string("y")}));
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 3);
    EXPECT_FALSE(t.locate("CODE;NAME", {std::string("A"), std::string("y")})); // case matters
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 3);                          // current stays
    EXPECT_TRUE(t.locate("NAME", Value(std::string("x "))));                   // compared as stored: blank-padded
    EXPECT_TRUE(t.locate("NAME", Value()));                                    // null finds the empty field
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 4);
    EXPECT_TRUE(t.locate("COUNT", Value(std::string("2")))); // a value of another kind
    EXPECT_EQ(t.fieldByName("CODE").asString(), "a");
    EXPECT_TRUE(t.locate("CODE; NAME", {std::string("b"), std::string("x")}));
    EXPECT_ERROR_TEXT(t.locate("CODE;NOPE", {std::string("b"), std::string("x")}), "Field 'NOPE' not found");

    Table byIndex(dir.path(), "THINGS.DBF");
    byIndex.setIndexName("CODE");
    byIndex.open();
    EXPECT_TRUE(byIndex.locate("NAME", Value(std::string("x"))));
    EXPECT_EQ(byIndex.fieldByName("COUNT").asInteger(), 2); // first in index order
}

TEST_F(Fixture, FindKeyIsExactOnTheWholeKey)
{
    Table t(dir.path(), "THINGS.DBF");
    t.setIndexName("CODE");
    t.open();
    EXPECT_FALSE(t.findKey(std::string("A")));
    add(t, "AB", "", 1);
    add(t, "A", "", 2);
    add(t, "ABC", "", 3);
    add(t, "A", "", 4);
    EXPECT_TRUE(t.findKey(std::string("A")));
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 2);
    t.next();
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 4);
    EXPECT_TRUE(t.findKey(std::string("ABC")));
    EXPECT_FALSE(t.findKey(std::string("ABCD")));
    EXPECT_FALSE(t.findKey(std::string("a")));
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 3); // a miss leaves the current record
    add(t, "ABCDE", "", 5);
    EXPECT_TRUE(t.findKey(std::string("ABCDEFG"))); // a longer value is cut to the key's width first
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 5);
}

struct DeleteCase
{
    const char* name;
    const char* index;        // "" for record order
    std::int32_t deleteCount; // the COUNT of the record to delete
    std::vector<std::string> left;
    std::string currentAfter; // CODE of the current record afterwards; "" for none
};

TEST_F(Fixture, DeleteRecordMarksItAndMovesOnInReadingOrder)
{
    // Records in file order: c(1) a(2) b(3) a(4).
    const std::vector<DeleteCase> cases = {
        {"first in record order", "", 1, {"a", "b", "a"}, "a"},
        {"middle in record order", "", 3, {"c", "a", "a"}, "a"},
        {"last in record order goes back", "", 4, {"c", "a", "b"}, "b"},
        {"first in index order", "CODE", 2, {"a", "b", "c"}, "a"},
        {"equal key, second of two", "CODE", 4, {"a", "b", "c"}, "b"},
        {"last in index order goes back", "CODE", 1, {"a", "a", "b"}, "b"},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.name);
        rebuildTable(dir.path(), kLayout);
        {
            Table t(dir.path(), "THINGS.DBF");
            t.open();
            add(t, "c", "", 1);
            add(t, "a", "", 2);
            add(t, "b", "", 3);
            add(t, "a", "", 4);
        }
        Table t(dir.path(), "THINGS.DBF");
        t.setIndexName(c.index);
        t.open();
        ASSERT_TRUE(t.locate("COUNT", Value(std::int32_t{c.deleteCount})));
        t.deleteRecord();
        EXPECT_EQ(t.fieldByName("CODE").asString(), c.currentAfter);
        EXPECT_FALSE(t.eof());
        EXPECT_EQ(t.recordCount(), 3);
        EXPECT_EQ(codes(t), c.left);
        EXPECT_FALSE(t.locate("COUNT", Value(std::int32_t{c.deleteCount})));
        t.close();
        // Another handle, and the checker, see the same: the record is marked, not gone.
        Table again(dir.path(), "THINGS.DBF");
        again.setIndexName(c.index);
        again.open();
        EXPECT_EQ(codes(again), c.left);
        again.close();
        const TableCheck check = checkTable(dir.path() / "THINGS.DBF");
        EXPECT_TRUE(check.ok()) << (check.problems.empty() ? "" : check.problems.front());
        EXPECT_EQ(check.deleted, 1u);
    }
}

TEST_F(Fixture, DeleteRecordOnPendingAndEmptyTables)
{
    Table t(dir.path(), "THINGS.DBF");
    t.setIndexName("CODE");
    t.open();
    EXPECT_ERROR_TEXT(t.deleteRecord(), "Cannot perform this operation on an empty dataset");
    add(t, "a", "", 1);
    t.append(); // a new record not yet posted is only dropped
    t.fieldByName("CODE").setString("b");
    t.deleteRecord();
    EXPECT_FALSE(t.editing());
    EXPECT_EQ(t.recordCount(), 1);
    t.edit(); // changes to the record being deleted go with it
    t.fieldByName("CODE").setString("z");
    t.deleteRecord();
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_TRUE(t.eof());
    EXPECT_FALSE(t.findKey(std::string("a")));
    EXPECT_FALSE(t.findKey(std::string("z")));
    EXPECT_ERROR_TEXT(t.deleteRecord(), "Cannot perform this operation on an empty dataset");
    add(t, "a", "", 2); // the table takes new records after its last one was deleted
    EXPECT_EQ(codes(t), std::vector<std::string>{"a"});
    EXPECT_TRUE(t.findKey(std::string("a")));
    EXPECT_EQ(t.fieldByName("COUNT").asInteger(), 2);
}

TEST_F(Fixture, IntegerIndexOrdersNumerically)
{
    TempDir d;
    rebuildTable(d.path(), layouts::PLANTILLA);
    Table t(d.path(), "PLANTILLA.DBF");
    t.setIndexName("HORA");
    t.open();
    for (std::int32_t h : {10, -2, 3, 120, 0, 7}) {
        t.append();
        t.fieldByName("HORA").setInteger(h);
        t.post();
    }
    t.append();
    t.fieldByName("HORAINI").setString("null");
    t.post();
    std::vector<std::string> order;
    for (t.first(); !t.eof(); t.next())
        order.push_back(t.fieldByName("HORA").asString());
    EXPECT_EQ(order, (std::vector<std::string>{"-2", "0", "", "3", "7", "10", "120"}));
    EXPECT_TRUE(t.findKey(std::int32_t{7}));
    EXPECT_TRUE(t.findKey(std::string("120")));
    EXPECT_FALSE(t.findKey(std::int32_t{8}));
}

TEST_F(Fixture, ExclusiveAndSharedOpens)
{
    Table a(dir.path(), "THINGS.DBF");
    Table b(dir.path(), "THINGS.DBF");
    a.open();
    b.open(); // both shared
    add(a, "A", "seen", 1);
    EXPECT_TRUE(b.locate("CODE", Value(std::string("A")))); // another handle sees the post at once
    b.close();
    Table c(dir.path(), "THINGS.DBF");
    c.setExclusive(true);
    EXPECT_ERROR_TEXT(c.open(), "Table is busy.\nFile: " + (dir / "THINGS.DBF").string());
    a.close();
    c.open();
    EXPECT_ERROR_TEXT(b.open(), "Table is busy.\nFile: " + (dir / "THINGS.DBF").string());
    c.close();
    b.open();
}

TEST_F(Fixture, OpenErrorsNameTheFile)
{
    Table missing(dir.path(), "NONE.DBF");
    EXPECT_ERROR_TEXT(missing.open(), "Table does not exist.\nFile: " + (dir / "NONE.DBF").string());
    Table noFolder(dir / "nowhere", "X.DBF");
    EXPECT_ERROR_TEXT(noFolder.open(), "Path not found.\nFile: " + (dir / "nowhere" / "X.DBF").string());
    Table badIndex(dir.path(), "THINGS.DBF");
    badIndex.setIndexName("NAME");
    EXPECT_ERROR_TEXT(badIndex.open(), "Index does not exist.\nFile: " + (dir / "THINGS.MDX").string());
    EXPECT_FALSE(badIndex.isOpen());
    std::filesystem::remove(dir / "THINGS.MDX");
    Table noMdx(dir.path(), "THINGS.DBF");
    EXPECT_ERROR_TEXT(noMdx.open(), "Index not found.\nFile: " + (dir / "THINGS.MDX").string());
}

TEST_F(Fixture, RebuildReplacesLayoutAndLeavesNoStaleIndex)
{
    {
        Table t(dir.path(), "THINGS.DBF");
        t.open();
        add(t, "A", "x", 1);
    }
    constexpr FieldDef other[] = {{"ONLY", FieldKind::Text, 3}};
    rebuildTable(dir.path(), TableLayout{"THINGS", other, {}});
    EXPECT_FALSE(std::filesystem::exists(dir / "THINGS.MDX"));
    Table t(dir.path(), "THINGS.DBF");
    t.open();
    EXPECT_EQ(t.fieldCount(), 1);
    EXPECT_EQ(t.recordCount(), 0);
    createTableIfMissing(dir.path(), kLayout); // present: left alone
    EXPECT_EQ(t.fieldCount(), 1);
}

TEST_F(Fixture, CreateChecksFieldsAndIndexes)
{
    Table t(dir.path(), "BAD.DBF");
    t.addField({"THIS_NAME_IS_FAR_TOO_LONG_FOR_DBASE", FieldKind::Text, 3});
    EXPECT_ERROR_TEXT(t.createTable(), "Invalid field name.\nFile: " + (dir / "BAD.DBF").string());
    t.clearFields();
    t.addField({"A", FieldKind::Text, 255});
    EXPECT_ERROR_TEXT(t.createTable(), "Invalid field size.\nFile: " + (dir / "BAD.DBF").string());
    t.clearFields();
    t.addField({"A", FieldKind::Text, 3});
    t.addIndex("B");
    EXPECT_ERROR_TEXT(t.createTable(), "Invalid index descriptor.\nFile: " + (dir / "BAD.DBF").string());
    EXPECT_FALSE(std::filesystem::exists(dir / "BAD.DBF"));
}

} // namespace
} // namespace conv

namespace conv
{
namespace
{

TEST(WorkFolder, VariableOverridesElseVtempAtTheRootOfTheCurrentFileSystem)
{
    {
        test::ScopedVariable given(kWorkFolderVariable, "/srv/escola/VTEMP");
        EXPECT_EQ(defaultWorkFolder(), std::filesystem::path("/srv/escola/VTEMP"));
    }
    test::ScopedVariable none(kWorkFolderVariable, std::nullopt);
    const std::filesystem::path folder = defaultWorkFolder();
    EXPECT_EQ(folder.filename().string().size(), 5u);
    EXPECT_EQ(folder.filename(), findNoCase(folder.parent_path(), "VTEMP").filename());
    const std::string current = std::filesystem::current_path().string();
    EXPECT_EQ(current.rfind(folder.parent_path().string(), 0), 0u) << folder << " is not above " << current;
    EXPECT_FALSE(folder.parent_path().empty());
}

} // namespace
} // namespace conv
