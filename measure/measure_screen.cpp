#include "measure/measure_screen.h"

#include <cmath>

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/app.h"
#include "app/log_view.h"
#include "app/main_screen.h"
#include "app/screen_widgets.h"
#include "core/text_forms.h"
#include "grid/calibration_screen.h"
#include "grid/distance_uncertainty.h"
#include "measure/camera_check.h"
#include "measure/camera_check_view.h"
#include "measure/impact_marker.h"
#include "measure/live_pictures.h"
#include "measure/results_screen.h"
#include "platform/paths.h"
#include "platform/picture_canvas_widget.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"

namespace rs {

namespace {

using namespace widgets;
using Widgets = std::initializer_list<QWidget*>;

constexpr double kPixel = 15;  // twips: one nudge
constexpr int kOverlayWidth = 2;

// The marker's line controls, drawn as named shapes over the picture.
constexpr const char* kMarkerShapes[] = {"lineHorizontalImpact", "lineVerticalImpact",
                                         "lineVerticalImpactbottom", "lineSplashIndicator",
                                         "impactpoint"};

QString label_style(std::uint32_t colour, bool on_picture) {
    return "color: " + colour_from_stored(colour).name() +
           (on_picture ? "; background: transparent; font-weight: bold;" : ";");
}

// The drag handles over the picture keep a dark ground so they read on any
// water.
bool is_handle(const QWidget* w) {
    const QString n = w->objectName();
    return n == "AdjustmentLabel" || n == "CrossLabel" || n == "gridlabel";
}

QString style_for(const QWidget* w, std::uint32_t colour, const QWidget* picture) {
    if (is_handle(w))
        return "color: " + colour_from_stored(colour).name() + "; background: black;";
    return label_style(colour, w->parentWidget() == picture);
}

bool ends_with_bmp(const std::string& path) {
    if (path.size() < 4)
        return false;
    return to_lower(path.substr(path.size() - 4)) == ".bmp";
}

}  // namespace

Measure::Measure(App& app) : app_(app) {
    setObjectName("Measure");
    setWindowTitle("Measure");
    build();
}

Measure::~Measure() = default;

// --- Mirroring -------------------------------------------------------------------

MeasureContext Measure::context() {
    return MeasureContext{form_,         app_.grids(),     app_.configuration(),
                          app_.shared(), app_.dialogs(),   app_.files(),
                          app_.clock(),  app_.debug_log(), app_.paths()};
}

void Measure::show_distance(const std::string& meters, const std::string& feet) {
    distance->setText(QString::fromStdString(meters));
    distance_ft->setText(QString::fromStdString(feet));
    // The uncertainty belongs to the distance it was computed with; any
    // other text in the box (a typed distance, "m", nothing) shows none.
    const bool ours = form_.uncertainty && form_.uncertainty_of == meters;
    lblUncertainty->setText(ours ? QString::fromStdString(uncertainty_text(*form_.uncertainty))
                                 : QString());
    lblUncertainty->setVisible(ours);
}

void Measure::select_option(ResultOption option) {
    QRadioButton* chosen = nullptr;
    switch (option) {
        case ResultOption::JumpOK:
            chosen = optJumpOK;
            break;
        case ResultOption::Pass:
            chosen = Pass;
            break;
        case ResultOption::Fall:
            chosen = Fall;
            break;
        case ResultOption::O_reride:
            chosen = O_reride;
            break;
        case ResultOption::M_Reride:
            chosen = M_Reride;
            break;
        case ResultOption::Other_Grid:
            chosen = Other_Grid;
            break;
        case ResultOption::Make_comment:
            chosen = Make_comment;
            break;
        case ResultOption::None:
            break;
    }
    if (chosen) {
        chosen->setChecked(true);
        return;
    }
    // No option selected: an exclusive group keeps one, so it lets go a moment.
    results_group_->setExclusive(false);
    for (QAbstractButton* b : results_group_->buttons())
        b->setChecked(false);
    results_group_->setExclusive(true);
}

void Measure::show_form() {
    syncing_ = true;
    auto set_text = [](QLineEdit* e, const std::string& text) {
        const QString t = QString::fromStdString(text);
        if (e->text() != t)
            e->setText(t);
    };
    const QString skier = QString::fromStdString(form_.Skier_name);
    if (Skier_name->currentText() != skier)
        Skier_name->setEditText(skier);
    set_text(Jump_no, form_.Jump_no);
    set_text(Comment, form_.Comment);
    Comment->setVisible(form_.Comment_visible);
    lblComment->setVisible(form_.Comment_visible);
    show_distance(form_.distance, form_.distance_ft);
    select_option(form_.option);
    verify->setText(form_.verify ? "Verify off" : "Verify");
    for (QWidget* w : Widgets{xtwips, ytwips, xposition, yposition, VerifyDistance, UnofficialJump})
        w->setVisible(form_.verify);
    FrozenSign->setVisible(form_.frozen);
    set_text(gif_file_name, form_.gif_file_name);
    gif_file_name->setVisible(form_.gif_file_name_visible);
    syncing_ = false;
}

void Measure::status(const std::string& text) {
    if (text.empty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(QString::fromStdString(text));
}

// --- Load and activation -----------------------------------------------------------

void Measure::Form_Load() {
    form_.option = ResultOption::JumpOK;
    form_.Comment.clear();
    form_.last_drawn = {0, 0};
    form_.impact.reset();
    grid_description->hide();
    FrozenSign->hide();
    for (QWidget* w : Widgets{AdjustLeft, AdjustRight, AdjustUp, AdjustDown, AdjustmentLabel})
        w->hide();
    // MaskLine belongs to the overlay and stays hidden over the picture.
    picture->set_shape("MaskLine", Figure::line(0, 0, 0, 0, app_.configuration().impact_color));
    picture->set_shape_visible("MaskLine", false);
    for (const auto& [name, placed] : app_.configuration().measure_buoy_labels) {
        if (auto* l = findChild<QLabel*>(QString::fromStdString(name))) {
            l->setText(QString::fromStdString(placed.caption));
            picture->move_overlay(l, QPointF(placed.left, placed.top));
        }
    }
    apply_configuration();
    show_form();
}

void Measure::apply_configuration() {
    const Configuration& cfg = app_.configuration();
    // The grid count and the current grid may have changed on the
    // configuration and set-up screens since this screen was last shown.
    Set_grid->setText(QString::fromStdString("&Grid " + std::to_string(app_.grids().current)));
    Set_grid->setVisible(app_.shared().grid_count != 1);
    barefoot_indicator->setVisible(cfg.barefoot_indicator_visible);
    if (!cfg.barefoot_indicator_text.empty())
        barefoot_indicator->setText(QString::fromStdString(cfg.barefoot_indicator_text));
    for (const auto& [name, colour] : cfg.measure_label_colors) {
        QWidget* w = findChild<QWidget*>(QString::fromStdString(name));
        if (!w)
            continue;
        w->setStyleSheet(style_for(w, colour, picture));
    }
    // Labels the configuration has not coloured yet take their own colours.
    for (QWidget* w : Widgets{AdjustmentLabel, CrossLabel, FrozenSign, maxbuoy, maxbuoym, minbuoy,
                              minbuoym, IWSFlabel, AWSAlabel, optJumpOK, Pass, Fall, O_reride,
                              M_Reride, Other_Grid, Make_comment}) {
        const std::string name = w->objectName().toStdString();
        if (cfg.measure_label_colors.count(name))
            continue;
        const std::uint32_t own = w == M_Reride ? kRed : w == O_reride ? kYellow : kWhite;
        w->setStyleSheet(style_for(w, own, picture));
    }
    for (QLabel* l :
         {AdjustmentLabel, CrossLabel, FrozenSign, maxbuoy, maxbuoym, minbuoy, minbuoym})
        l->adjustSize();
    gridlabel->setStyleSheet(style_for(gridlabel, overlay_colour(), picture));
    gridlabel->adjustSize();

    // The skier list, kept in file order, without disturbing a name typed.
    QStringList names;
    for (const std::string& n : cfg.skier_names)
        names << QString::fromStdString(n);
    QStringList shown;
    for (int i = 0; i < Skier_name->count(); ++i)
        shown << Skier_name->itemText(i);
    if (names != shown) {
        syncing_ = true;
        const QString typed = Skier_name->currentText();
        Skier_name->clear();
        Skier_name->addItems(names);
        Skier_name->setEditText(typed);
        syncing_ = false;
    }
    picture->set_loupe_enabled(cfg.use_loupe);
}

void Measure::Form_Activate() {
    SharedValues& shared = app_.shared();
    const std::string capture = join_path(app_.paths().app_folder, kCaptureFile);
    if (shared.navigation_state == "SelectFrame") {
        std::string error;
        if (!load_picture_file(capture, &error)) {
            app_.WriteDebugLog("Measure picture not loaded: " + error);
            app_.dialogs().ok("The picture of the chosen frame could not be shown: " + error,
                              MsgIcon::Exclamation);
        } else {
            from_frame_ = true;
            check_camera_now();
        }
    }
    apply_configuration();
    show_the_grid();
    keyTimer->start();
    app_.WriteDebugLog("Measure form Activated - picture loaded - " + capture);
    show_form();
}

void Measure::Form_GotFocus() {
    keyTimer->start();
}

void Measure::Form_LostFocus() {
    keyTimer->stop();
}

void Measure::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void Measure::hideEvent(QHideEvent* event) {
    keyTimer->stop();
    QMainWindow::hideEvent(event);
}

void Measure::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            Form_GotFocus();
        else
            Form_LostFocus();
    }
    QMainWindow::changeEvent(event);
}

