#pragma once

#include "lang/Language.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace conv::lang
{

/// A text of the core as `language` says it. The core writes its messages in Spanish
/// (Windows-1252); the Galician form of each is kept here, found by the Spanish text, also for
/// the messages with values in them (the numbers of an export that wrote nothing). Taken line by
/// line, so that the lines an error box adds ("File: …") and the table engine's English texts
/// stay as they are; a line may end in the full stop the error box adds. In Spanish, and for a
/// text the table does not know, the text itself.
std::string localise(std::string_view text, Language language);

/// A text of the core written in UTF-8 (the title, columns and values of a list the window shows)
/// as `language` says it: the whole text, found in the same table; otherwise the text itself.
std::string localiseUtf8(std::string_view text, Language language);

/// `pattern` with "%1"… replaced by `values` (the first value for "%1"), in one pass: a value
/// that itself holds "%2" stays as it is. A mark without its value stays too.
std::string fillIn(std::string_view pattern, const std::vector<std::string_view>& values);

/// The table: each Spanish message (Windows-1252; "%1"… stands for a value) with its Galician
/// form (UTF-8).
const std::vector<std::pair<std::string, std::string>>& messageTable();

} // namespace conv::lang
