#include "core/text_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace rs {
namespace {

struct NumberCase {
    double value;
    const char* plain;
};

TEST(TextForms, PlainAndPrintFormsOfNumbers) {
    const NumberCase cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {0.5, ".5"},
        {-0.5, "-.5"},
        {-3, "-3"},
        {3, "3"},
        {10, "10"},
        {1500, "1500"},
        {0.1 + 0.2, ".3"},
        {1.0 / 3.0, ".333333333333333"},
        {2.0 / 3.0, ".666666666666667"},
        {123.456, "123.456"},
        {-1234.5678, "-1234.5678"},
        {0.0001, ".0001"},
        {0.00001, "1E-05"},
        {-0.000015, "-1.5E-05"},
        {1e-100, "1E-100"},
        {1e14, "100000000000000"},
        {999999999999999, "999999999999999"},
        {1e15, "1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {2.5e20, "2.5E+20"},
        {0.000123456789, ".000123456789"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plain_number(c.value), c.plain) << c.value;
        const std::string sign = c.plain[0] == '-' ? "" : " ";
        EXPECT_EQ(print_number(c.value), sign + c.plain + " ") << c.value;
        EXPECT_EQ(signed_number(c.value), sign + c.plain) << c.value;
    }
}

TEST(TextForms, TheLargestNumbersPrintInAFormThatReadsBack) {
    const double largest = std::numeric_limits<double>::max();
    for (double v : {largest, -largest, std::nextafter(largest, 0.0), 1.79769313486231E+308}) {
        const std::string text = plain_number(v);
        EXPECT_TRUE(is_number_text(text)) << text;
        EXPECT_TRUE(std::isfinite(text_to_number(text))) << text;
    }
    EXPECT_EQ(plain_number(-largest), "-1.79769313486231E+308");
    EXPECT_EQ(plain_number(1.5E+308), "1.5E+308");
}

TEST(TextForms, PrintFormsFromTheFileFormat) {
    EXPECT_EQ(print_number(0.5), " .5 ");
    EXPECT_EQ(print_number(-3), "-3 ");
}

TEST(TextForms, DecimalConversionTakesTheLeadingNumber) {
    EXPECT_EQ(text_to_number(""), 0);
    EXPECT_EQ(text_to_number("abc"), 0);
    EXPECT_EQ(text_to_number("12"), 12);
    EXPECT_EQ(text_to_number("  12  "), 12);
    EXPECT_EQ(text_to_number("-3.5"), -3.5);
    EXPECT_EQ(text_to_number("+.25"), 0.25);
    EXPECT_EQ(text_to_number("12abc"), 12);
    EXPECT_EQ(text_to_number("1 2"), 12);
    EXPECT_EQ(text_to_number("1.5E3"), 1500);
    EXPECT_EQ(text_to_number("1.5e-2"), 0.015);
    EXPECT_EQ(text_to_number("2D2"), 200);
    EXPECT_EQ(text_to_number("3E"), 3);  // an exponent without digits is not part of it
    EXPECT_EQ(text_to_number("-"), 0);
    EXPECT_EQ(text_to_number("."), 0);
    EXPECT_EQ(text_to_number("1e999"), 0);  // no infinity reaches a caller
    EXPECT_EQ(text_to_number(" .5 "), 0.5);
    EXPECT_EQ(text_to_number("True"), 0);
}

TEST(TextForms, NumberTextMustBeWhole) {
    EXPECT_TRUE(is_number_text("12"));
    EXPECT_TRUE(is_number_text(" -1.5E+03 "));
    EXPECT_TRUE(is_number_text(".5"));
    EXPECT_FALSE(is_number_text(""));
    EXPECT_FALSE(is_number_text("12a"));
    EXPECT_FALSE(is_number_text("auto"));
    EXPECT_FALSE(is_number_text("1e999"));
}

TEST(TextForms, PrintZonesStartEveryFourteenColumns) {
    EXPECT_EQ(print_zones({"a"}), "a");
    EXPECT_EQ(print_zones({"03-01-2007", "09:05:03", "x"}), "03-01-2007    09:05:03      x");
    // An item that fills its zone pushes the next one to the zone after.
    EXPECT_EQ(print_zones({"12345678901234", "x"}), "12345678901234" + std::string(14, ' ') + "x");
    EXPECT_EQ(print_zones({"123456789012345", "x"}).find('x'), 28u);
    EXPECT_EQ(print_zones({"", "x"}), std::string(14, ' ') + "x");
}

TEST(TextForms, DatesAndTimes) {
    DateTime d{2007, 3, 1, 9, 5, 3};
    EXPECT_EQ(date_text(d), "03-01-2007");
    EXPECT_EQ(time_text(d), "09:05:03");
    EXPECT_EQ(mmddyy(d), "030107");
    EXPECT_EQ(mmddyy(DateTime{2006, 12, 7, 23, 59, 59}), "120706");
    EXPECT_EQ(time_text(DateTime{2006, 12, 7, 23, 59, 59}), "23:59:59");
}

TEST(TextForms, TrimAndLower) {
    EXPECT_EQ(trim("  a b \t"), "a b");
    EXPECT_EQ(trim(""), "");
    EXPECT_EQ(to_lower("VideoResolution"), "videoresolution");
}

}  // namespace
}  // namespace rs
