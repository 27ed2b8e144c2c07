#include "support/CliRun.h"
#include "cli/Commands.h"
#include "export/ExportFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace conv::test
{
namespace
{

using Result = CliResult;

class ExportCommand : public ExportFixture, public ::testing::Test
{
protected:
    ExportCommand()
    {
        table(layouts::GRUPOST,
              {{{"ABREV", std::string("G1")},
                {"NOMEABREVGRUPXADE", std::string("1A")},
                {"CODCURSOXADE", std::string("C1")}}});
        table(layouts::ASIGNOMT2,
              {{{"COD", std::string("MAT")}, {"CODCURSO", std::string("C1")}, {"ABREVXADE", std::string("MAT")}}});
        table(layouts::PROFT, {{{"ABREV", std::string("P1")}, {"NOMBRE", std::string("Ana P\xE9rez")}}});
        table(layouts::AULAT, {});
        table(layouts::DIASHORAST,
              {{{"DIA", std::string("1")}, {"HORA", std::string("1")}, {"HORADESDE", std::string("08:00:00")}},
               {{"DIA", std::string("1")}, {"HORA", std::string("2")}, {"HORADESDE", std::string("09:00:00")}}});
        table(layouts::SOLUC,
              {{{"ASIG", std::string("MAT")},
                {"PROF", std::string("P1")},
                {"CODGRUPO", std::string("G1")},
                {"AULA", std::string("A1")},
                {"DIA", 3.0},
                {"HORA", 1.0},
                {"SESIONES", 2.0}},
               {{"DIA", 0.0}}});
    }
};

TEST_F(ExportCommand, WritesHorarioAndSumsUp)
{
    const Result r = runCli({"export", "--csv", csv.string(), "--work", work.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Proceso finalizado\n");
    EXPECT_EQ(r.out,
              "HORARIO.CSV " + (csv / "HORARIO.CSV").string() +
                  "\nlines 2\nclasses 2\npassed over, day 0: 1\npassed over, day outside 1..7: 0\n"
                  "passed over, teacher not in PROFT: 0\npassed over, subject not in ASIGNOMT2: 0\n"
                  "passed over, SESIONES 0 or less: 0\ngroup not in GRUPOST (written without one): 0\n");
    EXPECT_EQ(horario(),
              "\"1\",\"M\xE9rcores\",\"08:00\",\"1A\",\"MAT\",\"Ana P\xE9rez\",\"\",\"A1\"\r\n"
              "\"2\",\"M\xE9rcores\",\"09:00\",\"1A\",\"MAT\",\"Ana P\xE9rez\",\"\",\"A1\"\r\n");
}

// Each class passed over is in the report with its reason and as SOLUC holds it, and the
// report's rows per reason are the counts the summary gives.
TEST_F(ExportCommand, ReportListsEveryClassPassedOverAsTheCountsSay)
{
    const auto clase = [](const char* asig, const char* prof, double dia, double sesiones) {
        return Row{{"ASIG", std::string(asig)}, {"PROF", std::string(prof)}, {"CODGRUPO", std::string("G1")},
                   {"AULA", std::string("A,1")}, {"DIA", dia}, {"HORA", 2.0}, {"SESIONES", sesiones}};
    };
    table(layouts::SOLUC, {clase("MAT", "P1", 1, 1), clase("MAT", "P1", 0, 1), clase("MAT", "P1", 8, 1),
                           clase("MAT", "P1", -1, 1), clase("MAT", "P9", 2, 1), clase("FIS", "P1", 3, 1),
                           clase("MAT", "P1", 4, 0)});
    const std::filesystem::path report = dir / "clases.csv";
    const Result r = runCli({"export", "--csv", csv.string(), "--work", work.string(), "--report", report.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = fileBytes(report);
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    std::istringstream lines(bytes.substr(3));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "motivo,d\xC3\xAD" "a,hora,grupo,materia,profesor,aula,sesiones\r");
    std::map<std::string, int> byReason;
    std::vector<std::string> rows;
    while (std::getline(lines, line)) {
        rows.push_back(line);
        ++byReason[line.substr(0, line.find(','))];
    }
    const auto count = [&r](const std::string& label) {
        const std::size_t at = r.out.find(label + ": ");
        return at == std::string::npos ? -1 : std::stoi(r.out.substr(at + label.size() + 2));
    };
    EXPECT_EQ(byReason["d\xC3\xAD" "a 0"], count("passed over, day 0"));
    EXPECT_EQ(byReason["d\xC3\xAD" "a fuera de 1 a 7"], count("passed over, day outside 1..7"));
    EXPECT_EQ(byReason["profesor que no est\xC3\xA1 en PROFT"], count("passed over, teacher not in PROFT"));
    EXPECT_EQ(byReason["materia que no est\xC3\xA1 en ASIGNOMT2"], count("passed over, subject not in ASIGNOMT2"));
    EXPECT_EQ(byReason["SESIONES 0 o menos"], count("passed over, SESIONES 0 or less"));
    EXPECT_EQ(count("passed over, day outside 1..7"), 2);
    ASSERT_EQ(rows.size(), 6u);
    // In SOLUC's order, the class whole; a comma in a value is quoted.
    EXPECT_EQ(rows[3], "profesor que no est\xC3\xA1 en PROFT,2,2,G1,MAT,P9,\"A,1\",1\r");

    // Nothing passed over: the header alone.
    table(layouts::SOLUC, {clase("MAT", "P1", 1, 1)});
    ASSERT_EQ(runCli({"export", "--csv", csv.string(), "--work", work.string(), "--report", report.string()}).status,
              0);
    EXPECT_EQ(fileBytes(report), "\xEF\xBB\xBFmotivo,d\xC3\xAD" "a,hora,grupo,materia,profesor,aula,sesiones\r\n");
}

TEST_F(ExportCommand, ExitStatuses)
{
    const Result missing = runCli({"export", "--csv", (dir / "none").string(), "--work", work.string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "No existe la carpeta\n");
    EXPECT_EQ(missing.out, "");

    // Every class passed over: HORARIO.CSV is not replaced, stderr says why, the counts follow.
    std::ofstream(csv / "HORARIO.CSV") << "an older timetable";
    table(layouts::SOLUC, {{{"DIA", 9.0}}, {{"DIA", 0.0}}});
    const Result none = runCli({"export", "--csv", csv.string(), "--work", work.string()});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err,
              "HORARIO.CSV no se ha modificado: ninguna de las 2 clases de SOLUC se puede exportar (d\xC3\xAD" "a 0: 1; "
              "d\xC3\xAD" "a fuera de 1 a 7: 1; profesor que no est\xC3\xA1 en PROFT: 0; materia que no est\xC3\xA1 en "
              "ASIGNOMT2: 0; SESIONES 0 o menos: 0).\n");
    EXPECT_EQ(none.out.substr(0, 18), "lines 0\nclasses 2\n");
    EXPECT_EQ(horario(), "an older timetable");
    std::filesystem::remove(csv / "HORARIO.CSV");

    std::filesystem::remove(work / "SOLUC.DBF");
    const Result ended = runCli({"export", "--csv", csv.string(), "--work", work.string()});
    EXPECT_EQ(ended.status, 2);
    EXPECT_NE(ended.err, "");
    EXPECT_FALSE(std::filesystem::exists(csv / "HORARIO.CSV"));

    EXPECT_EQ(runCli({"export"}).status, 64);
}

} // namespace
} // namespace conv::test