void Measure::closeEvent(QCloseEvent* event) {
    // Closing the window is leaving it: the main screen takes over.
    event->ignore();
    Exit_Click();
}

// --- The picture ---------------------------------------------------------------------

void Measure::set_picture_size() {
    SetupForm& f = app_.setup_form();
    f.txtPicWidth = signed_number(picture->picture_width_twips());
    f.txtPicHeight = signed_number(picture->picture_height_twips());
}

bool Measure::load_picture_file(const std::string& path, std::string* error) {
    from_frame_ = false;
    if (!picture->load_picture(path, error))
        return false;
    set_picture_size();
    picture_file_ = path;
    form_.recorded = false;
    form_.camera_moved_px.reset();
    return true;
}

void Measure::check_camera_now() {
    if (!picture->has_picture())
        return;
    MeasureContext ctx = context();
    (void)check_camera(ctx, picture24_of(picture->picture()));
}

PictureSourceFn Measure::shown_picture() const {
    return [this]() -> std::optional<PictureSource> {
        if (!picture->has_picture())
            return std::nullopt;
        if (!picture_file_.empty() && ends_with_bmp(picture_file_) && FileExists(picture_file_))
            return PictureSource{picture_file_, {}};
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!picture->picture().save(&buffer, "BMP"))
            return std::nullopt;
        return PictureSource{{}, bytes.toStdString()};
    };
}

