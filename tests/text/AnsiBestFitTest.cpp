#include "text/Ansi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iconv.h>
#include <locale.h>

namespace conv
{
namespace
{

/// What glibc's iconv makes of a character, under a fixed locale: one byte, or '?' when it
/// gives none or several.
unsigned char iconvBestFit(iconv_t cd, std::uint32_t ch)
{
    char in[4] = {char(ch & 0xFF), char((ch >> 8) & 0xFF), 0, 0};
    char out[16];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = sizeof in;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 1 || out[0] == 0)
        return '?';
    return static_cast<unsigned char>(out[0]);
}

// The best-fit list is kept in the source so that every platform converts alike; it was taken
// from iconv, and must stay what iconv says for every character outside the code page.
TEST(CodePage, BestFitListIsWhatIconvGives)
{
    locale_t fixed = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    ASSERT_NE(fixed, static_cast<locale_t>(nullptr));
    locale_t previous = uselocale(fixed);
    iconv_t cd = iconv_open("WINDOWS-1252//TRANSLIT", "UTF-32LE");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int differences = 0;
    for (std::uint32_t ch = 0x80; ch < 0x10000; ++ch) {
        if (ch >= 0xD800 && ch <= 0xDFFF) {
            EXPECT_EQ(ansiFromUtf16(static_cast<std::uint16_t>(ch)), '?');
            continue;
        }
        const unsigned char ours = ansiFromUtf16(static_cast<std::uint16_t>(ch));
        // Characters of the code page itself (the euro sign, accented letters) map exactly.
        if (unicodeFromAnsi(ours) == ch)
            continue;
        const unsigned char theirs = iconvBestFit(cd, ch);
        if (ours != theirs && ++differences <= 10)
            ADD_FAILURE() << std::hex << "U+" << ch << ": ours " << int(ours) << ", iconv " << int(theirs);
    }
    EXPECT_EQ(differences, 0);
    iconv_close(cd);
    uselocale(previous);
    freelocale(fixed);
}

} // namespace
} // namespace conv
