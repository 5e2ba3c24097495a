#pragma once
// The timeline under the frame player: one step of the slider is one
// frame. Dragging it reports each frame passed (frameDragged), letting go
// and clicking on the track report the frame it rests on (frameChosen), so
// the player can show what is ready while the handle moves and the exact
// frame once it stops. Frames of note (the marked start, the contact frame)
// are drawn as small coloured ticks under the track. It takes no keyboard
// focus: the arrow keys belong to the screen's own frame steps.

#include <QColor>
#include <QSlider>
#include <cstdint>
#include <map>

namespace rs {

class FrameSliderWidget : public QSlider {
    Q_OBJECT
  public:
    explicit FrameSliderWidget(QWidget* parent = nullptr);

    // Frames 0 .. count - 1; none when count is 0 (the slider is disabled).
    void setFrameCount(std::int64_t count);
    std::int64_t frameCount() const { return count_; }
    // Moves the handle without reporting it.
    void showFrame(std::int64_t frame);

    // A tick of that colour at the frame; a negative frame takes it away.
    void setMark(const QString& name, std::int64_t frame, QColor colour);
    std::int64_t mark(const QString& name) const;
    void clearMarks();

  signals:
    void frameDragged(qint64 frame);
    void frameChosen(qint64 frame);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::int64_t count_ = 0;
    bool showing_ = false;
    std::map<QString, std::pair<std::int64_t, QColor>> marks_;
};

}  // namespace rs