AuditFacts Measure::audit_facts() const {
    AuditFacts f;
    const SharedValues& shared = app_.shared();
    f.results_file_path = shared.results_file_path;
    if (from_frame_) {
        f.video_path = shared.current_video_path;
        f.frame = shared.current_frame_number;
    }
    if (const auto shown = shown_picture()()) {
        f.picture_path = shown->path;
        f.picture_bytes = shown->bytes;
    }
    const GridState& g = app_.grids();
    f.coefficients = g.working.c;
    f.jump_x = g.working.jump_x;
    f.jump_y = g.working.jump_y;
    f.setup_file = g.grid(g.current).setup_file;
    f.kind = jump_kind_from_text(app_.configuration().tournament_type);
    return f;
}

std::uint32_t Measure::overlay_colour() const {
    const Configuration& cfg = app_.configuration();
    return cfg.label_color_name == "default" ? kWhite : cfg.label_color;
}

void Measure::show_the_grid() {
    picture->clear_drawings();
    const GridState& g = app_.grids();
    const GridDefinition& w = g.working;
    const double c = CrossSize->value();
    const std::uint32_t colour = overlay_colour();
    const bool crosses = app_.configuration().buoy_marker == "cross";
    for (Corner corner : {kUpperLeft, kUpperRight, kLowerLeft, kLowerRight}) {
        const double x = w.corners[corner].screen_x, y = w.corners[corner].screen_y;
        if (crosses) {
            picture->draw(Figure::cross(x, y, c, colour, kOverlayWidth));
            continue;
        }
        picture->draw(Figure::circle(x, y, 2 * c, colour, kOverlayWidth));
        picture->draw(Figure::point(x, y, colour, kOverlayWidth));
        picture->draw(Figure::point(x, y + 5, colour, kOverlayWidth));
        picture->draw(Figure::point(x, y - 5, colour, kOverlayWidth));
        picture->draw(Figure::point(x + 5, y, colour, kOverlayWidth));
        picture->draw(Figure::point(x - 5, y, colour, kOverlayWidth));
    }
    if (!app_.configuration().line_control_off) {
        const GridPoint& ur = w.corners[kUpperRight];
        const GridPoint& lr = w.corners[kLowerRight];
        const GridPoint& ul = w.corners[kUpperLeft];
        const GridPoint& ll = w.corners[kLowerLeft];
        picture->draw(Figure::line(ur.screen_x, ur.screen_y, lr.screen_x, lr.screen_y, colour,
                                   kOverlayWidth));
        picture->draw(Figure::line(ul.screen_x, ul.screen_y, ll.screen_x, ll.screen_y, colour,
                                   kOverlayWidth));
    }
    for (const auto& [name, placed] : measure_buoy_labels(w)) {
        QLabel* l = findChild<QLabel*>(QString::fromStdString(name));
        l->setText(QString::fromStdString(placed.caption));
        l->adjustSize();
        picture->move_overlay(l, QPointF(placed.left, placed.top));
        l->show();
    }
    grid_description->setText(QString::fromStdString(g.grid(g.current).description));
    grid_description->show();
}

