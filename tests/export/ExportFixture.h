#pragma once

#include "export/Export.h"
#include "run/RunState.h"
#include "support/RecordingFeedback.h"
#include "support/TempDir.h"
#include "tables/Layouts.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace conv::test
{

/// One record to append: field name and value.
using Row = std::vector<std::pair<std::string, Value>>;

inline std::string fileBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// A work folder and a CSV folder in a temporary folder, with a run on them.
class ExportFixture
{
public:
    TempDir dir;
    std::filesystem::path work = dir / "VTEMP";
    std::filesystem::path csv = dir / "xade";
    RecordingFeedback feedback;

    ExportFixture()
    {
        std::filesystem::create_directories(work);
        std::filesystem::create_directories(csv);
    }

    /// Rebuilds `layout` in the work folder with these records.
    void table(const TableLayout& layout, const std::vector<Row>& rows) const
    {
        rebuildTable(work, layout);
        Table t(work, std::string(layout.name) + ".DBF");
        t.open();
        for (const Row& row : rows) {
            t.append();
            for (const auto& [name, value] : row)
                t.fieldByName(name).setValue(value);
            t.post();
        }
        t.close();
    }

    /// Every record of a table (in `index` order when given), each field as text joined by "|".
    std::vector<std::string> dump(const TableLayout& layout, const std::string& index = "") const
    {
        Table t(work, std::string(layout.name) + ".DBF");
        t.setIndexName(index);
        t.open();
        std::vector<std::string> out;
        for (; !t.eof(); t.next()) {
            std::string line;
            for (int i = 0; i < t.fieldCount(); ++i)
                line += (i ? "|" : "") + t.field(i).asString();
            out.push_back(line);
        }
        return out;
    }

    std::string horario() const
    {
        return fileBytes(csv / "HORARIO.CSV");
    }
};

/// A template of `n` periods whose start times are 08:00, 09:00, ... in HORA order.
inline std::vector<Row> hourlyTemplate(int n)
{
    std::vector<Row> rows;
    for (int i = 1; i <= n; ++i) {
        const std::string h = (i + 7 < 10 ? "0" : "") + std::to_string(i + 7);
        rows.push_back({{"HORA", std::int32_t(i)}, {"HORAINI", h + ":00"}, {"HORAFIN", h + ":50"}});
    }
    return rows;
}

} // namespace conv::test
