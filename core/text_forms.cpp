#include "core/text_forms.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace rs {

std::string plain_number(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0.0)
        return "0";  // also -0
    char buf[64];
    // %G switches to exponent form exactly where the written form must: an
    // exponent below -4 or at least the precision (15); it strips trailing
    // zeros and writes at least two exponent digits.
    std::snprintf(buf, sizeof buf, "%.15G", value);
    // Within the last step below the largest double, 15 digits round up to
    // a number no double holds; the form that still reads back is the one
    // just below it.
    if (!std::isfinite(std::strtod(buf, nullptr)))
        return value < 0 ? "-1.79769313486231E+308" : "1.79769313486231E+308";
    std::string s = buf;
    // No leading zero before the point: "0.5" -> ".5", "-0.5" -> "-.5".
    if (s.rfind("0.", 0) == 0) {
        s.erase(0, 1);
    } else if (s.rfind("-0.", 0) == 0) {
        s.erase(1, 1);
    }
    return s;
}

std::string signed_number(double value) {
    std::string s = plain_number(value);
    if (s.empty() || s[0] != '-')
        s.insert(s.begin(), ' ');
    return s;
}

std::string print_number(double value) {
    return signed_number(value) + " ";
}

namespace {

// Blanks, tabs and line feeds inside a number are skipped by the decimal
// conversion, the way operators' typed values have always been read.
std::string without_blanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            out.push_back(c);
    }
    return out;
}

// Length of the numeric prefix of s (sign, digits, point, exponent), 0 when
// none; digits_seen tells whether the mantissa had at least one digit.
size_t numeric_prefix(const std::string& s, bool& digits_seen) {
    size_t i = 0;
    digits_seen = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        digits_seen = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            digits_seen = true;
        }
    }
    if (!digits_seen)
        return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        size_t k = j;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
            ++k;
        if (k > j)
            i = k;
    }
    return i;
}

}  // namespace

double text_to_number(std::string_view text) {
    std::string s = without_blanks(text);
    bool digits = false;
    size_t n = numeric_prefix(s, digits);
    if (n == 0)
        return 0.0;
    std::string prefix = s.substr(0, n);
    for (char& c : prefix) {
        if (c == 'D' || c == 'd')
            c = 'E';
    }
    double v = std::strtod(prefix.c_str(), nullptr);
    if (!std::isfinite(v))
        return 0.0;  // an overflowing text is no usable number
    return v;
}

bool is_number_text(std::string_view text) {
    std::string s = trim(text);
    if (s.empty())
        return false;
    bool digits = false;
    size_t n = numeric_prefix(s, digits);
    if (n != s.size())
        return false;
    for (char& c : s) {
        if (c == 'D' || c == 'd')
            c = 'E';
    }
    return std::isfinite(std::strtod(s.c_str(), nullptr));
}

std::string print_zones(const std::vector<std::string>& items) {
    std::string line;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            size_t next = (line.size() / kPrintZone + 1) * kPrintZone;
            line.append(next - line.size(), ' ');
        }
        line += items[i];
    }
    return line;
}

std::string date_text(const DateTime& w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", w.month, w.day, w.year);
    return buf;
}

std::string time_text(const DateTime& w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", w.hour, w.minute, w.second);
    return buf;
}

std::string mmddyy(const DateTime& w) {
    std::string d = date_text(w);
    return d.substr(0, 2) + d.substr(3, 2) + d.substr(8, 2);
}

std::string trim(std::string_view text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return std::string(text.substr(b, e - b));
}

std::string to_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace rs
