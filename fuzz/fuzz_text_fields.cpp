// The field reader of text files and the number conversions: any text
// splits into fields that lie on its lines; every number read prints in
// its file forms, and a printed number reads back as itself.

#include <cmath>
#include <cstring>

#include "app/text_fields.h"
#include "core/text_forms.h"
#include "core/text_lines.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto lines = rs::split_lines(text);
    for (const auto& f : rs::split_text_fields(lines)) {
        if (f.line < 1 || f.line > lines.size())
            rs::fuzz::broken("a field starts on a line the text does not have");
        (void)rs::is_number_text(f.text);
        (void)rs::print_number(rs::text_to_number(f.text));
    }
    (void)rs::comma_fields(text);
    (void)rs::print_zones(lines);

    // A number from the bytes themselves: its forms read back.
    if (size >= sizeof(double)) {
        double v = 0;
        std::memcpy(&v, data, sizeof v);
        if (std::isfinite(v)) {
            const std::string plain = rs::plain_number(v);
            const std::string printed = rs::print_number(v);
            if (!rs::is_number_text(plain) || !rs::is_number_text(printed))
                rs::fuzz::broken("a printed number is not a number text");
            const double back = rs::text_to_number(plain);
            if (rs::plain_number(back) != plain)
                rs::fuzz::broken("a printed number does not read back as itself");
            if (rs::text_to_number(printed) != back)
                rs::fuzz::broken("the print form and the plain form read differently");
        }
    }
    return 0;
}
