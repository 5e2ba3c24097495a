#include "grid/grid_setup_screen.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <optional>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/main_screen.h"
#include "app/overlay_widgets.h"
#include "app/screen_widgets.h"
#include "core/text_forms.h"
#include "grid/calibration_screen.h"
#include "grid/grid_validation.h"
#include "grid/setup_files.h"
#include "measure/camera_check_view.h"
#include "platform/file_writer.h"
#include "platform/paths.h"
#include "platform/picture_canvas_widget.h"
#include "platform/picture_view_widget.h"

namespace rs {

namespace {

using namespace widgets;

constexpr double kPixel = 15;  // twips: one nudge
constexpr const char* kPictureFilter =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files (*.gif)|*.gif|Jump Picture "
    "Files (*.bmp)|*.bmp|Jump Picture Files (*.jpg)|*.jpg|";
constexpr const char* kCaptureFile = "currentcapture.bmp";

QString css_colour(std::uint32_t stored) {
    return colour_from_stored(stored).name();
}

// Figures of a marker centred at (x, y): the click markers (circle and
// cross), and the overlay's own (circle with five dots, or a cross).
bool marker_figure_at(const Figure& f, double x, double y) {
    auto at = [](double a, double b) { return std::abs(a - b) < 1e-9; };
    switch (f.kind) {
        case Figure::Kind::Circle:
        case Figure::Kind::Cross:
            return at(f.x1, x) && at(f.y1, y);
        case Figure::Kind::Point:
            return (at(f.x1, x) && (at(f.y1, y) || at(std::abs(f.y1 - y), 5))) ||
                   (at(f.y1, y) && at(std::abs(f.x1 - x), 5));
        default:
            return false;
    }
}

}  // namespace

Grid_Setup::Grid_Setup(App& app) : app_(app) {
    setObjectName("Grid_Setup");
    setWindowTitle("Grid Setup");
    build();
}

Grid_Setup::~Grid_Setup() = default;

// --- Building ------------------------------------------------------------

void Grid_Setup::build() {
    auto* central = new QWidget(this);
    auto* outer = new QHBoxLayout(central);
    picture = new PictureCanvas(central);
    picture->setObjectName("picture");
    auto* pictureView = new PictureView(picture, central);
    pictureView->setObjectName("pictureView");
    outer->addWidget(pictureView, 1);
    outer->addWidget(build_panel(), 0);
    setCentralWidget(central);
    build_overlays();
    build_menus();

    keyTimer = new QTimer(this);
    keyTimer->setObjectName("keyTimer");
    keyTimer->setInterval(100);
    connect(keyTimer, &QTimer::timeout, this, [this] { keyTimer_Timer(); });

    connect(picture, &PictureCanvas::mouse_down, this, [this](const CanvasMouseEvent& e) {
        if (e.button == Qt::LeftButton)
            Form_MouseDown(e.x, e.y);
    });
    resize(1200, 760);
}

QWidget* Grid_Setup::build_panel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("setupPanel");
    auto* v = new QVBoxLayout(panel);

    Frame1 = new QGroupBox("Grid Point Selection", panel);
    Frame1->setObjectName("Frame1");
    auto* f1 = new QGridLayout(Frame1);
    upper_left_button = new QRadioButton("upper left", Frame1);
    upper_right_button = new QRadioButton("upper right", Frame1);
    lower_left_button = new QRadioButton("lower left", Frame1);
    lower_right_button = new QRadioButton("lower right", Frame1);
    optCheckBuoy = new QRadioButton("Check Buoy", Frame1);
    upper_left_button->setObjectName("upper_left_button");
    upper_right_button->setObjectName("upper_right_button");
    lower_left_button->setObjectName("lower_left_button");
    lower_right_button->setObjectName("lower_right_button");
    optCheckBuoy->setObjectName("optCheckBuoy");
    f1->addWidget(upper_left_button, 0, 0);
    f1->addWidget(upper_right_button, 0, 1);
    f1->addWidget(lower_left_button, 1, 0);
    f1->addWidget(lower_right_button, 1, 1);
    f1->addWidget(optCheckBuoy, 2, 0, 1, 2);
    connect(upper_left_button, &QRadioButton::clicked, this, [this] { upper_left_button_Click(); });
    connect(lower_left_button, &QRadioButton::clicked, this, [this] { lower_left_button_Click(); });
    connect(upper_right_button, &QRadioButton::clicked, this,
            [this] { upper_right_button_Click(); });
    connect(lower_right_button, &QRadioButton::clicked, this,
            [this] { lower_right_button_Click(); });
    connect(optCheckBuoy, &QRadioButton::clicked, this, [this] { optCheckBuoy_Click(); });
    v->addWidget(Frame1);

