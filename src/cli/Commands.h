#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace conv::cli
{

/// Exit statuses of the batch converter.
enum Exit : int
{
    kExitOk = 0,
    kExitProblems = 1, ///< the command ran and found something wrong (check-table)
    kExitMissing = 1, ///< the import ran, but an input file was missing
    kExitError = 2, ///< an error ended the command; its message is on stderr
    kExitUsage = 64,
};

/// An error box's text as the batch converter prints it: the file first, then the message
/// ("/srv/VTEMP/PROFT.DBF: Table does not exist.", "DIR/gruposCentro.csv:7: ..."), taken from
/// the "File: " and "Line: " lines the core adds; a text naming no file is kept as it is.
std::string fileFirst(std::string_view boxText);

/// Runs `transxade` with its arguments (argv[0] is the program name), writing results to `out`
/// and messages to `err`. Tests call it in-process.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace conv::cli
