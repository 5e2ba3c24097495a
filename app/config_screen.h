#pragma once
// Config: the configuration of a tournament day. Most controls write their
// setting the moment they change; the exit writes the rest.

#include <QMainWindow>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace rs {

class App;

class Config final : public QMainWindow {
    Q_OBJECT
  public:
    explicit Config(App& app);

    void Form_Load();

    void TournamentName_Change();
    void ResultsPathName_Change();
    void SetupFilesPathName_Change();
    void SkierNameFile_Change();
    void btnFindResults_Click();
    void btnFindNames_Click();
    void cmdBrowseForDirectory_Click();
    void Opt1Grid_Click();
    void Opt2grid_Click();
    void Opt3grid_Click();
    void left_to_right_button_Click();
    void right_to_left_button_Click();
    void Barefoot_box_Click();
    void SitSki_box_Click();
    void line_control_check_Click();
    void white_color_Click();
    void black_color_Click();
    void yellow_color_Click();
    void default_color_Click();
    void OptImpactRed_Click();
    void OptImpactYellow_Click();
    void OptImpactBlack_Click();
    void OptImpactWhite_Click();
    void OptCross_Click();
    void OptCircle_Click();
    void OptPictureAsk_Click();
    void OptPictureNoSave_Click();
    void OptPictureSave_Click();
    void OptVideoAsk_Click();
    void OptVideoNoSave_Click();
    void OptVideoSave_Click();
    void WSTIMS_Click();
    void chkLoupe_Click();
    void cmdLoupe_Click();
    void chkBadSetup_Click();
    void chkWarnMessage_Click();
    void txtCameraMoved_Change();
    void mnuExit_Click();

    // Applies the label colour to the measurement screen's labels.
    void set_colors();

    QLineEdit* TournamentName = nullptr;
    QLineEdit* ResultsPathName = nullptr;
    QLineEdit* CapturesPathName = nullptr;
    QLineEdit* SetupFilesPathName = nullptr;
    QLineEdit* SkierNameFile = nullptr;
    QRadioButton* Opt1Grid = nullptr;
    QRadioButton* Opt2grid = nullptr;
    QRadioButton* Opt3grid = nullptr;
    QRadioButton* left_to_right_button = nullptr;
    QRadioButton* right_to_left_button = nullptr;
    QCheckBox* Barefoot_box = nullptr;
    QCheckBox* SitSki_box = nullptr;
    QCheckBox* line_control_check = nullptr;
    QRadioButton* white_color = nullptr;
    QRadioButton* black_color = nullptr;
    QRadioButton* yellow_color = nullptr;
    QRadioButton* default_color = nullptr;
    QRadioButton* OptImpactRed = nullptr;
    QRadioButton* OptImpactYellow = nullptr;
    QRadioButton* OptImpactBlack = nullptr;
    QRadioButton* OptImpactWhite = nullptr;
    QRadioButton* OptCross = nullptr;
    QRadioButton* OptCircle = nullptr;
    QRadioButton* OptPictureAsk = nullptr;
    QRadioButton* OptPictureNoSave = nullptr;
    QRadioButton* OptPictureSave = nullptr;
    QRadioButton* OptVideoAsk = nullptr;
    QRadioButton* OptVideoNoSave = nullptr;
    QRadioButton* OptVideoSave = nullptr;
    QCheckBox* WSTIMS = nullptr;
    QLabel* RSIOLabel = nullptr;
    QCheckBox* chkLoupe = nullptr;
    QCheckBox* chkBadSetup = nullptr;
    QCheckBox* chkWarnMessage = nullptr;
    QLineEdit* txtCameraMoved = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    // Selects an option button or sets a check box and runs its handler, as
    // a click would.
    void select(QRadioButton* option, void (Config::*handler)());
    void set_check(QCheckBox* box, bool checked, void (Config::*handler)());
    void show_grid_row(int grid, bool visible);
    void set_grid_count(int count);
    void set_label_color(unsigned color, const char* name);
    void set_impact_color(unsigned color, const char* name);
    void set_policy(std::string& policy, const char* key, const char* value);
    void append_results_line(const std::string& text);
    std::string find_file(const std::string& current);
    void start_magnifier();

    App& app_;
};

}  // namespace rs
