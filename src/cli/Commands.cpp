#include "cli/Commands.h"

#include "common/Error.h"
#include "common/IoErrors.h"
#include "text/Ansi.h"
#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <ostream>
#include <vector>

#ifndef CONV_VERSION
#define CONV_VERSION "0"
#endif

namespace conv::cli
{
namespace
{

namespace fs = std::filesystem;

/// A file named on the command line, found without regard to letter case like the inputs.
fs::path resolveInput(const std::string& given)
{
    const fs::path path(given);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const fs::path found = findNoCase(folder, path.filename().string());
    return path.has_parent_path() ? found : found.filename();
}

struct FieldsOptions
{
    std::string file;
    bool all = false;
};

int printFields(const fs::path& path, bool all, std::ostream& out, std::ostream& err);

/// Prints how the converter splits each line: one JSON array of UTF-8 strings per line.
int fieldsCommand(const FieldsOptions& opt, std::ostream& out, std::ostream& err)
{
    const fs::path path = resolveInput(opt.file);
    try {
        return printFields(path, opt.all, out, err);
    } catch (const IoError& e) {
        err << path.string() << ": " << e.what() << '\n';
        return kExitError;
    }
}

int printFields(const fs::path& path, bool all, std::ostream& out, std::ostream& err)
{
    CsvReader reader = CsvReader::open(path);
    std::string raw;
    std::string decoded;
    FieldList fields;
    while (reader.nextLine(raw)) {
        if (reader.lineNumber() == 1 && !all)
            continue;
        decodeLine(raw, decoded);
        if (decoded.empty() && !raw.empty())
            err << path.string() << ':' << reader.lineNumber()
                << ": not valid UTF-8 (or a character beyond FFFF hex); the line reads as empty\n";
        splitLine(decoded, fields);
        nlohmann::json row = nlohmann::json::array();
        for (const std::string& f : fields)
            row.push_back(ansiToUtf8(f));
        out << row.dump() << '\n';
    }
    return kExitOk;
}

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

    std::function<int()> action;

    FieldsOptions fieldsOpt;
    CLI::App* fields = app.add_subcommand("fields", "Show how each line of an XADE CSV file splits into fields "
                                                    "(one JSON array per line, header left out)");
    fields->add_option("FILE", fieldsOpt.file, "the CSV file")->required();
    fields->add_flag("--all", fieldsOpt.all, "include the header line");
    fields->callback([&] { action = [&] { return fieldsCommand(fieldsOpt, out, err); }; });

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
        return action ? action() : kExitUsage;
    } catch (const Error& e) {
        err << e.what() << '\n';
        return kExitError;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return kExitError;
    }
}

} // namespace conv::cli
