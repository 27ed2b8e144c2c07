#include "cli/CliFeedback.h"
#include "cli/CliTexts.h"
#include "cli/CommandContext.h"
#include "cli/Commands.h"
#include "platform/File.h"
#include "export/Export.h"
#include "run/RunState.h"
#include "tables/WorkFolder.h"

#include <fstream>
#include <memory>
#include <ostream>

namespace conv::cli
{
namespace
{

namespace fs = std::filesystem;

struct ExportOptions
{
    std::string csv;
    std::string work;
    std::string report;
};

/// Writes the classes passed over to `file`, as the window's list saves them. False (and why,
/// on `err`) when the file cannot be written.
bool writeReport(const exporter::ExportReport& r, const std::string& file, std::ostream& err, lang::Language language)
{
    const std::string bytes = rowListCsv(exporter::passedOverList(r));
    std::ofstream out(platform::pathFromText(file), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out)
        return true;
    err << say(language, "transxade: cannot write the report %1\n", {file});
    return false;
}

void printSummary(const exporter::ExportReport& r, std::ostream& out)
{
    if (!r.horarioCsv.empty())
        out << "HORARIO.CSV " << fs::absolute(r.horarioCsv).string() << '\n';
    out << "lines " << r.lines << '\n'
        << "classes " << r.classes << '\n'
        << "passed over, day 0: " << r.dayZero << '\n'
        << "passed over, day outside 1..7: " << r.badDay << '\n'
        << "passed over, teacher not in PROFT: " << r.noTeacher << '\n'
        << "passed over, subject not in ASIGNOMT2: " << r.noSubject << '\n'
        << "passed over, SESIONES 0 or less: " << r.noPeriods << '\n'
        << "group not in GRUPOST (written without one): " << r.noGroup << '\n';
}

int exportCommand(const ExportOptions& opt, std::ostream& out, std::ostream& err, lang::Language language)
{
    CliFeedback feedback(err, true, language);
    RunState run(feedback, opt.work.empty() ? defaultWorkFolder() : platform::pathFromText(opt.work));
    exporter::ExportReport report;
    if (!runHandler(feedback, [&] { exporter::BImportarClick(run, opt.csv, &report); }))
        return kExitError;
    if (!opt.report.empty() && !writeReport(report, opt.report, err, language))
        return kExitError;
    if (run.Transformado != 1) {
        // Either the CSV folder is missing, or SOLUC's classes were all passed over (the counts
        // say why; HORARIO.CSV stays as it was).
        if (report.classes > 0)
            printSummary(report, out);
        return kExitMissing;
    }
    printSummary(report, out);
    return kExitOk;
}

} // namespace

void addExportCommands(CLI::App& app, CommandContext& ctx)
{
    auto opt = std::make_shared<ExportOptions>();
    CLI::App* exp = app.add_subcommand(
        "export",
        ctx.say(
            "Write the finished timetable (SOLUC in the work folder) as HORARIO.CSV in the CSV folder, for XADE. The "
            "period template PLANTILLA is used as it stands, or built from DIASHORAST (else 20 periods from 08:00) "
            "when it is missing or empty. Exit status: 0 HORARIO.CSV written, 1 nothing written because the CSV "
            "folder is missing or no class of SOLUC could be written (HORARIO.CSV then stays as it was), 2 an error "
            "ended the export (HORARIO.CSV then stays as it was) or the report could not be written, 64 wrong usage"));
    exp->add_option("--csv", opt->csv, ctx.say("the folder that receives HORARIO.CSV"))->required();
    exp->add_option("--work", opt->work, ctx.say("the work folder (default: \\VTEMP here, or $TRANSXADE_WORK)"));
    exp->add_option("--report", opt->report,
                    ctx.say("also write the classes passed over, one per line with the reason and the class as SOLUC "
                            "holds it (CSV: motivo,día,hora,grupo,materia,profesor,aula,sesiones, UTF-8 with a "
                            "byte-order mark)"));
    exp->callback(
        [&ctx, opt] { ctx.action = [&ctx, opt] { return exportCommand(*opt, ctx.out, ctx.err, ctx.language); }; });
}

} // namespace conv::cli
