#pragma once
// Argument helpers of rampsight-cli: options with values, flags, positional
// arguments and number lists, each failure a message naming the argument.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace rs::cli {

struct ParsedArgs {
    std::map<std::string, std::string> options;  // "--ur" -> "x,y,X,Y"
    std::set<std::string> flags;                 // "--json"
    std::vector<std::string> positional;
    std::string error;  // empty when the arguments parsed

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    const std::string* option(const std::string& name) const {
        auto it = options.find(name);
        return it == options.end() ? nullptr : &it->second;
    }
};

// with_value: the options that take a value; flags: those that do not.
// Anything else that begins with "--" (or is "-o") is an error; "-5" is a
// positional number.
ParsedArgs parse_args(const std::vector<std::string>& args, const std::set<std::string>& with_value,
                      const std::set<std::string>& flags);

// A decimal number (the whole text), or nothing.
std::optional<double> parse_number(const std::string& text);
// Exactly count numbers separated by commas, or nothing.
std::optional<std::vector<double>> parse_number_list(const std::string& text, size_t count);

// Shortest text that reads back as the same double ("52.1", "0.5", "-3");
// valid JSON for finite values.
std::string json_number(double value);

}  // namespace rs::cli
