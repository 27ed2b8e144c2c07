#include "export/Export.h"
#include "export/Lookup.h"
#include "export/Rules.h"

#include "tables/Layouts.h"
#include "text/Ansi.h"

#include <unordered_map>

namespace conv::exporter
{
namespace
{

/// What GRUPOST gives a class: the first group record whose ABREV equals the class's group.
struct GroupInfo
{
    std::string text;   ///< NOMEABREVSUBGRUXADE, else NOMEABREVGRUPXADE
    std::string course; ///< CODCURSOXADE
};

/// The groups by ABREV as read (compared exactly, letter case significant), first record
/// first. GRUPOST does not change during the export, so one pass gives what a walk from the
/// first record for every class would find.
std::unordered_map<std::string, GroupInfo> readGroups(Table& grupos)
{
    std::unordered_map<std::string, GroupInfo> groups;
    FieldRef abrev = grupos.fieldByName("ABREV");
    FieldRef subgroup = grupos.fieldByName("NOMEABREVSUBGRUXADE");
    FieldRef group = grupos.fieldByName("NOMEABREVGRUPXADE");
    FieldRef course = grupos.fieldByName("CODCURSOXADE");
    for (grupos.first(); !grupos.eof(); grupos.next()) {
        std::string key = abrev.asString();
        if (groups.count(key))
            continue;
        std::string text = subgroup.asString();
        if (text.empty())
            text = group.asString();
        groups.emplace(std::move(key), GroupInfo{std::move(text), course.asString()});
    }
    return groups;
}

/// The HORAINI of every template record in HORA order.
std::vector<std::string> readStartTimes(RunState& run)
{
    auto plantilla = run.stageTable(layouts::PLANTILLA);
    plantilla->setIndexName("HORA");
    plantilla->open();
    std::vector<std::string> startTimes;
    FieldRef horaIni = plantilla->fieldByName("HORAINI");
    for (; !plantilla->eof(); plantilla->next())
        startTimes.push_back(horaIni.asString());
    plantilla->close();
    return startTimes;
}

/// The walk through SOLUC, one record at a time, appending the lines to HORARIOXADECSV.
class TimetableWriter
{
public:
    TimetableWriter(RunState& run, Table& horario, ExportReport& report)
        : m_run(run)
        , m_horario(horario)
        , m_report(report)
        , m_startTimes(readStartTimes(run))
        , m_groups(readGroups(run.table(Handle::wwTableGrupos)))
        , m_subjects(run.table(Handle::wwTableNomAsg2), "COD;CODCURSO", "ABREVXADE")
        , m_partPeriods(run.table(Handle::wwTableDiasHorasT), "DIA;HORA", "HORADESDE")
        , m_nlin(horario.fieldByName("NLIN"))
        , m_diasem(horario.fieldByName("DIASEM"))
        , m_horaini(horario.fieldByName("HORAINI"))
        , m_grupo(horario.fieldByName("GRUPO_SUBGRU"))
        , m_materia(horario.fieldByName("MATERIA"))
        , m_profesor(horario.fieldByName("PROFESOR"))
        , m_reservado(horario.fieldByName("RESERVADO"))
        , m_aula(horario.fieldByName("AULA"))
    {
    }

