#include "lang/Messages.h"

#include "export/Export.h"
#include "import/Messages.h"
#include "run/Feedback.h"
#include "run/RunFile.h"
#include "text/CsvLine.h"

#include <algorithm>
#include <optional>

namespace conv::lang
{
namespace
{

/// The Spanish texts are the core's own constants, so the table follows them; those with values
/// are written here (in UTF-8, as the Galician), and the tests compose them through the core.
std::vector<std::pair<std::string, std::string>> buildTable()
{
    const auto utf8 = [](const char* text) { return decodeLine(text); };
    return {
        {msg::kNoFolder, "Non existe o cartafol"},
        {msg::kNoCalls, "Non existe o ficheiro de convocatorias (convocatoriasCentro.CSV)"},
        {msg::kNoGroupsForCourses, "Non existe o ficheiro de grupos (gruposCentro.CSV)"},
        {msg::kNoCourseTable, "Non existe a táboa de cursos (CURSOST.DBF)"},
        {msg::kNoGroups, "Non existe o ficheiro de grupos (gruposCentro.CSV)"},
        {msg::kNoGroupTable, "Non existe a táboa de grupos (GRUPOST.DBF)"},
        {msg::kNoSubgroups, "Non existe o ficheiro de subgrupos (subgruposCentro.CSV)"},
        {msg::kNoCentreSubjects, "Non existe o ficheiro de materias do centro (materiasHorarioOfertaCentro.CSV)"},
        {msg::kNoGeneralSubjects, "Non existe o ficheiro de materias xerais (materiasHorarioOfertaXeral.CSV)"},
        {msg::kNoActivities, "Non existe o ficheiro de actividades (actividadesProfesor.CSV)"},
        {msg::kNoTeachers, "Non existe o ficheiro de profesorado (profesoresGrupoCentro.csv)"},
        {msg::kNoRooms, "Non existe o ficheiro de aulas (aulasCentro.CSV)"},
        {msg::kFinished, "Proceso rematado"},
        {msg::kReuseCaption, "Recuperación dos niveis e cursos importados antes"},
        {msg::kReuseText,
         "Xa hai niveis e cursos definidos nunha importación anterior.\n\r"
         "Quere recuperar os códigos que escribiu entón?"},
        {kLevelWarning,
         "!!!!!!! ATENCIÓN !!!!!!!  Hai algún NIVEL ou CURSO baleiro. Debe completar todos os "
         "datos das columnas NIVEL e CURSO."},
        {exporter::kNoFolder, "Non existe o cartafol"},
        {exporter::kFinished, "Proceso rematado"},
        {utf8("HORARIO.CSV no se ha modificado: ninguna de las %1 clases de SOLUC se puede exportar (día 0: %2; "
              "día fuera de 1 a 7: %3; profesor que no está en PROFT: %4; materia que no está en ASIGNOMT2: %5; "
              "SESIONES 0 o menos: %6)."),
         "HORARIO.CSV non se modificou: non se pode exportar ningunha das %1 clases de SOLUC (día 0: %2; día "
         "fóra de 1 a 7: %3; profesor que non está en PROFT: %4; materia que non está en ASIGNOMT2: %5; "
         "SESIONES 0 ou menos: %6)."},
        {kWorkFolderBusy, "Outra conversión está a usar o cartafol de traballo. Agarde a que remate e ténteo de novo."},
        {kUnfinishedImport,
         "A última importación neste cartafol de traballo non rematou: as súas táboas poden "
         "estar incompletas. Faga a importación de novo antes de usalas."},
        {kUnfinishedExport, "A última exportación neste cartafol de traballo non rematou. Faga a exportación de novo."},
    };
}

/// The values "%1"… stand for in `text`, when `text` is the Spanish `pattern` with its values
/// filled in. A value is the shortest text that lets the rest match.
std::optional<std::vector<std::string_view>> matchPattern(std::string_view pattern, std::string_view text)
{
    std::vector<std::string_view> values;
    std::size_t at = 0;
    for (std::size_t p = 0; p < pattern.size();) {
        const std::size_t mark = pattern.find('%', p);
        const std::string_view literal = pattern.substr(p, mark == std::string_view::npos ? mark : mark - p);
        if (text.substr(at, literal.size()) != literal)
            return std::nullopt;
        at += literal.size();
        if (mark == std::string_view::npos || mark + 1 >= pattern.size())
            break;
        // The value runs up to the literal after the mark (or to the end).
        p = mark + 2;
        const std::size_t nextMark = pattern.find('%', p);
        const std::string_view next = pattern.substr(p, nextMark == std::string_view::npos ? nextMark : nextMark - p);
        const std::size_t end = next.empty() ? text.size() : text.find(next, at);
        if (end == std::string_view::npos || end == at)
            return std::nullopt;
        values.push_back(text.substr(at, end - at));
        at = end;
    }
    if (at != text.size())
        return std::nullopt;
    return values;
}

/// The Galician of one Spanish text, with the values put in; nothing when the table lacks it.
std::optional<std::string> galician(std::string_view text)
{
    for (const auto& [spanish, gl] : messageTable()) {
        const auto values = matchPattern(spanish, text);
        if (!values)
            continue;
        return fillIn(decodeLine(gl), *values);
    }
    return std::nullopt;
}

} // namespace

std::string fillIn(std::string_view pattern, const std::vector<std::string_view>& values)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

const std::vector<std::pair<std::string, std::string>>& messageTable()
{
    static const auto table = buildTable();
    return table;
}

std::string localise(std::string_view text, Language language)
{
    if (language == Language::Spanish)
        return std::string(text);
    if (auto whole = galician(text))
        return *whole;
    std::string out;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (auto gl = galician(line))
            out += *gl;
        else if (line.ends_with('.') && (gl = galician(line.substr(0, line.size() - 1))))
            out += *gl + (gl->ends_with('.') ? "" : ".");
        else
            out += line;
        if (end < text.size())
            out += '\n';
        start = end + 1;
    }
    return out;
}

} // namespace conv::lang
