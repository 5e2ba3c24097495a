#pragma once
// PictureCanvas: the picture a screen measures on, with everything drawn over
// it. Used by every screen that shows a picture (grid set-up, measurement,
// calibration lines).
//
// Coordinates are twips of the picture: 15 per picture pixel, the picture's
// top-left pixel at (0, 0), whatever the display's scaling and the canvas's
// zoom. A click reports the twips of the picture pixel under the pointer
// (pixel * 15), so a set-up made at one zoom, on one machine, measures the
// same at any other.
//
// Drawings are a display list of figures repainted over the picture on every
// paint, never pixels written into it: removing a figure, or clearing them
// all, leaves exactly the picture (and the other figures) behind. Drawing a
// figure a second time with `toggle` removes it, like the inverting pen the
// screens' marker logic was designed around.
//
// Shapes are named figures that stand for the screens' line controls (the
// measurement screen's impact marker): they are moved, restyled or hidden by
// name and survive clear_drawings(), and they lie above the drawings.
//
// Child widgets (labels, groups of controls) are placed at twips positions as
// overlays; some of them are drag handles the operator uses to move a group
// out of the way. The canvas owns its loupe, a magnifier window that follows
// the pointer.

#include <QAction>
#include <QImage>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace rs {

class LoupeWidget;

inline constexpr int kTwipsPerPixel = 15;

// A picture's size as picture objects report it, in hundredths of a
// millimetre at 96 dots per inch: round(pixels x 2540 / 96), halves up.
int himetric_from_pixels(int pixels);
// The program's picture size in twips: hundredths of a millimetre x 15 / 26.5
// (26.5 hundredths taken as one pixel). Slightly less than pixels x 15; the
// set-up checks and stored set-ups are made with this figure.
double picture_twips_from_pixels(int pixels);

// Colours are stored the program's way: 24 bits, red in the low byte
// (black 0, red 255, yellow 65535, white 16777215).
QColor colour_from_stored(std::uint32_t stored);
std::uint32_t stored_colour(const QColor& colour);

// One figure of the display list. Positions and sizes are twips; width is the
// pen width in picture pixels (the screens' DrawWidth).
struct Figure {
    enum class Kind { Point, Line, Circle, Cross };

    Kind kind = Kind::Point;
    double x1 = 0;  // point, centre of a circle or cross, start of a line
    double y1 = 0;
    double x2 = 0;  // end of a line
    double y2 = 0;
    double size = 0;  // circle radius, cross arm (centre to tip)
    std::uint32_t colour = 0;
    int width = 1;

    static Figure point(double x, double y, std::uint32_t colour, int width = 1);
    static Figure line(double x1, double y1, double x2, double y2, std::uint32_t colour,
                       int width = 1);
    static Figure circle(double x, double y, double radius, std::uint32_t colour, int width = 1);
    static Figure cross(double x, double y, double arm, std::uint32_t colour, int width = 1);

    // Same kind and geometry; colour and width do not matter, as with an
    // inverting pen, so a figure can be removed by drawing it in any colour.
    bool same_shape(const Figure& other) const;
    bool operator==(const Figure& other) const;
};

// A mouse event on the picture.
struct CanvasMouseEvent {
    double x = 0;  // twips of the picture pixel under the pointer
    double y = 0;
    Qt::MouseButton button = Qt::NoButton;  // pressed or released; none for a move
    Qt::MouseButtons buttons;               // held at the time of the event
    Qt::KeyboardModifiers modifiers;

    bool shift() const { return modifiers.testFlag(Qt::ShiftModifier); }
};

// Where an overlay is anchored: to the picture (it moves with zoom and
// scrolling, like a label pointing at a buoy) or to the canvas window (a group
// of controls, which stays where the operator put it).
enum class OverlayAnchor { Picture, Window };

class PictureCanvas final : public QWidget {
    Q_OBJECT
  public:
    explicit PictureCanvas(QWidget* parent = nullptr);
    ~PictureCanvas() override;

