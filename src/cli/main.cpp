#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return kdt::cli::RunKdt(arguments, std::cout, std::cerr);
}