    // The value boxes: screen X, Y (twips) and survey X, Y (meters) by point.
    auto* values = new QWidget(panel);
    auto* g = new QGridLayout(values);
    g->setContentsMargins(0, 0, 0, 0);
    const char* heads[] = {"Screen X", "Screen Y", "Survey X", "Survey Y"};
    for (int c = 0; c < 4; ++c)
        g->addWidget(new QLabel(heads[c], values), 0, c + 1);
    const SetupForm initial;
    for (int i = 0; i < kValueBoxes; ++i) {
        const auto which = static_cast<ValueBox>(i);
        auto* e = new QLineEdit(QString::fromStdString(value_box(initial, which)), values);
        e->setObjectName(value_box_name(which));
        e->setFixedWidth(72);
        boxes_[static_cast<size_t>(i)] = e;
        connect(e, &QLineEdit::textChanged, this, [this, which] { value_box_Change(which); });
    }
    struct Row {
        const char* caption;
        ValueBox cells[4];
        bool has_screen;
    };
    const Row rows[] = {
        {"Upper Left",
         {ValueBox::upper_left_x, ValueBox::upper_left_y, ValueBox::ul_survey_x,
          ValueBox::ul_survey_y},
         true},
        {"Lower Left",
         {ValueBox::lower_left_x, ValueBox::lower_left_y, ValueBox::ll_survey_x,
          ValueBox::ll_survey_y},
         true},
        {"Upper Right",
         {ValueBox::upper_right_x, ValueBox::upper_right_y, ValueBox::ur_survey_x,
          ValueBox::ur_survey_y},
         true},
        {"Lower Right",
         {ValueBox::lower_right_x, ValueBox::lower_right_y, ValueBox::lr_survey_x,
          ValueBox::lr_survey_y},
         true},
        {"Check Buoy",
         {ValueBox::txtCheckXpix, ValueBox::txtCheckYpix, ValueBox::txtCheckX, ValueBox::txtCheckY},
         true},
        {"Jump", {ValueBox::jump_x, ValueBox::jump_y, ValueBox::jump_x, ValueBox::jump_y}, false},
    };
    int r = 1;
    for (const Row& row : rows) {
        g->addWidget(new QLabel(row.caption, values), r, 0);
        for (int c = row.has_screen ? 0 : 2; c < 4; ++c)
            g->addWidget(box(row.cells[row.has_screen ? c : c - 2]), r, c + 1);
        ++r;
    }
    v->addWidget(values);

    auto* pic = new QHBoxLayout;
    pic->addWidget(new QLabel("Picture", panel));
    txtPicWidth = new QLineEdit(panel);
    txtPicWidth->setObjectName("txtPicWidth");
    txtPicHeight = new QLineEdit(panel);
    txtPicHeight->setObjectName("txtPicHeight");
    pic->addWidget(txtPicWidth);
    pic->addWidget(txtPicHeight);
    v->addLayout(pic);
    connect(txtPicWidth, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!syncing_)
            app_.setup_form().txtPicWidth = t.toStdString();
    });
    connect(txtPicHeight, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!syncing_)
            app_.setup_form().txtPicHeight = t.toStdString();
    });

    ipt_file_description = new QLineEdit("No File", panel);
    ipt_file_description->setObjectName("ipt_file_description");
    ipt_file_description_2 = new QLineEdit(panel);
    ipt_file_description_2->setObjectName("ipt_file_description_2");
    v->addWidget(ipt_file_description);
    v->addWidget(ipt_file_description_2);
    connect(ipt_file_description, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!syncing_)
            app_.setup_form().ipt_file_description = t.toStdString();
    });
    connect(ipt_file_description_2, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!syncing_)
            app_.setup_form().ipt_file_description_2 = t.toStdString();
    });

    chkboxGridLock = new QCheckBox("Lock Grid Buoys", panel);
    chkboxGridLock->setObjectName("chkboxGridLock");
    connect(chkboxGridLock, &QCheckBox::clicked, this, [this] { chkboxGridLock_Click(); });
    v->addWidget(chkboxGridLock);

    auto* buttons = new QGridLayout;
    grid_select = button(panel, "grid_select", "Grid 1");
    show_alignment = button(panel, "show_alignment", "Draw Buoys");
    Load = button(panel, "Load", "Complete");
    cmdCBlabel = button(panel, "cmdCBlabel", "Clear Check Buoy");
    btnAccuracyCheck = button(panel, "btnAccuracyCheck", "Accuracy");
    grid_state_icon = label(panel, "grid_state_icon", "");
    grid_state_icon->setFixedSize(32, 32);
    grid_state_icon->setScaledContents(true);
    buttons->addWidget(grid_select, 0, 0);
    buttons->addWidget(show_alignment, 0, 1);
    buttons->addWidget(Load, 1, 0);
    buttons->addWidget(grid_state_icon, 1, 1, Qt::AlignLeft);
    buttons->addWidget(cmdCBlabel, 2, 0);
    buttons->addWidget(btnAccuracyCheck, 2, 1);
    v->addLayout(buttons);
    connect(grid_select, &QPushButton::clicked, this, [this] { grid_select_Click(); });
    connect(show_alignment, &QPushButton::clicked, this, [this] { show_alignment_Click(); });
    connect(Load, &QPushButton::clicked, this, [this] { Load_Click(); });
    connect(cmdCBlabel, &QPushButton::clicked, this, [this] { cmdCBlabel_Click(); });
    connect(btnAccuracyCheck, &QPushButton::clicked, this, [this] { btnAccuracyCheck_Click(); });

    auto* accuracy = new QHBoxLayout;
    fmAccuracyDisplay = new QGroupBox("Accuracy ", panel);
    fmAccuracyDisplay->setObjectName("fmAccuracyDisplay");
    auto* ad = new QVBoxLayout(fmAccuracyDisplay);
    optAdvancedAccuracy = option(fmAccuracyDisplay, ad, "optAdvancedAccuracy", "Advanced");
    optStandardAccuracy = option(fmAccuracyDisplay, ad, "optStandardAccuracy", "Standard");
    fmAccuracyConfig = new QGroupBox("Display", panel);
    fmAccuracyConfig->setObjectName("fmAccuracyConfig");
    auto* ac = new QVBoxLayout(fmAccuracyConfig);
    optDisplayDistance = option(fmAccuracyConfig, ac, "optDisplayDistance", "Distance");
    optDetailMeasurement = option(fmAccuracyConfig, ac, "optDetailMeasurement", "Detail ");
    optHomolgationLevel = option(fmAccuracyConfig, ac, "optHomolgationLevel", "Hom.Lvl");
    accuracy->addWidget(fmAccuracyDisplay);
    accuracy->addWidget(fmAccuracyConfig);
    v->addLayout(accuracy);
    connect(optAdvancedAccuracy, &QRadioButton::clicked, this,
            [this] { optAdvancedAccuracy_Click(); });
    connect(optStandardAccuracy, &QRadioButton::clicked, this,
            [this] { optStandardAccuracy_Click(); });

    v->addStretch(1);
    panel->setFixedWidth(panel->sizeHint().width());
    return panel;
}

