#include "cli/CliFeedback.h"

#include "cli/Commands.h"
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
