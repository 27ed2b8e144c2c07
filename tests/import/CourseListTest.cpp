#include "import/CourseList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace conv::import
{
namespace
{

// The courses of the level screen from the call's lines, at and around the widths the tables
// keep: what fits is listed as before; what the tables would mix or lose is refused.
TEST(CourseList, ListsWhatFitsAndRefusesWhatTheTablesWouldMix)
{
    struct Line
    {
        std::string code;
        std::string name;
    };
    struct Case
    {
        const char* name;
        std::vector<Line> lines;
        std::vector<std::string> listed; // the codes listed, in order
        std::string refusal;             // the start of the last line's refusal, if any
    };
    const std::string n50(50, 'N'), c10 = "1234567890";
    const Case cases[] = {
        {"a repeated code is one course", {{"K1", "Uno"}, {"K1", "Outro"}, {"K2", "Dous"}}, {"K1", "K2"}, ""},
        {"a code of 15", {{c10 + "12345", "Longo"}}, {c10 + "12345"}, ""},
        {"a code of 16", {{c10 + "123456", "Longo"}}, {}, "The course code '" + c10 + "123456' has 16 characters"},
        {"trailing blanks do not count", {{c10 + "12345  ", "Longo"}, {c10 + "12345", "Longo"}}, {c10 + "12345"},
         ""},
        {"codes of 10 that differ", {{c10, "Uno"}, {"1234567891", "Dous"}}, {c10, "1234567891"}, ""},
        {"codes of 11 that agree in 10", {{c10 + "1", "Uno"}, {c10 + "2", "Dous"}}, {c10 + "1"},
         "The course codes '" + c10 + "1' (line 1) and '" + c10 + "2' agree in their first 10 characters"},
        {"names of 50 that differ", {{"K1", n50}, {"K2", n50.substr(1) + "M"}}, {"K1", "K2"}, ""},
        {"a name of 51 alone", {{"K1", n50 + "a"}}, {"K1"}, ""},
        {"names of 51 that agree in 50", {{"K1", n50 + "a"}, {"K2", n50 + "b"}}, {"K1"},
         "The names of the courses 'K1' (line 1) and 'K2' agree in their first 50 characters"},
        {"the same name for two codes is kept as before", {{"K1", "Curso"}, {"K2", "Curso"}}, {"K1", "K2"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CourseList list;
        std::string refusal;
        long line = 0;
        for (const Line& l : c.lines)
            refusal = list.add(l.code, ++line, [&l]() -> const std::string& { return l.name; }).refusal;
        std::vector<std::string> listed;
        for (const CourseList::Course& course : list.courses())
            listed.push_back(course.code);
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(refusal.substr(0, c.refusal.size()), c.refusal);
        EXPECT_EQ(refusal.empty(), c.refusal.empty());
    }
}

TEST(CourseList, TheNameIsReadOnlyForANewCode)
{
    CourseList list;
    int asked = 0;
    const std::string name = "Uno";
    auto nameOf = [&]() -> const std::string& {
        ++asked;
        return name;
    };
    list.add("K1", 1, nameOf);
    list.add("K1", 2, nameOf);
    EXPECT_EQ(asked, 1);
    ASSERT_NE(list.findByName("Uno"), nullptr);
    EXPECT_EQ(list.findByName("Uno")->line, 1);
    EXPECT_EQ(list.findByName("Dous"), nullptr);
}

} // namespace
} // namespace conv::import
