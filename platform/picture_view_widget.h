#pragma once
// PictureView: a picture canvas with its scroll bars. The bars show whenever
// the zoomed picture is larger than the room the screen gives it, and move
// the canvas's view as the canvas moves them; the canvas keeps every
// coordinate rule of its own (twips, zoom, overlays).

#include <QWidget>

class QScrollBar;

namespace rs {

class PictureCanvas;

class PictureView final : public QWidget {
    Q_OBJECT
  public:
    // Takes the canvas as its child.
    explicit PictureView(PictureCanvas* canvas, QWidget* parent = nullptr);

    PictureCanvas* canvas() const { return canvas_; }
    QScrollBar* horizontal_bar() const { return horizontal_; }
    QScrollBar* vertical_bar() const { return vertical_; }

    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Places the canvas and the bars the picture needs, then sets the bars
    // from the canvas's view.
    void arrange();
    void arrange_once();

    PictureCanvas* canvas_ = nullptr;
    QScrollBar* horizontal_ = nullptr;
    QScrollBar* vertical_ = nullptr;
    bool arranging_ = false;
    bool again_ = false;
};

}  // namespace rs