    // --- The picture -------------------------------------------------------
    // BMP, JPEG or GIF. On failure the picture stays as it was and error says
    // what failed on which file.
    [[nodiscard]] bool load_picture(const std::string& path, std::string* error = nullptr);
    // The clipboard's picture; false (picture unchanged) when it holds none.
    [[nodiscard]] bool paste_clipboard(std::string* error = nullptr);
    void set_picture(const QImage& picture);
    void clear_picture();  // an empty picture
    // The drawings and shapes are kept through every change of picture: they
    // are the screen's markers, which the screen redraws or clears itself.

    bool has_picture() const { return !picture_.isNull(); }
    const QImage& picture() const { return picture_; }
    QSize picture_pixels() const { return picture_.size(); }
    // By the size rule above; 0 for an empty picture.
    double picture_width_twips() const;
    double picture_height_twips() const;

    // --- Drawings ----------------------------------------------------------
    void draw(const Figure& figure);  // adds, even when the same figure is there
    // Removes the latest figure of the same shape when there is one, else adds
    // it. True when the figure was added. Removing a figure that may never have
    // been drawn (a first "erase" of nothing) is remove()'s work: toggle would
    // draw it.
    bool toggle(const Figure& figure);
    bool remove(const Figure& figure);  // the latest of the same shape
    void clear_drawings();
    const std::vector<Figure>& figures() const { return figures_; }

    // Named shapes: set_shape places (or replaces) and shows one.
    void set_shape(const std::string& name, const Figure& figure);
    void set_shape_visible(const std::string& name, bool visible);
    void remove_shape(const std::string& name);
    std::optional<Figure> shape(const std::string& name) const;
    bool shape_visible(const std::string& name) const;

    // The picture with the drawings and visible shapes, one picture pixel per
    // image pixel (null for an empty picture). Overlay widgets are not part
    // of it.
    QImage composed_image() const;
    // Paints the picture and the drawings, the background colour around them,
    // with the painter already mapped to picture pixels; `region` (picture
    // pixels) bounds the work. Shared by the canvas and its loupe.
    void render_scene(QPainter& painter, const QRectF& region) const;

    // --- Overlays ----------------------------------------------------------
    // Makes w a child of the canvas with its top-left at twips `at`. A widget
    // that was not explicitly hidden is shown.
    void place_overlay(QWidget* w, QPointF at, OverlayAnchor anchor = OverlayAnchor::Picture);
    // Moves a placed overlay (placing it on the picture when it was not).
    void move_overlay(QWidget* w, QPointF at);
    std::optional<QPointF> overlay_position(const QWidget* w) const;
    // Pressing the left button on `handle` and moving drags the handle and its
    // companions by the pointer's displacement; releasing ends the drag.
    // Members not placed yet are placed where they are, anchored to the window.
    void add_drag_group(QWidget* handle, const std::vector<QWidget*>& companions);
    bool dragging() const { return drag_.handle != nullptr; }

    // --- View: zoom and scrolling -----------------------------------------
    // The zoom levels are whole numbers: each picture pixel is zoom x zoom
    // logical pixels, so pixel edges fall on screen pixels. Fitting a large
    // picture to the window gives a zoom below 1, where one screen pixel
    // shows one of several picture pixels; at every zoom a click reports the
    // picture pixel shown under the pointer, so its twips stay exact.
    double zoom() const { return zoom_; }
    static const std::vector<int>& zoom_levels();
    // Keeps the picture point under `keep` (widget position; the view centre
    // when not given) where it is. Ends fitting to the window.
    void set_zoom(double zoom, std::optional<QPointF> keep = std::nullopt);
    void zoom_in();   // the next level, around the pointer when it is over the canvas
    void zoom_out();  // the previous level (below 1: fit to the window), likewise
    // The zoom at which the whole picture fits the canvas: a whole level when
    // the picture is smaller than the canvas, else the fraction that fits.
    double fit_zoom() const;
    // Fits the picture to the window, and keeps it fitted as the window or the
    // picture changes, until another zoom is chosen.
    void fit_to_window();
    bool fitting() const { return fitting_; }
    QPoint scroll_offset() const { return scroll_; }
    void set_scroll_offset(QPoint offset);  // clamped to the zoomed picture
    // The zoomed picture's size in logical pixels: what scrolling moves over.
    QSize zoomed_size() const;

