#include "platform/Locale.h"

#include <cstdlib>
#include <system_error>

namespace conv::platform
{

std::vector<std::string> uiLanguages()
{
    // As gettext reads them: the first of LC_ALL, LC_MESSAGES and LANG is the locale; LANGUAGE,
    // a list of languages, comes before it unless the locale is the plain C one.
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value) {
            locale = value;
            break;
        }
    std::vector<std::string> languages;
    const bool plain = locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.");
    if (const char* list = std::getenv("LANGUAGE"); list && !plain) {
        std::string rest = list;
        for (std::size_t at; !rest.empty(); rest.erase(0, at == std::string::npos ? rest.size() : at + 1)) {
            at = rest.find(':');
            if (std::string one = rest.substr(0, at); !one.empty())
                languages.push_back(one);
        }
    }
    if (!locale.empty())
        languages.push_back(locale);
    return languages;
}

std::filesystem::path programFolder()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self.parent_path();
}

} // namespace conv::platform
