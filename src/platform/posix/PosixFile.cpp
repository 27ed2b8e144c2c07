#include "platform/File.h"
#include "platform/posix/Errno.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace conv::platform
{

namespace fs = std::filesystem;

FileFailure failureFromErrno(int err, const fs::path& path)
{
    switch (err) {
    case ENOENT: {
        // A missing file in a missing folder is a bad name, as on systems with drive letters.
        std::error_code ec;
        const fs::path parent = path.parent_path();
        if (!parent.empty() && !fs::is_directory(parent, ec))
            return {Failure::PathNotFound, err};
        return {Failure::NotFound, err};
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return {Failure::PathNotFound, err};
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return {Failure::AccessDenied, err};
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return {Failure::DiskFull, err};
    case EMFILE:
    case ENFILE:
        return {Failure::TooManyFiles, err};
    case EAGAIN:
        return {Failure::Busy, err};
    default:
        return {Failure::Other, err};
    }
}

namespace
{

[[noreturn]] void fail(FailHandler handler, int err, const fs::path& path)
{
    handler(failureFromErrno(err, path), path);
    std::abort(); // a handler always raises
}

bool setLock(int fd, short type, std::uint64_t offset, std::uint64_t length)
{
    struct flock lock{};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = static_cast<off_t>(length);
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

/// Locks are open-file-description locks: they belong to the open file, not to the process,
/// so two opens in one program exclude each other as two programs do.
class PosixFile final : public File
{
public:
    PosixFile(int fd, fs::path path, FailHandler handler)
        : m_fd(fd)
        , m_path(std::move(path))
        , m_fail(handler)
    {
    }
    ~PosixFile() override
    {
        ::close(m_fd);
    }

    std::size_t read(char* buffer, std::size_t size) override
    {
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, size);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR)
                fail(m_fail, errno, m_path);
        }
    }

    std::size_t readAt(char* buffer, std::size_t size, std::uint64_t offset) override
    {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pread(m_fd, buffer + done, size - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail(m_fail, errno, m_path);
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    void writeAt(const char* data, std::size_t size, std::uint64_t offset) override
    {
        while (size > 0) {
            const ssize_t n = ::pwrite(m_fd, data, size, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail(m_fail, n < 0 ? errno : ENOSPC, m_path);
            data += n;
            size -= static_cast<std::size_t>(n);
            offset += static_cast<std::uint64_t>(n);
        }
    }

    std::uint64_t size() override
    {
        struct stat st{};
        if (::fstat(m_fd, &st) != 0)
            fail(m_fail, errno, m_path);
        return static_cast<std::uint64_t>(st.st_size);
    }

    void truncate(std::uint64_t size) override
    {
        if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
            fail(m_fail, errno, m_path);
    }

    void sync() override
    {
        // Some file systems cannot sync (EINVAL) and a read-only file needs none.
        if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS && errno != EBADF)
            fail(m_fail, errno, m_path);
    }

    void setFailHandler(FailHandler handler) override
    {
        m_fail = handler;
    }

    bool tryLock(std::uint64_t offset, std::uint64_t length, bool exclusive) override
    {
        if (setLock(m_fd, exclusive ? F_WRLCK : F_RDLCK, offset, length))
            return true;
        // Only a lock in the way refuses; a file system without locks (some network mounts)
        // has nothing to keep others out with.
        return errno != EAGAIN && errno != EACCES;
    }

    void unlock(std::uint64_t offset, std::uint64_t length) override
    {
        setLock(m_fd, F_UNLCK, offset, length);
    }

    bool lockedByOther(std::uint64_t offset, std::uint64_t length) override
    {
        struct flock lock{};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = static_cast<off_t>(offset);
        lock.l_len = static_cast<off_t>(length);
        return ::fcntl(m_fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    }

private:
    int m_fd;
    fs::path m_path;
    FailHandler m_fail;
};

class PosixFileSystem final : public FileSystem
{
public:
    std::unique_ptr<File> open(const fs::path& path, Access access, FailHandler handler) override
    {
        int flags = O_CLOEXEC | O_NONBLOCK; // a FIFO must not keep the open waiting
        switch (access) {
        case Access::Read: flags |= O_RDONLY; break;
        case Access::ReadWrite: flags |= O_RDWR; break;
        case Access::Create: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
        }
        // A special file must not be opened at all: opening a device or the writing end of a
        // FIFO can have effects of its own.
        if (fileKind(path) == FileKind::Other)
            handler({Failure::NotRegular, 0}, path);
        const int fd = ::open(path.c_str(), flags, 0644);
        if (fd < 0)
            fail(handler, errno, path);
        struct stat st{};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
            ::close(fd);
            if (err == EISDIR || err == 0)
                handler({err == EISDIR ? Failure::AccessDenied : Failure::NotRegular, err}, path);
            fail(handler, err, path);
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return std::make_unique<PosixFile>(fd, path, handler);
    }

    void replace(const fs::path& from, const fs::path& to, FailHandler handler) override
    {
        if (::rename(from.c_str(), to.c_str()) != 0)
            fail(handler, errno, to);
    }

    bool remove(const fs::path& path) override
    {
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    }
};

} // namespace

FileSystem& nativeFileSystem()
{
    static PosixFileSystem fs;
    return fs;
}

FileKind fileKind(const fs::path& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return FileKind::Missing;
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(st.st_mode))
        return FileKind::Directory;
    return FileKind::Other;
}

fs::path volumeRoot(const fs::path& folder)
{
    // The highest ancestor on the same device.
    struct stat here{};
    if (::stat(folder.c_str(), &here) != 0)
        return folder.root_path();
    fs::path root = folder;
    while (root.has_parent_path() && root.parent_path() != root) {
        struct stat up{};
        if (::stat(root.parent_path().c_str(), &up) != 0 || up.st_dev != here.st_dev)
            break;
        root = root.parent_path();
    }
    return root;
}

void changeCurrentFolder(const fs::path& folder, FailHandler handler)
{
    if (::chdir(folder.c_str()) != 0)
        fail(handler, errno, folder);
}

char pathSeparator()
{
    return '/';
}

fs::path pathFromText(const std::string& text)
{
    return fs::path(text);
}

std::string pathText(const fs::path& path)
{
    return path.string();
}

std::vector<std::string> commandLine(int argc, const char* const* argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

fs::path environmentPath(const char* name)
{
    const char* value = std::getenv(name);
    return value ? fs::path(value) : fs::path();
}

std::uint32_t processId()
{
    return static_cast<std::uint32_t>(::getpid());
}

FileFailure lockConflict()
{
    return {Failure::Busy, EAGAIN};
}

bool processRunning(std::uint32_t pid)
{
    if (pid == 0)
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace conv::platform
