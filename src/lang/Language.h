#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace conv::lang
{

/// The languages the converter speaks. Spanish is the default and the reference: every text is
/// written in Spanish first, and Galician follows it.
enum class Language {
    Spanish,
    Galician,
};

/// "es" or "gl".
const char* code(Language language);

/// The language a code or locale name stands for ("gl", "gl_ES.UTF-8", "gl-ES", "es_ES@euro"),
/// or nothing for any other.
std::optional<Language> fromCode(std::string_view name);

/// The variable that overrides every other choice, for the window and the batch converter alike.
inline constexpr const char* kLanguageVariable = "TRANSXADE_LANG";
/// The file beside the program where the installer leaves the language chosen during the
/// installation ("gl" or "es" on its first line).
inline constexpr const char* kLanguageFile = "idioma.txt";

/// Which language to speak: `variable` (TRANSXADE_LANG) when it names one, else `remembered`
/// (the installer's choice), else Galician when the user's first language is Galician; Spanish
/// in every other case.
Language choose(std::string_view variable, std::string_view remembered, const std::vector<std::string>& uiLanguages);

/// The choice for this process: TRANSXADE_LANG, the file kLanguageFile in `programFolder`, the
/// system's languages.
Language processLanguage(const std::filesystem::path& programFolder);

} // namespace conv::lang
