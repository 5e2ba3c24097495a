#include "app/rtf_text.h"

#include <gtest/gtest.h>

#include "platform/file_reader.h"

namespace rs {
namespace {

TEST(RtfText, SkipsControlWordsAndDestinations) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
        "{\\*\\generator Writer;}{\\info{\\title T}}\\f0\\fs22 {\\b Title\\par}"
        "Line one\\line two\\tab x\\par Caf\\'e9 \\{braces\\} \\\\ \\u8364?euro}";
    EXPECT_EQ(rtf_to_plain_text(rtf),
              "Title\nLine one\ntwo\tx\nCaf\xC3\xA9 {braces} \\ \xE2\x82\xAC"
              "euro");
}

TEST(RtfText, TruncatedOrHostileInputEndsCleanly) {
    EXPECT_EQ(rtf_to_plain_text(""), "");
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 abc\\"), "abc");
    EXPECT_EQ(rtf_to_plain_text("}}}{{{x"), "x");
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 \\'4"), "4");
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 \\u-10000000000000000000?}").size() > 0, true);
}

TEST(RtfText, TheShippedManualReads) {
    auto rtf = read_whole_file(std::string(RS_SOURCE_DIR) + "/assets/RS05Manual.rtf");
    ASSERT_TRUE(rtf);
    const std::string text = rtf_to_plain_text(*rtf);
    EXPECT_EQ(text.rfind("Rampsight Measurement Manual\n", 0), 0u);
    EXPECT_NE(text.find("Emergency Parameter Reset"), std::string::npos);
    EXPECT_EQ(text.find("fonttbl"), std::string::npos);
    EXPECT_EQ(text.find("Arial"), std::string::npos);
    EXPECT_EQ(text.find('\\'), std::string::npos);
}

}  // namespace
}  // namespace rs
