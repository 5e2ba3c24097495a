#include "grid/grid_file.h"

#include <gtest/gtest.h>

#include "core/text_lines.h"
#include "tests/grid/grid_fixture.h"

namespace rs {
namespace {

GridDefinition sample() {
    GridDefinition g = test::worked_grid();
    g.corners[0].screen_x = 0.5;
    g.corners[1].survey_y = -3;
    g.c = {0, 0.01, 1e-5, 5.42101086242752e-20, -0.25, 100, 0, -0.01};
    g.jump_x = 12.345678901234567;
    return g;
}

TEST(SetupFile, NineteenLinesInPrintForm) {
    const std::string text = format_setup_file("C:\\setups\\g1.ipt", "North camera", sample(), 2);
    const auto lines = split_lines(text);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_EQ(lines[0], "Initialization Points for file: C:\\setups\\g1.ipt");
    EXPECT_EQ(lines[1], "North camera");
    EXPECT_EQ(lines[2], " .5 , 0 , 30 , 100 ");
    EXPECT_EQ(lines[3], " 3000 , 3000 , 30 ,-3 ");
    EXPECT_EQ(lines[7], " .01 ");
    EXPECT_EQ(lines[8], " 1E-05 ");
    EXPECT_EQ(lines[9], " 5.42101086242752E-20 ");
    EXPECT_EQ(lines[10], "-.25 ");
    EXPECT_EQ(lines[14], " 12.3456789012346 ");
    EXPECT_EQ(lines[16], " 10 ");
    EXPECT_EQ(lines[17], " 2 ");
    EXPECT_EQ(lines[18], " 2 ");
}

TEST(SetupFile, ReadsBackWhatWasWritten) {
    const GridDefinition g = sample();
    auto r = parse_setup_file(format_setup_file("/s/a, b.ipt", "Pier, left side", g, 3));
    ASSERT_TRUE(r.value) << r.error;
    EXPECT_EQ(r.value->description, "Pier, left side");  // a comma stays in its line
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(r.value->corners[i].screen_x, g.corners[i].screen_x);
        EXPECT_EQ(r.value->corners[i].survey_y, g.corners[i].survey_y);
    }
    for (size_t i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(r.value->c[i], g.c[i]);
    EXPECT_NEAR(r.value->jump_x, g.jump_x, 1e-13);
    EXPECT_EQ(r.value->trailer[2], 3);
}

TEST(SetupFile, DamagedFilesSayWhatIsWrong) {
    const std::string good = format_setup_file("/s/g.ipt", "d", sample(), 1);
    auto lines = split_lines(good);

    lines[8] = " abc ";
    auto r = parse_setup_file(join_crlf(lines));
    EXPECT_FALSE(r.value);
    EXPECT_NE(r.error.find("line 9"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("c3"), std::string::npos) << r.error;

    lines = split_lines(good);
    lines.resize(12);
    r = parse_setup_file(join_crlf(lines));
    EXPECT_FALSE(r.value);
    EXPECT_NE(r.error.find("ends before c7"), std::string::npos) << r.error;

    EXPECT_FALSE(parse_setup_file("").value);
    EXPECT_FALSE(parse_setup_file("only one line").value);
    EXPECT_FALSE(parse_setup_file(std::string("a\r\nb\r\n\0\x01\xff", 9)).value);

    // Old files with LF ends and fields spread over lines still read.
    std::string lf = good;
    for (size_t p; (p = lf.find("\r\n")) != std::string::npos;)
        lf.replace(p, 2, "\n");
    EXPECT_TRUE(parse_setup_file(lf).value);
}

TEST(CheckBuoyFile, FourNumbersInPrintFormEarlierTextsReadAsTheScreenReadThem) {
    const std::string text = format_check_buoy_file({1522.5, 1500, 15, -85.25});
    EXPECT_EQ(text, " 1522.5 \r\n 1500 \r\n 15 \r\n-85.25 \r\n");
    auto r = parse_check_buoy_file(text);
    ASSERT_TRUE(r.value);
    EXPECT_EQ(r.value->screen_x, 1522.5);
    EXPECT_EQ(r.value->survey_x, 15);
    EXPECT_EQ(r.value->survey_y, -85.25);

    // Written by earlier versions: the survey lines as typed.
    auto typed = parse_check_buoy_file(" 1500 \r\n 1500 \r\n15,5\r\n85.3m\r\n");
    ASSERT_TRUE(typed.value) << typed.error;
    EXPECT_EQ(typed.value->survey_x, 15);
    EXPECT_EQ(typed.value->survey_y, 85.3);
    auto plain = parse_check_buoy_file(" 1500 \r\n 1500 \r\n15.0\r\n.5\n");
    ASSERT_TRUE(plain.value);
    EXPECT_EQ(plain.value->survey_y, .5);

    auto placeholder = parse_check_buoy_file(" 1 \r\n 2 \r\nCheckX\r\nCheckY\r\n");
    EXPECT_FALSE(placeholder.value);
    EXPECT_EQ(placeholder.error, "line 3: \"CheckX\" is not a number (check buoy survey X)");
    // The screen position is the program's own print form: nothing else.
    EXPECT_FALSE(parse_check_buoy_file(" 1500px \r\n 2 \r\n 1 \r\n 2 \r\n").value);
    auto short_file = parse_check_buoy_file(" 1 \r\n 2 \r\n");
    EXPECT_FALSE(short_file.value);
    EXPECT_EQ(short_file.error, "the file ends before check buoy survey X");
    EXPECT_EQ(check_buoy_path("/s/grid1.ipt"), "/s/grid1.ipt.cb");
}

}  // namespace
}  // namespace rs
