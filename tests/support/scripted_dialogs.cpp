#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace rs::test {

ScriptedDialogs::~ScriptedDialogs() {
    if (!answers_.empty())
        ADD_FAILURE() << answers_.size() << " scripted answer(s) never asked for";
}

ScriptedDialogs& ScriptedDialogs::yes() {
    answers_.push_back({AnswerKind::Yes, std::nullopt});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::no() {
    answers_.push_back({AnswerKind::No, std::nullopt});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::ok() {
    answers_.push_back({AnswerKind::Ok, std::nullopt});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::text(std::string answer) {
    answers_.push_back({AnswerKind::Text, std::move(answer)});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::cancel_input() {
    return text("");
}
ScriptedDialogs& ScriptedDialogs::file(std::string path) {
    answers_.push_back({AnswerKind::File, std::move(path)});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::cancel_file() {
    answers_.push_back({AnswerKind::File, std::nullopt});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::folder(std::string path) {
    answers_.push_back({AnswerKind::Folder, std::move(path)});
    return *this;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(PromptKind kind,
                                                             const std::string& what) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << what;
        // Thrown so that a screen waiting in a loop for an answer stops.
        throw UnexpectedPrompt(what);
    }
    Answer a = answers_.front();
    bool fits = false;
    switch (kind) {
        case PromptKind::Message:
            fits =
                a.kind == AnswerKind::Yes || a.kind == AnswerKind::No || a.kind == AnswerKind::Ok;
            break;
        case PromptKind::Input:
            fits = a.kind == AnswerKind::Text;
            break;
        case PromptKind::OpenFile:
        case PromptKind::SaveFile:
            fits = a.kind == AnswerKind::File;
            break;
        case PromptKind::Folder:
            fits = a.kind == AnswerKind::Folder;
            break;
    }
    if (!fits) {
        ADD_FAILURE() << "prompt of another kind than the scripted answer: " << what;
        throw UnexpectedPrompt(what);
    }
    answers_.pop_front();
    return a;
}

MsgResult ScriptedDialogs::message(const MessageRequest& r) {
    Prompt p{PromptKind::Message, r.text, r.title, r.buttons, r.icon, r.default_no, {}, {}};
    prompts_.push_back(p);
    if (r.buttons == MsgButtons::Ok) {
        // An OK box needs no scripted answer, but an explicit ok() queued for
        // it is consumed.
        if (!answers_.empty() && answers_.front().kind == AnswerKind::Ok)
            answers_.pop_front();
        return MsgResult::Ok;
    }
    auto a = take(PromptKind::Message, "message \"" + r.text + "\"");
    if (!a)
        return MsgResult::No;
    if (a->kind == AnswerKind::Ok) {
        ADD_FAILURE() << "OK scripted for a Yes/No question: " << r.text;
        return MsgResult::No;
    }
    return a->kind == AnswerKind::Yes ? MsgResult::Yes : MsgResult::No;
}

std::string ScriptedDialogs::input(const std::string& prompt, const std::string& title,
                                   const std::string& default_text) {
    Prompt p{PromptKind::Input, prompt, title,        MsgButtons::Ok,
             MsgIcon::None,     false,  default_text, {}};
    prompts_.push_back(p);
    auto a = take(PromptKind::Input, "input \"" + prompt + "\"");
    return a && a->value ? *a->value : std::string();
}

std::optional<std::string> ScriptedDialogs::open_file(const FileRequest& r) {
    Prompt p{PromptKind::OpenFile, r.title, {}, MsgButtons::Ok, MsgIcon::None, false, {}, r};
    prompts_.push_back(p);
    auto a = take(PromptKind::OpenFile, "open file \"" + r.title + "\"");
    return a ? a->value : std::nullopt;
}

std::optional<std::string> ScriptedDialogs::save_file(const FileRequest& r) {
    Prompt p{PromptKind::SaveFile, r.title, {}, MsgButtons::Ok, MsgIcon::None, false, {}, r};
    prompts_.push_back(p);
    auto a = take(PromptKind::SaveFile, "save file \"" + r.title + "\"");
    return a ? a->value : std::nullopt;
}

std::string ScriptedDialogs::browse_folder(const std::string& title) {
    Prompt p{PromptKind::Folder, title, {}, MsgButtons::Ok, MsgIcon::None, false, {}, {}};
    prompts_.push_back(p);
    auto a = take(PromptKind::Folder, "folder \"" + title + "\"");
    return a && a->value ? *a->value : std::string();
}

std::vector<std::string> ScriptedDialogs::messages() const {
    std::vector<std::string> out;
    for (const auto& p : prompts_) {
        if (p.kind == PromptKind::Message)
            out.push_back(p.text);
    }
    return out;
}

const Prompt& ScriptedDialogs::last() const {
    static const Prompt none{PromptKind::Message, {},    {}, MsgButtons::Ok,
                             MsgIcon::None,       false, {}, {}};
    if (prompts_.empty()) {
        ADD_FAILURE() << "no prompt was shown";
        return none;
    }
    return prompts_.back();
}

}  // namespace rs::test
