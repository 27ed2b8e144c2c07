#include "import/Preflight.h"

#include "common/ByteSource.h"
#include "common/IoErrors.h"
#include "import/CourseList.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"
#include "tables/Layouts.h"
#include "text/CsvLine.h"
#include "text/CsvReader.h"
#include "text/Ansi.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <utility>
#include <unordered_set>
#include <vector>

namespace conv::import
{
namespace
{

/// The line, as the reader counts lines, of the first carriage return that no line feed follows,
/// or 0. The reader drops every carriage return, so such a line runs together with the next one;
/// a file whose lines end in a carriage return only is read as one line.
long firstLoneCarriageReturn(const std::filesystem::path& file)
{
    FileSource source(file);
    std::vector<char> buffer(1 << 16);
    long line = 1;
    long crLine = 0; // the line of a carriage return not yet followed by anything
    while (const std::size_t n = source.read(buffer.data(), buffer.size())) {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c == '\x1A')
                return 0; // a Ctrl-Z ends the file
            if (crLine && c != '\r' && c != '\n')
                return crLine;
            if (c == '\r') {
                crLine = line;
            } else if (c == '\n') {
                crLine = 0;
                ++line;
            }
        }
    }
    return 0; // a carriage return at the very end ends the last line, as a line feed would
}

/// Reads one file, giving each data line it reads with its fields, and reports what is wrong
/// with a line whatever its file: lines run together, a byte-order mark inside the file, a
/// zero character that cuts the line.
class FileCheck
{
public:
    /// `lineFaults` false for a second reading of a file, whose line faults were reported once.
    FileCheck(std::vector<Finding>& out, const std::filesystem::path& folder, const char* name, bool lineFaults = true)
        : m_out(out)
        , m_folder(folder)
        , m_name(name)
        , m_lineFaults(lineFaults)
    {
    }

    /// False (and the finding) when the file is missing.
    bool exists(const char* missingMessage)
    {
        if (fileExistsNoCase(m_folder, m_name))
            return true;
        m_out.push_back({Finding::Kind::Missing, m_name, 0, missingMessage, {}, {}});
        return false;
    }

    /// Gives every data line (the header is left out before it is decoded, as the import does).
    void read(const std::function<void(const FieldList&)>& onLine)
    {
        const std::filesystem::path path = findNoCase(m_folder, m_name);
        std::size_t crFinding = 0; // its index plus 1, to give it the text of its line
        if (const long cr = m_lineFaults ? firstLoneCarriageReturn(path) : 0) {
            m_out.push_back({Finding::Kind::Loss, m_name, cr,
                             cr == 1 ? "the header line holds a carriage return without a line feed: the lines it "
                                       "ends are read as part of the header, and nothing of them is imported"
                                     : "holds a carriage return without a line feed: the line after it is read as "
                                       "part of this one",
                             cr == 1 ? "La línea de cabecera tiene un retorno de carro sin salto de línea: las líneas "
                                       "que siguen se leen como parte de la cabecera y no se importa nada de ellas."
                                     : "La línea tiene un retorno de carro sin salto de línea: la línea siguiente se "
                                       "lee como parte de esta.",
                             {}});
            crFinding = m_out.size();
        }
        CsvReader reader = CsvReader::open(path);
        std::string& raw = m_raw;
        std::string& text = m_text;
        FieldList f;
        while (reader.nextLine(raw)) {
            m_line = reader.lineNumber();
            if (crFinding && m_out[crFinding - 1].line == m_line) {
                decodeLine(raw, text);
                m_invalid = text.empty() && !raw.empty();
                m_out[crFinding - 1].lineText = lineText();
            }
            if (m_line == 1)
                continue;
            decodeLine(raw, text);
            m_invalid = text.empty() && !raw.empty();
            if (m_lineFaults && raw.starts_with("\xEF\xBB\xBF"))
                loss("starts with a byte-order mark, which is read as a '?' at the start of its first field",
                     "La línea empieza con una marca de orden de bytes, que se lee como un «?» al principio de su "
                     "primer campo.");
            if (const std::size_t zero = text.find('\0'); m_lineFaults && zero != std::string::npos)
                loss("holds a zero character after " + std::to_string(zero) +
                         " characters: the rest of the line is not read",
                     "La línea tiene un carácter cero tras " + std::to_string(zero) +
                         " caracteres: el resto de la línea no se lee.");
            splitLine(text, f);
            onLine(f);
        }
    }

