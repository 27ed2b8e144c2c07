#pragma once

#include <string>
#include <string_view>

/// Small text functions for trimming XADE values and building short codes from names.
/// A blank here is the space character alone: tabs and other control characters are kept.
namespace conv::Clipper
{

/// The text without its leading and trailing blanks.
std::string QuitaBlancos(std::string_view text);
/// The text without its leading blanks.
std::string QuitaBlancosIzq(std::string_view text);
/// The text without its trailing blanks.
std::string QuitaBlancosDer(std::string_view text);
/// The capital letters "A" to "Z" of the text, in order (accented capitals are dropped).
std::string Mayusculas(std::string_view text);
/// Every character that directly follows a blank, in order.
std::string Iniciales(std::string_view text);

} // namespace conv::Clipper
