#pragma once

#include "run/Feedback.h"
#include "shell/StartMode.h"
#include "tables/Table.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace conv
{

/// The table handles the main window keeps. Each is created closed with the window; the step
/// that last uses one releases it (resets the pointer) for the rest of the program's life.
struct WindowTables
{
    std::unique_ptr<Table> wwTableCentro;     ///< CONVOCAXADE, record order
    std::unique_ptr<Table> wwTableNIVIMP;     ///< CURSOST, CODCURSO order
    std::unique_ptr<Table> wwTableNIVIMP2;    ///< CURSOST2, CODCURSO order
    std::unique_ptr<Table> wwTableCursos;     ///< CURSOST, record order
    std::unique_ptr<Table> wwTableGrupos;     ///< GRUPOST, exclusive
    std::unique_ptr<Table> wwTableNomAsg;     ///< ASIGNOMT, exclusive
    std::unique_ptr<Table> wwTableNomAsg2;    ///< ASIGNOMT2, exclusive
    std::unique_ptr<Table> wwTableProfesor;   ///< PROFT, ABREV order, exclusive
    std::unique_ptr<Table> wwTableAulas;      ///< AULAT, exclusive
    std::unique_ptr<Table> wwTableSoluc;      ///< SOLUC, exclusive
    std::unique_ptr<Table> wwTableDiasHorasT; ///< DIASHORAST, exclusive

    /// Every handle created closed on its table in `workFolder`.
    explicit WindowTables(const std::filesystem::path& workFolder);
};

/// The state one start of the program works on, whichever front end drives it: the shared
/// values, the chosen CSV folder, the work folder and the window's table handles. The stages of
/// both directions are operations on it.
class RunState
{
public:
    RunState(Feedback& feedback, std::filesystem::path workFolder);

    Feedback& feedback;
    /// The work folder shared with the timetable program (never created by the converter).
    const std::filesystem::path workFolder;

    /// The chosen CSV folder followed by a separator; every input file is named by it.
    std::string RutaCSV;
    /// Completion status: -1, 0 or 1.
    std::int32_t Transformado = 0;
    /// Number of command-line parameters when exactly 2 (embedded), else 0.
    std::int32_t NumParametros = 0;
    /// Error flag of the level check: 0 or 1.
    std::int32_t ErrorProceso = 0;

    WindowTables tables;

    bool embedded() const noexcept
    {
        return NumParametros == 2;
    }
    /// The folder RutaCSV names.
    std::filesystem::path csvFolder() const;
    /// The input file `name` of RutaCSV, found without regard to letter case.
    std::filesystem::path csvFile(const std::string& name) const;
    bool csvFileExists(const std::string& name) const;
    /// True when the work folder holds the file `name` (letter case ignored).
    bool workFileExists(const std::string& name) const;
    /// A handle of a stage's own on table `name` (file NAME.DBF) in the work folder, closed.
    std::unique_ptr<Table> stageTable(const TableLayout& layout) const;

    /// Records the run wrote, per table, in the order the tables were first written.
    void countWritten(std::string_view table, std::int64_t records);
    const std::vector<std::pair<std::string, std::int64_t>>& written() const noexcept
    {
        return m_written;
    }

private:
    std::vector<std::pair<std::string, std::int64_t>> m_written;
};

/// The text the standard error box shows for `e`: the message as errorBoxText() gives it and,
/// for an error about a file whose message does not name it, "File: PATH" on a second line
/// (and "Line: N" on a third for an error about one line).
std::string errorText(const std::exception& e);

/// Runs one handler the way the window does: an error ends it where it arises and is shown in
/// the standard error box; the state stays as the handler left it. False when an error ended it.
bool runHandler(Feedback& feedback, const std::function<void()>& handler);

} // namespace conv
