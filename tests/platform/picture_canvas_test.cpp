// The picture canvas: twips under zoom and scrolling, the size rule, the
// display list (toggling, removal and clearing leave no trace), overlays and
// their drag groups, the loupe, and the picture sources.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <cmath>
#include <memory>

#include "platform/loupe_widget.h"
#include "platform/picture_canvas_widget.h"
#include "platform/picture_view_widget.h"
#include "tests/support/fifo.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

constexpr std::uint32_t kRed = 255;
constexpr std::uint32_t kYellow = 65535;
constexpr std::uint32_t kWhite = 16777215;

// Every pixel a colour of its own, so a wrong pixel cannot go unnoticed.
QImage patterned(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 13) % 200));
        }
    }
    return img;
}

struct CanvasTest : ::testing::Test {
    CanvasTest() {
        canvas.resize(300, 200);
        canvas.set_picture(patterned(160, 120));
    }
    QImage shown() { return canvas.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    PictureCanvas canvas;
};

// --- Size rule and colours -----------------------------------------------

TEST(PictureSize, HundredthsOfAMillimetreRoundedThenScaledToTwips) {
    EXPECT_EQ(himetric_from_pixels(640), 16933);  // 16933.33
    EXPECT_EQ(himetric_from_pixels(480), 12700);
    EXPECT_EQ(himetric_from_pixels(12), 318);  // exactly 317.5: halves go up
    EXPECT_EQ(himetric_from_pixels(1), 26);    // 26.46
    EXPECT_EQ(himetric_from_pixels(0), 0);
    EXPECT_EQ(himetric_from_pixels(-5), 0);

    EXPECT_DOUBLE_EQ(picture_twips_from_pixels(640), 16933 * 15.0 / 26.5);
    EXPECT_NEAR(picture_twips_from_pixels(640), 9584.716981, 1e-6);
    EXPECT_NEAR(picture_twips_from_pixels(480), 7188.679245, 1e-6);
    EXPECT_DOUBLE_EQ(picture_twips_from_pixels(12), 318 * 15.0 / 26.5);

    PictureCanvas canvas;
    EXPECT_EQ(canvas.picture_width_twips(), 0.0);
    canvas.set_picture(patterned(640, 480));
    EXPECT_DOUBLE_EQ(canvas.picture_width_twips(), picture_twips_from_pixels(640));
    EXPECT_DOUBLE_EQ(canvas.picture_height_twips(), picture_twips_from_pixels(480));
    canvas.clear_picture();
    EXPECT_FALSE(canvas.has_picture());
    EXPECT_EQ(canvas.picture_height_twips(), 0.0);
}

TEST(PictureColours, RedInTheLowByte) {
    EXPECT_EQ(colour_from_stored(0), QColor(0, 0, 0));
    EXPECT_EQ(colour_from_stored(kRed), QColor(255, 0, 0));
    EXPECT_EQ(colour_from_stored(kYellow), QColor(255, 255, 0));
    EXPECT_EQ(colour_from_stored(kWhite), QColor(255, 255, 255));
    EXPECT_EQ(colour_from_stored(0xFF00FF), QColor(255, 0, 255));  // magenta
    EXPECT_EQ(stored_colour(QColor(0, 0, 255)), 0xFF0000u);
    EXPECT_EQ(stored_colour(colour_from_stored(0x123456)), 0x123456u);
}

// --- Twips under zoom and scrolling ----------------------------------------

TEST_F(CanvasTest, APictureThatIsNotAFileIsRefusedAtOnce) {
    test::TempDir dir;
    const std::string fifo = dir.file("fifo.bmp");
    ASSERT_TRUE(test::make_fifo(fifo));
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path()}) {
        std::string error;
        auto loaded =
            test::returns_at_once(fifo, [&] { return canvas.load_picture(path, &error); });
        ASSERT_TRUE(loaded) << path << " was waited on";
        EXPECT_FALSE(*loaded);
        EXPECT_EQ(error, "cannot read the picture " + path + ": not a regular file");
    }
    EXPECT_EQ(canvas.picture().width(), 160);  // the picture shown stays
}

