#include "app/Help.h"

#include "common/IoErrors.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace conv::app
{

Help::Help(QString programFolder)
    : m_programFolder(std::move(programFolder))
{
}

QString Help::helpFile() const
{
    if (!fileExistsNoCase(QFile::encodeName(m_programFolder).toStdString(), kHelpFile))
        return {};
    return QFile::decodeName(
        QByteArray::fromStdString(findNoCase(QFile::encodeName(m_programFolder).toStdString(), kHelpFile).string()));
}

QString Help::viewer()
{
    for (const char* program : {"xchm", "kchmviewer", "okular"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool Help::showContents() const
{
    const QString file = helpFile();
    const QString program = viewer();
    if (file.isEmpty() || program.isEmpty())
        return false;
    return QProcess::startDetached(program, {file});
}

bool Help::showContext(int) const
{
    return showContents();
}

} // namespace conv::app
