#include "text/Ansi.h"
#include "text/CsvLine.h"

#include <gtest/gtest.h>

namespace conv
{
namespace
{

struct DecodeCase
{
    const char* name;
    std::string raw;
    std::string ansi; // Windows-1252 bytes
};

// clang-format off
const DecodeCase kDecodeCases[] = {
    {"ascii", "Aula 1,x", "Aula 1,x"},
    {"empty", "", ""},
    {"nul byte is character 0", std::string("a\0b", 3), std::string("a\0b", 3)},
    {"two-byte letters", "P\xC3\xA9rez N\xC3\xBA\xC3\xB1\x65z", "P\xE9rez N\xFA\xF1\x65z"},
    {"capital with accent", "\xC3\x81LVARO", "\xC1LVARO"},
    {"euro sign (three bytes)", "\xE2\x82\xAC" "5", "\x80" "5"},
    {"curly quotes and dashes", "\xE2\x80\x9Cx\xE2\x80\x9D \xE2\x80\x93", "\x93x\x94 \x96"},
    {"bom is a character the code page lacks", "\xEF\xBB\xBFh", "?h"},
    {"best fit: A with macron", "\xC4\x80", "A"},
    {"best fit: L with stroke", "\xC5\x81\xC3\xB3\x64\xC5\xBA", "L\xF3" "dz"},
    {"no fit: CJK ideograph", "\xE4\xB8\xAD", "?"},
    {"no fit: multi-letter transliteration stays one character", "\xE2\x85\x93", "?"},
    {"lone surrogate gives the default character", "\xED\xA0\x80", "?"},
    {"C1 control without a glyph round-trips", "\xC2\x81", "\x81"},
    {"overlong two-byte form is accepted by the rule", "\xC1\x81", "A"},
    {"a continuation byte as first byte begins a two-byte sequence", "\x80\x81x", std::string("\x01x", 2)},
    {"F0 begins a three-byte sequence", "\xF0\x80\x80z", std::string("\0z", 2)},
    {"cut two-byte sequence", "abc\xC3", ""},
    {"cut three-byte sequence", "abc\xE2\x82", ""},
    {"broken continuation", "a\xC3(b", ""},
    {"latin-1 byte before a letter (8-bit file)", "P\xE9rez", ""},
    {"four-byte character empties the line", "a\xF0\x9F\x98\x80", ""},
    {"four-byte character followed by text", "\xF0\x9F\x98\x80 ok", ""},
    {"four-byte character completed by a stray continuation", "\xF0\x9F\x98\x80\x80",
     std::string("?\0", 2)},
};
// clang-format on

TEST(Decode, Rules)
{
    for (const DecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeLine(c.raw), c.ansi);
    }
}

TEST(Decode, ReusedOutputIsReplacedNotAppended)
{
    std::string out = "previous";
    decodeLine("x", out);
    EXPECT_EQ(out, "x");
    decodeLine("\xC3", out);
    EXPECT_EQ(out, "");
}

TEST(Decode, AsciiRunsAcrossWordBoundaries)
{
    // The ASCII fast path reads eight bytes at a time; an accented letter at every offset.
    for (std::size_t at = 0; at < 20; ++at) {
        std::string raw(20, 'a');
        raw.insert(at, "\xC3\xA9");
        std::string expected(20, 'a');
        expected.insert(at, "\xE9");
        EXPECT_EQ(decodeLine(raw), expected) << "at " << at;
    }
}

TEST(CodePage, EveryByteRoundTripsThroughUnicode)
{
    for (unsigned b = 0; b < 256; ++b) {
        const char32_t ch = unicodeFromAnsi(static_cast<unsigned char>(b));
        ASSERT_LT(ch, 0x10000u);
        EXPECT_EQ(ansiFromUtf16(static_cast<std::uint16_t>(ch)), b) << "byte " << b;
    }
}

TEST(CodePage, ToUtf8)
{
    EXPECT_EQ(ansiToUtf8("P\xE9rez \x80 \x93\141\x94"), "P\xC3\xA9rez \xE2\x82\xAC \xE2\x80\x9C\141\xE2\x80\x9D");
    EXPECT_EQ(ansiToUtf8(std::string("\0", 1)), std::string("\0", 1));
}

} // namespace
} // namespace conv