void Grid_Setup::build_overlays() {
    // The drag-it groups sit over the picture's corner, anchored to the
    // window; the operator drags them off whatever they cover.
    std::tie(AdjustmentLabel, AdjustUp, AdjustDown, AdjustLeft, AdjustRight) =
        micro_adjust_pad(picture);
    connect(AdjustUp, &QToolButton::clicked, this, [this] { AdjustUp_Click(); });
    connect(AdjustDown, &QToolButton::clicked, this, [this] { AdjustDown_Click(); });
    connect(AdjustLeft, &QToolButton::clicked, this, [this] { AdjustLeft_Click(); });
    connect(AdjustRight, &QToolButton::clicked, this, [this] { AdjustRight_Click(); });

    std::tie(CrossSizeLabel, Setup_Cross_size) =
        size_slider(picture, "CrossSizeLabel", "Marker Icon Size (drag-it)", "Setup_Cross_size",
                    600, 60, app_.setup_form().Setup_Cross_size);
    connect(Setup_Cross_size, &QScrollBar::valueChanged, this,
            [this] { Setup_Cross_size_Change(); });

    gridLockedLabel = label(picture, "gridLockedLabel", "GRID LOCKED!");
    gridLockedLabel->setStyleSheet("color: red; font-weight: bold; background: transparent;");
    lblGridDragIt = label(picture, "lblGridDragIt", "(drag-it)");
    gridLockedLabel->hide();
    lblGridDragIt->hide();
    picture->place_overlay(gridLockedLabel, overlay_place(8, 170), OverlayAnchor::Window);
    picture->place_overlay(lblGridDragIt, overlay_place(110, 170), OverlayAnchor::Window);
    picture->add_drag_group(lblGridDragIt, {gridLockedLabel});
    picture->add_drag_group(gridLockedLabel, {lblGridDragIt});

    lblCB = label(picture, "lblCB", "<-Check Buoy Should Be Here");
    // Labels over the picture let clicks through to the buoy under them.
    lblCB->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblCB->hide();
    picture->place_overlay(lblCB, QPointF(0, 0));

    for (size_t i = 0; i < AccuracyIndicator.size(); ++i) {
        QLabel* l = label(picture, "AccuracyIndicator", "");
        l->setProperty("index", int(i));
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->hide();
        picture->place_overlay(l, QPointF(0, 0));
        AccuracyIndicator[i] = l;
    }
    for (size_t i = 0; i < LineLabel.size(); ++i) {
        QLabel* l = label(picture, "LineLabel", "");
        l->setProperty("index", int(i));
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->hide();
        picture->place_overlay(l, QPointF(0, 0));
        LineLabel[i] = l;
    }
}

