#include "cli/CliFeedback.h"

#include "cli/Commands.h"
#include "lang/Messages.h"
#include "run/Explain.h"
#include "text/Ansi.h"

#include <ostream>

namespace conv::cli
{

CliFeedback::CliFeedback(std::ostream& err, bool answer, lang::Language language)
    : m_err(err)
    , m_answer(answer)
    , m_language(language)
{
}

void CliFeedback::notice(const std::string& text)
{
    m_err << ansiToUtf8(lang::localise(text, m_language)) << '\n';
}

void CliFeedback::errorBox(const std::string& text)
{
    m_err << ansiToUtf8(fileFirst(lang::localise(text, m_language))) << '\n';
    // What it means and what to do, as the window's box says it.
    const auto say = [this](std::string_view part) { return lang::localiseUtf8(part, m_language); };
    if (const std::string sentence = explanationSentence(text, say); !sentence.empty())
        m_err << sentence << '\n';
}

bool CliFeedback::askOkCancel(const std::string&, const std::string&)
{
    return m_answer;
}

void CliFeedback::change(UiChange what)
{
    if (what == UiChange::ShowLevelWarning)
        m_err << ansiToUtf8(lang::localise(kLevelWarning, m_language)) << '\n';
}

void CliFeedback::setBusy(bool)
{
}

} // namespace conv::cli
