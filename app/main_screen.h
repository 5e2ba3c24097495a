#pragma once
// MainForm: the first screen and the hub between the others. Its load runs
// the start-up sequence.

#include <QMainWindow>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace rs {

class App;

class MainForm final : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainForm(App& app);

    void Form_Load();
    void Form_Paint();

    void cmdConfigure_Click();
    void cmdSetup_Click();
    void cmdGoCapture_Click();
    void cmdGoTimer_Click();
    void ccmdGoToMeasure_Click();
    void btnChangeDirectory_Click();
    void txtVideoDir_Change();
    void cb15_Click();
    void cmdImport_Click();

    void mnuViewLog_Click();
    void mnuPictureLog_Click();
    void munManual_Click();
    void mnuResults_Click();
    void mnulicense_Click();
    void mnuVersions_Click();
    void mnuExit_Click();

    // Shows the ready or caution picture for grid n (1 to 3).
    void set_grid_indicator(int n, bool ready);

    QLineEdit* txtVideoDir = nullptr;
    QLabel* lblVideodir = nullptr;
    QCheckBox* cb15 = nullptr;
    QLabel* lblConfig = nullptr;
    QLineEdit* EdtRate = nullptr;
    std::array<QLabel*, 3> lblGrid{};
    std::array<QLabel*, 3> ImageGrid{};
    std::array<QLineEdit*, 3> txtGridDescription{};

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void build();
    void prepare_capture_controls();
    void settle_video_folder();
    void go_to_video_screen(bool capture);

    App& app_;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* fraVideoConfig = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* CmdPreview = nullptr;
    QListWidget* List1 = nullptr;
};

}  // namespace rs