void Measure::place_file_name_below_description() {
    const auto at = picture->overlay_position(grid_description);
    if (!at)
        return;
    picture->move_overlay(gif_file_name,
                          QPointF(at->x(), at->y() + grid_description->height() * kPixel));
}

// --- Marking the impact point ----------------------------------------------------

void Measure::Form_MouseDown(double x, double y) {
    form_.distance = "m";
    form_.distance_ft = "ft";
    form_.impact = ScreenPoint{x, y};
    form_.recorded = false;
    DrawImpactMark();
    for (QWidget* w : Widgets{AdjustLeft, AdjustRight, AdjustUp, AdjustDown, AdjustmentLabel})
        w->show();
    // The arrow keys nudge the point from here on, not a caret.
    distance_ft->setFocus();
    show_form();
}

void Measure::Form_MouseMove(double x, double y) {
    const CursorReadout r = cursor_readout(app_.grids().working, context().jump_kind(), x, y);
    xtwips->setText(QString::fromStdString(r.xtwips));
    ytwips->setText(QString::fromStdString(r.ytwips));
    xposition->setText(QString::fromStdString(r.xposition));
    yposition->setText(QString::fromStdString(r.yposition));
    VerifyDistance->setText(QString::fromStdString(r.VerifyDistance));
}

std::uint32_t Measure::point_colour() const {
    if (OptMkBlack->isChecked())
        return kBlack;
    if (OptMkWhite->isChecked())
        return kWhite;
    return kYellow;
}

