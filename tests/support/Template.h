#pragma once

#include "tables/Layouts.h"
#include "tables/Table.h"

#include <cstdio>
#include <filesystem>

namespace conv::test
{

/// A new PLANTILLA in `folder` (any earlier one replaced) with `periods` periods, the first at
/// 08:00 and each an hour long: HORA 1, 2…, HORAINI "08:00", "09:00"…, and HORAFIN when asked.
inline void writeTemplate(const std::filesystem::path& folder, int periods, bool withEnd = false)
{
    Table t(folder, "PLANTILLA.DBF");
    t.deleteTable();
    t.setLayout(layouts::PLANTILLA);
    t.createTable();
    t.open();
    const auto clock = [](int hour) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d:00", hour);
        return std::string(text);
    };
    for (int i = 1; i <= periods; ++i) {
        t.append();
        t.fieldByName("HORA").setInteger(i);
        t.fieldByName("HORAINI").setString(clock(i + 7));
        if (withEnd)
            t.fieldByName("HORAFIN").setString(clock(i + 8));
        t.post();
    }
    t.close();
}

} // namespace conv::test