TEST_F(CanvasTest, ClickReportsTwipsOfThePicturePixel) {
    const CanvasMouseEvent e = canvas.simulate_click(QPoint(10, 20));
    EXPECT_EQ(e.x, 150);
    EXPECT_EQ(e.y, 300);
    EXPECT_EQ(e.button, Qt::LeftButton);
    EXPECT_FALSE(e.shift());

    const CanvasMouseEvent right =
        canvas.simulate_click(QPoint(0, 0), Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(right.x, 0);
    EXPECT_EQ(right.button, Qt::RightButton);
    EXPECT_TRUE(right.shift());

    const CanvasMouseEvent move = canvas.simulate_move(QPoint(3, 4));
    EXPECT_EQ(move.x, 45);
    EXPECT_EQ(move.y, 60);
    EXPECT_EQ(move.button, Qt::NoButton);
}

TEST_F(CanvasTest, ZoomChangesTheViewNotTheTwips) {
    canvas.set_zoom(4, QPointF(0, 0));
    EXPECT_EQ(canvas.zoom(), 4);
    EXPECT_EQ(canvas.scroll_offset(), QPoint(0, 0));
    // Widget pixels 40..43 all show picture pixel 10.
    for (int wx : {40, 41, 43}) {
        EXPECT_EQ(canvas.simulate_click(QPoint(wx, 83)).x, 150) << wx;
    }
    EXPECT_EQ(canvas.simulate_click(QPoint(44, 83)).x, 165);
    EXPECT_EQ(canvas.simulate_click(QPoint(44, 83)).y, 300);

    // Scrolled: the offset adds before the zoom divides.
    canvas.set_scroll_offset(QPoint(100, 60));
    EXPECT_EQ(canvas.scroll_offset(), QPoint(100, 60));
    const CanvasMouseEvent e = canvas.simulate_click(QPoint(0, 0));
    EXPECT_EQ(e.x, 25 * 15);
    EXPECT_EQ(e.y, 15 * 15);
    EXPECT_EQ(canvas.widget_pos_of(QPointF(e.x, e.y)), QPointF(0, 0));
}

TEST_F(CanvasTest, EveryZoomShowsUnderThePointerThePixelTheClickReports) {
    canvas.set_picture(patterned(320, 240));  // fills the view at every zoom
    for (int zoom : PictureCanvas::zoom_levels()) {
        canvas.set_zoom(zoom, QPointF(137, 71));
        const QImage view = shown();
        for (QPoint at : {QPoint(0, 0), QPoint(137, 71), QPoint(299, 199), QPoint(58, 133)}) {
            const QPointF twips = canvas.twips_at(at);
            const QPoint pixel((twips / kTwipsPerPixel).toPoint());
            ASSERT_TRUE(canvas.picture().rect().contains(pixel)) << zoom;
            EXPECT_EQ(view.pixel(at), canvas.picture().pixel(pixel))
                << "zoom " << zoom << " at " << at.x() << "," << at.y();
            EXPECT_EQ(canvas.simulate_click(at).x, twips.x());
        }
    }
}

TEST_F(CanvasTest, ZoomKeepsThePictureUnderTheAnchorAndClampsScrolling) {
    const QPointF anchor(60, 40);
    const QPointF before = canvas.twips_at(anchor);
    canvas.set_zoom(3, anchor);
    EXPECT_EQ(canvas.scroll_offset(), QPoint(120, 80));
    EXPECT_EQ(canvas.twips_at(anchor), before);
    canvas.set_zoom(4, anchor);
    EXPECT_EQ(canvas.twips_at(anchor), before);
    // Around the view's centre when the pointer is not over the canvas.
    const QPointF centre(150, 100);
    const QPointF at_centre = canvas.twips_at(centre);
    canvas.zoom_in();
    EXPECT_EQ(canvas.zoom(), 6);
    EXPECT_EQ(canvas.twips_at(centre), at_centre);

    canvas.set_zoom(100);  // beyond the last level
    EXPECT_EQ(canvas.zoom(), 8);
    EXPECT_FALSE(canvas.zoom_in_action()->isEnabled());
    canvas.zoom_in();
    EXPECT_EQ(canvas.zoom(), 8);
    canvas.zoom_out_action()->trigger();
    EXPECT_EQ(canvas.zoom(), 6);
    canvas.zoom_in_action()->trigger();

    // Never scrolled past the picture's far edge, nor before its origin.
    canvas.set_scroll_offset(QPoint(100000, 100000));
    EXPECT_EQ(canvas.scroll_offset(), QPoint(160 * 8 - 300, 120 * 8 - 200));
    canvas.set_scroll_offset(QPoint(-5, -5));
    EXPECT_EQ(canvas.scroll_offset(), QPoint(0, 0));

    canvas.set_zoom(1);
    EXPECT_EQ(canvas.scroll_offset(), QPoint(0, 0));  // the whole picture fits
    canvas.zoom_out();
    EXPECT_EQ(canvas.zoom(), 1);
}

TEST_F(CanvasTest, CtrlWheelZoomsAroundThePointer) {
    const QPointF at(15, 30);
    const QPointF before = canvas.twips_at(at);
    QWheelEvent wheel(at, canvas.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &wheel);
    EXPECT_EQ(canvas.zoom(), 2);
    EXPECT_EQ(canvas.twips_at(at), before);
}

// Fitted to the window, a large picture shows whole; each screen pixel shows
// one picture pixel, and a click there reports exactly that pixel's twips.
TEST_F(CanvasTest, FitToWindowShowsUnderThePointerThePixelTheClickReports) {
    canvas.set_picture(patterned(1280, 720));
    canvas.fit_to_window();
    EXPECT_TRUE(canvas.fitting());
    EXPECT_DOUBLE_EQ(canvas.zoom(), 300.0 / 1280);  // the width limits it
    EXPECT_EQ(canvas.zoomed_size(), QSize(300, 169));
    EXPECT_EQ(canvas.scroll_offset(), QPoint(0, 0));
    const QImage view = shown();
    for (QPoint at :
         {QPoint(0, 0), QPoint(299, 168), QPoint(137, 71), QPoint(58, 133), QPoint(286, 152)}) {
        const QPointF twips = canvas.twips_at(at);
        EXPECT_EQ(std::fmod(twips.x(), 15.0), 0);
        const QPoint pixel((twips / kTwipsPerPixel).toPoint());
        ASSERT_TRUE(canvas.picture().rect().contains(pixel)) << at.x() << "," << at.y();
        EXPECT_EQ(view.pixel(at), canvas.picture().pixel(pixel)) << at.x() << "," << at.y();
        EXPECT_EQ(canvas.simulate_click(at).x, twips.x());
    }
    // Markers stay visible however small the picture is shown.
    canvas.draw(Figure::line(0, 300 * 15, 1279 * 15, 300 * 15, kYellow));
    const QImage marked = shown();
    const int row = int(std::floor(300.5 * canvas.zoom()));
    EXPECT_EQ(QColor(marked.pixel(150, row)), QColor(255, 255, 0));

    // A fit follows the window and the picture until another zoom is chosen.
    canvas.show();  // resized while shown, as on a screen
    canvas.resize(640, 200);
    EXPECT_DOUBLE_EQ(canvas.zoom(), 200.0 / 720);
    canvas.set_picture(patterned(100, 50));
    EXPECT_EQ(canvas.zoom(), 4);  // a small picture: the largest whole zoom
    canvas.set_picture(patterned(1280, 720));
    canvas.zoom_in();
    EXPECT_EQ(canvas.zoom(), 1);
    EXPECT_FALSE(canvas.fitting());
    canvas.resize(300, 200);
    EXPECT_EQ(canvas.zoom(), 1);
    // Zooming out below 1:1 is the fit.
    EXPECT_TRUE(canvas.zoom_out_action()->isEnabled());
    canvas.zoom_out();
    EXPECT_TRUE(canvas.fitting());
    EXPECT_FALSE(canvas.zoom_out_action()->isEnabled());
}

// The view's scroll bars show when the zoomed picture is larger than the
// room, and move the canvas's view as it moves them.
TEST(PictureViewBars, ShowWhenNeededAndScrollTheCanvas) {
    auto* canvas = new PictureCanvas;
    PictureView view(canvas);
    view.resize(300, 200);
    canvas->set_picture(patterned(160, 120));
    EXPECT_FALSE(view.horizontal_bar()->isVisibleTo(&view));
    EXPECT_FALSE(view.vertical_bar()->isVisibleTo(&view));
    EXPECT_EQ(canvas->size(), QSize(300, 200));

    canvas->set_zoom(2, QPointF(0, 0));  // 320 x 240
    ASSERT_TRUE(view.horizontal_bar()->isVisibleTo(&view));
    ASSERT_TRUE(view.vertical_bar()->isVisibleTo(&view));
    const int bar = view.vertical_bar()->width();
    EXPECT_EQ(canvas->size(), QSize(300 - bar, 200 - view.horizontal_bar()->height()));
    EXPECT_EQ(view.horizontal_bar()->maximum(), 320 - canvas->width());
    view.vertical_bar()->setValue(25);
    EXPECT_EQ(canvas->scroll_offset().y(), 25);
    EXPECT_EQ(canvas->twips_at(QPointF(0, 0)), QPointF(0, 12 * 15));
    canvas->set_scroll_offset(QPoint(7, 3));
    EXPECT_EQ(view.horizontal_bar()->value(), 7);
    EXPECT_EQ(view.vertical_bar()->value(), 3);

    canvas->fit_to_window();
    EXPECT_FALSE(view.horizontal_bar()->isVisibleTo(&view));
    EXPECT_FALSE(view.vertical_bar()->isVisibleTo(&view));
    EXPECT_EQ(canvas->size(), QSize(300, 200));
}

// --- Drawings ------------------------------------------------------------

TEST_F(CanvasTest, FiguresSitOnThePixelsTheyName) {
    canvas.draw(Figure::point(150, 300, kRed));
    canvas.draw(Figure::cross(600, 600, 45, kYellow));  // arms of 3 pixels
    canvas.draw(Figure::line(0, 1500, 150, 1500, kWhite));
    const QImage img = canvas.composed_image();
    const QRgb red = qRgb(255, 0, 0), yellow = qRgb(255, 255, 0), white = qRgb(255, 255, 255);
    EXPECT_EQ(img.pixel(10, 20), red);
    EXPECT_NE(img.pixel(11, 20), red);
    EXPECT_NE(img.pixel(10, 21), red);
    for (int d = -3; d <= 3; ++d) {
        EXPECT_EQ(img.pixel(40 + d, 40), yellow) << d;
        EXPECT_EQ(img.pixel(40, 40 + d), yellow) << d;
    }
    EXPECT_NE(img.pixel(44, 40), yellow);
    EXPECT_NE(img.pixel(41, 41), yellow);
    EXPECT_EQ(img.pixel(0, 100), white);
    EXPECT_EQ(img.pixel(10, 100), white);
    EXPECT_NE(img.pixel(10, 99), white);
    EXPECT_NE(img.pixel(10, 101), white);

    // Zoomed, the point covers the whole square of its pixel.
    canvas.set_zoom(3, QPointF(0, 0));
    const QImage view = shown();
    for (QPoint at : {QPoint(30, 60), QPoint(32, 62)}) {
        EXPECT_EQ(view.pixel(at), red);
    }
    EXPECT_NE(view.pixel(33, 60), red);
}

TEST_F(CanvasTest, DrawingAFigureTwiceRemovesIt) {
    const Figure marker = Figure::circle(1500, 900, 300, kWhite);
    EXPECT_TRUE(canvas.toggle(marker));
    EXPECT_EQ(canvas.figures().size(), 1u);
    EXPECT_FALSE(canvas.toggle(marker));
    EXPECT_TRUE(canvas.figures().empty());

    // The second drawing's colour and width do not matter; the shape does.
    canvas.toggle(Figure::line(0, 0, 1500, 900, kWhite));
    EXPECT_FALSE(canvas.toggle(Figure::line(0, 0, 1500, 900, 0xFF00FF, 3)));
    canvas.toggle(Figure::line(0, 0, 1500, 900, kWhite));
    EXPECT_FALSE(canvas.toggle(Figure::line(1500, 900, 0, 0, kWhite)));  // drawn back
    EXPECT_TRUE(canvas.figures().empty());

    // Not the same shape: each stays.
    canvas.toggle(Figure::cross(300, 300, 45, kRed));
    EXPECT_TRUE(canvas.toggle(Figure::cross(300, 300, 60, kRed)));
    EXPECT_TRUE(canvas.toggle(Figure::circle(300, 300, 45, kRed)));
    EXPECT_TRUE(canvas.toggle(Figure::cross(315, 300, 45, kRed)));
    EXPECT_EQ(canvas.figures().size(), 4u);

    // A figure drawn twice without toggling needs two removals.
    canvas.clear_drawings();
    canvas.draw(Figure::point(15, 15, kRed));
    canvas.draw(Figure::point(15, 15, kRed));
    EXPECT_TRUE(canvas.remove(Figure::point(15, 15, kRed)));
    EXPECT_EQ(canvas.figures().size(), 1u);
    EXPECT_TRUE(canvas.remove(Figure::point(15, 15, kRed)));
    EXPECT_FALSE(canvas.remove(Figure::point(15, 15, kRed)));
}

TEST_F(CanvasTest, RemovingOverlappingFiguresLeavesNoTrace) {
    const QImage bare = canvas.composed_image();
    const QImage bare_zoomed = [&] {
        canvas.set_zoom(2, QPointF(0, 0));
        QImage v = shown();
        canvas.set_zoom(1, QPointF(0, 0));
        return v;
    }();

    // Two markers crossing each other, as a moved buoy's old and new marker do.
    const Figure a = Figure::cross(900, 900, 300, kWhite, 2);
    const Figure b = Figure::circle(1050, 900, 300, kRed);
    const Figure c = Figure::line(0, 900, 2400, 900, kYellow);
    canvas.toggle(a);
    canvas.toggle(b);
    canvas.toggle(c);
    ASSERT_NE(canvas.composed_image(), bare);

    canvas.toggle(a);  // the others must stay whole where a crossed them
    PictureCanvas only_bc;
    only_bc.set_picture(canvas.picture());
    only_bc.draw(b);
    only_bc.draw(c);
    EXPECT_EQ(canvas.composed_image(), only_bc.composed_image());

    canvas.remove(c);
    canvas.toggle(b);
    EXPECT_EQ(canvas.composed_image(), bare);
    canvas.set_zoom(2, QPointF(0, 0));
    EXPECT_EQ(shown(), bare_zoomed);
}

TEST_F(CanvasTest, ClearingRemovesEveryDrawingButKeepsThePicture) {
    const QImage bare = canvas.composed_image();
    const QImage bare_view = shown();
    for (int i = 0; i < 20; ++i) {
        canvas.draw(Figure::circle(150.0 * i, 100.0 * i, 200, kWhite, 1 + i % 3));
        canvas.draw(Figure::point(75.0 * i, 45, kRed, 2));
    }
    canvas.clear_drawings();
    EXPECT_TRUE(canvas.figures().empty());
    EXPECT_EQ(canvas.composed_image(), bare);
    EXPECT_EQ(shown(), bare_view);

    // A new picture keeps the drawings, which are the screen's markers.
    canvas.draw(Figure::point(15, 15, kRed));
    canvas.set_picture(patterned(50, 40));
    EXPECT_EQ(canvas.figures().size(), 1u);
    EXPECT_EQ(canvas.composed_image().pixel(1, 1), qRgb(255, 0, 0));
}

TEST_F(CanvasTest, ShapesOutliveClearingAndMoveByName) {
    const QImage bare = canvas.composed_image();
    canvas.set_shape("lineHorizontalImpact", Figure::line(300, 300, 150, 300, kYellow, 2));
    canvas.draw(Figure::cross(900, 900, 60, kWhite));
    canvas.clear_drawings();
    ASSERT_TRUE(canvas.shape("lineHorizontalImpact").has_value());
    EXPECT_EQ(canvas.composed_image().pixel(15, 20), qRgb(255, 255, 0));

    // Moved: nothing left where it was.
    canvas.set_shape("lineHorizontalImpact", Figure::line(1500, 1200, 1350, 1200, kYellow, 2));
    EXPECT_NE(canvas.composed_image().pixel(15, 20), qRgb(255, 255, 0));
    EXPECT_EQ(canvas.composed_image().pixel(95, 80), qRgb(255, 255, 0));
    canvas.set_shape_visible("lineHorizontalImpact", false);
    EXPECT_FALSE(canvas.shape_visible("lineHorizontalImpact"));
    EXPECT_EQ(canvas.composed_image(), bare);
    canvas.set_shape_visible("lineHorizontalImpact", true);
    canvas.remove_shape("lineHorizontalImpact");
    EXPECT_FALSE(canvas.shape("lineHorizontalImpact").has_value());
    EXPECT_EQ(canvas.composed_image(), bare);
}

// --- Overlays ------------------------------------------------------------

TEST_F(CanvasTest, OverlaysSitAtTwipsAndFollowTheirAnchor) {
    auto* label = new QLabel("<-Check Buoy Should Be Here");
    auto* group = new QLabel("Micro-Adjust (drag-it)", &canvas);
    canvas.place_overlay(label, QPointF(300, 150));
    canvas.place_overlay(group, QPointF(1500, 750), OverlayAnchor::Window);
    EXPECT_EQ(label->parentWidget(), &canvas);
    EXPECT_FALSE(label->isHidden());
    EXPECT_EQ(label->pos(), QPoint(20, 10));
    EXPECT_EQ(group->pos(), QPoint(100, 50));

    canvas.set_zoom(2, QPointF(0, 0));
    EXPECT_EQ(label->pos(), QPoint(40, 20));
    EXPECT_EQ(group->pos(), QPoint(100, 50));
    EXPECT_EQ(canvas.overlay_position(label), QPointF(300, 150));

    canvas.move_overlay(label, QPointF(450, 150));
    EXPECT_EQ(label->pos(), QPoint(60, 20));

    // A hidden label stays hidden when placed.
    auto* hidden = new QLabel("GRID LOCKED!");
    hidden->hide();
    canvas.place_overlay(hidden, QPointF(0, 0));
    EXPECT_TRUE(hidden->isHidden());

    delete label;
    EXPECT_FALSE(canvas.overlay_position(label).has_value());
}

TEST_F(CanvasTest, DraggingAHandleMovesItsGroupAndNotThePicturePoint) {
    auto* handle = new QLabel("Micro-Adjust (drag-it)", &canvas);
    auto* up = new QLabel("^", &canvas);
    auto* pointer = new QLabel("<-", &canvas);
    handle->move(60, 100);
    canvas.place_overlay(up, QPointF(1200, 1500), OverlayAnchor::Window);
    canvas.place_overlay(pointer, QPointF(300, 300), OverlayAnchor::Picture);
    canvas.add_drag_group(handle, {up, pointer});
    EXPECT_EQ(canvas.overlay_position(handle), QPointF(900, 1500));
    canvas.set_zoom(3, QPointF(0, 0));

    int clicks = 0;
    QWidget* dragged = nullptr;
    QObject::connect(&canvas, &PictureCanvas::mouse_down,
                     [&](const CanvasMouseEvent&) { ++clicks; });
    QObject::connect(&canvas, &PictureCanvas::overlay_dragged, [&](QWidget* w) { dragged = w; });

    const QPointF g = handle->mapToGlobal(QPointF(5, 5));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), g, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(handle, &press);
    EXPECT_TRUE(canvas.dragging());
    QMouseEvent move(QEvent::MouseMove, QPointF(35, 20), g + QPointF(30, 15), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(35, 20), g + QPointF(30, 15),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &release);

    EXPECT_FALSE(canvas.dragging());
    EXPECT_EQ(dragged, handle);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(handle->pos(), QPoint(90, 115));
    EXPECT_EQ(up->pos(), QPoint(110, 115));
    EXPECT_EQ(canvas.overlay_position(up), QPointF(1200 + 450, 1500 + 225));
    // On the picture, 30 screen pixels at zoom 3 are 10 picture pixels.
    EXPECT_EQ(canvas.overlay_position(pointer), QPointF(300 + 150, 300 + 75));
    EXPECT_EQ(pointer->pos(), QPoint(90, 75));
}

