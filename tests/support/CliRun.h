#pragma once

#include "cli/Commands.h"

#include <sstream>
#include <string>
#include <vector>

namespace conv::test
{

/// What one in-process run of the batch converter gave.
struct CliResult
{
    int status;
    std::string out;
    std::string err;
};

/// Runs `transxade` with `args` in-process, capturing stdout and stderr.
inline CliResult runCli(std::vector<std::string> args)
{
    args.insert(args.begin(), "transxade");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

} // namespace conv::test
