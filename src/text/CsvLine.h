#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace conv
{

/// The fields of one decoded line, positions counted from 0. Asking for a position that is not
/// below count() raises "List index out of bounds (%d)". The strings keep their capacity when a
/// list is reused for the next line, so reading a file allocates only for its longest fields.
class FieldList
{
public:
    int count() const noexcept
    {
        return static_cast<int>(m_count);
    }
    bool empty() const noexcept
    {
        return m_count == 0;
    }
    /// The text at `pos`, or the index error.
    const std::string& at(int pos) const;
    const std::string& operator[](int pos) const
    {
        return at(pos);
    }
    std::vector<std::string>::const_iterator begin() const noexcept
    {
        return m_fields.begin();
    }
    std::vector<std::string>::const_iterator end() const noexcept
    {
        return m_fields.begin() + static_cast<std::ptrdiff_t>(m_count);
    }
    std::vector<std::string> toVector() const
    {
        return {begin(), end()};
    }

    void clear() noexcept
    {
        m_count = 0;
        m_file = nullptr;
    }
    /// Names the line these fields come from, so that the index error says where it arose.
    /// `file` must outlive the list's use (the reader that gave the line keeps it).
    void setPlace(const std::filesystem::path* file, long line) noexcept
    {
        m_file = file;
        m_line = line;
    }
    /// Appends an empty field and gives it for filling.
    std::string& add();

private:
    std::vector<std::string> m_fields;
    std::size_t m_count = 0;
    const std::filesystem::path* m_file = nullptr;
    long m_line = 0;
};

/// Reads a raw line as UTF-8 and converts it to Windows-1252 into `out`. Bytes below 80 hex are
/// themselves; A0..BF and E0..FF begin three-byte sequences, 80..9F and C0..DF two-byte ones,
/// and every later byte must lie in 80..BF. A cut or broken sequence makes the whole line empty.
/// A four-byte character is read as a three-byte one whose fourth byte can never complete, so
/// such a line is empty too. Never fails.
void decodeLine(std::string_view raw, std::string& out);
std::string decodeLine(std::string_view raw);

/// Splits a decoded line at commas, with double quotes around fields. A blank is any character
/// from 1 to 32; a zero character ends the text. Never fails.
void splitLine(std::string_view text, FieldList& out);
FieldList splitLine(std::string_view text);

} // namespace conv
