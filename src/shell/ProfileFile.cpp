#include "shell/ProfileFile.h"

#include "common/Error.h"
#include "common/IoErrors.h"
#include "platform/File.h"

#include <algorithm>
#include <vector>

namespace conv
{
namespace
{

struct Line
{
    std::string_view text; // without its line end
    std::string_view end;  // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(std::string_view contents)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < contents.size()) {
        const std::size_t lf = contents.find('\n', pos);
        if (lf == std::string_view::npos) {
            lines.push_back({contents.substr(pos), {}});
            break;
        }
        const bool crlf = lf > pos && contents[lf - 1] == '\r';
        const std::size_t textEnd = crlf ? lf - 1 : lf;
        lines.push_back({contents.substr(pos, textEnd - pos), contents.substr(textEnd, lf + 1 - textEnd)});
        pos = lf + 1;
    }
    return lines;
}

std::string_view trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

/// The section name of a "[name]" line, if it is one.
bool sectionName(std::string_view text, std::string_view& name)
{
    const std::string_view t = trim(text);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    name = trim(t.substr(1, close - 1));
    return true;
}

bool isKeyLine(std::string_view text, std::string_view key)
{
    const std::size_t eq = text.find('=');
    return eq != std::string_view::npos && sameName(trim(text.substr(0, eq)), key);
}

} // namespace

std::string withProfileString(std::string_view contents, std::string_view section, std::string_view key,
                              std::string_view value)
{
    const std::vector<Line> lines = splitLines(contents);
    const std::string_view eol = (!lines.empty() && lines.front().end == "\n") ? "\n" : "\r\n";
    const std::string entry = std::string(key) + "=" + std::string(value);

    // Find the section, the key inside it, and the last non-blank line of the section.
    std::size_t sectionAt = lines.size();
    std::size_t keyAt = lines.size();
    std::size_t lastInSection = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (sectionName(lines[i].text, name)) {
            if (sectionAt != lines.size())
                break; // the next section ends ours
            if (sameName(name, section)) {
                sectionAt = i;
                lastInSection = i;
            }
            continue;
        }
        if (sectionAt == lines.size())
            continue;
        if (!trim(lines[i].text).empty())
            lastInSection = i;
        if (isKeyLine(lines[i].text, key)) {
            keyAt = i;
            break;
        }
    }

    std::string out;
    out.reserve(contents.size() + entry.size() + section.size() + 8);
    auto appendLine = [&](const Line& l, bool forceEnd) {
        out.append(l.text);
        out.append(l.end.empty() && forceEnd ? eol : l.end);
    };
    if (sectionAt == lines.size()) {
        out.append(contents);
        if (!out.empty() && out.back() != '\n')
            out.append(eol);
        out.append("[").append(section).append("]").append(eol);
        out.append(entry).append(eol);
        return out;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == keyAt) {
            out.append(entry);
            out.append(lines[i].end.empty() ? eol : lines[i].end);
            continue;
        }
        const bool insertAfter = keyAt == lines.size() && i == lastInSection;
        appendLine(lines[i], insertAfter);
        if (insertAfter)
            out.append(entry).append(eol);
    }
    return out;
}

namespace
{

/// Puts `now` in the place of `old` in an open file, changing only the bytes from the first
/// difference on. The file grows first, past its old end, so a disk that is full fails before
/// any old byte has changed, and the growth is cut off again. A failing overwrite puts the old
/// bytes back. Throws when the file could not be brought to `now`.
void updateInPlace(platform::File& file, std::string_view old, std::string_view now)
{
    const std::size_t same = static_cast<std::size_t>(
        std::mismatch(old.begin(), old.end(), now.begin(), now.end()).first - old.begin());
    try {
        if (now.size() > old.size())
            file.writeAt(now.data() + old.size(), now.size() - old.size(), old.size());
    } catch (const Error&) {
        file.truncate(old.size());
        throw;
    }
    const std::size_t overlap = std::min(old.size(), now.size());
    try {
        if (overlap > same)
            file.writeAt(now.data() + same, overlap - same, same);
        if (now.size() < old.size())
            file.truncate(now.size());
        file.sync();
    } catch (const Error&) {
        file.writeAt(old.data() + same, old.size() - same, same);
        file.truncate(old.size());
        file.sync();
        throw;
    }
}

/// Writes a new file beside `file` and renames it into place: a new file appears whole or not
/// at all.
void createWhole(const std::filesystem::path& file, std::string_view contents)
{
    auto& files = platform::fileSystem();
    std::filesystem::path temp = file;
    temp += ".tmp" + std::to_string(platform::processId());
    try {
        {
            const auto f = files.open(temp, platform::Access::Create, &throwIoFailure);
            f->writeAt(contents.data(), contents.size(), 0);
            f->sync();
        }
        files.replace(temp, file, &throwIoFailure);
    } catch (const Error&) {
        files.remove(temp);
        throw;
    }
}

} // namespace

void writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value)
{
    try {
        switch (platform::fileKind(file)) {
        case platform::FileKind::Missing:
            createWhole(file, withProfileString({}, section, key, value));
            return;
        case platform::FileKind::Regular: {
            // An existing file is changed where it is, never replaced by another: the rights
            // given to the file itself (the users' right to write it, in a folder they may not
            // write) and its owner stay as they are. This is what the system's own profile
            // writer does, too.
            const auto f = platform::fileSystem().open(file, platform::Access::ReadWrite, &throwIoFailure);
            std::string old(static_cast<std::size_t>(f->size()), '\0');
            old.resize(f->readAt(old.data(), old.size(), 0));
            const std::string now = withProfileString(old, section, key, value);
            if (now != old)
                updateInPlace(*f, old, now);
            return;
        }
        default:
            break;
        }
    } catch (const Error&) {
    }
    throw Error("Unable to write to " + platform::pathText(file));
}

} // namespace conv
