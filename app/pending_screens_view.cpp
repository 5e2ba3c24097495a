#include "app/pending_screens.h"

namespace rs {

PendingScreen::PendingScreen(App& app, const char* name, const char* caption) : app_(app) {
    setObjectName(name);
    setWindowTitle(caption);
    resize(640, 480);
}

}  // namespace rs
