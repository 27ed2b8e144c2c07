#include "shell/StartMode.h"

#include "common/Error.h"

namespace conv
{

std::string lowerAsciiLetters(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::int32_t hexParameter(std::string_view digits)
{
    const std::string text = "$" + std::string(digits);
    const auto invalid = [&] { return Error("'" + text + "' is not a valid integer value"); };
    if (digits.empty())
        throw invalid();
    std::uint32_t value = 0;
    for (const char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            throw invalid();
        if (value > 0x0FFFFFFFu)
            throw invalid();
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

StartMode decideStartMode(const std::vector<std::string>& parameters)
{
    StartMode mode;
    if (parameters.size() != 2)
        return mode;
    try {
        mode.parentHandle = hexParameter(parameters[1]);
    } catch (const Error& e) {
        // The rest of the embedding is skipped: the window runs standalone.
        mode.error = e.what();
        return mode;
    }
    mode.embedded = true;
    mode.numParametros = 2;
    const std::string word = lowerAsciiLetters(parameters[0]);
    mode.hideDraw3D2 = word == "importar";
    mode.hideDraw3D3 = word == "exportar";
    return mode;
}

std::string errorBoxText(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text.push_back('.');
    return text;
}

} // namespace conv
