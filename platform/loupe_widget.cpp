#include "platform/loupe_widget.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "platform/picture_canvas_widget.h"

namespace rs {

namespace {

constexpr int kViewSide = 160;      // logical pixels of the magnified square
constexpr int kCaptionHeight = 18;  // strip below it with the pixel's twips
constexpr int kPointerGap = 24;     // between the pointer and the window

}  // namespace

LoupeWidget::LoupeWidget(PictureCanvas& source)
    : QWidget(&source, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput),
      source_(source) {
    setObjectName("Loupe");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kViewSide, kViewSide + kCaptionHeight);
}

void LoupeWidget::set_magnification(int m) {
    magnification_ = std::clamp(m, kMinMagnification, kMaxMagnification);
    update();
}

QRect LoupeWidget::view_rect() const {
    return QRect(0, 0, kViewSide, kViewSide);
}

QRect LoupeWidget::centre_pixel_rect() const {
    const int corner = (kViewSide - magnification_) / 2;
    return QRect(corner, corner, magnification_, magnification_);
}

void LoupeWidget::follow(QPoint pixel, QPoint global_pointer) {
    pixel_ = pixel;
    QPoint at = global_pointer + QPoint(kPointerGap, kPointerGap);
    const QScreen* screen = QGuiApplication::screenAt(global_pointer);
    if (screen == nullptr) {
        screen = source_.screen();
    }
    if (screen != nullptr) {
        // Beside the pointer on the side where the whole window fits.
        const QRect avail = screen->availableGeometry();
        if (at.x() + width() > avail.right()) {
            at.setX(global_pointer.x() - kPointerGap - width());
        }
        if (at.y() + height() > avail.bottom()) {
            at.setY(global_pointer.y() - kPointerGap - height());
        }
    }
    move(at);
    if (!isVisible()) {
        show();
    }
    update();
}

void LoupeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect view = view_rect();
    const QRect centre = centre_pixel_rect();
    const int m = magnification_;

    p.save();
    p.setClipRect(view);
    // Picture pixel n lands on [corner + (n - pixel) * m, + m): whole logical
    // pixels, so the framed square is exactly the pixel under the pointer.
    p.translate(centre.left() - pixel_.x() * m, centre.top() - pixel_.y() * m);
    p.scale(m, m);
    const QRectF region(pixel_.x() - double(view.width()) / m,
                        pixel_.y() - double(view.height()) / m, 2.0 * view.width() / m + 2,
                        2.0 * view.height() / m + 2);
    source_.render_scene(p, region);
    p.restore();

    // Crosshair: a frame around the centre pixel and four arms that stop short
    // of it, black under white so it shows on any picture.
    const int mid_x = centre.left() + m / 2;
    const int mid_y = centre.top() + m / 2;
    const QRect frame = centre.adjusted(-2, -2, 1, 1);
    const int gap = 4;
    for (int pass = 0; pass < 2; ++pass) {
        p.setPen(pass == 0 ? QPen(Qt::black, 3) : QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame);
        p.drawLine(view.left(), mid_y, frame.left() - gap, mid_y);
        p.drawLine(frame.right() + gap, mid_y, view.right(), mid_y);
        p.drawLine(mid_x, view.top(), mid_x, frame.top() - gap);
        p.drawLine(mid_x, frame.bottom() + gap, mid_x, view.bottom());
    }

    const QRect caption(0, kViewSide, kViewSide, kCaptionHeight);
    p.fillRect(caption, Qt::black);
    p.setPen(Qt::white);
    p.drawText(caption, Qt::AlignCenter,
               QStringLiteral("X %1  Y %2")
                   .arg(pixel_.x() * kTwipsPerPixel)
                   .arg(pixel_.y() * kTwipsPerPixel));
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace rs
