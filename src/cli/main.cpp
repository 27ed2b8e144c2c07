#include "cli/Commands.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    return conv::cli::run(argc, argv, std::cout, std::cerr);
}
