#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace conv
{

/// What checking a table found: every problem in words, and some figures.
struct TableCheck
{
    std::vector<std::string> problems;
    std::uint32_t records = 0;
    std::uint32_t deleted = 0;
    std::size_t tags = 0;
    bool ok() const { return problems.empty(); }
};

/// Checks a table and its production index without trusting either: the header against the
/// file, every record's field values, and each tag's tree (pages inside the file, no page
/// reached twice, all leaves at one depth, keys in order, each interior key the highest of its
/// child, every record once with the key its field gives). Raises only when the file cannot be
/// read at all; everything wrong with its contents is a problem in the result.
TableCheck checkTable(const std::filesystem::path& dbf);

/// The same on bytes in memory (for fuzzing): `mdx` is empty when there is no index file.
TableCheck checkTableBytes(const std::string& dbf, const std::string* mdx, const std::filesystem::path& name);

} // namespace conv
