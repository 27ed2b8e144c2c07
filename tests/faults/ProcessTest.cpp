#include "faults/FaultSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

// The real program run in processes of their own through the POSIX shell: imports started
// together, and FIFOs where files are expected.

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

TEST(Locks, TwoImportsStartedTogetherDoNotMix)
{
    TempDir scratch, reference;
    ASSERT_EQ(importSchool(reference.path()).status, 0);
    for (int round = 0; round < 3; ++round) {
        TempDir work;
        const std::string args = "import --csv " + kSchool + " --call 2026ORD --levels " + kLevels + " --work " +
                                 work.string();
        const std::string command = "(" + std::string(TRANSXADE_BIN) + " " + args + " >/dev/null 2>" +
                                    (scratch / "a.txt").string() + "; echo $? >" + (scratch / "a.rc").string() +
                                    ") & " + TRANSXADE_BIN + " " + args + " >/dev/null 2>" +
                                    (scratch / "b.txt").string() + "; echo $? >" + (scratch / "b.rc").string() +
                                    "; wait";
        ASSERT_EQ(std::system(("timeout 60 sh -c '" + command + "'").c_str()), 0);
        int finished = 0;
        for (const char* who : {"a", "b"}) {
            const int rc = std::stoi(readFile(scratch / (std::string(who) + ".rc")));
            const std::string err = readFile(scratch / (std::string(who) + ".txt"));
            EXPECT_TRUE(rc == 0 || (rc == 2 && err.find("Otra conversi") != std::string::npos)) << rc << err;
            finished += rc == 0;
        }
        EXPECT_GE(finished, 1);
        for (const char* table : {"GRUPOST", "ASIGT", "PROFT", "AULAT", "ASIGNOMT2", "CURSOST"})
            EXPECT_EQ(runCli({"dump", (work / (std::string(table) + ".DBF")).string()}).out,
                      runCli({"dump", (reference / (std::string(table) + ".DBF")).string()}).out)
                << table;
        EXPECT_EQ(runCli({"check-work", "--work", work.string()}).status, 0);
    }
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
