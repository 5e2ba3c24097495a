#include "video/frame_selection.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/paths.h"
#include "tests/support/fifo.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::PromptKind;
using test::ScriptedDialogs;
using test::slurp;
using test::spit;
using test::TempDir;

std::string sep(const std::string& a, const std::string& b) {
    return a + kPathSeparator + b;
}

TEST(JumpVideoName, FolderNameJumpAndPassWithoutSeparators) {
    EXPECT_EQ(jump_video_path("/v", "Smith", "2"), sep("/v", "Smithjump2.avi"));
    // Names and passes are trimmed; one trailing separator of the folder goes.
    EXPECT_EQ(jump_video_path(sep("/v", ""), "  Smith ", " 2"), sep("/v", "Smithjump2.avi"));
    EXPECT_EQ(info_sidecar_path(sep("/v", "Smithjump2.avi")), sep("/v", "Smithjump2.avi.info"));
}

TEST(InfoSidecar, ReadsPathAndFrameAndWarnsWithTheFrame) {
    TempDir tmp;
    const std::string video = tmp.file("Smithjump2.avi");
    EXPECT_FALSE(read_info_sidecar(video));

    spit(video + ".info", video + ", 412\r\n");
    auto s = read_info_sidecar(video);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->video_path, video);
    EXPECT_EQ(s->frame, 412);
    EXPECT_EQ(already_measured_message(*s, false), "File already measured - start frame is  412");
    EXPECT_EQ(already_measured_message(*s, true), "File already measured - contact frame is  412");

    // A folder with a comma in its name still gives the frame.
    const std::string odd = tmp.file("a,b") + "/x.avi";
    tmp.make_dir("a,b");
    spit(odd + ".info", odd + ", 37\r\n");
    s = read_info_sidecar(odd);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->video_path, odd);
    EXPECT_EQ(s->frame, 37);

    // A line without a comma is not a sidecar; an empty file neither.
    spit(video + ".info", "garbage");
    EXPECT_FALSE(read_info_sidecar(video));
    spit(video + ".info", "");
    EXPECT_FALSE(read_info_sidecar(video));

    // A sidecar far larger than one line, or a FIFO in its place, is none.
    spit(video + ".info", video + ", 412" + std::string(70000, ' ') + "\r\n");
    EXPECT_FALSE(read_info_sidecar(video));
    const std::string other = tmp.file("fifo.avi");
    if (!test::make_fifo(other + ".info"))
        GTEST_SKIP() << "no FIFOs here";
    auto read = test::returns_at_once(other + ".info", [&] { return read_info_sidecar(other); });
    ASSERT_TRUE(read) << "the sidecar FIFO was waited on";
    EXPECT_FALSE(*read);
}

TEST(TimingWindow, TwentySecondsWithTheThirtyCaseAndFifteenBarefoot) {
    EXPECT_EQ(frames_to_end(30, false), 599);
    EXPECT_EQ(frames_to_end(25, false), 500);
    // 29.97 reaches the screen as the whole rate 30.
    EXPECT_EQ(frames_to_end(round_half_even(30000.0 / 1001), false), 599);
    EXPECT_EQ(frames_to_end(30, true), 450);
    EXPECT_EQ(frames_to_end(25, true), 375);
    EXPECT_EQ(frames_to_end(12.5, true), 188);  // 187.5 to even
    EXPECT_EQ(frames_to_end(0.125, false), 2);  // 2.5 to even
    EXPECT_EQ(frames_to_end(0.175, false), 4);  // 3.5 to even
    EXPECT_EQ(frames_to_end(0, false), 0);
    EXPECT_EQ(round_half_even(-2.5), -2);
}

TEST(TimingWindow, TooShortMessageHasEachNumberTwoBlanksAfterItsWord) {
    EXPECT_EQ(too_short_message(480, 699, false),
              "I am sorry, but the file is only  480 frames long and the start position you have "
              "selected means that the end should be at frame  699 which is not possible with "
              "this file. You may have to recapture from the video recorder if you did not "
              "capture a full 20 seconds from the start of the run.");
    EXPECT_NE(too_short_message(480, 550, true).find("full 15 seconds from the start of the run."),
              std::string::npos);
}

