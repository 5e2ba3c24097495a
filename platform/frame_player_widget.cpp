#include "platform/frame_player_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace rs {

namespace {

// While a picture is being decoded the player looks for it this often, and
// after this many looks decodes it itself (a worker that cannot make it).
constexpr int kPollMs = 4;
constexpr int kPollsBeforeDecoding = 250;

}  // namespace

// The player's picture over the whole screen. Escape returns to the normal
// display; a mouse click plays the selection again.
class FramePlayerWidget::FullScreenView : public QWidget {
  public:
    explicit FullScreenView(FramePlayerWidget* player) : player_(player) {
        setObjectName("FramePlayerFullScreen");
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override { player_->paint_picture(this); }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            player_->setDisplaySize(kNormal);
            event->accept();
            return;
        }
        player_->keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        player_->play();
        event->accept();
    }

  private:
    FramePlayerWidget* player_;
};

FramePlayerWidget::FramePlayerWidget(QWidget* parent)
    : QWidget(parent), opener_([](const std::string& path, std::string* error) {
          return VideoFile::open(path, error);
      }) {
    setObjectName("MediaPlayer1");
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 120);
    play_timer_.setTimerType(Qt::PreciseTimer);
    connect(&play_timer_, &QTimer::timeout, this, [this] { tick(); });
    poll_timer_.setInterval(kPollMs);
    connect(&poll_timer_, &QTimer::timeout, this, [this] { poll(); });
}

FramePlayerWidget::~FramePlayerWidget() = default;

bool FramePlayerWidget::setFileName(const std::string& path) {
    stop();
    poll_timer_.stop();
    video_.reset();
    shown_.reset();
    shown_frame_ = -1;
    position_ = 0;
    selection_start_ = selection_end_ = 0;
    error_.clear();
    file_name_ = path;
    if (!path.empty()) {
        video_ = opener_(path, &error_);
        if (!video_ && error_.empty())
            error_ = "cannot open " + path;
    }
    emit shownFrameChanged(-1);
    if (video_)
        show_ready();
    update();
    emit positionChanged(position_);
    return path.empty() || video_ != nullptr;
}

void FramePlayerWidget::setCurrentPosition(std::int64_t frame) {
    const std::int64_t last = std::max<std::int64_t>(frameCount() - 1, 0);
    frame = std::clamp<std::int64_t>(frame, 0, last);
    const bool moved = frame != position_;
    position_ = frame;
    if (video_)
        show_ready();
    if (moved)
        emit positionChanged(position_);
}

void FramePlayerWidget::show_ready() {
    if (shown_frame_ == position_ && shown_)
        return;
    if (FramePtr pic = video_->ready_frame(position_)) {
        poll_timer_.stop();
        show_picture(std::move(pic), position_);
        return;
    }
    if (!poll_timer_.isActive()) {
        polls_ = 0;
        poll_timer_.start();
    }
}

void FramePlayerWidget::poll() {
    if (!video_) {
        poll_timer_.stop();
        return;
    }
    if (++polls_ < kPollsBeforeDecoding) {
        show_ready();
        return;
    }
    poll_timer_.stop();
    std::string error;
    if (FramePtr pic = video_->frame(position_, &error))
        show_picture(std::move(pic), position_);
    else
        error_ = error;
}

void FramePlayerWidget::show_picture(FramePtr picture, std::int64_t frame) {
    shown_ = std::move(picture);
    const bool moved = shown_frame_ != frame;
    shown_frame_ = frame;
    update();
    if (full_screen_)
        full_screen_->update();
    if (moved)
        emit shownFrameChanged(frame);
}

FramePtr FramePlayerWidget::showPositionNow(std::string* error) {
    if (!video_) {
        if (error)
            *error = error_.empty() ? "no video is open" : error_;
        return nullptr;
    }
    if (shown_ && shown_frame_ == position_)
        return shown_;
    FramePtr pic = video_->frame(position_, error);
    if (pic) {
        poll_timer_.stop();
        show_picture(pic, position_);
    }
    return pic;
}

void FramePlayerWidget::play() {
    if (!video_ || frameRate() <= 0)
        return;
    const std::int64_t last = frameCount() - 1;
    selection_start_ = std::clamp<std::int64_t>(selection_start_, 0, last);
    setCurrentPosition(selection_start_);
    play_timer_.setInterval(std::max(1, static_cast<int>(std::lround(1000.0 / frameRate()))));
    play_timer_.start();
}

void FramePlayerWidget::stop() {
    play_timer_.stop();
}

void FramePlayerWidget::tick() {
    const std::int64_t end = std::min(selection_end_, frameCount() - 1);
    if (position_ >= end) {
        play_timer_.stop();
        emit playStopped();
        return;
    }
    setCurrentPosition(position_ + 1);
}

void FramePlayerWidget::setDisplaySize(int size) {
    display_size_ = size;
    if (size == kFullScreen) {
        if (!full_screen_) {
            full_screen_ = std::make_unique<FullScreenView>(this);
            full_screen_->showFullScreen();
        }
        full_screen_->activateWindow();
        full_screen_->setFocus(Qt::OtherFocusReason);
        return;
    }
    leave_full_screen();
}

void FramePlayerWidget::leave_full_screen() {
    if (!full_screen_)
        return;
    full_screen_->hide();
    full_screen_.reset();
    giveFocus();
}

void FramePlayerWidget::giveFocus() {
    if (full_screen_) {
        full_screen_->activateWindow();
        full_screen_->setFocus(Qt::OtherFocusReason);
        return;
    }
    setFocus(Qt::OtherFocusReason);
}

int FramePlayerWidget::keyCode(const QKeyEvent& event) {
    const int key = event.key();
    if ((event.modifiers() & Qt::KeypadModifier) && key >= Qt::Key_0 && key <= Qt::Key_9)
        return 96 + (key - Qt::Key_0);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;  // Qt numbers these as their ASCII upper-case character
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            return key;
    }
}

void FramePlayerWidget::keyPressEvent(QKeyEvent* event) {
    emit keyDown(keyCode(*event));
    event->accept();
}

void FramePlayerWidget::paintEvent(QPaintEvent*) {
    paint_picture(this);
}

void FramePlayerWidget::paint_picture(QWidget* on) {
    QPainter painter(on);
    painter.fillRect(on->rect(), Qt::black);
    if (!shown_ || shown_->width <= 0 || shown_->height <= 0)
        return;
    // A view of the decoded rows, not a copy; shown_ keeps them alive.
    const QImage image(shown_->bgr.data(), shown_->width, shown_->height, shown_->width * 3,
                       QImage::Format_BGR888);
    QSize fitted = image.size().scaled(on->size(), Qt::KeepAspectRatio);
    QRect target(QPoint((on->width() - fitted.width()) / 2, (on->height() - fitted.height()) / 2),
                 fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, fitted != image.size());
    painter.drawImage(target, image);
}

}  // namespace rs
