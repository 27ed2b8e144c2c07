#pragma once

#include "common/Error.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace conv::test
{

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir
{
public:
    TempDir()
    {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() / ("conv-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const
    {
        return m_path;
    }
    std::string string() const
    {
        return m_path.string();
    }
    std::filesystem::path operator/(const std::string& name) const
    {
        return m_path / name;
    }
    /// Writes `bytes` to the file `name` in this folder and gives its path.
    std::filesystem::path write(const std::string& name, const std::string& bytes) const
    {
        const auto p = m_path / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

private:
    std::filesystem::path m_path;
};

/// Runs `fn` and checks that it throws a conv::Error whose text is exactly `message`.
#define EXPECT_ERROR_TEXT(statement, message)                                                                          \
    do {                                                                                                               \
        try {                                                                                                          \
            statement;                                                                                                 \
            ADD_FAILURE() << "no error thrown, expected: " << (message);                                              \
        } catch (const ::conv::Error& e) {                                                                             \
            EXPECT_EQ(std::string(e.what()), std::string(message));                                                    \
        }                                                                                                              \
    } while (0)

} // namespace conv::test
