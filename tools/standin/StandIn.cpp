#include "standin/StandIn.h"

#include "common/Error.h"
#include "tables/Layouts.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace conv::standin
{
namespace
{

namespace fs = std::filesystem;

constexpr const char* kDayNames[] = {"LUNES", "MARTES", "MIERCOLES", "JUEVES", "VIERNES", "SABADO", "DOMINGO"};

/// A deterministic generator: std::mt19937 gives the same numbers everywhere, and the helpers
/// below avoid the library's distributions, whose results differ between implementations.
class Dice
{
public:
    explicit Dice(std::uint32_t seed)
        : m_engine(seed)
    {
    }
    /// 0 .. n-1
    std::size_t below(std::size_t n)
    {
        return n ? static_cast<std::size_t>(m_engine() % n) : 0;
    }
    /// True with probability `percent` / 100.
    bool chance(unsigned percent)
    {
        return m_engine() % 100 < percent;
    }

private:
    std::mt19937 m_engine;
};

struct Group
{
    std::string abrev, turno, nivel, curso, grupo, codGru, codSub;
};

struct Assignment
{
    std::string asig, group;
    double horas = 0;
};

std::vector<std::string> column(const fs::path& work, const TableLayout& layout, const char* field)
{
    Table t(work, std::string(layout.name) + ".DBF");
    t.open();
    std::vector<std::string> out;
    FieldRef f = t.fieldByName(field);
    for (; !t.eof(); t.next())
        out.push_back(f.asString());
    return out;
}

std::vector<Group> readGroups(const fs::path& work)
{
    Table t(work, "GRUPOST.DBF");
    t.open();
    std::vector<Group> out;
    for (; !t.eof(); t.next())
        out.push_back({t.fieldByName("ABREV").asString(), t.fieldByName("TURNO").asString(),
                       t.fieldByName("NIVEL").asString(), t.fieldByName("CURSO").asString(),
                       t.fieldByName("GRUPO").asString(), t.fieldByName("CODGRUXADE").asString(),
                       t.fieldByName("CODSUBGRUXADE").asString()});
    return out;
}

std::vector<Assignment> readAssignments(const fs::path& work)
{
    Table t(work, "ASIGT.DBF");
    t.open();
    std::vector<Assignment> out;
    for (; !t.eof(); t.next())
        out.push_back(
            {t.fieldByName("CASIG").asString(), t.fieldByName("CGRUP").asString(), t.fieldByName("HORAS").asFloat()});
    return out;
}

std::string clock(int minutes)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:00", minutes / 60 % 24, minutes % 60);
    return buf;
}

/// Start of each period in minutes after midnight: 50-minute periods from 08:00, a break of
/// half an hour after the third and the afternoon from 16:00 after the sixth.
std::vector<int> periodStarts(int periods)
{
    std::vector<int> starts;
    int t = 8 * 60;
    for (int p = 1; p <= periods; ++p) {
        starts.push_back(t);
        t += 50;
        if (p == 3)
            t += 30;
        if (p == 6)
            t = std::max(t, 16 * 60);
    }
    return starts;
}

std::int64_t writeDiasHoras(const fs::path& work, const Options& o, const std::vector<int>& starts)
{
    rebuildTable(work, layouts::DIASHORAST);
    Table t(work, "DIASHORAST.DBF");
    t.open();
    std::int64_t n = 0;
    for (int d = 1; d <= o.days; ++d)
        for (int p = 1; p <= o.periods; ++p) {
            t.append();
            t.fieldByName("DIHO").setString(std::to_string(d) + "-" + std::to_string(p));
            t.fieldByName("CODDIHO").setString(std::to_string((d - 1) * o.periods + p));
            t.fieldByName("DIA").setString(std::to_string(d));
            t.fieldByName("TEXTODIA").setString(kDayNames[(d - 1) % 7]);
            t.fieldByName("HORA").setString(std::to_string(p));
            t.fieldByName("TEXTOHOR").setString(std::to_string(p) + "\xAA SESION");
            t.fieldByName("HORADESDE").setString(clock(starts[static_cast<std::size_t>(p - 1)]));
            t.fieldByName("HORAHASTA").setString(clock(starts[static_cast<std::size_t>(p - 1)] + 50));
            t.fieldByName("MINUTOS").setString("50");
            t.fieldByName("SESION_ORDEN").setInteger((d - 1) * o.periods + p);
            t.fieldByName("PLANTILLA").setString("GENERAL");
            t.post();
            ++n;
        }
    return n;
}

/// The week's grid: which groups and teachers are busy at each (day, period).
class Week
{
public:
    Week(int days, int periods)
        : m_days(days)
        , m_periods(periods)
    {
    }
    bool free(int d, int p, const std::string& group, const std::string& teacher) const
    {
        return !m_busy.count({d, p, "G" + group}) && !m_busy.count({d, p, "P" + teacher});
    }
    void take(int d, int p, const std::string& group, const std::string& teacher)
    {
        m_busy.insert({d, p, "G" + group});
        m_busy.insert({d, p, "P" + teacher});
    }
    /// A free slot of `length` periods on one day, tried from a random start; false when none.
    bool find(Dice& dice, int length, const std::string& group, const std::string& teacher, int& day, int& period,
              int lastPeriod = 0)
    {
        const int slots = m_days * m_periods;
        const int start = static_cast<int>(dice.below(static_cast<std::size_t>(slots)));
        for (int i = 0; i < slots; ++i) {
            const int s = (start + i) % slots;
            const int d = s / m_periods + 1;
            const int p = s % m_periods + 1;
            if (p + length - 1 > m_periods || (lastPeriod && p > lastPeriod))
                continue;
            bool ok = true;
            for (int k = 0; k < length && ok; ++k)
                ok = free(d, p + k, group, teacher);
            if (ok) {
                day = d;
                period = p;
                return true;
            }
        }
        return false;
    }

private:
    struct Slot
    {
        int d, p;
        std::string who;
        bool operator<(const Slot& o) const
        {
            return std::tie(d, p, who) < std::tie(o.d, o.p, o.who);
        }
    };
    int m_days, m_periods;
    std::set<Slot> m_busy;
};

class SolucWriter
{
public:
    SolucWriter(const fs::path& work, const std::vector<Group>& groups)
        : m_table(work, "SOLUC.DBF")
    {
        for (const Group& g : groups)
            m_groups.emplace(g.abrev, g);
        m_table.open();
    }
    void write(const std::string& asig, const std::string& prof, const std::string& group, const std::string& room,
               double day, double hora, double sesiones)
    {
        m_table.append();
        m_table.fieldByName("ASIG").setString(asig);
        m_table.fieldByName("PROF").setString(prof);
        m_table.fieldByName("CODGRUPO").setString(group);
        if (const auto it = m_groups.find(group); it != m_groups.end()) {
            m_table.fieldByName("TURNO").setString(it->second.turno);
            m_table.fieldByName("NIVEL").setString(it->second.nivel);
            m_table.fieldByName("CURSO").setString(it->second.curso);
            m_table.fieldByName("GRUPO").setString(it->second.grupo);
        }
        m_table.fieldByName("AULA").setString(room);
        m_table.fieldByName("DIA").setFloat(day);
        m_table.fieldByName("HORA").setFloat(hora);
        m_table.fieldByName("SESIONES").setFloat(sesiones);
        m_table.post();
        ++count;
    }
    std::int64_t count = 0;

private:
    Table m_table;
    std::map<std::string, Group> m_groups;
};

} // namespace

