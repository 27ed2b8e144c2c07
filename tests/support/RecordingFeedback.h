#pragma once

#include "run/Feedback.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace conv::test
{

/// A Feedback that records everything shown, in order, answers questions from a script and
/// plays the user's part in the template check.
class RecordingFeedback : public Feedback
{
public:
    /// Everything shown, one entry each: "notice: ...", "error: ...", "ask: caption",
    /// "change: N", "busy: 1/0", "template".
    std::vector<std::string> log;
    std::vector<std::string> notices;
    std::vector<std::string> errors;
    std::vector<UiChange> changes;
    /// Answers to the next questions, first first; when none is left the answer is OK.
    std::vector<bool> answers;
    /// Whether the wait cursor is on now.
    bool busy = false;
    int templateChecks = 0;
    /// What the user does in the template dialog, if anything.
    std::function<void(const std::filesystem::path&)> onCheckTemplate;

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
    void setBusy(bool on) override
    {
        busy = on;
        log.push_back(on ? "busy: 1" : "busy: 0");
    }
    void checkTemplate(const std::filesystem::path& workFolder) override
    {
        ++templateChecks;
        log.push_back("template");
        if (onCheckTemplate)
            onCheckTemplate(workFolder);
    }
};

} // namespace conv::test
