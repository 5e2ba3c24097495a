// The skier-name files: any bytes imported (as a text, a rich-text document
// or UTF-16) give a list whose lines hold only the kept characters, the
// list read back from its file is the list written, and the capture
// screen's default is the first line with its commas rotated away.

#include <algorithm>
#include <filesystem>

#include "core/text_lines.h"
#include "fuzz/fuzz_support.h"
#include "video/skier_names.h"

namespace {

// Durability is not under test here; a flush per input would slow the run
// a hundredfold.
class UnflushedWriter final : public rs::FileWriter {
  protected:
    int sys_fsync(int) override { return 0; }
};

bool only_kept(const std::string& line) {
    return std::all_of(line.begin(), line.end(), [](char c) {
        return c == ' ' || c == '-' || c == '_' || (c >= '0' && c <= '9') ||
               (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string plain = rs::imported_plain_text(bytes);
    const std::vector<std::string> names = rs::cleaned_lines(plain);
    if (names.size() != rs::split_lines(plain).size())
        rs::fuzz::broken("a line was lost or made by the cleaning");
    for (const auto& name : names) {
        if (!only_kept(name))
            rs::fuzz::broken("a cleaned line holds a character the rule drops");
    }
    // Commas rotate away; each becomes one blank.
    const std::string rotated = rs::rotate_at_commas(bytes.substr(0, 512));
    if (rotated.size() != std::min<std::size_t>(size, 512) ||
        rotated.find(',') != std::string::npos)
        rs::fuzz::broken("the comma rotation lost a character or kept a comma");

    static UnflushedWriter files;
    static const std::string app = [] {
        const std::string folder = rs::fuzz::scratch_folder() + "/app";
        std::filesystem::create_directories(folder);
        return folder;
    }();
    const std::string source = rs::fuzz::input_file(data, size, "import.txt");
    const rs::SkierImport imported = rs::import_skier_names(files, source, app);
    if (!imported.ok)
        rs::fuzz::broken("a readable file was not imported");
    if (imported.last_name != (names.empty() ? std::nullopt : std::optional(names.back())))
        rs::fuzz::broken("the capture name is not the last line");
    const auto list = rs::skier_list(app);
    if (!list || *list != names)
        rs::fuzz::broken("the list read back is not the list written");
    const std::string fallback = "unchanged";
    const std::string first = rs::capture_default_name(app, fallback);
    if (first != (names.empty() || names.front().empty() ? fallback : names.front()))
        rs::fuzz::broken("the capture default is not the first line");
    return 0;
}
