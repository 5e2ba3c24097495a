#include "measure/picture_saving.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/text_forms.h"
#include "platform/paths.h"
#include "tests/measure/measure_fixture.h"

namespace rs {
namespace {

namespace fs = std::filesystem;
using test::path_in;
using test::PromptKind;
using test::slurp;
using test::spit;

const std::string kFrame = "BM frame bytes";

struct PictureSaving : test::MeasureFixture {
    std::string capture = path_in(app_folder, "currentcapture.bmp");
    std::string picture = path_in(video_folder, "Smithjump2.bmp");

    PictureSaving() {
        spit(capture, kFrame);
        form.Jump_no = "2";
        form.distance = " 20m";
        shared.capture.skier_name = "Smith";
        shared.capture.pass = "3";
        shared.navigation_state = "SelectFrame";
    }
    PictureSourceFn from_capture() const {
        return [this] { return std::optional<PictureSource>(PictureSource{capture, {}}); };
    }
    std::optional<SavedPicture> save() {
        MeasureContext c = ctx();
        return save_picture(c, from_capture());
    }
    std::string picture_line(const std::string& path) const {
        return print_zones({"03-01-2007", "09:05:03", "Skier: Smith", "Jump:  2", "Distance:  20m",
                            "File: " + path}) +
               "\r\n";
    }
};

TEST(PicturePaths, NamesNeverLeaveTheVideoFolder) {
    // The video folder and the paths formed in it use the system's own
    // separator; typed answers may use either.
    const std::string s(1, kPathSeparator);
    const std::string v = s + "v";
    EXPECT_EQ(picture_path(v, "Smith", " 2 "), v + s + "Smithjump2.bmp");
    EXPECT_EQ(picture_path(v + s, "Smith", "2"), v + s + "Smithjump2.bmp");
    for (const char* skier : {"../x", "a/b", "a\\b", "C:x", "a*", "a?", "a\"b", "<a>", "a|b"})
        EXPECT_FALSE(picture_path(v, skier, "1")) << skier;
    EXPECT_FALSE(picture_path(v, "Smith", "1/../../x"));
    EXPECT_EQ(safe_file_name("../a:b"), ".._a_b");

    EXPECT_EQ(picture_path_in_folder(v, "other.bmp"), v + s + "other.bmp");
    EXPECT_EQ(picture_path_in_folder(v, " /v/other.bmp "), v + s + "other.bmp");
    EXPECT_EQ(picture_path_in_folder(v + s, "/v//other.bmp"), v + s + "other.bmp");
    EXPECT_EQ(picture_path_in_folder(v, "\\v\\other.bmp"), v + s + "other.bmp");
    for (const char* answer : {"/w/other.bmp", "/v/../other.bmp", "/v/sub/other.bmp", "../x.bmp",
                               "/v/..", "/v/", "x:y.bmp"})
        EXPECT_FALSE(picture_path_in_folder(v, answer)) << answer;
}

TEST_F(PictureSaving, SavingWritesThePictureAndItsRecords) {
    const auto saved = save();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->path, picture);
    EXPECT_EQ(slurp(picture), kFrame);
    EXPECT_EQ(slurp(capture), kFrame);  // still there for the next use
    EXPECT_EQ(results(), "03-01-2007 09:05:03 Saved picture: " + picture + "\r\n");
    EXPECT_EQ(slurp(picture + ".info"), picture + ", Smith, 3\r\n");
    EXPECT_EQ(measurement_log(), picture_line(picture));
    EXPECT_TRUE(dialogs.prompts().empty());
}

TEST_F(PictureSaving, SavingTwiceAsksToOverwriteOrRename) {
    ASSERT_TRUE(save());
    spit(capture, "BM second");
    dialogs.yes();
    ASSERT_TRUE(save());
    EXPECT_EQ(dialogs.prompts()[0].text,
              "File: " + picture + " already exists.  Do you want to overwrite it?");
    EXPECT_EQ(dialogs.prompts()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(slurp(picture), "BM second");

    // No: renamed until the name is free; the old picture and its record
    // stay as they were.
    const std::string taken = path_in(video_folder, "taken.bmp");
    spit(taken, "other");
    spit(capture, "BM third");
    dialogs.clear();
    dialogs.no().text(taken).text("/somewhere/else.bmp").text("Smithjump2b.bmp");
    const auto saved = save();
    ASSERT_TRUE(saved);
    const auto& p = dialogs.prompts();
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[1].kind, PromptKind::Input);
    EXPECT_EQ(p[1].text, "This File Name already exists. You must rename the file before saving.");
    EXPECT_EQ(p[1].title, "Rename Picture");
    EXPECT_EQ(p[1].default_text, picture);
    EXPECT_EQ(p[2].default_text, taken);        // asked again
    EXPECT_EQ(p[3].kind, PromptKind::Message);  // not in the video folder
    EXPECT_EQ(p[4].kind, PromptKind::Input);
    EXPECT_EQ(saved->path, path_in(video_folder, "Smithjump2b.bmp"));
    EXPECT_EQ(saved->info_path, saved->path + ".info");
    EXPECT_EQ(slurp(saved->path), "BM third");
    EXPECT_EQ(slurp(picture), "BM second");
    EXPECT_EQ(slurp(taken), "other");
    EXPECT_EQ(slurp(picture + ".info"), picture + ", Smith, 3\r\n");
    EXPECT_EQ(slurp(saved->path + ".info"), saved->path + ", Smith, 3\r\n");
}

TEST_F(PictureSaving, ACancelledRenameSavesNothing) {
    spit(picture, "old");
    dialogs.no().cancel_input();
    EXPECT_FALSE(save());
    EXPECT_EQ(dialogs.messages().back(), "The picture was not saved.");
    EXPECT_EQ(slurp(picture), "old");
    EXPECT_FALSE(exists(shared.results_file_path));
}

TEST_F(PictureSaving, ASkierNameThatIsNoFileNameAsksForOne) {
    form.Skier_name = "../../Smith";
    dialogs.text("Smithjump2.bmp");
    const auto saved = save();
    ASSERT_TRUE(saved);
    EXPECT_EQ(dialogs.prompts()[0].default_text, path_in(video_folder, ".._.._Smithjump2.bmp"));
    EXPECT_EQ(saved->path, picture);
    EXPECT_FALSE(exists(path_in(tmp.path(), "Smithjump2.bmp")));
}

TEST_F(PictureSaving, AFullDiskKeepsEveryFileAsItWas) {
    spit(picture, "old picture");
    files.fail_after_bytes(4);
    dialogs.yes();
    EXPECT_FALSE(save());
    EXPECT_EQ(dialogs.messages().back().rfind("The picture could not be saved: " + picture, 0), 0u);
    EXPECT_EQ(slurp(picture), "old picture");
    EXPECT_EQ(slurp(capture), kFrame);
    EXPECT_FALSE(exists(picture + ".info"));
    EXPECT_FALSE(exists(shared.results_file_path));
    EXPECT_EQ(temporaries(video_folder), 0u);

    // A failed rename likewise.
    files.heal();
    files.fail_at_rename();
    dialogs.yes();
    EXPECT_FALSE(save());
    EXPECT_EQ(slurp(picture), "old picture");
}

TEST_F(PictureSaving, AMissingRecordIsReportedAfterThePictureIsSafe) {
    fs::create_directory(picture + ".info");  // cannot be replaced by a file
    ASSERT_TRUE(save());
    EXPECT_EQ(slurp(picture), kFrame);
    EXPECT_EQ(dialogs.messages().back().rfind("The picture was saved as " + picture, 0), 0u);
    EXPECT_EQ(measurement_log(), picture_line(picture));
}

TEST_F(PictureSaving, PicturePolicyOnLeaving) {
    // "NoSave": nothing asked, nothing saved.
    config.picture_save = "NoSave";
    {
        MeasureContext c = ctx();
        leave_to_main(c, from_capture());
    }
    EXPECT_TRUE(dialogs.prompts().empty());
    EXPECT_FALSE(exists(picture));
    EXPECT_EQ(shared.navigation_state, "");

    // "Ask": a question; No saves nothing.
    config.picture_save = "Ask";
    shared.navigation_state = "SelectFrame";
    dialogs.no();
    {
        MeasureContext c = ctx();
        leave_to_main(c, from_capture());
    }
    EXPECT_EQ(dialogs.last().text, "Do you want to save this picture?");
    EXPECT_FALSE(exists(picture));

    // "Save": saved without a word.
    config.picture_save = "Save";
    shared.navigation_state = "SelectFrame";
    dialogs.clear();
    {
        MeasureContext c = ctx();
        leave_to_main(c, from_capture());
    }
    EXPECT_TRUE(dialogs.prompts().empty());
    EXPECT_TRUE(exists(picture));

    // A picture not from frame selection is left alone on the way out.
    fs::remove(picture);
    shared.navigation_state = "PictureLoadMenu";
    MeasureContext c = ctx();
    leave_to_main(c, from_capture());
    EXPECT_FALSE(exists(picture));
}

struct NextJump : PictureSaving {
    std::string video = path_in(video_folder, "Smithjump2.avi");
    NextJump() {
        spit(video, "RIFF");
        shared.current_video_path = video;
        shared.current_frame_number = 412;
        config.picture_save = "NoSave";
    }
    bool go() {
        MeasureContext c = ctx();
        return go_to_next_jump(c, from_capture());
    }
    std::string video_line(const std::string& skier, const std::string& jump,
                           const std::string& path) const {
        return print_zones({"03-01-2007", "09:05:03", "Skier: " + skier, "Jump: " + jump,
                            "Contact Frame:  412", "File: " + path}) +
               "\r\n";
    }
};

TEST_F(NextJump, KeptVideoIsLoggedWithItsInfoFile) {
    config.video_save = "Save";
    EXPECT_TRUE(go());
    EXPECT_TRUE(exists(video));
    EXPECT_EQ(measurement_log(), video_line("Smith", "2", video));
    EXPECT_EQ(slurp(video + ".info"), video + ", 412\r\n");
    EXPECT_EQ(shared.navigation_state, "Measure");
    EXPECT_NE(
        slurp(path_in(exchange_folder, "DebugLog.txt")).find("Video File " + video + " Saved"),
        std::string::npos);
}

TEST_F(NextJump, VideoPolicyEraseAndAsk) {
    config.video_save = "Ask";
    dialogs.yes();
    EXPECT_TRUE(go());
    EXPECT_EQ(dialogs.last().text, "Do you want to save this video capture?");
    EXPECT_TRUE(exists(video));

    shared.navigation_state = "SelectFrame";
    dialogs.no();
    EXPECT_TRUE(go());
    EXPECT_FALSE(exists(video));
    EXPECT_NE(
        slurp(path_in(exchange_folder, "DebugLog.txt")).find("Video File " + video + " Erased"),
        std::string::npos);

    spit(video, "RIFF");
    config.video_save = "NoSave";
    shared.navigation_state = "SelectFrame";
    dialogs.clear();
    EXPECT_TRUE(go());
    EXPECT_TRUE(dialogs.prompts().empty());
    EXPECT_FALSE(exists(video));
}

TEST_F(NextJump, AVideoNamedWithoutJumpIsOnlyWarnedAbout) {
    const std::string other = path_in(video_folder, "practice.avi");
    spit(other, "RIFF");
    shared.current_video_path = other;
    config.video_save = "Save";
    EXPECT_TRUE(go());
    EXPECT_EQ(dialogs.last().text, kNotStandardVideo);
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(exists(path_in(video_folder, "JumpMeasurementLog030107.txt")));
    EXPECT_FALSE(exists(other + ".info"));
}

TEST_F(NextJump, APictureFromElsewhereAsksAndKeepsTheVideo) {
    shared.navigation_state = "PictureLoadMenu";
    config.video_save = "NoSave";
    dialogs.no().yes();  // not saved; remain here
    EXPECT_FALSE(go());
    EXPECT_EQ(dialogs.messages(),
              (std::vector<std::string>{"Do you want to save this picture?",
                                        "Do you want to remain on this form?"}));
    EXPECT_EQ(shared.navigation_state, "PictureLoadMenu");

    dialogs.clear();
    dialogs.yes().no();  // saved; go on
    EXPECT_TRUE(go());
    EXPECT_TRUE(exists(picture));
    // The video measured earlier is no part of this picture: it stays.
    EXPECT_TRUE(exists(video));
    EXPECT_EQ(shared.navigation_state, "Measure");
}

}  // namespace
}  // namespace rs
