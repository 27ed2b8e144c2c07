#include "cli/CliFeedback.h"
#include "cli/CommandContext.h"
#include "cli/Commands.h"
#include "cli/Paths.h"
#include "import/Import.h"
#include "import/LevelAnswers.h"
#include "import/Messages.h"
#include "import/Preflight.h"
#include "lang/Messages.h"
#include "platform/File.h"
#include "run/RunState.h"
#include "tables/WorkFolder.h"
#include "text/Ansi.h"

#include <memory>
#include <optional>
#include <ostream>

namespace conv::cli
{
namespace
{

namespace fs = std::filesystem;

struct ImportOptions
{
    std::string csv;
    std::string call;
    std::string levels;
    std::string work;
    std::string format = "text";
    bool noReuse = false;
};

fs::path workFolderOf(const ImportOptions& opt)
{
    return opt.work.empty() ? defaultWorkFolder() : platform::pathFromText(opt.work);
}

/// The exit status a finished (or ended) run gives.
int statusOf(const RunState& run, bool ended)
{
    if (ended || run.ErrorProceso != 0)
        return kExitError;
    return run.Transformado == 1 ? kExitOk : kExitMissing;
}

/// Presses the XADE-to-timetable button on `csv` and picks the call: the steps every command
/// of the import shares. Gives an exit status when they end the command.
std::optional<int> startImport(RunState& run, const ImportOptions& opt, std::ostream& err, lang::Language language)
{
    if (!runHandler(run.feedback, [&] { import::BExportarClick(run, opt.csv); }))
        return kExitError;
    if (run.Transformado != 1)
        return kExitMissing;
    if (opt.call.empty())
        return std::nullopt;
    if (!import::selectCall(run, opt.call)) {
        err << say(language, "transxade: no call '%1' in %2 (transxade calls lists them)\n", {opt.call, files::kCalls});
        return kExitUsage;
    }
    return std::nullopt;
}

int callsCommand(const ImportOptions& opt, std::ostream& out, std::ostream& err, lang::Language language)
{
    CliFeedback feedback(err, true, language);
    RunState run(feedback, workFolderOf(opt));
    if (const auto status = startImport(run, opt, err, language))
        return *status;
    Table& centro = run.table(Handle::wwTableCentro);
    if (centro.editing())
        centro.cancel();
    out << "CONVOCATORIA,DESCRIPCION\n";
    FieldRef code = centro.fieldByName("CONVOCATORIA");
    FieldRef description = centro.fieldByName("DESCRIPCION");
    for (centro.first(); !centro.eof(); centro.next())
        out << ansiToUtf8(import::quoteCsv(code.asString())) << ',' << ansiToUtf8(import::quoteCsv(description.asString()))
            << '\n';
    return kExitOk;
}

int coursesCommand(const ImportOptions& opt, std::ostream& out, std::ostream& err, lang::Language language)
{
    CliFeedback feedback(err, true, language);
    RunState run(feedback, workFolderOf(opt));
    if (const auto status = startImport(run, opt, err, language))
        return *status;
    if (!runHandler(feedback, [&] { import::BitBtn1Click(run); }))
        return kExitError;
    if (run.Transformado != 1 && !run.workFileExists("CURSOST.DBF"))
        return kExitMissing;
    out << "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\n";
    const bool ok = runHandler(feedback, [&] {
        Table& nivimp = run.table(Handle::wwTableNIVIMP, true);
        for (nivimp.first(); !nivimp.eof(); nivimp.next()) {
            const char* sep = "";
            for (const char* name : {"CODCURSO", "NOMECURSO", "TURNO", "NIVEL", "CURSO"}) {
                out << sep << ansiToUtf8(import::quoteCsv(nivimp.fieldByName(name).asString()));
                sep = ",";
            }
            out << '\n';
        }
    });
    return ok ? statusOf(run, false) : kExitError;
}

void printSummary(const RunState& run, std::ostream& out)
{
    for (const auto& [table, count] : run.written())
        out << table << ' ' << count << '\n';
}

int importCommand(const ImportOptions& opt, std::ostream& out, std::ostream& err, lang::Language language)
{
    std::map<std::string, import::LevelCodes> answers;
    const fs::path levels = resolveInput(opt.levels);
    try {
        answers = import::readLevelAnswers(levels);
    } catch (const IoError& e) {
        err << levels.string() << ": " << e.what() << '\n';
        return kExitUsage;
    } catch (const Error& e) {
        err << e.what() << '\n';
        return kExitUsage;
    }
    CliFeedback feedback(err, !opt.noReuse, language);
    RunState run(feedback, workFolderOf(opt));
    if (const auto status = startImport(run, opt, err, language))
        return *status;
    const bool ended = !runHandler(feedback, [&] {
        import::BitBtn1Click(run);
        if (!run.table(Handle::wwTableNIVIMP).isOpen())
            return; // the course table was missing: the call screen stays
        import::typeLevelCodes(run, answers);
        import::FinalRecogida(run);
    });
    printSummary(run, out);
    return statusOf(run, ended);
}

int checkCommand(const ImportOptions& opt, std::ostream& out, std::ostream& err, lang::Language language)
{
    std::error_code ec;
    if (!fs::is_directory(platform::pathFromText(opt.csv), ec)) {
        err << ansiToUtf8(lang::localise(msg::kNoFolder, language)) << '\n';
        return kExitMissing;
    }
    const std::optional<std::string> call = opt.call.empty() ? std::nullopt : std::optional(opt.call);
    const std::vector<import::Finding> findings = import::checkXadeFolder(platform::pathFromText(opt.csv), call);
    const auto status = [&findings] {
        return import::endsTheRun(findings) ? kExitError : findings.empty() ? kExitOk : kExitMissing;
    };
    if (opt.format == "csv") {
        // The rows of the window's review, as its "Guardar lista…" saves them.
        out << rowListCsv(import::reviewList(findings));
        return status();
    }
    int ends = 0, missing = 0, cut = 0, lost = 0;
    for (const import::Finding& f : findings) {
        out << f.file;
        if (f.line > 0)
            out << ':' << f.line;
        switch (f.kind) {
        case import::Finding::Kind::Missing:
            out << ": missing: ";
            ++missing;
            break;
        case import::Finding::Kind::EndsRun:
            out << ": ends the run: ";
            ++ends;
            break;
        case import::Finding::Kind::Cut:
            out << ": cut: ";
            ++cut;
            break;
        case import::Finding::Kind::Loss:
            out << ": warning: ";
            ++lost;
            break;
        }
        out << ansiToUtf8(f.text) << '\n';
    }
    out << ends << (ends == 1 ? " line ends" : " lines end") << " the run, " << missing
        << (missing == 1 ? " file is" : " files are") << " missing, " << cut << (cut == 1 ? " code is" : " codes are")
        << " cut, " << lost << (lost == 1 ? " warning" : " warnings") << '\n';
    return status();
}

void addWork(CLI::App* cmd, ImportOptions& opt, const CommandContext& ctx)
{
    cmd->add_option("--work", opt.work, ctx.say("the work folder (default: \\VTEMP here, or $TRANSXADE_WORK)"));
}

} // namespace

void addImportCommands(CLI::App& app, CommandContext& ctx)
{
    auto opt = std::make_shared<ImportOptions>();

    CLI::App* calls =
        app.add_subcommand("calls", ctx.say("List the calls of an XADE export (code and description, CSV)"));
    calls->add_option("--csv", opt->csv, ctx.say("the folder of XADE CSV files"))->required();
    addWork(calls, *opt, ctx);
    calls->callback(
        [&ctx, opt] { ctx.action = [&ctx, opt] { return callsCommand(*opt, ctx.out, ctx.err, ctx.language); }; });

    CLI::App* courses = app.add_subcommand(
        "courses",
        ctx.say("Print the courses of a call as the answers file to complete (CSV), with the codes kept from "
                "an earlier import filled in"));
    courses->add_option("--csv", opt->csv, ctx.say("the folder of XADE CSV files"))->required();
    courses->add_option("--call", opt->call, ctx.say("the call's code"))->required();
    addWork(courses, *opt, ctx);
    courses->callback(
        [&ctx, opt] { ctx.action = [&ctx, opt] { return coursesCommand(*opt, ctx.out, ctx.err, ctx.language); }; });

    CLI::App* imp = app.add_subcommand(
        "import",
        ctx.say("Import an XADE export into the timetable program's tables. Exit status: 0 done, 1 done with a "
                "missing input, 2 ended by an error or an incomplete course, 64 wrong usage"));
    imp->add_option("--csv", opt->csv, ctx.say("the folder of XADE CSV files"))->required();
    imp->add_option("--call", opt->call, ctx.say("the call's code"))->required();
    imp->add_option("--levels", opt->levels, ctx.say("the answers: CSV with CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO"))
        ->required();
    addWork(imp, *opt, ctx);
    imp->add_flag("--no-reuse", opt->noReuse, ctx.say("forget the codes kept from earlier imports (CURSOST2)"));
    imp->callback(
        [&ctx, opt] { ctx.action = [&ctx, opt] { return importCommand(*opt, ctx.out, ctx.err, ctx.language); }; });

    CLI::App* check = app.add_subcommand(
        "check",
        ctx.say("Read every XADE file as the import would and report, by file and line, what would end it, missing "
                "files, codes that will be cut and lines whose data the import would lose; writes nothing. Exit "
                "status: 0 clean, 1 warnings or a file missing, 2 a line ends the run"));
    check->add_option("--csv", opt->csv, ctx.say("the folder of XADE CSV files"))->required();
    check->add_option("--call", opt->call, ctx.say("judge the group lines of this call only"));
    check->add_option("--format", opt->format,
                      ctx.say("text (the default: one line per finding and a summary) or csv (the rows of the "
                              "window's review: fichero,línea,gravedad,problema,texto, UTF-8 with a byte-order mark)"))
        ->check(CLI::IsMember({"text", "csv"}));
    check->callback(
        [&ctx, opt] { ctx.action = [&ctx, opt] { return checkCommand(*opt, ctx.out, ctx.err, ctx.language); }; });
}

} // namespace conv::cli
