#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace conv
{

/// Writes one key of an ini (profile) file the way the classic profile API does: the file, the
/// section and the key are created when missing, an existing key's line is replaced, and every
/// other line stays byte for byte. Section and key names match without regard to ASCII letter
/// case and surrounding blanks. New lines take the file's own line end (CR LF for a new file).
/// A new file is written beside its place and renamed into it. An existing one is changed in
/// place, so it keeps its owner and the rights given to it, and it can be written where only the
/// file is writable, not its folder; a write that fails part way leaves the old contents.
/// Throws "Unable to write to %s" with the file's path.
void writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);

/// The new contents of an ini file after writing one key; `contents` is the old file.
std::string withProfileString(std::string_view contents, std::string_view section, std::string_view key,
                              std::string_view value);

} // namespace conv
