#include "cli/Commands.h"
#include "platform/File.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    // The arguments as the core's text, so that a folder named "Horário 2026" works everywhere.
    const std::vector<std::string> args = conv::platform::commandLine(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& a : args)
        pointers.push_back(a.c_str());
    pointers.push_back(nullptr);
    return conv::cli::run(static_cast<int>(args.size()), pointers.data(), std::cout, std::cerr);
}
