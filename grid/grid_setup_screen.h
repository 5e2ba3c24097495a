#pragma once
// Grid_Setup: the screen on which the operator builds a grid from a still
// picture of the course. Choose a point, click it on the picture, nudge it a
// pixel at a time (alone, or the whole grid when locked), type the survey
// values, accept, check the accuracy, save and load set-up files, switch
// grids, and leave with a report of every grid's state.
//
// The screen is a shell over the grid logic: its state is the App's
// SetupForm and GridState, which the procedures of grid/ change; after each
// handler the record is mirrored into the widgets, and the drawing requests
// the procedures leave in the record are applied to the picture.

#include <QMainWindow>
#include <array>
#include <string>
#include <vector>

#include "grid/accuracy_check.h"
#include "grid/grid_context.h"
#include "grid/setup_procedures.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QToolButton;

namespace rs {

class App;
class PictureCanvas;
struct CanvasMouseEvent;

// The value boxes, each with its change handler named after it.
// clang-format off
#define RS_SETUP_VALUE_BOXES(X) \
    X(upper_left_x) \
    X(upper_left_y) \
    X(lower_left_x) \
    X(lower_left_y) \
    X(upper_right_x) \
    X(upper_right_y) \
    X(lower_right_x) \
    X(lower_right_y) \
    X(ul_survey_x) \
    X(ul_survey_y) \
    X(ll_survey_x) \
    X(ll_survey_y) \
    X(ur_survey_x) \
    X(ur_survey_y) \
    X(lr_survey_x) \
    X(lr_survey_y) \
    X(jump_x) \
    X(jump_y) \
    X(txtCheckX) \
    X(txtCheckY) \
    X(txtCheckXpix) \
    X(txtCheckYpix)
// clang-format on

class Grid_Setup final : public QMainWindow {
    Q_OBJECT
  public:
    explicit Grid_Setup(App& app);
    ~Grid_Setup() override;

    void Form_Load();
    void Form_Activate();
    void Form_GotFocus();
    void Form_LostFocus();
    void Form_Paint();
    // A press on the picture at twips (x, y).
    void Form_MouseDown(double x, double y);

    void upper_left_button_Click();
    void lower_left_button_Click();
    void upper_right_button_Click();
    void lower_right_button_Click();
    void optCheckBuoy_Click();

    void AdjustUp_Click();
    void AdjustDown_Click();
    void AdjustLeft_Click();
    void AdjustRight_Click();
    void keyTimer_Timer();

#define RS_DECLARE_CHANGE(name) void name##_Change();
    RS_SETUP_VALUE_BOXES(RS_DECLARE_CHANGE)
#undef RS_DECLARE_CHANGE

    void chkboxGridLock_Click();
    void grid_select_Click();
    void show_alignment_Click();
    void Load_Click();
    void cmdCBlabel_Click();
    void btnAccuracyCheck_Click();
    void optAdvancedAccuracy_Click();
    void optStandardAccuracy_Click();
    void Setup_Cross_size_Change();

    void gridLoad_Click();
    void mnuLoadPicture_Click();
    void mnuClearPicture_Click();
    void mnuPaste_Click();
    void mnuMeasurePic_Click();
    void gridSave_Click();
    void mnuCalibrate_Click();
    void gridExit_Click();

    // Public operations other screens use.
    void Show_grid();
    void clear_accuracy_indicator();
    void grid_check();

    QLineEdit* box(ValueBox which) const {
        return boxes_[static_cast<size_t>(which)];
    }

    PictureCanvas* picture = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* upper_left_button = nullptr;
    QRadioButton* lower_left_button = nullptr;
    QRadioButton* upper_right_button = nullptr;
    QRadioButton* lower_right_button = nullptr;
    QRadioButton* optCheckBuoy = nullptr;
    QLineEdit* txtPicWidth = nullptr;
    QLineEdit* txtPicHeight = nullptr;
    QLineEdit* ipt_file_description = nullptr;
    QLineEdit* ipt_file_description_2 = nullptr;
    QScrollBar* Setup_Cross_size = nullptr;
    QLabel* CrossSizeLabel = nullptr;
    QToolButton* AdjustUp = nullptr;
    QToolButton* AdjustDown = nullptr;
    QToolButton* AdjustLeft = nullptr;
    QToolButton* AdjustRight = nullptr;
    QLabel* AdjustmentLabel = nullptr;
    QCheckBox* chkboxGridLock = nullptr;
    QLabel* gridLockedLabel = nullptr;
    QLabel* lblGridDragIt = nullptr;
    QPushButton* grid_select = nullptr;
    QPushButton* show_alignment = nullptr;
    QPushButton* Load = nullptr;
    QPushButton* cmdCBlabel = nullptr;
    QLabel* lblCB = nullptr;
    QLabel* grid_state_icon = nullptr;
    QPushButton* btnAccuracyCheck = nullptr;
    QGroupBox* fmAccuracyDisplay = nullptr;
    QRadioButton* optAdvancedAccuracy = nullptr;
    QRadioButton* optStandardAccuracy = nullptr;
    QGroupBox* fmAccuracyConfig = nullptr;
    QRadioButton* optDisplayDistance = nullptr;
    QRadioButton* optDetailMeasurement = nullptr;
    QRadioButton* optHomolgationLevel = nullptr;
    std::array<QLabel*, kAccuracyIndicators> AccuracyIndicator{};
    std::array<QLabel*, kLatticeSize> LineLabel{};
    QTimer* keyTimer = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void build_menus();
    void build_overlays();
    QWidget* build_panel();
    void value_box_Change(ValueBox which);
    // Mirrors the record into the widgets and applies its drawing requests.
    void show_form();
    // After a procedure: the accuracy overlay goes when any value box changed.
    void settle(const std::vector<std::string>& texts_before);
    std::optional<SetupPoint> selected_point() const;
    void nudge(double dx, double dy);
    void move_markers(const std::vector<PointMove>& moves);
    void remove_marker(double x, double y);
    void draw_marker(double x, double y);
    void set_picture_size();
    bool load_picture_file(const std::string& path);
    std::uint32_t marker_colour() const;
    void show_accuracy_labels(const std::vector<AccuracyPoint>& points, bool advanced);
    void focus_point_selection();

    App& app_;
    std::array<QLineEdit*, kValueBoxes> boxes_{};
    bool syncing_ = false;  // widgets are being set from the record
};

}  // namespace rs
