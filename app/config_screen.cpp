#include "app/config_screen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/app.h"
#include "app/main_screen.h"
#include "app/screen_widgets.h"
#include "app/text_fields.h"
#include "grid/setup_files.h"
#include "platform/file_reader.h"
#include "platform/file_writer.h"

namespace rs {

namespace {

using namespace widgets;

// The measurement screen labels whose text colour follows the label colour.
const char* const kColoredLabels[] = {
    "Make_comment", "Other_Grid", "Fall",      "Pass",      "optJumpOK",       "M_Reride",
    "O_reride",     "FrozenSign", "IWSFlabel", "AWSAlabel", "AdjustmentLabel", "CrossLabel",
    "maxbuoy",      "maxbuoym",   "minbuoy",   "minbuoym"};

// Each label's own colour under the "Default" choice.
unsigned default_label_color(const std::string& name) {
    if (name == "M_Reride")
        return kRed;
    if (name == "O_reride")
        return kYellow;
    for (const char* white : {"FrozenSign", "AdjustmentLabel", "CrossLabel", "maxbuoy", "maxbuoym",
                              "minbuoy", "minbuoym"}) {
        if (name == white)
            return kWhite;
    }
    return kBlack;
}

// A flag setting as stored by either writer: "True"/"False", or a number
// (0 is false).
bool read_flag(SettingsStore& settings, const char* key) {
    const std::string value = settings.get(key, false);
    return to_lower(trim(value)) == "true" || text_to_number(value) != 0;
}

QGroupBox* group(QWidget* parent, const char* name, const char* caption) {
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    new QVBoxLayout(g);
    return g;
}

}  // namespace

Config::Config(App& app) : app_(app) {
    setObjectName("Config");
    setWindowTitle("System Configuration Parameters");
    build();
}

void Config::build() {
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    int row = 0;
    auto text_row = [&](const char* label_name, const char* label, const char* name,
                        const char* text, const char* button_name, const char* button) {
        auto* l = new QLabel(label, central);
        l->setObjectName(label_name);
        auto* edit = new QLineEdit(text, central);
        edit->setObjectName(name);
        grid->addWidget(l, row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
        QPushButton* b = nullptr;
        if (button_name) {
            b = new QPushButton(button, central);
            b->setObjectName(button_name);
            grid->addWidget(b, row, 3);
        }
        ++row;
        return std::make_pair(edit, b);
    };
    auto [tn, unused0] = text_row("Label1", "Tournament", "TournamentName", "Default", nullptr, "");
    TournamentName = tn;
    auto [rp, find_results] = text_row("Label2", "Results file", "ResultsPathName", "Default.txt",
                                       "btnFindResults", "find");
    ResultsPathName = rp;
    auto [cp, unused1] = text_row("Label3", "Captures path", "CapturesPathName", "", nullptr, "");
    CapturesPathName = cp;
    auto [sp, browse] = text_row("Label4", "Setup files path", "SetupFilesPathName", "",
                                 "cmdBrowseForDirectory", "Find");
    SetupFilesPathName = sp;
    auto [sn, find_names] =
        text_row("Label5", "Skier name file", "SkierNameFile", "", "btnFindNames", "find");
    SkierNameFile = sn;
    (void)unused0;
    (void)unused1;

    connect(TournamentName, &QLineEdit::textChanged, this, [this] { TournamentName_Change(); });
    connect(ResultsPathName, &QLineEdit::textChanged, this, [this] { ResultsPathName_Change(); });
    connect(SetupFilesPathName, &QLineEdit::textChanged, this,
            [this] { SetupFilesPathName_Change(); });
    connect(SkierNameFile, &QLineEdit::textChanged, this, [this] { SkierNameFile_Change(); });
    connect(find_results, &QPushButton::clicked, this, [this] { btnFindResults_Click(); });
    connect(find_names, &QPushButton::clicked, this, [this] { btnFindNames_Click(); });
    connect(browse, &QPushButton::clicked, this, [this] { cmdBrowseForDirectory_Click(); });

    auto on_click = [this](QAbstractButton* b, void (Config::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
    };

    QGroupBox* gridframe = group(central, "gridframe", "Number of Grids");
    Opt1Grid = option(gridframe, gridframe->layout(), "Opt1Grid", "1");
    Opt2grid = option(gridframe, gridframe->layout(), "Opt2grid", "2");
    Opt3grid = option(gridframe, gridframe->layout(), "Opt3grid", "3");
    on_click(Opt1Grid, &Config::Opt1Grid_Click);
    on_click(Opt2grid, &Config::Opt2grid_Click);
    on_click(Opt3grid, &Config::Opt3grid_Click);

    QGroupBox* direction = group(central, "Jump_direction", "Jump Direction");
    left_to_right_button =
        option(direction, direction->layout(), "left_to_right_button", "Jump Left to Right");
    right_to_left_button =
        option(direction, direction->layout(), "right_to_left_button", "Jump Right to Left");
    on_click(left_to_right_button, &Config::left_to_right_button_Click);
    on_click(right_to_left_button, &Config::right_to_left_button_Click);

    QGroupBox* types = group(central, "fraTournament", "Tournament");
    Barefoot_box = check(types, types->layout(), "Barefoot_box", "Check if barefoot jumping");
    SitSki_box = check(types, types->layout(), "SitSki_box", "Check if Sit Ski");
    line_control_check =
        check(types, types->layout(), "line_control_check", "Check for line control on");
    on_click(Barefoot_box, &Config::Barefoot_box_Click);
    on_click(SitSki_box, &Config::SitSki_box_Click);
    on_click(line_control_check, &Config::line_control_check_Click);

    QGroupBox* colors = group(central, "message_colors", "Select Message Color");
    white_color = option(colors, colors->layout(), "white_color", "White");
    black_color = option(colors, colors->layout(), "black_color", "Black");
    yellow_color = option(colors, colors->layout(), "yellow_color", "Yellow");
    default_color = option(colors, colors->layout(), "default_color", "Default");
    on_click(white_color, &Config::white_color_Click);
    on_click(black_color, &Config::black_color_Click);
    on_click(yellow_color, &Config::yellow_color_Click);
    on_click(default_color, &Config::default_color_Click);

    QGroupBox* impact = group(central, "Frame4", "Impact Marker Color");
    OptImpactRed = option(impact, impact->layout(), "OptImpactRed", "Red");
    OptImpactYellow = option(impact, impact->layout(), "OptImpactYellow", "Yellow");
    OptImpactBlack = option(impact, impact->layout(), "OptImpactBlack", "Black");
    OptImpactWhite = option(impact, impact->layout(), "OptImpactWhite", "White");
    OptImpactWhite->setChecked(true);  // the designed choice
    on_click(OptImpactRed, &Config::OptImpactRed_Click);
    on_click(OptImpactYellow, &Config::OptImpactYellow_Click);
    on_click(OptImpactBlack, &Config::OptImpactBlack_Click);
    on_click(OptImpactWhite, &Config::OptImpactWhite_Click);

    QGroupBox* marker = group(central, "Frame1", "Marker Style");
    OptCross = option(marker, marker->layout(), "OptCross", "Cross");
    OptCircle = option(marker, marker->layout(), "OptCircle", "Circle");
    on_click(OptCross, &Config::OptCross_Click);
    on_click(OptCircle, &Config::OptCircle_Click);

    QGroupBox* pictures =
        group(central, "Frame3", "How to deal with individual contact point pictures");
    OptPictureAsk =
        option(pictures, pictures->layout(), "OptPictureAsk", "Ask if you want to save each time");
    OptPictureNoSave = option(pictures, pictures->layout(), "OptPictureNoSave", "Never Save");
    OptPictureSave =
        option(pictures, pictures->layout(), "OptPictureSave", "Always Save without asking");
    on_click(OptPictureAsk, &Config::OptPictureAsk_Click);
    on_click(OptPictureNoSave, &Config::OptPictureNoSave_Click);
    on_click(OptPictureSave, &Config::OptPictureSave_Click);

    QGroupBox* videos = group(central, "Frame2", "How  to deal  with captured video files");
    OptVideoAsk =
        option(videos, videos->layout(), "OptVideoAsk", "Ask if you want to save each time");
    OptVideoNoSave = option(videos, videos->layout(), "OptVideoNoSave", "Never Save ");
    OptVideoSave = option(videos, videos->layout(), "OptVideoSave", "Always Save without asking");
    on_click(OptVideoAsk, &Config::OptVideoAsk_Click);
    on_click(OptVideoNoSave, &Config::OptVideoNoSave_Click);
    on_click(OptVideoSave, &Config::OptVideoSave_Click);

    QGroupBox* other = group(central, "fraOther", "");
    WSTIMS = check(other, other->layout(), "WSTIMS", "WSTIMS Interface");
    RSIOLabel = new QLabel("Caution, WSTIMS requires RSIO directory to exist", other);
    RSIOLabel->setObjectName("RSIOLabel");
    // Hidden, it keeps its line: the controls below stay where the
    // official's next click expects them.
    QSizePolicy keep = RSIOLabel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    RSIOLabel->setSizePolicy(keep);
    RSIOLabel->setVisible(false);
    other->layout()->addWidget(RSIOLabel);
    chkLoupe = check(other, other->layout(), "chkLoupe", "Use Screen Loupe");
    auto* cmdLoupe = new QPushButton("Restart Screen Loupe if you exited it", other);
    cmdLoupe->setObjectName("cmdLoupe");
    other->layout()->addWidget(cmdLoupe);
    chkBadSetup = check(other, other->layout(), "chkBadSetup", "Allow Invalid Setup");
    chkWarnMessage =
        check(other, other->layout(), "chkWarnMessage", "Use Warning Message on Next Jump Button");
    on_click(WSTIMS, &Config::WSTIMS_Click);
    on_click(chkLoupe, &Config::chkLoupe_Click);
    on_click(cmdLoupe, &Config::cmdLoupe_Click);
    on_click(chkBadSetup, &Config::chkBadSetup_Click);
    on_click(chkWarnMessage, &Config::chkWarnMessage_Click);
    auto* camera_label =
        new QLabel("Warn when the camera has moved since the set-up by more than (pixels):", other);
    camera_label->setObjectName("lblCameraMoved");
    other->layout()->addWidget(camera_label);
    txtCameraMoved = new QLineEdit("2", other);
    txtCameraMoved->setObjectName("txtCameraMoved");
    txtCameraMoved->setMaximumWidth(80);
    other->layout()->addWidget(txtCameraMoved);
    connect(txtCameraMoved, &QLineEdit::textChanged, this, [this] { txtCameraMoved_Change(); });

    grid->addWidget(gridframe, row, 0);
    grid->addWidget(direction, row, 1);
    grid->addWidget(types, row++, 2, 1, 2);
    grid->addWidget(colors, row, 0);
    grid->addWidget(impact, row, 1);
    grid->addWidget(marker, row++, 2, 1, 2);
    grid->addWidget(pictures, row, 0, 1, 2);
    grid->addWidget(videos, row++, 2, 1, 2);
    grid->addWidget(other, row++, 0, 1, 4);
    setCentralWidget(central);

    QAction* exit = menuBar()->addAction("E&xit and Save Parameters");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, [this] { mnuExit_Click(); });
}

void Config::select(QRadioButton* option, void (Config::*handler)()) {
    option->setChecked(true);
    (this->*handler)();
}

void Config::set_check(QCheckBox* box, bool checked, void (Config::*handler)()) {
    box->setChecked(checked);
    (this->*handler)();
}

void Config::Form_Load() {
    SettingsStore& settings = app_.settings();
    Configuration& cfg = app_.configuration();
    SharedValues& shared = app_.shared();

    TournamentName->setText(QString::fromStdString(settings.get("TournamentName", "")));
    // A stored name equal to the designed text ("Default") changes nothing
    // in the box, yet it is the tournament's name.
    TournamentName_Change();
    txtCameraMoved->setText(QString::fromStdString(settings.get("cameraMoved", "2")));

    const std::string video_dir =
        strip_trailing_separator(trim(app_.main_form().txtVideoDir->text().toStdString()));
    ResultsPathName->setText(QString::fromStdString(
        join_path(video_dir, "JumpMeasurementResults" + mmddyy(app_.clock().now()) + ".txt")));

    CapturesPathName->setText(QString::fromStdString(shared.video_folder));
    SetupFilesPathName->setText(QString::fromStdString(settings.get("SetupFiles", "")));
    shared.setup_folder = SetupFilesPathName->text().toStdString();
    cfg.captures_folder = CapturesPathName->text().toStdString();

    cfg.picture_extension = ".bmp";
    cfg.picture_format = "1";
    cfg.picture_type = "bmp";

    const std::string label = settings.get("labelcolor", "");
    if (label == "white") {
        select(white_color, &Config::white_color_Click);
    } else if (label == "black") {
        select(black_color, &Config::black_color_Click);
    } else if (label == "yellow") {
        select(yellow_color, &Config::yellow_color_Click);
    } else {
        // "default", and an empty or unknown value, which is written anew.
        select(default_color, &Config::default_color_Click);
    }

    const std::string impact = settings.get("impactcolor", "");
    if (impact == "white") {
        select(OptImpactWhite, &Config::OptImpactWhite_Click);
    } else if (impact == "black") {
        select(OptImpactBlack, &Config::OptImpactBlack_Click);
    } else if (impact == "yellow") {
        select(OptImpactYellow, &Config::OptImpactYellow_Click);
    } else if (impact == "red") {
        select(OptImpactRed, &Config::OptImpactRed_Click);
    } else {
        // The designed choice is already white: nothing is written.
        OptImpactWhite->setChecked(true);
        cfg.impact_color = kWhite;
    }

    const double grids = text_to_number(settings.get("grids", 0));
    if (grids == 2) {
        select(Opt2grid, &Config::Opt2grid_Click);
    } else if (grids == 3) {
        select(Opt3grid, &Config::Opt3grid_Click);
    } else {
        select(Opt1Grid, &Config::Opt1Grid_Click);
    }

    // Grid indicators on the main screen, and the set-up files to reload.
    std::string files[3];
    for (int n = 1; n <= 3; ++n) {
        if (n >= 2)
            show_grid_row(n, false);
        if (shared.grid_count >= n) {
            files[n - 1] = settings.get("grid" + std::to_string(n) + "File", "");
            show_grid_row(n, true);
            app_.main_form().set_grid_indicator(n, PathExists(files[n - 1], 0));
        }
    }
    GridState& state = app_.grids();
    state.loading = true;
    {
        GridContext ctx = app_.grid_context();
        for (int n = 3; n >= 1; --n) {
            if (!PathExists(files[n - 1], 0))
                continue;
            state.current = n;
            reload_configured_setup(ctx, files[n - 1], n);
        }
    }
    state.loading = false;
    // A file that exists is no ready grid until it has been read and proven:
    // the indicators end showing what was loaded.
    for (int n = 1; n <= shared.grid_count; ++n)
        app_.main_form().set_grid_indicator(n, state.grid(n).loaded);

    if (read_flag(settings, "right2left")) {
        select(right_to_left_button, &Config::right_to_left_button_Click);
    } else {
        select(left_to_right_button, &Config::left_to_right_button_Click);
    }

    // Checked means line control on; the setting holds the "off" flag.
    set_check(line_control_check, !read_flag(settings, "boxlineoff"),
              &Config::line_control_check_Click);

    const std::string type = settings.get("tournamentType", "");
    set_check(Barefoot_box, type == "barefoot", &Config::Barefoot_box_Click);
    set_check(SitSki_box, type == "sitski", &Config::SitSki_box_Click);

    set_check(WSTIMS, text_to_number(settings.get("WSTIMS", 0)) != 0, &Config::WSTIMS_Click);
    if (settings.get("Loupe", 0) == "1")
        set_check(chkLoupe, true, &Config::chkLoupe_Click);

    cfg.unofficial_jump_visible = false;

    if (settings.get("buoymarker", "") == "cross") {
        select(OptCross, &Config::OptCross_Click);
    } else {
        select(OptCircle, &Config::OptCircle_Click);
    }

    app_.setup_form().gridLockedLabel_visible = false;

    const std::string pictures = settings.get("PictureSave", "");
    if (pictures == "Save") {
        select(OptPictureSave, &Config::OptPictureSave_Click);
    } else if (pictures == "NoSave") {
        select(OptPictureNoSave, &Config::OptPictureNoSave_Click);
    } else {
        select(OptPictureAsk, &Config::OptPictureAsk_Click);
    }
    const std::string videos = settings.get("VideoSave", "");
    if (videos == "Save") {
        select(OptVideoSave, &Config::OptVideoSave_Click);
    } else if (videos == "NoSave") {
        select(OptVideoNoSave, &Config::OptVideoNoSave_Click);
    } else {
        select(OptVideoAsk, &Config::OptVideoAsk_Click);
    }

    set_check(chkWarnMessage, settings.get("WarnMessage", "") == "Yes",
              &Config::chkWarnMessage_Click);
}

void Config::TournamentName_Change() {
    app_.configuration().tournament_name = TournamentName->text().toStdString();
}

void Config::ResultsPathName_Change() {
    app_.shared().results_file_path = ResultsPathName->text().toStdString();
    if (ResultsPathName->text().isEmpty()) {
        app_.dialogs().ok("Enter valid path and filename for results file");
    }
}

void Config::SetupFilesPathName_Change() {
    app_.shared().setup_folder = SetupFilesPathName->text().toStdString();
    app_.settings().save("SetupFiles", app_.shared().setup_folder);
}

void Config::SkierNameFile_Change() {
    app_.configuration().skier_name_file = SkierNameFile->text().toStdString();
}

std::string Config::find_file(const std::string& current) {
    FileRequest request;
    request.title = "Open";
    request.filter = "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|";
    request.filter_index = 2;
    request.initial_folder = app_.paths().app_folder;
    auto chosen = app_.dialogs().open_file(request);
    return chosen ? *chosen : current;
}

void Config::btnFindResults_Click() {
    ResultsPathName->setText(
        QString::fromStdString(find_file(ResultsPathName->text().toStdString())));
}

void Config::btnFindNames_Click() {
    SkierNameFile->setText(QString::fromStdString(find_file(SkierNameFile->text().toStdString())));
}

void Config::cmdBrowseForDirectory_Click() {
    const std::string folder = app_.dialogs().browse_folder("Select Directory");
    if (!folder.empty())
        SetupFilesPathName->setText(QString::fromStdString(folder));
}

void Config::show_grid_row(int n, bool visible) {
    MainForm& m = app_.main_form();
    m.lblGrid[n - 1]->setVisible(visible);
    m.ImageGrid[n - 1]->setVisible(visible);
    m.txtGridDescription[n - 1]->setVisible(visible);
}

void Config::set_grid_count(int count) {
    app_.shared().grid_count = count;
    app_.settings().save("grids", std::to_string(count));
    show_grid_row(1, true);
    show_grid_row(2, count >= 2);
    show_grid_row(3, count >= 3);
    // Every grid shown says at once whether it is ready, and measuring
    // follows the grids now configured.
    GridState& grids = app_.grids();
    for (int n = 1; n <= count; ++n)
        app_.main_form().set_grid_indicator(n, grids.grid(n).loaded);
    grids.complete = grids_complete(grids, count) ? 1 : 0;
}

void Config::Opt1Grid_Click() {
    set_grid_count(1);
}
void Config::Opt2grid_Click() {
    set_grid_count(2);
}
void Config::Opt3grid_Click() {
    set_grid_count(3);
}

void Config::left_to_right_button_Click() {
    app_.configuration().right_to_left = false;
    app_.configuration().direction_text = "left";
    app_.settings().save("right2left", "False");
}

void Config::right_to_left_button_Click() {
    app_.configuration().right_to_left = true;
    app_.configuration().direction_text = "right";
    app_.settings().save("right2left", "True");
}

void Config::Barefoot_box_Click() {
    Configuration& cfg = app_.configuration();
    if (Barefoot_box->isChecked()) {
        cfg.barefoot = true;
        cfg.barefoot_indicator_visible = true;
        cfg.barefoot_indicator_text = "Barefoot Jump";
        cfg.tournament_type = "barefoot";
        app_.settings().save("tournamentType", "barefoot");
        if (SitSki_box->isChecked())
            set_check(SitSki_box, false, &Config::SitSki_box_Click);
        return;
    }
    cfg.barefoot = false;
    if (!cfg.sitski) {
        cfg.barefoot_indicator_visible = false;
        cfg.tournament_type = "normal";
        app_.settings().save("tournamentType", "normal");
    }
}

void Config::SitSki_box_Click() {
    Configuration& cfg = app_.configuration();
    if (SitSki_box->isChecked()) {
        cfg.sitski = true;
        cfg.barefoot_indicator_visible = true;
        cfg.barefoot_indicator_text = "Sit Ski Jump";
        cfg.tournament_type = "sitski";
        app_.settings().save("tournamentType", "sitski");
        if (Barefoot_box->isChecked())
            set_check(Barefoot_box, false, &Config::Barefoot_box_Click);
        return;
    }
    cfg.sitski = false;
    if (!cfg.barefoot) {
        cfg.barefoot_indicator_visible = false;
        cfg.tournament_type = "normal";
        app_.settings().save("tournamentType", "normal");
    }
}

void Config::line_control_check_Click() {
    Configuration& cfg = app_.configuration();
    cfg.line_control_off = !line_control_check->isChecked();
    cfg.line_text = cfg.line_control_off ? "line_off" : "line_on";
    app_.settings().save("boxlineoff", cfg.line_control_off ? "True" : "False");
}

void Config::set_label_color(unsigned color, const char* name) {
    app_.configuration().label_color = color;
    set_colors();
    app_.configuration().label_color_name = name;
    app_.settings().save("labelcolor", name);
}

void Config::set_colors() {
    Configuration& cfg = app_.configuration();
    for (const char* name : kColoredLabels)
        cfg.measure_label_colors[name] = cfg.label_color;
}

void Config::white_color_Click() {
    set_label_color(kWhite, "white");
}
void Config::black_color_Click() {
    set_label_color(kBlack, "black");
}
void Config::yellow_color_Click() {
    set_label_color(kYellow, "yellow");
}

void Config::default_color_Click() {
    Configuration& cfg = app_.configuration();
    for (const char* name : kColoredLabels)
        cfg.measure_label_colors[name] = default_label_color(name);
    cfg.label_color_name = "default";
    app_.settings().save("labelcolor", "default");
}

void Config::set_impact_color(unsigned color, const char* name) {
    app_.configuration().impact_color = color;
    app_.settings().save("impactcolor", name);
}

void Config::OptImpactRed_Click() {
    set_impact_color(kRed, "red");
}
void Config::OptImpactYellow_Click() {
    set_impact_color(kYellow, "yellow");
}
void Config::OptImpactBlack_Click() {
    set_impact_color(kBlack, "black");
}
void Config::OptImpactWhite_Click() {
    set_impact_color(kWhite, "white");
}

void Config::OptCross_Click() {
    app_.configuration().buoy_marker = "cross";
    app_.settings().save("buoymarker", "cross");
}

void Config::OptCircle_Click() {
    app_.configuration().buoy_marker = "circle";
    app_.settings().save("buoymarker", "circle");
}

void Config::set_policy(std::string& policy, const char* key, const char* value) {
    policy = value;
    app_.settings().save(key, value);
}

void Config::OptPictureAsk_Click() {
    set_policy(app_.configuration().picture_save, "PictureSave", "Ask");
}
void Config::OptPictureNoSave_Click() {
    set_policy(app_.configuration().picture_save, "PictureSave", "NoSave");
}
void Config::OptPictureSave_Click() {
    set_policy(app_.configuration().picture_save, "PictureSave", "Save");
}
void Config::OptVideoAsk_Click() {
    set_policy(app_.configuration().video_save, "VideoSave", "Ask");
}
void Config::OptVideoNoSave_Click() {
    set_policy(app_.configuration().video_save, "VideoSave", "NoSave");
}
void Config::OptVideoSave_Click() {
    set_policy(app_.configuration().video_save, "VideoSave", "Save");
}

void Config::WSTIMS_Click() {
    Configuration& cfg = app_.configuration();
    cfg.wstims = WSTIMS->isChecked();
    cfg.wstims_state = cfg.wstims ? "WSTIMS ON" : "WSTIMS OFF";
    RSIOLabel->setVisible(cfg.wstims);
    app_.settings().save("WSTIMS", cfg.wstims ? "1" : "0");
}

void Config::start_magnifier() {
    // An outside magnifier installed at its usual place is started; without
    // one, the program's own loupe on the picture screens serves while "Use
    // Screen Loupe" is checked.
    const std::string loupe = join_path(join_path(app_.paths().app_folder, "Loupe"), "Loupe.exe");
    if (FileExists(loupe))
        app_.starter().start(loupe);
}

void Config::chkLoupe_Click() {
    app_.configuration().use_loupe = chkLoupe->isChecked();
    if (chkLoupe->isChecked())
        start_magnifier();
    app_.settings().save("Loupe", chkLoupe->isChecked() ? "1" : "0");
}

void Config::cmdLoupe_Click() {
    // A restart, not a choice: the program's own loupe stays as "Use Screen
    // Loupe" has it.
    start_magnifier();
}

void Config::append_results_line(const std::string& text) {
    const DateTime now = app_.clock().now();
    const std::string line =
        text + date_text(now) + "  " + time_text(now) + " " + app_.configuration().tournament_name;
    if (!app_.files().append_lines(app_.shared().results_file_path, {line})) {
        app_.WriteDebugLog("Results file not written: " + app_.shared().results_file_path);
    }
}

void Config::txtCameraMoved_Change() {
    // Only a number of pixels above 0 is taken; anything else leaves the
    // limit as it was, so a half-typed value never turns the warning off.
    const std::string text = trim(txtCameraMoved->text().toStdString());
    char* end = nullptr;
    const double pixels = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(pixels > 0) || pixels > 1000)
        return;
    app_.configuration().camera_moved_limit_px = pixels;
    (void)app_.settings().save("cameraMoved", text);
}

void Config::chkBadSetup_Click() {
    const bool allowed = chkBadSetup->isChecked();
    app_.configuration().allow_bad_setups = allowed;
    app_.setup_form().chkBadSetup = allowed;
    if (allowed) {
        app_.WriteDebugLog("Warning - Bad Setups allowed");
        append_results_line("Invalid Configurations Allowed: ");
    } else {
        app_.WriteDebugLog("Bad Setups restricted again");
        append_results_line("Only valid Configurations Allowed: ");
    }
}

void Config::chkWarnMessage_Click() {
    app_.configuration().warn_message = chkWarnMessage->isChecked();
    app_.settings().save("WarnMessage", chkWarnMessage->isChecked() ? "Yes" : "No");
}

void Config::closeEvent(QCloseEvent* event) {
    // Closing the window is the screen's own exit: the name typed is kept,
    // the configuration line written and the skier names read.
    event->ignore();
    mnuExit_Click();
}

void Config::mnuExit_Click() {
    Configuration& cfg = app_.configuration();
    app_.settings().save("TournamentName", TournamentName->text().toStdString());
    app_.settings().save("labelcolor", cfg.label_color_name);

    std::string captures = cfg.captures_folder;
    while (!captures.empty() && captures.back() == ' ')
        captures.pop_back();
    if (captures.empty() || (captures.back() != '\\' && captures.back() != '/')) {
        captures.push_back(kPathSeparator);
    }
    cfg.captures_folder = captures;
    CapturesPathName->setText(QString::fromStdString(captures));

    hide();
    append_results_line("New Configuration: ");

    if (!SkierNameFile->text().isEmpty()) {
        auto content = read_whole_file(SkierNameFile->text().toStdString(), kSmallTextLimit);
        cfg.skier_names.clear();
        if (content) {
            for (auto& name : comma_fields(*content)) {
                if (!name.empty())
                    cfg.skier_names.push_back(std::move(name));
            }
        }
        if (cfg.skier_names.empty())
            app_.dialogs().ok("Names not loaded, check file name and path");
    }
    app_.main_form().show();
}

}  // namespace rs
