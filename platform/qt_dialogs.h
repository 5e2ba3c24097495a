#pragma once
// The prompts over Qt's message box, input dialog and file dialogs.

#include <optional>
#include <string>

#include "platform/dialogs.h"

namespace rs {

// Production prompts over Qt's message box, input dialog and file dialogs.
class QtDialogs final : public Dialogs {
  public:
    MsgResult message(const MessageRequest& request) override;
    std::string input(const std::string& prompt, const std::string& title,
                      const std::string& default_text) override;
    std::optional<std::string> open_file(const FileRequest& request) override;
    std::optional<std::string> save_file(const FileRequest& request) override;
    std::string browse_folder(const std::string& title) override;
};

// "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|" as Qt's filter list
// "All Files (*.*);;Text Files (*.TXT)" (patterns separated by ';' become
// blank-separated).
std::string qt_filter_from_pipes(const std::string& filter);

}  // namespace rs
