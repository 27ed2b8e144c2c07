#pragma once

#include "common/IoErrors.h"

#include <filesystem>
#include <string>

namespace conv::cli
{

/// A file named on the command line, found without regard to letter case like the inputs.
inline std::filesystem::path resolveInput(const std::string& given)
{
    const std::filesystem::path path(given);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const std::filesystem::path found = findNoCase(folder, path.filename().string());
    return path.has_parent_path() ? found : found.filename();
}

} // namespace conv::cli
