#include "text/CsvLine.h"

#include "common/Error.h"
#include "text/Ansi.h"

#include <cstring>

namespace conv
{

const std::string& FieldList::at(int pos) const
{
    if (pos < 0 || static_cast<std::size_t>(pos) >= m_count)
    {
        const std::string message = "List index out of bounds (" + std::to_string(pos) + ")";
        if (m_file)
            throw Error(message, *m_file, m_line);
        throw Error(message);
    }
    return m_fields[static_cast<std::size_t>(pos)];
}

std::string& FieldList::add()
{
    if (m_count == m_fields.size())
        m_fields.emplace_back();
    std::string& field = m_fields[m_count++];
    field.clear();
    return field;
}

namespace
{

inline bool isContinuation(unsigned char b)
{
    return b >= 0x80 && b <= 0xBF;
}

// Length of the run of bytes below 80 hex starting at `p`, read eight bytes at a time.
std::size_t asciiRun(const unsigned char* p, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

} // namespace

void decodeLine(std::string_view raw, std::string& out)
{
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data());
    const std::size_t n = raw.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t run = asciiRun(p + i, n - i);
        out.append(reinterpret_cast<const char*>(p + i), run);
        i += run;
        if (i == n)
            break;
        const unsigned char first = p[i];
        std::uint16_t ch;
        if (first & 0x20) {
            if (i + 2 >= n || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2]))
                return out.clear();
            ch = static_cast<std::uint16_t>(((first & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F));
            i += 3;
        } else {
            if (i + 1 >= n || !isContinuation(p[i + 1]))
                return out.clear();
            ch = static_cast<std::uint16_t>(((first & 0x1F) << 6) | (p[i + 1] & 0x3F));
            i += 2;
        }
        out.push_back(static_cast<char>(ansiFromUtf16(ch)));
    }
}

std::string decodeLine(std::string_view raw)
{
    std::string out;
    decodeLine(raw, out);
    return out;
}

void splitLine(std::string_view text, FieldList& out)
{
    out.clear();
    // A zero character ends the text.
    if (const void* nul = std::memchr(text.data(), 0, text.size()))
        text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    const char* p = text.data();
    const char* const end = p + text.size();
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    auto skipBlanks = [&] {
        while (p < end && isBlank(*p))
            ++p;
    };

    skipBlanks();
    while (p < end) {
        std::string& field = out.add();
        if (*p == '"') {
            ++p;
            while (p < end) {
                const char* quote = static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(end - p)));
                if (!quote) {
                    field.append(p, end);
                    p = end;
                    break;
                }
                field.append(p, quote);
                p = quote + 1;
                if (p < end && *p == '"') {
                    field.push_back('"');
                    ++p;
                } else {
                    break; // the closing quote, consumed
                }
            }
        } else {
            const char* start = p;
            while (p < end && *p != ',' && !isBlank(*p))
                ++p;
            field.assign(start, p);
        }
        skipBlanks();
        if (p < end && *p == ',') {
            if (p + 1 == end)
                out.add();
            ++p;
            skipBlanks();
        }
    }
}

FieldList splitLine(std::string_view text)
{
    FieldList list;
    splitLine(text, list);
    return list;
}

} // namespace conv
