#include "export/Rules.h"

#include "common/Error.h"
#include "common/IoErrors.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

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

bool sameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x < 128 && y < 128 && std::tolower(x) == std::tolower(y)))
            return false;
    }
    return true;
}

void appendQuoted(std::string& out, std::string_view value)
{
    for (char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
}

/// Writes all of `bytes` to a new file; the file is removed again when anything fails.
void writeNewFile(const fs::path& file, std::string_view bytes, const fs::path& named)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throwIoError(errno, named);
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    int err = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (!err && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        err = errno;
    if (::close(fd) != 0 && !err)
        err = errno;
    if (err) {
        ::unlink(file.c_str());
        throwIoError(err, named);
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
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::path temporary = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + ".tmp");
    writeNewFile(temporary, bytes, target);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temporary.c_str());
        throwIoError(err, target);
    }
    // Other spellings of the same name would stay beside the new file: they go, as the
    // platform the school's files come from has one file for all of them.
    const std::string name = target.filename().string();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string other = entry.path().filename().string();
        if (other != name && sameNoCase(other, name))
            fs::remove(entry.path(), ec);
    }
}

} // namespace conv::exporter
