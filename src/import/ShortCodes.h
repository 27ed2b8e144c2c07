#pragma once

#include "import/KeyTable.h"
#include "tables/Layouts.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

/// The short codes the timetable program shows (groups, subgroups, subjects, teachers, rooms),
/// each kept unique within its stage by a collision rule of the stage's own.
///
/// A code is judged twice: as built, and as the table will store it (cut to the field's width,
/// trailing blanks gone). A rule's candidates are tried in their order; where a rule runs out
/// (every candidate taken, or candidates that only repeat once cut), the search goes on with the
/// same pattern shortened to fit the width, so a stored code is never given twice.
namespace conv::codes
{

/// The width of the fields that keep short codes (ABREV of GRUPOST, PROFT and AULAT, COD of
/// ASIGNOMT, all alike): no rule makes a longer code than this once it has to shorten one.
inline const int kCodeWidth = widthOf(layouts::GRUPOST, "ABREV");

/// Windows-1252 upper case: a-z and the accented small letters with a capital in the code page.
std::string foldCase(std::string_view text);

/// The text as a table field of `width` characters gives it back: cut, without trailing blanks.
std::string storedForm(std::string_view text, int width);

/// The key that tells records apart by a code stored in a field of `width`: within the width the
/// code as the table compares it (trailing blanks not counting); beyond it the whole code, so
/// that two codes the field would cut alike stay two records and a repeated one stays one.
std::string recordKey(std::string_view code, int width);

/// The codes given so far in one stage.
class GivenCodes
{
public:
    /// `ignoreCase`: the stage compares codes without regard to letter case.
    explicit GivenCodes(bool ignoreCase, int width = kCodeWidth);

    /// Taken when the code as built, or as it would be stored, was given before.
    bool taken(std::string_view code) const;
    void add(std::string_view code);
    /// Marks a code found stored in a table (only its stored form counts).
    void addStored(std::string_view stored);
    /// A stage's choice: `wanted` when it is not taken, else the code `instead()` finds (the
    /// first free candidate of the stage's rule). The code chosen is taken from then on. A free
    /// code costs one lookup.
    template <class Instead> std::string give(std::string wanted, Instead&& instead)
    {
        if (m_stored.insert(key(storedForm(wanted, m_width))))
            return wanted;
        std::string code = instead();
        add(code);
        return code;
    }

private:
    std::string key(std::string_view text) const;

    bool m_ignoreCase;
    int m_width;
    // Only the stored forms are kept: a code given as built was given as stored too, and
    // cutting and folding case can be done in either order, so a code taken as built is always
    // taken as stored.
    KeySet m_stored;
};

/// A rule's candidates in order: index 0, 1, 2, ...; nullopt when the sequence is exhausted.
using CandidateFn = std::function<std::optional<std::string>(std::uint64_t index)>;

/// Finds the first free candidate of a sequence named by `key`. Codes are only ever added, so a
/// candidate found taken stays taken: each search resumes where the last one with the same key
/// stopped, and the result is the same as searching from the start every time.
class CandidateSearch
{
public:
    std::string find(const std::string& key, const GivenCodes& given, const CandidateFn& candidate);

private:
    KeyTable<std::uint64_t> m_next;
    // The place of the last key searched: a stage often searches one key several times running.
    LastAnswer<std::uint64_t*> m_lastNext;
};

// The stages' rules, as pure functions of their inputs.

/// Groups: the base is NIVEL + CURSO + the group name. Taken: the base loses its last character
/// when it has 10 or more, then gains A, B, ... Y; after those, the base cut to 10 - k characters
/// followed by k letters A..Y (k = 1, 2, ...).
std::optional<std::string> groupCandidate(const std::string& base, std::uint64_t index);

/// Subgroups: the parent's code followed by 1..99; after those, the parent's code cut to leave
/// room for the number, with 1, 2, 3, ...
std::optional<std::string> subgroupCandidate(const std::string& parent, std::uint64_t index);

/// Subjects and rooms: the base followed by 1, 2, 3, ..., where a candidate whose trimmed length
/// T passes 10 keeps its first 8 characters and its characters T-1 and T. Once that shortening
/// has only repeated itself for a while, the base cut to leave room for the number, with 1, 2, ...
std::optional<std::string> numberedCandidate(const std::string& base, std::uint64_t index);

/// Teachers: the first 3 characters of the base followed by 1, 2, 3, ... (cut further only when
/// the number alone would no longer fit).
std::optional<std::string> teacherCandidate(const std::string& base, std::uint64_t index);

/// The base short code of a subject from its long code and its name.
std::string subjectBase(const std::string& longCode, const std::string& name);

} // namespace conv::codes
