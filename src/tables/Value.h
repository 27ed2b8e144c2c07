#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace conv
{

/// A field's plain value, or a value to search for: null (an empty field), text in the
/// converter's code page, a 32-bit integer, a float or a logical. A null equals no text:
/// an empty field reads as null, and null matches an empty field.
using Value = std::variant<std::monostate, std::string, std::int32_t, double, bool>;

} // namespace conv