TEST(SecondsFields, ValuesOutsideTheirLimitsAreReplaced) {
    EXPECT_EQ(limit_seconds_text("9", kBeforeStartMin, kBeforeStartMax), "5");
    EXPECT_EQ(limit_seconds_text("0", kBeforeStartMin, kBeforeStartMax), "1");
    EXPECT_EQ(limit_seconds_text("30", kBeforeEndMin, kBeforeEndMax), "22");
    EXPECT_EQ(limit_seconds_text("0", kBeforeEndMin, kBeforeEndMax), "1");
    EXPECT_EQ(limit_seconds_text("", kBeforeEndMin, kBeforeEndMax), "1");
    EXPECT_EQ(limit_seconds_text("abc", kBeforeEndMin, kBeforeEndMax), "1");
    for (const char* kept : {"1", "2.5", "5"})
        EXPECT_FALSE(limit_seconds_text(kept, kBeforeStartMin, kBeforeStartMax)) << kept;
    EXPECT_FALSE(limit_seconds_text("22", kBeforeEndMin, kBeforeEndMax));
}

TEST(TakingTheFrame, PositionsZeroAndOneTakeFrameTwoAndStepsBackStopAtOne) {
    EXPECT_EQ(frame_to_take(0), 2);
    EXPECT_EQ(frame_to_take(1), 2);
    EXPECT_EQ(frame_to_take(2), 2);
    EXPECT_EQ(frame_to_take(412.4), 412);
    EXPECT_EQ(frame_to_take(40000), 40000);  // beyond 16 bits
    EXPECT_FALSE(frame_back(1));
    EXPECT_FALSE(frame_back(0));
    EXPECT_EQ(frame_back(2), 1);
    EXPECT_EQ(frame_back(70000), 69999);

    FrameSelection fs;
    EXPECT_EQ(fs.take_frame(1), 2);
    EXPECT_TRUE(fs.marking);
    EXPECT_TRUE(fs.start_taken);
    EXPECT_EQ(fs.start_frame, 2);
}

TEST(DiskSpace, WholeMegabytesAndTheWarningAtTheEdge) {
    EXPECT_EQ(disk_space_text(199'900'000), " 199 MB");
    EXPECT_TRUE(disk_space_low(199'900'000));
    EXPECT_EQ(disk_space_text(200'000'000), " 200 MB");
    EXPECT_FALSE(disk_space_low(200'000'000));
    EXPECT_EQ(disk_space_text(0), " 0 MB");
    EXPECT_EQ(disk_space_text(5'000'000'000'000ULL), " 5000000 MB");

    EXPECT_EQ(disk_space_place("D:\\Videos"), "D:");
#ifndef _WIN32
    EXPECT_EQ(disk_space_place("/srv/videos"), "/srv/videos");
#endif
    TempDir tmp;
    EXPECT_TRUE(free_bytes_of(tmp.path()));
    // A folder still to be made is on its parent's file system.
    EXPECT_TRUE(free_bytes_of(tmp.file("not/yet/made")));
}

// --- Replays -------------------------------------------------------------------

using Span = std::pair<std::int64_t, std::int64_t>;
std::optional<Span> span(std::int64_t a, std::int64_t b) {
    return Span{a, b};
}

FrameSelection at_30fps(std::int64_t length) {
    FrameSelection fs;
    fs.frame_rate = 30;
    fs.video_length = length;
    return fs;
}

TEST(PlayBeforeStart, ReplaysTheSecondsBeforeTheStartAndEndsAfterItsLoops) {
    FrameSelection fs = at_30fps(900);
    ReplayInputs in;
    in.position = 300;
    in.seconds_before_start = 2;
    in.start_loops = 2;
    auto order = fs.play_before_start(in);
    ASSERT_TRUE(order);
    EXPECT_EQ(order->text5, " 2300");
    EXPECT_EQ(order->timer_ms, 2300);
    EXPECT_EQ(order->selection, span(240, 300));
    EXPECT_TRUE(order->play);
    EXPECT_EQ(order->focus, ReplayFocus::Player);
    EXPECT_FALSE(order->display_size);
    EXPECT_TRUE(fs.start_taken);
    // Pressed again while the loop runs: nothing.
    EXPECT_FALSE(fs.play_before_start(in));

    // Two loops: a second replay of the same stretch with the timer running
    // again, then the end of the loop.
    order.emplace(fs.tick(in));
    EXPECT_TRUE(order->play);
    EXPECT_EQ(order->selection, span(240, 300));
    EXPECT_EQ(order->timer_ms, 2300);
    order.emplace(fs.tick(in));
    EXPECT_FALSE(order->play);
    EXPECT_FALSE(order->timer_ms);
    EXPECT_EQ(order->display_size, 0);
    EXPECT_EQ(order->focus, ReplayFocus::PlayBeforeStart);
    // The loop is over: the button works again.
    EXPECT_TRUE(fs.play_before_start(in));
}

