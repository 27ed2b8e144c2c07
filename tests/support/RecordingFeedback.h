#pragma once

#include "run/Feedback.h"

#include <string>
#include <vector>

namespace conv::test
{

/// A Feedback that records everything shown, in order, and answers questions from a script.
class RecordingFeedback : public Feedback
{
public:
    /// Everything shown, one entry each: "notice: ...", "error: ...", "ask: caption",
    /// "change: N", "busy: 1/0".
    std::vector<std::string> log;
    std::vector<std::string> notices;
    std::vector<std::string> errors;
    /// Answers to the next questions, first first; when none is left the answer is OK.
    std::vector<bool> answers;

    void notice(const std::string& text) override
    {
        notices.push_back(text);
        log.push_back("notice: " + text);
    }
    void errorBox(const std::string& text) override
    {
        errors.push_back(text);
        log.push_back("error: " + text);
    }
    bool askOkCancel(const std::string& caption, const std::string&) override
    {
        log.push_back("ask: " + caption);
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void change(UiChange what) override
    {
        changes.push_back(what);
        log.push_back("change: " + std::to_string(static_cast<int>(what)));
    }
    void setBusy(bool busy) override
    {
        log.push_back(busy ? "busy: 1" : "busy: 0");
    }
    std::vector<UiChange> changes;
};

} // namespace conv::test
