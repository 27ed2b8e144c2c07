#include "import/ShortCodes.h"
#include "support/ImportFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace conv::codes
{
namespace
{

// The stages' code choice is checked through the stages themselves: a school of one call and
// one course is imported whole, and the codes are read back from the table the stage writes.

/// The data lines of some XADE files; the files not named are there, empty.
using Files = std::map<std::string, std::vector<std::string>>;

/// Imports the school (its courses with the `levels`) and gives the stored `field` of every
/// record of `table` in record order.
std::vector<std::string> importedCodes(const Files& files, const test::Levels& levels, const std::string& table,
                                       const std::string& field)
{
    test::ImportRun school;
    school.xade("convocatoriasCentro.csv", {"C1,Primeira"});
    for (const char* name : {"gruposCentro.csv", "subgruposCentro.csv", "materiasHorarioOfertaCentro.csv",
                             "materiasHorarioOfertaXeral.csv", "actividadesProfesor.csv", "profesoresGrupoCentro.csv",
                             "aulasCentro.csv"}) {
        const auto given = files.find(name);
        school.xade(name, given == files.end() ? std::vector<std::string>{} : given->second);
    }
    EXPECT_TRUE(school.importAll(levels)) << testing::PrintToString(school.feedback.errors);
    return school.dump(table, {field});
}

/// A group: its course's code and its name.
using Group = std::pair<std::string, std::string>;

/// One group line for each group, with group codes G1, G2, ...
std::vector<std::string> groupLines(const std::vector<Group>& groups)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const auto& [course, name] = groups[i];
        lines.push_back("C1," + course + ",G" + std::to_string(i + 1) + ",\"" + name + "\",Curso" + course + ",x");
    }
    return lines;
}

/// Groups of course K1 by name.
std::vector<Group> groupsOfK1(const std::vector<std::string>& names)
{
    std::vector<Group> groups;
    for (const std::string& name : names)
        groups.emplace_back("K1", name);
    return groups;
}

std::vector<std::string> groupCodes(const test::Levels& levels, const std::vector<Group>& groups)
{
    return importedCodes({{"gruposCentro.csv", groupLines(groups)}}, levels, "GRUPOST", "ABREV");
}

const test::Levels kEso1{{"K1", {"M", "ESO", "1"}}};
const test::Levels kTenLetters{{"K1", {"M", "ABCDE", "FGH"}}}; // with a group name: ABCDEFGH + name

