#include "import/ShortCodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace conv::codes
{
namespace
{

// Each stage's way of choosing a code, as the stages call the rules.

std::string nextGroup(GivenCodes& given, CandidateSearch& search, const std::string& base)
{
    const std::string code = given.taken(base) ? search.find(base, given, [&](std::uint64_t i) {
        return groupCandidate(base, i);
    })
                                               : base;
    given.add(code);
    return code;
}

std::string nextSubgroup(GivenCodes& given, CandidateSearch& search, const std::string& parent)
{
    const std::string code = search.find(parent, given, [&](std::uint64_t i) { return subgroupCandidate(parent, i); });
    given.add(code);
    return code;
}

std::string nextNumbered(GivenCodes& given, CandidateSearch& search, const std::string& first, const std::string& base)
{
    const std::string code = given.taken(first) ? search.find(base, given, [&](std::uint64_t i) {
        return numberedCandidate(base, i);
    })
                                                : first;
    given.add(code);
    return code;
}

std::string nextTeacher(GivenCodes& given, CandidateSearch& search, const std::string& base)
{
    const std::string code = given.taken(base) ? search.find(base.substr(0, 3), given, [&](std::uint64_t i) {
        return teacherCandidate(base, i);
    })
                                               : base;
    given.add(code);
    return code;
}

struct SequenceCase
{
    const char* name;
    std::vector<std::string> inputs;
    std::vector<std::string> expected;
};

TEST(GroupCodes, Sequences)
{
    const std::vector<SequenceCase> cases = {
        {"same name gets A, B", {"ESO1A", "ESO1A", "ESO1A"}, {"ESO1A", "ESO1AA", "ESO1AB"}},
        {"letter case is ignored", {"ESO1A", "eso1a"}, {"ESO1A", "eso1aA"}},
        {"levels running into each other", {"ESO1A", "ESO1A"}, {"ESO1A", "ESO1AA"}},
        {"10 characters lose the tenth", {"ABCDEFGHIJ", "ABCDEFGHIJ"}, {"ABCDEFGHIJ", "ABCDEFGHIA"}},
        // Stored forms: an 11-character base is stored as its first 10; its letters all cut back
        // to the same 10, so the search goes on with 9 characters and a letter.
        {"longer base taken", {"ABCDEFGHIJK", "ABCDEFGHIJK"}, {"ABCDEFGHIJK", "ABCDEFGHIA"}},
        {"bases equal in 10 characters", {"ABCDEFGHIJX", "ABCDEFGHIJY"}, {"ABCDEFGHIJX", "ABCDEFGHIA"}},
        {"stored form ignores trailing blanks", {"ESO1A ", "ESO1A"}, {"ESO1A ", "ESO1AA"}},
    };
    for (const auto& c : cases) {
        GivenCodes given(true);
        CandidateSearch search;
        std::vector<std::string> got;
        for (const auto& in : c.inputs)
            got.push_back(nextGroup(given, search, in));
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(GroupCodes, TwentySeventhGroupGetsTwoLetters)
{
    GivenCodes given(true);
    CandidateSearch search;
    std::vector<std::string> got;
    for (int i = 0; i < 28; ++i)
        got.push_back(nextGroup(given, search, "ESO1A"));
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

TEST(SubgroupCodes, Sequences)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> groups; // codes already in GRUPOST
        std::string parent;
        int count;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"numbered from 1", {"ESO1A"}, "ESO1A", 2, {"ESO1A1", "ESO1A2"}},
        {"a group holding parent+1", {"ESO1A", "ESO1A1"}, "ESO1A", 1, {"ESO1A2"}},
        {"letter case counts", {"ESO1A", "eso1a1"}, "ESO1A", 1, {"ESO1A1"}},
        // A 10-character parent: parent+n is stored as the parent itself, so the number takes
        // the place of the last character.
        {"parent of 10 characters", {"ABCDEFGHIJ"}, "ABCDEFGHIJ", 2, {"ABCDEFGHI1", "ABCDEFGHI2"}},
        {"parent of 9 characters", {"ABCDEFGHI"}, "ABCDEFGHI", 10, {}},
    };
    for (const auto& c : cases) {
        GivenCodes given(false);
        for (const auto& g : c.groups)
            given.addStored(g);
        CandidateSearch search;
        std::vector<std::string> got;
        for (int i = 0; i < c.count; ++i)
            got.push_back(nextSubgroup(given, search, c.parent));
        if (!c.expected.empty()) {
            EXPECT_EQ(got, c.expected) << c.name;
        }
        for (std::size_t i = 0; i < got.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_NE(storedForm(got[i], 10), storedForm(got[j], 10)) << c.name;
    }
}

TEST(SubgroupCodes, HundredthSubgroupIsNotADuplicate)
{
    GivenCodes given(false);
    given.addStored("ESO1A");
    CandidateSearch search;
    std::string last;
    for (int i = 0; i < 100; ++i)
        last = nextSubgroup(given, search, "ESO1A");
    EXPECT_EQ(last, "ESO1A100");
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

TEST(SubjectCodes, Sequences)
{
    const std::vector<SequenceCase> cases = {
        {"letter case ignored", {"LeL", "lel", "LEL"}, {"LeL", "lel1", "LEL2"}},
        {"ten characters", {"ABCDEFGHIJ", "ABCDEFGHIJ"}, {"ABCDEFGHIJ", "ABCDEFGHJ1"}},
    };
    for (const auto& c : cases) {
        GivenCodes given(true);
        CandidateSearch search;
        std::vector<std::string> got;
        for (const auto& in : c.inputs)
            got.push_back(nextNumbered(given, search, in, in));
        EXPECT_EQ(got, c.expected) << c.name;
    }
    EXPECT_EQ(numberedCandidate("ABCDEFGHIJ", 8), "ABCDEFGHJ9");
    EXPECT_EQ(numberedCandidate("ABCDEFGHIJ", 9), "ABCDEFGH10");
    EXPECT_EQ(numberedCandidate("ABCDEFGHIJ", 10), "ABCDEFGH11");
}

TEST(SubjectCodes, SearchEndsWhenTheRuleRunsOut)
{
    // Every code the rule can make from a 10-character base is taken: J1..J9 and 00..99.
    GivenCodes given(true);
    given.add("ABCDEFGHIJ");
    for (int n = 1; n <= 9; ++n)
        given.add("ABCDEFGHJ" + std::to_string(n));
    for (int n = 0; n <= 99; ++n)
        given.add("ABCDEFGH" + std::string(n < 10 ? "0" : "") + std::to_string(n));
    CandidateSearch search;
    EXPECT_EQ(nextNumbered(given, search, "ABCDEFGHIJ", "ABCDEFGHIJ"), "ABCDEFGHI1");
    EXPECT_EQ(nextNumbered(given, search, "ABCDEFGHIJ", "ABCDEFGHIJ"), "ABCDEFGHI2");
}

TEST(TeacherCodes, Sequences)
{
    const std::vector<SequenceCase> cases = {
        {"same capitals", {"PCM", "PCM", "PCM"}, {"PCM", "PCM1", "PCM2"}},
        {"a taken longer base", {"PCMA", "PCMA"}, {"PCMA", "PCM1"}},
        {"no capitals", {"", "", ""}, {"", "1", "2"}},
        {"capitals equal in 10 letters", {"ABCDEFGHIJK", "ABCDEFGHIJL"}, {"ABCDEFGHIJK", "ABC1"}},
    };
    for (const auto& c : cases) {
        GivenCodes given(true);
        CandidateSearch search;
        std::vector<std::string> got;
        for (const auto& in : c.inputs)
            got.push_back(nextTeacher(given, search, in));
        EXPECT_EQ(got, c.expected) << c.name;
    }
    EXPECT_EQ(teacherCandidate("PCM", 9999998), "PCM9999999");
    EXPECT_EQ(teacherCandidate("PCM", 9999999), "PC10000000");
}

TEST(RoomCodes, Sequences)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> codes;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"own code", {"AULA1", "AULA2"}, {"AULA1", "AULA2"}},
        {"letter case ignored", {"AULA1", "aula1"}, {"AULA1", "aul1"}},
        {"a code equal to a made one", {"AULA1", "aula1", "AUL1"}, {"AULA1", "aul1", "AUL2"}},
        {"codes equal in 10 characters", {"LABORATORIO1", "LABORATORIO2"}, {"LABORATORIO1", "LAB1"}},
    };
    for (const auto& c : cases) {
        GivenCodes given(true);
        CandidateSearch search;
        std::vector<std::string> got;
        for (const auto& code : c.codes)
            got.push_back(nextNumbered(given, search, code, code.substr(0, 3)));
        EXPECT_EQ(got, c.expected) << c.name;
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

} // namespace
} // namespace conv::codes
