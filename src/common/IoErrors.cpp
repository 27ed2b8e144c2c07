#include "common/IoErrors.h"

#include "platform/File.h"

#include <algorithm>
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

int ioCode(const platform::FileFailure& failure)
{
    using platform::Failure;
    switch (failure.kind) {
    case Failure::NotFound:
        return kFileNotFound;
    case Failure::PathNotFound:
        return kInvalidFilename;
    case Failure::TooManyFiles:
        return kTooManyOpenFiles;
    case Failure::AccessDenied:
        return kAccessDenied;
    case Failure::DiskFull:
        return kDiskFull;
    case Failure::Busy:
    case Failure::NotRegular:
    case Failure::Other:
        break;
    }
    return failure.native;
}

void throwIoFailure(const platform::FileFailure& failure, const std::filesystem::path& path)
{
    if (failure.kind == platform::Failure::NotRegular)
        throw IoError(failure.native, kNotRegularFile, path);
    const int code = ioCode(failure);
    // A number of the platform's own keeps its number, and never borrows the text of a system
    // code that happens to share it: a failing disk (EIO, 5) is no "File access denied".
    if (failure.kind == platform::Failure::Busy || failure.kind == platform::Failure::Other)
        throw IoError(code, "I/O error " + std::to_string(code), path);
    throw IoError(code, ioErrorMessage(code), path);
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

std::filesystem::path findNoCase(const std::filesystem::path& folder, const std::string& name)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exact = folder / platform::pathFromText(name);
    // The name as the folder spells it, also where the file system is blind to letter case,
    // so that messages name the file as the user sees it.
    std::string best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = platform::pathText(it->path().filename());
        if (candidate == name)
            return exact;
        if (equalNoCase(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    return best.empty() ? exact : folder / platform::pathFromText(best);
}

bool fileExistsNoCase(const std::filesystem::path& folder, const std::string& name)
{
    // A special file (a FIFO, a device) counts as there: opening it then says what it is,
    // rather than a message that the file is missing.
    const platform::FileKind kind = platform::fileKind(findNoCase(folder, name));
    return kind == platform::FileKind::Regular || kind == platform::FileKind::Other;
}

} // namespace conv
