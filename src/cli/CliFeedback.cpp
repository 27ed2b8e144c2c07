#include "cli/CliFeedback.h"

#include "cli/Commands.h"
#include "run/Explain.h"
#include "text/Ansi.h"

#include <ostream>

namespace conv::cli
{

CliFeedback::CliFeedback(std::ostream& err, bool answer)
    : m_err(err)
    , m_answer(answer)
{
}

void CliFeedback::notice(const std::string& text)
{
    m_err << ansiToUtf8(text) << '\n';
}

void CliFeedback::errorBox(const std::string& text)
{
    m_err << ansiToUtf8(fileFirst(text)) << '\n';
    // What it means and what to do, as the window's box says it.
    if (const std::string sentence = explanationSentence(text); !sentence.empty())
        m_err << sentence << '\n';
}

bool CliFeedback::askOkCancel(const std::string&, const std::string&)
{
    return m_answer;
}

void CliFeedback::change(UiChange what)
{
    if (what == UiChange::ShowLevelWarning)
        m_err << ansiToUtf8(kLevelWarning) << '\n';
}

void CliFeedback::setBusy(bool)
{
}

} // namespace conv::cli
