#include "cli/Commands.h"

#include "cli/CommandContext.h"
#include "common/Error.h"
#include "lang/Language.h"
#include "lang/Messages.h"
#include "platform/Locale.h"
#include "run/RunState.h"
#include "text/Ansi.h"

#include <CLI/CLI.hpp>

#include <ostream>

#ifndef CONV_VERSION
#define CONV_VERSION "0"
#endif

namespace conv::cli
{
namespace
{

bool hasSubcommand(const CLI::App& app, const std::string& name)
{
    for (const CLI::App* sub : app.get_subcommands({}))
        if (sub->check_name(name))
            return true;
    return false;
}

} // namespace

std::string fileFirst(std::string_view text)
{
    constexpr std::string_view kFile = "\nFile: ";
    constexpr std::string_view kLine = "\nLine: ";
    const std::size_t at = text.find(kFile);
    if (at == std::string_view::npos)
        return std::string(text);
    std::string_view place = text.substr(at + kFile.size());
    std::string_view line;
    if (const std::size_t l = place.find(kLine); l != std::string_view::npos) {
        line = place.substr(l + kLine.size());
        place = place.substr(0, l);
    }
    // The error box ends a text with a period, after the path when the path ends the text.
    if (line.empty() && place.size() > 1 && place.back() == '.' && text.substr(0, at).ends_with('.'))
        place.remove_suffix(1);
    std::string out(place);
    if (!line.empty())
        out.append(":").append(line);
    return out.append(": ").append(text.substr(0, at));
}

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    // TRANSXADE_LANG, else the language chosen when the program was installed, else the user's.
    CommandContext ctx{out, err, {}, lang::processLanguage(platform::programFolder())};
    CLI::App app{ctx.say("Batch converter between XADE's CSV files and the timetable program's dBase tables."),
                 "transxade"};
    if (ctx.language != lang::Language::Spanish) {
        // CLI11's own words, and the groups its help lists options and commands under.
        app.option_defaults()->group(ctx.say("Options"));
        for (const char* label : {"Usage", "OPTIONS", "SUBCOMMAND", "SUBCOMMANDS", "Positionals", "REQUIRED", "TEXT"})
            app.get_formatter()->label(label, ctx.say(label));
        app.set_help_flag("-h,--help", ctx.say("Print this help message and exit"));
    }
    app.set_version_flag("--version", "transxade " CONV_VERSION,
                         ctx.say("Display program version information and exit"));
    app.require_subcommand(1);

    addTextCommands(app, ctx);
    addTableCommands(app, ctx);
    addImportCommands(app, ctx);
    addExportCommands(app, ctx);
    if (ctx.language != lang::Language::Spanish)
        for (CLI::App* command : app.get_subcommands({})) {
            command->group(ctx.say("Subcommands"));
            // A command's help flag is made before it takes the group of the options.
            command->set_help_flag("-h,--help", ctx.say("Print this help message and exit"));
        }

    if (argc >= 2 && argv[1][0] != '-' && !hasSubcommand(app, argv[1])) {
        err << ctx.say("Unknown command: %1\nRun with --help for more information.\n", {argv[1]});
        return kExitUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }
    try {
        return ctx.action ? ctx.action() : kExitUsage;
    } catch (const std::exception& e) {
        err << ansiToUtf8(fileFirst(lang::localise(errorText(e), ctx.language))) << '\n';
        return kExitError;
    }
}

} // namespace conv::cli
