#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace conv::app
{

/// A text of the converter's code page (Windows-1252) for display.
QString fromAnsi(std::string_view ansi);
/// A typed or shown text in the converter's code page; characters it lacks take their best fit.
std::string toAnsi(const QString& text);

} // namespace conv::app
