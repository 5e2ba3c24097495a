#pragma once
// Whether a key is held down right now, for the screens that poll the arrow
// keys every 100 ms while the operator holds one.

namespace rs {

enum class Key { Left, Right, Up, Down };

class KeyboardState {
  public:
    virtual ~KeyboardState() = default;
    virtual bool is_down(Key key) const = 0;
};

// Keys held in a test, or by a replay.
class ScriptedKeyboard final : public KeyboardState {
  public:
    bool is_down(Key key) const override { return down_[static_cast<int>(key)]; }
    void press(Key key) { down_[static_cast<int>(key)] = true; }
    void release(Key key) { down_[static_cast<int>(key)] = false; }

  private:
    bool down_[4] = {false, false, false, false};
};

}  // namespace rs
