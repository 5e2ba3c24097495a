#pragma once
// frmSetStart: the frame selection screen. It shows a jump video in the frame
// player, lets the operator step to the frame of first contact (buttons,
// arrow keys polled every 100 ms, keypad 4 and 6 in the player), replays the
// seconds around the start and the end of the timing window, and takes the
// displayed frame to "currentcapture.bmp" for the measurement screen or the
// grid set-up screen. It is reached after a capture ("Capture"), from the log
// viewer ("View") or empty from the main and capture screens.
//
// The replay loops and the rules live in FrameSelection (plain C++); the
// screen carries out their orders on the player and the replay timer.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "video/frame_selection.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace rs {

class App;
class FramePlayerWidget;
class FrameSliderWidget;

class frmSetStart final : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmSetStart(App& app);
    ~frmSetStart() override;

    void Form_Load();
    // The set-up by navigation state; runs once each time the screen is
    // shown, after whoever showed it has set the navigation state.
    void Form_Paint();
    void Form_GotFocus();
    void Form_LostFocus();

    void Command6_Click();  // browse
    // The timeline under the player: dragged (each frame passed) and let go
    // or clicked (the frame it rests on).
    void sldFrames_Scroll(std::int64_t frame);
    void sldFrames_Change(std::int64_t frame);
    // A frame number typed into Text9 and confirmed with Enter.
    void Text9_Enter();
    void Command1_Click();  // one frame back
    void Command4_Click();  // one frame forward
    void Timer2_Timer();    // arrow keys
    // A key pressed while the player has the focus, as a virtual key code
    // (102 numeric keypad 6, 100 numeric keypad 4).
    void MediaPlayer1_KeyDown(int key_code);
    void Text4_Change();
    void Text7_Change();
    void Command5_Click();  // play before start
    void Command7_Click();  // play before end
    void cmdPlayAndPause_Click();
    void Timer1_Timer();  // end or repeat of a replay
    void cmdMarkStart_Click();
    void btnGoToSetup_Click();
    void cbFullScreen_Click();
    void cbPlayAfter_Click();
    void cmdGoToCapture_Click();
    void cmdGoToSetup_Click();
    void cmdViewLog_Click();

    // The screen's values and its replay state.
    FrameSelection& values() { return values_; }
    bool view_done() const { return view_done_; }
    bool for_setup() const { return for_setup_; }
    // True once a capture handed over by the capture screen has been set up.
    bool capture_handled() const { return capture_handled_; }

    // Free bytes of the file system holding a folder; the platform's answer
    // unless a test puts another in.
    std::function<std::optional<std::uintmax_t>(const std::string&)> free_space = free_bytes_of;

    FramePlayerWidget* MediaPlayer1 = nullptr;
    FrameSliderWidget* sldFrames = nullptr;
    // What is wrong with the frames of the video shown (missing or doubled
    // frames, named); hidden for a sound video.
    QLabel* lblVideoProblem = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command4 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command6 = nullptr;
    QLineEdit* Text6 = nullptr;
    QListWidget* lstFileInfo = nullptr;
    QPushButton* Command5 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* txtStartLoop = nullptr;
    QPushButton* Command7 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* txtEndLoop = nullptr;
    QCheckBox* cbPlayAfter = nullptr;
    QCheckBox* cbFullScreen = nullptr;
    QPushButton* cmdPlayAndPause = nullptr;
    QPushButton* cmdMarkStart = nullptr;
    QPushButton* btnGoToSetup = nullptr;
    QPushButton* cmdGoToCapture = nullptr;
    QPushButton* cmdGoToSetup = nullptr;
    QPushButton* cmdViewLog = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* lblDiskSpace = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text8 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    bool barefoot() const;
    std::int64_t position() const;
    void show_position();
    void show_marks();
    void load_player(const std::string& path);
    void clear_video();
    void video_loaded();
    bool reload_if_changed();
    void open_video();
    void read_video_values(const std::string& path);
    void show_sidecar_warning(const std::string& path, bool contact_frame);
    void reset_replay_controls();
    void show_disk_space();
    void set_up_capture();
    void set_up_view();
    void take_frame();
    ReplayInputs replay_inputs() const;
    void carry_out(const ReplayOrder& order);
    void leave_for(QMainWindow& screen);

    App& app_;
    FrameSelection values_;
    bool view_done_ = false;
    bool for_setup_ = false;
    bool capture_handled_ = false;
    std::int64_t contact_frame_ = -1;  // the contact frame a capture handed over
};

}  // namespace rs
