#pragma once

#include "run/RowList.h"

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
    std::string text;     ///< Windows-1252
    std::string problem;  ///< what is wrong and what the import does with it, in plain Spanish (UTF-8)
    std::string lineText; ///< the line as the import reads it (UTF-8); "" for the file as a whole
};

/// Reads every XADE file the import reads, as the import reads it, and reports every line that
/// would end the run, every missing file, every code a field would cut and every loss it can
/// foresee (lines run together, cut or emptied by their bytes, group lines left out). Writes
/// nothing.
/// With `call`, lines of other calls are judged as the import skips them; without it, a group
/// line is judged as if its call were imported.
std::vector<Finding> checkXadeFolder(const std::filesystem::path& folder, const std::optional<std::string>& call);

/// True when one of the findings would end the import.
bool endsTheRun(const std::vector<Finding>& findings);

/// The lines among the findings as the review lists them: the lines that would end the run first
/// (marked), then the cut codes and losses; within each part by file, in the order the import
/// reads the files, then by line. Missing files are left out: the import tells of each at the
/// step that reads it. Columns fichero, línea, gravedad, problema, texto.
RowList reviewList(const std::vector<Finding>& findings);

/// The review's title.
inline constexpr const char* kReviewCaption = "Revisión de los ficheros de XADE"; // UTF-8

} // namespace conv::import
