#include "text/CsvReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace conv
{
namespace
{

std::vector<std::string> readAll(const std::string& bytes, std::size_t bufferSize)
{
    CsvReader reader(std::make_unique<MemorySource>(bytes), bufferSize);
    std::vector<std::string> lines;
    std::string line;
    while (!reader.atEnd()) {
        EXPECT_TRUE(reader.nextLine(line));
        lines.push_back(line);
        EXPECT_EQ(reader.lineNumber(), static_cast<long>(lines.size()));
    }
    EXPECT_FALSE(reader.nextLine(line));
    EXPECT_EQ(line, "");
    return lines;
}

struct LineCase
{
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

const std::string kCtrlZ = "\x1A";

const LineCase kLineCases[] = {
    {"line feeds", "h\na\nb\n", {"h", "a", "b"}},
    {"crlf", "h\r\na\r\nb\r\n", {"h", "a", "b"}},
    {"last line without line end", "h\na\nb", {"h", "a", "b"}},
    {"mixed line ends", "h\r\na\nb", {"h", "a", "b"}},
    {"lone carriage returns are dropped", "h\ra\rb\r", {"hab"}},
    {"carriage return inside a line", "a\rb\r\nc", {"ab", "c"}},
    {"two carriage returns before a line feed", "a\r\r\nb", {"a", "b"}},
    {"empty file", "", {}},
    {"header only", "h", {"h"}},
    {"header only with line end", "h\r\n", {"h"}},
    {"one empty line", "\n", {""}},
    {"empty line after the header", "h\n\n", {"h", ""}},
    {"empty lines in the middle", "h\n\n\nx\n", {"h", "", "", "x"}},
    {"only a carriage return", "\r", {""}},
    {"ctrl-z after the third line", "a\nb\nc\n" + kCtrlZ + "d\ne\n", {"a", "b", "c"}},
    {"ctrl-z in the middle of a line", "a\nbc" + kCtrlZ + "d\ne", {"a", "bc"}},
    {"ctrl-z at the start", kCtrlZ + "a\nb", {}},
    {"ctrl-z right after a carriage return", "a\r" + kCtrlZ + "\nb", {"a"}},
    {"ctrl-z as the last byte", "a\nb\n" + kCtrlZ, {"a", "b"}},
    {"nul bytes stay in the line", std::string("a\0b\n\0", 5), {std::string("a\0b", 3), std::string("\0", 1)}},
    {"bom stays in the header", "\xEF\xBB\xBFh\na", {"\xEF\xBB\xBFh", "a"}},
    {"only quotes", "\"\"\"\"\"", {"\"\"\"\"\""}},
};

class LineReading : public ::testing::TestWithParam<std::size_t>
{
};

TEST_P(LineReading, EveryCaseAtThisBufferSize)
{
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readAll(c.bytes, GetParam()), c.lines);
    }
}

// Tiny buffers put every line end, carriage return and Ctrl-Z across a buffer boundary.
INSTANTIATE_TEST_SUITE_P(BufferSizes, LineReading, ::testing::Values(1, 2, 3, 5, 64, 1 << 18));

TEST(LineReading, LongLinesAreReadWhole)
{
    for (const std::size_t length : {1000u, 300000u, 3000000u}) {
        std::string line(length, 'x');
        line[length / 2] = '\r';
        const auto lines = readAll("h\n" + line + "\r\nz", 4096);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[1].size(), length - 1);
        EXPECT_EQ(lines[1].find('\r'), std::string::npos);
        EXPECT_EQ(lines[2], "z");
    }
}

TEST(LineReading, ClosedReaderIsAtEnd)
{
    CsvReader reader(std::make_unique<MemorySource>("a\nb\n"));
    EXPECT_EQ(reader.nextLine(), "a");
    reader.close();
    EXPECT_TRUE(reader.atEnd());
}

} // namespace
} // namespace conv