TEST(PlayBeforeStart, NearTheFirstFrameTheSelectionStartsAtZero) {
    FrameSelection fs = at_30fps(900);
    ReplayInputs in;
    in.position = 1;
    in.full_screen = true;
    auto order = fs.play_before_start(in);
    ASSERT_TRUE(order);
    EXPECT_EQ(order->selection, span(0, 1));
    EXPECT_EQ(order->timer_ms, 333);  // 1 / 30 x 1000 + 300
    EXPECT_EQ(order->text5, " 2300");
    EXPECT_EQ(order->display_size, 3);
    EXPECT_EQ(order->focus, ReplayFocus::None);

    // At frame 0 the selection still covers one frame.
    FrameSelection zero = at_30fps(900);
    in.position = 0;
    order = zero.play_before_start(in);
    EXPECT_EQ(order->selection, span(0, 1));
    EXPECT_EQ(order->timer_ms, 300);

    // An unknown rate never divides by zero.
    FrameSelection no_rate;
    in.position = 0;
    order = no_rate.play_before_start(in);
    EXPECT_EQ(order->timer_ms, 2300);

    // A start already taken by the mark button is kept.
    FrameSelection marked = at_30fps(900);
    marked.take_frame(500);
    in.position = 10;
    order = marked.play_before_start(in);
    EXPECT_EQ(order->selection, span(440, 500));
}

TEST(PlayBeforeEnd, TooShortVideoGetsTheMessageAndNoReplay) {
    FrameSelection fs = at_30fps(480);
    ReplayInputs in;
    in.position = 100;
    auto order = fs.play_before_end(in);
    ASSERT_TRUE(order);
    EXPECT_EQ(order->message, too_short_message(480, 699, false));
    EXPECT_FALSE(order->play);
    EXPECT_FALSE(order->timer_ms);
    EXPECT_TRUE(order->disable_mark);
    EXPECT_FALSE(fs.before_end);
    EXPECT_EQ(fs.end_frame, 699);

    // Barefoot: 15 s; 100 + 450 still beyond 480.
    FrameSelection bf = at_30fps(480);
    in.barefoot = true;
    order = bf.play_before_end(in);
    EXPECT_EQ(order->message, too_short_message(480, 550, true));
}

TEST(PlayBeforeEnd, ReplaysBeforeTheEndThenAfterItAndMayRunAgain) {
    FrameSelection fs = at_30fps(900);
    ReplayInputs in;
    in.position = 100;
    in.seconds_before_end = 5;
    in.end_loops = 1;
    in.play_after = true;
    auto order = fs.play_before_end(in);
    ASSERT_TRUE(order);
    EXPECT_FALSE(order->message);
    EXPECT_EQ(fs.end_frame, 699);
    EXPECT_EQ(order->selection, span(549, 699));
    EXPECT_EQ(order->timer_ms, 6500);
    EXPECT_TRUE(order->play);
    EXPECT_FALSE(fs.play_before_end(in));  // running

    // First tick: the 2 seconds after the end, once.
    order.emplace(fs.tick(in));
    EXPECT_TRUE(order->uncheck_play_after);
    EXPECT_EQ(order->selection, span(699, 759));
    EXPECT_EQ(order->timer_ms, 2100);
    EXPECT_TRUE(order->play);
    in.play_after = false;

    // Next tick: the loop is used up; the window is selected again.
    order.emplace(fs.tick(in));
    EXPECT_FALSE(order->play);
    EXPECT_EQ(order->selection, span(549, 699));
    EXPECT_EQ(order->display_size, 0);
    EXPECT_EQ(order->focus, ReplayFocus::PlayAndPause);

    // The loop may run again, now without the after-end replay.
    in.end_loops = 2;
    order = fs.play_before_end(in);
    ASSERT_TRUE(order);
    EXPECT_TRUE(order->play);
    order.emplace(fs.tick(in));
    EXPECT_TRUE(order->play);
    EXPECT_EQ(order->timer_ms, 5300);
    order.emplace(fs.tick(in));
    EXPECT_FALSE(order->play);
    EXPECT_EQ(order->display_size, 4);
    EXPECT_EQ(order->focus, ReplayFocus::PlayBeforeEnd);
}

