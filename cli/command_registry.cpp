#include "cli/command_registry.h"

#include <algorithm>
#include <ostream>

namespace rs::cli {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

void print_usage(std::ostream& os) {
    os << "usage: rampsight-cli COMMAND [ARGS]\n";
    std::vector<Command> sorted = registry();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const auto& c : sorted)
        os << "  rampsight-cli " << c.usage << "\n";
}
}  // namespace

void register_command(Command command) {
    registry().push_back(std::move(command));
}

const std::vector<Command>& commands() {
    return registry();
}

int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        print_usage(args.empty() ? err : out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    for (const auto& c : registry()) {
        if (c.name == args[0]) {
            return c.run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
        }
    }
    err << "rampsight-cli: unknown command \"" << args[0] << "\"\n";
    print_usage(err);
    return kExitUsage;
}

}  // namespace rs::cli
