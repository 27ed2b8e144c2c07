#include "cli/CommandContext.h"
#include "cli/Commands.h"
#include "cli/Paths.h"
#include "common/Error.h"
#include "text/Ansi.h"
#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <ostream>

namespace conv::cli
{
namespace
{

namespace fs = std::filesystem;

struct FieldsOptions
{
    std::string file;
    bool all = false;
};

int printFields(const fs::path& path, bool all, std::ostream& out, std::ostream& err, lang::Language language);

/// Prints how the converter splits each line: one JSON array of UTF-8 strings per line.
int fieldsCommand(const FieldsOptions& opt, std::ostream& out, std::ostream& err, lang::Language language)
{
    const fs::path path = resolveInput(opt.file);
    try {
        return printFields(path, opt.all, out, err, language);
    } catch (const IoError& e) {
        err << path.string() << ": " << e.what() << '\n';
        return kExitError;
    }
}

int printFields(const fs::path& path, bool all, std::ostream& out, std::ostream& err, lang::Language language)
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
            err << say(language, "%1:%2: not valid UTF-8 (or a character beyond FFFF hex); the line reads as empty\n",
                       {path.string(), std::to_string(reader.lineNumber())});
        splitLine(decoded, fields);
        nlohmann::json row = nlohmann::json::array();
        for (const std::string& f : fields)
            row.push_back(ansiToUtf8(f));
        out << row.dump() << '\n';
    }
    return kExitOk;
}

} // namespace

void addTextCommands(CLI::App& app, CommandContext& ctx)
{
    auto opt = std::make_shared<FieldsOptions>();
    CLI::App* fields = app.add_subcommand("fields",
                                          ctx.say("Show how each line of an XADE CSV file splits into fields "
                                                  "(one JSON array per line, header left out)"));
    fields->add_option("FILE", opt->file, ctx.say("the CSV file"))->required();
    fields->add_flag("--all", opt->all, ctx.say("include the header line"));
    fields->callback(
        [&ctx, opt] { ctx.action = [&ctx, opt] { return fieldsCommand(*opt, ctx.out, ctx.err, ctx.language); }; });
}

} // namespace conv::cli
