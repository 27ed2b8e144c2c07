#include "import/Import.h"

#include "tables/WorkFolder.h"
#include "text/Clipper.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace conv::import
{
namespace
{

struct SubjectLine
{
    std::string cod;
    std::string codTarea;
};

} // namespace

void DatosAsignaciones(RunState& run)
{
    rebuildTable(run.workFolder, layouts::ASIGT);
    auto asigt = run.stageTable(layouts::ASIGT);
    asigt->open();
    Table& nomAsg = *run.tables.wwTableNomAsg;
    Table& grupos = *run.tables.wwTableGrupos;
    Table& nomAsg2 = *run.tables.wwTableNomAsg2;
    nomAsg.open();
    grupos.open();
    nomAsg2.open();

    // The activities' codes, and the subject lines of each course in table order: the same
    // results as crossing every group with every line, in one pass over each table.
    std::unordered_set<std::string> activities;
    {
        FieldRef cod = nomAsg.fieldByName("COD");
        FieldRef tarea = nomAsg.fieldByName("ESTAREA");
        for (nomAsg.first(); !nomAsg.eof(); nomAsg.next())
            if (tarea.asBoolean())
                activities.insert(cod.asString());
    }
    std::unordered_map<std::string, std::vector<SubjectLine>> linesOfCourse;
    {
        FieldRef cod = nomAsg2.fieldByName("COD");
        FieldRef curso = nomAsg2.fieldByName("CODCURSO");
        FieldRef tarea = nomAsg2.fieldByName("CODTAREA");
        for (nomAsg2.first(); !nomAsg2.eof(); nomAsg2.next())
            linesOfCourse[curso.asString()].push_back({cod.asString(), tarea.asString()});
    }

    FieldRef gAbrev = grupos.fieldByName("ABREV");
    FieldRef gTurno = grupos.fieldByName("TURNO");
    FieldRef gNivel = grupos.fieldByName("NIVEL");
    FieldRef gCurso = grupos.fieldByName("CURSO");
    FieldRef gGrupo = grupos.fieldByName("GRUPO");
    FieldRef gCodGru = grupos.fieldByName("CODGRUXADE");
    FieldRef gCodSub = grupos.fieldByName("CODSUBGRUXADE");
    FieldRef gCodCurso = grupos.fieldByName("CODCURSOXADE");

    FieldRef aCasig = asigt->fieldByName("CASIG");
    FieldRef aCgrup = asigt->fieldByName("CGRUP");
    FieldRef aTurno = asigt->fieldByName("TURNO");
    FieldRef aNivel = asigt->fieldByName("NIVEL");
    FieldRef aCurso = asigt->fieldByName("CURSO");
    FieldRef aGrupo = asigt->fieldByName("GRUPO");
    FieldRef aHoras = asigt->fieldByName("HORAS");
    FieldRef aSesiones = asigt->fieldByName("SESIONES");
    FieldRef aClave = asigt->fieldByName("CLAVE");
    FieldRef aClaveCurso = asigt->fieldByName("CLAVECURSO");
    FieldRef aCtarea = asigt->fieldByName("CTAREA");

    // An assignment is one subject code and one group code: never stored twice. Within a
    // course only the first line of each subject code counts; across groups a pair can only
    // repeat when two group records share a code, so only then are earlier pairs looked up.
    for (auto& [course, lines] : linesOfCourse) {
        std::unordered_set<std::string> seen;
        std::erase_if(lines, [&seen](const SubjectLine& s) { return !seen.insert(s.cod).second; });
    }
    std::unordered_map<std::string, std::vector<const std::vector<SubjectLine>*>> writtenFor;
    std::int64_t count = 0;
    for (grupos.first(); !grupos.eof(); grupos.next()) {
        if (!Clipper::QuitaBlancos(gCodSub.asString()).empty())
            continue; // a subgroup
        const auto it = linesOfCourse.find(gCodCurso.asString());
        if (it == linesOfCourse.end())
            continue;
        const std::string abrev = gAbrev.asString();
        std::unordered_set<std::string> earlier;
        auto& written = writtenFor[abrev];
        for (const std::vector<SubjectLine>* lines : written)
            for (const SubjectLine& s : *lines)
                earlier.insert(s.cod);
        written.push_back(&it->second);
        const std::string turno = gTurno.asString();
        const std::string nivel = gNivel.asString();
        const std::string curso = gCurso.asString();
        const std::string grupo = gGrupo.asString();
        const std::string clave = gCodGru.asString();
        const std::string claveCurso = gCodCurso.asString();
        for (const SubjectLine& s : it->second) {
            if (!earlier.empty() && earlier.contains(s.cod))
                continue;
            asigt->append();
            aCasig.setString(s.cod);
            aCgrup.setString(abrev);
            aTurno.setString(turno);
            aNivel.setString(nivel);
            aCurso.setString(curso);
            aGrupo.setString(grupo);
            aHoras.setFloat(4.0);
            aSesiones.setString("1111");
            aClave.setString(clave);
            aClaveCurso.setString(claveCurso);
            aCtarea.setString(activities.contains(s.codTarea) ? s.codTarea : std::string());
            asigt->post();
            ++count;
        }
    }
    asigt->close();
    run.countWritten("ASIGT", count);

    grupos.close();
    nomAsg2.close();
    nomAsg.close();
    run.tables.wwTableGrupos.reset();
    run.tables.wwTableNomAsg2.reset();
    run.tables.wwTableNomAsg.reset();
}

} // namespace conv::import
