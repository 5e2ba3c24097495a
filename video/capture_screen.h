#pragma once
// PreviewForm: the capture screen. It shows the live picture of the capture
// device, holds the skier's name and the pass number, records one pass to
// "<name>jump<pass>.avi" in the video folder, takes the frame count at the
// "Contact" press, and hands the new video to the frame selection screen.
// It also grabs a still of the live picture to "currentcapture.bmp" for the
// measurement screen.
//
// The device records on its own thread; this screen only commands it and
// polls its counters (every second while recording, and for the picture).

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace rs {

class App;

inline constexpr const char* kCaptureCaption = "Rampsight 2005 Capture Screen";

class PreviewForm final : public QMainWindow {
    Q_OBJECT
  public:
    explicit PreviewForm(App& app);
    ~PreviewForm() override;

    void Form_Load();
    void Form_Activate();
    // The set-up when the screen is shown: runs once per showing, after the
    // screen that showed it has set the navigation state.
    void Form_Paint();
    void captureTimeValue_Click();
    void txtSkierName_Change();
    void cmdStartCapture_Click();
    void cmdStartTimer_Click();
    void Timer40_Timer();
    void Form_KeyDown(int key_code);
    void cmdEndCapture_Click();
    void btnCaptureFrame_Click();
    void cmdGoToTimer_Click();
    void cmdGoSetup_Click();
    void cmdSelect_Click();
    void btnGetName_Click();
    void mnuResults_Click();
    // The live picture, the frames-dropped count, and a recording the
    // device ended on its own (device lost, disk full, time limit).
    void previewTimer_Timer();

    // A recording is running.
    bool recording() const { return recording_; }
    // The capture time in seconds (3 to 6).
    double capture_time() const { return capture_time_; }
    // The device's counts at the start and at the contact press.
    std::int64_t capture_start_counter() const { return start_counter_; }

    QLabel* CapturePRO1 = nullptr;
    QLineEdit* txtSkierName = nullptr;
    QPushButton* cmdSelect = nullptr;
    QPushButton* btnGetName = nullptr;
    QLineEdit* txtPass = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* captureTimeValue = nullptr;
    QLabel* Label9 = nullptr;
    QPushButton* cmdStartCapture = nullptr;
    QPushButton* cmdStartTimer = nullptr;
    QPushButton* cmdEndCapture = nullptr;
    QPushButton* btnCaptureFrame = nullptr;
    QPushButton* cmdGoToTimer = nullptr;
    QPushButton* cmdGoSetup = nullptr;
    QLabel* captime = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* LblFrame = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* LblFrmDrop = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* lblStartFrame = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QTimer* Timer40 = nullptr;
    // Refreshes the live picture and the frames-dropped count.
    QTimer* previewTimer = nullptr;
    QAction* mnuStart = nullptr;
    QAction* mnuResults = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Where a name picked from the list or read from the scoring program
    // goes: the name field, through its own rules.
    std::function<void(const std::string&)> name_sink();

    App& app_;
    double capture_time_ = 5;
    std::string capture_path_;
    bool painted_ = false;
    bool recording_ = false;
    bool contact_pressed_ = false;
    std::int64_t start_counter_ = 0;
    std::int64_t contact_count_ = 0;
    // Set while the name rules write the cleaned name back.
    bool cleaning_ = false;

    void build();
    void stop_procedure();
    void set_pass(const std::string& pass);
    void set_ready_state();
    void ensure_connected();
    void device_warning(const std::string& text);
    void device_status(int code);
};

}  // namespace rs