TEST(GroupCodes, Sequences)
{
    struct Case
    {
        const char* name;
        test::Levels levels;
        std::vector<Group> groups;
        std::vector<std::string> expected; // as stored
    };
    const std::vector<Case> cases = {
        {"same name gets A, B", kEso1, groupsOfK1({"A", "A", "A"}), {"ESO1A", "ESO1AA", "ESO1AB"}},
        {"letter case is ignored", kEso1, groupsOfK1({"A", "a"}), {"ESO1A", "ESO1aA"}},
        {"levels running into each other",
         {{"K1", {"M", "ES", "O1"}}, {"K2", {"M", "ESO", "1"}}},
         {{"K1", "A"}, {"K2", "A"}},
         {"ESO1A", "ESO1AA"}},
        {"10 characters lose the tenth", kTenLetters, groupsOfK1({"IJ", "IJ"}), {"ABCDEFGHIJ", "ABCDEFGHIA"}},
        // An 11-character base is stored as its first 10; its letters all cut back to the same
        // 10, so the search goes on with 9 characters and a letter.
        {"longer base taken", kTenLetters, groupsOfK1({"IJK", "IJK"}), {"ABCDEFGHIJ", "ABCDEFGHIA"}},
        {"bases equal in 10 characters", kTenLetters, groupsOfK1({"IJX", "IJY"}), {"ABCDEFGHIJ", "ABCDEFGHIA"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(groupCodes(c.levels, c.groups), c.expected) << c.name;
}

TEST(GroupCodes, TwentySeventhGroupGetsTwoLetters)
{
    const std::vector<std::string> got = groupCodes(kEso1, groupsOfK1(std::vector<std::string>(28, "A")));
    ASSERT_EQ(got.size(), 28u);
    EXPECT_EQ(got[25], "ESO1AY");
    EXPECT_EQ(got[26], "ESO1AAA"); // the 27th: no second ESO1AY
    EXPECT_EQ(got[27], "ESO1AAB");
}

TEST(GroupCodes, Candidates)
{
    EXPECT_EQ(groupCandidate("ESO1A", 0), "ESO1AA");
    EXPECT_EQ(groupCandidate("ESO1A", 24), "ESO1AY");
    EXPECT_EQ(groupCandidate("ESO1A", 25), "ESO1AA");
    EXPECT_EQ(groupCandidate("ESO1A", 50), "ESO1AAA");
    EXPECT_EQ(groupCandidate("ABCDEFGHIJKL", 25), "ABCDEFGHIA");
    EXPECT_EQ(groupCandidate("", 25 + 25 + 625), "AAA");
}

/// The codes the subgroups of the first group get, in order.
std::vector<std::string> subgroupCodes(const test::Levels& levels, const std::vector<std::string>& groups,
                                       int subgroups)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= subgroups; ++i)
        lines.push_back("G1,S" + std::to_string(i) + ",Desdobre,Nome,N");
    const std::vector<std::string> all = importedCodes(
        {{"gruposCentro.csv", groupLines(groupsOfK1(groups))}, {"subgruposCentro.csv", lines}}, levels, "GRUPOST",
        "ABREV");
    return std::vector<std::string>(all.begin() + std::min(all.size(), groups.size()), all.end());
}

TEST(SubgroupCodes, Sequences)
{
    struct Case
    {
        const char* name;
        test::Levels levels;
        std::vector<std::string> groups; // of K1 by name; the first is the parent
        int count;
        std::vector<std::string> expected; // empty: only checked to be distinct
    };
    const std::vector<Case> cases = {
        {"numbered from 1", kEso1, {"A"}, 2, {"ESO1A1", "ESO1A2"}},
        {"a group holding parent+1", kEso1, {"A", "A1"}, 1, {"ESO1A2"}},
        {"letter case counts", kEso1, {"A", "a1"}, 1, {"ESO1A1"}},
        // A 10-character parent: parent+n is stored as the parent itself, so the number takes
        // the place of the last character.
        {"parent of 10 characters", kTenLetters, {"IJ"}, 2, {"ABCDEFGHI1", "ABCDEFGHI2"}},
        {"parent of 9 characters", kTenLetters, {"I"}, 10, {}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> got = subgroupCodes(c.levels, c.groups, c.count);
        ASSERT_EQ(got.size(), static_cast<std::size_t>(c.count)) << c.name;
        if (!c.expected.empty()) {
            EXPECT_EQ(got, c.expected) << c.name;
        }
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NE(got[i], "ABCDEFGHI") << c.name; // the parent's own code
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_NE(got[i], got[j]) << c.name;
        }
    }
}

TEST(SubgroupCodes, HundredthSubgroupIsNotADuplicate)
{
    const std::vector<std::string> got = subgroupCodes(kEso1, {"A"}, 100);
    ASSERT_EQ(got.size(), 100u);
    EXPECT_EQ(got[98], "ESO1A99");
    EXPECT_EQ(got[99], "ESO1A100");
    EXPECT_EQ(subgroupCandidate("ESO1A", 9), "ESO1A10");
    EXPECT_EQ(subgroupCandidate("ESO1A", 98), "ESO1A99");
}

TEST(SubjectCodes, Base)
{
    struct Case
    {
        const char* longCode;
        const char* name;
        const char* base;
    };
    const Case cases[] = {
        {"Lingua e Literatura", "x", "LeL"},
        {"MAT1", "Matem\xE1ticas", "MAT1"},
        {"ABCDEFGHIJ", "x", "ABCDEFGHIJ"},
        {"CienciasNaturaisAplicadas", "Ciencias Naturais", "CN"},
        {"CienciasNaturaisAplicadas", "Historia", "H"},
        {"X", "Ciencias Naturais", "CN"},
        {"", "", ""},
        {"A b c d e f g h i j k l", "x", "Abcdefghij"},
        {"A b c d e f g h i  j", "x", "Abcdefghi"}, // cut to 10, then the blank at the end goes
    };
    for (const auto& c : cases)
        EXPECT_EQ(subjectBase(c.longCode, c.name), c.base) << c.longCode;
}

/// The codes of the subjects of the centre file, one line per long code (each named apart).
std::vector<std::string> subjectCodes(const std::vector<std::string>& longCodes)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < longCodes.size(); ++i)
        lines.push_back("M" + std::to_string(i) + ",K1,0,\"" + longCodes[i] + "\",Nome" + std::to_string(i) + ",AB");
    return importedCodes({{"materiasHorarioOfertaCentro.csv", lines}}, kEso1, "ASIGNOMT", "COD");
}

