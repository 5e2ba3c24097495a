// rampsight-cli audit over audit lines made as the measurement screen makes
// them: a set-up file written by solve, a generated video, its frame
// extracted as frame selection takes it.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/command_registry.h"
#include "grid/grid_file.h"
#include "measure/audit_trail.h"
#include "platform/qt_file_hasher.h"
#include "tests/cli/cli_run.h"
#include "tests/support/temp_dir.h"
#include "tests/video/avi_test_files.h"

namespace rs::cli {
namespace {

using test::cli;
using test::slurp;
using test::spit;

class AuditCommand : public ::testing::Test {
  protected:
    test::TempDir tmp;
    QtFileHasher hasher;
    std::string setup = tmp.file("setups/grid1.ipt");
    std::string video = tmp.file("videos/Smithjump1.avi");
    std::string picture = tmp.file("app/currentcapture.bmp");
    std::string audit = tmp.file("videos/JumpMeasurementResults030107.txt.audit.jsonl");

    void SetUp() override {
        for (const char* folder : {"setups", "videos", "app"})
            tmp.make_dir(folder);
        solve("3000,0,30,100");
        if (!test::make_marked_video(video, 20, "-c:v mjpeg -q:v 2"))
            GTEST_SKIP() << "ffmpeg is not available";
        ASSERT_EQ(cli({"extract", video, "7", picture}).status, kExitOk);
    }
    void solve(const std::string& upper_right) {
        ASSERT_EQ(cli({"solve", "--ur", upper_right, "--lr", "3000,3000,30,70", "--ul", "0,0,0,100",
                       "--ll", "0,3000,0,70", "--jump", "0,50", "-o", setup})
                      .status,
                  kExitOk);
    }
    // The line the program writes for a jump measured at (1500, 1500) on
    // frame 7, and for a pass.
    std::string line(bool measured) {
        auto read = read_setup_file(setup);
        EXPECT_TRUE(read.value);
        AuditRecord a;
        a.jump.when = DateTime{2007, 3, 1, 9, 5, 3};
        a.jump.skier = "Smith";
        a.jump.jump_number = measured ? "1" : "2";
        a.jump.option = measured ? ResultOption::JumpOK : ResultOption::Pass;
        a.facts.video_path = video;
        a.facts.frame = 7;
        a.facts.picture_path = picture;
        a.facts.setup_file = setup;
        a.facts.coefficients = read.value->c;
        a.facts.jump_x = 0;
        a.facts.jump_y = 50;
        a.video_sha256 = hasher.hash_file(video).sha256;
        a.picture_sha256 = hasher.hash_file(picture).sha256;
        a.setup_sha256 = hasher.hash_file(setup).sha256;
        if (measured) {
            GridDefinition g;
            g.c = read.value->c;
            g.jump_x = 0;
            g.jump_y = 50;
            const auto d = distance_calculation(g, 1500, 1500, JumpKind::Normal);
            a.jump.impact = ScreenPoint{1500, 1500};
            a.jump.survey = d->survey;
            a.jump.distance = d->distance;
        }
        return audit_line(a) + "\r\n";
    }
    void write_audit() { spit(audit, line(true) + line(false)); }
};

TEST_F(AuditCommand, AGoodFileReproducesEveryJump) {
    write_audit();
    const auto r = cli({"audit", audit});
    EXPECT_EQ(r.status, kExitOk) << r.out << r.err;
    EXPECT_NE(r.out.find("line 1: 03-01-2007 09:05:03 Smith jump 1: reproduces"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("distance 40.178865529319545 m computed again"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("frame 7 gives the picture measured"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line 2: 03-01-2007 09:05:03 Smith jump 2: reproduces"),
              std::string::npos);
    EXPECT_NE(r.out.find("2 jumps, 2 reproduced, 0 not"), std::string::npos);

    // A video no longer kept: the distance is still checked, the picture not.
    std::filesystem::remove(video);
    const auto gone = cli({"audit", audit});
    EXPECT_EQ(gone.status, kExitOk) << gone.out;
    EXPECT_NE(gone.out.find("no longer there"), std::string::npos);
}

TEST_F(AuditCommand, AChangedSetupFileIsReported) {
    write_audit();
    solve("3000,0,31,100");  // the upper right buoy surveyed a meter away
    const auto r = cli({"audit", audit});
    EXPECT_EQ(r.status, kExitRefused) << r.out;
    EXPECT_NE(r.out.find("jump 1: DOES NOT REPRODUCE"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("has changed since the jump"), std::string::npos);
    EXPECT_NE(r.out.find("distance differs: recorded 40.178865529319545 m, now 40.05"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("1 reproduced, 1 not"), std::string::npos);
}

TEST_F(AuditCommand, AChangedVideoIsReported) {
    write_audit();
    // Recorded again under the same name: another picture at frame 7.
    ASSERT_TRUE(test::make_marked_video(video, 20, "-c:v mjpeg -q:v 2", "80x48"));
    const auto r = cli({"audit", audit});
    EXPECT_EQ(r.status, kExitRefused) << r.out;
    EXPECT_NE(r.out.find("video " + video + " has changed"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("frame 7 does not give the picture measured"), std::string::npos);
    EXPECT_NE(r.out.find("0 reproduced, 2 not"), std::string::npos) << r.out;
}

TEST_F(AuditCommand, WhatIsNotAnAuditFileIsSaid) {
    spit(audit, line(true) + "{not json\r\n");
    const auto r = cli({"audit", audit});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_NE(r.out.find("line 2: DOES NOT REPRODUCE"), std::string::npos) << r.out;
    EXPECT_EQ(cli({"audit", tmp.file("none.jsonl")}).status, kExitUsage);
    EXPECT_EQ(cli({"audit"}).status, kExitUsage);
}

}  // namespace
}  // namespace rs::cli
