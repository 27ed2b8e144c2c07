#pragma once

#include "import/ShortCodes.h"
#include "tables/Layouts.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace conv::import
{

/// The courses of one call as the level screen lists them, built from the call's lines of the
/// groups file: one course per code, in the order the codes first appear. It refuses the lines
/// whose course the tables cannot keep apart, so that no course is lost or mixed with another:
/// - a code longer than GRUPOST keeps (15): its groups would match none of their subjects;
/// - a code that agrees with another in the 10 characters CURSOST keeps: the two would become
///   one course, and the second would lose its groups;
/// - a name that agrees with another course's in the 50 characters CURSOST keeps: the groups of
///   the second would take the level codes of the first.
/// Codes and names that fit their fields are never refused.
class CourseList
{
public:
    static inline const int kCodeWidth = widthOf(layouts::CURSOST, "CODCURSO");
    static inline const int kGroupCodeWidth = widthOf(layouts::GRUPOST, "CODCURSOXADE");
    static inline const int kNameWidth = widthOf(layouts::CURSOST, "NOMECURSO");

    struct Course
    {
        std::string code;
        std::string name;
        long line = 0;
    };

    /// What one line gives: a new course, or nothing (its code is listed already), or the
    /// reason it is refused (Windows-1252).
    struct Outcome
    {
        bool added = false;
        std::string refusal;
        std::string problem; ///< the refusal in plain Spanish, for the review (UTF-8)
    };

    /// True when a course with this very code is listed already.
    bool listed(const std::string& code) const
    {
        const auto known = m_byCode.find(codes::storedForm(code, kCodeWidth));
        return known != m_byCode.end() &&
            m_courses[known->second].code == codes::storedForm(code, static_cast<int>(code.size()));
    }

    /// Takes one line of the call with its course code. `name` gives the line's course name and
    /// is asked only for a code not listed yet, as the level screen reads it.
    template <class Name> Outcome add(const std::string& code, long line, Name&& name)
    {
        Outcome out;
        const std::string whole = codes::storedForm(code, static_cast<int>(code.size()));
        const auto known = m_byCode.find(codes::storedForm(code, kCodeWidth));
        if (known != m_byCode.end() && m_courses[known->second].code == whole)
            return out;
        if (whole.size() > static_cast<std::size_t>(kGroupCodeWidth)) {
            out.refusal = "The course code '" + whole + "' has " + std::to_string(whole.size()) +
                " characters; GRUPOST keeps " + std::to_string(kGroupCodeWidth) +
                ", and the course's groups would get none of their subjects.";
            out.problem = "El código de curso tiene " + std::to_string(whole.size()) + " caracteres y GRUPOST guarda " +
                std::to_string(kGroupCodeWidth) + ": los grupos del curso se quedarían sin sus materias.";
            return out;
        }
        if (known != m_byCode.end()) {
            const Course& first = m_courses[known->second];
            out.refusal = "The course codes '" + first.code + "' (line " + std::to_string(first.line) + ") and '" +
                whole + "' agree in their first " + std::to_string(kCodeWidth) +
                " characters, all that CURSOST keeps; the second course and its groups would be lost.";
            out.problem = "Su código de curso y el de la línea " + std::to_string(first.line) + " empiezan con los mismos " +
                std::to_string(kCodeWidth) + " caracteres, todo lo que CURSOST guarda: se perdería este curso y sus "
                "grupos.";
            return out;
        }
        const std::string& courseName = name();
        const std::string nameKey = codes::storedForm(courseName, kNameWidth);
        const std::string wholeName = codes::storedForm(courseName, static_cast<int>(courseName.size()));
        if (const auto same = m_byName.find(nameKey);
            same != m_byName.end() && m_courses[same->second].name != wholeName) {
            const Course& first = m_courses[same->second];
            out.refusal = "The names of the courses '" + first.code + "' (line " + std::to_string(first.line) +
                ") and '" + whole + "' agree in their first " + std::to_string(kNameWidth) +
                " characters, all that CURSOST keeps; the groups of the second would take the first's levels.";
            out.problem = "Su nombre de curso y el de la línea " + std::to_string(first.line) + " empiezan con los mismos " +
                std::to_string(kNameWidth) + " caracteres, todo lo que CURSOST guarda: los grupos de este curso "
                "tomarían los niveles del otro.";
            return out;
        }
        m_byCode.emplace(codes::storedForm(code, kCodeWidth), m_courses.size());
        m_byName.emplace(nameKey, m_courses.size());
        m_courses.push_back({whole, wholeName, line});
        out.added = true;
        return out;
    }

    /// The courses in the order they were added.
    const std::vector<Course>& courses() const noexcept
    {
        return m_courses;
    }

    /// The course the groups stage finds for a course name, as CURSOST compares it; or null.
    const Course* findByName(const std::string& name) const
    {
        const auto it = m_byName.find(codes::storedForm(name, kNameWidth));
        return it == m_byName.end() ? nullptr : &m_courses[it->second];
    }

private:
    std::vector<Course> m_courses;
    std::unordered_map<std::string, std::size_t> m_byCode; // as CURSOST keeps the code
    std::unordered_map<std::string, std::size_t> m_byName; // as CURSOST keeps the name, the first course kept
};

} // namespace conv::import