void Grid_Setup::build_menus() {
    QMenuBar* bar = menuBar();
    auto action = [this](const char* name, const char* caption, void (Grid_Setup::*handler)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    bar->addAction(action("gridLoad", "&Load File", &Grid_Setup::gridLoad_Click));
    QMenu* pictures = bar->addMenu("Setup &Picture");
    pictures->setObjectName("mnuSetupPicture");
    pictures->addAction(
        action("mnuLoadPicture", "Load &Picture", &Grid_Setup::mnuLoadPicture_Click));
    pictures->addAction(
        action("mnuClearPicture", "&Clear Picture", &Grid_Setup::mnuClearPicture_Click));
    pictures->addAction(action("mnuPaste", "P&aste from Clipboard", &Grid_Setup::mnuPaste_Click));
    pictures->addAction(
        action("mnuMeasurePic", "Paste from &Measure", &Grid_Setup::mnuMeasurePic_Click));
    bar->addAction(action("gridSave", "&Save", &Grid_Setup::gridSave_Click));
    bar->addAction(action("mnuCalibrate", "&Calibrate", &Grid_Setup::mnuCalibrate_Click));
    QMenu* view = bar->addMenu("&View");
    view->setObjectName("mnuView");
    view->addAction(picture->zoom_in_action());
    view->addAction(picture->zoom_out_action());
    view->addAction(picture->actual_size_action());
    view->addAction(picture->fit_action());
    view->addAction(picture->loupe_action());
    bar->addAction(action("gridExit", "&Return to Main Screen", &Grid_Setup::gridExit_Click));
}

// --- Mirroring ------------------------------------------------------------

void Grid_Setup::show_form() {
    SetupForm& f = app_.setup_form();
    syncing_ = true;
    auto set_text = [](QLineEdit* e, const std::string& text) {
        const QString t = QString::fromStdString(text);
        if (e->text() != t)
            e->setText(t);
    };
    for (int i = 0; i < kValueBoxes; ++i)
        set_text(boxes_[static_cast<size_t>(i)], value_box(f, static_cast<ValueBox>(i)));
    set_text(txtPicWidth, f.txtPicWidth);
    set_text(txtPicHeight, f.txtPicHeight);
    set_text(ipt_file_description, f.ipt_file_description);
    set_text(ipt_file_description_2, f.ipt_file_description_2);
    grid_select->setText(QString::fromStdString(f.grid_select));
    chkboxGridLock->setChecked(f.chkboxGridLock);
    gridLockedLabel->setVisible(f.gridLockedLabel_visible);
    lblGridDragIt->setVisible(f.gridLockedLabel_visible);
    if (grid_state_icon->property("picture").toString().toStdString() != f.grid_state_icon) {
        grid_state_icon->setPixmap(
            QPixmap(QString::fromStdString(join_path(app_.paths().app_folder, f.grid_state_icon))));
        grid_state_icon->setProperty("picture", QString::fromStdString(f.grid_state_icon));
    }
    btnAccuracyCheck->setVisible(f.btnAccuracyCheck_visible);
    fmAccuracyDisplay->setVisible(f.fmAccuracyDisplay_visible);
    fmAccuracyConfig->setVisible(f.fmAccuracyConfig_visible);
    if (f.optAdvancedAccuracy)
        optAdvancedAccuracy->setChecked(true);
    else
        optStandardAccuracy->setChecked(true);
    if (Setup_Cross_size->value() != f.Setup_Cross_size)
        Setup_Cross_size->setValue(f.Setup_Cross_size);
    picture->move_overlay(lblCB, QPointF(f.lblCB_left, f.lblCB_top));
    lblCB->setVisible(f.lblCB_visible);
    lblCB->setStyleSheet("color: " + css_colour(marker_colour()) + "; background: transparent;");
    lblCB->adjustSize();
    syncing_ = false;

    // The drawing requests of the procedures. The overlay is drawn before
    // the figures so that the expected check buoy of a refused acceptance
    // stays on the picture for the operator to see.
    const bool clear = f.drawings_cleared, overlay = f.show_grid_requested;
    const std::vector<SetupFigure> figures = std::move(f.figures);
    f.drawings_cleared = false;
    f.show_grid_requested = false;
    f.figures.clear();
    if (clear)
        picture->clear_drawings();
    if (overlay)
        Show_grid();
    for (const SetupFigure& s : figures) {
        switch (s.kind) {
            case SetupFigure::Point:
                picture->draw(Figure::point(s.x, s.y, s.colour, 2));
                break;
            case SetupFigure::Circle:
                picture->draw(Figure::circle(s.x, s.y, s.radius, s.colour));
                break;
            case SetupFigure::Line:
                picture->draw(Figure::line(s.x, s.y, s.x2, s.y2, s.colour));
                break;
        }
    }
}

void Grid_Setup::settle(const std::vector<std::string>& texts_before) {
    if (value_box_texts(app_.setup_form()) != texts_before)
        clear_accuracy_indicator();
    show_form();
}

std::uint32_t Grid_Setup::marker_colour() const {
    const Configuration& cfg = app_.configuration();
    return cfg.label_color_name == "default" ? kWhite : cfg.label_color;
}

// --- Load, activation, focus ----------------------------------------------

void Grid_Setup::Form_Load() {
    SetupForm& f = app_.setup_form();
    GridState& g = app_.grids();
    f.optAdvancedAccuracy = false;
    optStandardAccuracy->setChecked(true);
    optHomolgationLevel->setChecked(true);
    f.grid_select = grid_caption(g.current);
    // The configuration screen's reload of the set-up files runs before this
    // screen is first shown; what it read stays. Without it, the screen
    // starts from nothing placed and no grid ready.
    bool reloaded = f.ipt_file_description != "No File";
    for (int n = 1; n <= 3; ++n)
        reloaded = reloaded || g.grid(n).loaded;
    if (!reloaded) {
        for (GridPoint& p : g.working.corners) {
            p.screen_x = 0;
            p.screen_y = 0;
        }
        g.working.check_buoy.screen_x = 0;
        g.working.check_buoy.screen_y = 0;
        g.complete = 0;
        f.grid_state_icon = "msgbox03.ico";
        f.btnAccuracyCheck_visible = false;
        f.fmAccuracyConfig_visible = false;
        f.fmAccuracyDisplay_visible = false;
    }
    clear_accuracy_indicator();
    f.lblCB_visible = false;
    AdjustmentLabel->setStyleSheet("background: black; color: white;");
    CrossSizeLabel->setStyleSheet("background: black; color: white;");
    AdjustmentLabel->adjustSize();
    CrossSizeLabel->adjustSize();
    f.txtPicWidth = signed_number(12000);
    f.txtPicHeight = signed_number(9000);
    show_form();
}

void Grid_Setup::Form_Activate() {
    SharedValues& shared = app_.shared();
    if (shared.navigation_state == "SelectFrame") {
        if (load_picture_file(join_path(app_.paths().app_folder, kCaptureFile)))
            set_picture_size();
        shared.navigation_state.clear();
    }
    picture->set_loupe_enabled(app_.configuration().use_loupe);
    keyTimer->start();
    show_form();
}

void Grid_Setup::Form_GotFocus() {
    keyTimer->start();
}

void Grid_Setup::Form_LostFocus() {
    keyTimer->stop();
}

void Grid_Setup::Form_Paint() {
    if (!keyTimer->isActive())
        keyTimer->start();
}

void Grid_Setup::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void Grid_Setup::hideEvent(QHideEvent* event) {
    // A hidden screen takes no keys, whoever hid it.
    keyTimer->stop();
    QMainWindow::hideEvent(event);
}

void Grid_Setup::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            Form_GotFocus();
        else
            Form_LostFocus();
    }
    QMainWindow::changeEvent(event);
}

