#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

const fs::path kSchool = fs::path(CONV_SOURCE_DIR) / "examples" / "school";

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

/// One way of spoiling the example school: lines added to its files, or a file replaced.
struct Case
{
    const char* name;
    std::vector<std::pair<const char*, std::string>> append;  // file, lines added at its end
    std::vector<std::pair<const char*, std::string>> replace; // file, its new contents
    int checkStatus;
    std::string checkSays; // a line of check's report ("" when only its status matters)
    std::string importSays; // the start of a line the import writes to stderr ("" when none)
    std::string tableHolds; // TABLE: a line of its CSV dump that must be there ("" when none)
};

std::string inFolder(const fs::path& dir, const std::string& text)
{
    std::string out = text;
    for (std::size_t at = 0; (at = out.find("DIR/", at)) != std::string::npos;)
        out.replace(at, 4, (dir / "").string()); // the folder with the platform's separator
    return out;
}

// What check predicts is what the import does, on the same folder: a line that check says ends
// the run ends the import (exit 2); a warning or a cut code leaves the import running to its end.
TEST(CheckAgainstImport, WhatCheckPredictsIsWhatTheImportDoes)
{
    const std::string code15 = "123456789012345", code16 = "1234567890123456";
    const std::string name50(50, 'N');
    const std::vector<Case> cases = {
        {"the example school", {}, {}, 1, "0 lines end the run, 0 files are missing, 2 codes are cut, 0 warnings", "",
         ""},
        {"a course code of 15 characters keeps its subjects",
         {{"gruposCentro.csv", "2026ORD," + code15 + ",G5001,A,Longo,5A\n"},
          {"materiasHorarioOfertaCentro.csv", "M900," + code15 + ",0,LONGA,Longa,LO\n"},
          {"niveles.csv", "1234567890,Longo,M,ESO,5\n"}},
         {},
         1,
         "gruposCentro.csv:11: cut: the course code '" + code15 +
             "' has 15 characters and is stored cut to 10 on the level screen (CURSOST)",
         "",
         "ASIGT: LONGA,"},
        {"a course code of 16 characters is refused",
         {{"gruposCentro.csv", "2026ORD," + code16 + ",G5001,A,Longo,5A\n"},
          {"niveles.csv", "1234567890,Longo,M,ESO,5\n"}},
         {},
         2,
         "gruposCentro.csv:11: ends the run: The course code '" + code16 +
             "' has 16 characters; GRUPOST keeps 15, and the course's groups would get none of their subjects.",
         "DIR/gruposCentro.csv:11: The course code '" + code16 + "' has 16 characters",
         ""},
        {"two course codes that agree in their first 10 characters are refused",
         {{"gruposCentro.csv", "2026ORD,12345678901,G5001,A,Uno,5A\n2026ORD,12345678902,G5002,A,Dous,5B\n"},
          {"niveles.csv", "1234567890,Uno,M,ESO,5\n"}},
         {},
         2,
         "gruposCentro.csv:12: ends the run: The course codes '12345678901' (line 11) and '12345678902' agree in "
         "their first 10 characters, all that CURSOST keeps; the second course and its groups would be lost.",
         "DIR/gruposCentro.csv:12: The course codes",
         ""},
        {"two course names that agree in their first 50 characters are refused",
         {{"gruposCentro.csv", "2026ORD,K1,G5001,A," + name50 + "a,5A\n2026ORD,K2,G5002,A," + name50 + "b,5B\n"},
          {"niveles.csv", "K1,x,M,ESO,5\nK2,x,M,BAC,6\n"}},
         {},
         2,
         "gruposCentro.csv:12: ends the run: The names of the courses 'K1' (line 11) and 'K2' agree in their first "
         "50 characters, all that CURSOST keeps; the groups of the second would take the first's levels.",
         "DIR/gruposCentro.csv:12: The names of the courses",
         ""},
        {"a course name of 51 characters alone keeps its levels",
         {{"gruposCentro.csv", "2026ORD,K1,G5001,A," + name50 + "a,5A\n"}, {"niveles.csv", "K1,x,M,BAC,6\n"}},
         {},
         1,
         "",
         "",
         "GRUPOST: BAC6A,M,BAC,6,A,"},
        {"a five-field group line whose course is not on the level screen is left out",
         {{"gruposCentro.csv", "2026ORD,10001,G1009,Z,\"Outro nome\"\n"}},
         {},
         1,
         "gruposCentro.csv:11: warning: the course named 'Outro nome' is not on the level screen (its code '10001' "
         "is listed under another name): the group is left out",
         "",
         ""},
        {"a five-field group line whose course is on the level screen ends the run",
         {{"gruposCentro.csv", "2026ORD,10001,G1009,Z,\"1\xC2\xBA ESO\"\n"}},
         {},
         2,
         "gruposCentro.csv:11: ends the run: has 5 fields; the import reads position 5: List index out of bounds (5)",
         "DIR/gruposCentro.csv:11: List index out of bounds (5)",
         ""},
        {"an activity header whose first field is a code given keeps the first activity",
         {},
         {{"actividadesProfesor.csv", "MAT1,DESCRICION,NOME\nAC01,GARDA,Garda\nAC02,REUNION,Reunion\n"}},
         1,
         "",
         "",
         "ASIGNOMT: AC01,GARDA,Garda,True,AC01,GARDA"},
        {"a file whose lines end in a carriage return only",
         {},
         {{"aulasCentro.csv", "CODAULA,NOME\rAULA1,Aula\rAULA2,Aula\r"}},
         1,
         "aulasCentro.csv:1: warning: the header line holds a carriage return without a line feed: the lines it "
         "ends are read as part of the header, and nothing of them is imported",
         "",
         ""},
        {"a byte-order mark at the start of a data line",
         {{"aulasCentro.csv", "\xEF\xBB\xBFSALON,Salon\n"}},
         {},
         1,
         "aulasCentro.csv:9: warning: starts with a byte-order mark, which is read as a '?' at the start of its "
         "first field",
         "",
         "AULAT: ?SALON,"},
        {"a zero character that leaves the fields read",
         {{"aulasCentro.csv", std::string("SALON,Sal\0on grande\n", 20)}},
         {},
         1,
         "aulasCentro.csv:9: warning: holds a zero character after 9 characters: the rest of the line is not read",
         "",
         "AULAT: SALON,"},
        {"a zero character that cuts a needed field",
         {{"aulasCentro.csv", std::string("SAL\0ON,Salon\n", 13)}},
         {},
         2,
         "aulasCentro.csv:9: ends the run: has 1 field; the import reads position 1: List index out of bounds (1)",
         "DIR/aulasCentro.csv:9: List index out of bounds (1)",
         ""},
        {"a line that is not UTF-8",
         {{"aulasCentro.csv", "SALON,Sal\xF3n\n"}},
         {},
         2,
         "aulasCentro.csv:9: ends the run: is not valid UTF-8 (or holds a character beyond FFFF hex) and reads as "
         "empty; the import reads position 0: List index out of bounds (0)",
         "DIR/aulasCentro.csv:9: List index out of bounds (0)",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir school, work;
        fs::copy(kSchool, school.path(), fs::copy_options::recursive);
        for (const auto& [file, text] : c.append)
            school.write(file, readFile(school / file) + text);
        for (const auto& [file, text] : c.replace)
            school.write(file, text);

        const test::CliResult check = test::runCli({"check", "--csv", school.path().string(), "--call", "2026ORD"});
        EXPECT_EQ(check.status, c.checkStatus) << check.out;
        if (!c.checkSays.empty()) {
            EXPECT_NE(check.out.find(c.checkSays + "\n"), std::string::npos) << check.out;
        }

        const test::CliResult import = test::runCli(
            {"import", "--csv", school.path().string(), "--call", "2026ORD", "--levels",
             (school / "niveles.csv").string(), "--work", work.path().string(), "--no-reuse"});
        EXPECT_EQ(import.status, c.checkStatus == 2 ? 2 : 0) << import.err;
        if (!c.importSays.empty()) {
            EXPECT_NE(import.err.find(inFolder(school.path(), c.importSays)), std::string::npos) << import.err;
        }
        if (!c.tableHolds.empty()) {
            const std::size_t colon = c.tableHolds.find(": ");
            const std::string table = c.tableHolds.substr(0, colon);
            const test::CliResult dump = test::runCli({"dump", (work / (table + ".DBF")).string()});
            EXPECT_NE(dump.out.find("\n" + c.tableHolds.substr(colon + 2)), std::string::npos) << dump.out;
        }
    }
}

/// The fields of one CSV line, as a spreadsheet reads them.
std::vector<std::string> csvFields(const std::string& line)
{
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            out.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// The review's list, as check --format csv writes it: the lines that end the run first, then the
// rest, each part by file in reading order and by line; each row with the line as it is read.
TEST(CheckAgainstImport, CsvListsTheLinesThatEndTheRunFirst)
{
    test::TempDir school;
    fs::copy(kSchool, school.path(), fs::copy_options::recursive);
    const std::string teachers = readFile(school / "profesoresGrupoCentro.csv");
    const long teacherLine = static_cast<long>(std::count(teachers.begin(), teachers.end(), '\n')) + 1;
    school.write("profesoresGrupoCentro.csv", teachers + "E0099,G1001\n");
    school.write("aulasCentro.csv", readFile(school / "aulasCentro.csv") + "SALON,Sal\xF3n\n\xEF\xBB\xBFPATIO,Patio\n");

    const test::CliResult r =
        test::runCli({"check", "--csv", school.path().string(), "--call", "2026ORD", "--format", "csv"});
    EXPECT_EQ(r.status, 2);
    ASSERT_EQ(r.out.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::vector<std::string>> rows;
    for (std::size_t at = 3, end; (end = r.out.find("\r\n", at)) != std::string::npos; at = end + 2)
        rows.push_back(csvFields(r.out.substr(at, end - at)));
    const std::vector<std::vector<std::string>> expected = {
        {"fichero", "l\xC3\xADnea", "gravedad", "problema", "texto"},
        {"profesoresGrupoCentro.csv", std::to_string(teacherLine), "detiene", "", "E0099,G1001"},
        {"aulasCentro.csv", "9", "detiene", "", "SALON,Sal\xC3\xB3n"},
        {"aulasCentro.csv", "5", "recorta", "", "LABORATORIO1,\"Laboratorio de F\xC3\xADsica\""},
        {"aulasCentro.csv", "6", "recorta", "", "LABORATORIO2,\"Laboratorio de Qu\xC3\xADmica\""},
        {"aulasCentro.csv", "10", "pierde", "", "?PATIO,Patio"},
    };
    ASSERT_EQ(rows.size(), expected.size()) << r.out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 5u) << r.out;
        std::vector<std::string> row = rows[i];
        if (i > 0) {
            EXPECT_FALSE(row[3].empty()) << r.out; // every row says what is wrong
            row[3].clear();
        }
        EXPECT_EQ(row, expected[i]) << r.out;
    }
    // The problem is told in plain Spanish, with what the import does.
    EXPECT_NE(rows[1][3].find("List index out of bounds (2)"), std::string::npos) << rows[1][3];
    EXPECT_NE(rows[3][3].find("recortado a 10"), std::string::npos) << rows[3][3];
}

} // namespace
} // namespace conv
