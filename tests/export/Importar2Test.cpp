#include "export/ExportFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace conv::test
{
namespace
{

namespace fs = std::filesystem;
using exporter::BImportarClick;
using exporter::ExportReport;

Row clase(const char* asig, const char* prof, const char* grupo, const char* aula, double dia, double hora,
          double sesiones)
{
    return {{"ASIG", std::string(asig)},
            {"PROF", std::string(prof)},
            {"CODGRUPO", std::string(grupo)},
            {"AULA", std::string(aula)},
            {"DIA", dia},
            {"HORA", hora},
            {"SESIONES", sesiones}};
}

Row grupo(const char* abrev, const char* nomeAbrevGrupo, const char* nomeAbrevSubgrupo, const char* curso)
{
    return {{"ABREV", std::string(abrev)},
            {"NOMEABREVGRUPXADE", std::string(nomeAbrevGrupo)},
            {"NOMEABREVSUBGRUXADE", std::string(nomeAbrevSubgrupo)},
            {"CODCURSOXADE", std::string(curso)}};
}

Row materia(const char* cod, const char* curso, const char* abrevXade)
{
    return {{"COD", std::string(cod)}, {"CODCURSO", std::string(curso)}, {"ABREVXADE", std::string(abrevXade)}};
}

Row profesor(const char* abrev, const char* nombre)
{
    return {{"ABREV", std::string(abrev)}, {"NOMBRE", std::string(nombre)}};
}

Row periodo(const char* dia, const char* hora, const char* desde)
{
    return {{"DIA", std::string(dia)}, {"HORA", std::string(hora)}, {"HORADESDE", std::string(desde)}};
}

/// A small school: the tables the import leaves, a template of six periods whose records are
/// appended out of HORA order, and a DIASHORAST with part periods on day 2.
class Export : public ExportFixture, public ::testing::Test
{
protected:
    Export()
    {
        table(layouts::GRUPOST,
              {grupo("G1", "1ESO-A", "", "C1"), grupo("G1S", "1ESO-A", "1ESO-A-DES", "C1"),
               grupo("G1", "OTRO", "", "C9"), grupo("g1", "1eso-b", "", "C2")});
        table(layouts::ASIGNOMT2,
              {materia("MAT", "C2", "Mat C2"), materia("MAT", "C1", "MAT1"),
               materia("TIT", "",
                       "Titor\xED"
                       "a"),
               materia("MAT", "C1", "OTRA")});
        table(layouts::PROFT, {profesor("P2", "Xan \"O Vello\", mestre"), profesor("P1", "Ana P\xE9rez")});
        table(layouts::AULAT, {});
        table(layouts::DIASHORAST,
              {periodo("1", "1", "08:00:00"), periodo("2", "4", "10:30:00"), periodo("2", "5", "11:30:00"),
               periodo("2", "04", "99:99:99")});
        std::vector<Row> plantilla = hourlyTemplate(6);
        std::swap(plantilla[0], plantilla[5]);
        std::swap(plantilla[1], plantilla[3]);
        table(layouts::PLANTILLA, plantilla);
    }

    bool exportAll(ExportReport* report = nullptr)
    {
        return runHandler(feedback, [&] { BImportarClick(run, csv.string(), report); });
    }

    RunState run{feedback, work};
};

std::string line(const char* nlin, const char* dia, const char* ini, const char* grupo, const char* materia,
                 const char* prof, const char* aula)
{
    return std::string("\"") + nlin + "\",\"" + dia + "\",\"" + ini + "\",\"" + grupo + "\",\"" + materia + "\",\"" +
        prof + "\",\"\",\"" + aula + "\"\r\n";
}

TEST_F(Export, EveryRuleOfTheTimetable)
{
    table(layouts::SOLUC,
          {
              clase("MAT", "P1", "G1", "A1", 1, 3, 2),       // two lines, positions 3 and 4
              clase("MAT", "P1", "G1S", "LAB", 2, 2.5, 1.5), // part period: DIASHORAST day 2 period 4
              clase("MAT", "P1", "G1", "A1", 2, 3, 1.5),     // period 5
              clase("MAT", "P1", "G1", "A1", 3, 2, 0.5),     // period 3 of day 3: none, empty start
              clase("MAT", "P1", "G1", "A1", 4, 2.5, 1),     // whole: 2.5 rounds to 2
              clase("MAT", "P1", "G1", "A1", 5, 3.5, 1),     // whole: 3.5 rounds to 4
              clase("MAT", "P1", "G1", "A1", 1, 1, 0),       // no period: passed over
              clase("MAT", "P1", "G1", "A1", 0, 1, 1),       // day 0: passed over
              clase("MAT", "P9", "G1", "A1", 1, 1, 1),       // teacher unknown: passed over
              clase("FIS", "P1", "G1", "A1", 1, 1, 1),       // subject unknown for C1: passed over
              clase("MAT", "P1", "GX", "A1", 1, 1, 1),       // no group: MAT with an empty course, none
              clase("TIT", "P2", "GX", "A2", 6, 1, 1),       // no group: the activity with an empty course
              clase("MAT", "P1", "G1", "A1", 8, 1, 1),       // day 8: no name, passed over
              clase("MAT", "P1", "g1", "A\"3", 7, 6, 1),     // letter case of the group; quote in the room
          });
    ExportReport report;
    ASSERT_TRUE(exportAll(&report)) << feedback.log.back();
    const std::string expected = line("1", "Luns", "10:00", "1ESO-A", "MAT1", "Ana P\xE9rez", "A1") +
        line("2", "Luns", "11:00", "1ESO-A", "MAT1", "Ana P\xE9rez", "A1") +
        line("3", "Martes", "10:30", "1ESO-A-DES", "MAT1", "Ana P\xE9rez", "LAB") +
        line("4", "Martes", "11:30", "1ESO-A", "MAT1", "Ana P\xE9rez", "A1") +
        line("5", "M\xE9rcores", "", "1ESO-A", "MAT1", "Ana P\xE9rez", "A1") +
        line("6", "Xoves", "09:00", "1ESO-A", "MAT1", "Ana P\xE9rez", "A1") +
        line("7", "Venres", "11:00", "1ESO-A", "MAT1", "Ana P\xE9rez", "A1") +
        line("8",
             "S\xE1"
             "bado",
             "08:00", "",
             "Titor\xED"
             "a",
             "Xan \"\"O Vello\"\", mestre", "A2") +
        line("9", "Domingo", "13:00", "1eso-b", "Mat C2", "Ana P\xE9rez", "A\"\"3");
    EXPECT_EQ(horario(), expected);
    EXPECT_EQ(dump(layouts::HORARIOXADECSV).size(), 9u);
    EXPECT_EQ(dump(layouts::HORARIOXADECSV)[7],
              "8|S\xE1"
              "bado|08:00||Titor\xED"
              "a|Xan \"O Vello\", mestre||A2");

    EXPECT_EQ(report.lines, 9);
    EXPECT_EQ(report.classes, 14);
    EXPECT_EQ(report.dayZero, 1);
    EXPECT_EQ(report.badDay, 1);
    EXPECT_EQ(report.noTeacher, 1);
    EXPECT_EQ(report.noSubject, 2);
    EXPECT_EQ(report.noPeriods, 1);
    EXPECT_EQ(report.noGroup, 1); // the other class without a group was passed over
}

TEST_F(Export, EndStateStandaloneAndEmbedded)
{
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 1, 1, 1)});
    run.Transformado = -1;
    ASSERT_TRUE(exportAll());
    EXPECT_EQ(run.Transformado, 1);
    EXPECT_EQ(run.ErrorProceso, 0);
    EXPECT_EQ(feedback.log,
              (std::vector<std::string>{"template", "busy: 1", "busy: 0", "notice: Proceso finalizado",
                                        "change: " + std::to_string(int(UiChange::DisableImportar)),
                                        "change: " + std::to_string(int(UiChange::DisableExportar))}));
    // The six handles are released for the rest of the program's life.
    EXPECT_FALSE(run.holds(Handle::wwTableSoluc));
    EXPECT_FALSE(run.holds(Handle::wwTableGrupos));
    EXPECT_FALSE(run.holds(Handle::wwTableProfesor));
    EXPECT_FALSE(run.holds(Handle::wwTableAulas));
    EXPECT_FALSE(run.holds(Handle::wwTableNomAsg2));
    EXPECT_FALSE(run.holds(Handle::wwTableDiasHorasT));

    run.workLock.reset(); // the first program has ended
    RecordingFeedback embeddedFeedback;
    RunState embedded(embeddedFeedback, work);
    embedded.NumParametros = 2;
    ASSERT_TRUE(runHandler(embeddedFeedback, [&] { BImportarClick(embedded, csv.string()); }));
    EXPECT_EQ(embedded.Transformado, 1);
    EXPECT_EQ(embeddedFeedback.changes.back(), UiChange::CloseWindow);
}