void Measure::DrawImpactMark() {
    if (!form_.impact)
        return;
    const double x = form_.impact->x, y = form_.impact->y;
    const Configuration& cfg = app_.configuration();
    const GridState& g = app_.grids();
    MarkerStyle style;
    style.cross = CrossSize->value();
    style.gap = newMarker->isChecked();
    style.right_to_left = cfg.right_to_left;
    style.kind = jump_kind_from_text(cfg.tournament_type);
    style.direction = g.direction;
    const ImpactMarker m = impact_marker(g.working, style, x, y);

    const int width =
        std::max(1, static_cast<int>(text_to_number(MarkerWidth->text().toStdString())));
    const std::uint32_t colour = cfg.impact_color;
    auto line = [&](const Segment& s, int w) {
        return Figure::line(s.x1, s.y1, s.x2, s.y2, colour, w);
    };
    picture->set_shape("lineHorizontalImpact", line(m.horizontal, width));
    picture->set_shape("lineVerticalImpact", line(m.vertical, width));
    picture->set_shape("lineVerticalImpactbottom", line(m.bottom, width));
    picture->set_shape_visible("lineVerticalImpactbottom", m.bottom_visible);
    if (m.splash) {
        picture->set_shape("lineSplashIndicator", line(*m.splash, 1));
    } else {
        picture->set_shape_visible("lineSplashIndicator", false);
    }
    picture->set_shape("impactpoint", Figure::point(m.point.x, m.point.y, point_colour()));
    picture->set_shape_visible("impactpoint", Check1->isChecked() || style.gap);
    form_.last_drawn = {x, y};

    if (!screen_to_survey(g.working, x, y))
        status(no_distance_message(g.current));
    else
        status("");
}

void Measure::hide_marker() {
    for (const char* name : kMarkerShapes)
        picture->set_shape_visible(name, false);
}

void Measure::nudge(double dx, double dy) {
    // Nudging moves a marked point; with none marked there is nothing to move.
    if (!form_.impact)
        return;
    form_.impact = ScreenPoint{form_.last_drawn.x + dx, form_.last_drawn.y + dy};
    form_.recorded = false;
    DrawImpactMark();
}

void Measure::AdjustLeft_Click() {
    nudge(-kPixel, 0);
}
void Measure::AdjustRight_Click() {
    nudge(kPixel, 0);
}
void Measure::AdjustUp_Click() {
    nudge(0, -kPixel);
}
void Measure::AdjustDown_Click() {
    nudge(0, kPixel);
}

void Measure::keyTimer_Timer() {
    // Keys typed into the name, number or comment move their caret; their
    // presses are used up here all the same, so none moves the point later.
    QWidget* focus = focusWidget();
    const bool typing = focus && (focus == Jump_no || focus == Comment ||
                                  Skier_name->isAncestorOf(focus) || focus == Skier_name);
    KeyboardState& keys = app_.keyboard();
    const std::pair<Key, void (Measure::*)()> order[] = {
        {Key::Left, &Measure::AdjustLeft_Click},
        {Key::Up, &Measure::AdjustUp_Click},
        {Key::Right, &Measure::AdjustRight_Click},
        {Key::Down, &Measure::AdjustDown_Click},
    };
    for (const auto& [key, handler] : order) {
        if (keys.take_step(key) && !typing) {
            distance_ft->setFocus();
            (this->*handler)();
        }
    }
}

// --- Controls of the marker and the overlay -----------------------------------------

void Measure::Check1_Click() {
    Frame2->setVisible(Check1->isChecked());
    if (Check1->isChecked())
        set_point_colour(point_colour());
}

void Measure::set_point_colour(std::uint32_t colour) {
    if (auto point = picture->shape("impactpoint")) {
        point->colour = colour;
        picture->set_shape("impactpoint", *point);
        picture->set_shape_visible("impactpoint", form_.impact.has_value());
    }
}

void Measure::OptMkYellow_Click() {
    set_point_colour(kYellow);
}
void Measure::OptMkWhite_Click() {
    set_point_colour(kWhite);
}
void Measure::OptMkBlack_Click() {
    set_point_colour(kBlack);
}

void Measure::newMarker_Click() {
    DrawImpactMark();
}

void Measure::MarkerWidth_Change() {
    // The impact line width stays at one pixel, whatever is typed.
    if (MarkerWidth->text() != "1")
        MarkerWidth->setText("1");
}

void Measure::CrossSize_Change() {
    DrawImpactMark();
}

void Measure::Skier_name_Change() {
    if (syncing_)
        return;
    form_.Skier_name = Skier_name->currentText().toStdString();
    form_.Jump_no = "1";
    form_.distance.clear();
    form_.distance_ft.clear();
    form_.recorded = false;
    show_form();
}

