#include "app/log_lines.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/logs.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::spit;
using test::TempDir;

const DateTime kMarch1{2007, 3, 1, 9, 5, 3};

// A day's log as the program writes it: a session header, a kept video and a
// saved picture, then a second session.
std::string day_log() {
    return session_header_line(kMarch1) + "\r\n" +
           video_log_line(kMarch1, "Smith", "3", "412", "/v/Smithjump3.avi") + "\r\n" +
           picture_log_line(kMarch1, "Smith", "3", "55.2", "/v/Smith3.bmp") + "\r\n" +
           session_header_line(kMarch1) + "\r\n" +
           video_log_line(kMarch1, "Jones", "1", "97", "/v/Jonesjump1.avi") + "\r\n";
}

TEST(LogLines, EachViewerListsItsOwnLinesVerbatimInFileOrder) {
    const auto videos = log_lines_ending_in(day_log(), kVideoLineEnding);
    ASSERT_EQ(videos.size(), 2u);
    EXPECT_EQ(videos[0], video_log_line(kMarch1, "Smith", "3", "412", "/v/Smithjump3.avi"));
    EXPECT_EQ(videos[1], video_log_line(kMarch1, "Jones", "1", "97", "/v/Jonesjump1.avi"));
    const auto pictures = log_lines_ending_in(day_log(), kPictureLineEnding);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(log_line_path(pictures[0]), "/v/Smith3.bmp");

    // Headers alone list nothing; LF-only ends and a last line without an
    // end are read as well.
    const std::string headers =
        session_header_line(kMarch1) + "\r\n" + session_header_line(kMarch1) + "\r\n";
    EXPECT_TRUE(log_lines_ending_in(headers, kVideoLineEnding).empty());
    EXPECT_TRUE(log_lines_ending_in(headers, kPictureLineEnding).empty());
    EXPECT_EQ(log_lines_ending_in("a File: x.avi\nb File: y.avi", kVideoLineEnding).size(), 2u);
}

TEST(LogLines, TheEndingIsMatchedAsWritten) {
    EXPECT_TRUE(log_line_ends_in("File: /v/a.avi", "avi"));
    EXPECT_FALSE(log_line_ends_in("File: /v/a.AVI", "avi"));
    EXPECT_FALSE(log_line_ends_in("File: /v/a.avi ", "avi"));
    EXPECT_FALSE(log_line_ends_in("vi", "avi"));
    EXPECT_TRUE(log_line_ends_in("avi", "avi"));
    EXPECT_TRUE(log_lines_ending_in("x File: /v/A.AVI\r\n", kVideoLineEnding).empty());
}

TEST(LogLines, ThePathStartsAfterTheFirstFileLabelAndItsBlank) {
    EXPECT_EQ(log_line_path("Skier: A     File: /v/a.avi"), "/v/a.avi");
    // A folder named "File: x" inside the path.
    EXPECT_EQ(log_line_path("Skier: A     File: /v/File: x/a.avi"), "/v/File: x/a.avi");
    // Exactly six characters are skipped, whatever they are.
    EXPECT_EQ(log_line_path("File:/v/a.avi"), "v/a.avi");
    EXPECT_EQ(log_line_path("File: "), "");
    EXPECT_EQ(log_line_path("File:"), "");
    EXPECT_EQ(log_line_path("no label at all.avi"), "");
    EXPECT_TRUE(log_line_has_path("File:"));
    EXPECT_FALSE(log_line_has_path("file: /v/a.avi"));
}

TEST(LogLines, TheWidestEntryIsTheFirstLongestByCharactersPlusABlank) {
    EXPECT_EQ(widest_list_entry({}), " ");
    EXPECT_EQ(widest_list_entry({"ab", "xyz", "cd", "uvw"}), "xyz ");
    // Characters, not bytes: "ééé" is three characters (six bytes).
    EXPECT_EQ(widest_list_entry({"\xC3\xA9\xC3\xA9\xC3\xA9", "abcd"}), "abcd ");
    EXPECT_EQ(text_length("\xC3\xA9t\xC3\xA9"), 3u);
    // A line in the old 8-bit code page counts its bytes.
    EXPECT_EQ(text_length("\xE9t\xE9"), 3u);
    EXPECT_EQ(text_length("ab\xC3"), 3u);
}

TEST(LogLines, ReadingALogFile) {
    TempDir dir;
    const std::string path = dir.file("JumpMeasurementLog030107.txt");
    EXPECT_EQ(day_log_path(dir.path(), "JumpMeasurementLog030107.txt"), path);
    EXPECT_EQ(day_log_path("", "JumpMeasurementLog030107.txt"), "");

    // Not there yet.
    LogListing none = read_log_listing(path, kVideoLineEnding);
    EXPECT_FALSE(none.found);
    EXPECT_TRUE(none.lines.empty());
    EXPECT_TRUE(none.error.empty());
    EXPECT_FALSE(read_log_listing("", kVideoLineEnding).found);
    // A folder by that name is no log.
    EXPECT_FALSE(read_log_listing(dir.make_dir("folder.txt"), kVideoLineEnding).found);

    spit(path, day_log());
    LogListing day = read_log_listing(path, kVideoLineEnding);
    EXPECT_TRUE(day.found);
    EXPECT_EQ(day.lines.size(), 2u);
    EXPECT_TRUE(day.error.empty());

    // There but unreadable: said so, nothing listed (POSIX permissions; an
    // administrator reads everything).
#ifndef _WIN32
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(path.c_str(), 0), 0);
        LogListing locked = read_log_listing(path, kVideoLineEnding);
        EXPECT_TRUE(locked.found);
        EXPECT_TRUE(locked.lines.empty());
        EXPECT_NE(locked.error.find(path), std::string::npos);
        ::chmod(path.c_str(), 0644);
    }
#endif
}

}  // namespace
}  // namespace rs
