#include "lang/Language.h"

#include "platform/Locale.h"

#include <cstdlib>
#include <fstream>

namespace conv::lang
{

const char* code(Language language)
{
    return language == Language::Galician ? "gl" : "es";
}

std::optional<Language> fromCode(std::string_view name)
{
    // The language is the part before the territory, the code set and the modifier.
    const std::string_view lang = name.substr(0, name.find_first_of("_-.@"));
    const auto is = [lang](std::string_view code) {
        if (lang.size() != code.size())
            return false;
        for (std::size_t i = 0; i < lang.size(); ++i)
            if ((lang[i] | 0x20) != code[i])
                return false;
        return true;
    };
    if (is("gl"))
        return Language::Galician;
    if (is("es"))
        return Language::Spanish;
    return std::nullopt;
}

Language choose(std::string_view variable, std::string_view remembered, const std::vector<std::string>& uiLanguages)
{
    if (const auto chosen = fromCode(variable))
        return *chosen;
    if (const auto chosen = fromCode(remembered))
        return *chosen;
    // Only the user's first language counts: Galician after another language is not their choice.
    if (!uiLanguages.empty() && fromCode(uiLanguages.front()) == Language::Galician)
        return Language::Galician;
    return Language::Spanish;
}

Language processLanguage(const std::filesystem::path& programFolder)
{
    const char* variable = std::getenv(kLanguageVariable);
    std::string remembered;
    if (!programFolder.empty()) {
        std::ifstream file(programFolder / kLanguageFile);
        std::getline(file, remembered);
        while (!remembered.empty() && (remembered.back() == '\r' || remembered.back() == ' '))
            remembered.pop_back();
    }
    return choose(variable ? variable : "", remembered, platform::uiLanguages());
}

} // namespace conv::lang
