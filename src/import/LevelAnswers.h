#pragma once

#include "import/Import.h"

#include <filesystem>
#include <map>
#include <string>

namespace conv::import
{

/// Reads the answers of the level screen from a UTF-8 CSV file with the header
/// CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO (columns found by name, in any order; NOMECURSO is not
/// needed). Fields are split at commas only, with double quotes around fields that need them,
/// so blanks stay part of a value. Values are taken as typed. When a course code is given twice,
/// the later line wins. Throws conv::Error naming the file and line for a file it cannot use.
std::map<std::string, LevelCodes> readLevelAnswers(const std::filesystem::path& path);

/// Splits one line of our own CSV files: commas separate, double quotes protect, "" inside
/// quotes is one quote, and nothing is trimmed. (The XADE splitting rules end a field at a blank,
/// which would break course names typed in a spreadsheet.)
std::vector<std::string> splitPlainCsv(std::string_view line);

/// One field for our own CSV output: quoted when it holds a comma, a double quote or a
/// character up to the blank.
std::string quoteCsv(std::string_view field);

} // namespace conv::import
