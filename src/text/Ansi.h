#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace conv
{

/// The converter's 8-bit code page is Windows-1252 on every platform: tables, comparisons and
/// stored text all use it. These functions are the only bridges to Unicode.

/// The Windows-1252 byte for a 16-bit character. Characters the code page cannot hold become
/// a best-fit letter where one exists (A for A-macron, L for L-stroke), else "?".
std::uint8_t ansiFromUtf16(std::uint16_t ch);

/// A Windows-1252 text as UTF-8, for output at the edges (terminal, JSON, windows).
std::string ansiToUtf8(std::string_view ansi);

/// The Unicode character of one Windows-1252 byte.
char32_t unicodeFromAnsi(unsigned char byte);

} // namespace conv
