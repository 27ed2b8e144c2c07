#include "shell/ProfileFile.h"
#include "support/FailingFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace conv
{
namespace
{

struct IniCase
{
    const char* name;
    std::string before;
    std::string after;
};

TEST(ProfileFile, WritesOneKeyKeepingEverythingElse)
{
    const IniCase cases[] = {
        {"new file", "", "[Transformadores]\r\nTransformado=1\r\n"},
        {"key replaced", "[Transformadores]\r\nTransformado=0\r\n", "[Transformadores]\r\nTransformado=1\r\n"},
        {"names match without case and blanks", "[ transformadores ]\r\n  TRANSFORMADO = 0\r\nx=1\r\n",
         "[ transformadores ]\r\nTransformado=1\r\nx=1\r\n"},
        {"other sections and keys kept byte for byte",
         "; comment\r\n[Otro]\r\nTransformado=7\r\n\r\n[Transformadores]\r\nA = b \r\nTransformado=-1\r\n[Z]\r\nk=v",
         "; comment\r\n[Otro]\r\nTransformado=7\r\n\r\n[Transformadores]\r\nA = b \r\nTransformado=1\r\n[Z]\r\nk=v"},
        {"key added after the section's last entry", "[Transformadores]\r\nA=1\r\n\r\n[Z]\r\nk=v\r\n",
         "[Transformadores]\r\nA=1\r\nTransformado=1\r\n\r\n[Z]\r\nk=v\r\n"},
        {"section added at the end", "[Z]\r\nk=v\r\n", "[Z]\r\nk=v\r\n[Transformadores]\r\nTransformado=1\r\n"},
        {"section added after a last line without line end", "[Z]\r\nk=v",
         "[Z]\r\nk=v\r\n[Transformadores]\r\nTransformado=1\r\n"},
        {"line feed files keep line feeds", "[Z]\nk=v\n", "[Z]\nk=v\n[Transformadores]\nTransformado=1\n"},
        {"key on a last line without line end", "[Transformadores]\r\nTransformado=0",
         "[Transformadores]\r\nTransformado=1\r\n"},
        {"empty section header only", "[Transformadores]", "[Transformadores]\r\nTransformado=1\r\n"},
        {"same key in another section untouched", "[A]\nTransformado=5\n[Transformadores]\n",
         "[A]\nTransformado=5\n[Transformadores]\nTransformado=1\n"},
    };
    for (const IniCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(withProfileString(c.before, "Transformadores", "Transformado", "1"), c.after);
    }
}

std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ProfileFile, FileOnDisk)
{
    test::TempDir dir;
    const auto ini = dir / "Vestrano.ini";
    writeProfileString(ini, "Transformadores", "Transformado", "-1");
    EXPECT_EQ(readFile(ini), "[Transformadores]\r\nTransformado=-1\r\n");
    writeProfileString(ini, "Transformadores", "Transformado", "0");
    EXPECT_EQ(readFile(ini), "[Transformadores]\r\nTransformado=0\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";
}

/// An existing file is changed where it is, so that the rights given to the file itself stay:
/// a folder that takes no new file still lets it be written, and a failure at any byte of the
/// write, for want of room or one write that fails, leaves the old contents byte for byte.
TEST(ProfileFile, ExistingFileChangedInPlaceOldOrNewAtAnyFailure)
{
    struct Case
    {
        const char* name;
        std::string before;
        const char* value;
    };
    const Case cases[] = {
        {"grows", "[General]\r\nRuta=C:\\V\r\n[Transformadores]\r\nTransformado=1\r\n[Z]\r\nk=v\r\n", "-1"},
        {"shrinks", "[Transformadores]\r\nTransformado=-1\r\n[Z]\r\nk=v\r\n", "0"},
        {"section added", "; Vestrano\n[Z]\nk=v\n", "1"},
        {"empty file", "", "0"},
    };
    enum Fault { NoRoom, OneWriteFails, FolderTakesNoFile };
    test::TempDir dir;
    const auto ini = dir / "Vestrano.ini";
    const auto link = dir / "link.ini";
    for (const Case& c : cases) {
        const std::string after = withProfileString(c.before, "Transformadores", "Transformado", c.value);
        for (const Fault fault : {NoRoom, OneWriteFails, FolderTakesNoFile}) {
            int failures = 0;
            for (std::uint64_t budget = 0; budget <= after.size(); ++budget) {
                SCOPED_TRACE(std::string(c.name) + ", fault " + std::to_string(fault) + ", cut after " +
                             std::to_string(budget) + " bytes");
                dir.write("Vestrano.ini", c.before);
                std::filesystem::remove(link);
                std::filesystem::create_hard_link(ini, link); // the same file under a second name
                bool written = true;
                {
                    test::FailingFileSystem failing(fault == FolderTakesNoFile ? UINT64_MAX : budget);
                    failing.onlyGrowthCounts = fault == NoRoom;
                    failing.failOnce = fault == OneWriteFails;
                    failing.refuseNewFiles = true;
                    platform::ScopedFileSystem scope(failing);
                    try {
                        writeProfileString(ini, "Transformadores", "Transformado", c.value);
                    } catch (const Error& e) {
                        EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini.string());
                        written = false;
                        ++failures;
                    }
                }
                EXPECT_EQ(readFile(ini), written ? after : c.before);
                EXPECT_EQ(readFile(link), readFile(ini)) << "the file was replaced by another";
            }
            const bool mustFail = fault == OneWriteFails || (fault == NoRoom && after.size() > c.before.size());
            EXPECT_EQ(failures > 0, mustFail) << c.name << ": cuts that fail nothing prove nothing";
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "no temporary file left";
}

TEST(ProfileFile, UnwritablePlaceGivesTheMessage)
{
    test::TempDir dir;
    const auto ini = dir / "missing-folder" / "Vestrano.ini";
    EXPECT_ERROR_TEXT(writeProfileString(ini, "Transformadores", "Transformado", "1"),
                      "Unable to write to " + ini.string());
    std::filesystem::create_directory(dir / "Vestrano.ini"); // a folder in the file's place
    EXPECT_ERROR_TEXT(writeProfileString(dir / "Vestrano.ini", "Transformadores", "Transformado", "1"),
                      "Unable to write to " + (dir / "Vestrano.ini").string());
    // A missing file in a folder that takes no new file.
    test::FailingFileSystem noNewFiles(UINT64_MAX);
    noNewFiles.refuseNewFiles = true;
    platform::ScopedFileSystem scope(noNewFiles);
    EXPECT_ERROR_TEXT(writeProfileString(dir / "new.ini", "Transformadores", "Transformado", "1"),
                      "Unable to write to " + (dir / "new.ini").string());
    EXPECT_FALSE(std::filesystem::exists(dir / "new.ini"));
}

} // namespace
} // namespace conv
