#include "import/DataLines.h"
#include "import/GroupRecord.h"
#include "import/Import.h"
#include "import/KeyTable.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include "tables/WorkFolder.h"

namespace conv::import
{
namespace
{

struct Course
{
    std::string codcurso;
    std::string turno;
    std::string nivel;
    std::string curso;
};

/// The course rows by name, each name with its rows in record order.
class CoursesByName
{
public:
    explicit CoursesByName(Table& cursos)
    {
        FieldRef nome = cursos.fieldByName("NOMECURSO");
        FieldRef cod = cursos.fieldByName("CODCURSO");
        FieldRef turno = cursos.fieldByName("TURNO");
        FieldRef nivel = cursos.fieldByName("NIVEL");
        FieldRef curso = cursos.fieldByName("CURSO");
        for (cursos.first(); !cursos.eof(); cursos.next()) // the first row of a name is kept
            m_rows.insert(nome.asString(),
                          Course{cod.asString(), turno.asString(), nivel.asString(), curso.asString()});
    }

    /// The first row in record order named `name`, compared as the table compares it: cut to
    /// the field's width, so a name longer than the table keeps still finds its course. The
    /// lines of a course's groups usually follow each other, so the last answer is kept.
    const Course* find(const std::string& name)
    {
        return m_last.get(name, [&] { return m_rows.find(codes::storedForm(name, m_nameWidth)); });
    }

private:
    const int m_nameWidth = widthOf(layouts::CURSOST, "NOMECURSO");
    KeyTable<Course> m_rows; // not grown after construction, so m_last stays valid
    LastAnswer<const Course*> m_last;
};

/// The group's short code: its base (level, course and group name) when free, else the group
/// rule's first free candidate.
std::string groupCode(const std::string& base, codes::GivenCodes& given, codes::CandidateSearch& search)
{
    return given.give(base, [&] {
        return search.find(base, given, [&base](std::uint64_t i) { return codes::groupCandidate(base, i); });
    });
}

} // namespace

void DatosGrupos(RunState& run)
{
    rebuildTable(run.workFolder, layouts::GRUPOST);
    if (!run.csvFileExists(files::kGroups)) {
        inputMissing(run, msg::kNoGroups);
        return;
    }
    DataLines lines(run.csvFile(files::kGroups));
    codes::GivenCodes given(true);
    codes::CandidateSearch search;
    auto table = run.stageTable(layouts::GRUPOST);
    table->open();
    CoursesByName courses(run.table(Handle::wwTableCursos, true));
    const CallFilter filter(run);
    GroupRecord record(*table);

    FieldList f;
    std::int64_t count = 0;
    while (lines.next(f)) {
        if (!filter.belongs(f[0]))
            continue;
        const std::string& courseName = f[4];
        const Course* course = courses.find(courseName);
        if (!course)
            continue;
        const std::string& groupName = f[3];
        const std::string& abbrevName = f[5];
        const std::string abrev = groupCode(course->nivel + course->curso + groupName, given, search);
        const std::string descrip = courseName + " / " + groupName;
        record.write({.abrev = abrev,
                      .turno = course->turno,
                      .nivel = course->nivel,
                      .curso = course->curso,
                      .grupo = groupName,
                      .codGru = f[2],
                      .codSub = {},
                      .codCurso = f[1],
                      .nomeGrupo = groupName,
                      .nomeAbrevGrupo = abbrevName,
                      .nomeSub = {},
                      .nomeAbrevSub = {},
                      .nomeCurso = courseName,
                      .descrip = descrip});
        ++count;
    }
    table->close();
    run.countWritten("GRUPOST", count);
}

} // namespace conv::import