    // Twips of the picture pixel shown at a widget position.
    QPointF twips_at(QPointF widget_pos) const;
    // Widget position of the top-left corner of the pixel holding `twips`.
    QPointF widget_pos_of(QPointF twips) const;

    // --- Loupe ------------------------------------------------------------
    void set_loupe_enabled(bool on);
    bool loupe_enabled() const { return loupe_on_; }
    LoupeWidget* loupe() const { return loupe_; }

    // The view commands, for a screen's menu; their shortcuts work while the
    // canvas's window is active: zoom in (Ctrl++), zoom out (Ctrl+-), actual
    // size (Ctrl+0), loupe on and off (Ctrl+L, checkable).
    QAction* zoom_in_action() const { return zoom_in_action_; }
    QAction* zoom_out_action() const { return zoom_out_action_; }
    QAction* actual_size_action() const { return actual_size_action_; }
    QAction* fit_action() const { return fit_action_; }  // Ctrl+9
    QAction* loupe_action() const { return loupe_action_; }

    // --- For tests and replays --------------------------------------------
    // Sends a press and a release at a widget position through the event
    // path; returns what the press reported.
    CanvasMouseEvent simulate_click(QPoint widget_pos, Qt::MouseButton button = Qt::LeftButton,
                                    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    CanvasMouseEvent simulate_move(QPoint widget_pos, Qt::MouseButtons buttons = Qt::NoButton);

    QSize sizeHint() const override;

  signals:
    void mouse_down(const rs::CanvasMouseEvent& event);
    void mouse_move(const rs::CanvasMouseEvent& event);
    void mouse_up(const rs::CanvasMouseEvent& event);
    void zoom_changed(double zoom);
    // The zoom, the scrolling, the picture or the canvas's size changed.
    void view_changed();
    void overlay_dragged(QWidget* handle);  // at the end of a drag

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Overlay {
        QPointF at;  // twips
        OverlayAnchor anchor = OverlayAnchor::Picture;
    };
    struct Drag {
        QWidget* handle = nullptr;
        QPointF press_global;
        std::vector<std::pair<QWidget*, QPointF>> start;  // member, twips at the press
    };

    CanvasMouseEvent make_event(const QMouseEvent& e, Qt::MouseButton button) const;
    QPoint pixel_at(QPointF widget_pos) const;
    void reposition(QWidget* w);
    void reposition_all();
    QPoint clamped(QPoint scroll) const;
    void apply_zoom(double zoom, std::optional<QPointF> keep);
    void refit();
    void update_zoom_actions();
    void scene_changed();
    void track_pointer(QPointF widget_pos);
    bool handle_drag_event(QWidget* handle, QEvent* event);

    QImage picture_;
    std::vector<Figure> figures_;
    struct Shape {
        std::string name;
        Figure figure;
        bool visible = true;
    };
    std::vector<Shape> shapes_;  // in the order first set, later ones on top
    double zoom_ = 1;
    bool fitting_ = false;
    QPoint scroll_;  // logical pixels of the zoomed picture left of and above the view

    std::unordered_map<const QWidget*, Overlay> overlays_;
    std::unordered_map<const QWidget*, std::vector<QWidget*>> drag_groups_;  // handle -> members
    Drag drag_;

    LoupeWidget* loupe_ = nullptr;  // a child window, deleted with the canvas
    QAction* zoom_in_action_ = nullptr;
    QAction* zoom_out_action_ = nullptr;
    QAction* actual_size_action_ = nullptr;
    QAction* fit_action_ = nullptr;
    QAction* loupe_action_ = nullptr;
    bool loupe_on_ = false;
    std::optional<QPointF> pointer_;  // last pointer position over the canvas
};

}  // namespace rs
