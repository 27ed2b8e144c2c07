#include "export/Rules.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace conv::exporter
{
namespace
{

TEST(DayName, EveryDayNumberWithItsBytes)
{
    const struct
    {
        std::int32_t day;
        std::string_view name;
    } cases[] = {
        {1, "Luns"},
        {2, "Martes"},
        {3, "M\xE9rcores"},
        {4, "Xoves"},
        {5, "Venres"},
        {6,
         "S\xE1"
         "bado"},
        {7, "Domingo"},
        {8, ""},
        {-1, ""},
        {0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dayName(c.day), c.name) << "day " << c.day;
    // The two accented names are single-byte Windows-1252, not UTF-8.
    EXPECT_EQ(dayName(3).size(), 8u);
    EXPECT_EQ(static_cast<unsigned char>(dayName(3)[1]), 0xE9);
    EXPECT_EQ(static_cast<unsigned char>(dayName(6)[1]), 0xE1);
}

TEST(DefaultTemplate, RowsRunFromEightInTheMorningAndWrapAfterMidnight)
{
    const struct
    {
        int i;
        const char* ini;
        const char* fin;
    } cases[] = {{1, "08:00", "09:00"},  {2, "09:00", "10:00"},  {3, "10:00", "11:00"}, {8, "15:00", "16:00"},
                 {16, "23:00", "24:00"}, {17, "00:00", "01:00"}, {20, "03:00", "04:00"}};
    for (const auto& c : cases) {
        const TemplateRow row = defaultTemplateRow(c.i);
        EXPECT_EQ(row.hora, c.i);
        EXPECT_EQ(row.horaIni, c.ini) << "period " << c.i;
        EXPECT_EQ(row.horaFin, c.fin) << "period " << c.i;
    }
}

TEST(PeriodRules, PartPeriodNumberInDiasHoras)
{
    const struct
    {
        double hora;
        std::int32_t k;
    } cases[] = {{1, 1}, {1.5, 2}, {2, 3}, {2.5, 4}, {3, 5}, {3.25, 6}, {0, -1}, {-1.5, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(partPeriodNumber(c.hora), c.k) << "HORA " << c.hora;
    EXPECT_EQ(partPeriodNumber(1e12), std::nullopt);
}

TEST(PeriodRules, FractionalSessions)
{
    EXPECT_FALSE(hasFraction(0));
    EXPECT_FALSE(hasFraction(2));
    EXPECT_FALSE(hasFraction(-3));
    EXPECT_TRUE(hasFraction(1.5));
    EXPECT_TRUE(hasFraction(0.5));
    EXPECT_TRUE(hasFraction(2.25));
    EXPECT_TRUE(hasFraction(-0.5));
}

TEST(PeriodRules, StartTimeListPositionsCountFromOne)
{
    const std::vector<std::string> list{"08:00", "09:00", "10:00"};
    EXPECT_EQ(startTimeAt(list, 1), "08:00");
    EXPECT_EQ(startTimeAt(list, 3), "10:00");
    EXPECT_ERROR_TEXT(startTimeAt(list, 4), "List index out of bounds (3)");
    EXPECT_ERROR_TEXT(startTimeAt(list, 0), "List index out of bounds (-1)");
    EXPECT_ERROR_TEXT(startTimeAt({}, 1), "List index out of bounds (0)");
}

TEST(HorarioLine, EightQuotedValuesWithDoubledQuotes)
{
    const struct
    {
        const char* name;
        HorarioValues values;
        std::string line;
    } cases[] = {
        {"plain",
         {"1", "Luns", "08:00", "1A", "MAT", "Ana", "", "A1"},
         "\"1\",\"Luns\",\"08:00\",\"1A\",\"MAT\",\"Ana\",\"\",\"A1\"\r\n"},
        {"all empty", {"", "", "", "", "", "", "", ""}, "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"},
        {"comma kept",
         {"2", "", "", "1,A", "", "P\xE9rez, Ana", "", ""},
         "\"2\",\"\",\"\",\"1,A\",\"\",\"P\xE9rez, Ana\",\"\",\"\"\r\n"},
        {"quote doubled",
         {"3", "", "", "", "", "Xan \"O Vello\"", "", "\""},
         "\"3\",\"\",\"\",\"\",\"\",\"Xan \"\"O Vello\"\"\",\"\",\"\"\"\"\r\n"},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        appendHorarioLine(out, c.values);
        EXPECT_EQ(out, "x" + c.line) << c.name;
    }
}

TEST(ReplaceFileWhole, ReplacesTheOldFileAndLeavesNothingBeside)
{
    test::TempDir dir;
    dir.write("horario.csv", "old, other spelling");
    dir.write("HORARIO.CSV", "old");
    // Where letter case makes no other name (Windows), both spellings are one file: the new
    // bytes must still be there, under either spelling.
    const bool caseBlind = std::filesystem::equivalent(dir / "horario.csv", dir / "HORARIO.CSV");
    replaceFileWhole(dir / "HORARIO.CSV", "new");
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    if (caseBlind) {
        ASSERT_EQ(names.size(), 1u);
        std::string upper = names[0];
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        EXPECT_EQ(upper, "HORARIO.CSV");
    } else {
        EXPECT_EQ(names, std::vector<std::string>{"HORARIO.CSV"});
    }
    std::ifstream in(dir / "HORARIO.CSV", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
}

TEST(ReplaceFileWhole, FailureKeepsTheOldFileAndRaisesTheIoError)
{
    test::TempDir dir;
    // A folder in the way of the new file: the rename fails after the file was written whole.
    std::filesystem::create_directories(dir / "HORARIO.CSV" / "x");
    try {
        replaceFileWhole(dir / "HORARIO.CSV", "new");
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()), "");
    }
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"HORARIO.CSV"});
    EXPECT_TRUE(std::filesystem::is_directory(dir / "HORARIO.CSV" / "x"));

    // A folder that is gone: the temporary file cannot even be created.
    EXPECT_THROW(replaceFileWhole(dir / "gone" / "HORARIO.CSV", "new"), IoError);
}

} // namespace
} // namespace conv::exporter
