#include "common/ByteSource.h"

#include "common/IoErrors.h"

#include <cstring>

namespace conv
{

std::size_t MemorySource::read(char* buffer, std::size_t size)
{
    const std::size_t n = std::min(size, m_bytes.size() - m_pos);
    std::memcpy(buffer, m_bytes.data() + m_pos, n);
    m_pos += n;
    return n;
}

FileSource::FileSource(const std::filesystem::path& path)
    : m_file(platform::fileSystem().open(path, platform::Access::Read, &throwIoFailure))
{
    // Others may read but not write while we read: a shared lock on the whole file. Where locks
    // are advisory it keeps out every writer that locks, as our own do.
    if (!m_file->tryLock(0, 0, false))
        throwIoFailure(platform::lockConflict(), path);
}

FileSource::~FileSource() = default;

std::size_t FileSource::read(char* buffer, std::size_t size)
{
    return m_file->read(buffer, size);
}

} // namespace conv
