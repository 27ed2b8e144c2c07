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

/// HORARIO.CSV is either the old file, byte for byte, or the new one: never a part, and no
/// temporary file stays behind.
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
        for (const auto& e : fs::directory_iterator(work.path()))
            fs::copy(e.path(), work2 / e.path().filename().string());
        FailingFileSystem counting(UINT64_MAX);
        platform::ScopedFileSystem scope(counting);
        ASSERT_EQ(runCli({"export", "--csv", out2.string(), "--work", work2.string()}).status, 0);
        total = counting.written();
        fresh = readFile(out2 / "HORARIO.CSV");
    }
    const std::uint64_t step = total / 41 + 1;
    for (std::uint64_t budget = 0; budget <= total; budget += step) {
        CliResult r;
        {
            FailingFileSystem failing(budget);
            platform::ScopedFileSystem scope(failing);
            r = runCli({"export", "--csv", out.string(), "--work", work.string()});
        }
        const std::string now = readFile(out / "HORARIO.CSV");
        const std::string when = "cut after " + std::to_string(budget) + " bytes";
        if (r.status == 0) {
            EXPECT_EQ(now, fresh) << when;
            out.write("HORARIO.CSV", old);
        } else {
            EXPECT_EQ(r.status, 2) << when << ": " << r.err;
            EXPECT_EQ(now, old) << when;
            // Unless the very first write (the mark itself) failed, the folder is marked.
            if (budget > 0) {
                EXPECT_EQ(runCli({"check-work", "--work", work.string()}).status, 1) << when;
            }
        }
        int files = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(out.path()))
            ++files;
        EXPECT_EQ(files, 1) << when << ": a temporary file stayed";
    }
    // A rename that fails keeps the old file too.
    FailingFileSystem renames(UINT64_MAX);
    renames.failRenames = true;
    platform::ScopedFileSystem scope(renames);
    EXPECT_EQ(runCli({"export", "--csv", out.string(), "--work", work.string()}).status, 2);
    EXPECT_EQ(readFile(out / "HORARIO.CSV"), old);
}

} // namespace
} // namespace conv::test