Summary makeTimetable(const fs::path& work, const Options& o)
{
    if (o.days < 1 || o.days > 7 || o.periods < 1 || o.periods > 20)
        throw Error("days must be 1 to 7 and periods 1 to 20");
    Dice dice(o.seed);
    const std::vector<Group> groups = readGroups(work);
    const std::vector<Assignment> assignments = readAssignments(work);
    const std::vector<std::string> teachers = column(work, layouts::PROFT, "ABREV");
    std::vector<std::string> rooms = column(work, layouts::AULAT, "ABREV");
    const std::vector<std::string> codes = column(work, layouts::ASIGNOMT2, "COD");
    const std::set<std::string> subjects(codes.begin(), codes.end());
    if (rooms.empty())
        rooms.push_back("");

    Summary summary;
    summary.periods = writeDiasHoras(work, o, periodStarts(o.periods));

    Table solucLayout(work, "SOLUC.DBF");
    solucLayout.deleteTable();
    solucLayout.clearFields();
    for (const FieldDef& f : kSolucFields)
        solucLayout.addField(f);
    for (std::string_view index : layouts::SOLUC.indexes)
        solucLayout.addIndex(index);
    solucLayout.createTable();

    SolucWriter soluc(work, groups);
    Week week(o.days, o.periods);
    // One teacher and one room per subject and group, as a school would plan them.
    for (const Assignment& a : assignments) {
        if (!subjects.count(a.asig))
            continue; // a subject the program does not know is not timetabled
        const std::string prof = teachers.empty() ? "" : teachers[dice.below(teachers.size())];
        const std::string room = rooms[dice.below(rooms.size())];
        // Most subjects a few single periods a week, some a double period, some half a period.
        int left = std::clamp(static_cast<int>(a.horas), 1, 5) - static_cast<int>(dice.below(3));
        left = std::max(left, 1);
        while (left > 0) {
            const int length = left >= 2 && dice.chance(20) ? 2 : 1;
            int d = 0, p = 0;
            if (dice.chance(3) || !week.find(dice, length, a.group, prof, d, p)) {
                soluc.write(a.asig, prof, a.group, room, 0, 0, length); // not placed
                ++summary.unplaced;
            } else {
                for (int k = 0; k < length; ++k)
                    week.take(d, p + k, a.group, prof);
                soluc.write(a.asig, prof, a.group, room, d, p, length);
            }
            left -= length;
        }
        if (dice.chance(15)) {
            int d = 0, p = 0;
            // In the first half of the day: the converter looks a part period up in DIASHORAST under
            // twice its number, which must be a period of the day.
            if (week.find(dice, 1, a.group, prof, d, p, o.periods / 2)) {
                week.take(d, p, a.group, prof);
                // The first or the second half of the period.
                soluc.write(a.asig, prof, a.group, room, d, p + (dice.chance(50) ? 0.5 : 0), 0.5);
                ++summary.partPeriods;
            }
        }
    }
    // Subgroups: one period a week of one of the parent group's subjects each.
    for (const Group& sub : groups) {
        if (sub.codSub.empty())
            continue;
        const auto parent = std::find_if(groups.begin(), groups.end(),
                                         [&](const Group& g) { return g.codSub.empty() && g.codGru == sub.codGru; });
        if (parent == groups.end())
            continue;
        std::vector<const Assignment*> own;
        for (const Assignment& a : assignments)
            if (a.group == parent->abrev)
                own.push_back(&a);
        if (own.empty())
            continue;
        const Assignment& a = *own[dice.below(own.size())];
        const std::string prof = teachers.empty() ? "" : teachers[dice.below(teachers.size())];
        int d = 0, p = 0;
        if (week.find(dice, 1, sub.abrev, prof, d, p)) {
            week.take(d, p, sub.abrev, prof);
            soluc.write(a.asig, prof, sub.abrev, rooms[dice.below(rooms.size())], d, p, 1);
        }
    }
    summary.classes = soluc.count;
    return summary;
}

} // namespace conv::standin
