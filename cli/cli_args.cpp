#include "cli/cli_args.h"

#include <charconv>
#include <cstdio>

#include "core/text_forms.h"

namespace rs::cli {

ParsedArgs parse_args(const std::vector<std::string>& args, const std::set<std::string>& with_value,
                      const std::set<std::string>& flags) {
    ParsedArgs p;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (with_value.count(a)) {
            if (i + 1 >= args.size()) {
                p.error = a + " needs a value";
                return p;
            }
            p.options[a] = args[++i];
        } else if (flags.count(a)) {
            p.flags.insert(a);
        } else if (a.rfind("--", 0) == 0 || (a.size() > 1 && a[0] == '-' && !parse_number(a))) {
            p.error = "unknown option " + a;
            return p;
        } else {
            p.positional.push_back(a);
        }
    }
    return p;
}

std::optional<double> parse_number(const std::string& text) {
    if (!is_number_text(text))
        return std::nullopt;
    return text_to_number(text);
}

std::optional<std::vector<double>> parse_number_list(const std::string& text, size_t count) {
    std::vector<double> values;
    size_t pos = 0;
    while (true) {
        const size_t comma = text.find(',', pos);
        auto v = parse_number(
            text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (!v)
            return std::nullopt;
        values.push_back(*v);
        if (comma == std::string::npos)
            break;
        pos = comma + 1;
    }
    if (values.size() != count)
        return std::nullopt;
    return values;
}

std::string json_number(double value) {
    if (value == 0)
        value = 0;  // no "-0" from a mapping that cancels out
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

}  // namespace rs::cli
