#include "platform/frame_slider_widget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <limits>

namespace rs {

FrameSliderWidget::FrameSliderWidget(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::NoFocus);
    setTracking(true);
    setMinimumHeight(28);
    setFrameCount(0);
    connect(this, &QSlider::sliderMoved, this, [this](int v) { emit frameDragged(v); });
    connect(this, &QSlider::sliderReleased, this, [this] { emit frameChosen(value()); });
    // A click on the track moves the handle by a page without a drag.
    connect(this, &QSlider::valueChanged, this, [this](int v) {
        if (!showing_ && !isSliderDown())
            emit frameChosen(v);
    });
}

void FrameSliderWidget::setFrameCount(std::int64_t count) {
    count_ = std::clamp<std::int64_t>(count, 0, std::numeric_limits<int>::max());
    showing_ = true;
    setRange(0, static_cast<int>(std::max<std::int64_t>(count_ - 1, 0)));
    setPageStep(static_cast<int>(std::clamp<std::int64_t>(count_ / 20, 1, 300)));
    setValue(0);
    showing_ = false;
    setEnabled(count_ > 0);
    update();
}

void FrameSliderWidget::showFrame(std::int64_t frame) {
    if (isSliderDown())
        return;  // the operator's hand wins
    showing_ = true;
    setValue(static_cast<int>(std::clamp<std::int64_t>(frame, minimum(), maximum())));
    showing_ = false;
}

void FrameSliderWidget::setMark(const QString& name, std::int64_t frame, QColor colour) {
    if (frame < 0)
        marks_.erase(name);
    else
        marks_[name] = {frame, colour};
    update();
}

std::int64_t FrameSliderWidget::mark(const QString& name) const {
    auto it = marks_.find(name);
    return it == marks_.end() ? -1 : it->second.first;
}

void FrameSliderWidget::clearMarks() {
    marks_.clear();
    update();
}

void FrameSliderWidget::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (marks_.empty() || count_ <= 0)
        return;
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& [name, mark] : marks_) {
        const auto& [frame, colour] = mark;
        if (frame > maximum())
            continue;
        const int x =
            groove.left() + handle.width() / 2 +
            QStyle::sliderPositionFromValue(minimum(), maximum(), static_cast<int>(frame), span);
        const int y = height() - 1;
        const QPointF tip[3] = {QPointF(x, y - 7), QPointF(x - 5, y), QPointF(x + 5, y)};
        painter.setPen(Qt::black);
        painter.setBrush(colour);
        painter.drawPolygon(tip, 3);
    }
}

}  // namespace rs
