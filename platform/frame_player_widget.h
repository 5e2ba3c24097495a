#pragma once
// The frame player: shows one video frame by frame where the frame selection
// screen needs a media player. Its position is a frame number; it plays a
// selection of frames at the video's own rate, goes full screen (display
// size 3) and back (any other size), and reports the keys pressed while it
// has the focus as virtual-key codes (numeric keypad 4 is 100, 6 is 102), so
// the screen can step with them.
//
// Frames come from the video file's cache: a position whose picture is not
// ready yet is shown as soon as the file's worker has it, and until then the
// previous picture stays up, so the screen never waits on a decode it can
// avoid. The position itself is always exact at once.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/video_file.h"

class QKeyEvent;

namespace rs {

class FramePlayerWidget : public QWidget {
    Q_OBJECT

  public:
    using Opener =
        std::function<std::unique_ptr<VideoFile>(const std::string& path, std::string* error)>;

    static constexpr int kFullScreen = 3;
    static constexpr int kNormal = 0;

    explicit FramePlayerWidget(QWidget* parent = nullptr);
    ~FramePlayerWidget() override;

    // How files are opened (VideoFile::open unless a test says otherwise).
    void setOpener(Opener opener) { opener_ = std::move(opener); }

    // Opens the file afresh and shows its first frame; an empty name closes
    // the file. False when the file cannot be opened (lastError() says why):
    // nothing is shown then, and the name is kept as given.
    bool setFileName(const std::string& path);
    // True when a video is open and the file at its name is still the one
    // that was opened (not recorded again, replaced or deleted since).
    bool videoUnchanged() const { return video_ && video_->unchanged_on_disk(); }
    const std::string& fileName() const { return file_name_; }
    const std::string& lastError() const { return error_; }
    VideoFile* video() const { return video_.get(); }
    std::int64_t frameCount() const { return video_ ? video_->frame_count() : 0; }
    double frameRate() const { return video_ ? video_->frame_rate() : 0; }

    // The frame shown, 0 .. frameCount() - 1; a position outside is taken
    // to the nearest end.
    std::int64_t currentPosition() const { return position_; }
    void setCurrentPosition(std::int64_t frame);

    // The stretch of frames that play() covers, both ends included.
    void setSelectionStart(std::int64_t frame) { selection_start_ = frame; }
    void setSelectionEnd(std::int64_t frame) { selection_end_ = frame; }
    std::int64_t selectionStart() const { return selection_start_; }
    std::int64_t selectionEnd() const { return selection_end_; }

    // Plays the selection from its start at the video's rate and stops at
    // its end (playStopped()). stop() ends playing where it is.
    void play();
    void stop();
    bool isPlaying() const { return play_timer_.isActive(); }

    int displaySize() const { return display_size_; }
    void setDisplaySize(int size);

    // Moves the keyboard focus to the player (to its full-screen view when
    // it shows one).
    void giveFocus();

    // The picture on screen and the frame it belongs to (-1 when none): it
    // lags the position while a picture is being decoded.
    FramePtr shownPicture() const { return shown_; }
    std::int64_t shownFrame() const { return shown_frame_; }
    // Decodes the picture of the position now, if it is not on screen yet,
    // and shows it; nothing when it cannot be decoded (error says why).
    FramePtr showPositionNow(std::string* error = nullptr);

    // The virtual-key code of a key: letters and digits as their upper-case
    // character, numeric keypad digits 96-105, arrows 37-40, Escape 27,
    // Enter 13, Space 32; otherwise Qt's key number.
    static int keyCode(const QKeyEvent& event);

  signals:
    void keyDown(int keyCode);
    void positionChanged(qint64 frame);
    // A new picture is on screen (frame -1: none, the file changed).
    void shownFrameChanged(qint64 frame);
    void playStopped();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    class FullScreenView;
    friend class FullScreenView;

    void tick();
    void poll();
    void show_ready();
    void show_picture(FramePtr picture, std::int64_t frame);
    void paint_picture(QWidget* on);
    void leave_full_screen();

    Opener opener_;
    std::unique_ptr<VideoFile> video_;
    std::string file_name_;
    std::string error_;
    std::int64_t position_ = 0;
    std::int64_t selection_start_ = 0;
    std::int64_t selection_end_ = 0;
    int display_size_ = kNormal;
    FramePtr shown_;
    std::int64_t shown_frame_ = -1;
    QTimer play_timer_;
    QTimer poll_timer_;
    int polls_ = 0;
    std::unique_ptr<QWidget> full_screen_;
};

}  // namespace rs
