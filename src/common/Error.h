#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

namespace conv
{

/// The one exception family of the converter. what() is the exact text the user sees,
/// e.g. "List index out of bounds (3)" or "File not found".
class Error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
    /// An error about a file, or about one of its lines (counted from 1): what() stays the
    /// message alone, and the front ends say where it arose.
    Error(const std::string& message, std::filesystem::path file, long line = 0)
        : std::runtime_error(message)
        , m_file(std::move(file))
        , m_line(line)
    {
    }
    /// The file the error is about; empty when the message names none.
    const std::filesystem::path& file() const noexcept
    {
        return m_file;
    }
    /// The line of file() it is about; 0 for the file as a whole.
    long line() const noexcept
    {
        return m_line;
    }

private:
    std::filesystem::path m_file;
    long m_line = 0;
};

/// An input/output failure on a text or table file. code() is the system's error number:
/// 2, 3, 4, 5, 100, 101, 106 for the errors with their own text, otherwise the platform's code.
class IoError : public Error
{
public:
    IoError(int code, const std::string& message, std::filesystem::path file = {})
        : Error(message, std::move(file))
        , m_code(code)
    {
    }
    int code() const noexcept
    {
        return m_code;
    }

private:
    int m_code;
};

} // namespace conv