    /// Reports the line when one of the positions the import reads from it, in that order, is
    /// missing, naming the first such position as the import's error would.
    bool need(const FieldList& f, std::initializer_list<int> positions, const char* when = "")
    {
        int missing = -1;
        for (const int p : positions)
            if (p >= f.count()) {
                missing = p;
                break;
            }
        if (missing < 0)
            return true;
        std::string why = m_invalid       ? "is not valid UTF-8 (or holds a character beyond FFFF hex) and reads as empty"
                          : f.count() == 0 ? "is empty"
                                           : "has " + std::to_string(f.count()) + (f.count() == 1 ? " field" : " fields");
        std::string porque = m_invalid ? "La línea no es UTF-8 válido (o tiene un carácter que el programa no lee) y "
                                         "se lee vacía"
                             : f.count() == 0 ? "La línea está vacía"
                                              : "La línea tiene " + std::to_string(f.count()) +
                                                    (f.count() == 1 ? " campo" : " campos");
        const std::string index = "List index out of bounds (" + std::to_string(missing) + ")";
        endsRun(why + "; the import reads position " + std::to_string(missing) + when + ": " + index,
                porque + " y la importación necesita el campo " + std::to_string(missing + 1) +
                    (*when ? " cuando se importe su convocatoria" : "") + ": se detendría con «" + index +
                    "» sin escribir nada más.");
        return false;
    }

    void endsRun(const std::string& text, const std::string& problem)
    {
        m_out.push_back({Finding::Kind::EndsRun, m_name, m_line, text, problem, lineText()});
    }

    void loss(const std::string& text, const std::string& problem)
    {
        m_out.push_back({Finding::Kind::Loss, m_name, m_line, text, problem, lineText()});
    }

    /// `what` and `consequence` in English for the report of check, `que` and `efecto` in
    /// Spanish for the review.
    void cut(const std::string& value, int width, const char* what, const std::string& consequence, const char* que,
             const std::string& efecto = "")
    {
        if (value.size() <= static_cast<std::size_t>(width))
            return;
        m_out.push_back({Finding::Kind::Cut, m_name, m_line,
                         std::string(what) + " '" + value + "' has " + std::to_string(value.size()) +
                             " characters and is stored cut to " + std::to_string(width) + consequence,
                         std::string(que) + " «" + ansiToUtf8(value) + "» tiene " + std::to_string(value.size()) +
                             " caracteres y se guarda recortado a " + std::to_string(width) +
                             (efecto.empty() ? "." : efecto),
                         lineText()});
    }

    long line() const noexcept
    {
        return m_line;
    }

private:
    std::vector<Finding>& m_out;
    const std::filesystem::path& m_folder;
    std::string m_name;
    bool m_lineFaults;
    /// What the review shows of the line being read (UTF-8): as read, or its bytes when they are
    /// no UTF-8. Made only for a line with a finding.
    std::string lineText() const
    {
        return ansiToUtf8(m_invalid ? m_raw : m_text);
    }

    long m_line = 0;
    bool m_invalid = false;
    std::string m_raw, m_text; // the line being read, as read and decoded
};

void subjectCuts(FileCheck& c, const FieldList& f)
{
    static const int subject = widthOf(layouts::ASIGNOMT2, "CODMATERIA");
    static const int course = widthOf(layouts::ASIGNOMT2, "CODCURSO");
    static const int task = widthOf(layouts::ASIGNOMT, "CODTAREA");
    static const int longCode = widthOf(layouts::ASIGNOMT, "CODLARGO2");
    c.cut(f[0], subject, "the subject code", "", "El código de materia");
    c.cut(f[1], course, "the course code", "", "El código de curso");
    c.cut(f[2], task, "the task code", "", "El código de tarea");
    c.cut(f[3], longCode, "the long code", "", "El código largo");
}