void Measure::Set_grid_Click() {
    GridState& g = app_.grids();
    const int count = app_.shared().grid_count;
    const int to = g.current < count && g.current < 3 ? g.current + 1 : 1;
    Set_grid->setText(QString::fromStdString("&Grid " + std::to_string(to)));
    g.current = to;
    const GridDefinition& rec = g.grid(to);
    g.working.corners = rec.corners;
    g.working.c = rec.c;
    g.working.jump_x = rec.jump_x;
    g.working.jump_y = rec.jump_y;
    g.working.check_buoy = rec.check_buoy;
    maxbuoy->clear();
    minbuoy->clear();
    form_.recorded = false;
    show_the_grid();
    // The picture is now measured on another grid: compared with its set-up.
    check_camera_now();
    DrawImpactMark();
}

void Measure::Show_grid_Click() {
    show_the_grid();
}

void Measure::verify_Click() {
    form_.verify = !form_.verify;
    form_.recorded = false;
    show_form();
}

void Measure::Command1_Click() {
    if (!app_.dialogs().ask_yes_no("Are you sure you want to re-select the frame?", kProgramTitle,
                                   MsgIcon::None, true))
        return;
    hide();
    app_.set_start().show();
}

// --- Recording ----------------------------------------------------------------------

void Measure::Record_Click() {
    if (form_.recorded) {
        status(
            "This jump is already recorded. Mark the point again or choose another result to "
            "record once more.");
        return;
    }
    MeasureContext ctx = context();
    std::optional<RecordedJump> r = record_jump(ctx);
    show_form();
    if (!r)
        return;
    last_recorded_ = r;
    std::string said = "Recorded " + r->skier + " jump " + trim(r->jump_number) + ":";
    said += r->distance ? " " + trim(r->distance_shown) + ", " + trim(r->distance_ft_shown)
                        : " " + (r->comment.empty() ? std::string("no distance") : r->comment);
    if (!r->results_written)
        said += " - NOT in the results file";
    if (r->exchange_attempted && !r->exchange_written)
        said += " - NOT sent to the scoring program";
    status(said);
    if (jump_recorded)
        jump_recorded(*r);
}

void Measure::optJumpOK_Click() {
    rs::optJumpOK_Click(form_);
    show_form();
}
void Measure::Pass_Click() {
    rs::Pass_Click(form_);
    show_form();
}
void Measure::Fall_Click() {
    rs::Fall_Click(form_);
    show_form();
}
void Measure::Other_Grid_Click() {
    rs::Other_Grid_Click(form_);
    show_form();
}
void Measure::O_reride_Click() {
    MeasureContext ctx = context();
    rs::O_reride_Click(ctx);
    show_form();
}
void Measure::M_Reride_Click() {
    MeasureContext ctx = context();
    rs::M_Reride_Click(ctx);
    show_form();
}
void Measure::Make_comment_Click() {
    MeasureContext ctx = context();
    rs::Make_comment_Click(ctx);
    show_form();
}

void Measure::btnNextJump_Click() {
    if (app_.configuration().warn_message &&
        app_.dialogs().message({"Are you sure you want to go to the next jump?", MsgButtons::YesNo,
                                MsgIcon::None, kProgramTitle, true}) == MsgResult::No)
        return;
    mnuCapture_Click();
}

// --- Pictures from elsewhere ------------------------------------------------------------

void Measure::ClipSnapShot_Click() {
    freeze(form_);
    Show_grid->setFocus();
    std::string error;
    if (!picture->paste_clipboard(&error)) {
        app_.WriteDebugLog("Clipboard picture not loaded: " + error);
        app_.dialogs().ok("There is no picture on the clipboard.", MsgIcon::Exclamation);
    } else {
        picture_file_.clear();
        from_frame_ = false;
        set_picture_size();
    }
    show_the_grid();
    form_.gif_file_name = "Picture from Clipboard";
    form_.gif_file_name_visible = true;
    show_form();
}

