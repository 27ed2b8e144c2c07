#include "cli/Commands.h"
#include "export/ExportFixture.h"
#include "standin/StandIn.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace conv::test
{
namespace
{

namespace fs = std::filesystem;

const fs::path kSource = CONV_SOURCE_DIR;

int runCli(std::vector<std::string> args, std::string* out = nullptr)
{
    args.insert(args.begin(), "transxade");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::ostringstream o, e;
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), o, e);
    if (out)
        *out = o.str();
    if (status != 0)
        ADD_FAILURE() << e.str();
    return status;
}

class RoundTrip : public ExportFixture, public ::testing::Test
{
protected:
    void importSchool()
    {
        ASSERT_EQ(runCli({"import", "--csv", (kSource / "examples/school").string(), "--call", "2026ORD", "--levels",
                          (kSource / "examples/school/niveles.csv").string(), "--work", work.string()}),
                  0);
    }
};

TEST_F(RoundTrip, ExampleSchoolGivesTheExpectedHorario)
{
    importSchool();
    const standin::Summary made = standin::makeTimetable(work, {});
    EXPECT_GT(made.classes, 0);
    std::string summary;
    ASSERT_EQ(runCli({"export", "--csv", csv.string(), "--work", work.string()}, &summary), 0);
    EXPECT_EQ(horario(), fileBytes(kSource / "tests/data/roundtrip/HORARIO.CSV"));
    EXPECT_NE(summary.find("HORARIO.CSV " + (csv / "HORARIO.CSV").string() + "\n"), std::string::npos) << summary;
}

TEST_F(RoundTrip, TheStandInIsSeededAndLooksLikeAFinishedTimetable)
{
    importSchool();
    standin::makeTimetable(work, {});
    const std::string first = fileBytes(work / "SOLUC.DBF");
    standin::makeTimetable(work, {});
    EXPECT_EQ(fileBytes(work / "SOLUC.DBF"), first);
    standin::Options other;
    other.seed = 2;
    standin::makeTimetable(work, other);
    EXPECT_NE(fileBytes(work / "SOLUC.DBF"), first);

    // A school large enough to show every kind of record.
    std::vector<Row> groups, subjects, teachers, assignments;
    for (int g = 0; g < 40; ++g) {
        groups.push_back({{"ABREV", "G" + std::to_string(g)}, {"CODGRUXADE", "X" + std::to_string(g)}});
        for (int s = 0; s < 6; ++s)
            assignments.push_back(
                {{"CASIG", "M" + std::to_string(s)}, {"CGRUP", "G" + std::to_string(g)}, {"HORAS", 4.0}});
    }
    for (int s = 0; s < 6; ++s)
        subjects.push_back({{"COD", "M" + std::to_string(s)}});
    for (int t = 0; t < 30; ++t)
        teachers.push_back({{"ABREV", "P" + std::to_string(t)}});
    table(layouts::GRUPOST, groups);
    table(layouts::ASIGNOMT2, subjects);
    table(layouts::PROFT, teachers);
    table(layouts::AULAT, {{{"ABREV", std::string("A1")}}});
    table(layouts::ASIGT, assignments);
    const standin::Summary s = standin::makeTimetable(work, {});
    EXPECT_GT(s.unplaced, 0);
    EXPECT_GT(s.partPeriods, 0);
    EXPECT_EQ(s.periods, 40);

    const std::vector<std::string> periods = dump(layouts::DIASHORAST);
    ASSERT_EQ(periods.size(), 40u);
    EXPECT_EQ(periods[0], "1-1|1|1|LUNES|1|1\xAA SESION|08:00:00|08:50:00|50|1|GENERAL");
    Table soluc(work, "SOLUC.DBF");
    soluc.open();
    int fractional = 0, dayZero = 0, clashes = 0;
    std::set<std::string> busy;
    for (; !soluc.eof(); soluc.next()) {
        const double d = soluc.fieldByName("DIA").asFloat();
        const double h = soluc.fieldByName("HORA").asFloat();
        const double n = soluc.fieldByName("SESIONES").asFloat();
        dayZero += d == 0;
        fractional += n != static_cast<int>(n);
        if (d == 0)
            continue;
        EXPECT_GE(d, 1);
        EXPECT_LE(d, 5);
        for (int k = 0; k < std::max(1, static_cast<int>(n)); ++k) {
            const std::string at = std::to_string(d) + "/" + std::to_string(static_cast<int>(h) + k);
            clashes += !busy.insert("G" + soluc.fieldByName("CODGRUPO").asString() + at).second;
            clashes += !busy.insert("P" + soluc.fieldByName("PROF").asString() + at).second;
        }
    }
    EXPECT_EQ(dayZero, s.unplaced);
    EXPECT_EQ(fractional, s.partPeriods);
    EXPECT_EQ(clashes, 0);
}

} // namespace
} // namespace conv::test
