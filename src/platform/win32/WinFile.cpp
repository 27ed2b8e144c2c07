#include "platform/File.h"
#include "platform/win32/WinError.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace conv::platform
{
namespace
{

namespace fs = std::filesystem;

FileFailure failureOf(DWORD err)
{
    return failureFromWindowsError(err);
}

[[noreturn]] void fail(FailHandler handler, DWORD err, const fs::path& path)
{
    handler(failureOf(err), path);
    std::abort(); // a handler always raises
}

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED ov{};
    ov.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ov;
}

/// A length of 0 stands for the whole range from the offset on, as with POSIX locks.
void lockLength(std::uint64_t length, DWORD& low, DWORD& high)
{
    if (length == 0) {
        low = high = MAXDWORD;
        return;
    }
    low = static_cast<DWORD>(length & 0xFFFFFFFFu);
    high = static_cast<DWORD>(length >> 32);
}

/// Byte-range locks with LockFileEx belong to the handle, so two opens in one program exclude
/// each other as two programs do, on a local disk and on a network share alike.
class WinFile final : public File
{
public:
    WinFile(HANDLE handle, fs::path path, FailHandler handler)
        : m_handle(handle)
        , m_path(std::move(path))
        , m_fail(handler)
    {
    }
    ~WinFile() override
    {
        ::CloseHandle(m_handle);
    }

    std::size_t read(char* buffer, std::size_t size) override
    {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!::ReadFile(m_handle, buffer, want, &got, nullptr)) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
                return 0;
            fail(m_fail, err, m_path);
        }
        return got;
    }

    std::size_t readAt(char* buffer, std::size_t size, std::uint64_t offset) override
    {
        std::size_t done = 0;
        while (done < size) {
            OVERLAPPED ov = at(offset + done);
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            if (!::ReadFile(m_handle, buffer + done, want, &got, &ov)) {
                const DWORD err = ::GetLastError();
                if (err == ERROR_HANDLE_EOF)
                    break;
                fail(m_fail, err, m_path);
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

    void writeAt(const char* data, std::size_t size, std::uint64_t offset) override
    {
        while (size > 0) {
            OVERLAPPED ov = at(offset);
            DWORD put = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            if (!::WriteFile(m_handle, data, want, &put, &ov))
                fail(m_fail, ::GetLastError(), m_path);
            if (put == 0)
                fail(m_fail, ERROR_DISK_FULL, m_path);
            data += put;
            size -= put;
            offset += put;
        }
    }

    std::uint64_t size() override
    {
        LARGE_INTEGER s{};
        if (!::GetFileSizeEx(m_handle, &s))
            fail(m_fail, ::GetLastError(), m_path);
        return static_cast<std::uint64_t>(s.QuadPart);
    }

    void truncate(std::uint64_t size) override
    {
        FILE_END_OF_FILE_INFO info{};
        info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        if (!::SetFileInformationByHandle(m_handle, FileEndOfFileInfo, &info, sizeof info))
            fail(m_fail, ::GetLastError(), m_path);
    }

    void sync() override
    {
        // A handle opened for reading only has nothing to flush.
        if (!::FlushFileBuffers(m_handle) && ::GetLastError() != ERROR_ACCESS_DENIED)
            fail(m_fail, ::GetLastError(), m_path);
    }

    void setFailHandler(FailHandler handler) override
    {
        m_fail = handler;
    }

    bool tryLock(std::uint64_t offset, std::uint64_t length, bool exclusive) override
    {
        OVERLAPPED ov = at(offset);
        DWORD low = 0, high = 0;
        lockLength(length, low, high);
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (::LockFileEx(m_handle, flags, 0, low, high, &ov))
            return true;
        const DWORD err = ::GetLastError();
        return err != ERROR_LOCK_VIOLATION && err != ERROR_IO_PENDING;
    }

    void unlock(std::uint64_t offset, std::uint64_t length) override
    {
        OVERLAPPED ov = at(offset);
        DWORD low = 0, high = 0;
        lockLength(length, low, high);
        ::UnlockFileEx(m_handle, 0, low, high, &ov);
    }

    bool lockedByOther(std::uint64_t offset, std::uint64_t length) override
    {
        if (!tryLock(offset, length, true))
            return true;
        unlock(offset, length);
        return false;
    }

private:
    HANDLE m_handle;
    fs::path m_path;
    FailHandler m_fail;
};

class WinFileSystem final : public FileSystem
{
public:
    std::unique_ptr<File> open(const fs::path& path, Access access, FailHandler handler) override
    {
        DWORD desired = GENERIC_READ;
        DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        DWORD disposition = OPEN_EXISTING;
        switch (access) {
        case Access::Read: break;
        case Access::ReadWrite: desired = GENERIC_READ | GENERIC_WRITE; break;
        case Access::Create:
            desired = GENERIC_WRITE;
            share = FILE_SHARE_READ;
            disposition = CREATE_ALWAYS;
            break;
        }
        // No FILE_SHARE_DELETE: a file that is open cannot be deleted or renamed over, as the
        // tables' owner expects.
        HANDLE h = ::CreateFileW(path.c_str(), desired, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            fail(handler, ::GetLastError(), path);
        if (::GetFileType(h) != FILE_TYPE_DISK) {
            ::CloseHandle(h);
            handler({Failure::NotRegular, 0}, path);
        }
        return std::make_unique<WinFile>(h, path, handler);
    }

    void replace(const fs::path& from, const fs::path& to, FailHandler handler) override
    {
        // A rename on one volume: atomic on NTFS, the old file or the new one, never half.
        if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            fail(handler, ::GetLastError(), to);
    }

    bool remove(const fs::path& path) override
    {
        return ::DeleteFileW(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
};

} // namespace

FileFailure failureFromWindowsError(std::uint32_t err)
{
    const int native = static_cast<int>(err);
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
        return {Failure::NotFound, native};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE:
        return {Failure::PathNotFound, native};
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return {Failure::AccessDenied, native};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {Failure::Busy, native};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {Failure::DiskFull, native};
    case ERROR_TOO_MANY_OPEN_FILES:
        return {Failure::TooManyFiles, native};
    default:
        return {Failure::Other, native};
    }
}

FileSystem& nativeFileSystem()
{
    static WinFileSystem fs;
    return fs;
}

FileKind fileKind(const fs::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileKind::Directory;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return FileKind::Other;
    return FileKind::Regular;
}

fs::path volumeRoot(const fs::path& folder)
{
    std::vector<wchar_t> root(MAX_PATH + 1);
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    if (!ec && ::GetVolumePathNameW(absolute.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return fs::path(root.data());
    return absolute.root_path();
}

void changeCurrentFolder(const fs::path& folder, FailHandler handler)
{
    if (!::SetCurrentDirectoryW(folder.c_str()))
        fail(handler, ::GetLastError(), folder);
}

char pathSeparator()
{
    return '\\';
}

fs::path pathFromText(const std::string& text)
{
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return fs::path(wide);
}

std::string pathText(const fs::path& path)
{
    const std::wstring& wide = path.native();
    if (wide.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

std::vector<std::string> commandLine(int argc, const char* const* argv)
{
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide || count != argc) {
        // Not this process's own command line (a test calls with arguments of its own).
        if (wide)
            ::LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(pathText(fs::path(wide[i])));
    ::LocalFree(wide);
    return args;
}

fs::path environmentPath(const char* name)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    std::wstring wideName(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, name, -1, wideName.data(), n);
    const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size <= 1)
        return {};
    std::wstring value(size, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(got < size ? got : 0);
    return fs::path(value);
}

FileFailure lockConflict()
{
    return {Failure::Busy, ERROR_LOCK_VIOLATION};
}

std::uint32_t processId()
{
    return ::GetCurrentProcessId();
}

bool processRunning(std::uint32_t pid)
{
    if (pid == 0)
        return false;
    HANDLE h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!h)
        return ::GetLastError() == ERROR_ACCESS_DENIED; // it exists, but is another user's
    const bool running = ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    ::CloseHandle(h);
    return running;
}

} // namespace conv::platform