void Measure::mnuPaste_Click() {
    freeze(form_);
    Show_grid->setFocus();
    std::string error;
    if (!load_picture_file(join_path(app_.paths().app_folder, kCaptureFile), &error)) {
        app_.WriteDebugLog("Measure picture not loaded: " + error);
        app_.dialogs().ok("The picture could not be loaded: " + error, MsgIcon::Exclamation);
    }
    show_the_grid();
    form_.gif_file_name = "Picture from Clipboard";
    form_.gif_file_name_visible = true;
    show_form();
}

void Measure::ImgSnapShot_Click() {
    freeze(form_);
    Show_grid->setFocus();
    show_form();
    const std::string path = join_path(app_.paths().exchange_folder, kSnapshotFile);
    std::string error;
    if (!load_picture_file(path, &error)) {
        app_.WriteDebugLog("Snapshot not loaded: " + error);
        app_.dialogs().ok(kSnapshotWarning, MsgIcon::Exclamation);
        return;
    }
    show_the_grid();
    form_.gif_file_name = path;
    form_.gif_file_name_visible = true;
    show_form();
}

void Measure::cbAutoLoadClipboard_Click() {
    if (cbAutoLoadClipboard->isChecked())
        loadTimer->start(1000);
    else
        loadTimer->stop();
}

void Measure::loadTimer_Timer() {
    if (!take_clipboard_signal(app_.files(), app_.paths().exchange_folder))
        return;
    std::string error;
    if (!picture->paste_clipboard(&error)) {
        app_.WriteDebugLog("Clipboard picture not loaded: " + error);
        return;
    }
    picture_file_.clear();
    from_frame_ = false;
    set_picture_size();
    form_.recorded = false;
    show_the_grid();
}

void Measure::LoadPict_Click() {
    FileRequest request;
    request.title = "Load Picture";
    request.filter = kPictureFilter;
    request.filter_index = 4;
    request.initial_folder = app_.configuration().captures_folder;
    const auto chosen = app_.dialogs().open_file(request);
    if (!chosen || chosen->empty())
        return;
    std::string error;
    if (!load_picture_file(*chosen, &error)) {
        app_.WriteDebugLog("Picture not loaded: " + error);
        app_.dialogs().ok(kInvalidPicturePath, MsgIcon::Exclamation);
        return;
    }
    show_the_grid();
    MeasureContext ctx = context();
    picture_loaded(ctx, *chosen);
    show_form();
    place_file_name_below_description();
}

void Measure::Unfreeze_Click() {
    hide_marker();
    MeasureContext ctx = context();
    unfreeze(ctx);
    for (QWidget* w : Widgets{AdjustLeft, AdjustRight, AdjustUp, AdjustDown, AdjustmentLabel})
        w->hide();
    picture->clear_picture();
    picture_file_.clear();
    from_frame_ = false;
    show_the_grid();
    status("");
    show_form();
}

// --- Keeping and leaving ---------------------------------------------------------------

void Measure::SavePict_Click() {
    MeasureContext ctx = context();
    if (const auto saved = save_picture(ctx, shown_picture()))
        status("Picture saved as " + saved->path);
}

void Measure::Exit_Click() {
    MeasureContext ctx = context();
    leave_to_main(ctx, shown_picture());
    Unfreeze_Click();
    for (QLabel* l : {maxbuoy, maxbuoym, minbuoy, minbuoym})
        l->clear();
    hide();
    keyTimer->stop();
    app_.main_form().show();
}

void Measure::mnuCapture_Click() {
    MeasureContext ctx = context();
    if (!go_to_next_jump(ctx, shown_picture()))
        return;
    leave_for_capture();
}

void Measure::leave_for_capture() {
    Unfreeze_Click();
    hide();
    keyTimer->stop();
    app_.shared().capture.focus_start = true;
    app_.preview_form().show();
}

void Measure::mnuResults_Click() {
    app_.results().mnuResults_Click();
}

void Measure::mnuCalibrate_Click() {
    app_.calibrate().show();
    app_.calibrate().raise();
}

void Measure::mnuViewLog_Click() {
    app_.picture_log_view().show();
    app_.picture_log_view().raise();
}

}  // namespace rs
