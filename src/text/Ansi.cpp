#include "text/Ansi.h"

#include <array>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <locale.h>
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

// The exact round-trip mapping is ours; the best fit for everything else comes from glibc's
// iconv with //TRANSLIT. Its transliteration depends on the LC_CTYPE locale, so the table is
// built under C.UTF-8 (always present on Debian) to give the same bytes for every user.
// A transliteration longer than one byte ("1/3" for one-third) is not a best fit: it would
// change the length of the text, so such characters become "?" like any other.
void fillBestFit(Table& table)
{
    locale_t fixed = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    locale_t previous = fixed ? uselocale(fixed) : static_cast<locale_t>(nullptr);
    iconv_t cd = iconv_open("WINDOWS-1252//TRANSLIT", "UTF-32LE");
    for (std::uint32_t ch = 0x80; ch < 0x10000; ++ch) {
        if (table[ch] != 0 || (ch >= 0xD800 && ch <= 0xDFFF))
            continue;
        table[ch] = '?';
        if (cd == reinterpret_cast<iconv_t>(-1))
            continue;
        char in[4] = {char(ch & 0xFF), char((ch >> 8) & 0xFF), 0, 0};
        char out[16];
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = sizeof in;
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const std::size_t produced = sizeof out - outLeft;
        if (rc != static_cast<std::size_t>(-1) && inLeft == 0 && produced == 1 && out[0] != 0)
            table[ch] = static_cast<std::uint8_t>(out[0]);
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    if (fixed) {
        uselocale(previous);
        freelocale(fixed);
    }
}

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
        // A lone surrogate can never be converted: the default character.
        for (unsigned ch = 0xD800; ch <= 0xDFFF; ++ch)
            t[ch] = '?';
        fillBestFit(t);
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
