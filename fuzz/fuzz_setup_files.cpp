// The set-up file and its check-buoy file: any pair of texts is read or
// refused with its reason; a set-up read is written back as the set-up
// screen saves it and reads again with the same numbers; and the grid
// commands run on it end with one of their statuses.
//
// Input: the set-up file's text, a NUL byte, the check-buoy file's text.

#include <sstream>

#include "cli/command_registry.h"
#include "core/text_lines.h"
#include "fuzz/fuzz_support.h"
#include "grid/grid_file.h"

namespace {

int run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = rs::cli::run_cli(args, out, err);
    if (status < 0 || status > 4)
        rs::fuzz::broken("a grid command ended with a status of its own");
    if (status == rs::cli::kExitUsage && err.str().empty())
        rs::fuzz::broken("a refused set-up file gave no reason");
    return status;
}

// Lines 3 to 19: the numbers, as printed.
std::vector<std::string> number_lines(const std::string& text) {
    auto lines = rs::split_lines(text);
    lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(2, lines.size()));
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = bytes.find('\0');
    const std::string setup = bytes.substr(0, cut);
    const std::string check = cut == std::string::npos ? std::string() : bytes.substr(cut + 1);

    const auto read = rs::parse_setup_file(setup);
    if (!read.value && read.error.empty())
        rs::fuzz::broken("a set-up file was refused without a reason");
    (void)rs::parse_check_buoy_file(check);

    const std::string ipt = rs::fuzz::scratch_folder() + "/grid.ipt";
    rs::FileWriter files;
    if (read.value) {
        // Written back as the set-up screen saves it: it reads again, and
        // its numbers stand as printed.
        const auto& d = *read.value;
        rs::GridDefinition g;
        g.corners = d.corners;
        g.c = d.c;
        g.jump_x = d.jump_x;
        g.jump_y = d.jump_y;
        const std::string text = rs::format_setup_file(ipt, d.description, g, 1);
        const auto again = rs::parse_setup_file(text);
        if (!again.value)
            rs::fuzz::broken("a set-up file written from one read does not read");
        rs::GridDefinition g2;
        g2.corners = again.value->corners;
        g2.c = again.value->c;
        g2.jump_x = again.value->jump_x;
        g2.jump_y = again.value->jump_y;
        if (number_lines(rs::format_setup_file(ipt, again.value->description, g2, 1)) !=
            number_lines(text))
            rs::fuzz::broken("numbers of a set-up file change when written again");
    }
    // The commands on the files as they came.
    if (!files.replace_all({{ipt, setup}, {rs::check_buoy_path(ipt), check}}))
        std::abort();
    run({"measure", ipt, "1500", "1500", "--json"});
    run({"to-screen", ipt, "15", "85"});
    run({"check", ipt, "--picture-width", "3000", "--json"});
    run({"accuracy", ipt, "--picture-width", "3000"});
    return 0;
}
