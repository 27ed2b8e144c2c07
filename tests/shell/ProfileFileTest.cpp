#include "shell/ProfileFile.h"
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

TEST(ProfileFile, UnwritablePlaceGivesTheMessage)
{
    test::TempDir dir;
    const auto ini = dir / "missing-folder" / "Vestrano.ini";
    EXPECT_ERROR_TEXT(writeProfileString(ini, "Transformadores", "Transformado", "1"),
                      "Unable to write to " + ini.string());
    std::filesystem::create_directory(dir / "Vestrano.ini"); // a folder in the file's place
    EXPECT_ERROR_TEXT(writeProfileString(dir / "Vestrano.ini", "Transformadores", "Transformado", "1"),
                      "Unable to write to " + (dir / "Vestrano.ini").string());
}

} // namespace
} // namespace conv
