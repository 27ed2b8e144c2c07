#pragma once

#include "tables/Table.h"

#include <filesystem>
#include <string>
#include <vector>

namespace conv::test
{

/// A table's records in reading order (the index's when one is named), the chosen fields of each
/// joined by `separator`.
inline std::vector<std::string> dumpTable(const std::filesystem::path& folder, const std::string& file,
                                          const std::vector<std::string>& fields, const std::string& index = "",
                                          const std::string& separator = "|")
{
    Table t(folder, file);
    if (!index.empty())
        t.setIndexName(index);
    t.open();
    std::vector<std::string> rows;
    for (t.first(); !t.eof(); t.next()) {
        std::string row;
        for (std::size_t i = 0; i < fields.size(); ++i)
            row += (i ? separator : "") + t.fieldByName(fields[i]).asString();
        rows.push_back(row);
    }
    return rows;
}

} // namespace conv::test
