#include "import/Preflight.h"

#include "common/IoErrors.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"
#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <functional>
#include <initializer_list>
#include <unordered_set>

namespace conv::import
{
namespace
{

/// Reads one file, giving each line it reads (header left out unless asked) with its fields.
/// Lines that decode to nothing are reported here.
class FileCheck
{
public:
    FileCheck(std::vector<Finding>& out, const std::filesystem::path& folder, const char* name)
        : m_out(out)
        , m_folder(folder)
        , m_name(name)
    {
    }

    /// False (and the finding) when the file is missing.
    bool exists(const char* missingMessage)
    {
        if (fileExistsNoCase(m_folder, m_name))
            return true;
        m_out.push_back({Finding::Kind::Missing, m_name, 0, missingMessage});
        return false;
    }

    void read(bool withHeader, const std::function<void(const FieldList&)>& onLine)
    {
        CsvReader reader = CsvReader::open(findNoCase(m_folder, m_name));
        std::string raw, text;
        FieldList f;
        while (reader.nextLine(raw)) {
            m_line = reader.lineNumber();
            if (m_line == 1 && !withHeader)
                continue;
            decodeLine(raw, text);
            m_invalid = text.empty() && !raw.empty();
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
        m_out.push_back({Finding::Kind::EndsRun, m_name, m_line,
                         why + "; the import reads position " + std::to_string(missing) + when + ": List index out of bounds (" +
                             std::to_string(missing) + ")"});
        return false;
    }

    void cut(const std::string& value, std::size_t width, const char* what, const char* consequence)
    {
        if (value.size() <= width)
            return;
        m_out.push_back({Finding::Kind::Cut, m_name, m_line,
                         std::string(what) + " '" + value + "' has " + std::to_string(value.size()) +
                             " characters and is stored cut to " + std::to_string(width) + consequence});
    }

    long line() const noexcept
    {
        return m_line;
    }

private:
    std::vector<Finding>& m_out;
    const std::filesystem::path& m_folder;
    std::string m_name;
    long m_line = 0;
    bool m_invalid = false;
};

void subjectCuts(FileCheck& c, const FieldList& f)
{
    c.cut(f[0], 20, "the subject code", "");
    c.cut(f[1], 20, "the course code", "");
    c.cut(f[2], 10, "the task code", "");
    c.cut(f[3], 50, "the long code", "");
}

} // namespace

std::vector<Finding> checkXadeFolder(const std::filesystem::path& folder, const std::optional<std::string>& call)
{
    std::vector<Finding> out;
    const char* whenCall = call ? "" : " (when its call is imported)";

    FileCheck calls(out, folder, files::kCalls);
    if (calls.exists(msg::kNoCalls))
        calls.read(false, [&](const FieldList& f) {
            if (calls.need(f, {0, 1}))
                calls.cut(f[0], 10, "the call code", ": no line of the other files will match it");
        });

    // The groups file decides which courses the school has and which group codes can be parents.
    std::unordered_set<std::string> courses, groups;
    FileCheck grupos(out, folder, files::kGroups);
    if (grupos.exists(msg::kNoGroups))
        grupos.read(false, [&](const FieldList& f) {
            if (!grupos.need(f, {0}) || (call && f[0] != *call))
                return;
            if (!grupos.need(f, {1, 4, 5}, whenCall))
                return;
            // Kept as the tables will compare them: cut to the field's width.
            courses.insert(codes::storedForm(f[1], 10));
            groups.insert(codes::storedForm(f[2], 15));
            grupos.cut(f[1], 10, "the course code", ": courses whose codes agree in their first 10 characters become one");
            grupos.cut(f[2], 15, "the group code", ": subgroups take the first group whose code agrees in its first 15 characters");
        });

    FileCheck sub(out, folder, files::kSubgroups);
    if (sub.exists(msg::kNoSubgroups))
        sub.read(false, [&](const FieldList& f) {
            if (sub.need(f, {0}) && groups.contains(codes::storedForm(f[0], 15)) && sub.need(f, {1, 3, 4, 2}))
                sub.cut(f[1], 15, "the subgroup code", "");
        });

    FileCheck centre(out, folder, files::kCentreSubjects);
    if (centre.exists(msg::kNoCentreSubjects))
        centre.read(false, [&](const FieldList& f) {
            if (centre.need(f, {0, 1, 2, 3, 4, 5}))
                subjectCuts(centre, f);
        });

    FileCheck general(out, folder, files::kGeneralSubjects);
    if (general.exists(msg::kNoGeneralSubjects))
        general.read(false, [&](const FieldList& f) {
            if (!general.need(f, {1}))
                return;
            if (!courses.contains(codes::storedForm(f[1], 10)) && (!general.need(f, {2}) || f[2] == "0"))
                return;
            if (general.need(f, {0, 1, 2, 3, 4, 5}))
                subjectCuts(general, f);
        });

    FileCheck activities(out, folder, files::kActivities);
    if (activities.exists(msg::kNoActivities))
        activities.read(true, [&](const FieldList& f) {
            if (activities.need(f, {0, 1, 2}) && activities.line() > 1)
                activities.cut(f[0], 10, "the activity code", "");
        });

    FileCheck teachers(out, folder, files::kTeachers);
    if (teachers.exists(msg::kNoTeachers))
        teachers.read(false, [&](const FieldList& f) {
            if (teachers.need(f, {2, 0}))
                teachers.cut(f[0], 10, "the employee code", "");
        });

    FileCheck rooms(out, folder, files::kRooms);
    if (rooms.exists(msg::kNoRooms))
        rooms.read(false, [&](const FieldList& f) {
            if (rooms.need(f, {0, 1}))
                rooms.cut(f[0], 10, "the room code", "");
        });
    return out;
}

} // namespace conv::import