void Grid_Setup::paintEvent(QPaintEvent* event) {
    Form_Paint();
    QMainWindow::paintEvent(event);
}

void Grid_Setup::closeEvent(QCloseEvent* event) {
    // Closing the window is leaving it: the screen lives as long as the
    // program, and the main screen takes over.
    event->ignore();
    gridExit_Click();
}

// --- Placing points ---------------------------------------------------------

std::optional<SetupPoint> Grid_Setup::selected_point() const {
    if (upper_left_button->isChecked())
        return SetupPoint::UpperLeft;
    if (lower_left_button->isChecked())
        return SetupPoint::LowerLeft;
    if (upper_right_button->isChecked())
        return SetupPoint::UpperRight;
    if (lower_right_button->isChecked())
        return SetupPoint::LowerRight;
    if (optCheckBuoy->isChecked())
        return SetupPoint::CheckBuoy;
    return std::nullopt;
}

void Grid_Setup::focus_point_selection() {
    // Away from the option buttons, so that the arrow keys nudge the point
    // rather than move between the buttons.
    ipt_file_description->setFocus();
}

void Grid_Setup::upper_left_button_Click() {
    focus_point_selection();
}
void Grid_Setup::lower_left_button_Click() {
    focus_point_selection();
}
void Grid_Setup::upper_right_button_Click() {
    focus_point_selection();
}
void Grid_Setup::lower_right_button_Click() {
    focus_point_selection();
}
void Grid_Setup::optCheckBuoy_Click() {
    focus_point_selection();
}

