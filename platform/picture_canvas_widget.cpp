#include "platform/picture_canvas_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/file_reader.h"
#include "platform/loupe_widget.h"

namespace rs {

// ---------------------------------------------------------------------------
// Size rule and colours

int himetric_from_pixels(int pixels) {
    if (pixels <= 0) {
        return 0;
    }
    // Whole numbers throughout, so a half (12 pixels = 317.5) rounds up
    // exactly rather than by the luck of a binary fraction.
    const std::int64_t twice = std::int64_t{pixels} * 2540 * 2;
    return static_cast<int>((twice + 96) / (2 * 96));
}

double picture_twips_from_pixels(int pixels) {
    return himetric_from_pixels(pixels) * 15.0 / 26.5;
}

QColor colour_from_stored(std::uint32_t stored) {
    return QColor(int(stored & 0xFF), int((stored >> 8) & 0xFF), int((stored >> 16) & 0xFF));
}

std::uint32_t stored_colour(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return std::uint32_t(rgb.red()) | (std::uint32_t(rgb.green()) << 8) |
           (std::uint32_t(rgb.blue()) << 16);
}

// ---------------------------------------------------------------------------
// Figures

// Figure is an aggregate: kind, x1, y1, x2, y2, size, colour, width.
Figure Figure::point(double x, double y, std::uint32_t colour, int width) {
    return Figure{Kind::Point, x, y, 0, 0, 0, colour, width};
}

Figure Figure::line(double x1, double y1, double x2, double y2, std::uint32_t colour, int width) {
    return Figure{Kind::Line, x1, y1, x2, y2, 0, colour, width};
}

Figure Figure::circle(double x, double y, double radius, std::uint32_t colour, int width) {
    return Figure{Kind::Circle, x, y, 0, 0, radius, colour, width};
}

Figure Figure::cross(double x, double y, double arm, std::uint32_t colour, int width) {
    return Figure{Kind::Cross, x, y, 0, 0, arm, colour, width};
}

namespace {

// Positions come from the same arithmetic on both drawings, but a marker
// moved away and back by whole pixels may differ in the last bits.
bool near(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

}  // namespace

bool Figure::same_shape(const Figure& o) const {
    if (kind != o.kind) {
        return false;
    }
    const bool same_start = near(x1, o.x1) && near(y1, o.y1);
    switch (kind) {
        case Kind::Point:
            return same_start;
        case Kind::Line:
            // A line drawn back from its end is the same line.
            return (same_start && near(x2, o.x2) && near(y2, o.y2)) ||
                   (near(x1, o.x2) && near(y1, o.y2) && near(x2, o.x1) && near(y2, o.y1));
        case Kind::Circle:
        case Kind::Cross:
            return same_start && near(size, o.size);
    }
    return false;
}

bool Figure::operator==(const Figure& o) const {
    return kind == o.kind && x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2 &&
           size == o.size && colour == o.colour && width == o.width;
}

// ---------------------------------------------------------------------------
// The canvas

PictureCanvas::PictureCanvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    loupe_ = new LoupeWidget(*this);
    loupe_->hide();

    zoom_in_action_ = new QAction(tr("Zoom &In"), this);
    zoom_in_action_->setShortcut(QKeySequence::ZoomIn);
    connect(zoom_in_action_, &QAction::triggered, this, &PictureCanvas::zoom_in);
    zoom_out_action_ = new QAction(tr("Zoom &Out"), this);
    zoom_out_action_->setShortcut(QKeySequence::ZoomOut);
    connect(zoom_out_action_, &QAction::triggered, this, &PictureCanvas::zoom_out);
    actual_size_action_ = new QAction(tr("&Actual Size"), this);
    actual_size_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(actual_size_action_, &QAction::triggered, this, [this] { set_zoom(1, pointer_); });
    fit_action_ = new QAction(tr("&Fit to Window"), this);
    fit_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_9));
    connect(fit_action_, &QAction::triggered, this, &PictureCanvas::fit_to_window);
    loupe_action_ = new QAction(tr("&Loupe"), this);
    loupe_action_->setCheckable(true);
    loupe_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(loupe_action_, &QAction::toggled, this, &PictureCanvas::set_loupe_enabled);
    zoom_out_action_->setEnabled(false);  // shown 1:1 to begin with
    addActions(
        {zoom_in_action_, zoom_out_action_, actual_size_action_, fit_action_, loupe_action_});
}

