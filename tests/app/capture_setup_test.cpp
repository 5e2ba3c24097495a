#include "app/capture_setup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/text_forms.h"

#include "tests/support/scripted_capture_device.h"
#include "tests/support/scripted_dialogs.h"

namespace rs {
namespace {

TEST(CaptureSetup, AttributeItemsAndTheFormatEachStandsFor) {
    const auto items = audio_attribute_items();
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items[0], "11.025 Khz, 8 Bit, Mono");
    EXPECT_EQ(items[3], "11.025 Khz, 16 Bit, Stereo");
    EXPECT_EQ(items[6], "22.050 Khz, 16 Bit, Mono");
    EXPECT_EQ(items[13], "44.100 Khz, 8 Bit, Stereo");
    EXPECT_EQ(items[15], "44.100 Khz, 16 Bit, Stereo");

    const AudioFormat six = audio_format_of_item(6, items[6]);
    EXPECT_EQ(six.sample_rate, 22050);
    EXPECT_EQ(six.channels, 1);
    EXPECT_EQ(six.bits, 16);
    for (int i = 0; i < 16; ++i) {
        const AudioFormat f = audio_format_of_item(i, items[static_cast<size_t>(i)]);
        // The item's own text says the same as its index.
        EXPECT_EQ(audio_attribute_text(f.sample_rate, f.bits, f.channels).size(),
                  items[static_cast<size_t>(i)].size())
            << i;
        EXPECT_EQ(to_lower(audio_attribute_text(f.sample_rate, f.bits, f.channels)),
                  to_lower(items[static_cast<size_t>(i)]))
            << i;
    }
    // An item added for a device's own format reads its text.
    const AudioFormat added = audio_format_of_item(16, "48.000 Khz, 16 bit, Stereo");
    EXPECT_EQ(added.sample_rate, 48000);
    EXPECT_EQ(added.channels, 2);
    EXPECT_EQ(added.bits, 16);
    EXPECT_EQ(audio_format_of_item(0, "junk").sample_rate, 0);

    EXPECT_TRUE(ItoB(1));
    EXPECT_FALSE(ItoB(2));
    EXPECT_FALSE(ItoB(0));
    EXPECT_EQ(BtoI(true), 1);
    EXPECT_EQ(BtoI(false), 0);
}

TEST(CaptureSetup, DeviceFormatSelectsItsItemOrAddsOne) {
    auto items = audio_attribute_items();
    // 22.05 kHz, 16 bits, 2 channels: matched without regard to case.
    EXPECT_EQ(audio_attribute_text(22050, 16, 2), "22.050 Khz, 16 bit, Stereo");
    EXPECT_EQ(select_audio_attribute(items, audio_attribute_text(22050, 16, 2)), 7);
    EXPECT_EQ(items.size(), 16u);
    EXPECT_EQ(select_audio_attribute(items, audio_attribute_text(11025, 8, 1)), 0);
    // 48 kHz is not listed: added and selected, once.
    EXPECT_EQ(select_audio_attribute(items, audio_attribute_text(48000, 16, 2)), 16);
    EXPECT_EQ(items[16], "48.000 Khz, 16 bit, Stereo");
    EXPECT_EQ(select_audio_attribute(items, audio_attribute_text(48000, 16, 2)), 16);
    EXPECT_EQ(items.size(), 17u);
    EXPECT_EQ(audio_attribute_text(8000, 8, 1), "8.000 Khz, 8 bit, Mono");
    EXPECT_EQ(audio_attribute_text(192000, 24, 6), "192.000 Khz, 16 bit, Stereo");
}

TEST(CaptureSetup, FirstVideoDevicePluggedInBecomesCurrentWithoutAQuestion) {
    test::ScriptedCaptureDevice device;
    test::ScriptedDialogs dialogs;
    DeviceList list{{kNoCaptureDevices}, 0};
    video_device_changed(list, {kVideoSources, CaptureDeviceChange::added, 0, "USB Camera"}, device,
                         dialogs);
    EXPECT_EQ(list.entries, std::vector<std::string>{"USB Camera"});
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(device.current, 0);
    EXPECT_TRUE(dialogs.prompts().empty());

    // A second one is offered while nothing is connected.
    dialogs.yes();
    video_device_changed(list, {kVideoSources, CaptureDeviceChange::added, 1, "Capture Card"},
                         device, dialogs);
    ASSERT_EQ(dialogs.prompts().size(), 1u);
    EXPECT_EQ(dialogs.last().text,
              "Capture Card is plugged into your computer. Do you want to use it?");
    EXPECT_EQ(dialogs.last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(device.current, 1);
    EXPECT_EQ(list.selected, 1);

    // While connected nothing is asked.
    device.is_connected = true;
    video_device_changed(list, {kVideoSources, CaptureDeviceChange::added, 2, "Third"}, device,
                         dialogs);
    EXPECT_EQ(dialogs.prompts().size(), 1u);
    EXPECT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.selected, 1);

    // Pulled out one by one: the last leaves "No Capture Devices".
    device.current = 0;
    for (const char* name : {"Capture Card", "Third", "USB Camera"}) {
        const int at = static_cast<int>(std::find(list.entries.begin(), list.entries.end(), name) -
                                        list.entries.begin());
        video_device_changed(list, {kVideoSources, CaptureDeviceChange::removed, at, name}, device,
                             dialogs);
    }
    EXPECT_EQ(list.entries, std::vector<std::string>{kNoCaptureDevices});
    EXPECT_EQ(list.selected, 0);
}

TEST(CaptureSetup, AudioDevicesKeepNoneFirst) {
    test::ScriptedCaptureDevice device;
    test::ScriptedDialogs dialogs;
    DeviceList list{{"None"}, 0};
    dialogs.no();
    audio_device_changed(list, {kAudioSources, CaptureDeviceChange::added, 0, "Microphone"}, device,
                         dialogs);
    EXPECT_EQ(list.entries, (std::vector<std::string>{"None", "Microphone"}));
    EXPECT_EQ(list.selected, 0);  // declined: still none
    dialogs.yes();
    audio_device_changed(list, {kAudioSources, CaptureDeviceChange::added, 1, "Line In"}, device,
                         dialogs);
    EXPECT_EQ(device.current_audio_device, 1);
    EXPECT_EQ(list.selected, 2);
    audio_device_changed(list, {kAudioSources, CaptureDeviceChange::removed, 0, "Microphone"},
                         device, dialogs);
    EXPECT_EQ(list.entries, (std::vector<std::string>{"None", "Line In"}));
}

}  // namespace
}  // namespace rs
