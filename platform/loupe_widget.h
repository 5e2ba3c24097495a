#pragma once
// LoupeWidget: the program's magnifier. A small frameless window beside the
// pointer that shows the picture (and its drawings) around the pixel under
// the pointer, magnified, with a crosshair framing that pixel and its twips
// written underneath, so the operator can place a point on the exact pixel.
//
// It never takes the keyboard focus or the mouse: the screens poll the arrow
// keys only while they have the focus, and clicks must reach the picture.

#include <QPoint>
#include <QWidget>

namespace rs {

class PictureCanvas;

class LoupeWidget final : public QWidget {
    Q_OBJECT
  public:
    // `source` owns the loupe and outlives it.
    explicit LoupeWidget(PictureCanvas& source);

    static constexpr int kMinMagnification = 2;
    static constexpr int kMaxMagnification = 16;
    void set_magnification(int m);  // clamped to the range above
    int magnification() const { return magnification_; }

    // Shows the picture around `pixel` (picture pixels) and places the window
    // beside the pointer at `global_pointer`, on the side where it fits.
    void follow(QPoint pixel, QPoint global_pointer);
    QPoint pixel() const { return pixel_; }

    // The view's square, without the caption strip below it.
    QRect view_rect() const;
    // The square of the centre pixel, inside view_rect().
    QRect centre_pixel_rect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    PictureCanvas& source_;
    int magnification_ = 6;
    QPoint pixel_;
};

}  // namespace rs