PictureCanvas::~PictureCanvas() {
    // The overlays are children and die with the canvas; their destroyed
    // signals must not reach a canvas that is half gone.
    for (auto& [w, overlay] : overlays_) {
        disconnect(w, nullptr, this, nullptr);
    }
    for (auto& [handle, members] : drag_groups_) {
        disconnect(handle, nullptr, this, nullptr);
    }
}

// --- The picture -----------------------------------------------------------

bool PictureCanvas::load_picture(const std::string& path, std::string* error) {
    // A FIFO or a device would hold the screen until something wrote to it.
    std::string why;
    if (!is_regular_file(path, &why)) {
        if (error != nullptr)
            *error = "cannot read the picture " + path + ": " + why;
        return false;
    }
    QImageReader reader(QString::fromStdString(path));
    QImage image = reader.read();
    if (image.isNull()) {
        if (error != nullptr) {
            *error = "cannot read the picture " + path + ": " + reader.errorString().toStdString();
        }
        return false;
    }
    set_picture(image);
    return true;
}

bool PictureCanvas::paste_clipboard(std::string* error) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QImage image = clipboard != nullptr ? clipboard->image() : QImage();
    if (image.isNull()) {
        if (error != nullptr) {
            *error = "the clipboard holds no picture";
        }
        return false;
    }
    set_picture(image);
    return true;
}

void PictureCanvas::set_picture(const QImage& picture) {
    if (picture.isNull()) {
        picture_ = QImage();
    } else if (picture.hasAlphaChannel()) {
        // A transparent GIF shows the canvas background through its holes.
        picture_ = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        picture_ = picture.convertToFormat(QImage::Format_RGB32);
    }
    picture_.setDevicePixelRatio(1.0);
    if (fitting_)
        refit();
    scroll_ = clamped(scroll_);
    reposition_all();
    updateGeometry();
    update_zoom_actions();
    scene_changed();
    emit view_changed();
}

void PictureCanvas::clear_picture() {
    set_picture(QImage());
}

double PictureCanvas::picture_width_twips() const {
    return picture_twips_from_pixels(picture_.width());
}

double PictureCanvas::picture_height_twips() const {
    return picture_twips_from_pixels(picture_.height());
}

// --- Drawings --------------------------------------------------------------

void PictureCanvas::draw(const Figure& figure) {
    figures_.push_back(figure);
    scene_changed();
}

bool PictureCanvas::toggle(const Figure& figure) {
    if (remove(figure)) {
        return false;
    }
    draw(figure);
    return true;
}

bool PictureCanvas::remove(const Figure& figure) {
    const auto found = std::find_if(figures_.rbegin(), figures_.rend(),
                                    [&](const Figure& f) { return f.same_shape(figure); });
    if (found == figures_.rend()) {
        return false;
    }
    figures_.erase(std::next(found).base());
    scene_changed();
    return true;
}

void PictureCanvas::clear_drawings() {
    if (figures_.empty()) {
        return;
    }
    figures_.clear();
    scene_changed();
}

