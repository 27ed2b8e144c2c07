#include "export/Rules.h"

#include "common/Error.h"
#include "common/IoErrors.h"
#include "platform/File.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace conv::exporter
{
namespace
{

namespace fs = std::filesystem;

/// "h:00" with one "0" in front when shorter than five characters.
std::string clockTime(int hour)
{
    const std::string text = std::to_string(hour) + ":00";
    std::string out;
    if (text.size() < 5)
        out += '0';
    out += text;
    return out;
}

void appendQuoted(std::string& out, std::string_view value)
{
    for (char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
}

/// Writes all of `bytes` to a new file and puts it on the disk; the file is removed again when
/// anything fails.
void writeNewFile(const fs::path& file, std::string_view bytes)
{
    auto& files = platform::fileSystem();
    try {
        const auto f = files.open(file, platform::Access::Create, &throwIoFailure);
        f->writeAt(bytes.data(), bytes.size(), 0);
        f->sync();
    } catch (...) {
        files.remove(file);
        throw;
    }
}

} // namespace

std::string_view dayName(std::int32_t day)
{
    // Windows-1252: E9 is e acute, E1 a acute (split so that "b" is not read as a hex digit).
    static constexpr std::string_view kNames[] = {"Luns",
                                                  "Martes",
                                                  "M\xE9rcores",
                                                  "Xoves",
                                                  "Venres",
                                                  "S\xE1"
                                                  "bado",
                                                  "Domingo"};
    if (day < 1 || day > 7)
        return "";
    return kNames[day - 1];
}

TemplateRow defaultTemplateRow(int i)
{
    const int hour = i <= 16 ? i + 7 : i - 17;
    return {i, clockTime(hour), clockTime(hour + 1)};
}

bool hasFraction(double sesiones)
{
    return sesiones - std::trunc(sesiones) != 0;
}

std::optional<std::int32_t> partPeriodNumber(double hora)
{
    const double whole = std::trunc(hora);
    const double k = hora - whole != 0 ? 2 * whole : 2 * hora - 1;
    if (!(k >= -2147483648.0 && k <= 2147483647.0))
        return std::nullopt;
    return static_cast<std::int32_t>(k);
}

const std::string& startTimeAt(const std::vector<std::string>& startTimes, std::int64_t position)
{
    if (position < 1 || position > static_cast<std::int64_t>(startTimes.size()))
        throw Error("List index out of bounds (" + std::to_string(position - 1) + ")");
    return startTimes[static_cast<std::size_t>(position - 1)];
}

void appendHorarioLine(std::string& out, const HorarioValues& values)
{
    out += '"';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += "\",\"";
        appendQuoted(out, values[i]);
    }
    out += "\"\r\n";
}

void replaceFileWhole(const fs::path& target, std::string_view bytes)
{
    auto& files = platform::fileSystem();
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::path temporary = folder / temporaryName(target.filename(), platform::processId());
    writeNewFile(temporary, bytes);
    try {
        files.replace(temporary, target, &throwIoFailure);
    } catch (...) {
        files.remove(temporary);
        throw;
    }
    // Other spellings of the same name would stay beside the new file: they go, as the
    // platform the school's files come from has one file for all of them. Where the file
    // system is blind to letter case, another spelling is the new file itself (it kept the old
    // file's spelling): it only takes the name's spelling.
    const std::string name = platform::pathText(target.filename());
    std::error_code ec;
    std::vector<fs::path> others;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string other = platform::pathText(entry.path().filename());
        if (other != name && equalNoCase(other, name))
            others.push_back(entry.path());
    }
    for (const fs::path& other : others) {
        std::error_code same;
        if (fs::equivalent(other, target, same))
            fs::rename(other, target, same);
        else
            files.remove(other);
    }
}

fs::path temporaryName(const fs::path& name, std::uint32_t pid)
{
    return platform::pathFromText("." + platform::pathText(name) + "." + std::to_string(pid) + ".tmp");
}

int removeAbandonedTemporaries(const fs::path& target)
{
    // Only names this writer gives (".NAME.<pid>.tmp", NAME in any letter case), and only where
    // no process of that number runs any more: a writer still at work keeps its file.
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const std::string name = platform::pathText(target.filename());
    int removed = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string file = platform::pathText(entry.path().filename());
        const std::size_t prefix = name.size() + 2;
        if (file.size() <= prefix + 4 || file[0] != '.' || !equalNoCase(file.substr(1, name.size()), name) ||
            file[prefix - 1] != '.' || file.compare(file.size() - 4, 4, ".tmp") != 0)
            continue;
        const std::string digits = file.substr(prefix, file.size() - 4 - prefix);
        if (digits.empty() || digits.size() > 10 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const std::uint64_t pid = std::stoull(digits);
        if (pid > UINT32_MAX || platform::processRunning(static_cast<std::uint32_t>(pid)))
            continue;
        if (platform::fileKind(entry.path()) == platform::FileKind::Regular && platform::fileSystem().remove(entry.path()))
            ++removed;
    }
    return removed;
}

} // namespace conv::exporter