void Grid_Setup::remove_marker(double x, double y) {
    const std::vector<Figure> figures = picture->figures();
    for (auto it = figures.rbegin(); it != figures.rend(); ++it) {
        if (marker_figure_at(*it, x, y))
            (void)picture->remove(*it);
    }
}

void Grid_Setup::draw_marker(double x, double y) {
    const double cross = app_.setup_form().Setup_Cross_size;
    picture->draw(Figure::circle(x, y, 2 * cross, marker_colour()));
    picture->draw(Figure::cross(x, y, cross, marker_colour()));
}

void Grid_Setup::move_markers(const std::vector<PointMove>& moves) {
    for (const PointMove& m : moves) {
        remove_marker(m.from.x, m.from.y);
        draw_marker(m.to.x, m.to.y);
    }
}

void Grid_Setup::Form_MouseDown(double x, double y) {
    const auto selected = selected_point();
    if (!selected)
        return;
    const auto before = value_box_texts(app_.setup_form());
    GridContext ctx = app_.grid_context();
    move_markers(place_point(ctx, *selected, x, y));
    settle(before);
}

void Grid_Setup::nudge(double dx, double dy) {
    const auto selected = selected_point();
    if (!selected)
        return;
    const auto before = value_box_texts(app_.setup_form());
    GridContext ctx = app_.grid_context();
    move_markers(nudge_point(ctx, *selected, dx, dy));
    settle(before);
}

void Grid_Setup::AdjustUp_Click() {
    nudge(0, -kPixel);
}
void Grid_Setup::AdjustDown_Click() {
    nudge(0, kPixel);
}
void Grid_Setup::AdjustLeft_Click() {
    nudge(-kPixel, 0);
}
void Grid_Setup::AdjustRight_Click() {
    nudge(kPixel, 0);
}

void Grid_Setup::keyTimer_Timer() {
    KeyboardState& keys = app_.keyboard();
    const std::pair<Key, void (Grid_Setup::*)()> order[] = {
        {Key::Left, &Grid_Setup::AdjustLeft_Click},
        {Key::Up, &Grid_Setup::AdjustUp_Click},
        {Key::Right, &Grid_Setup::AdjustRight_Click},
        {Key::Down, &Grid_Setup::AdjustDown_Click},
    };
    for (const auto& [key, handler] : order) {
        if (keys.take_step(key)) {
            box(ValueBox::txtCheckXpix)->setFocus();
            (this->*handler)();
            return;
        }
    }
}

// --- Value boxes ------------------------------------------------------------

void Grid_Setup::value_box_Change(ValueBox which) {
    if (syncing_)
        return;
    SetupForm& f = app_.setup_form();
    value_box(f, which) = box(which)->text().toStdString();
    GridContext ctx = app_.grid_context();
    value_box_changed(ctx, which);
    clear_accuracy_indicator();
    show_form();
}

#define RS_DEFINE_CHANGE(name)            \
    void Grid_Setup::name##_Change() {    \
        value_box_Change(ValueBox::name); \
    }
RS_SETUP_VALUE_BOXES(RS_DEFINE_CHANGE)
#undef RS_DEFINE_CHANGE

// --- Buttons ------------------------------------------------------------------

void Grid_Setup::chkboxGridLock_Click() {
    if (syncing_)
        return;
    SetupForm& f = app_.setup_form();
    f.chkboxGridLock = chkboxGridLock->isChecked();
    if (f.chkboxGridLock && !lock_allowed(f)) {
        app_.dialogs().ok(kCannotLock);
        f.chkboxGridLock = false;
    }
    f.gridLockedLabel_visible = f.chkboxGridLock;
    show_form();
}

void Grid_Setup::grid_select_Click() {
    const auto before = value_box_texts(app_.setup_form());
    GridContext ctx = app_.grid_context();
    select_next_grid(ctx);
    settle(before);
}

void Grid_Setup::show_alignment_Click() {
    Show_grid();
}

void Grid_Setup::Load_Click() {
    GridContext ctx = app_.grid_context();
    const AcceptResult r = accept_setup(ctx);
    // The picture the buoys were clicked on, for the camera-moved check.
    if (r.outcome == AcceptOutcome::Accepted)
        keep_setup_picture(app_.grids(), app_.grids().current, picture->picture());
    show_form();
}

void Grid_Setup::grid_check() {
    GridContext ctx = app_.grid_context();
    rs::grid_check(ctx);
    show_form();
}

void Grid_Setup::cmdCBlabel_Click() {
    SetupForm& f = app_.setup_form();
    if (cmdCBlabel->text() == "Clear Check Buoy") {
        f.lblCB_visible = false;
        cmdCBlabel->setText("Show Check Buoy");
    } else {
        f.lblCB_visible = true;
        cmdCBlabel->setText("Clear Check Buoy");
    }
    show_form();
}

