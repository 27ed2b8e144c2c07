#include "support/CliRun.h"
#include "cli/Commands.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

using Result = test::CliResult;
const auto transxade = test::runCli;

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const fs::path kSource = CONV_SOURCE_DIR;
const std::string kSchool = (kSource / "examples" / "school").string();
const std::string kLevels = (kSource / "examples" / "school" / "niveles.csv").string();
const char* const kTables[] = {"CONVOCAXADE", "CURSOST", "CURSOST2", "GRUPOST", "ASIGNOMT",
                               "ASIGNOMT2",   "PROFT",   "AULAT",    "ASIGT"};

/// A copy of the example school to spoil.
struct SchoolCopy
{
    test::TempDir dir;
    SchoolCopy()
    {
        fs::copy(kSchool, dir.path(), fs::copy_options::recursive);
    }
    std::string path() const
    {
        return dir.path().string();
    }
};

TEST(ImportCommand, ExampleSchoolGivesTheExpectedTables)
{
    test::TempDir work;
    const Result r = transxade({"import", "--csv", kSchool, "--call", "2026ORD", "--levels", kLevels, "--work",
                                work.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Proceso finalizado\n");
    EXPECT_EQ(r.out, "CONVOCAXADE 2\nCURSOST 4\nCURSOST2 4\nGRUPOST 10\nASIGNOMT 13\nASIGNOMT2 15\nPROFT 6\n"
                     "AULAT 6\nASIGT 18\n");
    for (const char* table : kTables) {
        const std::string dbf = (work / (std::string(table) + ".DBF")).string();
        const Result dump = transxade({"dump", dbf, "--format", "csv"});
        EXPECT_EQ(dump.status, 0) << table << dump.err;
        EXPECT_EQ(dump.out, readFile(kSource / "tests" / "data" / "example" / (std::string(table) + ".csv"))) << table;
        const Result check = transxade({"check-table", dbf});
        EXPECT_EQ(check.status, 0) << table << check.out << check.err;
    }
}

/// Crafted folders under tests/data/<case>/: input/ (XADE files and niveles.csv) and expected/
/// (a dump of each table to compare).
TEST(ImportCommand, CraftedFoldersGiveTheExpectedTables)
{
    struct Case
    {
        const char* name;
        const char* call;
    };
    // faults: names, codes and counts beyond the widths and the rules' ends (see its input).
    const Case cases[] = {{"faults", "C1"}};
    for (const Case& c : cases) {
        const fs::path dir = kSource / "tests" / "data" / c.name;
        test::TempDir work;
        const Result r = transxade({"import", "--csv", (dir / "input").string(), "--call", c.call, "--levels",
                                    (dir / "input" / "niveles.csv").string(), "--work", work.path().string()});
        ASSERT_EQ(r.status, 0) << c.name << '\n' << r.err;
        int compared = 0;
        for (const auto& entry : fs::directory_iterator(dir / "expected")) {
            const std::string table = entry.path().stem().string();
            const Result dump = transxade({"dump", (work / (table + ".DBF")).string(), "--format", "csv"});
            EXPECT_EQ(dump.out, readFile(entry.path())) << c.name << ' ' << table;
            EXPECT_EQ(transxade({"check-table", (work / (table + ".DBF")).string()}).status, 0) << table;
            ++compared;
        }
        EXPECT_GT(compared, 0) << c.name;
    }
}

TEST(ImportCommand, ReuseAndNoReuse)
{
    test::TempDir work;
    const std::string w = work.path().string();
    ASSERT_EQ(transxade({"import", "--csv", kSchool, "--call", "2026ORD", "--levels", kLevels, "--work", w}).status, 0);

    // The courses come back with the kept codes, in code order, ready to be given back.
    const Result courses = transxade({"courses", "--csv", kSchool, "--call", "2026ORD", "--work", w});
    EXPECT_EQ(courses.status, 0) << courses.err;
    EXPECT_EQ(courses.out, "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\n"
                           "10001,\"1\xC2\xBA ESO\",M,ESO,1\n"
                           "10002,\"2\xC2\xBA ESO\",M,ESO,2\n"
                           "10003,\"1\xC2\xBA Bacharelato\",M,BAC,1\n"
                           "10004,\"1\xC2\xBA ESO Adultos\",T,ES,O1\n");

    // Answers for one course only: the others keep what reuse gave them.
    test::TempDir answers;
    const auto one = answers.write("one.csv", "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\n10003,x,N,BAC,2\n");
    Result r = transxade({"import", "--csv", kSchool, "--call", "2026ORD", "--levels", one.string(), "--work", w});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(transxade({"dump", (work / "GRUPOST.DBF").string(), "--format", "csv"}).out.find("BAC2A,N,BAC,2,A"),
              std::string::npos);

    // Without reuse the kept codes are forgotten: the other courses lack their codes.
    r = transxade({"import", "--csv", kSchool, "--call", "2026ORD", "--levels", one.string(), "--work", w,
                   "--no-reuse"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "!!!!!!! ATENCI\xC3\x93N !!!!!!!  Existe alg\xC3\xBAn NIVEL o CURSO, sin contenido. Debe completar "
                     "todos los datos en la columna NIVEL y CURSO.\n");
    EXPECT_FALSE(fs::exists(work / "CURSOST2.DBF"));
}

TEST(ImportCommand, ExitStatusesAndMessages)
{
    test::TempDir work;
    const std::string w = work.path().string();
    struct Case
    {
        const char* name;
        const char* remove;                 // a file removed from the copy, or null
        const char* replace;                // a file given new contents, or null
        const char* contents;
        std::vector<std::string> extra;     // arguments instead of the usual ones, when not empty
        int status;
        const char* errStart;
    };
    const std::vector<Case> cases = {
        {"rooms missing", "aulasCentro.csv", nullptr, nullptr, {}, 1,
         "No existe archivo de Aulas (aulasCentro.CSV)\nProceso finalizado\n"},
        {"teachers missing", "profesoresGrupoCentro.csv", nullptr, nullptr, {}, 1,
         "No existe archivo de profesores (profesoresGrupoCentro.csv)\nProceso finalizado\n"},
        {"subgroups missing keep the status", "subgruposCentro.csv", nullptr, nullptr, {}, 0,
         "No existe archivo de Sub-Grupos (subgruposCentro.CSV)\nProceso finalizado\n"},
        {"calls missing", "convocatoriasCentro.csv", nullptr, nullptr, {}, 1,
         "No existe archivo de Convocatorias(convocatoriasCentro.CSV)\n"},
        {"groups missing", "gruposCentro.csv", nullptr, nullptr, {}, 1,
         "No existe archivo de Grupos(gruposCentro.CSV)\nNo existe archivo de Grupos (gruposCentro.CSV)\n"
         "Proceso finalizado\n"},
        {"short line", nullptr, "aulasCentro.csv", "COD,NOME\nA1\n", {}, 2,
         "DIR/aulasCentro.csv:2: List index out of bounds (1)\n"},
        {"unknown call", nullptr, nullptr, nullptr, {"--call", "NADA"}, 64, "transxade: no call 'NADA'"},
        {"missing levels file", nullptr, nullptr, nullptr, {"--levels", "/nonexistent/n.csv"}, 64,
         "/nonexistent/n.csv: "},
    };
    for (const Case& c : cases) {
        // Each case on a fresh work folder: an import an error ended leaves it marked unfinished,
        // and the next one would say so first.
        test::TempDir caseWork;
        const std::string w = caseWork.path().string();
        SchoolCopy school;
        if (c.remove)
            fs::remove(school.dir / c.remove);
        if (c.replace)
            school.dir.write(c.replace, c.contents);
        std::vector<std::string> args = {"import", "--csv", school.path(), "--work", w, "--no-reuse"};
        std::string call = "2026ORD", levels = kLevels;
        for (std::size_t i = 0; i + 1 < c.extra.size(); i += 2)
            (c.extra[i] == "--call" ? call : levels) = c.extra[i + 1];
        args.insert(args.end(), {"--call", call, "--levels", levels});
        const Result r = transxade(args);
        EXPECT_EQ(r.status, c.status) << c.name << '\n' << r.err;
        std::string errStart = c.errStart;
        if (errStart.starts_with("DIR/"))
            errStart.replace(0, 4, (std::filesystem::path(school.path()) / "").string()); // the file an error names
        EXPECT_EQ(r.err.substr(0, errStart.size()), errStart) << c.name;
    }
    const Result noFolder = transxade({"import", "--csv", (work / "nada").string(), "--call", "2026ORD", "--levels",
                                       kLevels, "--work", w});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_EQ(noFolder.err, "No existe la carpeta\n");
    EXPECT_EQ(transxade({"import", "--csv", kSchool, "--levels", kLevels}).status, 64);
    const Result noWork = transxade({"import", "--csv", kSchool, "--call", "2026ORD", "--levels", kLevels, "--work",
                                     (work / "nada").string()});
    EXPECT_EQ(noWork.status, 2);
}

TEST(ImportCommand, CallsAndCheck)
{
    test::TempDir work;
    const Result calls = transxade({"calls", "--csv", kSchool, "--work", work.path().string()});
    EXPECT_EQ(calls.status, 0) << calls.err;
    EXPECT_EQ(calls.out, "CONVOCATORIA,DESCRIPCION\n2026ORD,\"Convocatoria ordinaria 2026-2027\"\n"
                         "2026EXT,\"Convocatoria extraordinaria 2026-2027\"\n");

    // Cut codes are warnings.
    const Result clean = transxade({"check", "--csv", kSchool, "--call", "2026ORD"});
    EXPECT_EQ(clean.status, 1) << clean.out;
    EXPECT_EQ(clean.out, "aulasCentro.csv:5: cut: the room code 'LABORATORIO1' has 12 characters and is stored cut to "
                         "10\naulasCentro.csv:6: cut: the room code 'LABORATORIO2' has 12 characters and is stored cut "
                         "to 10\n0 lines end the run, 0 files are missing, 2 codes are cut, 0 warnings\n");
    // Without the call, a line of another call is judged as if it were imported.
    const Result any = transxade({"check", "--csv", kSchool});
    EXPECT_EQ(any.status, 2);
    EXPECT_NE(any.out.find("gruposCentro.csv:6: ends the run: has 1 field"), std::string::npos) << any.out;

    SchoolCopy school;
    fs::remove(school.dir / "aulasCentro.csv");
    const Result missing = transxade({"check", "--csv", school.path(), "--call", "2026ORD"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("aulasCentro.csv: missing: No existe archivo de Aulas (aulasCentro.CSV)"),
              std::string::npos)
        << missing.out;
}

} // namespace
} // namespace conv