// SOLUC holds classes but every one is passed over: an empty HORARIO.CSV would replace a good
// one, so the file stays as it was, the user is told why and the status stays unset.
TEST_F(Export, NoClassWrittenLeavesHorarioAsItWasAndSaysWhy)
{
    struct Case
    {
        const char* name;
        std::vector<Row> soluc;
        std::int64_t ExportReport::*counter;
    };
    const Case cases[] = {
        {"day 0", {clase("MAT", "P1", "G1", "A1", 0, 1, 1), clase("MAT", "P1", "G1", "A1", 0, 2, 1)},
         &ExportReport::dayZero},
        {"day outside 1..7", {clase("MAT", "P1", "G1", "A1", 8, 1, 1), clase("MAT", "P1", "G1", "A1", -1, 2, 1)},
         &ExportReport::badDay},
        {"teacher unknown", {clase("MAT", "P7", "G1", "A1", 1, 1, 1), clase("MAT", "", "G1", "A1", 2, 2, 1)},
         &ExportReport::noTeacher},
        {"subject unknown", {clase("FIS", "P1", "G1", "A1", 1, 1, 1), clase("MAT", "P1", "GX", "A1", 2, 2, 1)},
         &ExportReport::noSubject},
        {"no period", {clase("MAT", "P1", "G1", "A1", 1, 1, 0), clase("MAT", "P1", "G1", "A1", 2, 2, -2)},
         &ExportReport::noPeriods},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        table(layouts::SOLUC, c.soluc);
        std::ofstream(csv / "HORARIO.CSV", std::ios::trunc) << "an older timetable";
        RecordingFeedback shown;
        RunState again(shown, work);
        ExportReport report;
        ASSERT_TRUE(runHandler(shown, [&] { BImportarClick(again, csv.string(), &report); }));
        EXPECT_EQ(horario(), "an older timetable");
        EXPECT_EQ(again.Transformado, 0);
        EXPECT_EQ(report.classes, 2);
        EXPECT_EQ(report.lines, 0);
        EXPECT_EQ(report.*c.counter, 2);
        EXPECT_TRUE(report.horarioCsv.empty());
        ASSERT_EQ(shown.notices.size(), 1u);
        EXPECT_EQ(shown.notices[0], exporter::nothingWrittenText(report));
    }
    ExportReport counts;
    counts.classes = 9;
    counts.dayZero = 1;
    counts.badDay = 2;
    counts.noTeacher = 3;
    counts.noSubject = 1;
    counts.noPeriods = 1;
    EXPECT_EQ(exporter::nothingWrittenText(counts),
              "HORARIO.CSV no se ha modificado: ninguna de las 9 clases de SOLUC se puede exportar (d\xED" "a 0: 1; "
              "d\xED" "a fuera de 1 a 7: 2; profesor que no est\xE1 en PROFT: 3; materia que no est\xE1 en ASIGNOMT2: 1; "
              "SESIONES 0 o menos: 1).");
}

