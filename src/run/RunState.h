#pragma once

#include "run/Feedback.h"
#include "run/RunFile.h"
#include "shell/StartMode.h"
#include "tables/Table.h"

#include <array>
#include <cstddef>
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

/// The table handles of a run, named as the window names them. Each stands on one table of the
/// work folder: CONVOCAXADE (record order), CURSOST (CODCURSO order), CURSOST2 (CODCURSO
/// order), CURSOST (record order), GRUPOST, ASIGNOMT, ASIGNOMT2, PROFT (ABREV order), AULAT,
/// SOLUC and DIASHORAST; the last seven exclusive.
enum class Handle
{
    wwTableCentro,
    wwTableNIVIMP,
    wwTableNIVIMP2,
    wwTableCursos,
    wwTableGrupos,
    wwTableNomAsg,
    wwTableNomAsg2,
    wwTableProfesor,
    wwTableAulas,
    wwTableSoluc,
    wwTableDiasHorasT,
};
inline constexpr std::size_t kHandles = static_cast<std::size_t>(Handle::wwTableDiasHorasT) + 1;

/// The run session: what one start of the program works on, whichever front end drives it (the
/// window and the batch converter each own one). It holds the shared values, the chosen CSV
/// folder, the work folder and the table handles; the stages of both directions are operations
/// on it. Handles are only reached through table(), so a released handle is never used again:
/// the next use gets a fresh one, closed, as the window's handles are at start.
class RunState
{
public:
    RunState(Feedback& feedback, std::filesystem::path workFolder);
    ~RunState();
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

    Feedback& feedback;
    /// The work folder shared with the timetable program (never created by the converter).
    /// Given by the front end; the process's current folder plays no part.
    const std::filesystem::path& workFolder;

    /// The chosen CSV folder followed by a separator; every input file is named by it.
    std::string RutaCSV;
    /// Completion status: -1, 0 or 1.
    std::int32_t Transformado = 0;
    /// Number of command-line parameters when exactly 2 (embedded), else 0.
    std::int32_t NumParametros = 0;
    /// Error flag of the level check: 0 or 1.
    std::int32_t ErrorProceso = 0;

    /// The handle `which`, opened on its table when `open` is true and it is closed. A handle
    /// that was never made or was released is made afresh (closed) first; never null.
    Table& table(Handle which, bool open = false);
    /// True when a handle for `which` is held (made and not released since).
    bool holds(Handle which) const noexcept;
    /// Closes the handle `which`, when held and open, and lets go of it.
    void release(Handle which);
    /// Releases every handle: what a run that an error ended leaves open is closed, so that the
    /// next try starts on fresh handles and the timetable program is not locked out.
    void releaseAll();
    /// Moves the session to another work folder. Only while no handle is held, before a
    /// direction starts; false (and nothing changes) otherwise.
    bool moveWorkFolder(std::filesystem::path folder);

    /// The hold on the work folder, from the start of a conversion to the end of the program.
    std::unique_ptr<WorkFolderLock> workLock;

    /// Takes the work folder for this conversion (once), or raises the error that another one
    /// holds it. Tells the user when the last import or export there did not finish.
    void takeWorkFolder();
    /// Marks the work folder as holding an unfinished `kind` ("import", "export") from now on.
    void conversionStarted(std::string_view kind);
    /// The conversion has ended normally: the work folder is no longer marked unfinished.
    void conversionFinished();

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
    std::filesystem::path m_workFolder;
    std::array<std::unique_ptr<Table>, kHandles> m_handles;
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
