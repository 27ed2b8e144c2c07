#pragma once

#include "platform/File.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace conv
{

/// The file in the work folder through which conversions keep out of each other's way and which
/// tells whether the last import or export finished. The timetable program does not know it.
inline constexpr const char* kRunFileName = "TRANSXADE.RUN";

/// Messages (Windows-1252).
inline constexpr const char* kWorkFolderBusy =
    "Otra conversi\xF3n est\xE1 usando la carpeta de trabajo. Espere a que termine y vuelva a intentarlo.";
inline constexpr const char* kUnfinishedImport =
    "La \xFAltima importaci\xF3n en esta carpeta de trabajo no termin\xF3: sus tablas pueden estar "
    "incompletas. Haga la importaci\xF3n de nuevo antes de usarlas.";
inline constexpr const char* kUnfinishedExport =
    "La \xFAltima exportaci\xF3n en esta carpeta de trabajo no termin\xF3. Haga la exportaci\xF3n de nuevo.";

/// What the run file says of the last import or export: nothing when it finished (or none ran),
/// else its first line ("import" or "export") and when and by whom it was started.
struct UnfinishedRun
{
    std::string kind; ///< "import" or "export"
    std::string text; ///< the whole record, for check-work
};
std::optional<UnfinishedRun> unfinishedRun(const std::filesystem::path& workFolder);

/// True when a conversion holds the work folder now (takes nothing, writes nothing).
bool conversionRunning(const std::filesystem::path& workFolder);

/// One conversion's hold on the work folder. While it lives, no other conversion (of this program
/// or another converter, on this machine or another one sharing the folder) can take it: the
/// run file carries an exclusive lock, which the system drops by itself when the process ends,
/// however it ends. The lock file stays in the folder, empty once the run has finished.
class WorkFolderLock
{
public:
    /// Takes the work folder, or raises kWorkFolderBusy (naming the run file) at once.
    explicit WorkFolderLock(const std::filesystem::path& workFolder);
    ~WorkFolderLock();
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

    /// What an earlier run left unfinished, as found when the folder was taken.
    const std::optional<UnfinishedRun>& foundUnfinished() const
    {
        return m_found;
    }
    /// Marks the folder as holding an unfinished `kind` ("import" or "export") until finished().
    void started(std::string_view kind);
    /// Clears the mark: the run has ended normally.
    void finished();

private:
    std::filesystem::path m_path;
    std::unique_ptr<platform::File> m_file;
    std::optional<UnfinishedRun> m_found;
};

} // namespace conv
