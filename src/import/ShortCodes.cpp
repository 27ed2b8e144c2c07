#include "import/ShortCodes.h"

#include "common/Error.h"
#include "text/Clipper.h"

#include <algorithm>

namespace conv::codes
{
namespace
{

int digits(std::uint64_t n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

std::uint64_t power(std::uint64_t base, int exp)
{
    std::uint64_t r = 1;
    while (exp-- > 0)
        r *= base;
    return r;
}

/// `prefix` cut so that it and the number `n` fit in a code; nullopt when the number alone
/// does not fit.
std::optional<std::string> cutToFit(const std::string& prefix, std::size_t keep, std::uint64_t n)
{
    const int d = digits(n);
    if (d > kCodeWidth)
        return std::nullopt;
    const std::size_t room = static_cast<std::size_t>(kCodeWidth - d);
    return prefix.substr(0, std::min({prefix.size(), keep, room})) + std::to_string(n);
}

constexpr int kLetters = 25; // A to Y: the group rule never tries Z

} // namespace

std::string foldCase(std::string_view text)
{
    std::string out(text);
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            ch = static_cast<char>(c - 0x20);
        else if (c == 0x9A || c == 0x9C || c == 0x9E) // s, oe and z with their marks
            ch = static_cast<char>(c - 0x10);
        else if (c == 0xFF) // y with diaeresis
            ch = static_cast<char>(0x9F);
    }
    return out;
}

std::string storedForm(std::string_view text, int width)
{
    std::string_view cut = text.substr(0, std::min(text.size(), static_cast<std::size_t>(width)));
    while (!cut.empty() && cut.back() == ' ')
        cut.remove_suffix(1);
    return std::string(cut);
}

std::string recordKey(std::string_view code, int width)
{
    return code.size() > static_cast<std::size_t>(width) ? std::string(code) : storedForm(code, width);
}

GivenCodes::GivenCodes(bool ignoreCase, int width)
    : m_ignoreCase(ignoreCase)
    , m_width(width)
{
}

std::string GivenCodes::key(std::string_view text) const
{
    return m_ignoreCase ? foldCase(text) : std::string(text);
}

bool GivenCodes::taken(std::string_view code) const
{
    return m_stored.contains(key(storedForm(code, m_width)));
}

void GivenCodes::add(std::string_view code)
{
    m_stored.insert(key(storedForm(code, m_width)));
}

void GivenCodes::addStored(std::string_view stored)
{
    m_stored.insert(key(stored));
}

std::string CandidateSearch::find(const std::string& key, const GivenCodes& given, const CandidateFn& candidate)
{
    // The only insert into m_next is here, so the place kept stays valid until the next one.
    std::uint64_t& index = *m_lastNext.get(key, [&] { return &m_next[key]; });
    for (;; ++index) {
        std::optional<std::string> c = candidate(index);
        if (!c)
            throw Error("No free short code is left for " + key);
        if (!given.taken(*c))
            return *c;
    }
}

std::optional<std::string> groupCandidate(const std::string& base, std::uint64_t index)
{
    if (index < kLetters) {
        const std::string stem =
            base.size() >= static_cast<std::size_t>(kCodeWidth) ? base.substr(0, base.size() - 1) : base;
        return stem + static_cast<char>('A' + index);
    }
    std::uint64_t rest = index - kLetters;
    for (int k = 1; k <= kCodeWidth; ++k) {
        const std::uint64_t count = power(kLetters, k);
        if (rest < count) {
            std::string code = base.substr(0, std::min(base.size(), static_cast<std::size_t>(kCodeWidth - k)));
            std::string letters(static_cast<std::size_t>(k), 'A');
            for (int pos = k - 1; pos >= 0; --pos) {
                letters[static_cast<std::size_t>(pos)] = static_cast<char>('A' + rest % kLetters);
                rest /= kLetters;
            }
            return code + letters;
        }
        rest -= count;
    }
    return std::nullopt;
}

std::optional<std::string> subgroupCandidate(const std::string& parent, std::uint64_t index)
{
    if (index < 99)
        return parent + std::to_string(index + 1);
    return cutToFit(parent, parent.size(), index - 98);
}

std::optional<std::string> numberedCandidate(const std::string& base, std::uint64_t index)
{
    // The rule shortens a candidate once its trimmed length passes 10, which happens from the
    // first number with `first` digits on. After that it only cycles through a few endings, so
    // it is followed for 10,000 more numbers (enough to give every ending it can) and then the
    // base is cut to leave room for the number.
    const std::size_t lead = std::min(base.find_first_not_of(' '), base.size());
    const std::size_t core = base.size() - lead;
    const int first = core >= static_cast<std::size_t>(kCodeWidth) ? 1 : kCodeWidth + 1 - static_cast<int>(core);
    const std::uint64_t ruleLength = power(10, first - 1) + 9999;
    if (index < ruleLength) {
        std::string c = base + std::to_string(index + 1);
        const std::size_t t = Clipper::QuitaBlancos(c).size();
        if (t > static_cast<std::size_t>(kCodeWidth))
            c = c.substr(0, 8) + c.substr(t - 2, 2);
        return c;
    }
    return cutToFit(base, base.size(), index - ruleLength + 1);
}

std::optional<std::string> teacherCandidate(const std::string& base, std::uint64_t index)
{
    return cutToFit(base, 3, index + 1);
}

std::string subjectBase(const std::string& longCode, const std::string& name)
{
    std::string base = longCode.size() >= 11 ? longCode.substr(0, 1) + Clipper::Iniciales(longCode) : longCode;
    if (base.size() < 2)
        base = name.substr(0, 1) + Clipper::Iniciales(name);
    if (base.size() > static_cast<std::size_t>(kCodeWidth))
        base = Clipper::QuitaBlancos(base.substr(0, kCodeWidth));
    return base;
}

} // namespace conv::codes