TEST_F(Export, TheUsersTemplateCorrectionIsWhatTheExportUses)
{
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 1, 2, 1)});
    feedback.onCheckTemplate = [](const fs::path& workFolder) {
        Table plantilla(workFolder, "PLANTILLA.DBF");
        plantilla.open();
        ASSERT_TRUE(plantilla.locate("HORA", std::int32_t(2)));
        plantilla.edit();
        plantilla.fieldByName("HORAINI").setString("09:15");
        plantilla.post();
    };
    ASSERT_TRUE(exportAll());
    EXPECT_EQ(horario(), line("1", "Luns", "09:15", "1ESO-A", "MAT1", "Ana P\xE9rez", "A1"));
}

TEST_F(Export, MissingFolder)
{
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 1, 1, 1)});
    ASSERT_TRUE(runHandler(feedback, [&] { BImportarClick(run, (dir / "none").string()); }));
    EXPECT_EQ(feedback.log, (std::vector<std::string>{"notice: No existe la carpeta"}));
    EXPECT_EQ(run.Transformado, 0);
    EXPECT_FALSE(fs::exists(work / "HORARIOXADECSV.DBF"));

    run.workLock.reset(); // the first program has ended
    RecordingFeedback embeddedFeedback;
    RunState embedded(embeddedFeedback, work);
    embedded.NumParametros = 2;
    embedded.Transformado = 1;
    BImportarClick(embedded, "");
    EXPECT_EQ(embedded.Transformado, 0);
    EXPECT_EQ(embeddedFeedback.changes, std::vector<UiChange>{UiChange::CloseWindow});
}

