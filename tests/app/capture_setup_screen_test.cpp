// The main screen's capture device controls over a scripted device.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app.h"
#include "app/capture_setup.h"
#include "app/main_screen.h"
#include "tests/support/press.h"
#include "tests/support/scripted_capture_device.h"
#include "tests/support/test_app.h"

namespace rs {
namespace {

using test::ScriptedCaptureDevice;
using test::TestApp;

// A TestApp whose App commands the scripted device.
struct CaptureApp {
    // The device outlives the App, whose capture screen stops it on the way out.
    ScriptedCaptureDevice device;
    TestApp t;

    CaptureApp() {
        device.device_names = {"Built-in test source", "USB Camera"};
        device.resolutions = {"320x240", "640x480", "1920x1080"};
        device.current_resolution = 1;
        device.color_formats = {"YUY2", "MJPG"};
        device.current_color_format = 1;
        device.inputs = {"Composite", "S-Video"};
        device.current_input = 0;
        device.video_compressors = {"MJPEG", "Raw"};
        device.audio_devices = {"Microphone"};
        device.effects = {"Mirror", "Gray"};
        device.rate = 29.97;
        device.limit = 20;
    }
    MainForm& started() {
        t.app = std::make_unique<App>(Services{*t.settings, t.dialogs, t.clock,
                                               Paths{t.app_folder, t.exchange_folder}, t.keyboard,
                                               device, t.starter, t.files});
        t.started();
        t.dialogs.clear();
        return t.app->main_form();
    }
    std::vector<std::string> items(const QComboBox* box) const {
        std::vector<std::string> out;
        for (int i = 0; i < box->count(); ++i)
            out.push_back(box->itemText(i).toStdString());
        return out;
    }
};

TEST(CaptureSetupScreen, StartUpFillsTheListsFromTheDeviceAndTheSettings) {
    CaptureApp c;
    (void)c.t.settings->save("device", "1");
    (void)c.t.settings->save("compression", "2");
    c.device.current_audio_device = 0;
    c.device.current_effect = 1;
    c.device.still_file = "still.bmp";
    c.device.progressive = true;
    c.device.chroma = 2.5;
    MainForm& m = c.started();
    EXPECT_EQ(c.items(m.Combo1), (std::vector<std::string>{"Built-in test source", "USB Camera"}));
    EXPECT_EQ(m.Combo1->currentIndex(), 1);
    EXPECT_EQ(c.items(m.AudioDevice), (std::vector<std::string>{"None", "Microphone"}));
    EXPECT_EQ(m.AudioDevice->currentIndex(), 1);
    EXPECT_EQ(c.items(m.CompressionCombo), (std::vector<std::string>{"None", "MJPEG", "Raw"}));
    EXPECT_EQ(m.CompressionCombo->currentIndex(), 2);
    EXPECT_EQ(c.items(m.Effect), (std::vector<std::string>{"None", "Mirror", "Gray"}));
    EXPECT_EQ(m.Effect->currentIndex(), 2);
    EXPECT_TRUE(m.Effect->isEnabled());
    EXPECT_EQ(m.EdtFile->text(), "still.bmp");
    EXPECT_TRUE(m.ChkProg->isChecked());
    EXPECT_EQ(m.EdtChrom->text(), "2.5");
    EXPECT_EQ(m.EdtLimit->text(), "20");
    EXPECT_EQ(m.CmdConnect->text(), "Connect");
    EXPECT_FALSE(m.ResolutionCombo->isEnabled());
    EXPECT_EQ(m.ComboAttrib->count(), 16);
    // Loading stored nothing.
    EXPECT_EQ(c.t.reopen_settings().get("framerate", "unset"), "unset");
}

TEST(CaptureSetupScreen, NoDeviceListsNoCaptureDevicesAndConnectSaysSo) {
    CaptureApp c;
    c.device.device_names.clear();
    c.device.effects.clear();
    MainForm& m = c.started();
    EXPECT_EQ(c.items(m.Combo1), std::vector<std::string>{kNoCaptureDevices});
    EXPECT_FALSE(m.Effect->isEnabled());
    m.CmdConnect->click();
    EXPECT_EQ(c.t.dialogs.messages(),
              std::vector<std::string>{"No MCI capture devices are installed on this system"});
    EXPECT_EQ(c.t.dialogs.last().icon, MsgIcon::None);
    EXPECT_TRUE(std::find(c.device.calls.begin(), c.device.calls.end(), "connect 0") ==
                c.device.calls.end());
}

TEST(CaptureSetupScreen, ConnectFillsTheDeviceListsAndTheAudioFormat) {
    CaptureApp c;
    (void)c.t.settings->save("ColorFormat", "0");
    c.device.sample_rate = 22050;
    c.device.bits = 16;
    c.device.channels = 2;
    c.device.current_audio_device = 0;
    c.device.dialogs_available = {capture_dialog::kVideoSource, capture_dialog::kAudioFormat};
    MainForm& m = c.started();
    m.Combo1->setCurrentIndex(1);
    m.CmdConnect->click();
    EXPECT_TRUE(c.device.is_connected);
    EXPECT_EQ(c.device.current, 1);
    EXPECT_EQ(c.t.reopen_settings().get("device", ""), "1");
    EXPECT_EQ(m.CmdConnect->text(), "Disconnect");
    EXPECT_EQ(c.items(m.ResolutionCombo),
              (std::vector<std::string>{"320x240", "640x480", "1920x1080"}));
    EXPECT_EQ(m.ResolutionCombo->currentIndex(), 1);
    EXPECT_EQ(m.ColorFormatCombo->currentIndex(), 0);  // the stored choice
    EXPECT_TRUE(m.VideoInput->isEnabled());
    EXPECT_FALSE(m.Channel->isEnabled());
    EXPECT_TRUE(m.CmdCap->isEnabled());
    EXPECT_TRUE(m.VideoConfig->isEnabled());
    // The frame rate as a whole number; the change stores it.
    EXPECT_EQ(m.EdtRate->text(), "30");
    EXPECT_EQ(c.t.reopen_settings().get("framerate", ""), "30");
    // 22.05 kHz, 16 bits, two channels: the listed item, matched in any case.
    EXPECT_EQ(m.ComboAttrib->currentText(), "22.050 Khz, 16 Bit, Stereo");
    EXPECT_EQ(m.ComboAttrib->count(), 16);
    EXPECT_TRUE(m.ComboAttrib->isEnabled());
    EXPECT_TRUE(m.AudioConfig->isEnabled());

    // Item 6 chosen: 22.05 kHz, one channel, 16 bits.
    test::choose(m.ComboAttrib, 6);
    EXPECT_EQ(c.device.sample_rate, 22050);
    EXPECT_EQ(c.device.channels, 1);
    EXPECT_EQ(c.device.bits, 16);

    // A device at 48 kHz gets an item of its own.
    c.device.sample_rate = 48000;
    m.InitAudioSettings();
    EXPECT_EQ(m.ComboAttrib->count(), 17);
    EXPECT_EQ(m.ComboAttrib->currentText().toStdString(), "48.000 Khz, 16 bit, Mono");

    m.CmdConnect->click();
    EXPECT_FALSE(c.device.is_connected);
    EXPECT_EQ(m.CmdConnect->text(), "Connect");
    EXPECT_EQ(m.ResolutionCombo->count(), 0);
    EXPECT_FALSE(m.CmdCap->isEnabled());
}

TEST(CaptureSetupScreen, AFailedConnectIsToldAndChangesNothing) {
    CaptureApp c;
    c.device.connect_error = "Device or resource busy";
    MainForm& m = c.started();
    m.CmdConnect->click();
    ASSERT_EQ(c.t.dialogs.messages().size(), 1u);
    EXPECT_NE(c.t.dialogs.messages()[0].find("Device or resource busy"), std::string::npos);
    EXPECT_EQ(m.CmdConnect->text(), "Connect");
    EXPECT_EQ(c.t.reopen_settings().get("device", "unset"), "unset");
}

TEST(CaptureSetupScreen, FrameRateCaptions) {
    CaptureApp c;
    MainForm& m = c.started();
    struct Case {
        const char* rate;
        const char* caption;
    };
    m.lblConfig->setText("Currently Configured for L");
    for (const Case& k :
         {Case{"30", "Currently Configured for R"}, Case{"20", "Currently Configured for L"},
          Case{"10", "Currently Configured for Normal/C"},
          Case{"3", "Currently Configured for Normal/C"}, Case{"25", "Currently Configured for R"},
          Case{"abc", "Currently Configured for R"}}) {
        m.EdtRate->setText(k.rate);
        EXPECT_EQ(m.lblConfig->text().toStdString(), k.caption) << k.rate;
        EXPECT_EQ(c.t.reopen_settings().get("framerate", ""), k.rate);
    }
    m.EdtRate->setText("20");
    EXPECT_EQ(c.device.rate, 20);
}

TEST(CaptureSetupScreen, FirstDevicePluggedInWhileNoneIsListed) {
    CaptureApp c;
    c.device.device_names.clear();
    MainForm& m = c.started();
    ASSERT_EQ(m.Combo1->currentText(), kNoCaptureDevices);
    c.device.device_names = {"USB Camera"};
    c.device.device_changed({kVideoSources, CaptureDeviceChange::added, 0, "USB Camera"});
    EXPECT_EQ(c.items(m.Combo1), std::vector<std::string>{"USB Camera"});
    EXPECT_EQ(m.Combo1->currentIndex(), 0);
    EXPECT_EQ(c.device.current, 0);
    EXPECT_TRUE(c.t.dialogs.prompts().empty());

    // Connected and then pulled out: the screen returns to its unconnected state.
    m.CmdConnect->click();
    ASSERT_EQ(m.CmdConnect->text(), "Disconnect");
    c.device.is_connected = false;
    c.device.device_names.clear();
    c.device.device_changed({kVideoSources, CaptureDeviceChange::removed, 0, "USB Camera"});
    EXPECT_EQ(c.items(m.Combo1), std::vector<std::string>{kNoCaptureDevices});
    EXPECT_EQ(m.CmdConnect->text(), "Connect");
    EXPECT_FALSE(m.CmdCap->isEnabled());
}

TEST(CaptureSetupScreen, ListChoicesGoToTheDeviceAndTheSettings) {
    CaptureApp c;
    c.device.channels_present = true;
    c.device.low_channel = 2;
    c.device.high_channel = 5;
    c.device.current_channel = 3;
    c.device.dialogs_available = {capture_dialog::kVideoSource, capture_dialog::kCompression};
    MainForm& m = c.started();
    m.CmdConnect->click();
    EXPECT_EQ(c.items(m.Channel), (std::vector<std::string>{"2", "3", "4", "5"}));
    EXPECT_EQ(m.Channel->currentIndex(), 1);

    test::choose(m.ResolutionCombo, 2);
    EXPECT_EQ(c.device.current_resolution, 2);
    EXPECT_EQ(c.t.reopen_settings().get("VideoResolution", ""), "2");
    test::choose(m.VideoInput, 1);
    EXPECT_EQ(c.device.current_input, 1);
    EXPECT_EQ(c.t.reopen_settings().get("VideoInput", ""), "1");
    test::choose(m.Channel, 3);
    EXPECT_EQ(c.device.current_channel, 5);
    test::choose(m.CompressionCombo, 1);
    EXPECT_EQ(c.device.current_video_compressor, 0);
    EXPECT_EQ(c.t.reopen_settings().get("compression", ""), "1");
    EXPECT_TRUE(m.ComprConfig->isEnabled());
    m.ComprConfig->click();

    // The source dialog with an effect chosen.
    test::choose(m.Effect, 1);
    EXPECT_EQ(c.device.current_effect, 0);
    m.VideoConfig->click();
    EXPECT_EQ(c.device.dialogs_shown,
              (std::vector<int>{capture_dialog::kCompression,
                                capture_dialog::kVideoSource + capture_dialog::kWithEffect}));

    // An effect the device no longer has.
    c.device.effects = {"Mirror"};
    test::choose(m.Effect, 2);
    EXPECT_EQ(c.t.dialogs.messages().back(), "Cannot find Gray effect");
    EXPECT_EQ(m.Effect->currentIndex(), 0);
    EXPECT_EQ(c.device.current_effect, -1);
}

TEST(CaptureSetupScreen, TestCaptureOfAStreamAndItsCounters) {
    CaptureApp c;
    MainForm& m = c.started();
    m.CmdConnect->click();
    test::choose(m.CaptureType, 1);
    EXPECT_EQ(m.CmdCap->text(), "Capture Stream");
    EXPECT_FALSE(m.FrmOptions->isVisibleTo(&m));
    m.EdtFile->setText("test.avi");
    m.EdtLimit->setText("5");
    m.CmdCap->click();
    EXPECT_EQ(c.device.stream_file, "test.avi");
    EXPECT_EQ(c.device.limit, 5);
    EXPECT_EQ(m.CmdCap->text(), "End Capture");
    c.device.processed = 150;
    c.device.dropped = 2;
    c.device.elapsed_ms = 5000;
    m.CmdCap->click();
    EXPECT_EQ(m.CmdCap->text(), "Capture Stream");
    EXPECT_EQ(m.LblFrames->text(), "150");
    EXPECT_EQ(m.LblFrmDrop->text(), "2");
    EXPECT_EQ(m.LblTime->text(), "5000");

    // Status events from the device.
    c.device.processed = 160;
    c.device.status(capture_status::kCountersChanged, "Capturing");
    EXPECT_EQ(m.LblFrames->text(), "160");
    EXPECT_EQ(m.LblStatus->text(), "Capturing");

    // A recording the time limit ends shows its final counts.
    m.CmdCap->click();
    EXPECT_EQ(m.CmdCap->text(), "End Capture");
    c.device.processed = 300;
    c.device.dropped = 3;
    c.device.status(capture_status::kCaptureEnded, "Capture ended");
    EXPECT_EQ(m.CmdCap->text(), "Capture Stream");
    EXPECT_EQ(m.LblFrames->text(), "300");
    EXPECT_EQ(m.LblFrmDrop->text(), "3");
}

TEST(CaptureSetupScreen, GoingToCaptureAsksForTheStartButtonFocus) {
    CaptureApp c;
    MainForm& m = c.started();
    c.t.app->shared().capture.focus_start = false;
    test::press(m, "cmdGoCapture");
    EXPECT_TRUE(c.t.app->shared().capture.focus_start);
}

}  // namespace
}  // namespace rs
