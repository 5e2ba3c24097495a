#include "measure/measure_screen.h"

#include <cmath>

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/main_screen.h"
#include "app/pending_screens.h"
#include "app/screen_widgets.h"
#include "core/text_forms.h"
#include "measure/impact_marker.h"
#include "measure/live_pictures.h"
#include "measure/results_screen.h"
#include "platform/paths.h"
#include "platform/picture_canvas_widget.h"
#include "video/frame_selection_screen.h"

namespace rs {

namespace {

using namespace widgets;

constexpr double kPixel = 15;  // twips: one nudge
constexpr int kOverlayWidth = 2;

// The marker's line controls, drawn as named shapes over the picture.
constexpr const char* kMarkerShapes[] = {"lineHorizontalImpact", "lineVerticalImpact",
                                         "lineVerticalImpactbottom", "lineSplashIndicator",
                                         "impactpoint"};

QToolButton* arrow(QWidget* parent, const char* name, Qt::ArrowType type) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setArrowType(type);
    b->setFixedSize(24, 24);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QLineEdit* readout(QWidget* parent, const char* name) {
    QLineEdit* e = text_box(parent, name, "");
    e->setReadOnly(true);
    return e;
}

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

// --- Building ------------------------------------------------------------------

void Measure::build() {
    auto* central = new QWidget(this);
    auto* outer = new QHBoxLayout(central);
    picture = new PictureCanvas(central);
    picture->setObjectName("picture");
    outer->addWidget(picture, 1);
    outer->addWidget(build_panel(), 0);
    setCentralWidget(central);
    build_overlays();
    build_menus();
    statusBar()->setObjectName("status");

    keyTimer = new QTimer(this);
    keyTimer->setObjectName("keyTimer");
    keyTimer->setInterval(100);
    connect(keyTimer, &QTimer::timeout, this, [this] { keyTimer_Timer(); });
    loadTimer = new QTimer(this);
    loadTimer->setObjectName("loadTimer");
    loadTimer->setInterval(1000);
    connect(loadTimer, &QTimer::timeout, this, [this] { loadTimer_Timer(); });

    connect(picture, &PictureCanvas::mouse_down, this,
            [this](const CanvasMouseEvent& e) { Form_MouseDown(e.x, e.y); });
    connect(picture, &PictureCanvas::mouse_move, this,
            [this](const CanvasMouseEvent& e) { Form_MouseMove(e.x, e.y); });
    resize(1400, 900);
}

QWidget* Measure::build_panel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("measurePanel");
    auto* v = new QVBoxLayout(panel);
    v->setSpacing(4);

    auto* who = new QGridLayout;
    who->addWidget(new QLabel("Skier", panel), 0, 0);
    Skier_name = new QComboBox(panel);
    Skier_name->setObjectName("Skier_name");
    Skier_name->setEditable(true);
    Skier_name->setInsertPolicy(QComboBox::NoInsert);
    who->addWidget(Skier_name, 0, 1);
    who->addWidget(new QLabel("Jump", panel), 1, 0);
    Jump_no = text_box(panel, "Jump_no", "1", 60);
    who->addWidget(Jump_no, 1, 1, Qt::AlignLeft);
    v->addLayout(who);
    connect(Skier_name, &QComboBox::editTextChanged, this, [this] { Skier_name_Change(); });
    connect(Skier_name, &QComboBox::activated, this, [this] { Skier_name_Change(); });
    connect(Jump_no, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (syncing_)
            return;
        form_.Jump_no = t.toStdString();
        form_.recorded = false;
    });

    QFont big = font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    IWSFlabel = label(panel, "IWSFlabel", "IWSF Official Distance");
    distance = text_box(panel, "distance", "m");
    AWSAlabel = label(panel, "AWSAlabel", "AWSA Official Distance");
    distance_ft = text_box(panel, "distance_ft", "ft");
    for (QLineEdit* e : {distance, distance_ft}) {
        // Only a recording writes them: a typed figure would be no official
        // distance.
        e->setReadOnly(true);
        e->setFont(big);
    }
    // The distances and the result options stand on a dark ground: their
    // captions take the configured label colours, which are chosen to read
    // on the water of a picture.
    auto* results = new QFrame(panel);
    results->setObjectName("resultsFrame");
    results->setStyleSheet("QFrame#resultsFrame { background: #303438; }");
    auto* rv = new QVBoxLayout(results);
    rv->setSpacing(2);
    IWSFlabel->setParent(results);
    AWSAlabel->setParent(results);
    rv->addWidget(IWSFlabel);
    rv->addWidget(distance);
    rv->addWidget(AWSAlabel);
    rv->addWidget(distance_ft);
    v->addWidget(results);

