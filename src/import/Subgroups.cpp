#include "import/DataLines.h"
#include "import/Import.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace conv::import
{
namespace
{

/// What a subgroup inherits from its parent group, in this order, packed into one string with
/// zero characters between the values (a value never holds one): large schools have hundreds of
/// thousands of groups, and nine strings each would cost several times the memory.
constexpr const char* kInherited[] = {"ABREV",         "TURNO",        "NIVEL",
                                      "CURSO",         "CODGRUXADE",   "CODCURSOXADE",
                                      "NOMEGRUPOXADE", "NOMEABREVGRUPXADE", "NOMECURSOXADE"};
constexpr std::size_t kParentFields = std::size(kInherited);

using Parent = std::array<std::string_view, kParentFields>;

Parent unpack(const std::string& packed)
{
    Parent p;
    std::size_t from = 0;
    for (std::size_t i = 0; i < kParentFields; ++i) {
        const std::size_t to = i + 1 < kParentFields ? packed.find('\0', from) : packed.size();
        p[i] = std::string_view(packed).substr(from, to - from);
        from = to + 1;
    }
    return p;
}

} // namespace

void DatosSubgrupos(RunState& run)
{
    if (!run.workFileExists("GRUPOST.DBF")) {
        run.feedback.notice(msg::kNoGroupTable);
        return;
    }
    if (!run.csvFileExists(files::kSubgroups)) {
        run.feedback.notice(msg::kNoSubgroups);
        return;
    }
    DataLines lines(run.csvFile(files::kSubgroups));
    Table& grupos = *run.tables.wwTableGrupos;
    grupos.open();

    // Parents are found by XADE group code, the first record in record order winning; the
    // subgroups appended below never come first for a code. Identifiers are compared exactly.
    std::unordered_map<std::string, std::string> parents;
    codes::GivenCodes given(false);
    {
        std::vector<FieldRef> refs;
        for (const char* name : kInherited)
            refs.push_back(grupos.fieldByName(name));
        for (grupos.first(); !grupos.eof(); grupos.next()) {
            std::string abrev = refs[0].asString();
            std::string code = refs[4].asString();
            given.addStored(abrev);
            if (parents.contains(code))
                continue;
            std::string packed = std::move(abrev);
            for (std::size_t i = 1; i < kParentFields; ++i)
                (packed += '\0') += refs[i].asString();
            parents.emplace(std::move(code), std::move(packed));
        }
    }

    FieldRef fAbrev = grupos.fieldByName("ABREV");
    FieldRef fTurno = grupos.fieldByName("TURNO");
    FieldRef fNivel = grupos.fieldByName("NIVEL");
    FieldRef fCurso = grupos.fieldByName("CURSO");
    FieldRef fGrupo = grupos.fieldByName("GRUPO");
    FieldRef fMarco = grupos.fieldByName("MARCO");
    FieldRef fCodGru = grupos.fieldByName("CODGRUXADE");
    FieldRef fCodSub = grupos.fieldByName("CODSUBGRUXADE");
    FieldRef fCodCurso = grupos.fieldByName("CODCURSOXADE");
    FieldRef fNomeGrupo = grupos.fieldByName("NOMEGRUPOXADE");
    FieldRef fNomeAbrevGrupo = grupos.fieldByName("NOMEABREVGRUPXADE");
    FieldRef fNomeSub = grupos.fieldByName("NOMESUBGRUXADE");
    FieldRef fNomeAbrevSub = grupos.fieldByName("NOMEABREVSUBGRUXADE");
    FieldRef fNomeCurso = grupos.fieldByName("NOMECURSOXADE");
    FieldRef fDescrip = grupos.fieldByName("DESCRIP");

    codes::CandidateSearch search;
    FieldList f;
    std::int64_t count = 0;
    while (lines.next(f)) {
        const auto it = parents.find(codes::storedForm(f[0], 15));
        if (it == parents.end())
            continue;
        const Parent p = unpack(it->second);
        const std::string parentAbrev(p[0]);
        const std::string& codsub = f[1];
        const std::string& nome = f[3];
        const std::string& nomeAbrev = f[4];
        const std::string descrip = f[2] + " (" + nome + ")";
        const std::string abrev = search.find(parentAbrev, given, [&parentAbrev](std::uint64_t i) {
            return codes::subgroupCandidate(parentAbrev, i);
        });
        given.add(abrev);

        grupos.append();
        fAbrev.setString(abrev);
        fTurno.setString(p[1]);
        fNivel.setString(p[2]);
        fCurso.setString(p[3]);
        fGrupo.setString(abrev.substr(abrev.size() - 1));
        fMarco.setString("0");
        fCodGru.setString(p[4]);
        fCodSub.setString(codsub);
        fCodCurso.setString(p[5]);
        fNomeGrupo.setString(p[6]);
        fNomeAbrevGrupo.setString(p[7]);
        fNomeSub.setString(nome);
        fNomeAbrevSub.setString(nomeAbrev);
        fNomeCurso.setString(p[8]);
        fDescrip.setString(descrip);
        grupos.post();
        ++count;
    }
    grupos.close();
    run.countWritten("GRUPOST", count);
}

} // namespace conv::import