void Grid_Setup::optAdvancedAccuracy_Click() {
    SetupForm& f = app_.setup_form();
    f.optAdvancedAccuracy = true;
    f.fmAccuracyConfig_visible = true;
    show_form();
}

void Grid_Setup::optStandardAccuracy_Click() {
    SetupForm& f = app_.setup_form();
    f.optAdvancedAccuracy = false;
    f.fmAccuracyConfig_visible = false;
    show_form();
}

void Grid_Setup::Setup_Cross_size_Change() {
    if (!syncing_)
        app_.setup_form().Setup_Cross_size = Setup_Cross_size->value();
}

void Grid_Setup::Show_grid() {
    picture->clear_drawings();
    const GridDefinition& w = app_.grids().working;
    const double cross = app_.setup_form().Setup_Cross_size;
    const std::uint32_t colour = marker_colour();
    const bool crosses = app_.configuration().buoy_marker == "cross";
    for (SetupPoint p : kSetupPoints) {
        const ScreenPoint s = point_position(w, p);
        if (crosses) {
            picture->draw(Figure::cross(s.x, s.y, cross, colour));
            continue;
        }
        picture->draw(Figure::circle(s.x, s.y, 2 * cross, colour));
        picture->draw(Figure::point(s.x, s.y, colour));
        picture->draw(Figure::point(s.x, s.y - 5, colour));
        picture->draw(Figure::point(s.x, s.y + 5, colour));
        picture->draw(Figure::point(s.x - 5, s.y, colour));
        picture->draw(Figure::point(s.x + 5, s.y, colour));
    }
}

// --- Accuracy check -----------------------------------------------------------

void Grid_Setup::clear_accuracy_indicator() {
    for (QLabel* l : AccuracyIndicator)
        l->hide();
}

void Grid_Setup::show_accuracy_labels(const std::vector<AccuracyPoint>& points, bool advanced) {
    const QString style =
        "color: " + css_colour(marker_colour()) + "; background: transparent; font-weight: bold;";
    for (size_t i = 0; i < points.size() && i < AccuracyIndicator.size(); ++i) {
        QLabel* l = AccuracyIndicator[i];
        l->hide();
        const AccuracyPoint& p = points[i];
        if (!p.has_image())
            continue;
        l->setText(QString::fromStdString(p.text));
        l->setStyleSheet(style);
        l->adjustSize();
        picture->move_overlay(l, QPointF(p.screen.x, p.screen.y + 60));
        l->setVisible(advanced);
    }
}

void Grid_Setup::btnAccuracyCheck_Click() {
    if (optStandardAccuracy->isChecked())
        optHomolgationLevel->setChecked(true);
    const bool advanced = optAdvancedAccuracy->isChecked();
    AccuracyDisplay display = AccuracyDisplay::HomologationLevel;
    if (optDisplayDistance->isChecked())
        display = AccuracyDisplay::Distance;
    else if (optDetailMeasurement->isChecked())
        display = AccuracyDisplay::Detail;

    const SetupForm& f = app_.setup_form();
    const GridDefinition& w = app_.grids().working;
    const auto points =
        accuracy_points(w, jump_kind_from_text(app_.configuration().tournament_type), display);
    const AccuracyReportHeader header{app_.clock().now(), app_.grids().current, f.front_ratio,
                                      f.back_ratio};
    const std::string path =
        join_path(app_.shared().video_folder, accuracy_report_name(header.now));
    if (!app_.files().append_lines(path, accuracy_report_lines(f, w, header, points))) {
        app_.WriteDebugLog("Accuracy report not written: " + path);
        app_.dialogs().ok("The accuracy report could not be written to " + path,
                          MsgIcon::Exclamation);
    }
    show_accuracy_labels(points, advanced);

    if (!advanced) {
        const QString style = "color: " + css_colour(marker_colour()) +
                              "; background: transparent; font-weight: bold;";
        for (int row = 1; row <= kLatticeSize; ++row) {
            QLabel* l = LineLabel[static_cast<size_t>(row - 1)];
            const ScreenPoint first = points[static_cast<size_t>(lattice_index(row, 1))].screen;
            l->setText(QString::number(row));
            l->setStyleSheet(style);
            l->adjustSize();
            picture->move_overlay(l, QPointF(first.x - 240, first.y - 90));
            l->show();
        }
        const int chosen = ask_accuracy_row(app_.dialogs());
        for (QLabel* l : LineLabel)
            l->hide();
        if (chosen <= kLatticeSize) {
            for (int column = 1; column <= kLatticeSize; ++column) {
                const size_t i = static_cast<size_t>(lattice_index(chosen, column));
                if (points[i].has_image())
                    AccuracyIndicator[i]->show();
            }
        }
    }
    Show_grid();
}

