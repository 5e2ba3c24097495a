#include "app/rtf_text.h"

#include <cctype>
#include <cstdlib>
#include <set>
#include <vector>

namespace rs {

namespace {

void append_utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Code page 1252's characters 0x80-0x9F; the rest of the page is Latin-1.
unsigned cp1252(unsigned b) {
    static const unsigned high[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    if (b >= 0x80 && b < 0xA0)
        return high[b - 0x80];
    return b;
}

const std::set<std::string>& destinations() {
    static const std::set<std::string> d = {"fonttbl",
                                            "colortbl",
                                            "stylesheet",
                                            "info",
                                            "pict",
                                            "object",
                                            "header",
                                            "footer",
                                            "headerl",
                                            "headerr",
                                            "footerl",
                                            "footerr",
                                            "listtable",
                                            "listoverridetable",
                                            "rsidtbl",
                                            "generator",
                                            "xmlnstbl",
                                            "themedata",
                                            "datastore",
                                            "latentstyles",
                                            "filetbl",
                                            "revtbl",
                                            "fldinst",
                                            "pgdsctbl",
                                            "colorschememapping"};
    return d;
}

struct Group {
    bool skip = false;
    int uc = 1;  // characters to skip after \uN
};

}  // namespace

std::string rtf_to_plain_text(const std::string& rtf) {
    std::string out;
    std::vector<Group> stack{Group{}};
    int pending_skip = 0;  // fallback characters after \uN still to skip
    size_t i = 0;
    const size_t n = rtf.size();
    // A character beyond the first 65536 comes as two \uN words (a UTF-16
    // surrogate pair); the first half waits here for the second. A half
    // without its partner is no character and shows as U+FFFD.
    unsigned high_half = 0;
    auto put = [&](unsigned cp) {
        const bool low = cp >= 0xDC00 && cp <= 0xDFFF;
        if (high_half != 0) {
            if (low) {
                append_utf8(out, 0x10000 + ((high_half - 0xD800) << 10) + (cp - 0xDC00));
                high_half = 0;
                return;
            }
            append_utf8(out, 0xFFFD);
            high_half = 0;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF)
            high_half = cp;
        else
            append_utf8(out, low ? 0xFFFD : cp);
    };
    auto emit = [&](unsigned cp) {
        if (stack.back().skip)
            return;
        if (pending_skip > 0) {
            --pending_skip;
            return;
        }
        put(cp);
    };
    while (i < n) {
        char c = rtf[i];
        if (c == '{') {
            stack.push_back(stack.back());
            ++i;
            // "{\*\dest ...}" is an optional destination: skipped whole.
            if (i + 1 < n && rtf[i] == '\\' && rtf[i + 1] == '*')
                stack.back().skip = true;
            continue;
        }
        if (c == '}') {
            if (stack.size() > 1)
                stack.pop_back();
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            emit(static_cast<unsigned char>(c));
            ++i;
            continue;
        }
        // A control word or symbol.
        ++i;
        if (i >= n)
            break;
        char d = rtf[i];
        if (d == '\\' || d == '{' || d == '}') {
            emit(static_cast<unsigned char>(d));
            ++i;
            continue;
        }
        if (d == '\'') {
            if (i + 2 < n && std::isxdigit(static_cast<unsigned char>(rtf[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(rtf[i + 2]))) {
                unsigned b =
                    static_cast<unsigned>(std::strtoul(rtf.substr(i + 1, 2).c_str(), nullptr, 16));
                emit(cp1252(b));
                i += 3;
            } else {
                ++i;
            }
            continue;
        }
        if (d == '~') {
            emit(0xA0);
            ++i;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(d))) {
            ++i;  // other control symbols (\-, \_, \*, ...) have no text
            continue;
        }
        std::string word;
        while (i < n && std::isalpha(static_cast<unsigned char>(rtf[i])))
            word.push_back(rtf[i++]);
        bool has_param = false;
        long param = 0;
        if (i < n && (rtf[i] == '-' || std::isdigit(static_cast<unsigned char>(rtf[i])))) {
            size_t start = i;
            ++i;
            while (i < n && std::isdigit(static_cast<unsigned char>(rtf[i])))
                ++i;
            param = std::strtol(rtf.substr(start, i - start).c_str(), nullptr, 10);
            has_param = true;
        }
        if (i < n && rtf[i] == ' ')
            ++i;  // the delimiter belongs to the word

        if (destinations().count(word)) {
            stack.back().skip = true;
        } else if (word == "par" || word == "line" || word == "sect" || word == "page") {
            if (!stack.back().skip)
                put('\n');
        } else if (word == "tab") {
            if (!stack.back().skip)
                put('\t');
        } else if (word == "uc" && has_param) {
            stack.back().uc = static_cast<int>(param);
        } else if (word == "u" && has_param) {
            long v = param < 0 ? param + 65536 : param;
            if (v < 0 || v > 0x10FFFF)
                v = 0xFFFD;  // no such character
            if (!stack.back().skip)
                put(static_cast<unsigned>(v));
            pending_skip = stack.back().uc;
        } else if (word == "emdash") {
            emit(0x2014);
        } else if (word == "endash") {
            emit(0x2013);
        } else if (word == "bullet") {
            emit(0x2022);
        } else if (word == "lquote") {
            emit(0x2018);
        } else if (word == "rquote") {
            emit(0x2019);
        } else if (word == "ldblquote") {
            emit(0x201C);
        } else if (word == "rdblquote") {
            emit(0x201D);
        }
    }
    if (high_half != 0)
        append_utf8(out, 0xFFFD);
    return out;
}

}  // namespace rs
