#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
    using namespace velmo::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, AllOptions(), std::cout, std::cerr);
}
