#pragma once

#include "common/Error.h"

#include <filesystem>
#include <string>

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

/// Translates an errno value raised on `path` into the system's error number. A missing file
/// whose folder is missing too counts as an invalid file name, as on the original platform.
int ioCodeFromErrno(int err, const std::filesystem::path& path);

/// Throws the IoError for an errno value raised on `path`.
[[noreturn]] void throwIoError(int err, const std::filesystem::path& path);

/// Finds `name` in `folder` without regard to ASCII letter case. An exact match wins; among
/// several case-insensitive matches the first in byte order wins, so the choice is repeatable.
/// Gives folder / name unchanged when nothing matches (so the caller's open reports the error).
std::filesystem::path findNoCase(const std::filesystem::path& folder, const std::string& name);

/// True when `name` exists in `folder` as a regular file, found without regard to letter case.
bool fileExistsNoCase(const std::filesystem::path& folder, const std::string& name);

} // namespace conv
