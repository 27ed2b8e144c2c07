#include "app/MessageBoxes.h"

#include "shell/StartMode.h"

#include <QDialog>
#include <QMessageBox>

namespace conv::app
{
namespace
{

int showBox(QMessageBox::Icon icon, const QString& caption, const QString& text, QMessageBox::StandardButtons buttons)
{
    // No parent: the box is centred on the screen and modal for the whole application, also
    // when the window lives inside another program's window.
    QMessageBox box(icon, caption, text, buttons);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

} // namespace

void QtMessageBoxes::message(const QString& text)
{
    showBox(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
}

void QtMessageBoxes::error(const QString& text)
{
    showBox(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
}

bool QtMessageBoxes::question(const QString& caption, const QString& text)
{
    return showBox(QMessageBox::Warning, caption, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool QtMessageBoxes::confirm(const QString& text)
{
    return showBox(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::Ok | QMessageBox::Cancel) ==
        QMessageBox::Ok;
}

void QtMessageBoxes::showModal(QDialog& dialog)
{
    dialog.exec();
}

} // namespace conv::app