TEST(SubjectCodes, Sequences)
{
    const struct
    {
        const char* name;
        std::vector<std::string> longCodes;
        std::vector<std::string> expected;
    } cases[] = {
        {"letter case ignored", {"LeL", "lel", "LEL"}, {"LeL", "lel1", "LEL2"}},
        // The second long code's base is its first letter and its initials: ABCDEFGHIJ again.
        {"ten characters", {"ABCDEFGHIJ", "A B C D E F G H I J"}, {"ABCDEFGHIJ", "ABCDEFGHJ1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(subjectCodes(c.longCodes), c.expected) << c.name;
    EXPECT_EQ(numberedCandidate("ABCDEFGHIJ", 8), "ABCDEFGHJ9");
    EXPECT_EQ(numberedCandidate("ABCDEFGHIJ", 9), "ABCDEFGH10");
    EXPECT_EQ(numberedCandidate("ABCDEFGHIJ", 10), "ABCDEFGH11");
}

TEST(SubjectCodes, SearchEndsWhenTheRuleRunsOut)
{
    // Every code the rule can make from a 10-character base is taken: J1..J9 and 00..99, each
    // by a subject whose long code it is.
    std::vector<std::string> longCodes = {"ABCDEFGHIJ"};
    for (int n = 1; n <= 9; ++n)
        longCodes.push_back("ABCDEFGHJ" + std::to_string(n));
    for (int n = 0; n <= 99; ++n)
        longCodes.push_back("ABCDEFGH" + std::string(n < 10 ? "0" : "") + std::to_string(n));
    const std::size_t taken = longCodes.size();
    longCodes.push_back("A B C D E F G H I J");
    longCodes.push_back("A B C D E F G H I J K");
    const std::vector<std::string> got = subjectCodes(longCodes);
    ASSERT_EQ(got.size(), taken + 2);
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(taken)),
              std::vector<std::string>(longCodes.begin(), longCodes.begin() + static_cast<std::ptrdiff_t>(taken)));
    EXPECT_EQ(got[taken], "ABCDEFGHI1");
    EXPECT_EQ(got[taken + 1], "ABCDEFGHI2");
}

TEST(TeacherCodes, Sequences)
{
    const struct
    {
        const char* name;
        std::vector<std::string> names;
        std::vector<std::string> expected; // as stored
    } cases[] = {
        {"same capitals",
         {"Pereiro Castelo, Maruxa", "Pazos Cid, Miro", "Pardo Cal, Mar"},
         {"PCM", "PCM1", "PCM2"}},
        {"a taken longer base", {"Pereiro Castelo, Maruxa Anta", "Pazos Cid, Miro Anta"}, {"PCMA", "PCM1"}},
        {"no capitals", {"sen maiusculas", "sen", "nada"}, {"", "1", "2"}},
        {"capitals equal in 10 letters", {"ABCDEFGHIJK", "ABCDEFGHIJL"}, {"ABCDEFGHIJ", "ABC1"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < c.names.size(); ++i)
            lines.push_back("E" + std::to_string(i) + ",G1,\"" + c.names[i] + "\"");
        EXPECT_EQ(importedCodes({{"profesoresGrupoCentro.csv", lines}}, kEso1, "PROFT", "ABREV"), c.expected)
            << c.name;
    }
    EXPECT_EQ(teacherCandidate("PCM", 9999998), "PCM9999999");
    EXPECT_EQ(teacherCandidate("PCM", 9999999), "PC10000000");
}

TEST(RoomCodes, Sequences)
{
    const struct
    {
        const char* name;
        std::vector<std::string> codes;
        std::vector<std::string> expected; // as stored
    } cases[] = {
        {"own code", {"AULA1", "AULA2"}, {"AULA1", "AULA2"}},
        {"letter case ignored", {"AULA1", "aula1"}, {"AULA1", "aul1"}},
        {"a code equal to a made one", {"AULA1", "aula1", "AUL1"}, {"AULA1", "aul1", "AUL2"}},
        {"codes equal in 10 characters", {"LABORATORIO1", "LABORATORIO2"}, {"LABORATORI", "LAB1"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        for (const std::string& code : c.codes)
            lines.push_back(code + ",Nome");
        EXPECT_EQ(importedCodes({{"aulasCentro.csv", lines}}, kEso1, "AULAT", "ABREV"), c.expected) << c.name;
    }
}

TEST(CodeText, FoldStoreAndKey)
{
    EXPECT_EQ(foldCase("\xF1" "and\xFA \xFF\x9A"), "\xD1" "AND\xDA \x9F\x8A");
    EXPECT_EQ(foldCase("\xF7\xD7"), "\xF7\xD7"); // division and multiplication signs stay
    EXPECT_EQ(storedForm("ABCDEFGHIJK", 10), "ABCDEFGHIJ");
    EXPECT_EQ(storedForm("ABCDEFGHI K", 10), "ABCDEFGHI");
    EXPECT_EQ(storedForm(" A ", 10), " A");
    EXPECT_EQ(recordKey("AULA1 ", 10), "AULA1");
    EXPECT_EQ(recordKey("LABORATORIO1", 10), "LABORATORIO1");
}

TEST(CodeText, GivenCodesCompareAsStored)
{
    GivenCodes folded(true);
    folded.add("ESO1A ");
    EXPECT_TRUE(folded.taken("eso1a")); // trailing blanks do not count, nor letter case here
    folded.add("ABCDEFGHIJK");
    EXPECT_TRUE(folded.taken("ABCDEFGHIJX")); // equal in the 10 characters stored
    GivenCodes exact(false);
    exact.addStored("ESO1A");
    EXPECT_FALSE(exact.taken("eso1a"));
}

} // namespace
} // namespace conv::codes
