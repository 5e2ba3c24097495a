// The capture screen's rules on names, passes and the contact frame.

#include "video/capture_rules.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace rs {
namespace {

TEST(CaptureNameRules, ReplaceEachInvalidOrUnsafeCharacterAndEachComma) {
    CleanedName n = apply_name_rules("Smith, John");
    EXPECT_EQ(n.text, "Smith  John");
    EXPECT_TRUE(n.had_comma);
    EXPECT_EQ(n.replaced, 0);

    n = apply_name_rules("Ann\tLee");
    EXPECT_EQ(n.text, "Ann_Lee");
    EXPECT_EQ(n.replaced, 1);
    EXPECT_FALSE(n.had_comma);

    // A character beyond ASCII is one "_", whatever its bytes.
    n = apply_name_rules("Jos\xC3\xA9 M\xC3\xBCller~");
    EXPECT_EQ(n.text, "Jos_ M_ller~");
    EXPECT_EQ(n.replaced, 2);

    // Characters a file name cannot hold are refused the same way.
    n = apply_name_rules("a/b\\c:d*e?f\"g<h>i|j");
    EXPECT_EQ(n.text, "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(n.replaced, 9);

    n = apply_name_rules("O'Brien-Smith_2");
    EXPECT_EQ(n.text, "O'Brien-Smith_2");
    EXPECT_EQ(n.replaced, 0);
}

TEST(CapturePass, RaisedPastEveryFileOfThatNameAndTheXRuleMakesTheNameFree) {
    test::TempDir tmp;
    const std::string folder = tmp.make_dir("videos");
    test::spit(folder + "/Smithjump2.avi", "x");
    test::spit(folder + "/Smithjump3.avi", "x");
    RaisedPass p = raise_pass_past_files(folder, "Smith", "2");
    EXPECT_TRUE(p.raised);
    EXPECT_EQ(p.pass, " 4");
    p = raise_pass_past_files(folder, "Smith", "1");
    EXPECT_FALSE(p.raised);
    EXPECT_EQ(p.pass, "1");

    // Smith on pass 2 with Smithjump2.avi present: SmithX on pass 1.
    FreeCaptureName f = free_capture_name(folder, "Smith", "2");
    EXPECT_TRUE(f.changed);
    EXPECT_EQ(f.name, "SmithX");
    EXPECT_EQ(f.pass, "1");
    EXPECT_EQ(f.path, test::path_in(folder, "SmithXjump1.avi"));
    test::spit(folder + "/SmithXjump1.avi", "x");
    f = free_capture_name(folder + "/", "Smith ", "2");
    EXPECT_EQ(f.name, "SmithXX");
    EXPECT_EQ(f.path, test::path_in(folder, "SmithXXjump1.avi"));
    f = free_capture_name(folder, "Jones", "2");
    EXPECT_FALSE(f.changed);
    EXPECT_EQ(f.path, test::path_in(folder, "Jonesjump2.avi"));
    EXPECT_EQ(name_changed_warning("SmithX"),
              "WARNING! Skier Name has been changed to SmithX to prevent duplicate files");
}

TEST(CaptureStartFrame, IsTheContactFrameInTheFileOrTheMiddleOfTheRecording) {
    // 5 s at 30 frames per second without contact: 30 x 5 / 2.
    EXPECT_EQ(capture_start_frame(false, 0, 500, 30, 5), 75);
    // The middle stays the middle whatever the counter was at the start.
    EXPECT_EQ(capture_start_frame(false, 0, 10, 30, 5), 75);
    EXPECT_EQ(capture_start_frame(true, 600, 500, 30, 5), 100);
    // Contact pressed before the first frame came: the first frame.
    EXPECT_EQ(capture_start_frame(true, 500, 500, 30, 5), 0);
}

}  // namespace
}  // namespace rs
