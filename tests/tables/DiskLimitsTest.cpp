// A disk that fills up or refuses writes, and tables used by several processes, provoked with
// POSIX resource limits and child processes: the engine's error, and no table that looks complete.
#include "TableTestUtil.h"
#include "tables/TableCheck.h"
#include "tables/WorkFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace conv
{
namespace
{

using test::readBytes;
using test::makeGood;
using test::TempDir;

TEST(Disk, AFullDiskGivesTheEngineErrorAndNoTableThatLooksComplete)
{
    TempDir dir;
    rebuildTable(dir.path(), layouts::GRUPOST);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{200000, 200000}; // the file may not grow beyond this: as a full disk
        setrlimit(RLIMIT_FSIZE, &limit);
        int status = 1;
        try {
            Table t(dir.path(), "GRUPOST.DBF");
            t.open();
            for (int i = 0; i < 5000; ++i) {
                t.append();
                t.fieldByName("ABREV").setString("G" + std::to_string(i));
                t.post();
            }
            t.close();
        } catch (const Error& e) {
            status =
                std::string(e.what()) == "Insufficient disk space.\nFile: " + (dir / "GRUPOST.DBF").string() ? 0 : 2;
        }
        _exit(status);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string bytes = readBytes(dir / "GRUPOST.DBF");
    EXPECT_EQ(test::le32At(bytes, 4), 0u); // the header still counts no records
    EXPECT_FALSE(checkTable(dir / "GRUPOST.DBF").ok());
}

TEST(Disk, ReadOnlyFolderGivesTheEngineErrorAndLeavesNothing)
{
    namespace fs = std::filesystem;
    TempDir dir;
    fs::permissions(dir.path(),
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec);
    const std::string expected = "Insufficient rights for operation.\nFile: " + (dir / "PROFT.DBF").string();
    const pid_t pid = fork();
    if (pid == 0) {
        // File permissions do not bind the superuser (who runs CI): the child gives up its rights.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            _exit(77);
        int status = 1;
        try {
            Table t(dir.path(), "PROFT.DBF");
            t.setLayout(layouts::PROFT);
            t.createTable();
        } catch (const Error& e) {
            status = e.what() == expected ? 0 : 2;
        }
        _exit(status);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    fs::permissions(dir.path(), fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: created, 2: another message";
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(Processes, ExclusiveUseHoldsAcrossProcesses)
{
    TempDir dir;
    makeGood(dir);
    int toParent[2], toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        Table t(dir.path(), "GOOD.DBF");
        t.setExclusive(true);
        t.open();
        char c = 'x';
        (void)!write(toParent[1], &c, 1);
        (void)!read(toChild[0], &c, 1); // hold the table until the parent has tried
        t.close();
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(toParent[0], &c, 1), 1);
    Table shared(dir.path(), "GOOD.DBF");
    EXPECT_ERROR_TEXT(shared.open(), "Table is busy.\nFile: " + (dir / "GOOD.DBF").string());
    Table other(dir.path(), "GOOD.DBF");
    other.setLayout(test::kGoodLayout);
    EXPECT_ERROR_TEXT(other.createTable(), "Table is busy.\nFile: " + (dir / "GOOD.DBF").string());
    (void)!write(toChild[1], &c, 1);
    int status = 0;
    waitpid(pid, &status, 0);
    shared.open();
    EXPECT_EQ(shared.recordCount(), 300);
    // And a shared opener here keeps another process from exclusive use.
    const pid_t second = fork();
    if (second == 0) {
        Table t(dir.path(), "GOOD.DBF");
        t.setExclusive(true);
        try {
            t.open();
            _exit(1);
        } catch (const Error& e) {
            _exit(std::string(e.what()).rfind("Table is busy.", 0) == 0 ? 0 : 2);
        }
    }
    waitpid(second, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace conv
