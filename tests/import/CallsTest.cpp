#include "import/Messages.h"
#include "support/ImportFixture.h"

#include <filesystem>

namespace conv
{
namespace
{

class Calls : public test::ImportFixture
{
};

TEST_F(Calls, LoadsEveryLineAfterTheHeader)
{
    xade("convocatoriasCentro.csv", {"C1,\"Primeira convocatoria\",extra", "C1,Repetida",
                                     "ABCDEFGHIJK,\"" + std::string(61, 'd') + "\""});
    ASSERT_TRUE(runHandler(feedback, [&] { import::BExportarClick(*run, csv.path().string()); }));
    EXPECT_EQ(run->Transformado, 1);
    EXPECT_EQ(dump("CONVOCAXADE", {"CONVOCATORIA", "DESCRIPCION"}),
              (std::vector<std::string>{"C1|Primeira convocatoria", "C1|Repetida", "ABCDEFGHIJ|" + std::string(60, 'd')}));
    EXPECT_EQ(feedback.changes, (std::vector<UiChange>{UiChange::DisableExportar, UiChange::HideFolderChooser,
                                                       UiChange::DisableImportar, UiChange::ShowCallScreen}));
    // The cut code matches no line of the other files.
    ASSERT_TRUE(import::selectCall(*run, "ABCDEFGHIJ"));
    const import::CallFilter filter(*run);
    EXPECT_FALSE(filter.belongs("ABCDEFGHIJK"));
    EXPECT_FALSE(filter.belongs("ABCDEFGHIJ "));
    EXPECT_TRUE(filter.belongs("ABCDEFGHIJ"));
}

TEST_F(Calls, AnEmptyCallTableSelectsNoCall)
{
    xade("convocatoriasCentro.csv", {});
    ASSERT_TRUE(runHandler(feedback, [&] { import::BExportarClick(*run, csv.path().string()); }));
    EXPECT_TRUE(run->table(Handle::wwTableCentro).inserting());
    const import::CallFilter filter(*run);
    EXPECT_FALSE(filter.belongs(""));
}

TEST_F(Calls, MissingFolderAndFile)
{
    struct Case
    {
        bool embedded;
        bool folder;
        std::vector<std::string> notices;
        int status;
        bool closed;
    };
    const Case cases[] = {
        {false, false, {msg::kNoFolder}, 0, false},
        {true, false, {msg::kNoFolder}, -1, true},
        {false, true, {msg::kNoCalls}, -1, false},
        {true, true, {msg::kNoCalls}, -1, false},
    };
    for (const Case& c : cases) {
        restart();
        run->NumParametros = c.embedded ? 2 : 0;
        const std::string folder = c.folder ? csv.path().string() : (csv / "nada").string();
        ASSERT_TRUE(runHandler(feedback, [&] { import::BExportarClick(*run, folder); }));
        EXPECT_EQ(feedback.notices, c.notices);
        EXPECT_EQ(run->Transformado, c.status);
        const bool closed =
            std::find(feedback.changes.begin(), feedback.changes.end(), UiChange::CloseWindow) != feedback.changes.end();
        EXPECT_EQ(closed, c.closed);
    }
}

TEST_F(Calls, ShortLineEndsTheHandler)
{
    xade("convocatoriasCentro.csv", {"C1,Uno", "C2"});
    EXPECT_FALSE(runHandler(feedback, [&] { import::BExportarClick(*run, csv.path().string()); }));
    EXPECT_EQ(feedback.errors, (std::vector<std::string>{indexError(1, "convocatoriasCentro.csv", 3)}));
    EXPECT_EQ(run->Transformado, 1);
    EXPECT_EQ(dump("CONVOCAXADE", {"CONVOCATORIA"}), (std::vector<std::string>{"C1"}));
    EXPECT_TRUE(feedback.changes.back() == UiChange::DisableImportar); // no call screen
}

TEST(ErrorBox, FullStopRule)
{
    EXPECT_EQ(errorBoxText("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(errorBoxText("List index out of bounds (3)"), "List index out of bounds (3)");
    EXPECT_EQ(errorBoxText("Field 'X' not found"), "Field 'X' not found.");
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText(""), "");
}

} // namespace
} // namespace conv
