#pragma once

#include "platform/File.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>

namespace conv::test
{

/// The platform's file system with a budget of bytes: writes go through until the budget is spent,
/// then the write that would pass it puts down what fits and fails as a full disk does, and so
/// does every write after it. Renames may be made to fail too.
class FailingFileSystem : public platform::FileSystem
{
public:
    explicit FailingFileSystem(std::uint64_t budget)
        : m_budget(budget)
    {
    }
    bool failRenames = false;
    /// Only the bytes that make a file longer count against the budget, as on a disk without
    /// free space: overwriting what a file holds still goes through.
    bool onlyGrowthCounts = false;
    /// The failure passes: only the one write that spent the budget fails, later ones go through.
    bool failOnce = false;
    /// A folder the user may not write: new files and renames are refused, existing files open.
    bool refuseNewFiles = false;
    /// Bytes written so far, all files together.
    std::uint64_t written() const
    {
        return m_written;
    }
    /// Bytes written so far into the files of `folder`.
    std::uint64_t writtenIn(const std::filesystem::path& folder) const
    {
        const auto it = m_writtenIn.find(folder);
        return it == m_writtenIn.end() ? 0 : it->second;
    }
    bool failed() const
    {
        return m_failed;
    }

    std::unique_ptr<platform::File> open(const std::filesystem::path& path, platform::Access access,
                                         platform::FailHandler fail) override
    {
        if (refuseNewFiles && access == platform::Access::Create)
            fail({platform::Failure::AccessDenied, 0}, path);
        return std::make_unique<File>(*this, platform::nativeFileSystem().open(path, access, fail), path, fail);
    }
    void replace(const std::filesystem::path& from, const std::filesystem::path& to, platform::FailHandler fail) override
    {
        if (failRenames || refuseNewFiles) {
            m_failed = true;
            fail({platform::Failure::AccessDenied, 0}, to);
        }
        platform::nativeFileSystem().replace(from, to, fail);
    }
    bool remove(const std::filesystem::path& path) override
    {
        return platform::nativeFileSystem().remove(path);
    }

private:
    class File : public platform::File
    {
    public:
        File(FailingFileSystem& fs, std::unique_ptr<platform::File> inner, std::filesystem::path path,
             platform::FailHandler fail)
            : m_fs(fs)
            , m_inner(std::move(inner))
            , m_path(std::move(path))
            , m_fail(fail)
        {
        }
        std::size_t read(char* b, std::size_t n) override
        {
            return m_inner->read(b, n);
        }
        std::size_t readAt(char* b, std::size_t n, std::uint64_t o) override
        {
            return m_inner->readAt(b, n, o);
        }
        void writeAt(const char* data, std::size_t size, std::uint64_t offset) override
        {
            const std::uint64_t end = m_inner->size();
            const std::uint64_t free = m_fs.onlyGrowthCounts && offset < end ? end - offset : 0;
            const bool spent = m_fs.m_failed && m_fs.failOnce;
            const std::uint64_t left =
                spent ? UINT64_MAX : free + (m_fs.m_budget > m_fs.m_written ? m_fs.m_budget - m_fs.m_written : 0);
            const std::size_t put = static_cast<std::size_t>(std::min<std::uint64_t>(left, size));
            if (put > 0)
                m_inner->writeAt(data, put, offset);
            if (!spent) {
                m_fs.m_written += put - std::min<std::uint64_t>(put, free);
                m_fs.m_writtenIn[m_path.parent_path()] += put;
            }
            if (put < size) {
                m_fs.m_failed = true;
                m_fail({platform::Failure::DiskFull, 0}, m_path);
            }
        }
        std::uint64_t size() override
        {
            return m_inner->size();
        }
        void truncate(std::uint64_t s) override
        {
            m_inner->truncate(s);
        }
        void sync() override
        {
            m_inner->sync();
        }
        void setFailHandler(platform::FailHandler fail) override
        {
            m_fail = fail;
            m_inner->setFailHandler(fail);
        }
        bool tryLock(std::uint64_t o, std::uint64_t l, bool e) override
        {
            return m_inner->tryLock(o, l, e);
        }
        void unlock(std::uint64_t o, std::uint64_t l) override
        {
            m_inner->unlock(o, l);
        }
        bool lockedByOther(std::uint64_t o, std::uint64_t l) override
        {
            return m_inner->lockedByOther(o, l);
        }

    private:
        FailingFileSystem& m_fs;
        std::unique_ptr<platform::File> m_inner;
        std::filesystem::path m_path;
        platform::FailHandler m_fail;
    };

    std::uint64_t m_budget;
    std::uint64_t m_written = 0;
    std::map<std::filesystem::path, std::uint64_t> m_writtenIn;
    bool m_failed = false;
};

} // namespace conv::test
