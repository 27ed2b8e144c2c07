#include "support/CliRun.h"
#include "cli/Commands.h"
#include "export/ExportFixture.h"

#include <gtest/gtest.h>

#include <fstream>
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
