#include "app/capture_setup.h"

#include <cmath>
#include <cstdio>

#include "core/text_forms.h"

namespace rs {

bool ItoB(int value) {
    return value == 1;
}

int BtoI(bool value) {
    return value ? 1 : 0;
}

std::vector<std::string> audio_attribute_items() {
    std::vector<std::string> items;
    for (const char* rate : {"11.025", "22.050", "32.000", "44.100"}) {
        for (const char* format :
             {"8 Bit, Mono", "8 Bit, Stereo", "16 Bit, Mono", "16 Bit, Stereo"})
            items.push_back(std::string(rate) + " Khz, " + format);
    }
    return items;
}

AudioFormat audio_format_of_item(int index, const std::string& text) {
    AudioFormat f;
    const size_t blank = text.find(' ');
    const double khz = text_to_number(text.substr(0, blank));
    const double hz = std::round(khz * 1000);
    f.sample_rate = std::isfinite(hz) && hz > 0 && hz < 1e9 ? static_cast<int>(hz) : 0;
    if (index >= 0 && index < 16) {
        f.channels = index % 2 == 0 ? 1 : 2;
        f.bits = (index & 2) == 0 ? 8 : 16;
    } else {
        const std::string lower = to_lower(text);
        f.channels = lower.find("stereo") != std::string::npos ? 2 : 1;
        f.bits = lower.find(", 16 bit") != std::string::npos ? 16 : 8;
    }
    return f;
}

std::string audio_attribute_text(int sample_rate, int bits, int channels) {
    // "##0.000" with a full stop whatever the locale.
    char khz[32];
    const long thousandths = std::lround(static_cast<double>(sample_rate));
    std::snprintf(khz, sizeof khz, "%ld.%03ld", thousandths / 1000, std::labs(thousandths % 1000));
    std::string text = khz;
    if (sample_rate < 0 && thousandths / 1000 == 0)
        text = "-" + text;
    return text + " Khz, " + (bits == 8 ? "8" : "16") + " bit, " +
           (channels == 1 ? "Mono" : "Stereo");
}

int select_audio_attribute(std::vector<std::string>& items, const std::string& text) {
    const std::string wanted = to_lower(text);
    for (size_t i = 0; i < items.size(); ++i) {
        if (to_lower(items[i]) == wanted)
            return static_cast<int>(i);
    }
    items.push_back(text);
    return static_cast<int>(items.size()) - 1;
}

namespace {

int find_entry(const std::vector<std::string>& entries, const std::string& name) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

bool offer(Dialogs& dialogs, const std::string& name) {
    return dialogs.ask_yes_no(name + " is plugged into your computer. Do you want to use it?",
                              kProgramTitle, MsgIcon::Question, false);
}

}  // namespace

void video_device_changed(DeviceList& list, const CaptureDeviceChange& change,
                          CaptureDevice& device, Dialogs& dialogs) {
    if (change.kind == CaptureDeviceChange::added) {
        if (!list.entries.empty() && list.entries.front() == kNoCaptureDevices) {
            list.entries.front() = change.name;
            list.selected = 0;
            device.set_current_device(0);
        } else {
            list.entries.push_back(change.name);
            if (!device.connected() && change.index != device.current_device() &&
                offer(dialogs, change.name))
                device.set_current_device(change.index);
        }
    } else {
        int at = change.index;
        // The list shows the device's own order; a name that stands
        // elsewhere is found by name.
        if (at < 0 || at >= static_cast<int>(list.entries.size()) ||
            list.entries[static_cast<size_t>(at)] != change.name) {
            const int found = find_entry(list.entries, change.name);
            if (found >= 0)
                at = found;
        }
        if (at >= 0 && at < static_cast<int>(list.entries.size()))
            list.entries.erase(list.entries.begin() + at);
    }
    if (list.entries.empty()) {
        list.entries.push_back(kNoCaptureDevices);
        list.selected = 0;
        return;
    }
    const int current = device.current_device();
    list.selected = current >= 0 && current < static_cast<int>(list.entries.size()) ? current : 0;
}

void audio_device_changed(DeviceList& list, const CaptureDeviceChange& change,
                          CaptureDevice& device, Dialogs& dialogs) {
    if (list.entries.empty())
        list.entries.push_back("None");
    if (change.kind == CaptureDeviceChange::added) {
        list.entries.push_back(change.name);
        if (!device.connected() && change.index != device.audio_device() &&
            offer(dialogs, change.name))
            device.set_audio_device(change.index);
    } else {
        int at = change.index + 1;
        if (at < 1 || at >= static_cast<int>(list.entries.size()) ||
            list.entries[static_cast<size_t>(at)] != change.name) {
            const int found = find_entry(list.entries, change.name);
            if (found >= 1)
                at = found;
        }
        if (at >= 1 && at < static_cast<int>(list.entries.size()))
            list.entries.erase(list.entries.begin() + at);
    }
    const int current = device.audio_device() + 1;
    list.selected = current >= 0 && current < static_cast<int>(list.entries.size()) ? current : 0;
}

}  // namespace rs
