// The frame player over a stand-in video whose pictures are "decoded" a
// little late, and over a real generated video.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <functional>
#include <set>

#include "platform/frame_player_widget.h"
#include "tests/platform/test_videos.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

// A video whose picture for a frame is ready only the second time it is
// asked for, as when the worker is still decoding it.
class LateVideo final : public VideoFile {
  public:
    LateVideo(std::int64_t frames, double rate) : frames_(frames), rate_(rate) {}
    const std::string& path() const override { return path_; }
    std::int64_t frame_count() const override { return frames_; }
    double frame_rate() const override { return rate_; }
    int width() const override { return 64; }
    int height() const override { return 48; }
    FramePtr frame(std::int64_t n, std::string* error) override {
        if (n < 0 || n >= frames_) {
            if (error)
                *error = "beyond the end";
            return nullptr;
        }
        auto pic = std::make_shared<Picture24>();
        pic->width = 64;
        pic->height = 48;
        auto marked = test::marked_frame(static_cast<int>(n), 64, 48);
        pic->bgr.assign(marked.begin(), marked.end());
        return pic;
    }
    FramePtr ready_frame(std::int64_t n) override {
        asked.push_back(n);
        if (!seen_.insert(n).second)
            return frame(n, nullptr);
        return nullptr;
    }
    std::vector<std::int64_t> asked;

  private:
    std::string path_ = "late.avi";
    std::int64_t frames_;
    double rate_;
    std::set<std::int64_t> seen_;
};

// Runs the event loop until done() holds or two seconds pass.
bool wait_until(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        player_.setOpener([this](const std::string&, std::string*) {
            auto v = std::make_unique<LateVideo>(50, 100.0);
            video_ = v.get();
            return v;
        });
        ASSERT_TRUE(player_.setFileName("late.avi"));
    }
    int shown_mark() const {
        return player_.shownPicture() ? test::read_mark(*player_.shownPicture()) : -1;
    }
    FramePlayerWidget player_;
    LateVideo* video_ = nullptr;
};

TEST_F(PlayerTest, ThePositionIsExactAtOnceAndThePictureFollows) {
    player_.setCurrentPosition(17);
    EXPECT_EQ(player_.currentPosition(), 17);
    // Not decoded yet: the screen is not held up, the old picture stays.
    EXPECT_NE(player_.shownFrame(), 17);
    ASSERT_TRUE(wait_until([&] { return player_.shownFrame() == 17; }));
    EXPECT_EQ(shown_mark(), 17);

    // Positions outside the video go to the nearest end.
    player_.setCurrentPosition(-4);
    EXPECT_EQ(player_.currentPosition(), 0);
    player_.setCurrentPosition(1000);
    EXPECT_EQ(player_.currentPosition(), 49);
    ASSERT_TRUE(wait_until([&] { return player_.shownFrame() == 49; }));
    EXPECT_EQ(shown_mark(), 49);
}

TEST_F(PlayerTest, PlayRunsTheSelectionAndStopsAtItsEnd) {
    int stopped = 0;
    std::vector<qint64> positions;
    QObject::connect(&player_, &FramePlayerWidget::playStopped, [&] { ++stopped; });
    QObject::connect(&player_, &FramePlayerWidget::positionChanged,
                     [&](qint64 f) { positions.push_back(f); });
    player_.setSelectionStart(5);
    player_.setSelectionEnd(9);
    player_.play();
    EXPECT_TRUE(player_.isPlaying());
    ASSERT_TRUE(wait_until([&] { return stopped == 1; }));
    EXPECT_FALSE(player_.isPlaying());
    EXPECT_EQ(player_.currentPosition(), 9);
    EXPECT_EQ(positions, (std::vector<qint64>{5, 6, 7, 8, 9}));

    // Stop holds the position where it is.
    player_.play();
    ASSERT_TRUE(wait_until([&] { return player_.currentPosition() >= 7; }));
    player_.stop();
    const auto held = player_.currentPosition();
    QApplication::processEvents();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(player_.currentPosition(), held);
    EXPECT_EQ(stopped, 1);
}

TEST_F(PlayerTest, KeysReachTheScreenAsVirtualKeyCodes) {
    std::vector<int> codes;
    QObject::connect(&player_, &FramePlayerWidget::keyDown, [&](int c) { codes.push_back(c); });
    QKeyEvent pad6(QEvent::KeyPress, Qt::Key_6, Qt::KeypadModifier);
    QKeyEvent pad4(QEvent::KeyPress, Qt::Key_4, Qt::KeypadModifier);
    QKeyEvent digit6(QEvent::KeyPress, Qt::Key_6, Qt::NoModifier);
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier);
    for (QKeyEvent* e : {&pad6, &pad4, &digit6, &left, &letter})
        QApplication::sendEvent(&player_, e);
    EXPECT_EQ(codes, (std::vector<int>{102, 100, 54, 37, 65}));
}

TEST_F(PlayerTest, FullScreenComesAndGoesWithEscape) {
    player_.setDisplaySize(FramePlayerWidget::kFullScreen);
    EXPECT_EQ(player_.displaySize(), 3);
    QWidget* full = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "FramePlayerFullScreen" && w->isVisible())
            full = w;
    }
    ASSERT_TRUE(full);
    EXPECT_TRUE(full->isFullScreen());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(full, &esc);
    EXPECT_EQ(player_.displaySize(), 0);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_NE(w->objectName(), "FramePlayerFullScreen");
}

TEST(Player, AFileThatCannotBeOpenedShowsNothingAndSaysWhy) {
    test::TempDir dir;
    const std::string bad = dir.file("bad.avi");
    test::spit(bad, "not a video");
    FramePlayerWidget player;
    EXPECT_FALSE(player.setFileName(bad));
    EXPECT_EQ(player.fileName(), bad);
    EXPECT_EQ(player.frameCount(), 0);
    EXPECT_FALSE(player.shownPicture());
    EXPECT_EQ(player.lastError().rfind("cannot open " + bad, 0), 0u) << player.lastError();
    player.setCurrentPosition(5);
    EXPECT_EQ(player.currentPosition(), 0);
    player.play();
    EXPECT_FALSE(player.isPlaying());
}

TEST(Player, StepsThroughARealVideoBothWays) {
    test::TempDir dir;
    const std::string path = dir.file("steps.avi");
    ASSERT_TRUE(
        test::make_video({"steps", "avi", test::long_gop_args(10), 320, 240, "25", 30, ""}, path));
    FramePlayerWidget player;
    ASSERT_TRUE(player.setFileName(path)) << player.lastError();
    EXPECT_EQ(player.frameCount(), 30);
    EXPECT_DOUBLE_EQ(player.frameRate(), 25.0);
    for (std::int64_t n : {29, 28, 20, 19, 10, 9, 0}) {
        player.setCurrentPosition(n);
        ASSERT_TRUE(wait_until([&] { return player.shownFrame() == n; })) << n;
        EXPECT_EQ(test::read_mark(*player.shownPicture()), n);
    }
}

}  // namespace
}  // namespace rs