namespace {

// Figures are drawn through pixel centres: a figure at twips t sits on the
// middle of picture pixel t / 15, so a one-pixel line covers exactly that
// pixel at 1:1 and the whole zoomed square at any zoom.
QPointF centre_of(double x, double y) {
    return QPointF(x / kTwipsPerPixel + 0.5, y / kTwipsPerPixel + 0.5);
}

void paint_figure(QPainter& p, const Figure& f) {
    const QColor colour = colour_from_stored(f.colour);
    double width = std::max(1, f.width);
    // Shown smaller than 1:1 (a picture fitted to the window), a figure keeps
    // at least one screen pixel of line, so no marker vanishes.
    const double scale = p.transform().m11();
    const bool thin = scale > 0 && width * scale < 1;
    QPen pen(colour, thin ? 0.0 : width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    if (thin)
        width = 1 / scale;
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF c = centre_of(f.x1, f.y1);
    switch (f.kind) {
        case Figure::Kind::Point:
            p.fillRect(QRectF(c.x() - width / 2, c.y() - width / 2, width, width), colour);
            break;
        case Figure::Kind::Line:
            p.drawLine(c, centre_of(f.x2, f.y2));
            break;
        case Figure::Kind::Circle: {
            const double r = f.size / kTwipsPerPixel;
            p.drawEllipse(c, r, r);
            break;
        }
        case Figure::Kind::Cross: {
            const double a = f.size / kTwipsPerPixel;
            p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
            p.drawLine(QPointF(c.x(), c.y() - a), QPointF(c.x(), c.y() + a));
            break;
        }
    }
}

}  // namespace

void PictureCanvas::render_scene(QPainter& p, const QRectF& region) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.fillRect(region, palette().color(QPalette::Window));
    if (!picture_.isNull()) {
        const QRect part = region.toAlignedRect().intersected(picture_.rect());
        if (!part.isEmpty()) {
            p.drawImage(part.topLeft(), picture_, part);
        }
    }
    for (const Figure& f : figures_) {
        paint_figure(p, f);
    }
    for (const Shape& shape : shapes_) {
        if (shape.visible) {
            paint_figure(p, shape.figure);
        }
    }
    p.restore();
}

QImage PictureCanvas::composed_image() const {
    if (picture_.isNull()) {
        return QImage();
    }
    QImage out(picture_.size(), QImage::Format_RGB32);
    QPainter p(&out);
    render_scene(p, QRectF(out.rect()));
    p.end();
    return out;
}

void PictureCanvas::set_shape(const std::string& name, const Figure& figure) {
    const auto found = std::find_if(shapes_.begin(), shapes_.end(),
                                    [&](const Shape& s) { return s.name == name; });
    if (found == shapes_.end()) {
        shapes_.push_back(Shape{name, figure, true});
    } else {
        found->figure = figure;
        found->visible = true;
    }
    scene_changed();
}

void PictureCanvas::set_shape_visible(const std::string& name, bool visible) {
    for (Shape& shape : shapes_) {
        if (shape.name == name && shape.visible != visible) {
            shape.visible = visible;
            scene_changed();
        }
    }
}

void PictureCanvas::remove_shape(const std::string& name) {
    const auto gone = std::remove_if(shapes_.begin(), shapes_.end(),
                                     [&](const Shape& s) { return s.name == name; });
    if (gone != shapes_.end()) {
        shapes_.erase(gone, shapes_.end());
        scene_changed();
    }
}

std::optional<Figure> PictureCanvas::shape(const std::string& name) const {
    for (const Shape& shape : shapes_) {
        if (shape.name == name) {
            return shape.figure;
        }
    }
    return std::nullopt;
}

bool PictureCanvas::shape_visible(const std::string& name) const {
    for (const Shape& shape : shapes_) {
        if (shape.name == name) {
            return shape.visible;
        }
    }
    return false;
}

// --- Overlays --------------------------------------------------------------

void PictureCanvas::place_overlay(QWidget* w, QPointF at, OverlayAnchor anchor) {
    if (w == nullptr) {
        return;
    }
    if (w->parentWidget() != this) {
        const bool hidden = w->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                            w->testAttribute(Qt::WA_WState_Hidden);
        w->setParent(this);
        if (!hidden) {
            w->show();
        }
    }
    const bool known = overlays_.count(w) != 0;
    overlays_[w] = Overlay{at, anchor};
    if (!known) {
        connect(w, &QObject::destroyed, this, [this, w] {
            overlays_.erase(w);
            drag_groups_.erase(w);
            for (auto& [handle, members] : drag_groups_) {
                members.erase(std::remove(members.begin(), members.end(), w), members.end());
            }
            if (drag_.handle == w) {
                drag_ = Drag{};
            }
        });
    }
    reposition(w);
}

void PictureCanvas::move_overlay(QWidget* w, QPointF at) {
    const auto found = overlays_.find(w);
    place_overlay(w, at, found != overlays_.end() ? found->second.anchor : OverlayAnchor::Picture);
}

