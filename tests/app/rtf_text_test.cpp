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

TEST(RtfText, SurrogatePairsBecomeOneCharacterAndLoneHalvesNone) {
    // U+1F600 as the pair D83D DE00, each half with its "?" fallback.
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 a\\u-10179?\\u-8704?b}"),
              "a\xF0\x9F\x98\x80"
              "b");
    // With \uc0 there is no fallback; with \uc2 two characters are skipped.
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1\\uc0 \\u55357\\u56832 }"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1\\uc2 \\u55357??\\u56832??x}"), "\xF0\x9F\x98\x80x");
    // A half alone (at the end, before text, before a line break, a low half
    // first) is never written as an invalid UTF-8 sequence.
    const std::string bad = "\xEF\xBF\xBD";
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 \\u-10179?}"), bad);
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 \\u-10179?x}"), bad + "x");
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 \\u-10179?\\par x}"), bad + "\nx");
    EXPECT_EQ(rtf_to_plain_text("{\\rtf1 \\u-8704?\\u-10179?}"), bad + bad);
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
