#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace conv::app
{

/// A text of the converter's code page (Windows-1252) for display.
QString fromAnsi(std::string_view ansi);
/// A typed or shown text in the converter's code page; characters it lacks take their best fit.
std::string toAnsi(const QString& text);

/// A file name of the window as the core's text of it (UTF-8 on Windows, the system's bytes,
/// which Qt reads as UTF-8, elsewhere), as a path with the platform's separators, and back
/// with Qt's.
std::string pathText(const QString& path);
std::filesystem::path toPath(const QString& path);
QString fromPath(const std::filesystem::path& path);

} // namespace conv::app
