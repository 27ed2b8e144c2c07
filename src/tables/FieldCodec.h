#pragma once

#include "tables/DbfFormat.h"
#include "tables/Value.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace conv::codec
{

/// Reading a field's plain value in another kind. Texts of the errors are the run-time
/// library's: "'%s' is not a valid integer value" and so on.
std::string toString(const Value& v);
std::int32_t toInteger(const Value& v, std::string_view fieldName);
double toFloat(const Value& v);
bool toBoolean(const Value& v);

/// A float as the run-time library shows it: up to 15 significant digits, "2.5", "1E20".
std::string formatFloat(double v);
/// A whole number in text, blanks around it allowed; false when it is not one or too big.
bool parseInteger(std::string_view text, std::int32_t& out);
bool parseFloat(std::string_view text, double& out);
/// Rounds to nearest, halves to even; false when the result is not a 32-bit integer.
bool roundToInteger(double v, std::int32_t& out);

/// Storing a value into a field's bytes (`data` points at the field). Text is cut to the width.
void storeString(const dbf::Field& f, char* data, std::string_view text);
void storeInteger(const dbf::Field& f, char* data, std::int32_t v);
void storeFloat(const dbf::Field& f, char* data, double v);
void storeBoolean(const dbf::Field& f, char* data, bool v);
void storeValue(const dbf::Field& f, char* data, const Value& v);

} // namespace conv::codec
