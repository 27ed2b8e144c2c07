#include "import/DataLines.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace conv::import
{
namespace
{

std::vector<std::vector<std::string>> oneByOne(const std::filesystem::path& file, bool withHeader)
{
    DataLines lines(file, withHeader);
    std::vector<std::vector<std::string>> out;
    FieldList f;
    while (lines.next(f))
        out.push_back(f.toVector());
    return out;
}

std::vector<std::vector<std::string>> inBlocks(const std::filesystem::path& file, bool withHeader)
{
    DataLines lines(file, withHeader);
    std::vector<std::vector<std::string>> out;
    std::array<FieldList, 4> block;
    while (const std::size_t n = lines.next(block)) {
        EXPECT_LE(n, block.size());
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(block[i].toVector());
    }
    FieldList f;
    EXPECT_FALSE(lines.next(f)) << "a line left after the last block";
    return out;
}

TEST(DataLines, BlocksGiveTheLinesOneByOneGives)
{
    // Line counts around the block size, a quoted field with a comma, an empty line, a Ctrl-Z
    // that ends the file and a last line without its line end.
    test::TempDir dir;
    const std::vector<std::string> files = {
        "",
        "HEADER\r\n",
        "H\r\na,1\r\n",
        "H\r\na,1\r\nb,2\r\nc,3\r\n",
        "H\r\na,1\r\nb,2\r\nc,3\r\nd,4\r\n",
        "H\r\na,1\r\nb,\"x,y\"\r\n\r\nc,3\r\nd,4\r\ne",
        "H\r\na,1\r\nb,2\x1A"
        "c,3\r\nd,4\r\n",
    };
    for (std::size_t i = 0; i < files.size(); ++i)
        for (const bool withHeader : {false, true}) {
            const auto file = dir.write("f" + std::to_string(i) + ".csv", files[i]);
            EXPECT_EQ(inBlocks(file, withHeader), oneByOne(file, withHeader))
                << "file " << i << (withHeader ? " with its header" : "");
        }
}

} // namespace
} // namespace conv::import
