#include "platform/File.h"

namespace conv::platform
{
namespace
{

FileSystem*& current()
{
    static FileSystem* fs = nullptr;
    return fs;
}

} // namespace

bool File::readExactAt(char* buffer, std::size_t size, std::uint64_t offset)
{
    while (size > 0) {
        const std::size_t n = readAt(buffer, size, offset);
        if (n == 0)
            return false;
        buffer += n;
        size -= n;
        offset += n;
    }
    return true;
}

std::string readWholeFile(const std::filesystem::path& path, FailHandler fail)
{
    const auto file = fileSystem().open(path, Access::Read, fail);
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t n; (n = file->read(buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    return bytes;
}

FileSystem& fileSystem()
{
    FileSystem* fs = current();
    return fs ? *fs : nativeFileSystem();
}

ScopedFileSystem::ScopedFileSystem(FileSystem& replacement)
    : m_previous(current())
{
    current() = &replacement;
}

ScopedFileSystem::~ScopedFileSystem()
{
    current() = m_previous;
}

} // namespace conv::platform
