#include "support/CliRun.h"
#include "support/Environment.h"
#include "support/TempDir.h"

#include "export/Export.h"
#include "import/Messages.h"
#include "import/Preflight.h"
#include "lang/Language.h"
#include "lang/Messages.h"
#include "text/Ansi.h"
#include "run/Explain.h"
#include "run/Feedback.h"
#include "run/RunFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace conv
{
namespace
{

using lang::Language;

TEST(Language, TheVariableComesFirstThenTheInstallersChoiceThenTheUsersLanguage)
{
    struct Case
    {
        const char* variable;
        const char* remembered;
        std::vector<std::string> ui;
        Language expected;
    };
    const Case cases[] = {
        {"", "", {}, Language::Spanish},
        {"", "", {"gl_ES.UTF-8"}, Language::Galician},
        {"", "", {"gl-ES"}, Language::Galician},
        {"", "", {"GL"}, Language::Galician},
        {"", "", {"en_GB.UTF-8", "gl_ES.UTF-8"}, Language::Spanish}, // Galician is not the first choice
        {"", "", {"glx"}, Language::Spanish},
        {"", "es", {"gl_ES.UTF-8"}, Language::Spanish},
        {"", "gl", {"es_ES.UTF-8"}, Language::Galician},
        {"", "fr", {"gl_ES"}, Language::Galician}, // a remembered language we do not speak counts for nothing
        {"es", "gl", {"gl_ES"}, Language::Spanish},
        {"gl", "es", {"es_ES"}, Language::Galician},
        {"de", "", {"gl_ES"}, Language::Galician},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "|" + c.remembered + "|" + (c.ui.empty() ? "" : c.ui.front()));
        EXPECT_EQ(lang::choose(c.variable, c.remembered, c.ui), c.expected);
    }
}

// The installer's choice is read from the file beside the program, a line of its own.
TEST(Language, TheInstallersChoiceIsReadBesideTheProgram)
{
    test::TempDir program;
    test::ScopedVariable variable(lang::kLanguageVariable, std::nullopt);
    test::ScopedVariable all("LC_ALL", "C.UTF-8");
    EXPECT_EQ(lang::processLanguage(program.path()), Language::Spanish);
    std::ofstream(program.path() / lang::kLanguageFile) << "gl\r\n";
    EXPECT_EQ(lang::processLanguage(program.path()), Language::Galician);
    test::ScopedVariable chosen(lang::kLanguageVariable, "es");
    EXPECT_EQ(lang::processLanguage(program.path()), Language::Spanish);
}

// Every message the core shows has its Galician, also those with values in them; the lines the
// error box adds and the engine's English texts stay as they are; Spanish is the text itself.
TEST(CoreMessages, InGalicianWithTheirValuesAndTheEnginesTextsKept)
{
    exporter::ExportReport report;
    report.classes = 12;
    report.dayZero = 1;
    report.badDay = 2;
    report.noTeacher = 3;
    report.noSubject = 4;
    report.noPeriods = 2;
    struct Case
    {
        std::string spanish; // Windows-1252
        const char* galician; // UTF-8, as printed
    };
    const Case cases[] = {
        {msg::kFinished, "Proceso rematado"},
        {exporter::kNoFolder, "Non existe o cartafol"},
        {msg::kReuseText, "Xa hai niveis e cursos definidos nunha importación anterior.\n\rQuere recuperar os códigos "
                          "que escribiu entón?"},
        {exporter::nothingWrittenText(report),
         "HORARIO.CSV non se modificou: non se pode exportar ningunha das 12 clases de SOLUC (día 0: 1; día fóra de 1 "
         "a 7: 2; profesor que non está en PROFT: 3; materia que non está en ASIGNOMT2: 4; SESIONES 0 ou menos: 2)."},
        {std::string(kWorkFolderBusy) + "\nFile: /srv/VTEMP/TRANSXADE.RUN",
         "Outra conversión está a usar o cartafol de traballo. Agarde a que remate e ténteo de novo.\nFile: "
         "/srv/VTEMP/TRANSXADE.RUN"},
        {std::string(msg::kNoRooms) + ".", "Non existe o ficheiro de aulas (aulasCentro.CSV)."},
        {"Table is busy.\nFile: /srv/VTEMP/PROFT.DBF", "Table is busy.\nFile: /srv/VTEMP/PROFT.DBF"},
        {"HORARIO.CSV no se ha modificado: ninguna", "HORARIO.CSV no se ha modificado: ninguna"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.galician);
        EXPECT_EQ(ansiToUtf8(lang::localise(c.spanish, Language::Galician)), c.galician);
        EXPECT_EQ(lang::localise(c.spanish, Language::Spanish), c.spanish);
    }
    // No Spanish left: every message of the core is in the table, and its Galician differs.
    for (const char* spanish :
         {msg::kNoFolder, msg::kNoCalls, msg::kNoGroupsForCourses, msg::kNoCourseTable, msg::kNoGroups,
          msg::kNoGroupTable, msg::kNoSubgroups, msg::kNoCentreSubjects, msg::kNoGeneralSubjects, msg::kNoActivities,
          msg::kNoTeachers, msg::kNoRooms, msg::kFinished, msg::kReuseCaption, msg::kReuseText, kLevelWarning,
          exporter::kNoFolder, exporter::kFinished, kWorkFolderBusy, kUnfinishedImport, kUnfinishedExport}) {
        SCOPED_TRACE(ansiToUtf8(spanish));
        EXPECT_NE(lang::localise(spanish, Language::Galician), spanish);
    }
}

// The lists the window shows and the sentence an error box adds: in Galician for the window, as
// they are in Spanish (the saved list is the core's own).
TEST(CoreLists, TheReviewTheClassesPassedOverAndTheExplanationsInGalician)
{
    using import::Finding;
    const std::vector<Finding> findings = {
        {Finding::Kind::Loss, "gruposCentro.csv", 9, "",
         "El curso «1º ESO A» no está en la pantalla de niveles (su código «ESO1» figura con otro nombre): el grupo "
         "no se importa.",
         "x"},
        {Finding::Kind::EndsRun, "gruposCentro.csv", 4, "",
         "La línea tiene 3 campos y la importación necesita el campo 5 cuando se importe su convocatoria: se "
         "detendría con «List index out of bounds (4)» sin escribir nada más.",
         "a,b,c"},
        {Finding::Kind::Cut, "gruposCentro.csv", 5, "",
         "El código de curso «ABCDEFGHIJKL» tiene 12 caracteres y se guarda recortado a 10 en la pantalla de niveles "
         "(CURSOST).",
         "y"},
        {Finding::Kind::Cut, "aulasCentro.CSV", 2, "",
         "El código de empleado «12345678901» tiene 11 caracteres y se guarda recortado a 10.", "z"},
        {Finding::Kind::EndsRun, "aulasCentro.CSV", 3, "",
         "La línea está vacía y la importación necesita el campo 1: se detendría con «List index out of bounds (0)» "
         "sin escribir nada más.",
         ""},
    };
    const RowList review = import::reviewList(findings);
    const auto gl = [](const std::string& text) { return lang::localiseUtf8(text, Language::Galician); };
    EXPECT_EQ(gl(review.caption), "Revisión dos ficheiros de XADE");
    std::vector<std::string> columns;
    for (const std::string& c : review.columns)
        columns.push_back(gl(c));
    EXPECT_EQ(columns, (std::vector<std::string>{"ficheiro", "liña", "gravidade", "problema", "texto"}));
    const std::vector<std::vector<std::string>> expected = {
        {"detén", "A liña ten 3 campos e a importación necesita o campo 5 cando se importe a súa convocatoria: "
                  "deteríase con «List index out of bounds (4)» sen escribir nada máis."},
        {"detén", "A liña está baleira e a importación necesita o campo 1: deteríase con «List index out of bounds "
                  "(0)» sen escribir nada máis."},
        {"perde", "O curso «1º ESO A» non está na pantalla de niveis (o seu código «ESO1» figura con outro nome): o "
                  "grupo non se importa."},
        {"recorta", "O código de curso «ABCDEFGHIJKL» ten 12 caracteres e gárdase recortado a 10 na pantalla de "
                    "niveis (CURSOST)."},
        {"recorta", "O código de persoa empregada «12345678901» ten 11 caracteres e gárdase recortado a 10."},
    };
    ASSERT_EQ(review.rows.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        SCOPED_TRACE(review.rows[r][3]);
        EXPECT_EQ(gl(review.rows[r][2]), expected[r][0]);
        EXPECT_EQ(gl(review.rows[r][3]), expected[r][1]);
        EXPECT_EQ(gl(review.rows[r][4]), review.rows[r][4]); // the line as read
        for (const std::string& value : review.rows[r])
            EXPECT_EQ(lang::localiseUtf8(value, Language::Spanish), value);
    }

    exporter::ExportReport report;
    report.passedOver.push_back({exporter::PassedOver::Reason::BadDay, "9", "1", "1A", "MAT", "P1", "A1", "1"});
    const RowList passed = exporter::passedOverList(report);
    EXPECT_EQ(gl(passed.caption), "Clases que non se exportaron");
    EXPECT_EQ(gl(passed.intro), "Estas clases do horario de Vestrano non están en HORARIO.CSV. Corríxaas en Vestrano "
                                "e volva pasar o horario a XADE.");
    EXPECT_EQ(gl(passed.columns[7]), "sesións");
    EXPECT_EQ(gl(passed.rows[0][0]), "día fóra de 1 a 7");
    EXPECT_EQ(gl(passed.rows[0][3]), "1A");

    const auto say = [](std::string_view part) { return lang::localiseUtf8(part, Language::Galician); };
    const std::string box = "List index out of bounds (4).\nFile: /srv/xade/gruposCentro.csv\nLine: 7";
    EXPECT_EQ(explanationSentence(box, say),
              "Na liña 7 de gruposCentro.csv: a esa liña fáltanlle datos. Adoita pasar se o ficheiro se abriu e "
              "gardou cunha folla de cálculo. Exporte os ficheiros de XADE de novo, sen tocalos.");
    EXPECT_EQ(explanationSentence("Disk full.", say), "O disco está cheo. Libere espazo e repita.");
    const auto same = [](std::string_view part) { return lang::localiseUtf8(part, Language::Spanish); };
    EXPECT_EQ(explanationSentence(box, same), explanationSentence(box));
    for (const Explanation& e : explanations()) {
        SCOPED_TRACE(e.todo);
        EXPECT_NE(say(e.todo), e.todo);
    }
}

// The batch converter speaks the language TRANSXADE_LANG names: its help, its own messages and
// the core's; stdout's results stay as they are.
TEST(CliLanguage, HelpAndMessagesInEitherLanguage)
{
    test::TempDir empty;
    struct Case
    {
        std::vector<std::string> args;
        bool onStderr;
        const char* spanish;
        const char* galician;
    };
    const Case cases[] = {
        {{"--help"}, false, "Batch converter between XADE's CSV files", "Conversor por lotes entre os ficheiros CSV"},
        {{"--help"}, false, "Subcommands:", "Ordes:"},
        {{"import", "--help"}, false, "Exit status: 0 done", "Estado de saída: 0 feito"},
        {{"import", "--help"}, false, "--csv TEXT REQUIRED", "--csv TEXTO OBRIGATORIO"},
        {{"nosuch"}, true, "Unknown command: nosuch", "Orde descoñecida: nosuch"},
        {{"check", "--csv", (empty.path() / "none").string()}, true, "No existe la carpeta", "Non existe o cartafol"},
        {{"calls", "--csv", empty.path().string(), "--work", empty.path().string()}, true,
         "No existe archivo de Convocatorias(convocatoriasCentro.CSV)",
         "Non existe o ficheiro de convocatorias (convocatoriasCentro.CSV)"},
        // The engine's text stays in English; the sentence after it follows the language.
        {{"export", "--csv", empty.path().string(), "--work", empty.path().string()}, true,
         "SOLUC.DBF: Table does not exist.\nCon SOLUC.DBF: Falta una tabla en VTEMP.",
         "SOLUC.DBF: Table does not exist.\nCon SOLUC.DBF: Falta unha táboa en VTEMP."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.galician);
        for (const auto& [code, expected] : {std::pair("es", c.spanish), std::pair("gl", c.galician)}) {
            test::ScopedVariable chosen(lang::kLanguageVariable, code);
            const test::CliResult r = test::runCli(c.args);
            EXPECT_NE((c.onStderr ? r.err : r.out).find(expected), std::string::npos) << r.out << r.err;
        }
    }
}

// No English left in a Galician help: a described line of a command's Spanish help never
// comes out the same in Galician.
TEST(CliLanguage, EveryHelpTextHasItsGalician)
{
    const auto help = [](const char* code, std::vector<std::string> args) {
        test::ScopedVariable chosen(lang::kLanguageVariable, code);
        args.push_back("--help");
        return test::runCli(args).out;
    };
    std::vector<std::vector<std::string>> commands{{}};
    std::istringstream top(help("es", {}));
    bool listing = false;
    for (std::string line; std::getline(top, line);) {
        if (line == "Subcommands:")
            listing = true;
        else if (listing && line.size() > 2 && line[2] != ' ')
            commands.push_back({line.substr(2, line.find(' ', 2) - 2)});
    }
    ASSERT_GE(commands.size(), 9u);
    for (const auto& command : commands) {
        const std::string galician = help("gl", command);
        std::istringstream spanish(help("es", command));
        for (std::string line; std::getline(spanish, line);) {
            std::istringstream words(line);
            std::string word;
            int count = 0;
            while (words >> word)
                ++count;
            if (count < 3)
                continue;
            EXPECT_EQ(galician.find(line.substr(line.find_first_not_of(' '))), std::string::npos)
                << (command.empty() ? "transxade" : command.front()) << ": " << line;
        }
    }
}

} // namespace
} // namespace conv
