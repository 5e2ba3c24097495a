// rampsight-cli: the measurement grid and video tools without a display.
#include <iostream>

#include "cli/command_registry.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return rs::cli::run_cli(args, std::cout, std::cerr);
}
