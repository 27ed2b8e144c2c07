// Opening files on POSIX systems: errno values as the run-time library's codes, OFD locks
// against other programs, and names told apart by letter case.
#include "common/IoErrors.h"
#include "support/TempDir.h"
#include "text/CsvReader.h"

#include "platform/posix/Errno.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace conv
{
namespace
{

using test::TempDir;

TEST(FileOpen, PlatformErrorsMapToTheSystemsCodes)
{
    // Permission errors cannot be provoked as the superuser, who runs CI; the mapping is checked here.
    const std::pair<int, int> cases[] = {
        {EACCES, 5},   {EPERM, 5},   {EISDIR, 5}, {EROFS, 5},        {EMFILE, 4}, {ENFILE, 4},
        {ENOSPC, 101}, {ENOTDIR, 3}, {ELOOP, 3},  {ENAMETOOLONG, 3}, {EIO, EIO},  {EAGAIN, EAGAIN},
    };
    for (const auto& [err, code] : cases)
        EXPECT_EQ(ioCode(platform::failureFromErrno(err, "/x.csv")), code) << err;

    // An errno without a system number of its own never borrows the text of one that shares it.
    const std::pair<int, std::string> texts[] = {
        {EACCES, "File access denied"},
        {ENOSPC, "Disk full"},
        {EIO, "I/O error " + std::to_string(EIO)},
        {EINTR, "I/O error " + std::to_string(EINTR)},
        {EAGAIN, "I/O error " + std::to_string(EAGAIN)},
    };
    for (const auto& [err, text] : texts)
        EXPECT_ERROR_TEXT(throwIoFailure(platform::failureFromErrno(err, "/x.csv"), "/x.csv"), text);
}

TEST(FileOpen, FileLockedForWritingCannotBeOpened)
{
    TempDir dir;
    const auto p = dir.write("busy.csv", "h\n");
    const int fd = ::open(p.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    EXPECT_ERROR_TEXT(CsvReader::open(p), "I/O error " + std::to_string(EAGAIN));
    ::close(fd);
    EXPECT_EQ(CsvReader::open(p).nextLine(), "h");
}

TEST(FileOpen, ReadersShareAndKeepWritersOut)
{
    TempDir dir;
    const auto p = dir.write("shared.csv", "h\nx\n");
    CsvReader first = CsvReader::open(p);
    CsvReader second = CsvReader::open(p);
    EXPECT_EQ(second.nextLine(), "h");
    const int fd = ::open(p.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    EXPECT_NE(::fcntl(fd, F_OFD_SETLK, &lock), 0) << "a writer's lock must be refused while we read";
    ::close(fd);
}

TEST(FileOpen, NamesFoundWithoutRegardToCase)
{
    TempDir dir;
    dir.write("GRUPOSCENTRO.CSV", "upper\n");
    dir.write("aulascentro.csv", "lower\n");
    dir.write("Mixed.csv", "first\n");
    dir.write("MIXED.csv", "second\n");
    dir.write("mixed.csv", "exact\n");
    EXPECT_EQ(findNoCase(dir.path(), "gruposCentro.csv"), dir / "GRUPOSCENTRO.CSV");
    EXPECT_EQ(findNoCase(dir.path(), "gruposCentro.CSV"), dir / "GRUPOSCENTRO.CSV");
    EXPECT_EQ(findNoCase(dir.path(), "aulasCentro.csv"), dir / "aulascentro.csv");
    EXPECT_EQ(findNoCase(dir.path(), "mixed.csv"), dir / "mixed.csv");
    EXPECT_EQ(findNoCase(dir.path(), "mIXED.csv"), dir / "MIXED.csv"); // first in byte order
    EXPECT_EQ(findNoCase(dir.path(), "missing.csv"), dir / "missing.csv");
    EXPECT_TRUE(fileExistsNoCase(dir.path(), "AULASCENTRO.csv"));
    EXPECT_FALSE(fileExistsNoCase(dir.path(), "missing.csv"));
    // Letter case folds for A-Z only: an accented capital is another name.
    dir.write("\xC3\x81ula.csv", "x\n");
    EXPECT_FALSE(fileExistsNoCase(dir.path(), "\xC3\xA1ula.csv"));
}

} // namespace
} // namespace conv
