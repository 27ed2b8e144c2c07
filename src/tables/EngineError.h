#pragma once

#include "common/Error.h"
#include "platform/File.h"

#include <filesystem>
#include <string>

namespace conv
{

/// The table engine's messages. Each is one sentence in the style of the classic dBase engine;
/// an error about a file names it on a second line ("Table does not exist.\nFile: /x/A.DBF").
namespace engine
{
inline constexpr const char* kTableMissing = "Table does not exist.";
inline constexpr const char* kPathMissing = "Path not found.";
inline constexpr const char* kTableBusy = "Table is busy.";
inline constexpr const char* kIndexNotFound = "Index not found.";       // flagged MDX file missing
inline constexpr const char* kIndexMissing = "Index does not exist.";  // no such tag
inline constexpr const char* kCorruptHeader = "Corrupt table/index header.";
inline constexpr const char* kCorruptIndex = "Corrupt index file.";
inline constexpr const char* kDiskFull = "Insufficient disk space.";
inline constexpr const char* kNoRights = "Insufficient rights for operation.";
inline constexpr const char* kReadOnly = "Table is read only.";
inline constexpr const char* kIndexExpression = "Index expression not supported.";
inline constexpr const char* kInvalidFieldName = "Invalid field name.";
inline constexpr const char* kInvalidFieldSize = "Invalid field size.";
inline constexpr const char* kTooManyFields = "Too many fields in table.";
inline constexpr const char* kTableFull = "Table is full.";
inline constexpr const char* kNotRegular = "Not a regular file.";
} // namespace engine

/// Throws the engine's error `text`, naming `file`.
[[noreturn]] inline void throwEngine(const std::string& text, const std::filesystem::path& file)
{
    throw Error(text + "\nFile: " + file.string());
}

/// Throws the engine's error for a failed file operation on `file` (a FailHandler).
[[noreturn]] void throwEngineFailure(const platform::FileFailure& failure, const std::filesystem::path& file);

} // namespace conv
