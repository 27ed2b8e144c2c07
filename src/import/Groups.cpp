#include "import/DataLines.h"
#include "import/Import.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include "tables/WorkFolder.h"

#include <unordered_map>

namespace conv::import
{
namespace
{

constexpr std::size_t kNameWidth = 50; // NOMECURSO

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
        for (cursos.first(); !cursos.eof(); cursos.next())
            m_rows.try_emplace(nome.asString(), Course{cod.asString(), turno.asString(), nivel.asString(), curso.asString()});
    }

    /// The first row in record order named `name`, compared as the table compares it: cut to
    /// the field's width, so a name longer than the table keeps still finds its course.
    const Course* find(const std::string& name) const
    {
        const auto it = m_rows.find(codes::storedForm(name, kNameWidth));
        return it == m_rows.end() ? nullptr : &it->second;
    }

private:
    std::unordered_map<std::string, Course> m_rows;
};

} // namespace

void DatosGrupos(RunState& run)
{
    rebuildTable(run.workFolder, layouts::GRUPOST);
    if (!run.csvFileExists(files::kGroups)) {
        run.feedback.notice(msg::kNoGroups);
        run.Transformado = -1;
        return;
    }
    DataLines lines(run.csvFile(files::kGroups));
    codes::GivenCodes given(true);
    codes::CandidateSearch search;
    auto table = run.stageTable(layouts::GRUPOST);
    table->open();
    Table& cursos = *run.tables.wwTableCursos;
    if (!cursos.isOpen())
        cursos.open();
    const CoursesByName courses(cursos);
    const CallFilter filter(run);

    FieldRef fAbrev = table->fieldByName("ABREV");
    FieldRef fTurno = table->fieldByName("TURNO");
    FieldRef fNivel = table->fieldByName("NIVEL");
    FieldRef fCurso = table->fieldByName("CURSO");
    FieldRef fGrupo = table->fieldByName("GRUPO");
    FieldRef fMarco = table->fieldByName("MARCO");
    FieldRef fCodGru = table->fieldByName("CODGRUXADE");
    FieldRef fCodCurso = table->fieldByName("CODCURSOXADE");
    FieldRef fNomeGrupo = table->fieldByName("NOMEGRUPOXADE");
    FieldRef fNomeAbrev = table->fieldByName("NOMEABREVGRUPXADE");
    FieldRef fNomeCurso = table->fieldByName("NOMECURSOXADE");
    FieldRef fDescrip = table->fieldByName("DESCRIP");

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
        const std::string base = course->nivel + course->curso + groupName;
        const std::string abrev = given.taken(base) ? search.find(base, given, [&base](std::uint64_t i) {
            return codes::groupCandidate(base, i);
        })
                                                    : base;
        given.add(abrev);

        table->append();
        fAbrev.setString(abrev);
        fTurno.setString(course->turno);
        fNivel.setString(course->nivel);
        fCurso.setString(course->curso);
        fGrupo.setString(groupName);
        fMarco.setString("0");
        fCodGru.setString(f[2]);
        fCodCurso.setString(f[1]);
        fNomeGrupo.setString(groupName);
        fNomeAbrev.setString(abbrevName);
        fNomeCurso.setString(courseName);
        fDescrip.setString(courseName + " / " + groupName);
        table->post();
        ++count;
    }
    table->close();
    run.countWritten("GRUPOST", count);
}

} // namespace conv::import