TEST_F(Export, EmptyTimetableGivesAnEmptyFile)
{
    table(layouts::SOLUC, {});
    std::ofstream(csv / "HORARIO.CSV") << "an older timetable";
    ASSERT_TRUE(exportAll());
    EXPECT_TRUE(fs::exists(csv / "HORARIO.CSV"));
    EXPECT_EQ(horario(), "");
    EXPECT_EQ(run.Transformado, 1);
}

TEST_F(Export, PositionPastTheTemplateEndsTheExportLeavingHorarioAsItWas)
{
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 1, 5, 3), clase("MAT", "P1", "G1", "A1", 1, 1, 1)});
    std::ofstream(csv / "HORARIO.CSV") << "an older timetable";
    EXPECT_FALSE(exportAll());
    EXPECT_EQ(feedback.errors, std::vector<std::string>{"List index out of bounds (6)"});
    EXPECT_EQ(horario(), "an older timetable");
    EXPECT_EQ(run.Transformado, 0);
    // The lines posted until then stay in the work table.
    EXPECT_EQ(dump(layouts::HORARIOXADECSV).size(), 2u);

    // The ended run left its tables open, as the window would; a later start finds them free.
    run.releaseAll();
    run.workLock.reset();
    RecordingFeedback second;
    RunState again(second, work);
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 1, 0, 1)});
    EXPECT_FALSE(runHandler(second, [&] { BImportarClick(again, csv.string()); }));
    EXPECT_EQ(second.errors, std::vector<std::string>{"List index out of bounds (-1)"});
    EXPECT_EQ(second.notices, std::vector<std::string>{kUnfinishedExport}); // the first one ended in an error
}

TEST_F(Export, WithoutDiasHorasTheExportStopsAtItsOpening)
{
    fs::remove(work / "DIASHORAST.DBF");
    fs::remove(work / "PLANTILLA.DBF");
    fs::remove(work / "PLANTILLA.MDX");
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 1, 1, 1)});
    EXPECT_FALSE(exportAll());
    ASSERT_EQ(feedback.errors.size(), 1u);
    EXPECT_EQ(run.Transformado, 0);
    EXPECT_FALSE(fs::exists(csv / "HORARIO.CSV"));
    EXPECT_FALSE(fs::exists(work / "HORARIOXADECSV.DBF"));
    // The default template was built and is what later runs use.
    EXPECT_EQ(dump(layouts::PLANTILLA).size(), 20u);
}

TEST_F(Export, AFailureToWriteHorarioIsReportedAndLeavesTheStatusUnset)
{
    table(layouts::SOLUC, {}); // no line: the file would be empty
    fs::create_directories(csv / "HORARIO.CSV" / "in the way");
    EXPECT_FALSE(exportAll());
    ASSERT_EQ(feedback.errors.size(), 1u);
    // The system's text, and the file it arose on.
    const std::string& error = feedback.errors[0];
    const std::size_t firstLineEnd = error.find('\n');
    ASSERT_NE(firstLineEnd, std::string::npos) << error;
    EXPECT_EQ(error[firstLineEnd - 1], '.');
    EXPECT_EQ(error.substr(firstLineEnd), "\nFile: " + (csv / "HORARIO.CSV").string());
    EXPECT_EQ(run.Transformado, 0);
    EXPECT_TRUE(feedback.notices.empty());
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(csv))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"HORARIO.CSV"});
}

