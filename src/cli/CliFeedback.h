#pragma once

#include "lang/Language.h"
#include "run/Feedback.h"

#include <iosfwd>
#include <string>

namespace conv::cli
{

/// The window's messages on stderr, as the window would show them (an error box with its file
/// first), the level warning among them. A question is answered as the command's options say;
/// the template check has nobody to ask, so the template is used as it stands.
class CliFeedback : public Feedback
{
public:
    /// `answer`: what every OK/Cancel question gets (true for OK). The core's messages are
    /// printed in `language`.
    CliFeedback(std::ostream& err, bool answer, lang::Language language = lang::Language::Spanish);

    void notice(const std::string& text) override;
    void errorBox(const std::string& text) override;
    bool askOkCancel(const std::string& caption, const std::string& text) override;
    void change(UiChange what) override;
    void setBusy(bool busy) override;

private:
    std::ostream& m_err;
    bool m_answer;
    lang::Language m_language;
};

} // namespace conv::cli
