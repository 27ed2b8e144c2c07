#pragma once

#include "common/Error.h"
#include "platform/File.h"
#include "tables/Table.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace conv::fuzz
{

/// A folder in memory-backed storage where the fuzz targets put the files they open.
inline const std::filesystem::path& scratchFolder()
{
    // Never destroyed: the removal at exit runs after the destructors of static objects
    // registered later, and must still find the path.
    static const std::filesystem::path* folder = [] {
        const std::filesystem::path base =
            std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        auto* p = new std::filesystem::path(base / ("conv-fuzz-" + std::to_string(platform::processId())));
        std::filesystem::create_directories(*p);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return p;
    }();
    return *folder;
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

/// Reads every field of every record in reading order in every way; engine errors are fine,
/// anything else (a crash, a hang, a read outside the file) is a finding.
inline void readAll(Table& t)
{
    int records = 0;
    for (t.first(); !t.eof() && records < 100000; t.next(), ++records)
        for (int i = 0; i < t.fieldCount(); ++i) {
            FieldRef f = t.field(i);
            (void)f.asString();
            (void)f.value();
            try {
                (void)f.asInteger();
            } catch (const Error&) {
            }
        }
    (void)t.recordCount();
}

} // namespace conv::fuzz
