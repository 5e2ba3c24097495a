#pragma once
// Screens whose work is still to come: each opens as an empty window with its
// caption, so the main screen's ways on lead somewhere. A screen leaves this
// file when it is built in its own.

#include <QMainWindow>

namespace rs {

class App;

class PendingScreen : public QMainWindow {
  public:
    PendingScreen(App& app, const char* name, const char* caption);
    void Form_Load() {}

  protected:
    App& app_;
};

#define RS_PENDING_SCREEN(Name, Caption)                                \
    class Name final : public PendingScreen {                           \
      public:                                                           \
        explicit Name(App& app) : PendingScreen(app, #Name, Caption) {} \
    };

RS_PENDING_SCREEN(PreviewForm, "Capture Video")

#undef RS_PENDING_SCREEN

}  // namespace rs
