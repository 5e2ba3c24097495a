#pragma once
// The arrow keys of this application, learnt from every key press and
// release that reaches it (an application-wide event filter) and stepped by
// the rule of KeySteps. Where the window system can be asked for the keys
// held right now (X11), a poll asks it before it steps, so a release still
// waiting in the event queue behind a late poll ends the repeats all the
// same.

#include <QObject>
#include <cstdint>
#include <functional>

#include "platform/keyboard_state.h"

namespace rs {

class QtKeyboardState final : public QObject, public KeyboardState {
    Q_OBJECT
  public:
    using Now = std::function<std::int64_t()>;

    // Installs itself on the running QApplication. now: milliseconds on a
    // steady clock (the monotonic clock unless a test sets another).
    explicit QtKeyboardState(Now now = {});
    ~QtKeyboardState() override;

    bool take_step(Key key) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // False when the window system says the key is up now; true when it
    // says it is down or cannot say.
    bool maybe_down(Key key) const;

    Now now_;
    KeySteps steps_;
    std::uint32_t native_[4] = {0, 0, 0, 0};  // the window system's code of each key
};

}  // namespace rs