// --- Loupe ---------------------------------------------------------------

TEST_F(CanvasTest, LoupeFollowsThePointerAndMagnifiesThePixelUnderIt) {
    LoupeWidget* loupe = canvas.loupe();
    ASSERT_NE(loupe, nullptr);
    canvas.show();
    canvas.simulate_move(QPoint(50, 40));
    EXPECT_FALSE(loupe->isVisible());  // off until turned on

    canvas.set_loupe_enabled(true);
    canvas.draw(Figure::point(51 * 15, 41 * 15, kRed));
    canvas.set_zoom(2, QPointF(0, 0));
    canvas.simulate_move(QPoint(101, 81));
    ASSERT_TRUE(loupe->isVisible());
    EXPECT_EQ(loupe->pixel(), QPoint(50, 40));
    EXPECT_FALSE(loupe->geometry().contains(canvas.mapToGlobal(QPoint(101, 81))));

    const QImage view = loupe->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect centre = loupe->centre_pixel_rect();
    const int m = loupe->magnification();
    EXPECT_EQ(view.pixel(centre.center()), canvas.picture().pixel(50, 40));
    EXPECT_EQ(view.pixel(centre.center() + QPoint(-m, -2 * m)), canvas.picture().pixel(49, 38));
    // Drawings show in the loupe too: the red point one pixel right and down.
    EXPECT_EQ(view.pixel(centre.center() + QPoint(m, m)), qRgb(255, 0, 0));

    canvas.loupe_action()->trigger();  // the menu entry turns it off
    EXPECT_FALSE(canvas.loupe_enabled());
    EXPECT_FALSE(loupe->isVisible());
    canvas.set_loupe_enabled(true);
    EXPECT_TRUE(canvas.loupe_action()->isChecked());
    EXPECT_TRUE(loupe->isVisible());  // back where the pointer still is
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&canvas, &leave);
    EXPECT_FALSE(loupe->isVisible());
}

