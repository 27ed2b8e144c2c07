#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace conv
{

/// The kinds of field the converter declares. Which physical dBase type each becomes is the
/// engine's choice (see Layouts.cpp).
enum class FieldKind : std::uint8_t
{
    Text,    ///< text of `width` characters
    Integer, ///< 32-bit integer
    Float,   ///< floating-point number
    Logical,
};

struct FieldDef
{
    std::string_view name;
    FieldKind kind;
    int width = 0; ///< characters, for Text only
};

/// One work table: its name (the file is NAME.DBF, with NAME.MDX when it has indexes), its
/// fields in table order, and its index tags, each named after its one field.
struct TableLayout
{
    std::string_view name;
    std::span<const FieldDef> fields;
    std::span<const std::string_view> indexes;
};

/// The width of the text field `field` of `layout`: what the table keeps of a value written
/// there. A layout without such a text field is a mistake in the code (std::logic_error).
int widthOf(const TableLayout& layout, std::string_view field);

namespace layouts
{
extern const TableLayout CONVOCAXADE;
extern const TableLayout CURSOST;
extern const TableLayout CURSOST2;
extern const TableLayout GRUPOST;
extern const TableLayout ASIGNOMT;
extern const TableLayout ASIGNOMT2;
extern const TableLayout PROFT;
extern const TableLayout AULAT;
extern const TableLayout ASIGT;
extern const TableLayout PLANTILLA;
extern const TableLayout HORARIOXADECSV;
/// Written by the timetable program; declared for reading and for the stand-in that makes them.
extern const TableLayout SOLUC;
extern const TableLayout DIASHORAST;

/// Every layout above, for tools and tests.
std::span<const TableLayout* const> all();
} // namespace layouts

} // namespace conv
