#include "import/CourseList.h"
#include "import/DataLines.h"
#include "import/Import.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include "common/IoErrors.h"
#include "tables/WorkFolder.h"

#include <filesystem>

namespace conv::import
{

void BitBtn1Click(RunState& run)
{
    CargaCursos(run);
    DatosNivel(run);
}

void CargaCursos(RunState& run)
{
    if (!run.csvFileExists(files::kGroupsForCourses)) {
        // From here on the tables the timetable program takes over change: until the stages
        // have all run, the work folder holds an unfinished import.
        run.conversionStarted("import");
        rebuildTable(run.workFolder, layouts::CURSOST);
        inputMissing(run, msg::kNoGroupsForCourses);
        return;
    }
    // Every line of the call is read before the table is touched, so a course refused leaves
    // the level screen of the last import as it was.
    const std::filesystem::path file = run.csvFile(files::kGroupsForCourses);
    DataLines lines(file);
    const CallFilter filter(run);
    CourseList courses;
    FieldList f;
    while (lines.next(f)) {
        if (!filter.belongs(f[0]))
            continue;
        const CourseList::Outcome outcome = courses.add(f[1], lines.lineNumber(), [&f]() -> const std::string& { return f[4]; });
        if (!outcome.refusal.empty())
            throw Error(outcome.refusal, file, lines.lineNumber());
    }

    run.conversionStarted("import");
    rebuildTable(run.workFolder, layouts::CURSOST);
    auto table = run.stageTable(layouts::CURSOST);
    table->open();
    FieldRef nome = table->fieldByName("NOMECURSO");
    FieldRef cod = table->fieldByName("CODCURSO");
    for (const CourseList::Course& course : courses.courses()) {
        table->append();
        nome.setString(course.name);
        cod.setString(course.code);
        table->post();
    }
    table->close();
    run.countWritten("CURSOST", static_cast<std::int64_t>(courses.courses().size()));
}

void DatosNivel(RunState& run)
{
    if (!run.workFileExists("CURSOST.DBF")) {
        inputMissing(run, msg::kNoCourseTable);
        return;
    }
    Table& nivimp = run.table(Handle::wwTableNIVIMP, true);
    nivimp.first();
    run.feedback.change(UiChange::ShowLevelScreen);
    if (!run.workFileExists("CURSOST2.DBF"))
        return;
    if (run.feedback.askOkCancel(msg::kReuseCaption, msg::kReuseText)) {
        nivimp.first();
        Table& nivimp2 = run.table(Handle::wwTableNIVIMP2, true);
        for (; !nivimp.eof(); nivimp.next()) {
            if (!nivimp2.findKey(Value(nivimp.fieldByName("CODCURSO").asString())))
                continue;
            nivimp.edit();
            for (const char* name : {"TURNO", "NIVEL", "CURSO"})
                nivimp.fieldByName(name).setString(nivimp2.fieldByName(name).asString());
            nivimp.post();
        }
        return;
    }
    // Declined: the reuse table starts again from this import. Only its .DBF goes; the next
    // creation replaces the index file.
    if (run.holds(Handle::wwTableNIVIMP2) && run.table(Handle::wwTableNIVIMP2).isOpen())
        run.table(Handle::wwTableNIVIMP2).close();
    run.stageTable(layouts::CURSOST2)->deleteTableFile();
}

int typeLevelCodes(RunState& run, const std::map<std::string, LevelCodes>& answers)
{
    Table& nivimp = run.table(Handle::wwTableNIVIMP, true);
    int changed = 0;
    for (nivimp.first(); !nivimp.eof(); nivimp.next()) {
        const auto it = answers.find(nivimp.fieldByName("CODCURSO").asString());
        if (it == answers.end())
            continue;
        nivimp.edit();
        nivimp.fieldByName("TURNO").setString(it->second.TURNO);
        nivimp.fieldByName("NIVEL").setString(it->second.NIVEL);
        nivimp.fieldByName("CURSO").setString(it->second.CURSO);
        nivimp.post();
        ++changed;
    }
    return changed;
}

} // namespace conv::import
