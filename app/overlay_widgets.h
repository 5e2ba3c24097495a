#pragma once
// The drag-it groups the picture screens lay over the corner of their
// picture: the micro-adjust pad (four arrows that move the chosen point a
// pixel) and a marker size slider under its label. Each keeps its place in
// the window whatever the zoom; the operator drags it by its label off
// whatever it covers.

#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <tuple>
#include <utility>

#include "app/screen_widgets.h"
#include "platform/picture_canvas_widget.h"

namespace rs::widgets {

inline QToolButton* arrow(QWidget* parent, const char* name, Qt::ArrowType type) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setArrowType(type);
    b->setFixedSize(24, 24);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// A place over the picture, in twips from the window's top left.
inline QPointF overlay_place(int px, int py) {
    return QPointF(px * 15.0, py * 15.0);
}

// The label, then the arrows up, down, left and right.
using MicroAdjustPad = std::tuple<QLabel*, QToolButton*, QToolButton*, QToolButton*, QToolButton*>;

// "Micro-Adjust (drag-it)" with its arrows AdjustUp, AdjustDown,
// AdjustLeft and AdjustRight, at the top left.
inline MicroAdjustPad micro_adjust_pad(PictureCanvas* picture) {
    const auto [label_, up, down, left, right] = MicroAdjustPad{
        label(picture, "AdjustmentLabel", "Micro-Adjust (drag-it)"),
        arrow(picture, "AdjustUp", Qt::UpArrow), arrow(picture, "AdjustDown", Qt::DownArrow),
        arrow(picture, "AdjustLeft", Qt::LeftArrow), arrow(picture, "AdjustRight", Qt::RightArrow)};
    picture->place_overlay(label_, overlay_place(8, 8), OverlayAnchor::Window);
    picture->place_overlay(up, overlay_place(48, 30), OverlayAnchor::Window);
    picture->place_overlay(left, overlay_place(22, 56), OverlayAnchor::Window);
    picture->place_overlay(right, overlay_place(74, 56), OverlayAnchor::Window);
    picture->place_overlay(down, overlay_place(48, 82), OverlayAnchor::Window);
    picture->add_drag_group(label_, {up, down, left, right});
    return {label_, up, down, left, right};
}

// The label and the slider.
using SizeSlider = std::pair<QLabel*, QScrollBar*>;

// A marker size slider from 15 twips to largest in steps of 15, under its
// label, below the micro-adjust pad.
inline SizeSlider size_slider(PictureCanvas* picture, const char* label_name, const char* caption,
                              const char* name, int largest, int page, int value) {
    QLabel* above = label(picture, label_name, caption);
    auto* bar = new QScrollBar(Qt::Horizontal, picture);
    bar->setObjectName(name);
    bar->setRange(15, largest);
    bar->setSingleStep(15);
    bar->setPageStep(page);
    bar->setFixedWidth(150);
    bar->setValue(value);
    picture->place_overlay(above, overlay_place(8, 116), OverlayAnchor::Window);
    picture->place_overlay(bar, overlay_place(8, 136), OverlayAnchor::Window);
    picture->add_drag_group(above, {bar});
    return {above, bar};
}

}  // namespace rs::widgets
