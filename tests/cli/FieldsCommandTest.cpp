#include "support/CliRun.h"
#include "cli/Commands.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace conv
{
namespace
{

using Result = test::CliResult;
using test::runCli;

TEST(FieldsCommand, PrintsEachDataLineAsJson)
{
    test::TempDir dir;
    const auto p = dir.write("aulasCentro.csv", "\xEF\xBB\xBF" "COD,NOME\r\n"
                                                "A1 ,\"Aula 1\"\r\n"
                                                "\"Sal\xC3\xB3n \"\"de actos\"\"\",2\r\n"
                                                "Lab f\xC3\xADsica,3,\r\n"
                                                "\r\n"
                                                "\xE2\x80\x9Cq\xE2\x80\x9D\t\x01,\r\n");
    const Result r = runCli({"fields", p.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[\"A1\",\"Aula 1\"]\n"
                     "[\"Sal\xC3\xB3n \\\"de actos\\\"\",\"2\"]\n"
                     "[\"Lab\",\"f\xC3\xADsica\",\"3\",\"\"]\n"
                     "[]\n"
                     "[\"\xE2\x80\x9Cq\xE2\x80\x9D\",\"\"]\n");
    EXPECT_EQ(r.err, "");
}

TEST(FieldsCommand, AllIncludesTheHeaderWithItsBom)
{
    test::TempDir dir;
    const auto p = dir.write("c.csv", "\xEF\xBB\xBF" "A,B\nx\n");
    const Result r = runCli({"fields", "--all", p.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[\"?A\",\"B\"]\n[\"x\"]\n");
}

TEST(FieldsCommand, InvalidLineIsShownEmptyAndReported)
{
    test::TempDir dir;
    const auto p = dir.write("c.csv", "h\nP\xE9rez,1\nok\n");
    const Result r = runCli({"fields", p.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[]\n[\"ok\"]\n");
    EXPECT_NE(r.err.find(":2: not valid UTF-8"), std::string::npos) << r.err;
}

TEST(FieldsCommand, FileFoundWithoutRegardToCase)
{
    test::TempDir dir;
    dir.write("GRUPOSCENTRO.CSV", "h\na\n");
    const Result r = runCli({"fields", (dir / "gruposCentro.csv").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[\"a\"]\n");
}

TEST(FieldsCommand, ErrorsAndUsage)
{
    test::TempDir dir;
    struct Case
    {
        std::vector<std::string> args;
        int status;
        std::string errContains;
    } cases[] = {
        {{"fields", (dir / "missing.csv").string()}, 2, "missing.csv: File not found\n"},
        {{"fields", (dir / "nofolder" / "x.csv").string()}, 2, "x.csv: Invalid filename\n"},
        {{"fields"}, 64, "FILE is required"},
        {{}, 64, "A subcommand is required"},
        {{"frobnicate"}, 64, "Unknown command: frobnicate"},
    };
    for (const Case& c : cases) {
        const Result r = runCli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(FieldsCommand, HelpAndVersion)
{
    const Result help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("fields"), std::string::npos);
    const Result version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("transxade "), std::string::npos);
}

} // namespace
} // namespace conv
