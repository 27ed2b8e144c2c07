#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace conv::test
{

/// Sets (or, given nothing, removes) an environment variable for the life of the object, and
/// puts back what was there before.
class ScopedVariable
{
public:
    ScopedVariable(std::string name, std::optional<std::string> value)
        : m_name(std::move(name))
    {
        if (const char* old = std::getenv(m_name.c_str()))
            m_saved = old;
        assign(value);
    }
    ~ScopedVariable()
    {
        assign(m_saved);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void assign(const std::optional<std::string>& value)
    {
#ifdef _WIN32
        // An empty value removes the variable on Windows.
        _putenv_s(m_name.c_str(), value ? value->c_str() : "");
#else
        if (value)
            ::setenv(m_name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
#endif
    }

    std::string m_name;
    std::optional<std::string> m_saved;
};

} // namespace conv::test
