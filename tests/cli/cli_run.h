#pragma once
// Runs rampsight-cli in the test process and keeps its status and output.

#include <sstream>
#include <string>
#include <vector>

#include "cli/command_registry.h"

namespace rs::test {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run_cli(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace rs::test
