#include "faults/FaultSupport.h"
#include "support/TempDir.h"

#include "common/IoErrors.h"
#include "export/Rules.h"
#include "platform/File.h"
#include "run/RunFile.h"
#include "standin/StandIn.h"
#include "text/Ansi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

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

TEST(Temporaries, ExportRemovesOnlyWhatKilledWritersLeft)
{
    TempDir work, out;
    ASSERT_EQ(importSchool(work.path()).status, 0);
    standin::makeTimetable(work.path(), standin::Options{});
    const std::string gone = exporter::temporaryName("HORARIO.CSV", 4194305).string(); // beyond any pid
    std::uint32_t running = 1; // another process that runs: init, or the first such on Windows
    while (running == platform::processId() || !platform::processRunning(running))
        running += running == 1 ? 3 : 4;
    const std::string alive = exporter::temporaryName("HORARIO.CSV", running).string();
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
