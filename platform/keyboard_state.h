#pragma once
// The arrow keys as the screens' 100 ms polls see them. A poll asks whether
// a key calls for one step now: every press gives exactly one step, even a
// tap that was over before the poll came; a key held down repeats, one step
// a poll at most and one every 100 ms, once it has been held past the
// repeat delay (so a tap of a key never steps twice); and a release ends the
// repeats at once, however late the poll that follows it. A press no poll
// has answered within a second and a half is forgotten: it was made where
// no screen was polling (another screen, a dialog), not as a step.

#include <array>
#include <cstdint>
#include <vector>

namespace rs {

enum class Key { Left, Right, Up, Down };

// The rule above over presses and releases with their times (milliseconds
// on any steady clock). Plain logic: the keyboard states below feed it.
class KeySteps {
  public:
    // A held key repeats once it has been down this long.
    static constexpr std::int64_t kRepeatDelayMs = 250;
    static constexpr std::int64_t kRepeatMs = 100;
    static constexpr std::int64_t kForgetMs = 1500;

    // A press of a key already down (the keyboard's own auto-repeat) is
    // not a new press.
    void press(Key key, std::int64_t ms);
    void release(Key key);
    void release_all();
    // True when the key calls for one step at a poll at time now; the step
    // is then counted as made.
    bool take(Key key, std::int64_t now);
    bool held(Key key) const { return at(key).down; }

  private:
    struct State {
        bool down = false;
        std::vector<std::int64_t> pending;  // times of the presses not yet answered
        std::int64_t next_repeat = 0;
    };
    State& at(Key key) { return keys_[static_cast<int>(key)]; }
    const State& at(Key key) const { return keys_[static_cast<int>(key)]; }
    std::array<State, 4> keys_{};
};

class KeyboardState {
  public:
    virtual ~KeyboardState() = default;
    // Whether the key calls for one step at this poll (see above).
    virtual bool take_step(Key key) = 0;
};

// Keys pressed and released by a test at times it sets.
class ScriptedKeyboard final : public KeyboardState {
  public:
    bool take_step(Key key) override { return steps_.take(key, now_); }
    void press(Key key) { steps_.press(key, now_); }
    void release(Key key) { steps_.release(key); }
    // Moves the keyboard's clock on.
    void advance(std::int64_t ms) { now_ += ms; }
    std::int64_t now() const { return now_; }

  private:
    KeySteps steps_;
    std::int64_t now_ = 0;
};

}  // namespace rs
