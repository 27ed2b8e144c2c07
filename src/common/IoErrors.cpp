#include "common/IoErrors.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <system_error>

namespace conv
{

std::string ioErrorMessage(int code)
{
    switch (code) {
    case kFileNotFound:
        return "File not found";
    case kInvalidFilename:
        return "Invalid filename";
    case kTooManyOpenFiles:
        return "Too many open files";
    case kAccessDenied:
        return "File access denied";
    case kReadBeyondEnd:
        return "Read beyond end of file";
    case kDiskFull:
        return "Disk full";
    case kInvalidNumericInput:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

namespace
{

/// The system's number for the errno values it has one for; nothing for the rest.
std::optional<int> systemCode(int err, const std::filesystem::path& path)
{
    switch (err) {
    case ENOENT: {
        std::error_code ec;
        const auto parent = path.parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec))
            return kInvalidFilename;
        return kFileNotFound;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return kInvalidFilename;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR: // opening a folder as a file is refused as access denied
    case EROFS:
        return kAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return kDiskFull;
    default:
        return std::nullopt;
    }
}

} // namespace

int ioCodeFromErrno(int err, const std::filesystem::path& path)
{
    return systemCode(err, path).value_or(err);
}

void throwIoError(int err, const std::filesystem::path& path)
{
    if (const auto code = systemCode(err, path))
        throw IoError(*code, ioErrorMessage(*code), path);
    // Any other errno keeps its number, and never the text of a system code that happens to share
    // it: a failing disk (EIO, 5) is no "File access denied", an interrupted call (EINTR, 4) no
    // "Too many open files".
    throw IoError(err, "I/O error " + std::to_string(err), path);
}

namespace
{
bool equalNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}
} // namespace

std::filesystem::path findNoCase(const std::filesystem::path& folder, const std::string& name)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exact = folder / name;
    if (fs::exists(exact, ec))
        return exact;
    std::string best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (equalNoCase(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    return best.empty() ? exact : folder / best;
}

bool fileExistsNoCase(const std::filesystem::path& folder, const std::string& name)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(findNoCase(folder, name), ec);
}

} // namespace conv
