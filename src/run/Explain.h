#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace conv
{

/// What a message means and what to do about it, as the help explains it (UTF-8). The window's
/// error box shows it under the message and the batch converter on the line after it; the help
/// page quotes both parts word for word.
struct Explanation
{
    const char* message; ///< the start of the message (or a part of it, for `inside`)
    bool inside;         ///< the message holds `message` anywhere, not only at its start
    bool withFile;       ///< only for a message about a file (a "File:" line), else only without one
    bool anyFile;        ///< about a file or not
    const char* means;   ///< what happened
    const char* todo;    ///< what the user does
    const char* page;    ///< the help page that explains it
};

/// Every explained message, for the help's check.
std::span<const Explanation> explanations();

/// The explanation of a standard error box's text (Windows-1252, as errorText() gives it), or
/// nothing for a message the help does not explain one by one.
const Explanation* explain(std::string_view boxText);

/// The help page of an error box's message: the page that explains it (errores.htm for the
/// explained ones), motor.htm for the rarer messages of the table engine, else errores.htm,
/// which leads to the rest.
std::string helpPageOf(std::string_view boxText);

/// The sentence the box adds (UTF-8): where, when the box names a file (and its line), then what
/// the message means and what to do. "" without an explanation.
std::string explanationSentence(std::string_view boxText);

/// The same sentence in another language: `say` gives each of its parts (where, with the file's
/// name and line in it; what the message means; what to do) in that language.
std::string explanationSentence(std::string_view boxText, const std::function<std::string(std::string_view)>& say);

} // namespace conv
