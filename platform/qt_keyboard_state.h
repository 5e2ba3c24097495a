#pragma once
// The keys held down in this application, learnt from every key press and
// release that reaches it (an application-wide event filter).

#include <QObject>

#include "platform/keyboard_state.h"

namespace rs {

class QtKeyboardState final : public QObject, public KeyboardState {
    Q_OBJECT
  public:
    QtKeyboardState();  // installs itself on the running QApplication
    bool is_down(Key key) const override { return down_[static_cast<int>(key)]; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool down_[4] = {false, false, false, false};
};

}  // namespace rs
