#include "support/CliRun.h"
#include "support/TempDir.h"

#include "cli/Commands.h"
#include "common/Error.h"
#include "platform/File.h"
#include "run/RunState.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace conv
{
namespace
{

// Every error names its file: the window keeps the system's text and adds the file on a second
// line where the text has none; the batch converter puts the file first.
TEST(ErrorText, TheWindowAddsTheFileAndTheBatchConverterPutsItFirst)
{
    struct Case
    {
        const char* name;
        std::function<void()> raise;
        const char* window;
        const char* batch;
    };
    const Case cases[] = {
        {"an I/O error on an XADE file", [] { throw IoError(5, "File access denied", "/srv/xade/aulasCentro.csv"); },
         "File access denied.\nFile: /srv/xade/aulasCentro.csv", "/srv/xade/aulasCentro.csv: File access denied."},
        {"an I/O error on HORARIO.CSV", [] { throw IoError(101, "Disk full", "/srv/xade/HORARIO.CSV"); },
         "Disk full.\nFile: /srv/xade/HORARIO.CSV", "/srv/xade/HORARIO.CSV: Disk full."},
        {"an error on a line", [] { throw Error("List index out of bounds (1)", "/srv/xade/aulasCentro.csv", 9); },
         "List index out of bounds (1)\nFile: /srv/xade/aulasCentro.csv\nLine: 9",
         "/srv/xade/aulasCentro.csv:9: List index out of bounds (1)"},
        {"the engine's text names its file already",
         [] { throw Error("Table does not exist.\nFile: /srv/VTEMP/PROFT.DBF"); },
         "Table does not exist.\nFile: /srv/VTEMP/PROFT.DBF.", "/srv/VTEMP/PROFT.DBF: Table does not exist."},
        {"a path in UTF-8 is shown in the code page of the texts",
         [] { throw IoError(5, "File access denied", platform::pathFromText("/srv/Hor\xC3\xA1rio/a.csv")); },
         "File access denied.\nFile: /srv/Hor\xE1rio/a.csv", "/srv/Hor\xE1rio/a.csv: File access denied."},
        {"an error about no file", [] { throw Error("'abc' is not a valid integer value"); },
         "'abc' is not a valid integer value.", "'abc' is not a valid integer value."},
        {"a library error", [] { throw std::length_error("vector::reserve"); }, "vector::reserve.",
         "vector::reserve."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.raise();
            ADD_FAILURE() << "nothing thrown";
        } catch (const std::exception& e) {
            EXPECT_EQ(errorText(e), c.window);
            EXPECT_EQ(cli::fileFirst(errorText(e)), c.batch);
        }
    }
}

TEST(ErrorText, CheckTableOnAFolderNamesIt)
{
    test::TempDir dir;
    const test::CliResult r = test::runCli({"check-table", dir.path().string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, dir.path().string() + ": Table does not exist.\n");
    EXPECT_EQ(r.out, "");
}

} // namespace
} // namespace conv
