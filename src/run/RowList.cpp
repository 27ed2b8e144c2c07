#include "run/RowList.h"

namespace conv
{
namespace
{

void appendValue(std::string& out, const std::string& value)
{
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        out += value;
        return;
    }
    out += '"';
    for (const char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendLine(std::string& out, const std::vector<std::string>& values)
{
    const char* sep = "";
    for (const std::string& v : values) {
        out += sep;
        appendValue(out, v);
        sep = ",";
    }
    out += "\r\n";
}

} // namespace

std::string rowListCsv(const RowList& list)
{
    std::string out = "\xEF\xBB\xBF";
    appendLine(out, list.columns);
    for (const std::vector<std::string>& row : list.rows)
        appendLine(out, row);
    return out;
}

} // namespace conv
