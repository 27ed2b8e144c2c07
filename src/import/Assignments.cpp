#include "import/Import.h"
#include "import/KeyTable.h"

#include "tables/WorkFolder.h"
#include "text/Clipper.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace conv::import
{
namespace
{

struct SubjectLine
{
    std::string cod;
    std::string ctarea; ///< the line's task code when it names an activity, else empty
};

/// The codes of ASIGNOMT's activities.
KeySet activityCodes(Table& nomAsg)
{
    KeySet activities;
    FieldRef cod = nomAsg.fieldByName("COD");
    FieldRef tarea = nomAsg.fieldByName("ESTAREA");
    for (nomAsg.first(); !nomAsg.eof(); nomAsg.next())
        if (tarea.asBoolean())
            activities.insert(cod.asString());
    return activities;
}

/// The subject lines of ASIGNOMT2 by course, each course's in table order: the same results as
/// crossing every group with every line, in one pass over each table. Within a course only the
/// first line of each subject code counts.
class CourseLines
{
public:
    CourseLines(Table& nomAsg2, const KeySet& activities)
    {
        FieldRef cod = nomAsg2.fieldByName("COD");
        FieldRef curso = nomAsg2.fieldByName("CODCURSO");
        FieldRef tarea = nomAsg2.fieldByName("CODTAREA");
        for (nomAsg2.first(); !nomAsg2.eof(); nomAsg2.next()) {
            std::string code = cod.asString();
            std::uint32_t& at = m_indexOf[curso.asString()];
            if (at == 0) {
                m_lines.emplace_back();
                at = static_cast<std::uint32_t>(m_lines.size());
            }
            std::string task = tarea.asString();
            m_lines[at - 1].push_back({std::move(code), activities.contains(task) ? std::move(task) : std::string()});
        }
        // One course at a time, so that the work stays in the cache however many lines there are.
        for (std::vector<SubjectLine>& lines : m_lines)
            keepFirstOfEachCode(lines);
    }

    /// The course's lines, or null when it has none.
    const std::vector<SubjectLine>* find(const std::string& course) const
    {
        const std::uint32_t* at = m_indexOf.find(course);
        return at ? &m_lines[*at - 1] : nullptr;
    }

private:
    /// Drops every line whose subject code an earlier line has, keeping the order.
    static void keepFirstOfEachCode(std::vector<SubjectLine>& lines)
    {
        if (lines.size() < 2)
            return;
        std::vector<std::uint32_t> order(lines.size());
        std::iota(order.begin(), order.end(), 0u);
        // Equal codes stay in line order, so the first of each comes first.
        std::stable_sort(order.begin(), order.end(),
                         [&lines](std::uint32_t a, std::uint32_t b) { return lines[a].cod < lines[b].cod; });
        std::vector<bool> repeated(lines.size());
        for (std::size_t k = 1; k < order.size(); ++k)
            repeated[order[k]] = lines[order[k]].cod == lines[order[k - 1]].cod;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (repeated[i])
                continue;
            if (kept != i)
                lines[kept] = std::move(lines[i]);
            ++kept;
        }
        lines.resize(kept);
    }

    KeyTable<std::uint32_t> m_indexOf; // a course's place in m_lines, plus one
    std::vector<std::vector<SubjectLine>> m_lines;
};

/// The fields of an ASIGT record.
class AssignmentRecord
{
public:
    explicit AssignmentRecord(Table& asigt)
        : m_table(asigt)
        , aCasig(asigt.fieldByName("CASIG"))
        , aCgrup(asigt.fieldByName("CGRUP"))
        , aTurno(asigt.fieldByName("TURNO"))
        , aNivel(asigt.fieldByName("NIVEL"))
        , aCurso(asigt.fieldByName("CURSO"))
        , aGrupo(asigt.fieldByName("GRUPO"))
        , aHoras(asigt.fieldByName("HORAS"))
        , aSesiones(asigt.fieldByName("SESIONES"))
        , aClave(asigt.fieldByName("CLAVE"))
        , aClaveCurso(asigt.fieldByName("CLAVECURSO"))
        , aCtarea(asigt.fieldByName("CTAREA"))
    {
    }

    /// What a group gives each of its assignments.
    struct Group
    {
        std::string abrev, turno, nivel, curso, grupo, clave, claveCurso;
    };

    void write(const Group& g, const SubjectLine& s)
    {
        m_table.append();
        aCasig.setString(s.cod);
        aCgrup.setString(g.abrev);
        aTurno.setString(g.turno);
        aNivel.setString(g.nivel);
        aCurso.setString(g.curso);
        aGrupo.setString(g.grupo);
        aHoras.setFloat(4.0);
        aSesiones.setString("1111");
        aClave.setString(g.clave);
        aClaveCurso.setString(g.claveCurso);
        aCtarea.setString(s.ctarea);
        m_table.post();
    }

private:
    Table& m_table;
    FieldRef aCasig, aCgrup, aTurno, aNivel, aCurso, aGrupo, aHoras, aSesiones, aClave, aClaveCurso, aCtarea;
};

/// Writes the assignments of every group of GRUPOST (subgroups have none): one per subject line
/// of its course. An assignment is one subject code and one group code, never stored twice;
/// across groups a pair can only repeat when two group records share a code, so only then are
/// earlier pairs looked up. Gives the number written.
std::int64_t writeAssignments(Table& grupos, const CourseLines& linesOfCourse, AssignmentRecord& record)
{
    FieldRef gAbrev = grupos.fieldByName("ABREV");
    FieldRef gTurno = grupos.fieldByName("TURNO");
    FieldRef gNivel = grupos.fieldByName("NIVEL");
    FieldRef gCurso = grupos.fieldByName("CURSO");
    FieldRef gGrupo = grupos.fieldByName("GRUPO");
    FieldRef gCodGru = grupos.fieldByName("CODGRUXADE");
    FieldRef gCodSub = grupos.fieldByName("CODSUBGRUXADE");
    FieldRef gCodCurso = grupos.fieldByName("CODCURSOXADE");

    KeyTable<std::vector<const std::vector<SubjectLine>*>> writtenFor;
    std::int64_t count = 0;
    for (grupos.first(); !grupos.eof(); grupos.next()) {
        if (!Clipper::QuitaBlancos(gCodSub.asString()).empty())
            continue; // a subgroup
        const std::vector<SubjectLine>* lines = linesOfCourse.find(gCodCurso.asString());
        if (!lines)
            continue;
        const AssignmentRecord::Group group{gAbrev.asString(),   gTurno.asString(), gNivel.asString(),
                                            gCurso.asString(),   gGrupo.asString(), gCodGru.asString(),
                                            gCodCurso.asString()};
        KeySet earlier;
        auto& written = writtenFor[group.abrev];
        for (const std::vector<SubjectLine>* before : written)
            for (const SubjectLine& s : *before)
                earlier.insert(s.cod);
        written.push_back(lines);
        for (const SubjectLine& s : *lines) {
            if (earlier.size() != 0 && earlier.contains(s.cod))
                continue;
            record.write(group, s);
            ++count;
        }
    }
    return count;
}

} // namespace

void DatosAsignaciones(RunState& run)
{
    rebuildTable(run.workFolder, layouts::ASIGT);
    auto asigt = run.stageTable(layouts::ASIGT);
    asigt->open();
    Table& nomAsg = run.table(Handle::wwTableNomAsg, true);
    Table& grupos = run.table(Handle::wwTableGrupos, true);
    Table& nomAsg2 = run.table(Handle::wwTableNomAsg2, true);

    const KeySet activities = activityCodes(nomAsg);
    const CourseLines linesOfCourse(nomAsg2, activities);
    AssignmentRecord record(*asigt);
    const std::int64_t count = writeAssignments(grupos, linesOfCourse, record);
    asigt->close();
    run.countWritten("ASIGT", count);

    grupos.close();
    nomAsg2.close();
    nomAsg.close();
    run.release(Handle::wwTableGrupos);
    run.release(Handle::wwTableNomAsg2);
    run.release(Handle::wwTableNomAsg);
}

} // namespace conv::import
