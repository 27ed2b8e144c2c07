#include "text/CsvReader.h"

#include <cstring>

namespace conv
{

namespace
{
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kCtrlZ = '\x1A';
} // namespace

CsvReader::CsvReader(std::unique_ptr<ByteSource> source, std::size_t bufferSize)
    : m_source(std::move(source))
    , m_buffer(bufferSize == 0 ? 1 : bufferSize)
{
}

CsvReader CsvReader::open(const std::filesystem::path& path)
{
    return CsvReader(std::make_unique<FileSource>(path));
}

bool CsvReader::fill()
{
    if (m_sourceDone || !m_source)
        return false;
    m_pos = 0;
    m_len = m_source->read(m_buffer.data(), m_buffer.size());
    if (m_len == 0)
        m_sourceDone = true;
    return m_len > 0;
}

bool CsvReader::atEnd()
{
    if (m_stopped)
        return true;
    if (m_pos == m_len && !fill())
        return true;
    if (m_buffer[m_pos] == kCtrlZ) {
        m_stopped = true;
        return true;
    }
    return false;
}

bool CsvReader::nextLine(std::string& line)
{
    line.clear();
    if (atEnd())
        return false;
    ++m_lineNumber;
    for (;;) {
        if (m_pos == m_len && !fill())
            return true; // the end of the file ends the last line
        const char* start = m_buffer.data() + m_pos;
        std::size_t avail = m_len - m_pos;
        const char* lf = static_cast<const char*>(std::memchr(start, kLineFeed, avail));
        std::size_t segment = lf ? static_cast<std::size_t>(lf - start) : avail;
        if (const void* z = std::memchr(start, kCtrlZ, segment)) {
            segment = static_cast<std::size_t>(static_cast<const char*>(z) - start);
            m_stopped = true;
            lf = nullptr;
        }
        // Copy the segment without its carriage returns.
        const char* p = start;
        const char* const segEnd = start + segment;
        while (p < segEnd) {
            const char* cr =
                static_cast<const char*>(std::memchr(p, kCarriageReturn, static_cast<std::size_t>(segEnd - p)));
            const char* stop = cr ? cr : segEnd;
            line.append(p, stop);
            p = cr ? cr + 1 : segEnd;
        }
        if (m_stopped)
            return true;
        m_pos += segment;
        if (lf) {
            ++m_pos; // past the line feed
            return true;
        }
    }
}

std::string CsvReader::nextLine()
{
    std::string line;
    nextLine(line);
    return line;
}

void CsvReader::close()
{
    m_source.reset();
    m_sourceDone = true;
    m_pos = m_len = 0;
}

} // namespace conv
