#pragma once

#include "export/Export.h"
#include "run/RunState.h"
#include "support/TempDir.h"
#include "tables/Layouts.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace conv::test
{

/// One record to append: field name and value.
using Row = std::vector<std::pair<std::string, Value>>;

/// A Feedback that records what the export shows and plays a scripted template check.
class ExportFeedback : public Feedback
{
public:
    std::vector<std::string> log;
    std::vector<std::string> notices;
    std::vector<std::string> errors;
    std::vector<UiChange> changes;
    int templateChecks = 0;
    bool busy = false;
    /// What the user does in the template dialog, if anything.
    std::function<void(const std::filesystem::path&)> onCheckTemplate;

    void notice(const std::string& text) override
    {
        notices.push_back(text);
        log.push_back("notice: " + text);
    }
    void errorBox(const std::string& text) override
    {
        errors.push_back(text);
        log.push_back("error: " + text);
    }
    bool askOkCancel(const std::string& caption, const std::string&) override
    {
        log.push_back("ask: " + caption);
        return true;
    }
    void change(UiChange what) override
    {
        changes.push_back(what);
        log.push_back("change: " + std::to_string(static_cast<int>(what)));
    }
    void setBusy(bool on) override
    {
        busy = on;
        log.push_back(on ? "busy: 1" : "busy: 0");
    }
    void checkTemplate(const std::filesystem::path& workFolder) override
    {
        ++templateChecks;
        log.push_back("template");
        if (onCheckTemplate)
            onCheckTemplate(workFolder);
    }
};

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
    ExportFeedback feedback;

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
