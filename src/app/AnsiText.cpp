#include "app/AnsiText.h"

#include "platform/File.h"

#include <QDir>
#include "text/Ansi.h"

namespace conv::app
{

QString fromAnsi(std::string_view ansi)
{
    return QString::fromStdString(ansiToUtf8(ansi));
}

std::string toAnsi(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text)
        out.push_back(static_cast<char>(ansiFromUtf16(c.unicode())));
    return out;
}

std::string pathText(const QString& path)
{
    // Qt 6 takes file names as UTF-8 on every Unix, and the core's text is UTF-8 on Windows;
    // the core shows paths in its messages with the platform's separators.
    return QDir::toNativeSeparators(path).toUtf8().toStdString();
}

std::filesystem::path toPath(const QString& path)
{
    return platform::pathFromText(pathText(path));
}

QString fromPath(const std::filesystem::path& path)
{
    return QDir::fromNativeSeparators(QString::fromStdString(platform::pathText(path)));
}

} // namespace conv::app
