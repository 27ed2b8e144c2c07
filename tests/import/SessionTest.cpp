#include "support/Environment.h"
#include "support/ImportFixture.h"

#include "tables/WorkFolder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace conv
{
namespace
{

using test::Levels;

class Session : public test::ImportFixture
{
protected:
    void SetUp() override
    {
        xade("convocatoriasCentro.csv", {"C1,Primeira"});
        xade("gruposCentro.csv", {"C1,K1,G1,A,Curso1,1A", "C1,K2,G2,A,Curso2,2A"});
        for (const char* name : {"subgruposCentro.csv", "materiasHorarioOfertaCentro.csv", "materiasHorarioOfertaXeral.csv",
                                 "actividadesProfesor.csv", "aulasCentro.csv"})
            xade(name, {});
        xade("profesoresGrupoCentro.csv", {"E1,G1,\"Nome, Un\",M1"});
    }
    const Levels codes{{"K1", {"M", "ESO", "1"}}, {"K2", {"T", "BAC", "2"}}};
};

TEST_F(Session, HandlesAreMadeOnDemandAndAReleasedOneIsNeverGivenAgain)
{
    for (std::size_t i = 0; i < kHandles; ++i) {
        const auto which = static_cast<Handle>(i);
        EXPECT_FALSE(run->holds(which));
        Table& first = run->table(which);
        EXPECT_TRUE(run->holds(which));
        EXPECT_FALSE(first.isOpen());
        EXPECT_EQ(&run->table(which), &first); // held until released
        run->release(which);
        EXPECT_FALSE(run->holds(which));
        EXPECT_FALSE(run->table(which).isOpen()); // a fresh, closed handle
    }
}

TEST_F(Session, TheWorkFolderMovesOnlyWhileNoHandleIsHeld)
{
    const std::filesystem::path other = work.path() / "other";
    EXPECT_TRUE(run->moveWorkFolder(other));
    EXPECT_EQ(run->workFolder, other);
    run->table(Handle::wwTableCentro);
    EXPECT_FALSE(run->moveWorkFolder(work.path()));
    EXPECT_EQ(run->workFolder, other);
    run->releaseAll();
    EXPECT_TRUE(run->moveWorkFolder(work.path()));
}

TEST_F(Session, AceptarAfterAStageErrorRunsEveryStageAgainOnFreshHandles)
{
    // Run again with the line still short, with and without the codes kept from before; then
    // with the line put right.
    for (const bool reuse : {false, true}) {
        SCOPED_TRACE(reuse ? "codes kept" : "no codes kept");
        xade("profesoresGrupoCentro.csv", {"E1,G1,\"Nome, Un\",M1", "E2"});
        feedback.answers = {reuse};
        ASSERT_TRUE(toLevels());
        ASSERT_TRUE(runHandler(feedback, [&] { import::typeLevelCodes(*run, codes); }));
        for (int attempt = 0; attempt < 2; ++attempt) {
            feedback.log.clear();
            EXPECT_FALSE(runHandler(feedback, [&] { import::FinalRecogida(*run); }));
            ASSERT_FALSE(feedback.log.empty());
            EXPECT_EQ(feedback.log.back().rfind("error: ", 0), 0u) << feedback.log.back();
            // Nothing the ended stages opened is left open or held.
            for (Handle h : {Handle::wwTableNIVIMP2, Handle::wwTableCursos, Handle::wwTableGrupos, Handle::wwTableNomAsg,
                             Handle::wwTableNomAsg2})
                EXPECT_FALSE(run->holds(h));
        }
        EXPECT_EQ(dump("CURSOST2", {"CODCURSO", "TURNO", "NIVEL", "CURSO"}),
                  (std::vector<std::string>{"K1|M|ESO|1", "K2|T|BAC|2"}));
        run = std::make_unique<RunState>(feedback, work.path());
    }
    xade("profesoresGrupoCentro.csv", {"E1,G1,\"Nome, Un\",M1"});
    feedback.answers = {true};
    ASSERT_TRUE(toLevels());
    feedback.log.clear();
    EXPECT_TRUE(runHandler(feedback, [&] { import::FinalRecogida(*run); }));
    EXPECT_NE(std::find(feedback.log.begin(), feedback.log.end(), "notice: Proceso finalizado"), feedback.log.end());
}

TEST(WorkFolderFor, FollowsTheOpenedFolderUnlessTheVariableNamesOne)
{
    {
        test::ScopedVariable none(kWorkFolderVariable, std::nullopt);
        const std::filesystem::path root = std::filesystem::absolute("/"); // "C:\" on Windows
        EXPECT_EQ(workFolderFor("/").parent_path(), root);
        EXPECT_EQ(workFolderFor("/").filename(), std::filesystem::path("VTEMP"));
    }
    test::ScopedVariable given(kWorkFolderVariable, "/srv/elsewhere");
    EXPECT_EQ(workFolderFor("/tmp"), std::filesystem::path("/srv/elsewhere"));
}

} // namespace
} // namespace conv
