#include "import/Messages.h"
#include "support/ImportFixture.h"

#include <algorithm>
#include <filesystem>

namespace conv
{
namespace
{

using test::Levels;

class Stages : public test::ImportFixture
{
protected:
    void SetUp() override
    {
        xade("convocatoriasCentro.csv", {"C1,Primeira", "C2,Segunda"});
    }
    /// Every input file present and small, so each test changes only what it looks at.
    void allFiles()
    {
        xade("gruposCentro.csv", {"C1,K1,G1,A,Curso1,1A"});
        xade("subgruposCentro.csv", {});
        xade("materiasHorarioOfertaCentro.csv", {});
        xade("materiasHorarioOfertaXeral.csv", {});
        xade("actividadesProfesor.csv", {});
        xade("profesoresGrupoCentro.csv", {});
        xade("aulasCentro.csv", {});
    }
    const Levels k1{{"K1", {"M", "ESO", "1"}}};
};

TEST_F(Stages, GroupsTakeTheirCourseByNameAndGetUniqueCodes)
{
    allFiles();
    xade("gruposCentro.csv", {
                                 "C1,K1,G1,A,Curso1,1A",
                                 "C2",                        // another call needs one field only
                                 "C1,K1,G2,A,Curso1,\"1A bis\"", // same name: a letter
                                 "C1,K2,G3,a,Curso1,x",       // same course name, other code: first row's codes
                                 "C1,K3,G4,A,Curso3,x",       // ES + O1 + A runs into ESO1A
                                 "C1,K9,G5,A,SenCurso,x",     // course deleted below: left out
                                 "C1,K1,G6,\"Longo\",Curso1,x", // GRUPO keeps two characters
                             });
    ASSERT_TRUE(toLevels());
    ASSERT_TRUE(runHandler(feedback, [&] {
        import::typeLevelCodes(*run, {{"K1", {"M", "ESO", "1"}}, {"K2", {"T", "BAC", "2"}}, {"K3", {"M", "ES", "O1"}},
                                      {"K9", {"M", "X", "9"}}});
        // The user deletes K9's row on the level screen: its course is gone.
        Table& t = run->table(Handle::wwTableCursos);
        t.open();
        ASSERT_TRUE(t.locate("CODCURSO", Value(std::string("K9"))));
        t.edit();
        t.fieldByName("NOMECURSO").setString("borrado");
        t.post();
        t.close();
        import::FinalRecogida(*run);
    }));
    EXPECT_EQ(dump("GRUPOST", {"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO", "MARCO", "CODGRUXADE", "CODSUBGRUXADE",
                               "CODCURSOXADE", "NOMEABREVGRUPXADE", "DESCRIP"}),
              (std::vector<std::string>{
                  "ESO1A|M|ESO|1|A|0|G1||K1|1A|Curso1 / A",
                  "ESO1AA|M|ESO|1|A|0|G2||K1|1A bis|Curso1 / A",
                  "ESO1aB|M|ESO|1|a|0|G3||K2|x|Curso1 / a",
                  "ESO1AC|M|ES|O1|A|0|G4||K3|x|Curso3 / A",
                  "ESO1Longo|M|ESO|1|Lo|0|G6||K1|x|Curso1 / Longo",
              }));
    EXPECT_EQ(run->Transformado, 1);
}

TEST_F(Stages, ACourseNameLongerThanTheTableKeepsFindsItsGroups)
{
    allFiles();
    const std::string longName(60, 'n');
    xade("gruposCentro.csv", {"C1,K1,G1,A," + longName + ",1A"});
    ASSERT_TRUE(importAll(k1));
    EXPECT_EQ(dump("GRUPOST", {"ABREV", "NOMECURSOXADE"}), (std::vector<std::string>{"ESO1A|" + longName}));
}

TEST_F(Stages, AShortLineEndsTheRunAndPostedRecordsStay)
{
    allFiles();
    xade("gruposCentro.csv", {"C1,K1,G1,A,Curso1,1A", "C1,K1,G2,B,Curso1"});
    xade("aulasCentro.csv", {"A1,Aula"});
    EXPECT_FALSE(importAll(k1));
    EXPECT_EQ(feedback.errors, (std::vector<std::string>{indexError(5, "gruposCentro.csv", 3)}));
    EXPECT_EQ(dump("GRUPOST", {"ABREV"}), (std::vector<std::string>{"ESO1A"}));
    EXPECT_FALSE(std::filesystem::exists(work / "AULAT.DBF")); // later stages did not run
    EXPECT_EQ(std::count(feedback.notices.begin(), feedback.notices.end(), std::string(msg::kFinished)), 0);
}

TEST_F(Stages, SubgroupsNumberAfterTheirParent)
{
    allFiles();
    xade("gruposCentro.csv", {"C1,K1,G1,A,Curso1,1A", "C1,K1,G2,A1,Curso1,x", "C2,K1,G9,B,Curso1,x"});
    xade("subgruposCentro.csv", {
                                    "G1,S1,Desdobre,\"Ingl\xC3\xA9s 1\",I1",
                                    "G1,S2,Desdobre,Franc\xC3\xA9s,F2",
                                    "G9,S9,Outro,Nome,N", // its group is of another call
                                    "GX",                 // no parent: one field is enough
                                });
    ASSERT_TRUE(importAll(k1));
    EXPECT_EQ(dump("GRUPOST", {"ABREV", "GRUPO", "CODGRUXADE", "CODSUBGRUXADE", "NOMEGRUPOXADE", "NOMESUBGRUXADE",
                               "NOMEABREVSUBGRUXADE", "DESCRIP"}),
              (std::vector<std::string>{
                  "ESO1A|A|G1||A|||Curso1 / A",
                  "ESO1A1|A1|G2||A1|||Curso1 / A1",
                  "ESO1A2|2|G1|S1|A|Ingl\xE9s 1|I1|Desdobre (Ingl\xE9s 1)",
                  "ESO1A3|3|G1|S2|A|Franc\xE9s|F2|Desdobre (Franc\xE9s)",
              }));
}

TEST_F(Stages, SubjectsAndActivities)
{
    allFiles();
    xade("gruposCentro.csv", {"C1,K1,G1,A,Curso1,1A", "C1,K2,G2,A,Curso2,2A"});
    xade("materiasHorarioOfertaCentro.csv",
         {
             "M1,K1,0,\"Lingua e Literatura\",\"Lingua Galega\",LGL",
             "M2,K1,0,MAT1,Matem\xC3\xA1ticas,MAT",
             "M3,K2,0,\"Lingua e Literatura\",\"Lingua Galega\",LGL", // seen: same code, second line
             "M4,K2,0,lel,Estranxeira,LE",                          // LeL taken, letter case ignored
             "M5,K2,00,CienciasNaturaisAplicadas,\"Ciencias Naturais\",CN",
             "M6,K1,AC1,\"" + std::string(55, 'L') + "\",Longa,LO",
         });
    xade("materiasHorarioOfertaXeral.csv", {
                                               "X1,K1,0,MAT1,Matem\xC3\xA1ticas,MAT", // seen
                                               "X2,K7,0,Filo,Filosof\xC3\xAD" "a,FIL",   // not the school's: left out
                                               "X3,K7,AC2,Garda,Garda,GAR",         // kept for its task code
                                               "X4,K7",                             // too short, but "0"? no: read 2
                                               "X5,K1,0,\"" + std::string(55, 'L') + "\",Longa,LO", // seen, > 50
                                           });
    // Line X4 has no position 2: the run ends there, after what the lines before posted.
    xade("actividadesProfesor.csv", {"AC1,Garda,\"Garda de biblioteca\"", "MAT1,x,y", "AC1,Outra,z"}, "COD,D,N");
    EXPECT_FALSE(importAll({{"K1", {"M", "ESO", "1"}}, {"K2", {"M", "ESO", "2"}}}));
    EXPECT_EQ(feedback.errors, (std::vector<std::string>{indexError(2, "materiasHorarioOfertaXeral.csv", 5)}));

    xade("materiasHorarioOfertaXeral.csv", {
                                               "X1,K1,0,MAT1,Matem\xC3\xA1ticas,MAT",
                                               "X2,K7,0,Filo,Filosof\xC3\xAD" "a,FIL",
                                               "X3,K7,AC2,Garda,Garda,GAR",
                                               "X5,K1,0,\"" + std::string(55, 'L') + "\",Longa,LO",
                                           });
    restart();
    ASSERT_TRUE(importAll({{"K1", {"M", "ESO", "1"}}, {"K2", {"M", "ESO", "2"}}}));
    EXPECT_EQ(dump("ASIGNOMT", {"COD", "CODLARGO", "NOMBRE", "ESTAREA", "CODTAREA"}),
              (std::vector<std::string>{
                  "LeL|Lingua e L|Lingua Galega|False|",
                  "MAT1|MAT1|Matem\xE1ticas|False|",
                  "lel1|lel|Estranxeira|False|",
                  "CN|CienciasNa|Ciencias Naturais|False|00",
                  "L|LLLLLLLLLL|Longa|False|AC1",
                  "Garda|Garda|Garda|False|AC2",
                  // The header "COD" is new, so it is the line left out; "MAT1" is a subject's code.
                  "AC1|Garda|Garda de biblioteca|True|AC1",
              }));
    EXPECT_EQ(dump("ASIGNOMT2", {"COD", "CODMATERIA", "CODCURSO", "ESTAREA", "CODTAREA", "ABREVXADE"}),
              (std::vector<std::string>{
                  "LeL|M1|K1|False||LGL",
                  "MAT1|M2|K1|False||MAT",
                  "LeL|M3|K2|False||LGL",
                  "lel1|M4|K2|False||LE",
                  "CN|M5|K2|False|00|CN",
                  "L|M6|K1|False|AC1|LO",
                  "MAT1|X1|K1|False||MAT",
                  "Garda|X3|K7|False|AC2|GAR",
                  "L|X5|K1|False||LO",
                  "AC1|||True|AC1|",
              }));
}

TEST_F(Stages, TeachersAndRooms)
{
    allFiles();
    xade("profesoresGrupoCentro.csv", {
                                          "E1,G1,\"P\xC3\xA9rez Castro, Mar\xC3\xAD" "a\"",
                                          "E1,G2,\"Outro Nome\"", // the same teacher on another line
                                          "E2,G1,\"Pazos Cid, Marta\"",
                                          "E3,G1,\"\xC3\x81lvarez N\xC3\xBA\xC3\xB1" "ez, \xC3\x8D\xC3\xB1igo\"",
                                          "E4,G1,\"sen maiusculas\"",
                                          "E5,G1,\"sen maiusculas\"",
                                          "E0000000001,G1,ABCDEFGHIJK",
                                          "E0000000002,G1,ABCDEFGHIJL",
                                          "E0000000001,G1,Repetido",
                                      });
    xade("aulasCentro.csv", {"AULA1,\"Aula 1\"", "aula1,Anexo", "AULA1,Repetida", "AUL1,Outra", "LABORATORIO1,Lab",
                             "LABORATORIO2,Lab2", "LABORATORIO1,Lab", "\"Aula 3\",Tres"});
    ASSERT_TRUE(importAll(k1)) << testing::PrintToString(feedback.log);
    EXPECT_EQ(dump("PROFT", {"ABREV", "NOMBRE", "X_EMPLEADO"}),
              (std::vector<std::string>{
                  "PCM|P\xE9rez Castro, Mar\xED" "a|E1",
                  "PCM1|Pazos Cid, Marta|E2",
                  "N|\xC1lvarez N\xFA\xF1" "ez, \xCD\xF1igo|E3",
                  "|sen maiusculas|E4",
                  "1|sen maiusculas|E5",
                  "ABCDEFGHIJ|ABCDEFGHIJK|E000000000",
                  "ABC1|ABCDEFGHIJL|E000000000",
              }));
    EXPECT_EQ(dump("PROFT", {"ABREV"}, "ABREV"),
              (std::vector<std::string>{"", "1", "ABC1", "ABCDEFGHIJ", "N", "PCM", "PCM1"}));
    EXPECT_EQ(dump("AULAT", {"ABREV", "NOMBRE", "CODAULA", "MAXALUM"}),
              (std::vector<std::string>{
                  "AULA1|Aula 1|AULA1|",
                  "aul1|Anexo|aula1|",
                  "AUL2|Outra|AUL1|",
                  "LABORATORI|Lab|LABORATORI|",
                  "LAB1|Lab2|LABORATORI|",
                  "Aula 3|Tres|Aula 3|",
              }));
}

TEST_F(Stages, AssignmentsCrossWholeGroupsWithTheirCoursesSubjects)
{
    allFiles();
    xade("gruposCentro.csv", {"C1,K1,G1,A,Curso1,1A", "C1,K1,G2,B,Curso1,1B", "C1,K2,G3,A,Curso2,2A"});
    xade("subgruposCentro.csv", {"G1,S1,D,N,A", "G1,\" \",D,N,A"});
    xade("materiasHorarioOfertaCentro.csv", {"M1,K1,AC1,MAT1,Mat,MAT", "M2,K1,ZZ,LIN,Lin,L"});
    xade("materiasHorarioOfertaXeral.csv", {"X1,K1,0,MAT1,Mat,MAT"}); // same subject again: one assignment
    xade("actividadesProfesor.csv", {"AC1,Garda,Garda"}, "COD,D,N");
    ASSERT_TRUE(importAll({{"K1", {"M", "ESO", "1"}}, {"K2", {"M", "ESO", "2"}}}));
    EXPECT_EQ(dump("ASIGT", {"CASIG", "CPROF", "CGRUP", "CAULA", "TURNO", "NIVEL", "CURSO", "GRUPO", "HORAS",
                             "SESIONES", "NCONEX", "CLAVE", "CLAVECURSO", "CTAREA"}),
              (std::vector<std::string>{
                  "MAT1||ESO1A||M|ESO|1|A|4|1111||G1|K1|AC1",
                  "LIN||ESO1A||M|ESO|1|A|4|1111||G1|K1|",
                  "MAT1||ESO1B||M|ESO|1|B|4|1111||G2|K1|AC1",
                  "LIN||ESO1B||M|ESO|1|B|4|1111||G2|K1|",
                  // The subgroup with a blank code counts as a whole group.
                  "MAT1||ESO1A2||M|ESO|1|2|4|1111||G1|K1|AC1",
                  "LIN||ESO1A2||M|ESO|1|2|4|1111||G1|K1|",
              }));
}

TEST_F(Stages, MissingFilesEndOnlyTheirStage)
{
    struct Case
    {
        const char* file;
        const char* message;
        int status;
    };
    const Case cases[] = {
        {"gruposCentro.csv", nullptr, -1}, // both the course and the group messages
        {"subgruposCentro.csv", msg::kNoSubgroups, 1},
        {"materiasHorarioOfertaCentro.csv", msg::kNoCentreSubjects, -1},
        {"materiasHorarioOfertaXeral.csv", msg::kNoGeneralSubjects, -1},
        {"actividadesProfesor.csv", msg::kNoActivities, -1},
        {"profesoresGrupoCentro.csv", msg::kNoTeachers, -1},
        {"aulasCentro.csv", msg::kNoRooms, -1},
    };
    for (const Case& c : cases) {
        allFiles();
        xade("aulasCentro.csv", {"A1,Aula"});
        std::filesystem::remove(csv / c.file);
        restart();
        ASSERT_TRUE(importAll(k1)) << c.file;
        std::vector<std::string> expected;
        if (c.message)
            expected = {c.message, msg::kFinished};
        else
            expected = {msg::kNoGroupsForCourses, msg::kNoGroups, msg::kFinished};
        EXPECT_EQ(feedback.notices, expected) << c.file;
        EXPECT_EQ(run->Transformado, c.status) << c.file;
        if (std::string(c.file) != "aulasCentro.csv") {
            EXPECT_EQ(dump("AULAT", {"ABREV"}), (std::vector<std::string>{"A1"})) << c.file;
        }
        EXPECT_TRUE(std::filesystem::exists(work / "ASIGT.DBF")) << c.file;
    }
}

TEST_F(Stages, MissingGroupTableIsReportedBySubgroups)
{
    allFiles();
    ASSERT_TRUE(toLevels());
    import::typeLevelCodes(*run, k1);
    // Without the groups file the groups stage leaves GRUPOST empty; here it is gone altogether.
    ASSERT_TRUE(runHandler(feedback, [&] {
        import::CompruebaNiveles(*run);
        std::filesystem::remove(work / "GRUPOST.DBF");
        import::DatosSubgrupos(*run);
    }));
    EXPECT_EQ(feedback.notices, (std::vector<std::string>{msg::kNoGroupTable}));
    EXPECT_EQ(run->Transformado, 1);
}

} // namespace
} // namespace conv