TEST(Replays, TheNewestLoopOwnsTheTimer) {
    FrameSelection fs = at_30fps(900);
    ReplayInputs in;
    in.position = 100;
    ASSERT_TRUE(fs.play_before_start(in));
    // Before-end started while the before-start loop still runs: its ticks
    // are before-end ticks.
    ASSERT_TRUE(fs.play_before_end(in));
    EXPECT_FALSE(fs.before_start);
    const ReplayOrder order = fs.tick(in);
    EXPECT_EQ(order.display_size, 4);
    EXPECT_EQ(order.focus, ReplayFocus::PlayBeforeEnd);

    // A tick with no loop running does nothing.
    const ReplayOrder idle = fs.tick(in);
    EXPECT_FALSE(idle.play);
    EXPECT_FALSE(idle.display_size);
}

// --- Renaming a capture ----------------------------------------------------------

struct Rename : ::testing::Test {
    TempDir tmp;
    std::string folder = tmp.make_dir("videos");
    std::string captured = jump_video_path(folder, "SmithX", "1");
    ScriptedDialogs dialogs;
    std::set<std::string> existing{captured};

    RenameDecision decide() {
        return decide_capture_rename(dialogs, folder, captured, "SmithX",
                                     [this](const std::string& p) { return existing.count(p); });
    }
};

TEST_F(Rename, AFreeNameTakesPassOne) {
    dialogs.text(" Jones ");
    const RenameDecision d = decide();
    EXPECT_EQ(d.name, "Jones");
    EXPECT_EQ(d.new_path, jump_video_path(folder, "Jones", "1"));
    EXPECT_TRUE(d.move);
    ASSERT_EQ(dialogs.prompts().size(), 1u);
    const auto& p = dialogs.prompts()[0];
    EXPECT_EQ(p.kind, PromptKind::Input);
    EXPECT_EQ(p.title, "Fix the skier's name");
    EXPECT_EQ(p.default_text, "SmithX");
    EXPECT_EQ(p.text,
              "The skier's name was changed to prevent overwriting an existing file. You can "
              "change the skier's name here if you want. Just modify it in the input box to what "
              "it should be. ");
}

TEST_F(Rename, KeepingTheNameMovesNothing) {
    dialogs.text("SmithX");
    const RenameDecision d = decide();
    EXPECT_EQ(d.new_path, captured);
    EXPECT_FALSE(d.move);
}

TEST_F(Rename, EmptyAnswersAndTakenNamesAreAskedAgain) {
    existing.insert(jump_video_path(folder, "Smith", "1"));
    dialogs.cancel_input().text("Smith");  // empty, then a taken name
    dialogs.text("");                      // "existing": empty ...
    dialogs.text("Smith B");               // ... then a free one
    const RenameDecision d = decide();
    EXPECT_EQ(d.new_path, jump_video_path(folder, "Smith B", "1"));
    const auto& p = dialogs.prompts();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[1].text, "You must input a name. Please try again ");
    EXPECT_EQ(p[2].text,
              "I am sorry, there is an existing file using that name and jump.  Please "
              "try again ");
    EXPECT_EQ(p[3].text, "You must input a name. Please try again ");
    for (const auto& prompt : p) {
        EXPECT_EQ(prompt.title, "Fix the skier's name");
        EXPECT_EQ(prompt.default_text, "SmithX");
    }
}

TEST_F(Rename, NamesThatCannotBeFileNamesAreRefused) {
    dialogs.text("../../etc/x").text("Smith");
    const RenameDecision d = decide();
    EXPECT_EQ(d.new_path, jump_video_path(folder, "Smith", "1"));
    const auto msgs = dialogs.messages();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(dialogs.prompts()[1].title, "Input Error");
    EXPECT_EQ(dialogs.prompts()[1].icon, MsgIcon::Exclamation);
}

TEST_F(Rename, SecondEmptyAnswerIsUsedAndMovingNeverOverwrites) {
    dialogs.cancel_input().cancel_input();
    const RenameDecision d = decide();
    EXPECT_EQ(d.name, "");
    EXPECT_EQ(d.new_path, jump_video_path(folder, "", "1"));

    spit(captured, "video");
    const std::string other = jump_video_path(folder, "Other", "1");
    spit(other, "another video");
    std::string error;
    EXPECT_FALSE(move_video_file(captured, other, &error));
    EXPECT_EQ(slurp(other), "another video");
    EXPECT_EQ(slurp(captured), "video");
    const std::string free_path = jump_video_path(folder, "Free", "1");
    EXPECT_TRUE(move_video_file(captured, free_path, &error)) << error;
    EXPECT_EQ(slurp(free_path), "video");
    EXPECT_FALSE(FileExists(captured));
    EXPECT_FALSE(move_video_file(captured, jump_video_path(folder, "Gone", "1"), &error));
}

}  // namespace
}  // namespace rs
