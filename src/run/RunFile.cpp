#include "run/RunFile.h"

#include "common/Error.h"
#include "common/IoErrors.h"
#include "tables/EngineError.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

/// The whole of the file is locked; the lock may lie beyond its end.
constexpr std::uint64_t kLockOffset = 0;
constexpr std::uint64_t kLockLength = 0;

std::optional<UnfinishedRun> parse(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    UnfinishedRun run;
    run.kind = text.substr(0, text.find('\n'));
    run.text = text;
    while (!run.text.empty() && (run.text.back() == '\n' || run.text.back() == '\r'))
        run.text.pop_back();
    return run;
}

std::optional<UnfinishedRun> read(platform::File& file)
{
    const std::uint64_t size = file.size();
    std::string text(static_cast<std::size_t>(std::min<std::uint64_t>(size, 4096)), '\0');
    text.resize(file.readAt(text.data(), text.size(), 0));
    return parse(text);
}

std::string now()
{
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    char text[32] = "";
    if (const std::tm* utc = std::gmtime(&t)) // one thread only: the shared result is ours
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
    return text;
}

} // namespace

std::optional<UnfinishedRun> unfinishedRun(const fs::path& workFolder)
{
    const fs::path path = findNoCase(workFolder, kRunFileName);
    if (platform::fileKind(path) == platform::FileKind::Missing)
        return std::nullopt;
    const auto file = platform::fileSystem().open(path, platform::Access::Read, &throwIoFailure);
    return read(*file);
}

bool conversionRunning(const fs::path& workFolder)
{
    const fs::path path = findNoCase(workFolder, kRunFileName);
    if (platform::fileKind(path) == platform::FileKind::Missing)
        return false;
    const auto file = platform::fileSystem().open(path, platform::Access::Read, &throwIoFailure);
    return file->lockedByOther(kLockOffset, kLockLength);
}

WorkFolderLock::WorkFolderLock(const fs::path& workFolder)
    : m_path(findNoCase(workFolder, kRunFileName))
{
    auto& files = platform::fileSystem();
    // Opened for writing without truncating it: what an earlier run left is read first.
    // A missing work folder reads as the engine says it of any table there: "Path not found.".
    if (platform::fileKind(m_path) == platform::FileKind::Missing)
        files.open(m_path, platform::Access::Create, &throwEngineFailure);
    m_file = files.open(m_path, platform::Access::ReadWrite, &throwEngineFailure);
    if (!m_file->tryLock(kLockOffset, kLockLength, true))
        throw IoError(ioCode(platform::lockConflict()), std::string(kWorkFolderBusy) + "\nFile: " +
                                                             platform::pathText(m_path));
    m_found = read(*m_file);
}

WorkFolderLock::~WorkFolderLock()
{
    m_file->unlock(kLockOffset, kLockLength);
}

void WorkFolderLock::started(std::string_view kind)
{
    std::string record(kind);
    record += "\nstarted " + now() + " by process " + std::to_string(platform::processId()) + "\n";
    // The record is written over the old one before the file is cut to its length: a run cut short
    // at any point leaves a record that is not empty, so it is never taken for a finished one.
    m_file->writeAt(record.data(), record.size(), 0);
    m_file->truncate(record.size());
    m_file->sync();
}

void WorkFolderLock::finished()
{
    m_file->truncate(0);
    m_file->sync();
}

} // namespace conv
