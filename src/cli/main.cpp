#include <iostream>
#include <utility>

#include "cli/cli.h"

int main(int argc, char** argv) {
    using namespace velmo::cli;
    std::vector<Option> options = CubeOptions();
    for (Option& option : SolverOptions()) options.push_back(std::move(option));
    for (Option& option : ViewOptions()) options.push_back(std::move(option));
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, options, std::cout, std::cerr);
}
