#include "import/LevelAnswers.h"

#include "common/Error.h"
#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <algorithm>

namespace conv::import
{

std::vector<std::string> splitPlainCsv(std::string_view line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += '"', ++i;
            else
                quoted = false;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '"') {
            quoted = true;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string quoteCsv(std::string_view field)
{
    const bool needs = std::any_of(field.begin(), field.end(), [](char c) {
        return c == ',' || c == '"' || static_cast<unsigned char>(c) <= ' ';
    });
    if (!needs)
        return std::string(field);
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::map<std::string, LevelCodes> readLevelAnswers(const std::filesystem::path& path)
{
    const std::string where = path.string();
    CsvReader reader = CsvReader::open(path);
    std::string raw, text;
    int cod = -1, turno = -1, nivel = -1, curso = -1;
    std::map<std::string, LevelCodes> answers;
    while (reader.nextLine(raw)) {
        const long n = reader.lineNumber();
        if (n == 1 && raw.starts_with("\xEF\xBB\xBF"))
            raw.erase(0, 3);
        decodeLine(raw, text);
        if (text.empty() && !raw.empty())
            throw Error(where + ':' + std::to_string(n) + ": not valid UTF-8");
        if (text.find_first_not_of(" \t") == std::string::npos && n > 1)
            continue;
        const std::vector<std::string> f = splitPlainCsv(text);
        if (n == 1) {
            for (int i = 0; i < static_cast<int>(f.size()); ++i) {
                const std::string& name = f[static_cast<std::size_t>(i)];
                if (name == "CODCURSO")
                    cod = i;
                else if (name == "TURNO")
                    turno = i;
                else if (name == "NIVEL")
                    nivel = i;
                else if (name == "CURSO")
                    curso = i;
            }
            for (const auto& [column, name] : {std::pair{cod, "CODCURSO"}, {turno, "TURNO"}, {nivel, "NIVEL"}, {curso, "CURSO"}})
                if (column < 0)
                    throw Error(where + ": the header line lacks the column " + name);
            continue;
        }
        const int needed = std::max({cod, turno, nivel, curso}) + 1;
        if (static_cast<int>(f.size()) < needed)
            throw Error(where + ':' + std::to_string(n) + ": " + std::to_string(f.size()) + " fields, " +
                        std::to_string(needed) + " expected");
        auto at = [&f](int i) { return f[static_cast<std::size_t>(i)]; };
        answers[at(cod)] = LevelCodes{at(turno), at(nivel), at(curso)};
    }
    if (reader.lineNumber() == 0)
        throw Error(where + ": the file is empty");
    return answers;
}

} // namespace conv::import
