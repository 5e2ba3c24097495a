// The main screen's capture device controls: connecting the device, its
// lists and their settings, the audio format, the configuration dialogs,
// effects, test captures, profiles and the device's events.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/app.h"
#include "app/capture_setup.h"
#include "app/main_screen.h"
#include "app/screen_widgets.h"
#include "app/startup.h"
#include "core/text_forms.h"
#include "video/capture_screen.h"
#include "video/file_dialogs.h"

namespace rs {

namespace {

using namespace widgets;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string text_of(const QLineEdit* e) {
    return e->text().toStdString();
}

double number_of(const QLineEdit* e) {
    return text_to_number(e->text().toStdString());
}

// A whole number as the operator reads it.
QString whole(double value) {
    return q(plain_number(std::round(value)));
}

void set_checked(QCheckBox* box, bool on) {
    QSignalBlocker quiet(box);
    box->setChecked(on);
}

// Fills a combo box without running its click handler.
void fill(QComboBox* box, const std::vector<std::string>& entries, int selected) {
    QSignalBlocker quiet(box);
    box->clear();
    for (const auto& e : entries)
        box->addItem(q(e));
    box->setCurrentIndex(selected >= 0 && selected < box->count() ? selected : -1);
}

std::vector<std::string> entries_of(const QComboBox* box) {
    std::vector<std::string> out;
    for (int i = 0; i < box->count(); ++i)
        out.push_back(box->itemText(i).toStdString());
    return out;
}

// "None" and then the names the device gives for 0 .. count - 1.
template <typename NameOf>
std::vector<std::string> none_then(int count, NameOf name_of) {
    std::vector<std::string> names{"None"};
    for (int i = 0; i < count; ++i)
        names.push_back(name_of(i));
    return names;
}

}  // namespace

void MainForm::build_capture_controls(QWidget* central, QHBoxLayout* outer) {
    fraVideoConfig = new QGroupBox("Video Configuration", central);
    fraVideoConfig->setObjectName("fraVideoConfig");
    auto* vc = new QGridLayout(fraVideoConfig);
    auto combo = [this](const char* name) {
        auto* c = new QComboBox(fraVideoConfig);
        c->setObjectName(name);
        // Device and format names are read whole.
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return c;
    };
    auto edit = [this](const char* name, const char* text = "") {
        return text_box(fraVideoConfig, name, text);
    };
    Combo1 = combo("Combo1");
    CmdConnect = button(fraVideoConfig, "CmdConnect", "Connect");
    CmdPreview = button(fraVideoConfig, "CmdPreview", "Preview On");
    InputLabel = label(fraVideoConfig, "InputLabel", "Input:");
    VideoInput = combo("VideoInput");
    ChannelLabel = label(fraVideoConfig, "ChannelLabel", "Channel:");
    Channel = combo("Channel");
    ResolLabel = label(fraVideoConfig, "ResolLabel", "Resolution:");
    ResolutionCombo = combo("ResolutionCombo");
    ColorLabel = label(fraVideoConfig, "ColorLabel", "Color Format:");
    ColorFormatCombo = combo("ColorFormatCombo");
    Effect = combo("Effect");
    VideoConfig = button(fraVideoConfig, "VideoConfig", "Configure...");
    CompressionCombo = combo("CompressionCombo");
    ComprConfig = button(fraVideoConfig, "ComprConfig", "Configure...");
    AudioDevice = combo("AudioDevice");
    AudioConfig = button(fraVideoConfig, "AudioConfig", "Configure...");
    AudioCompLabel = label(fraVideoConfig, "AudioCompLabel", "Compression:");
    AudioCompr = combo("AudioCompr");
    AttribLabel = label(fraVideoConfig, "AttribLabel", "Attributes:");
    ComboAttrib = combo("ComboAttrib");
    for (const auto& item : audio_attribute_items())
        ComboAttrib->addItem(q(item));
    Check1 = new QCheckBox("Listen", fraVideoConfig);
    Check1->setObjectName("Check1");
    EdtRate = edit("EdtRate");
    EdtLimit = edit("EdtLimit");
    CaptureType = combo("CaptureType");
    CaptureType->addItems({"Frames", "Streams"});
    EdtFile = edit("EdtFile", "testvid.avi");
    CmdCapFN = button(fraVideoConfig, "CmdCapFN", "...");
    CmdCap = button(fraVideoConfig, "CmdCap", "Capture Frame");
    auto* CmdLoadProfile = button(fraVideoConfig, "CmdLoadProfile", "Load Profile...");
    auto* CmdSaveProfile = button(fraVideoConfig, "CmdSaveProfile", "Save Profile...");

    FrmOptions = new QGroupBox("Options", fraVideoConfig);
    FrmOptions->setObjectName("FrmOptions");
    auto* fo = new QGridLayout(FrmOptions);
    ChkProg = new QCheckBox("Progressive JPG", FrmOptions);
    ChkProg->setObjectName("ChkProg");
    ChkAutoSave = new QCheckBox("AutoSave", FrmOptions);
    ChkAutoSave->setObjectName("ChkAutoSave");
    ChkAutoInc = new QCheckBox("AutoIncrement", FrmOptions);
    ChkAutoInc->setObjectName("ChkAutoInc");
    fo->addWidget(ChkProg, 0, 0);
    fo->addWidget(ChkAutoSave, 0, 1);
    fo->addWidget(ChkAutoInc, 0, 2);
    int fr = 1;
    auto option = [&](QLineEdit*& box, const char* name, const char* caption) {
        box = text_box(FrmOptions, name, "");
        fo->addWidget(new QLabel(caption, FrmOptions), fr, 0);
        fo->addWidget(box, fr++, 1, 1, 2);
    };
    option(EdtChrom, "EdtChrom", "ChromFactor:");
    option(EdtLum, "EdtLum", "LumFactor:");
    option(EdtPass, "EdtPass", "Password:");
    option(EdtInterval, "EdtInterval", "Interval:");
    option(EdtCaption, "EdtCaption", "Caption:");
    option(EdtCapLeft, "EdtCapLeft", "CaptionLeft:");
    option(EdtCapTop, "EdtCapTop", "CaptionTop:");

    StrmOptions = new QGroupBox("Options", fraVideoConfig);
    StrmOptions->setObjectName("StrmOptions");
    auto* so = new QGridLayout(StrmOptions);
    LblFrames = label(StrmOptions, "LblFrames", "0");
    LblFrmDrop = label(StrmOptions, "LblFrmDrop", "0");
    LblSamples = label(StrmOptions, "LblSamples", "0");
    LblTime = label(StrmOptions, "LblTime", "0");
    int sr = 0;
    for (auto [caption, value] :
         {std::pair{"Total Frames", LblFrames}, std::pair{"Frames Dropped", LblFrmDrop},
          std::pair{"Total Samples", LblSamples}, std::pair{"Time (ms)", LblTime}}) {
        so->addWidget(new QLabel(caption, StrmOptions), sr, 0);
        so->addWidget(value, sr++, 1);
    }
    StrmOptions->setVisible(false);
    LblStatus = label(fraVideoConfig, "LblStatus", "");
    LblStatus->setWordWrap(true);

    List1 = new QListWidget(fraVideoConfig);
    List1->setObjectName("List1");
    for (const char* t : {"0.5", "1.0", "1.5", "2.0", "2.5", "3.0"})
        List1->addItem(t);
    List1->setMaximumHeight(110);

    int r = 0;
    auto row = [&](const char* caption, QWidget* field, QWidget* extra = nullptr) {
        vc->addWidget(new QLabel(caption, fraVideoConfig), r, 0);
        vc->addWidget(field, r, 1);
        if (extra)
            vc->addWidget(extra, r, 2);
        ++r;
    };
    auto row_labelled = [&](QLabel* caption, QWidget* field, QWidget* extra = nullptr) {
        vc->addWidget(caption, r, 0);
        vc->addWidget(field, r, 1);
        if (extra)
            vc->addWidget(extra, r, 2);
        ++r;
    };
    row("Video Device:", Combo1);
    vc->addWidget(CmdConnect, r, 0);
    vc->addWidget(CmdPreview, r, 1);
    vc->addWidget(VideoConfig, r++, 2);
    row_labelled(InputLabel, VideoInput);
    row_labelled(ChannelLabel, Channel);
    row_labelled(ResolLabel, ResolutionCombo);
    row_labelled(ColorLabel, ColorFormatCombo);
    row("Effect:", Effect);
    row("Compression:", CompressionCombo, ComprConfig);
    row("Device:", AudioDevice, AudioConfig);
    row_labelled(AudioCompLabel, AudioCompr);
    row_labelled(AttribLabel, ComboAttrib, Check1);
    row("Frame Rate (fps)", EdtRate);
    row("Time Limit (sec)", EdtLimit);
    row("Capture", CaptureType, CmdCap);
    row("File:", EdtFile, CmdCapFN);
    vc->addWidget(FrmOptions, r++, 0, 1, 3);
    vc->addWidget(StrmOptions, r++, 0, 1, 3);
    vc->addWidget(CmdLoadProfile, r, 0);
    vc->addWidget(CmdSaveProfile, r++, 1);
    vc->addWidget(LblStatus, r++, 0, 1, 3);
    vc->addWidget(new QLabel("Select Video Pause Time", fraVideoConfig), r++, 0, 1, 3);
    vc->addWidget(List1, r++, 0, 1, 3);
    fraVideoConfig->setVisible(false);
    outer->addWidget(fraVideoConfig);

    auto clicked = [this](QPushButton* b, void (MainForm::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    clicked(CmdConnect, &MainForm::CmdConnect_Click);
    clicked(CmdPreview, &MainForm::CmdPreview_Click);
    clicked(VideoConfig, &MainForm::VideoConfig_Click);
    clicked(ComprConfig, &MainForm::ComprConfig_Click);
    clicked(AudioConfig, &MainForm::AudioConfig_Click);
    clicked(CmdCapFN, &MainForm::CmdCapFN_Click);
    clicked(CmdCap, &MainForm::CmdCap_Click);
    clicked(CmdLoadProfile, &MainForm::CmdLoadProfile_Click);
    clicked(CmdSaveProfile, &MainForm::CmdSaveProfile_Click);
    // A choice the operator makes; filling a list runs none of these.
    auto chosen = [this](QComboBox* c, void (MainForm::*handler)()) {
        connect(c, &QComboBox::activated, this, [this, handler] { (this->*handler)(); });
    };
    chosen(ResolutionCombo, &MainForm::ResolutionCombo_Click);
    chosen(ColorFormatCombo, &MainForm::ColorFormatCombo_Click);
    chosen(VideoInput, &MainForm::VideoInput_Click);
    chosen(Channel, &MainForm::Channel_Click);
    chosen(CompressionCombo, &MainForm::CompressionCombo_Click);
    chosen(AudioCompr, &MainForm::AudioCompr_Click);
    chosen(AudioDevice, &MainForm::AudioDevice_Click);
    chosen(ComboAttrib, &MainForm::ComboAttrib_Click);
    chosen(Effect, &MainForm::Effect_Click);
    chosen(CaptureType, &MainForm::CaptureType_Click);
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(ChkAutoSave, &QCheckBox::clicked, this, [this] { ChkAutoSave_Click(); });
    connect(EdtRate, &QLineEdit::textChanged, this, [this] { EdtRate_Change(); });
}

void MainForm::prepare_capture_controls() {
    CaptureDevice& device = app_.capture();
    auto& settings = app_.settings();
    CmdPreview->setText(device.previewing() ? "Preview Off" : "Preview On");

    const int devices = device.device_count();
    if (devices > 0) {
        const int stored = static_cast<int>(text_to_number(settings.get("device", -1)));
        fill(Combo1, device.devices(), stored >= 0 && stored < devices ? stored : 0);
    } else {
        fill(Combo1, {kNoCaptureDevices}, 0);
    }
    const int audio = device.audio_device_count();
    fill(AudioDevice,
         none_then(std::max(audio, 0), [&](int i) { return device.audio_device_name(i); }),
         audio > 0 ? device.audio_device() + 1 : 0);
    fill(CompressionCombo,
         none_then(std::max(device.video_compressor_count(), 0),
                   [&](int i) { return device.video_compressor_name(i); }),
         device.video_compressor() + 1);
    fill(AudioCompr,
         none_then(std::max(device.audio_compressor_count(), 0),
                   [&](int i) { return device.audio_compressor_name(i); }),
         device.audio_compressor() + 1);
    const int effects = device.effect_count(kEffectSlot);
    if (effects < 1) {
        fill(Effect, {"None"}, 0);
        Effect->setEnabled(false);
    } else {
        fill(Effect, none_then(effects, [&](int i) { return device.effect_name(kEffectSlot, i); }),
             device.effect(kEffectSlot) + 1);
        Effect->setEnabled(true);
    }
    read_still_values();

    const double stored = text_to_number(settings.get("framerate", 0));
    const double rate = stored < 1 ? device.native_frame_rate() : stored;
    {
        // Setting the text while loading must not write the setting back.
        QSignalBlocker quiet(EdtRate);
        EdtRate->setText(q(plain_number(rate)));
    }
    EdtLimit->setText(q(plain_number(device.time_limit())));
    const int compression = static_cast<int>(text_to_number(settings.get("compression", -1)));
    {
        QSignalBlocker quiet(CompressionCombo);
        CompressionCombo->setCurrentIndex(
            compression >= 0 && compression < CompressionCombo->count() ? compression : 0);
    }
    OnDisconnect();
    EnableVideoCompressionConfig();
    EnableAudioConfig();

    device.set_event_handlers({[this](const CaptureDeviceChange& c) { device_changed(c); },
                               [this](const std::string& t) { status_text(t); },
                               [this](int code, const std::string& t) { status_code(code, t); },
                               [this](const std::string& t) { capture_warning(t); }});
}

void MainForm::read_still_values() {
    CaptureDevice& device = app_.capture();
    EdtFile->setText(q(device.still_file_name()));
    set_checked(ChkProg, device.progressive_jpeg());
    set_checked(ChkAutoSave, device.auto_save());
    set_checked(ChkAutoInc, device.auto_increment());
    EdtChrom->setText(q(plain_number(device.chroma_factor())));
    EdtLum->setText(q(plain_number(device.luma_factor())));
    EdtPass->setText(q(device.still_password()));
    EdtInterval->setText(q(plain_number(device.still_interval())));
    EdtCapLeft->setText(q(plain_number(device.caption_left())));
    EdtCapTop->setText(q(plain_number(device.caption_top())));
    set_checked(Check1, device.audio_listen());
}

void MainForm::OnDisconnect() {
    CmdConnect->setText("Connect");
    CmdCap->setEnabled(false);
    CmdPreview->setEnabled(false);
    VideoConfig->setEnabled(false);
    for (QComboBox* list : {ResolutionCombo, ColorFormatCombo, Channel, VideoInput}) {
        list->clear();
        list->setEnabled(false);
    }
    for (QLabel* l : {ResolLabel, ColorLabel, ChannelLabel, InputLabel})
        l->setEnabled(false);
}

void MainForm::CmdConnect_Click() {
    CaptureDevice& device = app_.capture();
    if (device.device_count() < 1) {
        app_.dialogs().ok(kNoCaptureDevicesInstalled);
        return;
    }
    if (device.connected()) {
        device.disconnect();
        OnDisconnect();
        return;
    }
    const int index = Combo1->currentIndex();
    std::string error;
    if (!device.connect(index, &error)) {
        app_.WriteDebugLog("Capture device not connected: " + error);
        app_.dialogs().ok("The capture device could not be connected: " + error,
                          MsgIcon::Exclamation);
        return;
    }
    (void)app_.settings().save("device", std::to_string(index));
    fill_device_lists();
    EdtRate->setText(whole(device.frame_rate()));
    EdtLimit->setText(whole(device.time_limit()));
    CmdCap->setEnabled(true);
    CmdPreview->setEnabled(true);
    VideoConfig->setEnabled(device.dialog_available(capture_dialog::kVideoSource));
    CmdConnect->setText("Disconnect");
    InitAudioSettings();
    if (CmdPreview->text() == "Preview Off") {
        device.set_preview(true);
        app_.shared().capture.focus_start = true;
        app_.preview_form().show();
    }
    EnableVideoCompressionConfig();
    EnableAudioConfig();
}

void MainForm::fill_device_lists() {
    CaptureDevice& device = app_.capture();
    auto& settings = app_.settings();
    auto names = [](int count, auto name_of) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i)
            out.push_back(name_of(i));
        return out;
    };
    auto stored_or = [&](const char* key, int current) {
        const int stored = static_cast<int>(text_to_number(settings.get(key, -1)));
        return stored >= 0 ? stored : current;
    };
    fill(ResolutionCombo,
         names(device.resolution_count(), [&](int i) { return device.resolution_name(i); }),
         stored_or("VideoResolution", device.resolution()));
    fill(ColorFormatCombo,
         names(device.color_format_count(), [&](int i) { return device.color_format_name(i); }),
         stored_or("ColorFormat", device.color_format()));
    for (QWidget* w :
         std::initializer_list<QWidget*>{ResolutionCombo, ColorFormatCombo, ResolLabel, ColorLabel})
        w->setEnabled(true);
    const int inputs = device.input_count();
    fill(VideoInput, names(inputs, [&](int i) { return device.input_name(i); }),
         stored_or("VideoInput", device.input()));
    VideoInput->setEnabled(inputs >= 1);
    InputLabel->setEnabled(inputs >= 1);
    if (device.has_channels()) {
        std::vector<std::string> channels;
        const int low = device.lowest_channel();
        const int high = device.highest_channel();
        // A device that reports an absurd range gets a list the screen can hold.
        for (int c = low; c <= high && channels.size() < 10000; ++c)
            channels.push_back(std::to_string(c));
        fill(Channel, channels, device.channel() - low);
        Channel->setEnabled(true);
        ChannelLabel->setEnabled(true);
    } else {
        Channel->clear();
        Channel->setEnabled(false);
        ChannelLabel->setEnabled(false);
    }
}

void MainForm::CmdPreview_Click() {
    CaptureDevice& device = app_.capture();
    const bool on = !device.previewing();
    device.set_preview(on);
    CmdPreview->setText(on ? "Preview Off" : "Preview On");
}

void MainForm::SetCaptureValues() {
    CaptureDevice& device = app_.capture();
    device.set_progressive_jpeg(ChkProg->isChecked());
    device.set_auto_save(ChkAutoSave->isChecked());
    device.set_auto_increment(ChkAutoInc->isChecked());
    device.set_chroma_factor(number_of(EdtChrom));
    device.set_luma_factor(number_of(EdtLum));
    device.set_still_interval(number_of(EdtInterval));
    device.set_still_password(text_of(EdtPass));
    device.set_caption_left(number_of(EdtCapLeft));
    device.set_caption_top(number_of(EdtCapTop));
    device.set_caption_text(text_of(EdtCaption));
    if (CaptureType->currentText() == "Frames")
        device.set_still_file_name(text_of(EdtFile));
    else
        device.set_stream_file_name(text_of(EdtFile));
    device.set_frame_rate(number_of(EdtRate));
    device.set_time_limit(number_of(EdtLimit));
    if (AudioDevice->currentIndex() > 0)
        ComboAttrib_Click();
}

void MainForm::InitAudioSettings() {
    CaptureDevice& device = app_.capture();
    const std::string text = audio_attribute_text(device.audio_sample_rate(), device.audio_bits(),
                                                  device.audio_channels());
    std::vector<std::string> items = entries_of(ComboAttrib);
    const int at = select_audio_attribute(items, text);
    QSignalBlocker quiet(ComboAttrib);
    if (at >= ComboAttrib->count())
        ComboAttrib->addItem(q(text));
    ComboAttrib->setCurrentIndex(at);
}

void MainForm::EnableVideoCompressionConfig() {
    CaptureDevice& device = app_.capture();
    ComprConfig->setEnabled(CompressionCombo->currentIndex() > 0 && device.connected() &&
                            device.dialog_available(capture_dialog::kCompression));
}

void MainForm::EnableAudioConfig() {
    CaptureDevice& device = app_.capture();
    const bool on = AudioDevice->currentIndex() > 0 && device.connected();
    for (QWidget* w : std::initializer_list<QWidget*>{AudioConfig, AttribLabel, ComboAttrib,
                                                      AudioCompLabel, AudioCompr})
        w->setEnabled(on);
    if (on)
        AudioConfig->setEnabled(device.dialog_available(capture_dialog::kAudioFormat));
}

void MainForm::ResolutionCombo_Click() {
    CaptureDevice& device = app_.capture();
    const int i = ResolutionCombo->currentIndex();
    if (i != device.resolution()) {
        device.set_resolution(i);
        (void)app_.settings().save("videoresolution", std::to_string(i));
    }
}

void MainForm::ColorFormatCombo_Click() {
    CaptureDevice& device = app_.capture();
    const int i = ColorFormatCombo->currentIndex();
    if (i != device.color_format()) {
        device.set_color_format(i);
        (void)app_.settings().save("ColorFormat", std::to_string(i));
    }
}

void MainForm::VideoInput_Click() {
    CaptureDevice& device = app_.capture();
    const int i = VideoInput->currentIndex();
    if (i != device.input()) {
        device.set_input(i);
        (void)app_.settings().save("VideoInput", std::to_string(i));
    }
}

void MainForm::Channel_Click() {
    CaptureDevice& device = app_.capture();
    device.set_channel(device.lowest_channel() + Channel->currentIndex());
}

void MainForm::CompressionCombo_Click() {
    CaptureDevice& device = app_.capture();
    const int i = CompressionCombo->currentIndex() - 1;
    if (i != device.video_compressor()) {
        device.set_video_compressor(i);
        EnableVideoCompressionConfig();
        (void)app_.settings().save("compression", std::to_string(i + 1));
    }
}

void MainForm::AudioCompr_Click() {
    CaptureDevice& device = app_.capture();
    const int i = AudioCompr->currentIndex() - 1;
    if (i != device.audio_compressor())
        device.set_audio_compressor(i);
}

void MainForm::AudioDevice_Click() {
    CaptureDevice& device = app_.capture();
    const int i = AudioDevice->currentIndex() - 1;
    if (i != device.audio_device()) {
        device.set_audio_device(i);
        EnableAudioConfig();
        if (device.connected())
            InitAudioSettings();
    }
}

void MainForm::ComboAttrib_Click() {
    const int i = ComboAttrib->currentIndex();
    if (i < 0)
        return;
    const AudioFormat f = audio_format_of_item(i, ComboAttrib->currentText().toStdString());
    CaptureDevice& device = app_.capture();
    if (f.sample_rate > 0)
        device.set_audio_sample_rate(f.sample_rate);
    device.set_audio_channels(f.channels);
    device.set_audio_bits(f.bits);
}

void MainForm::Check1_Click() {
    app_.capture().set_audio_listen(Check1->isChecked());
}

void MainForm::ChkAutoSave_Click() {
    SetCaptureValues();
}

void MainForm::EdtRate_Change() {
    const std::string text = text_of(EdtRate);
    (void)app_.settings().save("framerate", text);
    const double rate = text_to_number(text);
    app_.capture().set_frame_rate(rate);
    lblConfig->setText(q(config_caption_for_rate(rate, lblConfig->text().toStdString())));
}

void MainForm::VideoConfig_Click() {
    CaptureDevice& device = app_.capture();
    if (!device.dialog_available(capture_dialog::kVideoSource))
        return;
    const int dialog = capture_dialog::kVideoSource +
                       (Effect->currentIndex() > 0 ? capture_dialog::kWithEffect : 0);
    device.show_dialog(dialog, "");
    // The dialog may have changed any of them.
    auto select = [](QComboBox* box, int i) {
        QSignalBlocker quiet(box);
        box->setCurrentIndex(i >= 0 && i < box->count() ? i : -1);
    };
    select(ColorFormatCombo, device.color_format());
    select(ResolutionCombo, device.resolution());
    select(Channel, device.channel() - device.lowest_channel());
    select(VideoInput, device.input());
}

void MainForm::ComprConfig_Click() {
    app_.capture().show_dialog(capture_dialog::kCompression, "");
}

void MainForm::AudioConfig_Click() {
    app_.capture().show_dialog(capture_dialog::kAudioFormat, "");
}

void MainForm::Effect_Click() {
    CaptureDevice& device = app_.capture();
    int effect = -1;
    if (Effect->currentIndex() > 0) {
        const std::string name = Effect->currentText().toStdString();
        effect = device.find_effect(name);
        if (effect < 0) {
            app_.dialogs().ok("Cannot find " + name + " effect");
            QSignalBlocker quiet(Effect);
            Effect->setCurrentIndex(0);
        }
    }
    device.set_effect(0, kEffectSlot, effect);
}

void MainForm::CaptureType_Click() {
    CaptureDevice& device = app_.capture();
    const bool frames = CaptureType->currentText() == "Frames";
    CmdCap->setText(frames ? "Capture Frame" : "Capture Stream");
    EdtFile->setText(q(frames ? device.still_file_name() : device.stream_file_name()));
    FrmOptions->setVisible(frames);
    StrmOptions->setVisible(!frames);
    if (!frames) {
        EnableAudioConfig();
        EnableVideoCompressionConfig();
    }
}

void MainForm::CmdCapFN_Click() {
    EdtFile->setText(q(ShowSaveDialog(text_of(EdtFile), 0, app_.dialogs())));
}

void MainForm::CmdCap_Click() {
    CaptureDevice& device = app_.capture();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    if (CaptureType->currentText() == "Frames") {
        SetCaptureValues();
        if (!device.grab_still(&error))
            app_.WriteDebugLog("Test frame not captured: " + error);
    } else if (CmdCap->text() == "Capture Stream") {
        SetCaptureValues();
        if (device.start_stream_capture(&error)) {
            CmdCap->setText("End Capture");
        } else {
            app_.WriteDebugLog("Test stream not started: " + error);
            LblStatus->setText(q(error));
        }
    } else if (CmdCap->text() == "End Capture") {
        device.stop_capture();
        show_counters();
        CmdCap->setText("Capture Stream");
    }
    QApplication::restoreOverrideCursor();
}

void MainForm::cmdShowConfig_Click() {
    const bool show = !fraVideoConfig->isVisible();
    fraVideoConfig->setVisible(show);
    cmdShowConfig->setText(show ? "Hide Video Configuration" : "Show Video Configuration");
    app_.shared().video_config_shown = show;
}

void MainForm::CmdLoadProfile_Click() {
    const std::string path = ShowOpenDialog("", 2, app_.dialogs());
    if (path.empty())
        return;
    CaptureDevice& device = app_.capture();
    std::string error;
    if (!device.load_profile(path, &error)) {
        app_.WriteDebugLog("Capture profile not loaded: " + error);
        app_.dialogs().ok("The capture profile was not loaded: " + error, MsgIcon::Exclamation);
        return;
    }
    // Every value the profile may have changed, read back from the device.
    prepare_capture_controls();
    if (CaptureType->currentText() != "Frames")
        EdtFile->setText(q(device.stream_file_name()));
    InitAudioSettings();
    {
        QSignalBlocker quiet(EdtRate);
        EdtRate->setText(q(plain_number(device.frame_rate())));
    }
    EdtLimit->setText(q(plain_number(device.time_limit())));
    if (device.connected()) {
        fill_device_lists();
        CmdConnect->setText("Disconnect");
        CmdCap->setEnabled(true);
        CmdPreview->setEnabled(true);
        VideoConfig->setEnabled(device.dialog_available(capture_dialog::kVideoSource));
    }
    EnableVideoCompressionConfig();
    EnableAudioConfig();
}

void MainForm::CmdSaveProfile_Click() {
    const std::string path = ShowSaveDialog("", 2, app_.dialogs());
    if (path.empty())
        return;
    std::string error;
    if (!app_.capture().save_profile(path, &error)) {
        app_.WriteDebugLog("Capture profile not saved: " + error);
        app_.dialogs().ok("The capture profile was not saved: " + error, MsgIcon::Exclamation);
    }
}

void MainForm::device_changed(const CaptureDeviceChange& change) {
    CaptureDevice& device = app_.capture();
    if (change.category == kVideoSources) {
        DeviceList list{entries_of(Combo1), Combo1->currentIndex()};
        video_device_changed(list, change, device, app_.dialogs());
        fill(Combo1, list.entries, list.selected);
    } else if (change.category == kAudioSources) {
        DeviceList list{entries_of(AudioDevice), AudioDevice->currentIndex()};
        audio_device_changed(list, change, device, app_.dialogs());
        fill(AudioDevice, list.entries, list.selected);
        EnableAudioConfig();
    }
    if (change.kind == CaptureDeviceChange::removed && CmdConnect->text() == "Disconnect" &&
        !device.connected())
        OnDisconnect();
}

void MainForm::status_text(const std::string& text) {
    LblStatus->setText(q(text));
}

void MainForm::show_counters() {
    const CaptureDevice& device = app_.capture();
    LblFrames->setText(q(std::to_string(device.frames_processed())));
    LblFrmDrop->setText(q(std::to_string(device.frames_dropped())));
    LblSamples->setText(q(std::to_string(device.audio_samples())));
    LblTime->setText(q(std::to_string(device.elapsed_time_ms())));
}

void MainForm::status_code(int code, const std::string& text) {
    if (code == capture_status::kCountersChanged || code == capture_status::kCaptureEnded)
        show_counters();
    LblStatus->setText(q(text));
    if (code == capture_status::kCaptureEnded && CmdCap->text() == "End Capture")
        CmdCap->setText("Capture Stream");
}

void MainForm::capture_warning(const std::string& text) {
    app_.dialogs().ok("Warning: " + text);
}

}  // namespace rs