    barefoot_indicator = text_box(panel, "barefoot_indicator", "Barefoot Jump");
    barefoot_indicator->setReadOnly(true);
    barefoot_indicator->hide();
    v->addWidget(barefoot_indicator);
    UnofficialJump = label(panel, "UnofficialJump", "UNOFFICIAL JUMP");
    UnofficialJump->setStyleSheet("color: red; font-weight: bold;");
    UnofficialJump->hide();
    v->addWidget(UnofficialJump);

    lblComment = label(panel, "lblComment", "Comment");
    Comment = text_box(panel, "Comment", "");
    v->addWidget(lblComment);
    v->addWidget(Comment);
    connect(Comment, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (syncing_)
            return;
        form_.Comment = t.toStdString();
        form_.recorded = false;
    });

    Record = button(panel, "Record", "Record &Jump");
    btnNextJump = button(panel, "btnNextJump", "Capture Next Jump");
    QFont bold = font();
    bold.setBold(true);
    Record->setFont(bold);
    Record->setMinimumHeight(36);
    v->addWidget(Record);
    v->addWidget(btnNextJump);
    connect(Record, &QPushButton::clicked, this, [this] { Record_Click(); });
    connect(btnNextJump, &QPushButton::clicked, this, [this] { btnNextJump_Click(); });

    Frame1 = new QGroupBox(results);
    Frame1->setObjectName("Frame1");
    auto* f1 = new QGridLayout(Frame1);
    results_group_ = new QButtonGroup(this);
    struct Opt {
        QRadioButton** slot;
        const char* name;
        const char* caption;
        void (Measure::*handler)();
    };
    const Opt opts[] = {
        {&optJumpOK, "optJumpOK", "Jump OK", &Measure::optJumpOK_Click},
        {&Pass, "Pass", "Pass", &Measure::Pass_Click},
        {&Fall, "Fall", "Fall", &Measure::Fall_Click},
        {&O_reride, "O_reride", "Opt. reride", &Measure::O_reride_Click},
        {&M_Reride, "M_Reride", "Man. Reride", &Measure::M_Reride_Click},
        {&Other_Grid, "Other_Grid", "Other Grid", &Measure::Other_Grid_Click},
        {&Make_comment, "Make_comment", "Comment", &Measure::Make_comment_Click},
    };
    int i = 0;
    for (const Opt& o : opts) {
        auto* r = new QRadioButton(o.caption, Frame1);
        r->setObjectName(o.name);
        *o.slot = r;
        results_group_->addButton(r);
        f1->addWidget(r, i / 2, i % 2);
        connect(r, &QRadioButton::clicked, this, [this, h = o.handler] { (this->*h)(); });
        ++i;
    }
    rv->addWidget(Frame1);

    auto* buttons = new QGridLayout;
    Set_grid = button(panel, "Set_grid", "&Grid 1");
    Show_grid = button(panel, "Show_grid", "Show Grid");
    Unfreeze = button(panel, "Unfreeze", "Clear");
    verify = button(panel, "verify", "Verify");
    Command1 = button(panel, "Command1", "Reselect capture frame");
    buttons->addWidget(Set_grid, 0, 0);
    buttons->addWidget(Show_grid, 0, 1);
    buttons->addWidget(Unfreeze, 1, 0);
    buttons->addWidget(verify, 1, 1);
    buttons->addWidget(Command1, 2, 0, 1, 2);
    v->addLayout(buttons);
    connect(Set_grid, &QPushButton::clicked, this, [this] { Set_grid_Click(); });
    connect(Show_grid, &QPushButton::clicked, this, [this] { Show_grid_Click(); });
    connect(Unfreeze, &QPushButton::clicked, this, [this] { Unfreeze_Click(); });
    connect(verify, &QPushButton::clicked, this, [this] { verify_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    Check1 = check(panel, v, "Check1", "Set Impact Point Contols");
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    Frame2 = new QGroupBox("Point color", panel);
    Frame2->setObjectName("Frame2");
    auto* f2 = new QHBoxLayout(Frame2);
    OptMkYellow = option(Frame2, f2, "OptMkYellow", "Yellow");
    OptMkWhite = option(Frame2, f2, "OptMkWhite", "White");
    OptMkBlack = option(Frame2, f2, "OptMkBlack", "Black");
    OptMkYellow->setChecked(true);
    Frame2->hide();
    v->addWidget(Frame2);
    connect(OptMkYellow, &QRadioButton::clicked, this, [this] { OptMkYellow_Click(); });
    connect(OptMkWhite, &QRadioButton::clicked, this, [this] { OptMkWhite_Click(); });
    connect(OptMkBlack, &QRadioButton::clicked, this, [this] { OptMkBlack_Click(); });

    newMarker = check(panel, v, "newMarker", "Gap Marker Style");
    connect(newMarker, &QCheckBox::clicked, this, [this] { newMarker_Click(); });
    auto* width = new QHBoxLayout;
    Label1 = label(panel, "Label1", "Impact Line Width");
    MarkerWidth = text_box(panel, "MarkerWidth", "1", 40);
    width->addWidget(Label1);
    width->addWidget(MarkerWidth);
    width->addStretch(1);
    v->addLayout(width);
    connect(MarkerWidth, &QLineEdit::textChanged, this, [this] { MarkerWidth_Change(); });

    auto* live = new QHBoxLayout;
    cbAutoLoadClipboard = new QCheckBox("Auto Load", panel);
    cbAutoLoadClipboard->setObjectName("cbAutoLoadClipboard");
    ImgSnapShot = new QToolButton(panel);
    ImgSnapShot->setObjectName("ImgSnapShot");
    ImgSnapShot->setText("Snapshot");
    ImgSnapShot->setToolTip("Measure the snapshot picture");
    ClipSnapShot = new QToolButton(panel);
    ClipSnapShot->setObjectName("ClipSnapShot");
    ClipSnapShot->setText("Clipboard");
    ClipSnapShot->setToolTip("Measure the picture on the clipboard");
    live->addWidget(cbAutoLoadClipboard);
    live->addWidget(ImgSnapShot);
    live->addWidget(ClipSnapShot);
    v->addLayout(live);
    connect(cbAutoLoadClipboard, &QCheckBox::clicked, this,
            [this] { cbAutoLoadClipboard_Click(); });
    connect(ImgSnapShot, &QToolButton::clicked, this, [this] { ImgSnapShot_Click(); });
    connect(ClipSnapShot, &QToolButton::clicked, this, [this] { ClipSnapShot_Click(); });

    auto* verify_box = new QGridLayout;
    xtwips = readout(panel, "xtwips");
    ytwips = readout(panel, "ytwips");
    xposition = readout(panel, "xposition");
    yposition = readout(panel, "yposition");
    VerifyDistance = readout(panel, "VerifyDistance");
    xtwips->setToolTip("Pointer X on the picture, twips");
    ytwips->setToolTip("Pointer Y on the picture, twips");
    xposition->setToolTip("Pointer X on the water, meters");
    yposition->setToolTip("Pointer Y on the water, meters");
    VerifyDistance->setToolTip("Distance of the pointer from the jump point");
    verify_box->addWidget(xtwips, 0, 0);
    verify_box->addWidget(ytwips, 0, 1);
    verify_box->addWidget(xposition, 1, 0);
    verify_box->addWidget(yposition, 1, 1);
    verify_box->addWidget(VerifyDistance, 2, 0, 1, 2);
    v->addLayout(verify_box);

    // Controls that come and go keep their place, so that no button moves
    // under the operator's pointer between two clicks.
    for (QWidget* w : {(QWidget*)barefoot_indicator, (QWidget*)UnofficialJump, (QWidget*)lblComment,
                       (QWidget*)Comment, (QWidget*)Set_grid}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }

    v->addStretch(1);
    panel->setFixedWidth(300);
    return panel;
}

void Measure::build_overlays() {
    auto twips = [](int px, int py) { return QPointF(px * kPixel, py * kPixel); };
    AdjustmentLabel = label(picture, "AdjustmentLabel", "Micro-Adjust (drag-it)");
    AdjustUp = arrow(picture, "AdjustUp", Qt::UpArrow);
    AdjustDown = arrow(picture, "AdjustDown", Qt::DownArrow);
    AdjustLeft = arrow(picture, "AdjustLeft", Qt::LeftArrow);
    AdjustRight = arrow(picture, "AdjustRight", Qt::RightArrow);
    picture->place_overlay(AdjustmentLabel, twips(8, 8), OverlayAnchor::Window);
    picture->place_overlay(AdjustUp, twips(48, 30), OverlayAnchor::Window);
    picture->place_overlay(AdjustLeft, twips(22, 56), OverlayAnchor::Window);
    picture->place_overlay(AdjustRight, twips(74, 56), OverlayAnchor::Window);
    picture->place_overlay(AdjustDown, twips(48, 82), OverlayAnchor::Window);
    picture->add_drag_group(AdjustmentLabel, {AdjustUp, AdjustDown, AdjustLeft, AdjustRight});
    connect(AdjustUp, &QToolButton::clicked, this, [this] { AdjustUp_Click(); });
    connect(AdjustDown, &QToolButton::clicked, this, [this] { AdjustDown_Click(); });
    connect(AdjustLeft, &QToolButton::clicked, this, [this] { AdjustLeft_Click(); });
    connect(AdjustRight, &QToolButton::clicked, this, [this] { AdjustRight_Click(); });

    CrossLabel = label(picture, "CrossLabel", "Adjust Cross Size (drag-it)");
    CrossSize = new QScrollBar(Qt::Horizontal, picture);
    CrossSize->setObjectName("CrossSize");
    CrossSize->setRange(15, 3000);
    CrossSize->setSingleStep(15);
    CrossSize->setPageStep(150);
    CrossSize->setValue(225);
    CrossSize->setFixedWidth(150);
    picture->place_overlay(CrossLabel, twips(8, 116), OverlayAnchor::Window);
    picture->place_overlay(CrossSize, twips(8, 136), OverlayAnchor::Window);
    picture->add_drag_group(CrossLabel, {CrossSize});
    connect(CrossSize, &QScrollBar::valueChanged, this, [this] { CrossSize_Change(); });

    gridlabel = label(picture, "gridlabel", "Grid Description (drag-it)");
    grid_description = text_box(picture, "grid_description", "");
    grid_description->setReadOnly(true);
    grid_description->setFixedWidth(260);
    gif_file_name = text_box(picture, "gif_file_name", "");
    gif_file_name->setReadOnly(true);
    gif_file_name->setFixedWidth(260);
    picture->place_overlay(gridlabel, twips(8, 170), OverlayAnchor::Window);
    picture->place_overlay(grid_description, twips(8, 190), OverlayAnchor::Window);
    picture->place_overlay(gif_file_name, twips(8, 216), OverlayAnchor::Window);
    picture->add_drag_group(gridlabel, {grid_description, gif_file_name});

    FrozenSign = label(picture, "FrozenSign", "FROZEN");
    QFont big = FrozenSign->font();
    big.setPointSize(big.pointSize() + 10);
    FrozenSign->setFont(big);
    picture->place_overlay(FrozenSign, twips(300, 8), OverlayAnchor::Window);
    picture->add_drag_group(FrozenSign, {});

    // The buoy distance labels point at buoys: they move with the picture
    // and let clicks through to the water under them.
    for (QLabel** slot : {&maxbuoy, &maxbuoym, &minbuoy, &minbuoym}) {
        const char* name = slot == &maxbuoy    ? "maxbuoy"
                           : slot == &maxbuoym ? "maxbuoym"
                           : slot == &minbuoy  ? "minbuoy"
                                               : "minbuoym";
        *slot = label(picture, name, "");
        (*slot)->setAttribute(Qt::WA_TransparentForMouseEvents);
        picture->place_overlay(*slot, QPointF(0, 0));
    }
}

void Measure::build_menus() {
    QMenuBar* bar = menuBar();
    auto action = [this](const char* name, const char* caption, void (Measure::*handler)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    bar->addAction(action("SavePict", "&Save Picture", &Measure::SavePict_Click));
    bar->addAction(action("LoadPict", "&Load Picture", &Measure::LoadPict_Click));
    bar->addAction(action("mnuPaste", "&Paste", &Measure::mnuPaste_Click));
    bar->addAction(action("mnuResults", "&Results", &Measure::mnuResults_Click));
    bar->addAction(action("mnuCalibrate", "&Calibrate", &Measure::mnuCalibrate_Click));
    bar->addAction(action("mnuViewLog", "&View Log", &Measure::mnuViewLog_Click));
    QMenu* view = bar->addMenu("&Zoom");
    view->setObjectName("mnuZoom");
    view->addAction(picture->zoom_in_action());
    view->addAction(picture->zoom_out_action());
    view->addAction(picture->actual_size_action());
    view->addAction(picture->loupe_action());
    bar->addAction(action("mnuCapture", "C&apture Next Jump", &Measure::mnuCapture_Click));
    bar->addAction(action("Exit", "Return to &Main Screen", &Measure::Exit_Click));
}

// --- Mirroring -------------------------------------------------------------------

MeasureContext Measure::context() {
    return MeasureContext{form_,         app_.grids(),     app_.configuration(),
                          app_.shared(), app_.dialogs(),   app_.files(),
                          app_.clock(),  app_.debug_log(), app_.paths()};
}

void Measure::show_distance(const std::string& meters, const std::string& feet) {
    distance->setText(QString::fromStdString(meters));
    distance_ft->setText(QString::fromStdString(feet));
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
    for (QWidget* w : {(QWidget*)xtwips, (QWidget*)ytwips, (QWidget*)xposition, (QWidget*)yposition,
                       (QWidget*)VerifyDistance, (QWidget*)UnofficialJump})
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
    for (QWidget* w : {(QWidget*)AdjustLeft, (QWidget*)AdjustRight, (QWidget*)AdjustUp,
                       (QWidget*)AdjustDown, (QWidget*)AdjustmentLabel})
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
    for (QWidget* w :
         {(QWidget*)AdjustmentLabel, (QWidget*)CrossLabel, (QWidget*)FrozenSign, (QWidget*)maxbuoy,
          (QWidget*)maxbuoym, (QWidget*)minbuoy, (QWidget*)minbuoym, (QWidget*)IWSFlabel,
          (QWidget*)AWSAlabel, (QWidget*)optJumpOK, (QWidget*)Pass, (QWidget*)Fall,
          (QWidget*)O_reride, (QWidget*)M_Reride, (QWidget*)Other_Grid, (QWidget*)Make_comment}) {
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
    if (!picture->load_picture(path, error))
        return false;
    set_picture_size();
    picture_file_ = path;
    form_.recorded = false;
    return true;
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
    for (QWidget* w : {(QWidget*)AdjustLeft, (QWidget*)AdjustRight, (QWidget*)AdjustUp,
                       (QWidget*)AdjustDown, (QWidget*)AdjustmentLabel})
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
    // Keys typed into the name, number or comment move their caret.
    QWidget* focus = focusWidget();
    if (focus && (focus == Jump_no || focus == Comment || Skier_name->isAncestorOf(focus) ||
                  focus == Skier_name))
        return;
    KeyboardState& keys = app_.keyboard();
    const std::pair<Key, void (Measure::*)()> order[] = {
        {Key::Left, &Measure::AdjustLeft_Click},
        {Key::Up, &Measure::AdjustUp_Click},
        {Key::Right, &Measure::AdjustRight_Click},
        {Key::Down, &Measure::AdjustDown_Click},
    };
    for (const auto& [key, handler] : order) {
        if (keys.is_down(key)) {
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
    for (QWidget* w : {(QWidget*)AdjustLeft, (QWidget*)AdjustRight, (QWidget*)AdjustUp,
                       (QWidget*)AdjustDown, (QWidget*)AdjustmentLabel})
        w->hide();
    picture->clear_picture();
    picture_file_.clear();
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
