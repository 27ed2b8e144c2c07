#include "faults/FaultSupport.h"
#include "support/TempDir.h"
#include "run/RunFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The real program run in processes of their own through the POSIX shell: an import that meets
// another one holding its work folder, and FIFOs where files are expected.

namespace conv::test
{
namespace
{

namespace fs = std::filesystem;

/// Runs the real program in a process of its own, cut off after 20 seconds.
struct Process
{
    int status;
    std::string err;
};
Process runProgram(const std::string& args, const TempDir& scratch)
{
    const fs::path err = scratch / "stderr.txt";
    const std::string command = "timeout 20 " + std::string(TRANSXADE_BIN) + " " + args + " >/dev/null 2>" + err.string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(err)};
}

/// Starts the real program in a process of its own and gives its process id.
pid_t startProgram(const std::string& args, const fs::path& err)
{
    const std::string command = "exec " + std::string(TRANSXADE_BIN) + " " + args + " >/dev/null 2>" + err.string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

/// Every file of a folder with its bytes.
std::map<std::string, std::string> folderBytes(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder))
        files[e.path().filename().string()] = readFile(e.path());
    return files;
}

/// Two imports on one work folder. The second starts while the first holds the folder: the
/// first is stopped as soon as it is seen holding it, so that the two overlap for certain. The
/// second is refused with the message and touches nothing; the first, let go on, finishes as if
/// it had been alone.
TEST(Locks, ASecondImportIsRefusedWhileTheFirstHoldsTheFolder)
{
    TempDir scratch, reference;
    ASSERT_EQ(importSchool(reference.path()).status, 0);
    int overlapped = 0;
    for (int round = 0; round < 3; ++round) {
        TempDir work;
        const std::string args = "import --csv " + kSchool + " --call 2026ORD --levels " + kLevels + " --work " +
                                 work.string();
        const pid_t first = startProgram(args, scratch / "first.txt");
        ASSERT_GT(first, 0);
        int status = 0;
        bool stoppedHolding = false;
        for (int tries = 0; tries < 40000; ++tries) { // 20 seconds at most
            if (::waitpid(first, &status, WNOHANG) == first)
                break; // it ended before it was seen holding the folder
            if (conversionRunning(work.path())) {
                ::kill(first, SIGSTOP);
                ASSERT_EQ(::waitpid(first, &status, WUNTRACED), first);
                // Stopped, it can no longer let go: it either holds the folder now or has ended.
                stoppedHolding = WIFSTOPPED(status) && conversionRunning(work.path());
                break;
            }
            ::usleep(500);
        }
        if (stoppedHolding) {
            ++overlapped;
            const auto before = folderBytes(work.path());
            const Process second = runProgram(args, scratch);
            EXPECT_EQ(second.status, 2) << second.err;
            EXPECT_NE(second.err.find("Otra conversi"), std::string::npos) << second.err;
            EXPECT_TRUE(folderBytes(work.path()) == before) << "the refused import changed the work folder";
            ::kill(first, SIGCONT);
        }
        if (!WIFEXITED(status)) {
            ASSERT_EQ(::waitpid(first, &status, 0), first);
        }
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(scratch / "first.txt");
        for (const char* table : {"GRUPOST", "ASIGT", "PROFT", "AULAT", "ASIGNOMT2", "CURSOST"})
            EXPECT_EQ(runCli({"dump", (work / (std::string(table) + ".DBF")).string()}).out,
                      runCli({"dump", (reference / (std::string(table) + ".DBF")).string()}).out)
                << table;
        EXPECT_EQ(runCli({"check-work", "--work", work.string()}).status, 0);
    }
    EXPECT_GT(overlapped, 0) << "the first import always ended before it was seen holding the folder";
}

TEST(SpecialFiles, FifoWhereAFileIsExpectedFailsAtOnce)
{
    struct Case
    {
        const char* name;
        const char* fifo; ///< relative to the copy of the school ("csv/") or the work folder ("work/")
    };
    const Case cases[] = {
        {"XADE groups file", "csv/gruposCentro.csv"},
        {"XADE calls file", "csv/convocatoriasCentro.csv"},
        {"answers file", "csv/niveles.csv"},
        {"reuse table", "work/CURSOST2.DBF"}, // a table that is rebuilt is replaced, FIFO or not
    };
    for (const Case& c : cases) {
        TempDir scratch;
        fs::copy(kSchool, scratch / "csv");
        fs::create_directory(scratch / "work");
        const fs::path fifo = scratch / c.fifo;
        fs::remove(fifo);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
        const Process p = runProgram("import --csv " + (scratch / "csv").string() + " --call 2026ORD --levels " +
                                         (scratch / "csv" / "niveles.csv").string() + " --work " +
                                         (scratch / "work").string(),
                                     scratch);
        EXPECT_TRUE(p.status == 2 || p.status == 64) << c.name << ": " << p.status << " " << p.err;
        EXPECT_NE(p.err.find("Not a regular file"), std::string::npos) << c.name << ": " << p.err;
        EXPECT_NE(p.err.find(fifo.filename().string()), std::string::npos) << c.name << ": " << p.err;
    }
}

} // namespace
} // namespace conv::test