/// The groups file, read twice as the import reads it: first for the courses of the level
/// screen (the "Continuar" step), then for the groups. Without a call every call is judged as
/// if it were the one imported. Gives the course codes of the judged calls, as CURSOST keeps
/// them, and the group codes, as GRUPOST keeps them.
void checkGroups(std::vector<Finding>& out, const std::filesystem::path& folder, const std::optional<std::string>& call,
                 std::unordered_set<std::string>& courses, std::unordered_set<std::string>& groups)
{
    const char* whenCall = call ? "" : " (when its call is imported)";
    FileCheck grupos(out, folder, files::kGroups);
    if (!grupos.exists(msg::kNoGroups))
        return;
    const std::size_t first = out.size();
    std::map<std::string, CourseList> levelScreens; // by call
    std::set<std::pair<std::string, std::string>> refused; // call and course code, reported once
    std::unordered_set<long> ended; // lines reported in the first reading
    grupos.read([&](const FieldList& f) {
        if (!grupos.need(f, {0}) || (call && f[0] != *call))
            return;
        if (!grupos.need(f, {1}, whenCall)) {
            ended.insert(grupos.line());
            return;
        }
        CourseList& list = levelScreens[f[0]];
        if (refused.contains({f[0], f[1]}))
            return;
        if (!list.listed(f[1]) && !grupos.need(f, {4}, whenCall)) {
            ended.insert(grupos.line());
            return;
        }
        const CourseList::Outcome outcome = list.add(f[1], grupos.line(), [&f]() -> const std::string& { return f[4]; });
        if (!outcome.refusal.empty()) {
            grupos.endsRun(outcome.refusal, outcome.problem);
            refused.insert({f[0], f[1]});
            return;
        }
        courses.insert(codes::storedForm(f[1], CourseList::kCodeWidth));
        grupos.cut(f[1], CourseList::kCodeWidth, "the course code", " on the level screen (CURSOST)",
                   "El código de curso", " en la pantalla de niveles (CURSOST).");
    });

    const int groupWidth = widthOf(layouts::GRUPOST, "CODGRUXADE");
    FileCheck again(out, folder, files::kGroups, false);
    again.read([&](const FieldList& f) {
        if (f.count() < 2 || (call && f[0] != *call) || ended.contains(again.line()) || refused.contains({f[0], f[1]}))
            return; // reported in the first reading
        const auto screen = levelScreens.find(f[0]);
        if (!again.need(f, {4}, whenCall) || screen == levelScreens.end())
            return;
        const CourseList::Course* course = screen->second.findByName(f[4]);
        if (!course) {
            again.loss("the course named '" + f[4] + "' is not on the level screen (its code '" + f[1] +
                           "' is listed under another name): the group is left out",
                       "El curso «" + ansiToUtf8(f[4]) + "» no está en la pantalla de niveles (su código «" +
                           ansiToUtf8(f[1]) + "» figura con otro nombre): el grupo no se importa.");
            return;
        }
        if (!again.need(f, {3, 5, 2}, whenCall))
            return;
        groups.insert(codes::storedForm(f[2], groupWidth));
        again.cut(f[2], groupWidth, "the group code",
                  ": subgroups take the first group whose code agrees in its first " + std::to_string(groupWidth) +
                      " characters",
                  "El código de grupo",
                  ": los subgrupos van con el primer grupo cuyo código empieza con esos " +
                      std::to_string(groupWidth) + " caracteres.");
    });
    // The two readings' findings in line order.
    std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

} // namespace

