#include "import/Preflight.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace conv
{
namespace
{

std::vector<std::string> render(const std::vector<import::Finding>& findings)
{
    std::vector<std::string> out;
    for (const auto& f : findings)
        out.push_back(f.file + ":" + std::to_string(f.line) + ": " + f.text);
    return out;
}

TEST(Preflight, ReportsWhatWouldEndTheRunByFileAndLine)
{
    test::TempDir dir;
    dir.write("convocatoriasCentro.csv", "h\nC1,Uno\nC2\n");
    dir.write("GRUPOSCENTRO.CSV", "h\nC1,K1,G1,A,Curso,1A\nC2\nC1,K1,G2\n\nC1,K2,G3,A,Curso\xE9,1A\n");
    dir.write("subgruposCentro.csv", "h\nGX\nG1,S1,D\n");
    dir.write("materiasHorarioOfertaCentro.csv", "h\nM1,K1,0,L,N\n");
    dir.write("materiasHorarioOfertaXeral.csv", "h\nM1,K9,0\nM2,K9\nM3,K9,T1,L,N\nM4,K1,0,L,N,A\n");
    dir.write("actividadesProfesor.csv", "A,B,C\nAC1,x,y\nAC2345678901,x,y\n");
    dir.write("profesoresGrupoCentro.csv", "h\nE1,G1\n");
    const auto findings = import::checkXadeFolder(dir.path(), std::nullopt);
    const std::vector<std::string> expected = {
        "convocatoriasCentro.csv:3: has 1 field; the import reads position 1: List index out of bounds (1)",
        "gruposCentro.csv:3: has 1 field; the import reads position 1 (when its call is imported): List index out of "
        "bounds (1)",
        "gruposCentro.csv:4: has 3 fields; the import reads position 4 (when its call is imported): List index out of "
        "bounds (4)",
        "gruposCentro.csv:5: is empty; the import reads position 0: List index out of bounds (0)",
        "gruposCentro.csv:6: is not valid UTF-8 (or holds a character beyond FFFF hex) and reads as empty; the import "
        "reads position 0: List index out of bounds (0)",
        "subgruposCentro.csv:3: has 3 fields; the import reads position 3: List index out of bounds (3)",
        "materiasHorarioOfertaCentro.csv:2: has 5 fields; the import reads position 5: List index out of bounds (5)",
        "materiasHorarioOfertaXeral.csv:3: has 2 fields; the import reads position 2: List index out of bounds (2)",
        "materiasHorarioOfertaXeral.csv:4: has 5 fields; the import reads position 5: List index out of bounds (5)",
        "actividadesProfesor.csv:3: the activity code 'AC2345678901' has 12 characters and is stored cut to 10",
        "profesoresGrupoCentro.csv:2: has 2 fields; the import reads position 2: List index out of bounds (2)",
        "aulasCentro.csv:0: No existe archivo de Aulas (aulasCentro.CSV)",
    };
    EXPECT_EQ(render(findings), expected);
    EXPECT_EQ(findings.back().kind, import::Finding::Kind::Missing);
}

TEST(Preflight, WithACallOtherCallsNeedOneField)
{
    test::TempDir dir;
    dir.write("gruposCentro.csv", "h\nC1,K1,G1,A,Curso,1A\nC2,K1\n");
    dir.write("subgruposCentro.csv", "h\nG9,S\n");
    const auto findings = import::checkXadeFolder(dir.path(), std::string("C1"));
    for (const auto& f : findings)
        EXPECT_EQ(f.kind, import::Finding::Kind::Missing) << f.file << ':' << f.line << ' ' << f.text;
    EXPECT_EQ(findings.size(), 6u);
}

} // namespace
} // namespace conv
