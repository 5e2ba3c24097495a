// The measurement screen's controls: built with their design names and
// captions, laid out beside and over the picture, and wired to their
// handlers.

#include <QButtonGroup>
#include <QCheckBox>
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
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/overlay_widgets.h"
#include "app/screen_widgets.h"
#include "measure/measure_screen.h"
#include "platform/picture_canvas_widget.h"
#include "platform/picture_view_widget.h"

namespace rs {

namespace {

using namespace widgets;
using Widgets = std::initializer_list<QWidget*>;

QLineEdit* readout(QWidget* parent, const char* name) {
    QLineEdit* e = text_box(parent, name, "");
    e->setReadOnly(true);
    return e;
}

}  // namespace

// --- Building ------------------------------------------------------------------

void Measure::build() {
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
    // The uncertainty stands beside the meters: "20.4m  ± 0.05 m".
    lblUncertainty = label(results, "lblUncertainty", "");
    lblUncertainty->setFont(big);
    lblUncertainty->setStyleSheet("color: white;");
    lblUncertainty->setToolTip(
        "How far the distance moves for half a picture pixel at the impact point, or the check "
        "buoy's miss where that is larger");
    auto* meters_row = new QHBoxLayout;
    meters_row->addWidget(distance, 1);
    meters_row->addWidget(lblUncertainty, 0);
    rv->addLayout(meters_row);
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
    for (QWidget* w : Widgets{barefoot_indicator, UnofficialJump, lblComment, Comment, Set_grid}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }

    v->addStretch(1);
    panel->setFixedWidth(300);
    return panel;
}

void Measure::build_overlays() {
    std::tie(AdjustmentLabel, AdjustUp, AdjustDown, AdjustLeft, AdjustRight) =
        micro_adjust_pad(picture);
    connect(AdjustUp, &QToolButton::clicked, this, [this] { AdjustUp_Click(); });
    connect(AdjustDown, &QToolButton::clicked, this, [this] { AdjustDown_Click(); });
    connect(AdjustLeft, &QToolButton::clicked, this, [this] { AdjustLeft_Click(); });
    connect(AdjustRight, &QToolButton::clicked, this, [this] { AdjustRight_Click(); });

    std::tie(CrossLabel, CrossSize) = size_slider(
        picture, "CrossLabel", "Adjust Cross Size (drag-it)", "CrossSize", 3000, 150, 225);
    connect(CrossSize, &QScrollBar::valueChanged, this, [this] { CrossSize_Change(); });

    gridlabel = label(picture, "gridlabel", "Grid Description (drag-it)");
    grid_description = text_box(picture, "grid_description", "");
    grid_description->setReadOnly(true);
    grid_description->setFixedWidth(260);
    gif_file_name = text_box(picture, "gif_file_name", "");
    gif_file_name->setReadOnly(true);
    gif_file_name->setFixedWidth(260);
    picture->place_overlay(gridlabel, overlay_place(8, 170), OverlayAnchor::Window);
    picture->place_overlay(grid_description, overlay_place(8, 190), OverlayAnchor::Window);
    picture->place_overlay(gif_file_name, overlay_place(8, 216), OverlayAnchor::Window);
    picture->add_drag_group(gridlabel, {grid_description, gif_file_name});

    FrozenSign = label(picture, "FrozenSign", "FROZEN");
    QFont big = FrozenSign->font();
    big.setPointSize(big.pointSize() + 10);
    FrozenSign->setFont(big);
    picture->place_overlay(FrozenSign, overlay_place(300, 8), OverlayAnchor::Window);
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
    view->addAction(picture->fit_action());
    view->addAction(picture->loupe_action());
    bar->addAction(action("mnuCapture", "C&apture Next Jump", &Measure::mnuCapture_Click));
    bar->addAction(action("Exit", "Return to &Main Screen", &Measure::Exit_Click));
}

}  // namespace rs
