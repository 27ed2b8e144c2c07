// Opening files on Windows: the system's error codes as the run-time library's texts, and
// LockFileEx locks against other programs.
#include "common/IoErrors.h"
#include "support/TempDir.h"
#include "text/CsvReader.h"

#include "platform/win32/WinError.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace conv
{
namespace
{

using test::TempDir;

TEST(FileOpen, WindowsErrorsGiveTheRunTimeLibrarysTexts)
{
    const std::pair<DWORD, std::string> cases[] = {
        {ERROR_FILE_NOT_FOUND, "File not found"},
        {ERROR_PATH_NOT_FOUND, "Invalid filename"},
        {ERROR_INVALID_NAME, "Invalid filename"},
        {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"},
        {ERROR_ACCESS_DENIED, "File access denied"},
        {ERROR_WRITE_PROTECT, "File access denied"},
        {ERROR_DISK_FULL, "Disk full"},
        {ERROR_HANDLE_DISK_FULL, "Disk full"},
        {ERROR_SHARING_VIOLATION, "I/O error 32"},
        {ERROR_LOCK_VIOLATION, "I/O error 33"},
        {ERROR_NOT_READY, "I/O error 21"},
    };
    for (const auto& [err, text] : cases)
        EXPECT_ERROR_TEXT(throwIoFailure(platform::failureFromWindowsError(err), "C:\\x.csv"), text);
}

/// Another program's handle on `path`, shared as the system's editors share it.
HANDLE openElsewhere(const std::filesystem::path& path)
{
    return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool lockWhole(HANDLE h, DWORD flags)
{
    OVERLAPPED ov{};
    return ::LockFileEx(h, flags, 0, MAXDWORD, MAXDWORD, &ov) != FALSE;
}

TEST(FileOpen, FileLockedForWritingCannotBeOpened)
{
    TempDir dir;
    const auto p = dir.write("busy.csv", "h\n");
    const HANDLE h = openElsewhere(p);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(lockWhole(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY));
    EXPECT_ERROR_TEXT(CsvReader::open(p), "I/O error 33");
    ::CloseHandle(h);
    EXPECT_EQ(CsvReader::open(p).nextLine(), "h");
}

TEST(FileOpen, ReadersShareAndKeepWritersOut)
{
    TempDir dir;
    const auto p = dir.write("shared.csv", "h\nx\n");
    CsvReader first = CsvReader::open(p);
    CsvReader second = CsvReader::open(p);
    EXPECT_EQ(second.nextLine(), "h");
    const HANDLE h = openElsewhere(p);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "others may open the file while we read it";
    EXPECT_FALSE(lockWhole(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY))
        << "a writer's lock must be refused while we read";
    ::CloseHandle(h);
}

} // namespace
} // namespace conv
