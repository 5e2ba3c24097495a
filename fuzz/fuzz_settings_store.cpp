// The settings file: any text gives values or is refused whole; values
// read from a file and written back read back the same; and any values
// written read back exactly as they were.

#include "core/text_forms.h"
#include "fuzz/fuzz_support.h"
#include "platform/ini_settings_store.h"

namespace {

// Splits the input into key and value texts at 0xFF bytes: a fuzzer's
// way of making many values of any bytes.
std::map<std::string, std::string> values_of(std::string_view bytes) {
    std::map<std::string, std::string> values;
    std::string key;
    bool in_key = true;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && static_cast<unsigned char>(bytes[i]) != 0xFF)
            continue;
        const std::string part(bytes.substr(start, i - start));
        start = i + 1;
        if (in_key) {
            key = rs::to_lower(part);
        } else if (rs::is_settings_key(key)) {
            values[key] = part;
        }
        in_key = !in_key;
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string others;
    if (auto read = rs::parse_settings_text(bytes, &others)) {
        const std::string text = rs::format_settings_text(*read, others);
        std::string others_again;
        auto again = rs::parse_settings_text(text, &others_again);
        if (!again || *again != *read)
            rs::fuzz::broken("values read from a file do not survive a rewrite");
        if (others_again != others)
            rs::fuzz::broken("other sections do not survive a rewrite");
    }
    const auto values = values_of(bytes);
    auto back = rs::parse_settings_text(rs::format_settings_text(values));
    if (!back || *back != values)
        rs::fuzz::broken("written values do not read back exactly");

    // The store itself over the file: it opens whatever is there.
    const std::string path = rs::fuzz::input_file(data, size, "RS05.ini");
    rs::IniSettingsStore store(path);
    (void)store.get("logpath", "");
    return 0;
}
