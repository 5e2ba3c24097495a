#include "platform/keyboard_state.h"

#include <algorithm>

namespace rs {

void KeySteps::press(Key key, std::int64_t ms) {
    State& s = at(key);
    if (s.down)
        return;
    s.down = true;
    s.pending.push_back(ms);
    s.next_repeat = ms + kRepeatDelayMs;
}

void KeySteps::release(Key key) {
    at(key).down = false;
}

void KeySteps::release_all() {
    for (State& s : keys_)
        s.down = false;
}

bool KeySteps::take(Key key, std::int64_t now) {
    State& s = at(key);
    std::erase_if(s.pending, [&](std::int64_t t) { return now - t > kForgetMs; });
    if (!s.pending.empty()) {
        s.pending.erase(s.pending.begin());
        return true;
    }
    if (!s.down || now < s.next_repeat)
        return false;
    // A late poll makes one step, not the ones it missed: the operator
    // watches the picture and lets go when it is right.
    s.next_repeat = std::max(s.next_repeat + kRepeatMs, now + kRepeatMs / 2);
    return true;
}

}  // namespace rs
