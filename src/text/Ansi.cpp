#include "text/Ansi.h"

#include <array>
#include <mutex>

namespace conv
{
namespace
{

// The Unicode characters of bytes 80..9F. The five bytes Windows-1252 leaves undefined map to
// the C1 control of the same number, as the Windows conversion does, so they round-trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

using Table = std::array<std::uint8_t, 0x10000>;

struct BestFit
{
    char16_t ch;
    std::uint8_t byte;
};

constexpr BestFit kBestFit[] = {
#include "text/AnsiBestFit.inc"
};

const Table& table()
{
    static Table t{};
    static std::once_flag once;
    std::call_once(once, [] {
        for (unsigned b = 0; b < 0x80; ++b)
            t[b] = static_cast<std::uint8_t>(b);
        for (unsigned b = 0xA0; b < 0x100; ++b)
            t[b] = static_cast<std::uint8_t>(b);
        for (unsigned i = 0; i < kHighControls.size(); ++i)
            t[kHighControls[i]] = static_cast<std::uint8_t>(0x80 + i);
        // Everything else is the best fit where there is one, else the default character "?"
        // (a lone surrogate among them). A best fit longer than one byte ("1/3" for one-third)
        // would change the length of the text, so it is none.
        for (unsigned ch = 0x80; ch < 0x10000; ++ch)
            if (t[ch] == 0)
                t[ch] = '?';
        for (const BestFit& f : kBestFit)
            t[f.ch] = f.byte;
    });
    return t;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::uint8_t ansiFromUtf16(std::uint16_t ch)
{
    return table()[ch];
}

char32_t unicodeFromAnsi(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return byte;
}

std::string ansiToUtf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (const char c : ansi)
        appendUtf8(out, unicodeFromAnsi(static_cast<unsigned char>(c)));
    return out;
}

} // namespace conv
