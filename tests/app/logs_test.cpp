#include "app/logs.h"

#include <gtest/gtest.h>

#include "platform/file_writer.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::slurp;
using test::TempDir;

const DateTime kMarch1{2007, 3, 1, 9, 5, 3};

TEST(MeasurementLog, NameComesFromTheStartDate) {
    EXPECT_EQ(measurement_log_name(kMarch1), "JumpMeasurementLog030107.txt");
    EXPECT_EQ(measurement_log_name(DateTime{2006, 12, 7}), "JumpMeasurementLog120706.txt");
}

TEST(MeasurementLog, LineShapesUsePrintZones) {
    EXPECT_EQ(session_header_line(kMarch1),
              "03-01-2007    09:05:03      Rampsight Measurement Session started  ");
    const std::string video = video_log_line(kMarch1, "Smith", "3", "412", "/v/Smithjump3.avi");
    EXPECT_EQ(video.substr(28, 12), "Skier: Smith");
    EXPECT_EQ(video.substr(42, 7), "Jump: 3");
    EXPECT_EQ(video.substr(56, 19), "Contact Frame: 412 ");
    EXPECT_EQ(video.substr(video.find("File: ")), "File: /v/Smithjump3.avi");
    const std::string pic = picture_log_line(kMarch1, "Smith", "3", "55.2", "/v/p.bmp");
    EXPECT_NE(pic.find("Distance: 55.2"), std::string::npos);
    EXPECT_EQ(pic.substr(pic.find("File: ")), "File: /v/p.bmp");
}

TEST(MeasurementLog, TwoStartsOnOneDayAppendToOneFile) {
    TempDir dir;
    FileWriter files;
    const std::string name = measurement_log_name(kMarch1);
    ASSERT_TRUE(append_measurement_log(files, dir.path(), name, session_header_line(kMarch1)));
    DateTime later = kMarch1;
    later.hour = 14;
    ASSERT_TRUE(append_measurement_log(files, dir.path(), name, session_header_line(later)));
    const std::string text = slurp(dir.file(name));
    EXPECT_EQ(text, session_header_line(kMarch1) + "\r\n" + session_header_line(later) + "\r\n");
}

TEST(MeasurementLog, MissingFolderLosesTheLineQuietly) {
    TempDir dir;
    FileWriter files;
    EXPECT_FALSE(append_measurement_log(files, dir.file("gone"), "x.txt", "line"));
    EXPECT_FALSE(append_measurement_log(files, "", "x.txt", "line"));
}

TEST(DebugLog, StartEmptiesTheLogAndLinesCarryTheTime) {
    TempDir dir;
    FixedClock clock(kMarch1);
    FileWriter files;
    DebugLog log(files, dir.path(), clock);
    test::spit(log.path(), "old run\r\n");
    log.StartDebugLog();
    clock.set(DateTime{2007, 3, 1, 9, 5, 4});
    log.WriteDebugLog("MainForm Load");
    EXPECT_EQ(slurp(log.path()),
              "09:05:03      Debug Log Session Started\r\n09:05:04      MainForm Load\r\n");
}

TEST(DebugLog, MissingExchangeFolderWritesNothingAnywhere) {
    TempDir dir;
    FixedClock clock(kMarch1);
    FileWriter files;
    DebugLog log(files, dir.file("rsio"), clock);
    log.StartDebugLog();
    log.WriteDebugLog("lost");
    EXPECT_FALSE(FileExists(log.path()));
}

}  // namespace
}  // namespace rs
