#pragma once

#include "common/IoErrors.h"
#include "platform/File.h"

#include <filesystem>
#include <string>

namespace conv::cli
{

/// A file named on the command line, found without regard to letter case like the inputs.
inline std::filesystem::path resolveInput(const std::string& given)
{
    const std::filesystem::path path = platform::pathFromText(given);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const std::filesystem::path found = findNoCase(folder, platform::pathText(path.filename()));
    if (found.filename() == path.filename())
        return path; // as it was given, so that messages name it so
    return path.has_parent_path() ? found : found.filename();
}

} // namespace conv::cli
