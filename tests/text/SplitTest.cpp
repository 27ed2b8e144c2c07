#include "common/Error.h"
#include "support/TempDir.h"
#include "text/CsvLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace conv
{
namespace
{

using Fields = std::vector<std::string>;

struct SplitCase
{
    const char* name;
    std::string line;
    Fields fields;
};

const SplitCase kSplitCases[] = {
    {"blank ends a plain field", "a b,c", {"a", "b", "c"}},
    {"quoted field keeps blanks", "\"a b\",c", {"a b", "c"}},
    {"blanks around fields and commas dropped", " a , b ", {"a", "b"}},
    {"tabs and control characters are blanks",
     "\ta\x01,\x1f"
     "b\t",
     {"a", "b"}},
    {"two commas give an empty field", "a,,b", {"a", "", "b"}},
    {"leading comma", ",a", {"", "a"}},
    {"trailing comma", "a,", {"a", ""}},
    {"trailing comma then blank", "a, ", {"a"}},
    {"only a comma", ",", {"", ""}},
    {"doubled quotes inside quotes", "\"x\"\"y\",z", {"x\"y", "z"}},
    {"text after a closing quote starts a new field", "\"ab\"cd,e", {"ab", "cd", "e"}},
    {"quote inside a plain field is ordinary", "ab\"cd,e", {"ab\"cd", "e"}},
    {"quoted empty field", "\"\",x", {"", "x"}},
    {"unclosed quote runs to the end", "\"abc", {"abc"}},
    {"unclosed quote keeps commas and reduces pairs", "\"a,b\"\"c", {"a,b\"c"}},
    {"lone quote", "\"", {""}},
    {"only quotes", "\"\"\"\"\"", {"\"\""}},
    {"quoted comma and blanks", "\" a, b \" , c", {" a, b ", "c"}},
    {"empty line", "", {}},
    {"all-blank line", " \t  ", {}},
    {"nul ends the text", std::string("a,b\0,c", 6), {"a", "b"}},
    {"nul first", std::string("\0a", 2), {}},
    {"accented letters are not blanks", "\xE9t\xE9,\xA0x", {"\xE9t\xE9", "\xA0x"}},
    {"space then comma then nothing", "a ,", {"a", ""}},
    {"quoted field then blanks then comma at end", "\"a\" ,", {"a", ""}},
};

TEST(Split, Rules)
{
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitLine(c.line).toVector(), c.fields);
    }
}

TEST(Split, LongLineIsSplitWhole)
{
    const std::string a(1000, 'a');
    EXPECT_EQ(splitLine(a + ",\"" + a + " b\"").toVector(), (Fields{a, a + " b"}));
}

TEST(Split, ReusedListHoldsOnlyTheNewLine)
{
    FieldList list;
    splitLine("a,b,c,d", list);
    splitLine("x", list);
    EXPECT_EQ(list.toVector(), Fields{"x"});
    EXPECT_EQ(list.count(), 1);
}

TEST(FieldAccess, IndexError)
{
    const FieldList list = splitLine("a,b");
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list.at(1), "b");
    EXPECT_ERROR_TEXT(list.at(2), "List index out of bounds (2)");
    EXPECT_ERROR_TEXT(list.at(7), "List index out of bounds (7)");
    EXPECT_ERROR_TEXT(list.at(-1), "List index out of bounds (-1)");
    EXPECT_ERROR_TEXT(splitLine("").at(0), "List index out of bounds (0)");
    // A line that is not valid UTF-8 reads as empty, so position 0 is out of bounds.
    EXPECT_ERROR_TEXT(splitLine(decodeLine("P\xE9rez,1")).at(0), "List index out of bounds (0)");
}

TEST(SearchValues, ComparedExactly)
{
    const FieldList list = splitLine("\"Aula 1\"");
    EXPECT_NE(list[0], "AULA 1");
    EXPECT_NE(list[0], "Aula 1 ");
    EXPECT_EQ(list[0], "Aula 1");
}

} // namespace
} // namespace conv
