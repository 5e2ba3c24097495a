#pragma once
// What the harnesses share: the bytes of one input as a file (the readers of
// videos, bitmaps and set-up files take a path), dialogs that answer
// nothing, and a check that fails loudly so that the fuzzer keeps the input.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/file_writer.h"

namespace rs::fuzz {

// A folder of this process's own under the system's temporary folder.
inline const std::string& scratch_folder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/rs-fuzz-XXXXXX";
        if (!::mkdtemp(base.data()))
            std::abort();
        return base;
    }();
    return folder;
}

// Writes the input to a file of the scratch folder named name and returns
// its path; the file is replaced by the next input.
inline std::string input_file(const std::uint8_t* data, std::size_t size, const std::string& name) {
    static FileWriter files;
    const std::string path = scratch_folder() + "/" + name;
    if (!files.replace(path, std::string_view(reinterpret_cast<const char*>(data), size),
                       Flush::No))
        std::abort();
    return path;
}

// Stops the run with the message: the input broke a property that holds
// for every input.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

// Dialogs that show nothing and answer every question with its default.
class SilentDialogs final : public Dialogs {
  public:
    int messages = 0;
    MsgResult message(const MessageRequest& request) override {
        ++messages;
        return request.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
    std::string input(const std::string&, const std::string&, const std::string&) override {
        return "";
    }
    std::optional<std::string> open_file(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> save_file(const FileRequest&) override { return std::nullopt; }
    std::string browse_folder(const std::string&) override { return ""; }
};

// True when text is well-formed UTF-8 (no surrogates, nothing past U+10FFFF,
// no overlong forms).
inline bool is_utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int more = 0;
        unsigned cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            more = 1;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            more = 2;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            more = 3;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(more) >= text.size())
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static const unsigned kLeast[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

}  // namespace rs::fuzz
