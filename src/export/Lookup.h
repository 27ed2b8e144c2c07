#pragma once

#include "tables/Table.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace conv::exporter
{

/// The answer of a locate on fixed fields, kept for every value the table holds: the first
/// record in reading order whose fields equal the values as the engine compares them (each
/// value cut to its field's width, trailing blanks not counting), giving one field of it.
///
/// The export searches the same unchanging tables once or more per class of the timetable; a
/// scan of the table for each class costs too much for a large school. The table is read once
/// here instead, with the engine's own rules, so the answers are those the locate would give.
/// A table whose searched fields are not all text fields is searched with the engine's locate.
class LocateIndex
{
public:
    /// `fields` joined by ";" as for Table::locate; `result` the field the answer gives.
    LocateIndex(Table& table, std::string_view fields, std::string_view result);

    /// The `result` field of the first record matching `values` (one per field), or nothing.
    std::optional<std::string> find(const std::vector<std::string>& values);

private:
    std::string key(const std::vector<std::string>& values, bool cut) const;

    Table& m_table;
    std::string m_fields;
    std::string m_result;
    std::vector<int> m_widths; // of the searched fields; empty when the engine searches
    std::unordered_map<std::string, std::string> m_first;
};

} // namespace conv::exporter
