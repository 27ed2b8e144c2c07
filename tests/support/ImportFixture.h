#pragma once

#include "import/Import.h"
#include "run/RunState.h"
#include "support/RecordingFeedback.h"
#include "support/TableDump.h"
#include "support/TempDir.h"
#include "tables/Table.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace conv::test
{

/// A CSV folder, a work folder and a run over them, with the steps a user takes.
class ImportRun
{
public:
    TempDir csv;
    TempDir work;
    RecordingFeedback feedback;
    std::unique_ptr<RunState> run = std::make_unique<RunState>(feedback, work.path());

    /// The error box of the index error on `line` of the XADE file `name`.
    std::string indexError(int position, const std::string& name, long line) const
    {
        return "List index out of bounds (" + std::to_string(position) + ")\nFile: " + (csv / name).string() +
            "\nLine: " + std::to_string(line);
    }

    /// Writes an XADE file: a header line, then the lines, CR LF ended (text given as UTF-8).
    void xade(const std::string& name, const std::vector<std::string>& lines, const std::string& header = "H0,H1,H2,H3,H4,H5")
    {
        std::string text = header + "\r\n";
        for (const auto& l : lines)
            text += l + "\r\n";
        csv.write(name, text);
    }

    /// A fresh start of the program on the same folders.
    void restart()
    {
        run.reset();
        feedback = RecordingFeedback();
        run = std::make_unique<RunState>(feedback, work.path());
    }

    /// Presses the button, picks `call` and presses "Continuar".
    bool toLevels(const std::string& call = "C1")
    {
        return runHandler(feedback, [&] {
            import::BExportarClick(*run, csv.path().string());
            ASSERT_TRUE(import::selectCall(*run, call));
            import::BitBtn1Click(*run);
        });
    }

    /// The whole run: to the level screen, the codes typed, "Aceptar". False when an error ended it.
    bool importAll(const std::map<std::string, import::LevelCodes>& levels, const std::string& call = "C1")
    {
        if (!toLevels(call))
            return false;
        return runHandler(feedback, [&] {
            import::typeLevelCodes(*run, levels);
            import::FinalRecogida(*run);
        });
    }

    /// The table's records in reading order, the chosen fields joined by "|".
    std::vector<std::string> dump(const std::string& table, const std::vector<std::string>& fields,
                                  const std::string& index = "")
    {
        return dumpTable(work.path(), table + ".DBF", fields, index);
    }
};

/// The same, as a test's fixture.
class ImportFixture : public ::testing::Test, public ImportRun
{
};

/// Level codes for a few courses: {code, {TURNO, NIVEL, CURSO}}.
using Levels = std::map<std::string, import::LevelCodes>;

} // namespace conv::test
