#include "platform/picture_view_widget.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include "platform/picture_canvas_widget.h"

namespace rs {

PictureView::PictureView(PictureCanvas* canvas, QWidget* parent)
    : QWidget(parent), canvas_(canvas) {
    canvas_->setParent(this);
    horizontal_ = new QScrollBar(Qt::Horizontal, this);
    horizontal_->setObjectName("pictureHorizontalBar");
    vertical_ = new QScrollBar(Qt::Vertical, this);
    vertical_->setObjectName("pictureVerticalBar");
    horizontal_->hide();
    vertical_->hide();
    connect(canvas_, &PictureCanvas::view_changed, this, [this] { arrange(); });
    connect(horizontal_, &QScrollBar::valueChanged, this, [this](int x) {
        if (!arranging_)
            canvas_->set_scroll_offset(QPoint(x, canvas_->scroll_offset().y()));
    });
    connect(vertical_, &QScrollBar::valueChanged, this, [this](int y) {
        if (!arranging_)
            canvas_->set_scroll_offset(QPoint(canvas_->scroll_offset().x(), y));
    });
    canvas_->show();
}

QSize PictureView::sizeHint() const {
    return canvas_->sizeHint();
}

void PictureView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void PictureView::arrange() {
    if (arranging_) {
        again_ = true;  // the canvas changed while being placed (a fit)
        return;
    }
    // A fitted canvas changes its zoom when it is resized; a few rounds
    // settle it (a fit below 1 needs no bar, so the second round is the last).
    for (int round = 0; round < 3; ++round) {
        again_ = false;
        arrange_once();
        if (!again_)
            break;
    }
}

void PictureView::arrange_once() {
    arranging_ = true;
    const QSize room = size();
    const QSize content = canvas_->zoomed_size();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // A bar on one side takes room from the other: decide both together.
    bool need_h = content.width() > room.width();
    bool need_v = content.height() > room.height();
    if (need_h && !need_v)
        need_v = content.height() > room.height() - bar;
    if (need_v && !need_h)
        need_h = content.width() > room.width() - bar;
    const QRect view(0, 0, std::max(0, room.width() - (need_v ? bar : 0)),
                     std::max(0, room.height() - (need_h ? bar : 0)));
    if (canvas_->geometry() != view)
        canvas_->setGeometry(view);  // the canvas clamps its scrolling to it
    horizontal_->setGeometry(0, view.height(), view.width(), bar);
    vertical_->setGeometry(view.width(), 0, bar, view.height());
    horizontal_->setVisible(need_h);
    vertical_->setVisible(need_v);

    const QPoint scroll = canvas_->scroll_offset();
    horizontal_->setRange(0, std::max(0, content.width() - view.width()));
    horizontal_->setPageStep(std::max(1, view.width()));
    horizontal_->setSingleStep(20);
    horizontal_->setValue(scroll.x());
    vertical_->setRange(0, std::max(0, content.height() - view.height()));
    vertical_->setPageStep(std::max(1, view.height()));
    vertical_->setSingleStep(20);
    vertical_->setValue(scroll.y());
    arranging_ = false;
}

}  // namespace rs
