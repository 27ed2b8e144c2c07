#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace conv
{

/// The converter's application title: caption of every message box.
inline constexpr const char* kApplicationTitle = "TransVestranosXADECSV";

/// How the window starts, decided once from the command line.
struct StartMode
{
    bool embedded = false;         ///< exactly two parameters with a valid window handle
    std::int32_t parentHandle = 0; ///< the host's window, when embedded
    int numParametros = 0;         ///< 2 when embedded, else 0
    bool hideDraw3D2 = false;      ///< direction word "importar": hide the panel of BExportar
    bool hideDraw3D3 = false;      ///< direction word "exportar": hide the panel of BImportar
    /// The conversion error shown before the window appears, when parameter 2 is not hexadecimal.
    std::optional<std::string> error;
};

/// The letters A to Z of `text` in lower case, every other character unchanged.
std::string lowerAsciiLetters(std::string_view text);

/// Converts "$" + `digits` as the classic text-to-integer conversion does: one or more
/// hexadecimal digits, nothing else, at most 32 bits (leading zeros allowed); 80000000..FFFFFFFF
/// become negative. Otherwise throws "'$...' is not a valid integer value".
std::int32_t hexParameter(std::string_view digits);

/// Decides standalone or embedded from the parameters after the program path.
StartMode decideStartMode(const std::vector<std::string>& parameters);

/// The text of the standard error box: the message with a full stop appended when its last
/// character's code is greater than that of ".".
std::string errorBoxText(std::string_view message);

} // namespace conv
