#include "cli/CommandContext.h"
#include "cli/Commands.h"
#include "cli/Paths.h"
#include "common/Error.h"
#include "run/RunFile.h"
#include "tables/DbfFormat.h"
#include "tables/Table.h"
#include "tables/TableCheck.h"
#include "tables/WorkFolder.h"
#include "common/IoErrors.h"
#include "platform/File.h"
#include "text/Ansi.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>

namespace conv::cli
{
namespace
{

namespace fs = std::filesystem;

struct DumpOptions
{
    std::string file;
    std::string format = "csv";
    std::string index;
};

std::string csvField(const std::string& utf8)
{
    const bool quote = utf8.find_first_of(",\"\r\n") != std::string::npos ||
                       (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (!quote)
        return utf8;
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

nlohmann::json jsonValue(const Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return ansiToUtf8(*s);
    if (const auto* i = std::get_if<std::int32_t>(&v))
        return *i;
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* b = std::get_if<bool>(&v))
        return *b;
    return nullptr;
}

/// Prints every record in reading order: CSV with a header line of field names, or a JSON array
/// with one object per record (one record per line).
int dumpCommand(const DumpOptions& opt, std::ostream& out)
{
    const fs::path path = resolveInput(opt.file);
    Table table(path.has_parent_path() ? path.parent_path() : fs::path("."), path.filename().string());
    table.setReadOnly(true);
    table.setIndexName(opt.index);
    table.open();
    const int n = table.fieldCount();
    const bool json = opt.format == "json";
    if (json) {
        out << "[";
    } else {
        for (int i = 0; i < n; ++i)
            out << (i ? "," : "") << csvField(std::string(table.fields()[static_cast<std::size_t>(i)].name));
        out << "\n";
    }
    bool firstRecord = true;
    for (; !table.eof(); table.next()) {
        if (json) {
            nlohmann::ordered_json row = nlohmann::ordered_json::object();
            for (int i = 0; i < n; ++i) {
                FieldRef f = table.field(i);
                row[std::string(f.name())] = jsonValue(f.value());
            }
            out << (firstRecord ? "\n" : ",\n") << row.dump();
        } else {
            for (int i = 0; i < n; ++i)
                out << (i ? "," : "") << csvField(ansiToUtf8(table.field(i).asString()));
            out << "\n";
        }
        firstRecord = false;
    }
    if (json)
        out << (firstRecord ? "]\n" : "\n]\n");
    table.close();
    return kExitOk;
}

/// Checks a table and its index; lists each problem, or says it is sound.
int checkCommand(const std::string& file, std::ostream& out)
{
    const fs::path path = resolveInput(file);
    const TableCheck check = checkTable(path);
    for (const std::string& p : check.problems)
        out << path.filename().string() << ": " << p << "\n";
    out << path.filename().string() << ": " << check.records << " records (" << check.deleted << " deleted), "
        << check.tags << " index tags: " << (check.ok() ? "OK" : std::to_string(check.problems.size()) + " problems")
        << "\n";
    return check.ok() ? kExitOk : kExitProblems;
}

/// True when `name` ends in ".DBF", in any letter case.
bool isTableFile(const std::string& name)
{
    if (name.size() < 5 || name[name.size() - 4] != '.')
        return false;
    std::string ext = name.substr(name.size() - 3);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext == "DBF";
}

/// Checks every table of the work folder and says whether the last import or export there
/// finished: 0 when all is sound and finished, 1 otherwise.
int checkWorkCommand(const std::string& given, std::ostream& out)
{
    const fs::path work = given.empty() ? defaultWorkFolder() : platform::pathFromText(given);
    if (platform::fileKind(work) != platform::FileKind::Directory)
        throwIoFailure({platform::Failure::PathNotFound, 0}, work);
    std::vector<fs::path> tables;
    for (const auto& entry : fs::directory_iterator(work))
        if (isTableFile(platform::pathText(entry.path().filename())))
            tables.push_back(entry.path());
    std::sort(tables.begin(), tables.end());
    bool sound = true;
    for (const fs::path& table : tables) {
        const std::string name = platform::pathText(table.filename());
        try {
            const TableCheck check = checkTable(table);
            for (const std::string& p : check.problems)
                out << name << ": " << p << "\n";
            out << name << ": " << check.records << " records: "
                << (check.ok() ? "OK" : std::to_string(check.problems.size()) + " problems") << "\n";
            sound = sound && check.ok();
        } catch (const Error& e) {
            const std::string text = e.what();
            out << name << ": " << text.substr(0, text.find('\n')) << "\n";
            sound = false;
        }
    }
    bool finished = true;
    if (conversionRunning(work)) {
        out << "a conversion is running in this work folder now\n";
        finished = false;
    } else if (const auto unfinished = unfinishedRun(work)) {
        out << "the last " << unfinished->kind << " did not finish ("
            << unfinished->text.substr(unfinished->text.find('\n') + 1) << "): its tables may be incomplete\n";
        finished = false;
    } else {
        out << "the last import or export finished\n";
    }
    return sound && finished ? kExitOk : kExitProblems;
}

} // namespace

void addTableCommands(CLI::App& app, CommandContext& ctx)
{
    auto dump = std::make_shared<DumpOptions>();
    CLI::App* d =
        app.add_subcommand("dump", ctx.say("Print a dBase table as UTF-8 CSV or JSON, in record or index order"));
    d->add_option("TABLE", dump->file, ctx.say("the .DBF file"))->required();
    d->add_option("--format", dump->format, ctx.say("csv (default) or json"))->check(CLI::IsMember({"csv", "json"}));
    d->add_option("--index", dump->index, ctx.say("read in the order of this index tag"));
    d->callback([&ctx, dump] { ctx.action = [&ctx, dump] { return dumpCommand(*dump, ctx.out); }; });

    auto file = std::make_shared<std::string>();
    CLI::App* c = app.add_subcommand("check-table", ctx.say("Verify a dBase table's header, records and index tree"));
    c->add_option("TABLE", *file, ctx.say("the .DBF file"))->required();
    c->callback([&ctx, file] { ctx.action = [&ctx, file] { return checkCommand(*file, ctx.out); }; });

    auto work = std::make_shared<std::string>();
    CLI::App* w = app.add_subcommand(
        "check-work", ctx.say("Check every table of the work folder and whether the last import or export finished"));
    w->add_option("--work", *work, ctx.say("the work folder (default: \\VTEMP here, or $TRANSXADE_WORK)"));
    w->callback([&ctx, work] { ctx.action = [&ctx, work] { return checkWorkCommand(*work, ctx.out); }; });
}

} // namespace conv::cli
