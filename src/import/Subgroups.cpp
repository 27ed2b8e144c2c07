#include "import/DataLines.h"
#include "import/Import.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include <unordered_map>

namespace conv::import
{
namespace
{

/// What a subgroup inherits from its parent group.
struct Parent
{
    std::string abrev;
    std::string turno;
    std::string nivel;
    std::string curso;
    std::string codgru;
    std::string codcurso;
    std::string nomeGrupo;
    std::string nomeAbrevGrupo;
    std::string nomeCurso;
};

constexpr const char* kInherited[] = {"ABREV",         "TURNO",        "NIVEL",
                                      "CURSO",         "CODGRUXADE",   "CODCURSOXADE",
                                      "NOMEGRUPOXADE", "NOMEABREVGRUPXADE", "NOMECURSOXADE"};

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
    std::unordered_map<std::string, Parent> parents;
    codes::GivenCodes given(false);
    {
        FieldRef refs[std::size(kInherited)] = {
            grupos.fieldByName(kInherited[0]), grupos.fieldByName(kInherited[1]), grupos.fieldByName(kInherited[2]),
            grupos.fieldByName(kInherited[3]), grupos.fieldByName(kInherited[4]), grupos.fieldByName(kInherited[5]),
            grupos.fieldByName(kInherited[6]), grupos.fieldByName(kInherited[7]), grupos.fieldByName(kInherited[8])};
        for (grupos.first(); !grupos.eof(); grupos.next()) {
            Parent p{refs[0].asString(), refs[1].asString(), refs[2].asString(),
                     refs[3].asString(), refs[4].asString(), refs[5].asString(),
                     refs[6].asString(), refs[7].asString(), refs[8].asString()};
            given.addStored(p.abrev);
            const std::string key = p.codgru;
            parents.try_emplace(key, std::move(p));
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
        const Parent& p = it->second;
        const std::string& codsub = f[1];
        const std::string& nome = f[3];
        const std::string& nomeAbrev = f[4];
        const std::string descrip = f[2] + " (" + nome + ")";
        const std::string abrev = search.find(p.abrev, given, [&p](std::uint64_t i) {
            return codes::subgroupCandidate(p.abrev, i);
        });
        given.add(abrev);

        grupos.append();
        fAbrev.setString(abrev);
        fTurno.setString(p.turno);
        fNivel.setString(p.nivel);
        fCurso.setString(p.curso);
        fGrupo.setString(abrev.substr(abrev.size() - 1));
        fMarco.setString("0");
        fCodGru.setString(p.codgru);
        fCodSub.setString(codsub);
        fCodCurso.setString(p.codcurso);
        fNomeGrupo.setString(p.nomeGrupo);
        fNomeAbrevGrupo.setString(p.nomeAbrevGrupo);
        fNomeSub.setString(nome);
        fNomeAbrevSub.setString(nomeAbrev);
        fNomeCurso.setString(p.nomeCurso);
        fDescrip.setString(descrip);
        grupos.post();
        ++count;
    }
    grupos.close();
    run.countWritten("GRUPOST", count);
}

} // namespace conv::import
