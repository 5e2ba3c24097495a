// "rsskier.nam" from the scoring program: any bytes give a name or nothing;
// a name is never empty, lies within the first line, holds a comma only
// when the field was quoted, and the file gives what its bytes give.

#include "core/text_lines.h"
#include "fuzz/fuzz_support.h"
#include "video/skier_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto name = rs::scoring_name_from_text(bytes);
    if (name) {
        const std::vector<std::string> lines = rs::split_lines(bytes);
        if (name->empty())
            rs::fuzz::broken("an empty name");
        if (lines.empty() || lines.front().find(*name) == std::string::npos)
            rs::fuzz::broken("the name is not a part of the first line");
        if (name->find(',') != std::string::npos && lines.front().find('"') == std::string::npos)
            rs::fuzz::broken("an unquoted name runs past a comma");
    }
    if (size > rs::kScoringNameLimit)
        return 0;
    (void)rs::fuzz::input_file(data, size, "rsskier.nam");
    if (rs::scoring_program_name(rs::fuzz::scratch_folder()) != name)
        rs::fuzz::broken("the file and its bytes read differently");
    return 0;
}
