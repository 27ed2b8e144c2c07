#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

/// File access as the converter needs it, the same on every platform: files opened with the
/// sharing other programs expect, reads and writes at an offset, byte-range locks, flushing and
/// a replace that never leaves half a file. Every file the core opens goes through the current
/// FileSystem, so tests can put one in between that fails where they choose.
namespace conv::platform
{

/// What went wrong, in the terms the converter's messages need. `native` keeps the platform's
/// own number (errno, or the Windows error code) for the texts that show it.
enum class Failure
{
    NotFound,     ///< no such file
    PathNotFound, ///< a folder on the way is missing, or the name is not a valid one
    AccessDenied, ///< no rights, a read-only file system, or a folder where a file was expected
    Busy,         ///< another program holds the file (a lock or a sharing violation)
    DiskFull,
    TooManyFiles,
    NotRegular,   ///< a FIFO, a device or another special file where a file was expected
    Other,
};

struct FileFailure
{
    Failure kind = Failure::Other;
    int native = 0;
};

/// What a failed file operation does: it raises the error of the layer that asked (the table
/// engine's texts, or the run-time library's), naming `path`. It must not return.
using FailHandler = void (*)(const FileFailure& failure, const std::filesystem::path& path);

/// How a file is opened. Every mode lets other programs read the file at the same time.
enum class Access
{
    Read,      ///< an existing file, for reading
    ReadWrite, ///< an existing file, for reading and writing
    Create,    ///< a new empty file for writing, replacing one of that name
};

/// An open regular file. Failures go to the open's FailHandler.
class File
{
public:
    virtual ~File() = default;
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    /// Reads up to `size` bytes at the current position; 0 at the end.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    /// Reads up to `size` bytes at `offset`; fewer only at the end of the file.
    virtual std::size_t readAt(char* buffer, std::size_t size, std::uint64_t offset) = 0;
    /// Writes all of `size` bytes at `offset`, or fails.
    virtual void writeAt(const char* data, std::size_t size, std::uint64_t offset) = 0;
    virtual std::uint64_t size() = 0;
    virtual void truncate(std::uint64_t size) = 0;
    /// Puts what was written on the disk.
    virtual void sync() = 0;

    /// Takes a lock on a byte range (a length of 0: from the offset on, however far) without waiting: shared locks of several files go together, an
    /// exclusive one stands alone. False when another open file holds a lock that is in the way.
    /// A lock belongs to this open file, so two opens of one file in one process exclude each other
    /// as two programs do. It may lie beyond the end of the file.
    virtual bool tryLock(std::uint64_t offset, std::uint64_t length, bool exclusive) = 0;
    virtual void unlock(std::uint64_t offset, std::uint64_t length) = 0;
    /// True when another open file holds any lock on the range (takes nothing).
    virtual bool lockedByOther(std::uint64_t offset, std::uint64_t length) = 0;

    /// Where later failures go (the open's own FailHandler until then).
    virtual void setFailHandler(FailHandler fail) = 0;

    /// Reads exactly `size` bytes at `offset`; a file that ends sooner gives false.
    bool readExactAt(char* buffer, std::size_t size, std::uint64_t offset);
};

/// Where files are opened, renamed and removed. One is current at a time: the platform's own,
/// unless a test has put another in its place (ScopedFileSystem).
class FileSystem
{
public:
    virtual ~FileSystem() = default;
    /// Opens `path`. Anything but a regular file (a FIFO, a device, a folder) fails at once,
    /// without waiting for a writer or a reader at the other end.
    virtual std::unique_ptr<File> open(const std::filesystem::path& path, Access access, FailHandler fail) = 0;
    /// Moves `from` over `to` in one step: `to` is either the old file or the new one, never half.
    virtual void replace(const std::filesystem::path& from, const std::filesystem::path& to, FailHandler fail) = 0;
    /// Removes a file; false when it could not be removed (a missing file counts as removed).
    virtual bool remove(const std::filesystem::path& path) = 0;
};

/// The current file system.
FileSystem& fileSystem();
/// The platform's own file system.
FileSystem& nativeFileSystem();

/// Puts another file system in place for its lifetime (tests only; not thread-safe).
class ScopedFileSystem
{
public:
    explicit ScopedFileSystem(FileSystem& replacement);
    ~ScopedFileSystem();
    ScopedFileSystem(const ScopedFileSystem&) = delete;
    ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

private:
    FileSystem* m_previous;
};

/// The whole contents of a regular file, read through the current file system.
std::string readWholeFile(const std::filesystem::path& path, FailHandler fail);

/// What a path names, without opening it (links followed).
enum class FileKind
{
    Missing,
    Regular,
    Directory,
    Other, ///< a FIFO, a device, a socket
};
FileKind fileKind(const std::filesystem::path& path);

/// The root of the drive or file system that holds `folder`: "C:\" or "\\server\share\" on
/// Windows, the top folder of the same mounted file system elsewhere.
std::filesystem::path volumeRoot(const std::filesystem::path& folder);

/// Makes `folder` the process's current folder (and so its drive the current drive).
void changeCurrentFolder(const std::filesystem::path& folder, FailHandler fail);

/// The separator the platform writes between folder names ('\' or '/').
char pathSeparator();

/// A path from the core's text of a file name (bytes as the system gives them on POSIX, UTF-8
/// on Windows) and back. Paths shown in messages go through pathText too.
std::filesystem::path pathFromText(const std::string& text);
std::string pathText(const std::filesystem::path& path);

/// The program's arguments as the core's text (see pathFromText): on Windows the wide command
/// line in UTF-8, since `argv` there holds the ANSI code page's bytes; elsewhere `argv` itself.
std::vector<std::string> commandLine(int argc, const char* const* argv);

/// The folder an environment variable names, or an empty path when it is unset or empty.
std::filesystem::path environmentPath(const char* name);

/// The failure a lock refused by tryLock() stands for, as the platform numbers it.
FileFailure lockConflict();

/// This process's number, and whether a process of that number is still running.
std::uint32_t processId();
bool processRunning(std::uint32_t pid);

} // namespace conv::platform
