#pragma once

#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <array>
#include <exception>
#include <filesystem>
#include <span>
#include <string>
#include <utility>

namespace conv::import
{

/// The lines of one XADE file as the stages read them: each line decoded and split into a
/// fresh field list; the header line is left out before it is decoded (unless asked for).
class DataLines
{
public:
    explicit DataLines(const std::filesystem::path& path, bool withHeader = false)
        : m_path(path)
        , m_reader(CsvReader::open(path))
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
            fields.setPlace(&m_path, m_reader.lineNumber());
            return true;
        }
    }
    /// The next lines, as next() gives them one by one, into `block`; gives how many were read,
    /// 0 at the end of the file. A line that fails to read fails the next call, once the lines
    /// before it were given, so that reading ahead changes nothing a stage does before a failure.
    std::size_t next(std::span<FieldList> block)
    {
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
        std::size_t n = 0;
        try {
            while (n < block.size() && next(block[n]))
                ++n;
        } catch (...) {
            if (n == 0)
                throw;
            m_failure = std::current_exception();
        }
        return n;
    }

    /// Gives every line to `handle`, reading 16 lines ahead and showing each to `prefetch`
    /// first, so that a stage can start fetching what the lines will look up.
    template <class Prefetch, class Handle> void readAhead(Prefetch&& prefetch, Handle&& handle)
    {
        std::array<FieldList, 16> block;
        while (const std::size_t n = next(block)) {
            for (std::size_t i = 0; i < n; ++i)
                prefetch(std::as_const(block[i]));
            for (std::size_t i = 0; i < n; ++i)
                handle(std::as_const(block[i]));
        }
    }

    long lineNumber() const noexcept
    {
        return m_reader.lineNumber();
    }

private:
    std::filesystem::path m_path; // named by the index error of a line's fields
    CsvReader m_reader;
    bool m_withHeader;
    std::string m_raw;
    std::string m_text;
    std::exception_ptr m_failure;
};

} // namespace conv::import
