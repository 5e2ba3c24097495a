#include "tests/support/test_app.h"

#include <filesystem>

namespace rs::test {

TestApp::TestApp() = default;

App& TestApp::make() {
    if (!app) {
        app = std::make_unique<App>(
            Services{*settings, dialogs, clock, Paths{app_folder, exchange_folder}, keyboard,
                     real_capture ? *real_capture : capture, starter, files});
    }
    return *app;
}

App& TestApp::started() {
    (void)settings->save("logpath", video_folder);
    dialogs.no();  // "Do you want to reset all parameters to install values?"
    App& a = make();
    a.start();
    return a;
}

void TestApp::install_assets() {
    namespace fs = std::filesystem;
    const fs::path assets = fs::path(RS_SOURCE_DIR) / "assets";
    for (const auto& entry : fs::directory_iterator(assets)) {
        fs::copy_file(entry.path(), fs::path(app_folder) / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
    }
}

std::string TestApp::debug_log() const {
    return slurp(exchange_folder + "/DebugLog.txt");
}

}  // namespace rs::test