std::optional<QPointF> PictureCanvas::overlay_position(const QWidget* w) const {
    const auto found = overlays_.find(w);
    if (found == overlays_.end()) {
        return std::nullopt;
    }
    return found->second.at;
}

void PictureCanvas::add_drag_group(QWidget* handle, const std::vector<QWidget*>& companions) {
    if (handle == nullptr) {
        return;
    }
    std::vector<QWidget*> members{handle};
    for (QWidget* c : companions) {
        if (c != nullptr && c != handle) {
            members.push_back(c);
        }
    }
    for (QWidget* m : members) {
        if (overlays_.count(m) == 0) {
            const QPoint pos =
                m->parentWidget() == this ? m->pos() : mapFromGlobal(m->mapToGlobal(QPoint()));
            place_overlay(m, QPointF(pos) * kTwipsPerPixel, OverlayAnchor::Window);
        }
    }
    drag_groups_[handle] = members;
    handle->installEventFilter(this);
    handle->setCursor(Qt::SizeAllCursor);
}

void PictureCanvas::reposition(QWidget* w) {
    const auto found = overlays_.find(w);
    if (found == overlays_.end()) {
        return;
    }
    const Overlay& o = found->second;
    QPointF pos =
        o.anchor == OverlayAnchor::Picture ? widget_pos_of(o.at) : o.at / double(kTwipsPerPixel);
    w->move(QPoint(int(std::floor(pos.x())), int(std::floor(pos.y()))));
}

void PictureCanvas::reposition_all() {
    for (auto& [w, overlay] : overlays_) {
        reposition(const_cast<QWidget*>(w));
    }
}

bool PictureCanvas::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w != nullptr && drag_groups_.count(w) != 0 && handle_drag_event(w, event)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool PictureCanvas::handle_drag_event(QWidget* handle, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() != Qt::LeftButton) {
                return false;
            }
            drag_ = Drag{};
            drag_.handle = handle;
            drag_.press_global = e->globalPosition();
            for (QWidget* m : drag_groups_[handle]) {
                drag_.start.emplace_back(m, overlays_[m].at);
            }
            return true;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (drag_.handle != handle) {
                return false;
            }
            const QPointF delta = e->globalPosition() - drag_.press_global;
            for (const auto& [m, start] : drag_.start) {
                Overlay& o = overlays_[m];
                // A picture overlay moves in picture twips, which the zoom
                // makes smaller on the screen.
                const double scale = o.anchor == OverlayAnchor::Picture
                                         ? double(kTwipsPerPixel) / zoom_
                                         : double(kTwipsPerPixel);
                o.at = start + delta * scale;
                reposition(m);
            }
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (drag_.handle != handle || e->button() != Qt::LeftButton) {
                return false;
            }
            drag_ = Drag{};
            emit overlay_dragged(handle);
            return true;
        }
        default:
            return false;
    }
}

// --- View ------------------------------------------------------------------

const std::vector<int>& PictureCanvas::zoom_levels() {
    static const std::vector<int> levels{1, 2, 3, 4, 6, 8};
    return levels;
}

namespace {
// The smallest zoom a fit may give (a picture 20 times the window).
constexpr double kSmallestZoom = 0.05;
}  // namespace

void PictureCanvas::set_zoom(double zoom, std::optional<QPointF> keep) {
    fitting_ = false;
    const auto& levels = zoom_levels();
    apply_zoom(std::clamp(zoom, kSmallestZoom, double(levels.back())), keep);
}

void PictureCanvas::apply_zoom(double zoom, std::optional<QPointF> keep) {
    if (zoom == zoom_) {
        update_zoom_actions();
        return;
    }
    const QPointF anchor = keep.value_or(QPointF(width() / 2.0, height() / 2.0));
    // The picture point under the anchor, in picture pixels, stays under it.
    const QPointF picture_point = (anchor + QPointF(scroll_)) / zoom_;
    zoom_ = zoom;
    const QPointF scroll = picture_point * zoom_ - anchor;
    scroll_ = clamped(QPoint(int(std::lround(scroll.x())), int(std::lround(scroll.y()))));
    reposition_all();
    updateGeometry();
    update();
    if (pointer_) {
        track_pointer(*pointer_);
    }
    update_zoom_actions();
    emit zoom_changed(zoom_);
    emit view_changed();
}

