#pragma once

#include "common/Error.h"
#include "platform/File.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace conv
{

/// System error numbers that have a text of their own.
enum IoCode : int {
    kFileNotFound = 2,
    kInvalidFilename = 3,
    kTooManyOpenFiles = 4,
    kAccessDenied = 5,
    kReadBeyondEnd = 100,
    kDiskFull = 101,
    kInvalidNumericInput = 106,
};

/// The text shown for an I/O error number: "File not found", ..., else "I/O error %d".
std::string ioErrorMessage(int code);

/// The text for a file that is no regular file (a FIFO, a device), where one was expected.
inline constexpr const char* kNotRegularFile = "Not a regular file";

/// The system's number for a failed file operation: the numbers with a text of their own for
/// the failures they stand for, the platform's own number for every other failure (so a failing
/// disk is never "File access denied").
int ioCode(const platform::FileFailure& failure);

/// Throws the IoError of the run-time library for a failure on `path` (a FailHandler).
[[noreturn]] void throwIoFailure(const platform::FileFailure& failure, const std::filesystem::path& path);

/// True when `a` and `b` are the same text but for the letter case of A-Z (the way file, field
/// and tag names compare; an accented capital is another letter).
bool equalNoCase(std::string_view a, std::string_view b);

/// Finds `name` in `folder` without regard to ASCII letter case. An exact match wins; among
/// several case-insensitive matches the first in byte order wins, so the choice is repeatable.
/// Gives folder / name unchanged when nothing matches (so the caller's open reports the error).
std::filesystem::path findNoCase(const std::filesystem::path& folder, const std::string& name);

/// True when `name` exists in `folder` as a file (a regular one, or a special file that opening
/// will refuse), found without regard to letter case; a folder of that name does not count.
bool fileExistsNoCase(const std::filesystem::path& folder, const std::string& name);

} // namespace conv
