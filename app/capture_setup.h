#pragma once
// The rules behind the main screen's capture device controls that need no
// screen: the audio attribute list and the format each item stands for,
// the check-box conversions, and what a device plugged in or pulled out
// does to a device list.

#include <optional>
#include <string>
#include <vector>

#include "platform/capture_device.h"
#include "platform/dialogs.h"

namespace rs {

inline constexpr const char* kNoCaptureDevices = "No Capture Devices";
inline constexpr const char* kNoCaptureDevicesInstalled =
    "No MCI capture devices are installed on this system";
// The effect slot the main screen offers.
inline constexpr const char* kEffectSlot = "Video Effect 1";

// Check box value 1 is true, anything else false; and back.
bool ItoB(int value);
int BtoI(bool value);

// The 16 ComboAttrib items: 11.025, 22.050, 32.000 and 44.100 kHz, each as
// 8 bit mono, 8 bit stereo, 16 bit mono, 16 bit stereo.
std::vector<std::string> audio_attribute_items();

struct AudioFormat {
    int sample_rate = 0;  // Hz
    int channels = 1;     // 1 or 2
    int bits = 8;         // 8 or 16
};

// The format of ComboAttrib item index with that text: the sample rate is
// the number before the first blank times 1000; for the 16 listed items an
// even index is mono and an odd one stereo, the value-2 bit clear 8 bits
// and set 16 bits. An item added for a device's own format (index 16 on)
// says its bits and channels in its text.
AudioFormat audio_format_of_item(int index, const std::string& text);

// The item text for a device's format: the rate in kHz with three decimals
// and a full stop, " Khz, ", "8" or "16", " bit, ", "Mono" or "Stereo".
std::string audio_attribute_text(int sample_rate, int bits, int channels);

// The index of the first item equal to text without regard to case; text
// is appended as a new item when none is.
int select_audio_attribute(std::vector<std::string>& items, const std::string& text);

// A device list as a combo box shows it.
struct DeviceList {
    std::vector<std::string> entries;
    int selected = -1;
};

// A video device plugged in or pulled out, applied to Combo1's entries:
// the first device replaces "No Capture Devices" and becomes current with
// no question; a later one is appended and, when the device is not
// connected and it is not the current one, offered to the operator. The
// current device is selected afterwards, or "No Capture Devices" when no
// device is left.
void video_device_changed(DeviceList& list, const CaptureDeviceChange& change,
                          CaptureDevice& device, Dialogs& dialogs);

// The same for AudioDevice, whose first entry is "None": entry index + 1
// is the device's index.
void audio_device_changed(DeviceList& list, const CaptureDeviceChange& change,
                          CaptureDevice& device, Dialogs& dialogs);

}  // namespace rs