void PictureCanvas::update_zoom_actions() {
    zoom_in_action_->setEnabled(zoom_ < zoom_levels().back());
    zoom_out_action_->setEnabled(zoom_ > zoom_levels().front() || fit_zoom() < zoom_);
}

double PictureCanvas::fit_zoom() const {
    if (picture_.isNull() || width() <= 0 || height() <= 0)
        return 1;
    const double fit =
        std::min(double(width()) / picture_.width(), double(height()) / picture_.height());
    if (fit >= 1)
        return std::min(std::floor(fit), double(zoom_levels().back()));
    return std::max(fit, kSmallestZoom);
}

void PictureCanvas::fit_to_window() {
    fitting_ = true;
    refit();
}

void PictureCanvas::refit() {
    apply_zoom(fit_zoom(), QPointF(0, 0));
    set_scroll_offset(QPoint(0, 0));
}

void PictureCanvas::zoom_in() {
    const auto& levels = zoom_levels();
    const auto next = std::upper_bound(levels.begin(), levels.end(), zoom_,
                                       [](double z, int level) { return z < level; });
    if (next != levels.end()) {
        set_zoom(*next, pointer_);
    }
}

void PictureCanvas::zoom_out() {
    const auto& levels = zoom_levels();
    const auto below = std::lower_bound(levels.begin(), levels.end(), zoom_,
                                        [](int level, double z) { return level < z; });
    if (below != levels.begin()) {
        set_zoom(*std::prev(below), pointer_);
    } else if (fit_zoom() < zoom_) {
        fit_to_window();
    }
}

QSize PictureCanvas::zoomed_size() const {
    // A hair under the exact product, so that a fitted picture is never one
    // pixel wider than the window that it fits.
    return QSize(int(std::ceil(picture_.width() * zoom_ - 1e-6)),
                 int(std::ceil(picture_.height() * zoom_ - 1e-6)));
}

QPoint PictureCanvas::clamped(QPoint scroll) const {
    const QSize content = zoomed_size();
    const int max_x = std::max(0, content.width() - width());
    const int max_y = std::max(0, content.height() - height());
    return QPoint(std::clamp(scroll.x(), 0, max_x), std::clamp(scroll.y(), 0, max_y));
}

void PictureCanvas::set_scroll_offset(QPoint offset) {
    const QPoint next = clamped(offset);
    if (next == scroll_) {
        return;
    }
    scroll_ = next;
    reposition_all();
    update();
    emit view_changed();
}

QPoint PictureCanvas::pixel_at(QPointF widget_pos) const {
    // The screen pixel under the pointer shows the picture pixel under its
    // centre: at whole zooms the pixel the pointer is on, below 1 the one the
    // painter samples for that screen pixel.
    const double sx = std::floor(widget_pos.x()) + 0.5 + scroll_.x();
    const double sy = std::floor(widget_pos.y()) + 0.5 + scroll_.y();
    return QPoint(int(std::floor(sx / zoom_)), int(std::floor(sy / zoom_)));
}

QPointF PictureCanvas::twips_at(QPointF widget_pos) const {
    return QPointF(pixel_at(widget_pos)) * kTwipsPerPixel;
}

QPointF PictureCanvas::widget_pos_of(QPointF twips) const {
    const QPointF pixel(std::floor(twips.x() / kTwipsPerPixel),
                        std::floor(twips.y() / kTwipsPerPixel));
    return pixel * zoom_ - QPointF(scroll_);
}

QSize PictureCanvas::sizeHint() const {
    if (picture_.isNull()) {
        return QSize(640, 480);
    }
    return zoomed_size();
}

void PictureCanvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.translate(-scroll_.x(), -scroll_.y());
    p.scale(zoom_, zoom_);
    const QRectF region = p.transform().inverted().mapRect(QRectF(event->rect()));
    render_scene(p, region.adjusted(-1, -1, 1, 1));
}

void PictureCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (fitting_)
        refit();
    const QPoint next = clamped(scroll_);
    if (next != scroll_) {
        scroll_ = next;
        reposition_all();
    }
    update_zoom_actions();
    emit view_changed();
}

// --- Pointer ---------------------------------------------------------------

CanvasMouseEvent PictureCanvas::make_event(const QMouseEvent& e, Qt::MouseButton button) const {
    CanvasMouseEvent out;
    const QPointF twips = twips_at(e.position());
    out.x = twips.x();
    out.y = twips.y();
    out.button = button;
    out.buttons = e.buttons();
    out.modifiers = e.modifiers();
    return out;
}

void PictureCanvas::mousePressEvent(QMouseEvent* event) {
    emit mouse_down(make_event(*event, event->button()));
}

void PictureCanvas::mouseMoveEvent(QMouseEvent* event) {
    track_pointer(event->position());
    emit mouse_move(make_event(*event, Qt::NoButton));
}

void PictureCanvas::mouseReleaseEvent(QMouseEvent* event) {
    emit mouse_up(make_event(*event, event->button()));
}

void PictureCanvas::wheelEvent(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // Zoom around the pointer, one level per notch.
        if (angle.y() > 0) {
            pointer_ = event->position();
            zoom_in();
        } else if (angle.y() < 0) {
            pointer_ = event->position();
            zoom_out();
        }
        event->accept();
        return;
    }
    QPoint step = event->pixelDelta();
    if (step.isNull()) {
        step = angle / 3;  // 40 logical pixels a notch
    }
    if (event->modifiers().testFlag(Qt::ShiftModifier)) {
        step = QPoint(step.y(), step.x());
    }
    set_scroll_offset(scroll_ - step);
    if (pointer_) {
        track_pointer(*pointer_);
    }
    event->accept();
}

void PictureCanvas::leaveEvent(QEvent* event) {
    pointer_.reset();
    loupe_->hide();
    QWidget::leaveEvent(event);
}

void PictureCanvas::hideEvent(QHideEvent* event) {
    pointer_.reset();
    loupe_->hide();
    QWidget::hideEvent(event);
}

void PictureCanvas::track_pointer(QPointF widget_pos) {
    pointer_ = widget_pos;
    if (loupe_on_) {
        loupe_->follow(pixel_at(widget_pos), mapToGlobal(widget_pos.toPoint()));
    }
}

void PictureCanvas::set_loupe_enabled(bool on) {
    loupe_on_ = on;
    if (loupe_action_->isChecked() != on) {
        loupe_action_->setChecked(on);  // re-enters here once, with nothing left to do
    }
    if (!on) {
        loupe_->hide();
    } else if (pointer_) {
        track_pointer(*pointer_);
    }
}

void PictureCanvas::scene_changed() {
    update();
    if (loupe_->isVisible()) {
        loupe_->update();
    }
}

// --- For tests and replays -------------------------------------------------

CanvasMouseEvent PictureCanvas::simulate_click(QPoint widget_pos, Qt::MouseButton button,
                                               Qt::KeyboardModifiers modifiers) {
    CanvasMouseEvent reported;
    const auto connection = connect(this, &PictureCanvas::mouse_down, this,
                                    [&reported](const CanvasMouseEvent& e) { reported = e; });
    const QPointF local(widget_pos);
    const QPointF global(mapToGlobal(widget_pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, modifiers);
    QApplication::sendEvent(this, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, modifiers);
    QApplication::sendEvent(this, &release);
    disconnect(connection);
    return reported;
}

CanvasMouseEvent PictureCanvas::simulate_move(QPoint widget_pos, Qt::MouseButtons buttons) {
    CanvasMouseEvent reported;
    const auto connection = connect(this, &PictureCanvas::mouse_move, this,
                                    [&reported](const CanvasMouseEvent& e) { reported = e; });
    const QPointF local(widget_pos);
    const QPointF global(mapToGlobal(widget_pos));
    QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(this, &move);
    disconnect(connection);
    return reported;
}

}  // namespace rs