std::vector<Finding> checkXadeFolder(const std::filesystem::path& folder, const std::optional<std::string>& call)
{
    // What the tables keep of the codes.
    const int callWidth = widthOf(layouts::CONVOCAXADE, "CONVOCATORIA");
    const int groupWidth = widthOf(layouts::GRUPOST, "CODGRUXADE");
    const int subgroupWidth = widthOf(layouts::GRUPOST, "CODSUBGRUXADE");
    const int activityWidth = widthOf(layouts::ASIGNOMT, "COD");
    const int employeeWidth = widthOf(layouts::PROFT, "X_EMPLEADO");
    const int roomWidth = widthOf(layouts::AULAT, "CODAULA");
    std::vector<Finding> out;

    FileCheck calls(out, folder, files::kCalls);
    if (calls.exists(msg::kNoCalls))
        calls.read([&](const FieldList& f) {
            if (calls.need(f, {0, 1}))
                calls.cut(f[0], callWidth, "the call code", ": no line of the other files will match it",
                          "El código de convocatoria", ": ninguna línea de los demás archivos coincidirá con él.");
        });

    // The groups file decides which courses the school has and which group codes can be parents.
    std::unordered_set<std::string> courses, groups;
    checkGroups(out, folder, call, courses, groups);

    FileCheck sub(out, folder, files::kSubgroups);
    if (sub.exists(msg::kNoSubgroups))
        sub.read([&](const FieldList& f) {
            if (sub.need(f, {0}) && groups.contains(codes::storedForm(f[0], groupWidth)) && sub.need(f, {1, 3, 4, 2}))
                sub.cut(f[1], subgroupWidth, "the subgroup code", "", "El código de subgrupo");
        });

    FileCheck centre(out, folder, files::kCentreSubjects);
    if (centre.exists(msg::kNoCentreSubjects))
        centre.read([&](const FieldList& f) {
            if (centre.need(f, {0, 1, 2, 3, 4, 5}))
                subjectCuts(centre, f);
        });

    FileCheck general(out, folder, files::kGeneralSubjects);
    if (general.exists(msg::kNoGeneralSubjects))
        general.read([&](const FieldList& f) {
            if (!general.need(f, {1}))
                return;
            if (!courses.contains(codes::storedForm(f[1], CourseList::kCodeWidth)) &&
                (!general.need(f, {2}) || f[2] == "0"))
                return;
            if (general.need(f, {0, 1, 2, 3, 4, 5}))
                subjectCuts(general, f);
        });

    FileCheck activities(out, folder, files::kActivities);
    if (activities.exists(msg::kNoActivities))
        activities.read([&](const FieldList& f) {
            if (activities.need(f, {0, 1, 2}))
                activities.cut(f[0], activityWidth, "the activity code", "", "El código de actividad");
        });

    FileCheck teachers(out, folder, files::kTeachers);
    if (teachers.exists(msg::kNoTeachers))
        teachers.read([&](const FieldList& f) {
            if (teachers.need(f, {2, 0}))
                teachers.cut(f[0], employeeWidth, "the employee code", "", "El código de empleado");
        });

    FileCheck rooms(out, folder, files::kRooms);
    if (rooms.exists(msg::kNoRooms))
        rooms.read([&](const FieldList& f) {
            if (rooms.need(f, {0, 1}))
                rooms.cut(f[0], roomWidth, "the room code", "", "El código de aula");
        });
    return out;
}

bool endsTheRun(const std::vector<Finding>& findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.kind == Finding::Kind::EndsRun; });
}

RowList reviewList(const std::vector<Finding>& findings)
{
    RowList list;
    list.caption = kReviewCaption;
    list.columns = {"fichero", "línea", "gravedad", "problema", "texto"};
    // The findings come by file in reading order, each file's lines in order: the lines that end
    // the run are taken out first, keeping that order. A missing file is no line: the import says
    // so itself, at the step that reads it, and goes on.
    for (const bool ending : {true, false})
        for (const Finding& f : findings) {
            if (f.kind == Finding::Kind::Missing || (f.kind == Finding::Kind::EndsRun) != ending)
                continue;
            const char* gravity = f.kind == Finding::Kind::EndsRun ? "detiene"
                                  : f.kind == Finding::Kind::Cut   ? "recorta"
                                                                   : "pierde";
            list.rows.push_back({f.file, f.line > 0 ? std::to_string(f.line) : "", gravity, f.problem, f.lineText});
            list.marked.push_back(ending);
        }
    return list;
}

} // namespace conv::import
