#pragma once

#include <stdexcept>
#include <string>

namespace conv
{

/// The one exception family of the converter. what() is the exact text the user sees,
/// e.g. "List index out of bounds (3)" or "File not found".
class Error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// An input/output failure on a text or table file. code() is the system's error number:
/// 2, 3, 4, 5, 100, 101, 106 for the errors with their own text, otherwise the platform's code.
class IoError : public Error
{
public:
    IoError(int code, const std::string& message)
        : Error(message)
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
