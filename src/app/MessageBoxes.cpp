#include "app/MessageBoxes.h"

#include "app/GradientPanel.h"
#include "app/Translation.h"
#include "shell/StartMode.h"

#include <QApplication>
#include <QDialog>
#include <QWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

namespace conv::app
{
namespace
{

/// A box or dialog stays above the window that was active when it opened. Its transient parent
/// must be a top-level window: an embedded window is not one, so the box goes with the window
/// at the top of its chain (the host's) instead of the one Qt would pick.
void keepAboveTheActiveWindow(QWidget& box)
{
    QWidget* active = QApplication::activeWindow();
    if (!active || active == &box || !active->windowHandle())
        return;
    QWindow* top = active->windowHandle();
    while (top->parent())
        top = top->parent();
    box.winId();
    if (QWindow* own = box.windowHandle())
        own->setTransientParent(top);
}

/// OK and Cancel in the window's language. Spanish keeps Qt's own captions, as the boxes always had.
void nameStandardButtons(QMessageBox& box)
{
    if (windowLanguage() == lang::Language::Spanish)
        return;
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->setText(QCoreApplication::translate("conv::app::QtMessageBoxes", "OK"));
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        cancel->setText(QCoreApplication::translate("conv::app::QtMessageBoxes", "Cancel"));
}

int showBox(QMessageBox::Icon icon, const QString& caption, const QString& text, QMessageBox::StandardButtons buttons)
{
    // No parent: the box is centred on the screen and modal for the whole application, also
    // when the window lives inside another program's window.
    QMessageBox box(icon, caption, text, buttons);
    box.setFont(formFont()); // the window's own font, not the desktop's larger one
    nameStandardButtons(box);
    keepAboveTheActiveWindow(box);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

} // namespace

void QtMessageBoxes::message(const QString& text)
{
    showBox(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
}

void QtMessageBoxes::messageWithHelp(const QString& text, const std::function<void()>& help)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
    box.setFont(formFont());
    nameStandardButtons(box);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &box);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, &box, [&help] { help(); });
    keepAboveTheActiveWindow(box);
    box.exec();
}

void QtMessageBoxes::error(const QString& text)
{
    showBox(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
}

void QtMessageBoxes::explainedError(const QString& text, const QString& explanation,
                                    const std::function<void()>& help)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
    box.setFont(formFont());
    box.setInformativeText(explanation);
    nameStandardButtons(box);
    QPushButton* ayuda = box.addButton(QCoreApplication::translate("conv::app::QtMessageBoxes", "A&yuda"), QMessageBox::HelpRole);
    ayuda->setObjectName(QStringLiteral("help"));
    // The help opens beside the box, which stays until "OK".
    QObject::disconnect(ayuda, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(ayuda, &QPushButton::clicked, &box, [&help] { help(); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &box);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, &box, [&help] { help(); });
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    keepAboveTheActiveWindow(box);
    box.exec();
}

bool QtMessageBoxes::question(const QString& caption, const QString& text)
{
    return showBox(QMessageBox::Warning, caption, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool QtMessageBoxes::retry(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle), text);
    box.setFont(formFont());
    QPushButton* again =
        box.addButton(QCoreApplication::translate("conv::app::QtMessageBoxes", "&Reintentar"), QMessageBox::AcceptRole);
    QPushButton* cancel =
        box.addButton(QCoreApplication::translate("conv::app::QtMessageBoxes", "&Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(again);
    box.setEscapeButton(cancel);
    keepAboveTheActiveWindow(box);
    box.exec();
    return box.clickedButton() == again;
}

bool QtMessageBoxes::confirm(const QString& text)
{
    return showBox(QMessageBox::Question, QCoreApplication::translate("conv::app::QtMessageBoxes", "Confirm"), text,
                   QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtMessageBoxes::showModal(QDialog& dialog)
{
    keepAboveTheActiveWindow(dialog);
    dialog.exec();
}

} // namespace conv::app
