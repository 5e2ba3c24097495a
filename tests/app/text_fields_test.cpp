#include "app/text_fields.h"

#include <gtest/gtest.h>

namespace rs {
namespace {

TEST(TextFields, CommasLineEndsQuotesAndBlankLines) {
    EXPECT_EQ(comma_fields("Smith, Jones\r\n\r\n\"Doe, Jane\" ,Brown\r\n  Lee  "),
              (std::vector<std::string>{"Smith", "Jones", "Doe, Jane", "Brown", "Lee"}));
    EXPECT_EQ(comma_fields(""), std::vector<std::string>{});
    EXPECT_EQ(comma_fields("a,,b,"), (std::vector<std::string>{"a", "", "b", ""}));
    // An unclosed quote runs to the end of its line.
    EXPECT_EQ(comma_fields("\"open, field\nnext"),
              (std::vector<std::string>{"open, field", "next"}));
    const auto fields = split_text_fields({"skip", "1 , 2", "", "3"}, 1);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0].line, 2u);
    EXPECT_EQ(fields[2].text, "3");
    EXPECT_EQ(fields[2].line, 4u);
}

}  // namespace
}  // namespace rs
