#pragma once

#include "app/embed/Embedding.h"
#include "app/MainWindow.h"
#include "app/MessageBoxes.h"

#include <QDialog>
#include <QDir>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <deque>

namespace conv::app::test
{

/// Message boxes answered from a script; every box shown is recorded as "kind: text".
class ScriptedBoxes : public MessageBoxes
{
public:
    QStringList shown;
    std::deque<bool> answers; ///< for the questions, in order; none left means Cancel
    /// What the user does in a modal dialog; by default it is closed through its title bar.
    std::function<void(QDialog&)> onDialog;

    void message(const QString& text) override
    {
        shown << "message: " + text;
    }
    void error(const QString& text) override
    {
        shown << "error: " + text;
    }
    /// What the user does before answering a question (fix what the box complains of).
    std::function<void()> onQuestion;

    bool question(const QString& caption, const QString& text) override
    {
        shown << "question: " + caption + " | " + text;
        if (onQuestion)
            onQuestion();
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool confirm(const QString& text) override
    {
        return question(QStringLiteral("Confirm"), text);
    }
    bool retry(const QString& text) override
    {
        return question(QStringLiteral("Reintentar"), text);
    }
    void showModal(QDialog& dialog) override
    {
        shown << "dialog: " + dialog.windowTitle();
        dialog.show();
        if (onDialog)
            onDialog(dialog);
        if (dialog.isVisible())
            dialog.reject();
    }
};

/// The window, started with `parameters` from a program folder, its boxes answered by `boxes`,
/// shown (not yet necessarily active).
inline std::unique_ptr<TMForm> startWindow(std::vector<std::string> parameters, const QString& programFolder,
                                           ScriptedBoxes& boxes, ParentWindows& parents)
{
    boxes.shown.clear();
    WindowSetup setup;
    setup.parameters = std::move(parameters);
    setup.programFolder = programFolder;
    setup.boxes = &boxes;
    setup.parents = &parents;
    auto w = std::make_unique<TMForm>(setup);
    w->show();
    return w;
}

/// The window started as a school's administrator starts it: from the school's folder, and in
/// front, so that keys reach it.
inline std::unique_ptr<TMForm> startActiveWindow(const QString& school, std::vector<std::string> parameters,
                                                 const QString& programFolder, ScriptedBoxes& boxes,
                                                 ParentWindows& parents)
{
    QDir::setCurrent(school);
    auto w = startWindow(std::move(parameters), programFolder, boxes, parents);
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("window not active");
    return w;
}

/// Foreign windows of a pretend host: the listed handle exists until it goes away.
class FakeParents : public ParentWindows
{
public:
    std::uint32_t existing = 0x1A2B;
    int embeds = 0;

    bool exists(std::uint32_t handle) override
    {
        return handle == existing;
    }
    bool embed(QWidget*, std::uint32_t) override
    {
        ++embeds;
        return true;
    }
    void takeFocus(QWidget*) override
    {
    }
};

} // namespace conv::app::test
