#include "faults/FaultSupport.h"
#include "support/TempDir.h"

#include "common/IoErrors.h"
#include "export/Rules.h"
#include "platform/File.h"
#include "standin/StandIn.h"
#include "tables/RunFile.h"
#include "text/Ansi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>

namespace conv::test
{
namespace
{

namespace fs = std::filesystem;

/// The lock byte the table engine takes on a table it opens.
constexpr std::uint64_t kTableLock = 0x40000000;

/// Every file of a folder with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder))
        files[e.path().filename().string()] = readFile(e.path());
    return files;
}

/// Another program's open of `file`, holding the lock that program's engine would hold.
std::unique_ptr<platform::File> holdTable(const fs::path& file, bool exclusive)
{
    auto f = platform::nativeFileSystem().open(file, platform::Access::ReadWrite, &throwIoFailure);
    EXPECT_TRUE(f->tryLock(kTableLock, 1, exclusive));
    return f;
}

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

TEST(Locks, HeldTableIsNeitherDeletedNorRebuilt)
{
    struct Case
    {
        const char* name;
        const char* table;
        bool exclusive;
    };
    const Case cases[] = {
        {"import, teachers held shared", "PROFT.DBF", false},
        {"import, teachers held exclusively", "PROFT.DBF", true},
        {"import, calls held", "CONVOCAXADE.DBF", true},
        {"import, reuse table held", "CURSOST2.DBF", true},
    };
    for (const Case& c : cases) {
        TempDir work;
        ASSERT_EQ(importSchool(work.path()).status, 0);
        const std::string before = readFile(work / c.table);
        const auto held = holdTable(work / c.table, c.exclusive);
        const CliResult r = importSchool(work.path());
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_NE(r.err.find((work / c.table).string() + ": Table is busy."), std::string::npos)
            << c.name << ": " << r.err;
        EXPECT_EQ(readFile(work / c.table), before) << c.name;
        EXPECT_TRUE(fs::exists(work / c.table)) << c.name;
    }
}

TEST(Locks, HeldTableStopsCallsAndExport)
{
    TempDir work, out;
    ASSERT_EQ(importSchool(work.path()).status, 0);
    standin::makeTimetable(work.path(), standin::Options{});
    {
        const auto held = holdTable(work / "CONVOCAXADE.DBF", false);
        const CliResult r = runCli({"calls", "--csv", kSchool, "--work", work.string()});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("Table is busy."), std::string::npos) << r.err;
    }
    ASSERT_EQ(runCli({"export", "--csv", out.string(), "--work", work.string()}).status, 0);
    const std::string horario = readFile(out / "HORARIO.CSV");
    const auto held = holdTable(work / "HORARIOXADECSV.DBF", true);
    const CliResult r = runCli({"export", "--csv", out.string(), "--work", work.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find((work / "HORARIOXADECSV.DBF").string() + ": Table is busy."), std::string::npos) << r.err;
    EXPECT_EQ(readFile(out / "HORARIO.CSV"), horario);
}

TEST(Locks, OneConversionAtATimePerWorkFolder)
{
    TempDir work, out;
    ASSERT_EQ(importSchool(work.path()).status, 0);
    const auto before = snapshot(work.path());
    WorkFolderLock other(work.path()); // another converter at work there
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import", "--csv", kSchool, "--call", "2026ORD", "--levels", kLevels},
          std::vector<std::string>{"export", "--csv", out.string()},
          std::vector<std::string>{"calls", "--csv", kSchool},
          std::vector<std::string>{"courses", "--csv", kSchool, "--call", "2026ORD"}}) {
        std::vector<std::string> full = args;
        full.insert(full.end(), {"--work", work.string()});
        const CliResult r = runCli(full);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_NE(r.err.find(ansiToUtf8(kWorkFolderBusy)), std::string::npos) << args[0] << ": " << r.err;
    }
    EXPECT_EQ(snapshot(work.path()), before);
    EXPECT_FALSE(fs::exists(out / "HORARIO.CSV"));
    const CliResult check = runCli({"check-work", "--work", work.string()});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("a conversion is running"), std::string::npos) << check.out;
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

TEST(Temporaries, ExportRemovesOnlyWhatKilledWritersLeft)
{
    TempDir work, out;
    ASSERT_EQ(importSchool(work.path()).status, 0);
    standin::makeTimetable(work.path(), standin::Options{});
    const std::string gone = exporter::temporaryName("HORARIO.CSV", 4194305).string(); // beyond any pid
    const std::string alive = exporter::temporaryName("HORARIO.CSV", 1).string(); // a process that runs
    out.write(gone, "half");
    out.write(alive, "being written");
    out.write(".OTHER.CSV.4194305.tmp", "not ours");
    out.write(".HORARIO.CSV.12x.tmp", "not ours");
    ASSERT_EQ(runCli({"export", "--csv", out.string(), "--work", work.string()}).status, 0);
    EXPECT_FALSE(fs::exists(out / gone));
    EXPECT_TRUE(fs::exists(out / alive));
    EXPECT_TRUE(fs::exists(out / ".OTHER.CSV.4194305.tmp"));
    EXPECT_TRUE(fs::exists(out / ".HORARIO.CSV.12x.tmp"));
}

TEST(Unfinished, NextRunIsWarned)
{
    TempDir work;
    ASSERT_EQ(importSchool(work.path()).status, 0);
    {
        WorkFolderLock killed(work.path());
        killed.started("import"); // and then the process died
    }
    const CliResult check = runCli({"check-work", "--work", work.string()});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("the last import did not finish"), std::string::npos) << check.out;
    const CliResult r = importSchool(work.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find(ansiToUtf8(kUnfinishedImport)), std::string::npos) << r.err;
    EXPECT_EQ(runCli({"check-work", "--work", work.string()}).status, 0);
}

} // namespace
} // namespace conv::test