    void run()
    {
        Table& soluc = m_run.table(Handle::wwTableSoluc);
        FieldRef dia = soluc.fieldByName("DIA");
        FieldRef asig = soluc.fieldByName("ASIG");
        FieldRef prof = soluc.fieldByName("PROF");
        FieldRef codGrupo = soluc.fieldByName("CODGRUPO");
        FieldRef aula = soluc.fieldByName("AULA");
        FieldRef hora = soluc.fieldByName("HORA");
        FieldRef sesiones = soluc.fieldByName("SESIONES");
        Table& profesores = m_run.table(Handle::wwTableProfesor);
        FieldRef nombre = profesores.fieldByName("NOMBRE");

        // Each class passed over is kept with its reason, so the user can find it in the timetable.
        const auto passOver = [&](PassedOver::Reason reason, std::int64_t& count) {
            ++count;
            m_report.passedOver.push_back({reason, dia.asString(), hora.asString(), codGrupo.asString(),
                                           asig.asString(), prof.asString(), aula.asString(), sesiones.asString()});
        };
        for (soluc.first(); !soluc.eof(); soluc.next()) {
            ++m_report.classes;
            const std::int32_t d = dia.asInteger();
            if (d == 0) {
                passOver(PassedOver::Reason::DayZero, m_report.dayZero);
                continue;
            }
            // A day XADE has no name for would give a line it cannot place.
            if (dayName(d).empty()) {
                passOver(PassedOver::Reason::BadDay, m_report.badDay);
                continue;
            }
            const std::string subject = asig.asString();
            const std::string teacher = prof.asString();
            const std::string group = codGrupo.asString();
            const std::string room = aula.asString();
            const std::int32_t p = hora.asInteger();
            const std::string_view day = dayName(d);

            // PROFT does not change during the export: each code is looked up once, on its index.
            auto known = m_teachers.find(teacher);
            if (known == m_teachers.end()) {
                std::optional<std::string> name;
                if (profesores.findKey(teacher))
                    name = nombre.asString();
                known = m_teachers.emplace(teacher, std::move(name)).first;
            }
            if (!known->second) {
                passOver(PassedOver::Reason::NoTeacher, m_report.noTeacher);
                continue;
            }
            const std::string& teacherName = *known->second;
            const std::int32_t n = sesiones.asInteger();
            const double s = sesiones.asFloat();
            const double h = hora.asFloat();

            static const GroupInfo kNoGroup;
            const auto g = m_groups.find(group);
            const GroupInfo& info = g == m_groups.end() ? kNoGroup : g->second;

            const std::optional<std::string> subjectText = m_subjects.find({subject, info.course});
            if (!subjectText) {
                passOver(PassedOver::Reason::NoSubject, m_report.noSubject);
                continue;
            }
            // No period to write: counted, so that a class never goes without a word.
            if (s <= 0) {
                passOver(PassedOver::Reason::NoPeriods, m_report.noPeriods);
                continue;
            }
            if (g == m_groups.end())
                ++m_report.noGroup;

            Line line{day, info.text, *subjectText, teacherName, room};
            if (hasFraction(s)) {
                std::string start;
                if (const std::optional<std::int32_t> k = partPeriodNumber(h))
                    start = m_partPeriods.find({std::to_string(d), std::to_string(*k)}).value_or("");
                write(line, start);
            } else {
                for (std::int32_t j = 0; j < n; ++j)
                    write(line, startTimeAt(m_startTimes, std::int64_t(p) + j));
            }
        }
    }

private:
    struct Line
    {
        std::string_view day;
        std::string_view group;
        std::string_view subject;
        std::string_view teacher;
        std::string_view room;
    };

    void write(const Line& line, std::string_view start)
    {
        ++m_counter;
        m_horario.append();
        m_nlin.setInteger(m_counter);
        m_diasem.setString(line.day);
        m_horaini.setString(start);
        m_grupo.setString(line.group);
        m_materia.setString(line.subject);
        m_profesor.setString(line.teacher);
        m_reservado.setString("");
        m_aula.setString(line.room);
        m_horario.post();
    }

    RunState& m_run;
    Table& m_horario;
    ExportReport& m_report;
    std::vector<std::string> m_startTimes;
    std::unordered_map<std::string, GroupInfo> m_groups;
    std::unordered_map<std::string, std::optional<std::string>> m_teachers;
    LocateIndex m_subjects;
    LocateIndex m_partPeriods;
    std::int32_t m_counter = 0;
    FieldRef m_nlin, m_diasem, m_horaini, m_grupo, m_materia, m_profesor, m_reservado, m_aula;
};

/// The lines of HORARIO.CSV, one per record of HORARIOXADECSV in record order.
std::string horarioBytes(Table& horario, std::int64_t& lines)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(horario.recordCount()) * 96);
    FieldRef fields[] = {horario.fieldByName("NLIN"),      horario.fieldByName("DIASEM"),
                         horario.fieldByName("HORAINI"),   horario.fieldByName("GRUPO_SUBGRU"),
                         horario.fieldByName("MATERIA"),   horario.fieldByName("PROFESOR"),
                         horario.fieldByName("RESERVADO"), horario.fieldByName("AULA")};
    std::string values[8];
    lines = 0;
    for (horario.first(); !horario.eof(); horario.next()) {
        HorarioValues view;
        for (std::size_t i = 0; i < 8; ++i) {
            values[i] = fields[i].asString();
            view[i] = values[i];
        }
        appendHorarioLine(bytes, view);
        ++lines;
    }
    return bytes;
}

} // namespace

