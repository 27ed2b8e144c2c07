#pragma once

#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <filesystem>
#include <string>

namespace conv::import
{

/// The lines of one XADE file as the stages read them: each line decoded and split into a
/// fresh field list; the header line is left out before it is decoded (unless asked for).
class DataLines
{
public:
    explicit DataLines(const std::filesystem::path& path, bool withHeader = false)
        : m_reader(CsvReader::open(path))
        , m_withHeader(withHeader)
    {
    }

    /// The next line's fields; false at the end of the file.
    bool next(FieldList& fields)
    {
        for (;;) {
            if (!m_reader.nextLine(m_raw))
                return false;
            if (m_reader.lineNumber() == 1 && !m_withHeader)
                continue;
            decodeLine(m_raw, m_text);
            splitLine(m_text, fields);
            return true;
        }
    }
    long lineNumber() const noexcept
    {
        return m_reader.lineNumber();
    }

private:
    CsvReader m_reader;
    bool m_withHeader;
    std::string m_raw;
    std::string m_text;
};

} // namespace conv::import
