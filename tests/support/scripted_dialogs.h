#pragma once
// Dialogs for tests: every prompt is recorded (kind, text, title, buttons,
// icon) and answered from a queue. A prompt with no answer queued, or of
// another kind than the answer expects, fails the test and throws
// UnexpectedPrompt; answers still queued when the dialogs go away fail the
// test too, since the prompt they were written for never came.

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace rs::test {

// Thrown (after the test is marked failed) by a prompt nobody scripted.
struct UnexpectedPrompt : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class PromptKind { Message, Input, OpenFile, SaveFile, Folder };

struct Prompt {
    PromptKind kind;
    std::string text;   // message text, input prompt, dialog title
    std::string title;  // message or input title
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    bool default_no = false;
    std::string default_text;  // input default
    FileRequest file;          // file dialogs
};

class ScriptedDialogs final : public Dialogs {
  public:
    ScriptedDialogs() = default;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
    ~ScriptedDialogs() override;

    // Answers, consumed in order. An OK message box needs no answer queued
    // unless strict_ok is set: it is recorded and acknowledged.
    ScriptedDialogs& yes();
    ScriptedDialogs& no();
    ScriptedDialogs& ok();                      // an explicit OK (for strict scripts)
    ScriptedDialogs& text(std::string answer);  // input box
    ScriptedDialogs& cancel_input();            // input box cancelled ("")
    ScriptedDialogs& file(std::string path);    // open/save dialog
    ScriptedDialogs& cancel_file();             // open/save dialog cancelled
    ScriptedDialogs& folder(std::string path);  // folder browser ("" cancels)

    MsgResult message(const MessageRequest& request) override;
    std::string input(const std::string& prompt, const std::string& title,
                      const std::string& default_text) override;
    std::optional<std::string> open_file(const FileRequest& request) override;
    std::optional<std::string> save_file(const FileRequest& request) override;
    std::string browse_folder(const std::string& title) override;

    const std::vector<Prompt>& prompts() const { return prompts_; }
    // The texts of every message box, in order.
    std::vector<std::string> messages() const;
    // The last prompt; fails the test when there was none.
    const Prompt& last() const;
    size_t pending() const { return answers_.size(); }
    void clear() { prompts_.clear(); }
    // Drops the answers still queued, for a test that scripts more than a
    // path it does not take may ask.
    void forget_answers() { answers_.clear(); }

  private:
    enum class AnswerKind { Yes, No, Ok, Text, File, Folder };
    struct Answer {
        AnswerKind kind;
        std::optional<std::string> value;
    };
    std::optional<Answer> take(PromptKind kind, const std::string& what);

    std::deque<Answer> answers_;
    std::vector<Prompt> prompts_;
};

}  // namespace rs::test
