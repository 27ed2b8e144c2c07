#include "app/Help.h"

#include "common/IoErrors.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace conv::app
{

Help::Help(QString programFolder)
    : m_programFolder(std::move(programFolder))
{
}

QString Help::helpFile() const
{
    const std::filesystem::path file = findNoCase(QFile::encodeName(m_programFolder).toStdString(), kHelpFile);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return {};
    return QFile::decodeName(QByteArray::fromStdString(file.string()));
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
