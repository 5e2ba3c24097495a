#pragma once
// MainForm: the first screen and the hub between the others. Its load runs
// the start-up sequence.

#include <QMainWindow>
#include <array>
#include <string>

#include "platform/capture_device.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
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

    // --- Capture device set-up (app/capture_setup_view.cpp) ---------------
    void CmdConnect_Click();
    void CmdPreview_Click();
    void OnDisconnect();
    void SetCaptureValues();
    void InitAudioSettings();
    void EnableVideoCompressionConfig();
    void EnableAudioConfig();
    void ResolutionCombo_Click();
    void ColorFormatCombo_Click();
    void VideoInput_Click();
    void Channel_Click();
    void CompressionCombo_Click();
    void AudioCompr_Click();
    void AudioDevice_Click();
    void ComboAttrib_Click();
    void Check1_Click();
    void ChkAutoSave_Click();
    void EdtRate_Change();
    void VideoConfig_Click();
    void ComprConfig_Click();
    void AudioConfig_Click();
    void Effect_Click();
    void CaptureType_Click();
    void CmdCapFN_Click();
    void CmdCap_Click();
    void cmdShowConfig_Click();
    void CmdLoadProfile_Click();
    void CmdSaveProfile_Click();
    // The capture device's events (the capture screen passes them on when
    // it takes the device's handlers).
    void device_changed(const CaptureDeviceChange& change);
    void status_text(const std::string& text);
    void status_code(int code, const std::string& text);
    void capture_warning(const std::string& text);
    // The device's counters into the stream capture's labels.
    void show_counters();

    QComboBox* Combo1 = nullptr;
    QPushButton* CmdConnect = nullptr;
    QPushButton* CmdPreview = nullptr;
    QLabel* InputLabel = nullptr;
    QComboBox* VideoInput = nullptr;
    QLabel* ChannelLabel = nullptr;
    QComboBox* Channel = nullptr;
    QLabel* ResolLabel = nullptr;
    QComboBox* ResolutionCombo = nullptr;
    QLabel* ColorLabel = nullptr;
    QComboBox* ColorFormatCombo = nullptr;
    QComboBox* Effect = nullptr;
    QPushButton* VideoConfig = nullptr;
    QPushButton* ComprConfig = nullptr;
    QPushButton* AudioConfig = nullptr;
    QComboBox* CompressionCombo = nullptr;
    QComboBox* AudioDevice = nullptr;
    QLabel* AudioCompLabel = nullptr;
    QComboBox* AudioCompr = nullptr;
    QLabel* AttribLabel = nullptr;
    QComboBox* ComboAttrib = nullptr;
    QLineEdit* EdtLimit = nullptr;
    QCheckBox* Check1 = nullptr;
    QComboBox* CaptureType = nullptr;
    QLineEdit* EdtFile = nullptr;
    QPushButton* CmdCapFN = nullptr;
    QPushButton* CmdCap = nullptr;
    QGroupBox* FrmOptions = nullptr;
    QCheckBox* ChkProg = nullptr;
    QCheckBox* ChkAutoSave = nullptr;
    QCheckBox* ChkAutoInc = nullptr;
    QLineEdit* EdtChrom = nullptr;
    QLineEdit* EdtLum = nullptr;
    QLineEdit* EdtPass = nullptr;
    QLineEdit* EdtInterval = nullptr;
    QLineEdit* EdtCaption = nullptr;
    QLineEdit* EdtCapLeft = nullptr;
    QLineEdit* EdtCapTop = nullptr;
    QGroupBox* StrmOptions = nullptr;
    QLabel* LblFrames = nullptr;
    QLabel* LblFrmDrop = nullptr;
    QLabel* LblSamples = nullptr;
    QLabel* LblTime = nullptr;
    QLabel* LblStatus = nullptr;
    QPushButton* cmdShowConfig = nullptr;
    QListWidget* List1 = nullptr;

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
    void build_capture_controls(QWidget* central, QHBoxLayout* outer);
    void prepare_capture_controls();
    void fill_device_lists();
    void read_still_values();
    void settle_video_folder();
    void go_to_video_screen(bool capture);

    App& app_;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* fraVideoConfig = nullptr;
};

}  // namespace rs
