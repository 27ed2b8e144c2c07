#pragma once

#include "common/Error.h"
#include "support/TempDir.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

namespace conv
{
/// Names a layout in test output (instead of its address, which changes from build to build).
inline void PrintTo(const TableLayout* layout, std::ostream* os)
{
    *os << layout->name;
}
} // namespace conv

namespace conv::test
{

inline std::string readBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint32_t le32At(const std::string& s, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

inline std::uint16_t le16At(const std::string& s, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

/// Appends one record: name=value pairs written as text (or through the given setter).
template <typename Fill>
void appendRecord(Table& t, Fill fill)
{
    t.append();
    fill(t);
    t.post();
}

/// A small table of a code and a number, indexed on the code.
constexpr FieldDef kGoodFields[] = {{"CODE", FieldKind::Text, 4}, {"N", FieldKind::Integer, 0}};
constexpr std::string_view kGoodIndexes[] = {"CODE"};
constexpr TableLayout kGoodLayout{"GOOD", kGoodFields, kGoodIndexes};

/// GOOD.DBF in `dir`: a sound table of 300 records (its index has two levels) to spoil.
inline void makeGood(const TempDir& dir)
{
    rebuildTable(dir.path(), kGoodLayout);
    Table t(dir.path(), "GOOD.DBF");
    t.open();
    for (int i = 0; i < 300; ++i) {
        t.append();
        t.fieldByName("CODE").setString(std::to_string(i * 37 % 101));
        t.fieldByName("N").setInteger(i);
        t.post();
    }
}

} // namespace conv::test
