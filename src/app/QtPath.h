#pragma once

#include "platform/File.h"

#include <QDir>
#include <QString>

#include <filesystem>
#include <string>

namespace conv::app
{

/// A file name of the window as the core's text of it (UTF-8 on Windows, the system's bytes,
/// which Qt reads as UTF-8, elsewhere), with the platform's separators: the core shows paths in
/// its messages that way.
inline std::string pathText(const QString& path)
{
    return QDir::toNativeSeparators(path).toUtf8().toStdString();
}

/// The same file name as a path, and a path back as the window's text of it (Qt's separators).
inline std::filesystem::path toPath(const QString& path)
{
    return platform::pathFromText(pathText(path));
}

inline QString fromPath(const std::filesystem::path& path)
{
    return QDir::fromNativeSeparators(QString::fromStdString(platform::pathText(path)));
}

} // namespace conv::app
