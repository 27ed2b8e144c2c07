#pragma once

#include "tables/Layouts.h"

#include <filesystem>
#include <string>

namespace conv
{

/// Environment variable an administrator sets to put the work folder elsewhere.
inline constexpr const char* kWorkFolderVariable = "TRANSXADE_WORK";

/// The work folder shared with the timetable program, for a folder the user opened. On a system
/// with drive letters it is \VTEMP on that folder's drive. Here it is the folder VTEMP (found
/// without regard to letter case) at the root of the file system that holds `openedFolder`,
/// unless the variable TRANSXADE_WORK names another folder. The converter never creates it.
std::filesystem::path workFolderFor(const std::filesystem::path& openedFolder);

/// The work folder for the process's current folder (see workFolderFor).
std::filesystem::path defaultWorkFolder();

/// Rebuilds a table from its layout: deletes NAME.DBF and NAME.MDX (ignoring the result),
/// then creates the table empty with the layout's fields and indexes.
void rebuildTable(const std::filesystem::path& workFolder, const TableLayout& layout);

/// Creates the table from its layout only when NAME.DBF is missing.
void createTableIfMissing(const std::filesystem::path& workFolder, const TableLayout& layout);

} // namespace conv
