#include "import/DataLines.h"
#include "import/Import.h"
#include "import/KeyTable.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include "tables/WorkFolder.h"

#include <vector>

namespace conv::import
{
namespace
{

/// Writes the subjects and activities into ASIGNOMT and ASIGNOMT2 and keeps what the stage
/// knows of them: the short codes given, the code each long code got, and every stored COD.
class SubjectWriter
{
public:
    explicit SubjectWriter(RunState& run)
        : m_run(run)
        , m_nomAsg(run.stageTable(layouts::ASIGNOMT))
        , m_nomAsg2(run.stageTable(layouts::ASIGNOMT2))
    {
        m_nomAsg->open();
        m_nomAsg2->open();
        for (const char* name : {"COD", "CODLARGO", "NOMBRE", "ESTAREA", "CODTAREA", "CODLARGO2"})
            m_first.push_back(m_nomAsg->fieldByName(name));
        for (const char* name :
             {"COD", "CODLARGO", "NOMBRE", "CODMATERIA", "CODCURSO", "ESTAREA", "CODTAREA", "ABREVXADE"})
            m_second.push_back(m_nomAsg2->fieldByName(name));
    }
    ~SubjectWriter()
    {
        m_run.countWritten("ASIGNOMT", m_count);
        m_run.countWritten("ASIGNOMT2", m_count2);
    }

    /// One line of either subject file (positions 0 to 5).
    void subjectLine(const FieldList& f)
    {
        const std::string& codMateria = f[0];
        const std::string& codCurso = f[1];
        const std::string task = f[2] == "0" ? std::string() : f[2];
        const std::string& longCode = f[3];
        const std::string& name = f[4];
        const std::string& abrevXade = f[5];

        // A long code seen before keeps the code it got, however long it is.
        if (const std::string* seen = m_codeOfLongCode.find(longCode)) {
            writeSecond(*seen, longCode, name, codMateria, codCurso, false, task, abrevXade);
            return;
        }
        const std::string base = codes::subjectBase(longCode, name);
        const std::string cod = m_given.give(base, [&] {
            return m_search.find(base, m_given, [&base](std::uint64_t i) { return codes::numberedCandidate(base, i); });
        });
        m_codeOfLongCode.insert(longCode, cod);
        writeFirst(cod, longCode, name, false, task, longCode);
        writeSecond(cod, longCode, name, codMateria, codCurso, false, task, abrevXade);
    }

    /// One data line of the activity file; a code already stored is left out. The header line
    /// never comes here: taken by its content, a header whose first field equals a code given
    /// would pass as present and the first real activity be dropped in its place.
    void activityLine(const FieldList& f)
    {
        const std::string& code = f[0];
        const std::string& longCode = f[1];
        const std::string& name = f[2];
        if (m_storedCods.contains(codes::storedForm(code, m_codWidth)))
            return;
        writeFirst(code, longCode, name, true, code, longCode);
        writeSecond(code, longCode, name, "", "", true, code, "");
    }

    void close()
    {
        m_nomAsg->close();
        m_nomAsg2->close();
    }

private:
    void writeFirst(const std::string& cod, const std::string& codLargo, const std::string& nombre, bool tarea,
                    const std::string& codTarea, const std::string& codLargo2)
    {
        m_nomAsg->append();
        m_first[0].setString(cod);
        m_first[1].setString(codLargo);
        m_first[2].setString(nombre);
        m_first[3].setBoolean(tarea);
        m_first[4].setString(codTarea);
        m_first[5].setString(codLargo2);
        m_nomAsg->post();
        m_storedCods.insert(codes::storedForm(cod, m_codWidth));
        ++m_count;
    }

    void writeSecond(const std::string& cod, const std::string& codLargo, const std::string& nombre,
                     const std::string& codMateria, const std::string& codCurso, bool tarea,
                     const std::string& codTarea, const std::string& abrevXade)
    {
        m_nomAsg2->append();
        m_second[0].setString(cod);
        m_second[1].setString(codLargo);
        m_second[2].setString(nombre);
        m_second[3].setString(codMateria);
        m_second[4].setString(codCurso);
        m_second[5].setBoolean(tarea);
        m_second[6].setString(codTarea);
        m_second[7].setString(abrevXade);
        m_nomAsg2->post();
        ++m_count2;
    }

    RunState& m_run;
    std::unique_ptr<Table> m_nomAsg;
    std::unique_ptr<Table> m_nomAsg2;
    std::vector<FieldRef> m_first;  // ASIGNOMT's fields in table order
    std::vector<FieldRef> m_second; // ASIGNOMT2's
    codes::GivenCodes m_given{true};
    codes::CandidateSearch m_search;
    KeyTable<std::string> m_codeOfLongCode;
    KeySet m_storedCods; // every COD of ASIGNOMT, as stored
    const int m_codWidth = widthOf(layouts::ASIGNOMT, "COD");
    std::int64_t m_count = 0;
    std::int64_t m_count2 = 0;
};

KeySet schoolCourseCodes(Table& cursos)
{
    KeySet out;
    FieldRef cod = cursos.fieldByName("CODCURSO");
    for (cursos.first(); !cursos.eof(); cursos.next())
        out.insert(cod.asString());
    return out;
}

} // namespace

void DatosMaterias(RunState& run)
{
    if (!run.csvFileExists(files::kCentreSubjects)) {
        inputMissing(run, msg::kNoCentreSubjects);
        return;
    }
    std::optional<DataLines> lines(std::in_place, run.csvFile(files::kCentreSubjects));
    rebuildTable(run.workFolder, layouts::ASIGNOMT);
    rebuildTable(run.workFolder, layouts::ASIGNOMT2);
    SubjectWriter writer(run);
    FieldList f;
    while (lines->next(f))
        writer.subjectLine(f);
    lines.reset();

    if (!run.csvFileExists(files::kGeneralSubjects)) {
        inputMissing(run, msg::kNoGeneralSubjects);
        writer.close();
        return;
    }
    lines.emplace(run.csvFile(files::kGeneralSubjects));
    Table& cursos = run.table(Handle::wwTableCursos, true);
    const KeySet courses = schoolCourseCodes(cursos);
    const int courseWidth = widthOf(layouts::CURSOST, "CODCURSO");
    // The general file is long and names many courses, so its lines are read a block ahead and
    // the places of their courses in the table fetched together.
    lines->readAhead(
        [&](const FieldList& line) {
            if (line.count() > 1)
                courses.prefetch(codes::storedForm(line[1], courseWidth));
        },
        [&](const FieldList& line) {
            // Lines of courses the school does not have are kept only when they carry a task code.
            if (!courses.contains(codes::storedForm(line[1], courseWidth)) && line[2] == "0")
                return;
            writer.subjectLine(line);
        });
    lines.reset();

    if (!run.csvFileExists(files::kActivities)) {
        inputMissing(run, msg::kNoActivities);
        writer.close();
        cursos.close();
        return;
    }
    lines.emplace(run.csvFile(files::kActivities));
    while (lines->next(f))
        writer.activityLine(f);
    writer.close();
    cursos.close();
}

} // namespace conv::import
