#include "tables/FieldCodec.h"

#include "common/Error.h"
#include "tables/Bytes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace conv::codec
{
namespace
{

std::string_view stripBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

[[noreturn]] void outOfRange(const dbf::Field& f)
{
    throw Error("Value out of range for field '" + f.name + "'");
}

void storeNumberText(const dbf::Field& f, char* data, double v)
{
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%*.*f", f.length, f.decimals, v);
    if (n < 0 || n > f.length || !std::isfinite(v))
        outOfRange(f);
    std::memcpy(data, buf, static_cast<std::size_t>(n));
}

} // namespace

std::string formatFloat(double v)
{
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v < 0 ? "-INF" : "INF";
    if (v == 0)
        return "0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    std::string digits(1, buf[0]);
    const char* p = buf + 2;
    while (*p >= '0' && *p <= '9')
        digits += *p++;
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = v < 0 ? "-" : "";
    if (exponent >= 15 || std::fabs(v) < 0.00001) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    const auto whole = static_cast<std::size_t>(exponent + 1);
    if (digits.size() <= whole)
        return out + digits + std::string(whole - digits.size(), '0');
    return out + digits.substr(0, whole) + "." + digits.substr(whole);
}

bool parseInteger(std::string_view text, std::int32_t& out)
{
    text = stripBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return false;
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < INT32_MIN || v > INT32_MAX)
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

bool parseFloat(std::string_view text, double& out)
{
    text = stripBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

bool roundToInteger(double v, std::int32_t& out)
{
    const double r = std::nearbyint(v); // the default rounding mode: to nearest, halves to even
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return false;
    out = static_cast<std::int32_t>(r);
    return true;
}

std::string toString(const Value& v)
{
    struct Visit
    {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(std::int32_t i) const { return std::to_string(i); }
        std::string operator()(double d) const { return formatFloat(d); }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
    };
    return std::visit(Visit{}, v);
}

std::int32_t toInteger(const Value& v, std::string_view fieldName)
{
    if (const auto* s = std::get_if<std::string>(&v)) {
        std::int32_t out = 0;
        if (!parseInteger(*s, out))
            throw Error("'" + *s + "' is not a valid integer value");
        return out;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        std::int32_t out = 0;
        if (!roundToInteger(*d, out))
            throw Error("Value out of range for field '" + std::string(fieldName) + "'");
        return out;
    }
    if (const auto* i = std::get_if<std::int32_t>(&v))
        return *i;
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? 1 : 0;
    return 0;
}

double toFloat(const Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v)) {
        double out = 0;
        if (!parseFloat(*s, out))
            throw Error("'" + *s + "' is not a valid floating point value");
        return out;
    }
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int32_t>(&v))
        return *i;
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? 1 : 0;
    return 0;
}

bool toBoolean(const Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return !s->empty() && std::strchr("TtYy", (*s)[0]) != nullptr;
    if (const auto* d = std::get_if<double>(&v))
        return *d != 0;
    if (const auto* i = std::get_if<std::int32_t>(&v))
        return *i != 0;
    if (const auto* b = std::get_if<bool>(&v))
        return *b;
    return false;
}

void storeString(const dbf::Field& f, char* data, std::string_view text)
{
    dbf::clearField(f, data);
    switch (f.type) {
    case 'C':
    case 'M':
    case 'B':
    case 'G':
        if (!text.empty()) // an empty view may hold no pointer at all
            std::memcpy(data, text.data(), std::min(text.size(), static_cast<std::size_t>(f.length)));
        return;
    case 'D': {
        std::string digits;
        for (char c : text)
            if (c >= '0' && c <= '9')
                digits += c;
        if (stripBlanks(text).empty())
            return;
        if (digits.size() != 8)
            throw Error("'" + std::string(text) + "' is not a valid date");
        std::memcpy(data, digits.data(), 8);
        return;
    }
    case 'L': {
        const std::string_view s = stripBlanks(text);
        if (s.empty())
            return;
        if (std::strchr("TtYy", s[0]))
            data[0] = 'T';
        else if (std::strchr("FfNn", s[0]))
            data[0] = 'F';
        else
            throw Error("'" + std::string(text) + "' is not a valid boolean value");
        return;
    }
    case 'I':
    case '+': {
        if (stripBlanks(text).empty())
            return;
        std::int32_t v = 0;
        if (!parseInteger(text, v))
            throw Error("'" + std::string(text) + "' is not a valid integer value");
        storeInteger(f, data, v);
        return;
    }
    default: {
        if (stripBlanks(text).empty())
            return;
        double v = 0;
        if (!parseFloat(text, v))
            throw Error("'" + std::string(text) + "' is not a valid floating point value");
        storeFloat(f, data, v);
        return;
    }
    }
}

void storeInteger(const dbf::Field& f, char* data, std::int32_t v)
{
    switch (f.type) {
    case 'I':
    case '+':
        if (f.length == 4) {
            if (v == INT32_MIN) // its stored form would be four zero bytes, the empty field
                outOfRange(f);
            bytes::putBe32(bytes::u(data), dbf::encodeInteger(v));
            return;
        }
        storeNumberText(f, data, v);
        return;
    case 'O':
    case 'N':
    case 'F':
        storeFloat(f, data, v);
        return;
    case 'L':
        storeBoolean(f, data, v != 0);
        return;
    default:
        storeString(f, data, std::to_string(v));
        return;
    }
}

void storeFloat(const dbf::Field& f, char* data, double v)
{
    switch (f.type) {
    case 'O':
        if (f.length != 8)
            break;
        if (!std::isfinite(v))
            outOfRange(f);
        bytes::putBe64(bytes::u(data), dbf::encodeDouble(v));
        return;
    case 'I':
    case '+': {
        std::int32_t i = 0;
        if (!roundToInteger(v, i))
            outOfRange(f);
        storeInteger(f, data, i);
        return;
    }
    case 'N':
    case 'F':
        break;
    case 'L':
        storeBoolean(f, data, v != 0);
        return;
    default:
        storeString(f, data, formatFloat(v));
        return;
    }
    dbf::clearField(f, data);
    storeNumberText(f, data, v);
}

void storeBoolean(const dbf::Field& f, char* data, bool v)
{
    switch (f.type) {
    case 'L':
        data[0] = v ? 'T' : 'F';
        return;
    case 'I':
    case '+':
    case 'O':
    case 'N':
    case 'F':
        storeInteger(f, data, v ? 1 : 0);
        return;
    default:
        storeString(f, data, v ? "T" : "F");
        return;
    }
}

void storeValue(const dbf::Field& f, char* data, const Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        storeString(f, data, *s);
    else if (const auto* i = std::get_if<std::int32_t>(&v))
        storeInteger(f, data, *i);
    else if (const auto* d = std::get_if<double>(&v))
        storeFloat(f, data, *d);
    else if (const auto* b = std::get_if<bool>(&v))
        storeBoolean(f, data, *b);
    else
        dbf::clearField(f, data);
}

} // namespace conv::codec