// --- Picture sources -----------------------------------------------------

TEST(PictureSources, LoadsBmpJpegAndGifAndKeepsThePictureOnFailure) {
    test::TempDir dir;
    const QImage source = patterned(64, 48);
    PictureCanvas canvas;
    for (const char* name : {"a.bmp", "a.jpg"}) {
        const std::string path = dir.file(name);
        ASSERT_TRUE(source.save(QString::fromStdString(path))) << name;
        std::string error;
        ASSERT_TRUE(canvas.load_picture(path, &error)) << name << ": " << error;
        EXPECT_EQ(canvas.picture_pixels(), QSize(64, 48)) << name;
    }
    // Qt reads GIF but does not write it: a 1 x 1 GIF made by hand.
    const std::string gif(
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
        "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
        35);
    test::spit(dir.file("a.gif"), gif);
    std::string gif_error;
    ASSERT_TRUE(canvas.load_picture(dir.file("a.gif"), &gif_error)) << gif_error;
    EXPECT_EQ(canvas.picture_pixels(), QSize(1, 1));

    ASSERT_TRUE(canvas.load_picture(dir.file("a.bmp")));
    EXPECT_EQ(canvas.composed_image(), source);  // BMP is exact

    std::string error;
    EXPECT_FALSE(canvas.load_picture(dir.file("missing.bmp"), &error));
    EXPECT_NE(error.find("missing.bmp"), std::string::npos) << error;
    test::spit(dir.file("broken.bmp"), "BM not really a bitmap");
    EXPECT_FALSE(canvas.load_picture(dir.file("broken.bmp"), &error));
    EXPECT_EQ(canvas.composed_image(), source);  // unchanged
}

TEST(PictureSources, PastesTheClipboardPictureAndRefusesText) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    PictureCanvas canvas;
    canvas.set_picture(patterned(20, 10));

    clipboard->setText("not a picture");
    std::string error;
    EXPECT_FALSE(canvas.paste_clipboard(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(canvas.picture_pixels(), QSize(20, 10));

    const QImage pasted = patterned(33, 22);
    clipboard->setImage(pasted);
    ASSERT_TRUE(canvas.paste_clipboard(&error)) << error;
    EXPECT_EQ(canvas.composed_image(), pasted);
    clipboard->clear();
}

}  // namespace
}  // namespace rs
