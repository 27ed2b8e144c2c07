#include "common/Error.h"
#include "import/LevelAnswers.h"
#include "import/Messages.h"
#include "support/ImportFixture.h"

#include <filesystem>

namespace conv
{
namespace
{

using test::Levels;

class Courses : public test::ImportFixture
{
protected:
    void SetUp() override
    {
        xade("convocatoriasCentro.csv", {"C1,Primeira", "C2,Segunda"});
        xade("gruposCentro.csv", {
                                     "C1,K2,G1,A,\"Curso dous\",x",
                                     "C1,K1,G2,A,\"Curso un\",x",
                                     "C1,K2,G3,B,\"Outro nome\",x", // the first line names the course
                                     "C2,K3,G4,A,Curso3,x",         // only under another call
                                 });
        for (const char* f : {"subgruposCentro.csv", "materiasHorarioOfertaCentro.csv", "materiasHorarioOfertaXeral.csv",
                              "actividadesProfesor.csv", "profesoresGrupoCentro.csv", "aulasCentro.csv"})
            xade(f, {});
    }
    std::vector<std::string> levels()
    {
        return dump("CURSOST", {"CODCURSO", "NOMECURSO", "TURNO", "NIVEL", "CURSO", "ABREV"});
    }
};

TEST_F(Courses, OneRowPerCourseOfTheCallInFirstAppearance)
{
    xade("gruposCentro.csv", {
                                 "C1,K2,G1,A,\"Curso dous\",x",
                                 "C1,K1,G2,A,\"Curso un\",x",
                                 "C1,K2,G3,B,\"Outro nome\",x", // the first line names the course
                                 "C2,K3,G4,A,Curso3,x",         // only under another call
                                 "C1,K1",                       // a known course: position 4 not read
                             });
    ASSERT_TRUE(toLevels());
    EXPECT_EQ(levels(), (std::vector<std::string>{"K2|Curso dous||||", "K1|Curso un||||"}));
    EXPECT_EQ(dump("CURSOST", {"CODCURSO"}, "CODCURSO"), (std::vector<std::string>{"K1", "K2"}));
    EXPECT_EQ(feedback.log.size(), 5u); // no question: there is no reuse table yet
}

TEST_F(Courses, IncompleteCourseStopsTheRunWithTheWarning)
{
    ASSERT_TRUE(toLevels());
    ASSERT_TRUE(runHandler(feedback, [&] {
        import::typeLevelCodes(*run, {{"K1", {"", "ESO", "1"}}, {"K2", {"M", "ESO", ""}}});
        import::FinalRecogida(*run);
    }));
    EXPECT_EQ(run->ErrorProceso, 1);
    EXPECT_EQ(feedback.changes.back(), UiChange::ShowLevelWarning);
    EXPECT_FALSE(std::filesystem::exists(work / "CURSOST2.DBF"));
    EXPECT_FALSE(std::filesystem::exists(work / "GRUPOST.DBF"));
    // Completed (TURNO may stay empty), "Aceptar" goes on.
    ASSERT_TRUE(runHandler(feedback, [&] {
        import::Button2Click(*run);
        import::typeLevelCodes(*run, {{"K2", {"M", "ESO", "2"}}});
        import::FinalRecogida(*run);
    }));
    EXPECT_EQ(run->ErrorProceso, 0);
    EXPECT_EQ(dump("CURSOST2", {"CODCURSO", "TURNO", "NIVEL", "CURSO"}, "CODCURSO"),
              (std::vector<std::string>{"K1||ESO|1", "K2|M|ESO|2"}));
    EXPECT_EQ(feedback.notices.back(), msg::kFinished);
}

TEST_F(Courses, ReuseOkCopiesStoredCodesAndCancelForgetsThem)
{
    ASSERT_TRUE(importAll({{"K1", {"M", "ESO", "1"}}, {"K2", {"T", "BAC", "2"}}}));

    // Next start: a new course K4 joins; OK copies the stored codes, K4 stays empty.
    xade("gruposCentro.csv", {"C1,K1,G2,A,\"Curso un\",x", "C1,K4,G5,A,Novo,x", "C1,K2,G1,A,\"Nome novo\",x"});
    restart();
    feedback.answers = {true};
    ASSERT_TRUE(toLevels());
    EXPECT_EQ(feedback.log[5], "ask: " + std::string(msg::kReuseCaption));
    EXPECT_EQ(levels(), (std::vector<std::string>{"K1|Curso un|M|ESO|1|", "K4|Novo||||", "K2|Nome novo|T|BAC|2|"}));
    // Changed codes replace the stored ones; NOMECURSO stored keeps its old value.
    ASSERT_TRUE(runHandler(feedback, [&] {
        import::typeLevelCodes(*run, {{"K2", {"N", "BAC", "3"}}, {"K4", {"M", "FP", "1"}}});
        import::FinalRecogida(*run);
    }));
    EXPECT_EQ(dump("CURSOST2", {"CODCURSO", "NOMECURSO", "TURNO", "NIVEL", "CURSO"}, "CODCURSO"),
              (std::vector<std::string>{"K1|Curso un|M|ESO|1", "K2|Curso dous|N|BAC|3", "K4|Novo|M|FP|1"}));

    // Cancel deletes the reuse table: the codes are empty and only this import is kept.
    restart();
    feedback.answers = {false};
    ASSERT_TRUE(toLevels());
    EXPECT_FALSE(std::filesystem::exists(work / "CURSOST2.DBF"));
    EXPECT_EQ(levels(), (std::vector<std::string>{"K1|Curso un||||", "K4|Novo||||", "K2|Nome novo||||"}));
    ASSERT_TRUE(runHandler(feedback, [&] {
        import::typeLevelCodes(*run, {{"K1", {"M", "E", "1"}}, {"K2", {"M", "E", "2"}}, {"K4", {"M", "E", "4"}}});
        import::FinalRecogida(*run);
    }));
    EXPECT_EQ(dump("CURSOST2", {"CODCURSO", "NOMECURSO", "CURSO"}, "CODCURSO"),
              (std::vector<std::string>{"K1|Curso un|1", "K2|Nome novo|2", "K4|Novo|4"}));
}

TEST_F(Courses, MissingFiles)
{
    std::filesystem::remove(csv / "gruposCentro.csv");
    ASSERT_TRUE(toLevels());
    EXPECT_EQ(feedback.notices, (std::vector<std::string>{msg::kNoGroupsForCourses}));
    EXPECT_EQ(run->Transformado, -1);
    EXPECT_TRUE(levels().empty()); // the empty course table still exists

    restart();
    ASSERT_TRUE(runHandler(feedback, [&] {
        import::BExportarClick(*run, csv.path().string());
        std::filesystem::remove(work / "CURSOST.DBF");
        import::DatosNivel(*run);
    }));
    // The first run stopped on the level screen: its import never finished, and the second is told.
    EXPECT_EQ(feedback.notices, (std::vector<std::string>{kUnfinishedImport, msg::kNoCourseTable}));
    EXPECT_EQ(run->Transformado, -1);
    EXPECT_EQ(feedback.changes.back(), UiChange::ShowCallScreen);
}

TEST(LevelAnswers, ReadsColumnsByNameAndKeepsBlanks)
{
    test::TempDir dir;
    const auto p = dir.write("n.csv", "\xEF\xBB\xBF" "CURSO,CODCURSO,NOMECURSO,NIVEL,TURNO\r\n"
                                      "1,K1,\"1\xC2\xBA ESO, grupo\",ESO,M\r\n"
                                      "\r\n"
                                      "2,K2,2 ESO,\"E \"\"S\",\r\n");
    const auto a = import::readLevelAnswers(p);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a.at("K1").NIVEL, "ESO");
    EXPECT_EQ(a.at("K1").TURNO, "M");
    EXPECT_EQ(a.at("K2").NIVEL, "E \"S");
    EXPECT_EQ(a.at("K2").TURNO, "");
    EXPECT_EQ(a.at("K2").CURSO, "2");

    const auto bad = dir.write("b.csv", "CODCURSO,TURNO,NIVEL\nK1,M,E\n");
    EXPECT_ERROR_TEXT(conv::import::readLevelAnswers(bad), bad.string() + ": the header line lacks the column CURSO");
    const auto shortLine = dir.write("s.csv", "CODCURSO,TURNO,NIVEL,CURSO\nK1,M\n");
    EXPECT_ERROR_TEXT(conv::import::readLevelAnswers(shortLine), shortLine.string() + ":2: 2 fields, 4 expected");
}

} // namespace
} // namespace conv
