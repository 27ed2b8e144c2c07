#include "support/CliRun.h"
#include "cli/Commands.h"
#include "support/TempDir.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace conv
{
namespace
{

using Result = test::CliResult;
using test::runCli;

void makeCursos(const test::TempDir& dir)
{
    rebuildTable(dir.path(), layouts::CURSOST);
    Table t(dir.path(), "CURSOST.DBF");
    t.open();
    const char* rows[][2] = {{"B1", "Bacharelato, 1\xBA"}, {"A2", "ESO \"2\""}, {"A1", ""}};
    for (const auto& r : rows) {
        t.append();
        t.fieldByName("CODCURSO").setString(r[0]);
        t.fieldByName("NOMECURSO").setString(r[1]);
        t.post();
    }
}

TEST(DumpCommand, CsvInRecordOrderAndJsonInIndexOrder)
{
    test::TempDir dir;
    makeCursos(dir);
    Result r = runCli({"dump", (dir / "CURSOST.DBF").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "ABREV,TURNO,NIVEL,CURSO,NOMECURSO,CODCURSO\n"
                     ",,,,\"Bacharelato, 1\xC2\xBA\",B1\n"
                     ",,,,\"ESO \"\"2\"\"\",A2\n"
                     ",,,,,A1\n");
    r = runCli({"dump", (dir / "cursost.dbf").string(), "--format", "json", "--index", "CODCURSO"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[\n"
                     "{\"ABREV\":null,\"TURNO\":null,\"NIVEL\":null,\"CURSO\":null,\"NOMECURSO\":null,\"CODCURSO\":\"A1\"},\n"
                     "{\"ABREV\":null,\"TURNO\":null,\"NIVEL\":null,\"CURSO\":null,\"NOMECURSO\":\"ESO \\\"2\\\"\",\"CODCURSO\":\"A2\"},\n"
                     "{\"ABREV\":null,\"TURNO\":null,\"NIVEL\":null,\"CURSO\":null,\"NOMECURSO\":\"Bacharelato, 1\xC2\xBA\",\"CODCURSO\":\"B1\"}\n"
                     "]\n");
}

TEST(DumpCommand, ErrorsAndUsage)
{
    test::TempDir dir;
    makeCursos(dir);
    Result r = runCli({"dump", (dir / "NONE.DBF").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (dir / "NONE.DBF").string() + ": Table does not exist.\n");
    r = runCli({"dump", (dir / "CURSOST.DBF").string(), "--index", "ABREV"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, (dir / "CURSOST.MDX").string() + ": Index does not exist.\n");
    EXPECT_EQ(runCli({"dump", (dir / "CURSOST.DBF").string(), "--format", "xml"}).status, 64);
    EXPECT_EQ(runCli({"dump"}).status, 64);
}

TEST(CheckTableCommand, SoundTableAndSpoiledIndex)
{
    test::TempDir dir;
    makeCursos(dir);
    Result r = runCli({"check-table", (dir / "CURSOST.DBF").string()});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "CURSOST.DBF: 3 records (0 deleted), 1 index tags: OK\n");

    std::string mdx;
    {
        std::ifstream in(dir / "CURSOST.MDX", std::ios::binary);
        mdx.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::size_t root = static_cast<unsigned char>(mdx[4 * 512]) * 512; // the root (a leaf) named by the tag header
    mdx[root + 8 + 16 + 4] = 'Z'; // the second key no longer matches its record, and is out of order
    dir.write("CURSOST.MDX", mdx);
    r = runCli({"check-table", (dir / "CURSOST.DBF").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "CURSOST.DBF: tag CODCURSO: keys out of order at entry 3 (record 1)\n"
                     "CURSOST.DBF: 3 records (0 deleted), 1 index tags: 1 problems\n");
    r = runCli({"check-table", (dir / "NONE.DBF").string()});
    EXPECT_EQ(r.status, 2);
}

} // namespace
} // namespace conv
