#include "cli/Commands.h"

#include "common/Error.h"
#include "cli/CommandContext.h"

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

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{"Batch converter between XADE's CSV files and the timetable program's dBase tables.",
                 "transxade"};
    app.set_version_flag("--version", "transxade " CONV_VERSION);
    app.require_subcommand(1);

    CommandContext ctx{out, err, {}};
    addTextCommands(app, ctx);
    addTableCommands(app, ctx);
    addImportCommands(app, ctx);
    addExportCommands(app, ctx);

    if (argc >= 2 && argv[1][0] != '-' && !hasSubcommand(app, argv[1])) {
        err << "Unknown command: " << argv[1] << "\nRun with --help for more information.\n";
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
    } catch (const Error& e) {
        err << e.what() << '\n';
        return kExitError;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return kExitError;
    }
}

} // namespace conv::cli
