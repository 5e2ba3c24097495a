#pragma once
// What the rampsight-cli commands on set-up files share: the usage error,
// the --type option, and a set-up file read into a grid context the way the
// set-up screen's load shows it, with prompts recorded and nothing stored.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/logs.h"
#include "app/shared_values.h"
#include "cli/cli_args.h"
#include "grid/grid_context.h"
#include "grid/grid_solution.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"

namespace rs::cli {

// "rampsight-cli COMMAND: PROBLEM" on err; returns kExitUsage.
int usage_error(std::ostream& err, const std::string& command, const std::string& problem);

// The jump kind of "--type normal|sitski|barefoot" (normal when absent), or
// nothing when the value is none of them.
std::optional<JumpKind> jump_kind_option(const ParsedArgs& args);

// The checks every command on one set-up file opens with: the parse error,
// exactly one FILE.ipt, and the picture width. Nothing and a usage error on
// err (status in *status) when one fails.
std::optional<double> setup_command_picture_width(const ParsedArgs& args, const std::string& cmd,
                                                  std::ostream& err, int* status);

// The picture width of "--picture-width TWIPS" (12000 when absent), or
// nothing when the value is not a number of twips at or above 0.
std::optional<double> picture_width_option(const ParsedArgs& args);

// Prompts answered as an operator who only reads: every message is kept.
class RecordingDialogs final : public Dialogs {
  public:
    MsgResult message(const MessageRequest& r) override;
    std::string input(const std::string&, const std::string&, const std::string&) override;
    std::optional<std::string> open_file(const FileRequest&) override;
    std::optional<std::string> save_file(const FileRequest&) override;
    std::string browse_folder(const std::string&) override;
    std::vector<std::string> messages;
};

// Every setting at its default; nothing is written.
class MemorySettings final : public SettingsStore {
  public:
    std::string get(std::string_view, std::string_view def) const override;
    bool save(std::string_view, std::string_view) override;
    using SettingsStore::get;
};

// A set-up file and its ".cb" in the boxes and working values of a fresh
// set-up screen, as grid n of n configured grids (n from the file's last
// line), with the picture width given. No debug log file is kept.
struct SetupFromFile {
    GridState grids;
    SetupForm form;
    SharedValues shared;
    SystemClock clock;
    FileWriter files;
    DebugLog log{files, "", clock};
    RecordingDialogs dialogs;
    MemorySettings settings;
    int grid = 1;

    GridContext context();
};
// False, with error, when either file cannot be read.
[[nodiscard]] bool read_setup_from_file(const std::string& path, double picture_width,
                                        SetupFromFile& out, std::string& error);

}  // namespace rs::cli
