#include "import/DataLines.h"
#include "import/GroupRecord.h"
#include "import/Import.h"
#include "import/KeyTable.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace conv::import
{
namespace
{

/// What a subgroup inherits from its parent group, in this order, packed with zero characters
/// between the values (a value never holds one), the parents one after the other in one string:
/// large schools have hundreds of thousands of groups, and nine strings each would cost several
/// times the memory.
constexpr const char* kInherited[] = {"ABREV",        "TURNO",        "NIVEL",         "CURSO",
                                      "CODGRUXADE",   "CODCURSOXADE", "NOMEGRUPOXADE", "NOMEABREVGRUPXADE",
                                      "NOMECURSOXADE"};
constexpr std::size_t kParentFields = std::size(kInherited);

using Parent = std::array<std::string_view, kParentFields>;

Parent unpack(std::string_view packed)
{
    Parent p;
    std::size_t from = 0;
    for (std::size_t i = 0; i < kParentFields; ++i) {
        const std::size_t to = i + 1 < kParentFields ? packed.find('\0', from) : packed.size();
        p[i] = packed.substr(from, to - from);
        from = to + 1;
    }
    return p;
}

/// The groups of GRUPOST by XADE group code, with what their subgroups inherit. Parents are
/// found by code, the first record in record order winning; the subgroups appended later never
/// come first for a code. Identifiers are compared exactly.
class Parents
{
public:
    /// Reads every record of `grupos`, marking each stored ABREV as given.
    Parents(Table& grupos, codes::GivenCodes& given)
    {
        std::vector<FieldRef> refs;
        for (const char* name : kInherited)
            refs.push_back(grupos.fieldByName(name));
        for (grupos.first(); !grupos.eof(); grupos.next()) {
            const std::string abrev = refs[0].asString();
            const std::string code = refs[4].asString();
            given.addStored(abrev);
            if (m_byCode.contains(code))
                continue;
            const std::size_t from = m_packed.size();
            m_packed += abrev;
            for (std::size_t i = 1; i < kParentFields; ++i)
                (m_packed += '\0') += refs[i].asString();
            m_byCode.insert(code, {from, m_packed.size() - from});
        }
    }

    /// The parent of a subgroup line's group code, or null. The lines of a group's subgroups
    /// usually follow each other, so the last answer is kept.
    const Parent* find(const std::string& groupCode)
    {
        const std::optional<Parent>& parent = m_last.get(groupCode, [&]() -> std::optional<Parent> {
            const Span* span = m_byCode.find(codes::storedForm(groupCode, m_codeWidth));
            if (!span)
                return std::nullopt;
            return unpack(std::string_view(m_packed).substr(span->first, span->second));
        });
        return parent ? &*parent : nullptr;
    }

private:
    using Span = std::pair<std::size_t, std::size_t>; // offset and size in m_packed
    const int m_codeWidth = widthOf(layouts::GRUPOST, "CODGRUXADE");
    KeyTable<Span> m_byCode;
    std::string m_packed; // every parent's values, one after the other
    LastAnswer<std::optional<Parent>> m_last;
};

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
    Table& grupos = run.table(Handle::wwTableGrupos, true);

    codes::GivenCodes given(false);
    Parents parents(grupos, given);
    GroupRecord record(grupos);
    codes::CandidateSearch search;
    FieldList f;
    std::int64_t count = 0;
    while (lines.next(f)) {
        const Parent* p = parents.find(f[0]);
        if (!p)
            continue;
        const std::string parentAbrev((*p)[0]);
        const std::string& codsub = f[1];
        const std::string& nome = f[3];
        const std::string& nomeAbrev = f[4];
        const std::string descrip = f[2] + " (" + nome + ")";
        const std::string abrev = search.find(
            parentAbrev, given, [&parentAbrev](std::uint64_t i) { return codes::subgroupCandidate(parentAbrev, i); });
        given.add(abrev);
        const Parent& parent = *p;
        record.write({.abrev = abrev,
                      .turno = parent[1],
                      .nivel = parent[2],
                      .curso = parent[3],
                      .grupo = std::string_view(abrev).substr(abrev.size() - 1),
                      .codGru = parent[4],
                      .codSub = codsub,
                      .codCurso = parent[5],
                      .nomeGrupo = parent[6],
                      .nomeAbrevGrupo = parent[7],
                      .nomeSub = nome,
                      .nomeAbrevSub = nomeAbrev,
                      .nomeCurso = parent[8],
                      .descrip = descrip});
        ++count;
    }
    grupos.close();
    run.countWritten("GRUPOST", count);
}

} // namespace conv::import
