#pragma once
// Start-up rules of the main screen that need no screen: the Emergency
// Parameter Reset, the caption for the configured frame rate, the version
// notes and the terms of use.

#include <string>

#include "platform/dialogs.h"
#include "platform/settings_store.h"

namespace rs {

// Offers to clear, one by one, the settings that can stop the program from
// starting.
void EmergencyParameterReset(SettingsStore& settings, Dialogs& dialogs);

// The caption of lblConfig for a frame rate: 5 or more "Normal/C", 15 or more
// "L", 25 or more "R"; below 5 the caption stays as it is.
std::string config_caption_for_rate(double frames_per_second, const std::string& current);

// The version notes, each line ended by CR LF.
std::string version_notes_text();

// The terms of use shown by the License menu.
std::string license_text();

}  // namespace rs
