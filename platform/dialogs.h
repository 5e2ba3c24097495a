#pragma once
// The prompts of the program: message box, input box, file dialogs and the
// folder browser. Screens talk to the operator only through this interface,
// so tests can answer from a script and check every prompt.

#include <optional>
#include <string>

namespace rs {

inline constexpr const char* kProgramTitle = "Rampsight Measurement";

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Exclamation, Critical, Question, Information };
enum class MsgResult { Ok, Yes, No };

struct MessageRequest {
    std::string text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    std::string title = kProgramTitle;
    bool default_no = false;  // Yes/No with No as the default button
};

// Filters in the form "description|pattern|description|pattern|...";
// filter_index counts from 1 as the operator's list shows them.
struct FileRequest {
    std::string title;
    std::string filter;
    int filter_index = 1;
    std::string initial_folder;
    std::string file_name;  // proposed name or path, may be empty
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    virtual MsgResult message(const MessageRequest& request) = 0;
    // The answer, or the empty text when the operator cancels.
    virtual std::string input(const std::string& prompt, const std::string& title,
                              const std::string& default_text) = 0;
    // The chosen path, or nothing when the operator cancels.
    virtual std::optional<std::string> open_file(const FileRequest& request) = 0;
    virtual std::optional<std::string> save_file(const FileRequest& request) = 0;
    // The chosen folder ("Select Directory"), or "" when cancelled.
    virtual std::string browse_folder(const std::string& title) = 0;

    // Shorthands for the common message boxes.
    void ok(const std::string& text, MsgIcon icon = MsgIcon::None,
            const std::string& title = kProgramTitle) {
        message({text, MsgButtons::Ok, icon, title, false});
    }
    bool ask_yes_no(const std::string& text, const std::string& title = kProgramTitle,
                    MsgIcon icon = MsgIcon::Question, bool default_no = true) {
        return message({text, MsgButtons::YesNo, icon, title, default_no}) == MsgResult::Yes;
    }
};

}  // namespace rs
