#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace conv::platform
{

/// The user's languages for what programs show, most wanted first, as the system names them
/// ("gl_ES.UTF-8", "gl-ES", "es"). Empty when the system says nothing.
std::vector<std::string> uiLanguages();

/// The folder of this program's file, or an empty path when the system cannot tell.
std::filesystem::path programFolder();

} // namespace conv::platform