TEST_F(Export, ErrorProcesoSetSkipsTheExport)
{
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 1, 1, 1)});
    run.ErrorProceso = 1;
    ASSERT_TRUE(exportAll());
    EXPECT_FALSE(fs::exists(csv / "HORARIO.CSV"));
    EXPECT_EQ(run.Transformado, 0);
}

TEST_F(Export, AnOutsideCsvReaderReadsEightFieldsPerLine)
{
    table(layouts::SOLUC, {clase("MAT", "P1", "G1", "A1", 3, 1, 2), clase("TIT", "P2", "GX", "A\"3", 6, 2, 1)});
    ASSERT_TRUE(exportAll());
    if (std::system("python3 --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no python3 here";
    const fs::path script = dir.write("read.py",
                                      "import csv, sys\n"
                                      "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='cp1252')))\n"
                                      "assert all(len(r) == 8 for r in rows), rows\n"
                                      "assert rows[2][5] == 'Xan \"O Vello\", mestre', rows[2]\n"
                                      "assert rows[2][7] == 'A\"3', rows[2]\n"
                                      "assert rows[0][1] == 'M\\u00e9rcores', rows[0]\n"
                                      "print(len(rows))\n");
    const std::string command = "python3 '" + script.string() + "' '" + (csv / "HORARIO.CSV").string() + "' > '" +
        (dir / "out.txt").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(fileBytes(dir / "out.txt"), "3\n");
}

} // namespace
} // namespace conv::test

namespace conv::test
{
namespace
{

TEST(ExportForeignLayout, NumericDayAndPeriodFieldsAndWiderCodesAreSearchedAsWell)
{
    // The timetable program's own files may declare more fields, other widths and other kinds.
    ExportFixture f;
    f.table(layouts::GRUPOST, {grupo("GRUPOLONGO", "1A", "", "C1")});
    f.table(layouts::ASIGNOMT2, {materia("MATEMATICA", "C1", "MAT")});
    f.table(layouts::PROFT, {profesor("PROF-LONGO", "Ana")});
    f.table(layouts::AULAT, {});
    f.table(layouts::PLANTILLA, hourlyTemplate(2));
    const FieldDef dias[] = {{"DIA", FieldKind::Float, 0},
                             {"HORA", FieldKind::Integer, 0},
                             {"HORADESDE", FieldKind::Text, 8},
                             {"EXTRA", FieldKind::Text, 3}};
    const FieldDef soluc[] = {{"ASIG", FieldKind::Text, 12},     {"PROF", FieldKind::Text, 12},
                              {"CODGRUPO", FieldKind::Text, 12}, {"AULA", FieldKind::Text, 12},
                              {"DIA", FieldKind::Integer, 0},    {"HORA", FieldKind::Float, 0},
                              {"SESIONES", FieldKind::Float, 0}, {"OTRO", FieldKind::Logical, 0}};
    const TableLayout diasLayout{"DIASHORAST", dias, {}};
    const TableLayout solucLayout{"SOLUC", soluc, {}};
    f.table(diasLayout, {{{"DIA", 2.0}, {"HORA", std::int32_t(4)}, {"HORADESDE", std::string("10:30:00")}}});
    f.table(solucLayout,
            {clase("MATEMATICA", "PROF-LONGO", "GRUPOLONGO", "AULA-LONGA", 2, 2.5, 1.5),
             clase("MATEMATICA", "PROF-LONGO", "GRUPOLONGO", "AULA-LONGA", 2, 1, 2)});
    RunState run(f.feedback, f.work);
    ASSERT_TRUE(runHandler(f.feedback, [&] { BImportarClick(run, f.csv.string()); })) << f.feedback.log.back();
    EXPECT_EQ(f.horario(),
              line("1", "Martes", "10:30", "1A", "MAT", "Ana", "AULA-LONGA") +
                  line("2", "Martes", "08:00", "1A", "MAT", "Ana", "AULA-LONGA") +
                  line("3", "Martes", "09:00", "1A", "MAT", "Ana", "AULA-LONGA"));
}

} // namespace
} // namespace conv::test
