// The manual's rich-text reader on any bytes: it ends, and what it gives is
// well-formed UTF-8 (a text box shows it as it is).

#include "app/rtf_text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string rtf(reinterpret_cast<const char*>(data), size);
    const std::string text = rs::rtf_to_plain_text(rtf);
    if (!rs::fuzz::is_utf8(text))
        rs::fuzz::broken("the plain text is not UTF-8");
    return 0;
}
