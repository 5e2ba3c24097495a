#pragma once
// The commands of rampsight-cli. Each command file registers its commands
// with a static CommandRegistrar; main() dispatches on the first argument.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace rs::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;    // bad arguments or an unreadable file
inline constexpr int kExitNoImage = 3;  // no value exists (point off the plane, frame beyond end)
inline constexpr int kExitRefused = 1;  // the check ran and refused
// A file could not be written; the message names the file and the reason.
inline constexpr int kExitWriteFailed = 4;

using CommandFn =
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>;

struct Command {
    std::string name;
    std::string usage;  // one line: "solve --ur x,y,X,Y ... -o FILE.ipt"
    CommandFn run;
};

void register_command(Command command);
const std::vector<Command>& commands();

struct CommandRegistrar {
    explicit CommandRegistrar(Command command) { register_command(std::move(command)); }
};

// Runs the tool on args (without the program name); returns the exit status.
int run_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rs::cli
