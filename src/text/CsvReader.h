#pragma once

#include "common/ByteSource.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace conv
{

/// Reads the lines of an XADE text file as raw bytes. A line ends at a line feed; every
/// carriage return is dropped (before a line feed it belongs to the line end, elsewhere it is
/// ignored); a Ctrl-Z byte ends the file; the last line needs no line end; lines have no
/// length limit. Memory use is one buffer plus the longest line, whatever the file's length.
class CsvReader
{
public:
    explicit CsvReader(std::unique_ptr<ByteSource> source, std::size_t bufferSize = 1 << 18);

    /// Opens an existing file for reading. Throws IoError ("File not found", ...).
    static CsvReader open(const std::filesystem::path& path);

    /// True when no line is left: no byte left, or the next byte is a Ctrl-Z.
    bool atEnd();

    /// The next raw line, without its line end, into `line`. Returns false at the end.
    bool nextLine(std::string& line);
    std::string nextLine();

    /// 1 for the first line read, and so on.
    long lineNumber() const noexcept
    {
        return m_lineNumber;
    }

    /// Releases the file.
    void close();

private:
    bool fill();

    std::unique_ptr<ByteSource> m_source;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_sourceDone = false;
    bool m_stopped = false; // a Ctrl-Z was met
    long m_lineNumber = 0;
};

} // namespace conv
