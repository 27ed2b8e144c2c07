#include "export/Lookup.h"

#include "tables/DbfFormat.h"

namespace conv::exporter
{
namespace
{

std::vector<std::string_view> splitNames(std::string_view names)
{
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t semi = names.find(';', start);
        std::string_view name = names.substr(start, semi == std::string_view::npos ? semi : semi - start);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        out.push_back(name);
        if (semi == std::string_view::npos)
            return out;
        start = semi + 1;
    }
}

/// A search value as a text field of `width` holds it: cut to the width, trailing blanks and
/// NULs not counting (the engine's comparison).
std::string_view searchForm(std::string_view value, int width)
{
    if (value.size() > static_cast<std::size_t>(width))
        value = value.substr(0, static_cast<std::size_t>(width));
    while (!value.empty() && (value.back() == ' ' || value.back() == '\0'))
        value.remove_suffix(1);
    return value;
}

} // namespace

LocateIndex::LocateIndex(Table& table, std::string_view fields, std::string_view result)
    : m_table(table)
    , m_fields(fields)
    , m_result(result)
{
    std::vector<FieldRef> refs;
    for (std::string_view name : splitNames(fields)) {
        refs.push_back(table.fieldByName(name));
        bool text = false;
        for (int i = 0; i < table.fieldCount(); ++i)
            if (table.physicalField(i).name == refs.back().name())
                text = table.physicalField(i).type == 'C';
        if (!text) {
            m_widths.clear();
            return;
        }
        m_widths.push_back(refs.back().def().width);
    }
    FieldRef answer = table.fieldByName(result);
    std::vector<std::string> values(refs.size());
    for (table.first(); !table.eof(); table.next()) {
        for (std::size_t i = 0; i < refs.size(); ++i)
            values[i] = refs[i].asString();
        m_first.try_emplace(key(values, false), answer.asString());
    }
}

std::string LocateIndex::key(const std::vector<std::string>& values, bool cut) const
{
    std::string k;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string_view v = cut ? searchForm(values[i], m_widths[i]) : std::string_view(values[i]);
        k += std::to_string(v.size());
        k += ':';
        k += v;
    }
    return k;
}

std::optional<std::string> LocateIndex::find(const std::vector<std::string>& values)
{
    if (m_widths.empty() || values.size() != m_widths.size()) {
        std::vector<Value> wanted(values.begin(), values.end());
        if (!m_table.locate(m_fields, wanted))
            return std::nullopt;
        return m_table.fieldByName(m_result).asString();
    }
    const auto it = m_first.find(key(values, true));
    if (it == m_first.end())
        return std::nullopt;
    return it->second;
}

} // namespace conv::exporter
