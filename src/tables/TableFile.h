#pragma once

#include "tables/DbfFormat.h"
#include "tables/MdxFormat.h"
#include "platform/File.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace conv
{

/// One tag of the production index, kept in memory in step with every post and written to the
/// .MDX file when the table is flushed. Keys are kept in a sortable form: the field's bytes for
/// text, the level-7 sortable double for numbers.
struct IndexTag
{
    std::string name;
    std::string expression;
    int field = -1;          ///< the field the tag indexes, or -1
    char keyType = 'C';
    std::size_t keyLength = 0;
    bool supported = false;  ///< a plain field we can keep in step
    bool built = false;
    std::vector<mdx::KeyEntry> sorted; ///< by (key, record number)
    std::vector<mdx::KeyEntry> tail;   ///< added since the last sort
};

/// An open .DBF file with its index, shared by every handle of this process on that file, so
/// that what one handle posts the others read at once. Appended records are buffered and written
/// in large blocks; the header's record count and the index file are written when the table is
/// flushed (when the last handle closes it), so a table cut short by a failure still shows the
/// count of its last complete state.
class TableFile
{
public:
    /// Opens (or shares) the file. Exclusive use and a second process's exclusive use give
    /// "Table is busy."; a missing flagged index "Index not found.".
    static std::shared_ptr<TableFile> acquire(const std::filesystem::path& dbf, bool exclusive, bool readOnly);
    /// True when some handle of this process has the file open.
    static bool inUse(const std::filesystem::path& dbf);
    /// True when another process holds the file open (only checks, takes nothing).
    static bool lockedElsewhere(const std::filesystem::path& dbf);

    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    void release(); ///< one handle fewer; the last one flushes and closes
    void flush();

    const std::filesystem::path& path() const { return m_path; }
    const dbf::Header& header() const { return m_header; }
    std::size_t recordLength() const { return m_header.recordLength; }
    std::uint32_t count() const { return m_count; }
    std::uint32_t liveCount();
    bool writable() const { return m_writable; }
    std::uint64_t version() const { return m_version; }

    void read(std::uint32_t recno, char* out);
    bool deleted(std::uint32_t recno);
    /// Posts a new record; gives its number.
    std::uint32_t append(char* record);
    /// Posts a changed record.
    void write(std::uint32_t recno, const char* record);
    /// Raises the engine's error when this table cannot take posts.
    void checkWritable() const;

    std::vector<IndexTag>& tags() { return m_tags; }
    int findTag(std::string_view name) const;
    /// The tag's keys, sorted, complete.
    const std::vector<mdx::KeyEntry>& sortedKeys(IndexTag& tag);
    std::string sortKey(const IndexTag& tag, const char* record) const;
    std::filesystem::path mdxPath() const { return m_mdxPath; }

private:
    TableFile() = default;
    void load(bool readOnly, bool exclusive);
    void loadIndex();
    void build(IndexTag& tag);
    void flushAppends();
    void writeIndex();

    std::filesystem::path m_path;
    std::filesystem::path m_mdxPath;
    std::string m_key;
    std::unique_ptr<platform::File> m_file;
    bool m_writable = false;
    bool m_exclusive = false;
    int m_handles = 0;
    dbf::Header m_header;
    std::uint32_t m_count = 0;     ///< records, appended ones included
    std::uint32_t m_flushed = 0;   ///< records written to the file
    std::string m_appended;        ///< records m_flushed+1 .. m_count
    std::string m_cache;           ///< a run of records read ahead
    std::uint32_t m_cacheFirst = 0;
    std::uint32_t m_cacheCount = 0;
    std::int64_t m_deleted = -1;   ///< deleted records, counted when first asked
    bool m_dirty = false;
    bool m_indexDirty = false;
    bool m_autoIncrementDirty = false;
    std::uint64_t m_version = 0;
    std::vector<IndexTag> m_tags;
};

} // namespace conv
