#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace conv::import
{

/// What the preflight found in one place of an XADE folder.
struct Finding
{
    enum class Kind
    {
        Missing, ///< the file is missing: its stage would show its message and be left out
        EndsRun, ///< the line would end the import with an error
        Cut,     ///< a code longer than the field that stores it
        Loss,    ///< the import goes on, but leaves out or changes what the line says
    };
    Kind kind;
    std::string file;
    long line = 0; ///< 0 for the file as a whole
    std::string text; ///< Windows-1252
};

/// Reads every XADE file the import reads, as the import reads it, and reports every line that
/// would end the run, every missing file, every code a field would cut and every loss it can
/// foresee (lines run together, cut or emptied by their bytes, group lines left out). Writes
/// nothing.
/// With `call`, lines of other calls are judged as the import skips them; without it, a group
/// line is judged as if its call were imported.
std::vector<Finding> checkXadeFolder(const std::filesystem::path& folder, const std::optional<std::string>& call);

} // namespace conv::import
