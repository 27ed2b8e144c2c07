#pragma once

#include "platform/File.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace conv
{

/// Somewhere bytes are read from: a file on disk, or memory in tests and fuzzers.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    /// Reads up to `size` bytes into `buffer`; 0 means the end. Throws IoError on failure.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

/// Bytes held in memory.
class MemorySource : public ByteSource
{
public:
    explicit MemorySource(std::string bytes)
        : m_bytes(std::move(bytes))
    {
    }
    std::size_t read(char* buffer, std::size_t size) override;

private:
    std::string m_bytes;
    std::size_t m_pos = 0;
};

/// A file opened for reading only. While it is open, others may read it but not write it:
/// the whole file carries a shared lock, and a file another program holds locked for writing
/// cannot be opened ("I/O error %d" with the platform's code). Anything but a regular file (a
/// FIFO, a device) is refused at once.
class FileSource : public ByteSource
{
public:
    explicit FileSource(const std::filesystem::path& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    std::size_t read(char* buffer, std::size_t size) override;

private:
    std::unique_ptr<platform::File> m_file;
};

} // namespace conv
