#pragma once

#include <iosfwd>

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

/// Runs `transxade` with its arguments (argv[0] is the program name), writing results to `out`
/// and messages to `err`. Tests call it in-process.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace conv::cli
