#pragma once

#include "lang/Language.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace conv::cli
{

/// One of the batch converter's own texts (its help, its messages), written here in English as
/// the converter has always printed them, in `language`: Galician from the table of
/// CliTexts.cpp; in Spanish the text itself, unchanged. "%1", "%2"… in the text stand for
/// `values`, put in after the translation.
std::string say(lang::Language language, std::string_view english, std::initializer_list<std::string_view> values = {});

/// True when the table has the Galician of `english` (for the tests).
bool hasGalician(std::string_view english);

} // namespace conv::cli