namespace conv
{
namespace
{

class EmbeddedRun : public test::ImportFixture
{
};

TEST_F(EmbeddedRun, ClosesAfterTheLastMessageOnlyWhenTheRunEnds)
{
    xade("convocatoriasCentro.csv", {"C1,Primeira"});
    xade("gruposCentro.csv", {"C1,K1,G1,A,Curso1,1A"});
    for (const char* f : {"subgruposCentro.csv", "materiasHorarioOfertaCentro.csv", "materiasHorarioOfertaXeral.csv",
                          "actividadesProfesor.csv", "profesoresGrupoCentro.csv", "aulasCentro.csv"})
        xade(f, {});
    run->NumParametros = 2;
    ASSERT_TRUE(importAll({{"K1", {"M", "ESO", "1"}}}));
    const std::vector<std::string> tail(feedback.log.end() - 6, feedback.log.end());
    const auto change = [](UiChange c) { return "change: " + std::to_string(static_cast<int>(c)); };
    EXPECT_EQ(tail, (std::vector<std::string>{"busy: 1", "busy: 0", change(UiChange::HideLevelScreen),
                                              change(UiChange::DisableImportar), "notice: Proceso finalizado",
                                              change(UiChange::CloseWindow)}));
    EXPECT_EQ(run->Transformado, 1);

    // An error inside a stage: no message at the end, and the window stays open.
    xade("aulasCentro.csv", {"A1"});
    restart();
    run->NumParametros = 2;
    EXPECT_FALSE(importAll({{"K1", {"M", "ESO", "1"}}}));
    EXPECT_EQ(feedback.log.back(), "error: " + indexError(1, "aulasCentro.csv", 2));
    EXPECT_EQ(std::count(feedback.changes.begin(), feedback.changes.end(), UiChange::CloseWindow), 0);
}

} // namespace
} // namespace conv
