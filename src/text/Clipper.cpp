#include "text/Clipper.h"

namespace conv::Clipper
{

std::string QuitaBlancosIzq(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string QuitaBlancosDer(std::string_view text)
{
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string QuitaBlancos(std::string_view text)
{
    return QuitaBlancosIzq(QuitaBlancosDer(text));
}

std::string Mayusculas(std::string_view text)
{
    std::string result;
    for (const char c : text)
        if (c >= 'A' && c <= 'Z')
            result.push_back(c);
    return result;
}

std::string Iniciales(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == ' ')
            result.push_back(text[i + 1]);
    return result;
}

} // namespace conv::Clipper
