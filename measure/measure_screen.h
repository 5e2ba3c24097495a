#pragma once
// Measure: the screen on which an official number is born. It shows the
// still picture of the first-contact frame under the current grid's buoy
// marks, lets the operator click and nudge the impact point, reads out the
// distance under the pointer in verify mode, records the jump to the
// results file and the scoring program's exchange files, saves the picture,
// and hands over to the capture of the next jump.
//
// The screen is a shell over measure/: its state is a MeasureForm, which the
// recording, picture saving and live-picture procedures change; after each
// handler the record is mirrored into the widgets. The marker and overlay
// are drawn on the shared picture canvas.

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>

#include "measure/audit_trail.h"
#include "measure/jump_recording.h"
#include "measure/measure_form.h"
#include "measure/picture_saving.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
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

class Measure final : public QMainWindow {
    Q_OBJECT
  public:
    explicit Measure(App& app);
    ~Measure() override;

    // --- For the other screens --------------------------------------------
    PictureCanvas& canvas() { return *picture; }
    // Loads a picture file as the screen's picture and keeps its width and
    // height texts, as on activation from frame selection.
    bool load_picture_file(const std::string& path, std::string* error = nullptr);
    void show_the_grid();
    // gif_file_name at the left of grid_description, directly below it.
    void place_file_name_below_description();

    MeasureForm& form() { return form_; }
    // The last jump recorded on this screen, and a call made with each one.
    const std::optional<RecordedJump>& last_recorded() const { return last_recorded_; }
    std::function<void(const RecordedJump&)> jump_recorded;
    // What the audit trail records beside a jump: the video and frame the
    // picture was taken from, the picture, the grid and its set-up file.
    AuditFacts audit_facts() const;

    // --- Handlers ----------------------------------------------------------
    void Form_Load();
    void Form_Activate();
    void Form_GotFocus();
    void Form_LostFocus();
    // A press (any button) and a move of the pointer over the picture, twips.
    void Form_MouseDown(double x, double y);
    void Form_MouseMove(double x, double y);
    void DrawImpactMark();

    void AdjustLeft_Click();
    void AdjustRight_Click();
    void AdjustUp_Click();
    void AdjustDown_Click();
    void keyTimer_Timer();

    void Record_Click();
    void btnNextJump_Click();
    void Command1_Click();
    void Set_grid_Click();
    void Show_grid_Click();
    void Unfreeze_Click();
    void verify_Click();

    void optJumpOK_Click();
    void Pass_Click();
    void Fall_Click();
    void O_reride_Click();
    void M_Reride_Click();
    void Other_Grid_Click();
    void Make_comment_Click();

    void Check1_Click();
    void OptMkYellow_Click();
    void OptMkWhite_Click();
    void OptMkBlack_Click();
    void newMarker_Click();
    void MarkerWidth_Change();
    void CrossSize_Change();
    void Skier_name_Change();

    void ClipSnapShot_Click();
    void mnuPaste_Click();
    void ImgSnapShot_Click();
    void cbAutoLoadClipboard_Click();
    void loadTimer_Timer();
    void LoadPict_Click();

    void SavePict_Click();
    void Exit_Click();
    void mnuCapture_Click();
    void mnuResults_Click();
    void mnuCalibrate_Click();
    void mnuViewLog_Click();

    // --- Controls, by their design names -----------------------------------
    PictureCanvas* picture = nullptr;
    QComboBox* Skier_name = nullptr;
    QLineEdit* Jump_no = nullptr;
    QLineEdit* distance = nullptr;
    QLineEdit* distance_ft = nullptr;
    QLabel* lblUncertainty = nullptr;  // "± 0.05 m" beside the meters
    QLineEdit* Comment = nullptr;
    QLabel* lblComment = nullptr;
    QPushButton* Record = nullptr;
    QPushButton* btnNextJump = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Set_grid = nullptr;
    QPushButton* Show_grid = nullptr;
    QPushButton* Unfreeze = nullptr;
    QPushButton* verify = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* optJumpOK = nullptr;
    QRadioButton* Pass = nullptr;
    QRadioButton* Fall = nullptr;
    QRadioButton* O_reride = nullptr;
    QRadioButton* M_Reride = nullptr;
    QRadioButton* Other_Grid = nullptr;
    QRadioButton* Make_comment = nullptr;
    QCheckBox* Check1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* OptMkYellow = nullptr;
    QRadioButton* OptMkWhite = nullptr;
    QRadioButton* OptMkBlack = nullptr;
    QCheckBox* newMarker = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* MarkerWidth = nullptr;
    QScrollBar* CrossSize = nullptr;
    QLabel* CrossLabel = nullptr;
    QLabel* AdjustmentLabel = nullptr;
    QToolButton* AdjustLeft = nullptr;
    QToolButton* AdjustRight = nullptr;
    QToolButton* AdjustUp = nullptr;
    QToolButton* AdjustDown = nullptr;
    QLabel* gridlabel = nullptr;
    QLineEdit* grid_description = nullptr;
    QLabel* FrozenSign = nullptr;
    QLabel* UnofficialJump = nullptr;
    QLineEdit* barefoot_indicator = nullptr;
    QLineEdit* xtwips = nullptr;
    QLineEdit* ytwips = nullptr;
    QLineEdit* xposition = nullptr;
    QLineEdit* yposition = nullptr;
    QLineEdit* VerifyDistance = nullptr;
    QLabel* maxbuoy = nullptr;
    QLabel* maxbuoym = nullptr;
    QLabel* minbuoy = nullptr;
    QLabel* minbuoym = nullptr;
    QLabel* IWSFlabel = nullptr;
    QLabel* AWSAlabel = nullptr;
    QLineEdit* gif_file_name = nullptr;
    QTimer* keyTimer = nullptr;
    QTimer* loadTimer = nullptr;
    QCheckBox* cbAutoLoadClipboard = nullptr;
    QToolButton* ImgSnapShot = nullptr;
    QToolButton* ClipSnapShot = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    QWidget* build_panel();
    void build_overlays();
    void build_menus();
    MeasureContext context();
    // Mirrors the record into the widgets.
    void show_form();
    // The one place the distance boxes are written.
    void show_distance(const std::string& meters, const std::string& feet);
    void select_option(ResultOption option);
    void nudge(double dx, double dy);
    void hide_marker();
    void set_picture_size();
    void apply_configuration();
    std::uint32_t overlay_colour() const;
    std::uint32_t point_colour() const;
    void set_point_colour(std::uint32_t colour);
    PictureSourceFn shown_picture() const;
    void status(const std::string& text);
    void leave_for_capture();
    // The camera-moved check of the picture shown against the current
    // grid's set-up picture.
    void check_camera_now();

    App& app_;
    MeasureForm form_;
    std::optional<RecordedJump> last_recorded_;
    QButtonGroup* results_group_ = nullptr;
    // The file the shown picture was read from; empty for the clipboard.
    std::string picture_file_;
    // The shown picture is the frame taken on the frame selection screen
    // (shared current video and frame), not a picture from elsewhere.
    bool from_frame_ = false;
    bool syncing_ = false;  // widgets are being set from the record
};

}  // namespace rs
