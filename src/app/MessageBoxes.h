#pragma once

#include <QString>

#include <functional>

class QDialog;

namespace conv::app
{

/// The boxes the window shows. The program uses real message boxes; tests answer them from a
/// script instead.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    /// The plain message box: the application title as caption, no icon, one button "OK".
    virtual void message(const QString& text) = 0;
    /// The plain message box, F1 calling `help` while it stays open. Where nobody reads it, the
    /// plain message box.
    virtual void messageWithHelp(const QString& text, const std::function<void()>& help)
    {
        (void)help;
        message(text);
    }
    /// The standard error box: the application title, the stop icon, "OK". `text` already has
    /// its full stop where the rule wants one.
    virtual void error(const QString& text) = 0;
    /// The standard error box with what the message means and what to do under its text, and
    /// "Ayuda" (and F1) calling `help` while the box stays open. Where nobody reads it, the box
    /// is the plain standard error box.
    virtual void explainedError(const QString& text, const QString& explanation, const std::function<void()>& help)
    {
        (void)explanation;
        (void)help;
        error(text);
    }
    /// A question with the warning icon and OK and Cancel; true only for OK.
    virtual bool question(const QString& caption, const QString& text) = 0;
    /// A warning with the buttons "Reintentar" and "Cancelar"; true only for "Reintentar".
    virtual bool retry(const QString& text) = 0;
    /// The confirmation a data grid asks before it deletes a record: caption "Confirm", the
    /// question icon, OK and Cancel; true only for OK.
    virtual bool confirm(const QString& text) = 0;
    /// Shows a dialog modally until it closes.
    virtual void showModal(QDialog& dialog) = 0;
};

/// Real, modal message boxes centred on the screen.
class QtMessageBoxes : public MessageBoxes
{
public:
    void message(const QString& text) override;
    void messageWithHelp(const QString& text, const std::function<void()>& help) override;
    void error(const QString& text) override;
    void explainedError(const QString& text, const QString& explanation, const std::function<void()>& help) override;
    bool question(const QString& caption, const QString& text) override;
    bool retry(const QString& text) override;
    bool confirm(const QString& text) override;
    void showModal(QDialog& dialog) override;
};

} // namespace conv::app
