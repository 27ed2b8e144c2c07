#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>

namespace conv::cli
{

/// What a command needs from the front end: where results and messages go, and the slot for
/// the action the parsed command runs (set from the subcommand's callback).
struct CommandContext
{
    std::ostream& out;
    std::ostream& err;
    std::function<int()> action;
};

// Each group of commands registers itself on the application.
void addTextCommands(CLI::App& app, CommandContext& ctx);
void addTableCommands(CLI::App& app, CommandContext& ctx);
void addImportCommands(CLI::App& app, CommandContext& ctx);
void addExportCommands(CLI::App& app, CommandContext& ctx);

} // namespace conv::cli