// --- Files and pictures ---------------------------------------------------------

void Grid_Setup::gridLoad_Click() {
    const auto before = value_box_texts(app_.setup_form());
    GridContext ctx = app_.grid_context();
    const bool read = load_setup(ctx);
    // The accuracy figures belong to the set-up they were drawn for: any
    // file read replaces it, even one with the same values.
    if (settle_after_load(ctx, before) || read) {
        clear_accuracy_indicator();
        for (QLabel* l : LineLabel)
            l->hide();
    }
    show_form();
}

void Grid_Setup::gridSave_Click() {
    GridContext ctx = app_.grid_context();
    const auto written = [](const std::string& path) {
        std::error_code ec;
        const auto t = std::filesystem::last_write_time(path, ec);
        return ec ? std::optional<std::filesystem::file_time_type>() : t;
    };
    std::array<std::optional<std::filesystem::file_time_type>, 3> before;
    for (int n = 1; n <= 3; ++n)
        before[static_cast<size_t>(n - 1)] = written(app_.grids().grid(n).setup_file);
    save_setup(ctx);
    // A set-up file written keeps its set-up picture beside it.
    GridState& g = app_.grids();
    const std::string& path = g.grid(g.current).setup_file;
    const auto after = path.empty() ? std::nullopt : written(path);
    if (after && after != before[static_cast<size_t>(g.current - 1)]) {
        const WriteResult w = save_setup_picture(g, g.current, picture->picture(), app_.files());
        if (!w) {
            app_.WriteDebugLog("Set-up picture not kept: " + w.error());
            app_.dialogs().ok(
                "The set-up is saved, but the picture it was set up on could not be "
                "kept beside it, so a moved camera cannot be noticed with it: " +
                    w.error(),
                MsgIcon::Exclamation);
        }
    }
    show_form();
}

void Grid_Setup::set_picture_size() {
    SetupForm& f = app_.setup_form();
    f.txtPicWidth = signed_number(picture->picture_width_twips());
    f.txtPicHeight = signed_number(picture->picture_height_twips());
    show_form();
}

bool Grid_Setup::load_picture_file(const std::string& path) {
    std::string error;
    if (!picture->load_picture(path, &error)) {
        app_.WriteDebugLog("Set-up picture not loaded: " + error);
        return false;
    }
    return true;
}

void Grid_Setup::mnuLoadPicture_Click() {
    FileRequest request;
    request.title = "Load Picture";
    request.filter = kPictureFilter;
    request.filter_index = 1;
    request.initial_folder = app_.configuration().captures_folder;
    const auto chosen = app_.dialogs().open_file(request);
    if (!chosen || chosen->empty())
        return;
    if (load_picture_file(*chosen))
        set_picture_size();
}

void Grid_Setup::mnuClearPicture_Click() {
    picture->clear_picture();
}

void Grid_Setup::mnuPaste_Click() {
    std::string error;
    if (!picture->paste_clipboard(&error)) {
        app_.WriteDebugLog("Set-up picture not pasted: " + error);
        return;
    }
    set_picture_size();
}

void Grid_Setup::mnuMeasurePic_Click() {
    if (load_picture_file(join_path(app_.paths().app_folder, kCaptureFile)))
        set_picture_size();
}

void Grid_Setup::mnuCalibrate_Click() {
    Calibrate& calibrate = app_.calibrate();
    calibrate.show();
    calibrate.raise();
    calibrate.activateWindow();
}

// --- Leaving ------------------------------------------------------------------------

void Grid_Setup::gridExit_Click() {
    const auto before = value_box_texts(app_.setup_form());
    GridContext ctx = app_.grid_context();
    const LeaveResult r = leave_setup(ctx, app_.configuration());
    if (r.leave) {
        hide();
        keyTimer->stop();
        app_.main_form().show();
    }
    if (r.complete) {
        const GridDefinition& w = app_.grids().working;
        const std::uint32_t colour = marker_colour();
        for (SetupPoint p : kSetupPoints) {
            const ScreenPoint s = point_position(w, p);
            picture->draw(Figure::cross(s.x, s.y, 100, colour));
        }
        const GridPoint& ur = w.corners[kUpperRight];
        const GridPoint& lr = w.corners[kLowerRight];
        const GridPoint& ul = w.corners[kUpperLeft];
        const GridPoint& ll = w.corners[kLowerLeft];
        picture->draw(Figure::line(ur.screen_x, ur.screen_y, lr.screen_x, lr.screen_y, colour));
        picture->draw(Figure::line(ul.screen_x, ul.screen_y, ll.screen_x, ll.screen_y, colour));
    }
    settle(before);
}

}  // namespace rs
