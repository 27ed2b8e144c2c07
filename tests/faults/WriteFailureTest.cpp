#include "faults/FaultSupport.h"
#include "support/FailingFileSystem.h"
#include "support/TempDir.h"

#include "run/RunFile.h"
#include "standin/StandIn.h"
#include "tables/Table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace conv::test
{
namespace
{

namespace fs = std::filesystem;

/// Every table of the folder still opens: a table cut short by a failure keeps the header of its
/// last complete state (what follows it is what check-work lists, beside the unfinished mark).
void expectTablesOpen(const fs::path& work, const std::string& when)
{
    for (const auto& entry : fs::directory_iterator(work)) {
        if (entry.path().extension() != ".DBF")
            continue;
        Table t(work, entry.path().filename().string());
        t.setReadOnly(true);
        EXPECT_NO_THROW(t.open()) << when << ": " << entry.path().filename();
    }
}

/// The same import, with the disk full after every few thousand bytes written: every failure
/// is reported, leaves sound tables and an unfinished mark that check-work finds, and a new import
/// then finishes and matches the one that never failed.
TEST(WriteFailure, ImportCutAtAnyPointIsReportedAndMarkedUnfinished)
{
    TempDir whole;
    ASSERT_EQ(importSchool(whole.path()).status, 0);
    std::uint64_t total = 0;
    {
        FailingFileSystem counting(UINT64_MAX);
        platform::ScopedFileSystem scope(counting);
        TempDir work;
        ASSERT_EQ(importSchool(work.path()).status, 0);
        total = counting.written();
    }
    ASSERT_GT(total, 1000u);
    const std::uint64_t step = total / 37 + 1;
    for (std::uint64_t budget = 0; budget < total; budget += step) {
        TempDir work;
        CliResult r;
        {
            FailingFileSystem failing(budget);
            platform::ScopedFileSystem scope(failing);
            r = importSchool(work.path());
            ASSERT_TRUE(failing.failed()) << budget;
        }
        const std::string when = "cut after " + std::to_string(budget) + " bytes";
        EXPECT_EQ(r.status, 2) << when << "\n" << r.err;
        EXPECT_NE(r.err.find("disk"), std::string::npos) << when << "\n" << r.err;
        expectTablesOpen(work.path(), when);
        const CliResult check = runCli({"check-work", "--work", work.string()});
        // Cut before the first table the timetable program takes over (the call table is the
        // converter's own), the folder holds nothing of the import yet; otherwise it is marked.
        if (fs::exists(work / "CURSOST.DBF")) {
            EXPECT_EQ(check.status, 1) << when << "\n" << check.out;
            EXPECT_NE(check.out.find("did not finish"), std::string::npos) << when << "\n" << check.out;
        }

        const CliResult again = importSchool(work.path());
        EXPECT_EQ(again.status, 0) << when << "\n" << again.err;
        for (const char* table : {"GRUPOST", "ASIGT", "PROFT", "AULAT", "ASIGNOMT2"})
            EXPECT_EQ(runCli({"dump", (work / (std::string(table) + ".DBF")).string()}).out,
                      runCli({"dump", (whole / (std::string(table) + ".DBF")).string()}).out)
                << when << ": " << table;
        EXPECT_EQ(runCli({"check-work", "--work", work.string()}).status, 0) << when;
    }
}

/// A copy of the work folder `from` in a fresh folder, for one export to start from.
void copyFolder(const fs::path& from, const TempDir& to)
{
    for (const auto& e : fs::directory_iterator(from))
        fs::copy(e.path(), to / e.path().filename().string());
}

/// HORARIO.CSV is either the old file, byte for byte, or the new one: never a part, and no
/// temporary file stays behind. Every export starts from the same work folder, so that each one
/// writes what the first wrote and a budget short of it must fail.
TEST(WriteFailure, HorarioIsOldOrNewNeverHalf)
{
    TempDir work;
    TempDir out;
    ASSERT_EQ(importSchool(work.path()).status, 0);
    standin::Options options;
    standin::makeTimetable(work.path(), options);
    const std::string old = "\"old\"\r\n";
    out.write("HORARIO.CSV", old);

    std::uint64_t total = 0;
    std::string fresh;
    {
        TempDir work2, out2;
        copyFolder(work.path(), work2);
        FailingFileSystem counting(UINT64_MAX);
        platform::ScopedFileSystem scope(counting);
        ASSERT_EQ(runCli({"export", "--csv", out2.string(), "--work", work2.string()}).status, 0);
        total = counting.written();
        fresh = readFile(out2 / "HORARIO.CSV");
        // HORARIO.CSV went out whole through the seam, beside the work tables.
        ASSERT_NE(fresh.find("\r\n"), std::string::npos);
        ASSERT_EQ(counting.writtenIn(out2.path()), fresh.size());
        ASSERT_GT(counting.writtenIn(work2.path()), 0u);
    }

    const auto filesIn = [](const TempDir& dir) {
        int files = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
            ++files;
        return files;
    };
    const std::uint64_t step = total / 41 + 1;
    for (std::uint64_t budget = 0; budget < total; budget += step) {
        const std::string when = "cut after " + std::to_string(budget) + " of " + std::to_string(total) + " bytes";
        TempDir cut;
        copyFolder(work.path(), cut);
        CliResult r;
        {
            FailingFileSystem failing(budget);
            platform::ScopedFileSystem scope(failing);
            r = runCli({"export", "--csv", out.string(), "--work", cut.string()});
            EXPECT_TRUE(failing.failed()) << when;
        }
        EXPECT_EQ(r.status, 2) << when << ": " << r.err;
        // The engine's text for a table, the system's for HORARIO.CSV's temporary file.
        EXPECT_TRUE(r.err.find("disk") != std::string::npos || r.err.find("Disk full.") != std::string::npos)
            << when << ": " << r.err;
        EXPECT_EQ(readFile(out / "HORARIO.CSV"), old) << when;
        // Unless the very first write (the mark itself) failed, the folder is marked.
        if (budget > 0) {
            EXPECT_EQ(runCli({"check-work", "--work", cut.string()}).status, 1) << when;
        }
        EXPECT_EQ(filesIn(out), 1) << when << ": a temporary file stayed";
    }
    {
        // The whole budget is enough: the new file, and nothing beside it.
        TempDir whole;
        copyFolder(work.path(), whole);
        FailingFileSystem enough(total);
        platform::ScopedFileSystem scope(enough);
        EXPECT_EQ(runCli({"export", "--csv", out.string(), "--work", whole.string()}).status, 0);
        EXPECT_FALSE(enough.failed());
        EXPECT_EQ(readFile(out / "HORARIO.CSV"), fresh);
        EXPECT_EQ(filesIn(out), 1);
        out.write("HORARIO.CSV", old);
    }
    // A rename that fails keeps the old file too.
    FailingFileSystem renames(UINT64_MAX);
    renames.failRenames = true;
    platform::ScopedFileSystem scope(renames);
    EXPECT_EQ(runCli({"export", "--csv", out.string(), "--work", work.string()}).status, 2);
    EXPECT_TRUE(renames.failed());
    EXPECT_EQ(readFile(out / "HORARIO.CSV"), old);
}

} // namespace
} // namespace conv::test
