#pragma once

#include "cli/CliTexts.h"
#include "lang/Language.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>

namespace conv::cli
{

/// What a command needs from the front end: where results and messages go, the slot for the
/// action the parsed command runs (set from the subcommand's callback), and the language of the
/// help and the messages.
struct CommandContext
{
    std::ostream& out;
    std::ostream& err;
    std::function<int()> action;
    lang::Language language = lang::Language::Spanish;

    /// One of the converter's own texts in the context's language (see cli::say).
    std::string say(std::string_view english, std::initializer_list<std::string_view> values = {}) const
    {
        return cli::say(language, english, values);
    }
};

// Each group of commands registers itself on the application.
void addTextCommands(CLI::App& app, CommandContext& ctx);
void addTableCommands(CLI::App& app, CommandContext& ctx);
void addImportCommands(CLI::App& app, CommandContext& ctx);
void addExportCommands(CLI::App& app, CommandContext& ctx);

} // namespace conv::cli
