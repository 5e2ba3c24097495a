#pragma once
// Text forms shared by every file and log the program writes: number forms,
// the decimal conversion of typed text, print zones, dates and times, and
// line ends. One place, so that every format agrees byte for byte.

#include <string>
#include <string_view>
#include <vector>

namespace rs {

// Line end of every text file the program writes, on every platform.
inline constexpr std::string_view kCrLf = "\r\n";

// Shortest decimal form with at most 15 significant digits, no leading zero
// before the point ("-.5", ".25"), exponent form below 1E-4 and from 1E+15
// ("1E-05", "1.23456789012346E+17"). No leading blank.
std::string plain_number(double value);

// The file form of a number: a blank (or the minus sign), the plain digits,
// and a trailing blank: " .5 ", "-3 ".
std::string print_number(double value);

// The print form without the trailing blank (" .5", "-3"): the form a number
// takes when it is joined into a message or shown with its sign position.
std::string signed_number(double value);

// The usual decimal conversion of a typed text: the longest leading numeric
// prefix (blanks are ignored, as are characters after the number), with an
// optional sign, point and exponent (E or D). Empty or non-numeric text is 0.
double text_to_number(std::string_view text);

// True when the whole text (less surrounding blanks) is one decimal number
// with optional sign, point and exponent.
bool is_number_text(std::string_view text);

// Items laid out in print zones of 14 columns: each item after the first
// starts at the next zone boundary after the end of the previous item.
inline constexpr int kPrintZone = 14;
std::string print_zones(const std::vector<std::string>& items);

struct DateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

std::string date_text(const DateTime& when);  // MM-DD-YYYY
std::string time_text(const DateTime& when);  // HH:MM:SS, 24-hour

// Month, day and two-digit year without separators: "030107" for 1 March 2007.
std::string mmddyy(const DateTime& when);

// Text with surrounding blanks removed (blanks and tabs).
std::string trim(std::string_view text);
std::string to_lower(std::string_view text);

}  // namespace rs