std::string nothingWrittenText(const ExportReport& r)
{
    const auto n = [](std::int64_t v) { return std::to_string(v); };
    return "HORARIO.CSV no se ha modificado: ninguna de las " + n(r.classes) +
        " clases de SOLUC se puede exportar (d\xED" "a 0: " + n(r.dayZero) + "; d\xED" "a fuera de 1 a 7: " + n(r.badDay) +
        "; profesor que no est\xE1 en PROFT: " + n(r.noTeacher) + "; materia que no est\xE1 en ASIGNOMT2: " +
        n(r.noSubject) + "; SESIONES 0 o menos: " + n(r.noPeriods) + ").";
}

RowList passedOverList(const ExportReport& r)
{
    RowList list;
    list.caption = kPassedOverCaption;
    list.intro = kPassedOverIntro;
    list.columns = {"motivo", "día", "hora", "grupo", "materia", "profesor", "aula", "sesiones"};
    list.rows.reserve(r.passedOver.size());
    for (const PassedOver& p : r.passedOver) {
        const char* why = "";
        switch (p.reason) {
        case PassedOver::Reason::DayZero: why = "día 0"; break;
        case PassedOver::Reason::BadDay: why = "día fuera de 1 a 7"; break;
        case PassedOver::Reason::NoTeacher: why = "profesor que no está en PROFT"; break;
        case PassedOver::Reason::NoSubject: why = "materia que no está en ASIGNOMT2"; break;
        case PassedOver::Reason::NoPeriods: why = "SESIONES 0 o menos"; break;
        }
        list.rows.push_back({why, ansiToUtf8(p.dia), ansiToUtf8(p.hora), ansiToUtf8(p.grupo), ansiToUtf8(p.asig),
                             ansiToUtf8(p.prof), ansiToUtf8(p.aula), ansiToUtf8(p.sesiones)});
    }
    list.marked.assign(list.rows.size(), false);
    return list;
}

void Importar2(RunState& run, ExportReport* given)
{
    ExportReport local;
    ExportReport& report = given ? *given : local;
    report = {};
    constexpr Handle kHandlesUsed[] = {Handle::wwTableSoluc,   Handle::wwTableGrupos,  Handle::wwTableProfesor,
                                       Handle::wwTableAulas,   Handle::wwTableNomAsg2, Handle::wwTableDiasHorasT};
    for (Handle h : kHandlesUsed)
        run.table(h, true);
    run.table(Handle::wwTableSoluc).first();

    auto horario = run.stageTable(layouts::HORARIOXADECSV);
    horario->deleteTable();
    horario->createTable();
    horario->open();

    TimetableWriter(run, *horario, report).run();

    for (Handle h : kHandlesUsed)
        run.release(h);

    std::string bytes = horarioBytes(*horario, report.lines);
    run.countWritten("HORARIOXADECSV", report.lines);
    // The work table is put on the disk first: once HORARIO.CSV is replaced, nothing is left
    // that could fail and report an export whose file is already new.
    horario->close();
    horario.reset();
    // A timetable whose every class was passed over would replace a good HORARIO.CSV by an empty
    // one: the file stays as it was and the user is told why.
    const bool nothingWritten = report.classes > 0 && report.lines == 0;
    if (!nothingWritten) {
        // Written whole and put in place in one step: XADE never finds half a timetable.
        const std::filesystem::path target = run.csvFolder() / kHorarioCsv;
        removeAbandonedTemporaries(target);
        replaceFileWhole(target, bytes);
        report.horarioCsv = target;
    }
    run.conversionFinished();

    run.ErrorProceso = 0;
    run.feedback.setBusy(false);
    // Which classes were passed over, before the message with their counts.
    if (!report.passedOver.empty())
        run.feedback.showList(passedOverList(report));
    if (nothingWritten) {
        run.feedback.notice(nothingWrittenText(report));
    } else {
        run.Transformado = 1;
        run.feedback.notice(kFinished);
    }
    run.feedback.change(UiChange::DisableImportar);
    run.feedback.change(UiChange::DisableExportar);
    if (run.embedded())
        run.feedback.change(UiChange::CloseWindow);
}

} // namespace conv::exporter
