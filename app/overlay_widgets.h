#pragma once
// The drag-it groups the picture screens lay over the corner of their
// picture: the micro-adjust pad (four arrows that move the chosen point a
// pixel) and a marker size slider under its label. Each keeps its place in
// the window whatever the zoom; the operator drags it by its label off
// whatever it covers.

#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

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

struct MicroAdjustPad {
    QLabel* label;
    QToolButton* up;
    QToolButton* down;
    QToolButton* left;
    QToolButton* right;
};

// "Micro-Adjust (drag-it)" with its arrows AdjustUp, AdjustDown,
// AdjustLeft and AdjustRight, at the top left.
inline MicroAdjustPad micro_adjust_pad(PictureCanvas* picture) {
    MicroAdjustPad pad{
        label(picture, "AdjustmentLabel", "Micro-Adjust (drag-it)"),
        arrow(picture, "AdjustUp", Qt::UpArrow), arrow(picture, "AdjustDown", Qt::DownArrow),
        arrow(picture, "AdjustLeft", Qt::LeftArrow), arrow(picture, "AdjustRight", Qt::RightArrow)};
    picture->place_overlay(pad.label, overlay_place(8, 8), OverlayAnchor::Window);
    picture->place_overlay(pad.up, overlay_place(48, 30), OverlayAnchor::Window);
    picture->place_overlay(pad.left, overlay_place(22, 56), OverlayAnchor::Window);
    picture->place_overlay(pad.right, overlay_place(74, 56), OverlayAnchor::Window);
    picture->place_overlay(pad.down, overlay_place(48, 82), OverlayAnchor::Window);
    picture->add_drag_group(pad.label, {pad.up, pad.down, pad.left, pad.right});
    return pad;
}

struct SizeSlider {
    QLabel* label;
    QScrollBar* bar;
};

// A marker size slider from 15 twips to largest in steps of 15, under its
// label, below the micro-adjust pad.
inline SizeSlider size_slider(PictureCanvas* picture, const char* label_name, const char* caption,
                              const char* name, int largest, int page, int value) {
    SizeSlider s{label(picture, label_name, caption), new QScrollBar(Qt::Horizontal, picture)};
    s.bar->setObjectName(name);
    s.bar->setRange(15, largest);
    s.bar->setSingleStep(15);
    s.bar->setPageStep(page);
    s.bar->setFixedWidth(150);
    s.bar->setValue(value);
    picture->place_overlay(s.label, overlay_place(8, 116), OverlayAnchor::Window);
    picture->place_overlay(s.bar, overlay_place(8, 136), OverlayAnchor::Window);
    picture->add_drag_group(s.label, {s.bar});
    return s;
}

}  // namespace rs::widgets
