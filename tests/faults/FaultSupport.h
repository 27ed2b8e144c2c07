#pragma once

#include "support/CliRun.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace conv::test
{

inline const std::filesystem::path kSource = CONV_SOURCE_DIR;
inline const std::string kSchool = (kSource / "examples" / "school").string();
inline const std::string kLevels = (kSource / "examples" / "school" / "niveles.csv").string();

inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The example school imported into `work` by the batch converter, in-process.
inline CliResult importSchool(const std::filesystem::path& work, const std::string& csv = kSchool)
{
    return runCli({"import", "--csv", csv, "--call", "2026ORD", "--levels", kLevels, "--work", work.string()});
}

} // namespace conv::test
