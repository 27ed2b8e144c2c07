#include "common/ByteSource.h"

#include "common/IoErrors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    : m_path(path)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        throwIoError(errno, path);
    struct stat st = {};
    if (::fstat(m_fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(m_fd);
        m_fd = -1;
        throwIoError(err, path);
    }
    // Others may read but not write while we read: a shared lock on the whole file. The lock
    // is advisory on this platform; it keeps out every writer that locks, as our own do.
    struct flock lock = {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(m_fd, F_OFD_SETLK, &lock) != 0 && errno != EINVAL && errno != ENOLCK) {
        const int err = errno;
        ::close(m_fd);
        m_fd = -1;
        throwIoError(err, path);
    }
}

FileSource::~FileSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::size_t FileSource::read(char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throwIoError(errno, m_path);
    }
}

} // namespace conv
