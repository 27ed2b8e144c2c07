#include "app/AnsiText.h"

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

} // namespace conv::app
