#include "app/startup.h"

#include <array>
#include <vector>

#include "core/text_lines.h"

namespace rs {

namespace {

struct ResetKey {
    const char* key;
    const char* label;
    const char* reset_value;
};

constexpr std::array<ResetKey, 8> kResetKeys{{
    {"logpath", "Logpath = ", ""},
    {"barefoot", "barefoot = ", "0"},
    {"compression", "compression = ", "0"},
    {"device", "device = ", "0"},
    {"framerate", "framerate = ", "0"},
    {"grid1File", "Grid 1 File = ", ""},
    {"grid2File", "Grid 2 File = ", ""},
    {"grid3File", "Grid 3 File = ", ""},
}};

bool ask_reset(Dialogs& dialogs, const std::string& text) {
    return dialogs.message({text, MsgButtons::YesNo, MsgIcon::Question, "Emergency Parameter Reset",
                            true}) == MsgResult::Yes;
}

}  // namespace

void EmergencyParameterReset(SettingsStore& settings, Dialogs& dialogs) {
    if (!ask_reset(dialogs, "Do you want to reset all parameters to install values?"))
        return;
    if (!ask_reset(dialogs, "Are you certain? This means you are crashing and can't operate")) {
        return;
    }
    for (const auto& k : kResetKeys) {
        const std::string value = settings.get(k.key, 0);
        if (!ask_reset(dialogs, std::string(k.label) + value + " Clear it?"))
            continue;
        settings.save(k.key, k.reset_value);
        if (std::string(k.key) == "logpath")
            settings.save("logfile", "");
    }
}

std::string config_caption_for_rate(double fps, const std::string& current) {
    std::string caption = current;
    if (fps >= 5)
        caption = "Currently Configured for Normal/C";
    if (fps >= 15)
        caption = "Currently Configured for L";
    if (fps >= 25)
        caption = "Currently Configured for R";
    return caption;
}

std::string version_notes_text() {
    return join_crlf({
        "Rampsight Version Notes",
        "RS07v1.0",
        "Base Release for 2007",
        "Major features are new thin cursor and improved user operation",
        "",
        "RS07v1.1",
        "1. Added folder browse on video save folder",
        "2. Added option to not use warning message after pressing 'Next Jump'",
        "button on the measurement screen",
        "",
        "RS07v1.2",
        "1. Added Version Notes feature",
        "2. Fixed bug of grid number cycling on measure screen",
        "3. On setup screen when saving setup, it defaults to the",
        "current grid setup file in the browse file tool",
        "4. Fixed button color - sometimes 2 buttons stayed colored",
        "5. Changed new impact marker controls as follows:",
        "a) width is always 1 - no choice",
        "b) renamed it Gap Marker",
        "c) Gap Marker selection always visible",
        "d) Gap Marker selection now default",
        "",
        "RS07v1.3",
        "1. Corrected which directory the setup load/save points to",
    });
}

std::string license_text() {
    return "Rampsight Measurement is licensed for use by tournament officials to measure "
           "water-ski jumps at sanctioned events. Distances it reports must be checked against "
           "the check buoy and the set-up of every grid before they are recorded as official. "
           "The program is provided as is, without warranty of any kind; the officials of each "
           "event remain responsible for the results they publish.";
}

}  // namespace rs
