#include "platform/qt_keyboard_state.h"

#include <QApplication>
#include <QKeyEvent>
#include <chrono>
#include <optional>

#if defined(RS_HAVE_XCB)
#include <xcb/xcb.h>

#include <QGuiApplication>
#endif

namespace rs {

namespace {

std::optional<Key> arrow(int qt_key) {
    switch (qt_key) {
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Right:
            return Key::Right;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Down:
            return Key::Down;
        default:
            return std::nullopt;
    }
}

std::int64_t steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

QtKeyboardState::QtKeyboardState(Now now) : now_(now ? std::move(now) : Now(steady_ms)) {
    if (qApp)
        qApp->installEventFilter(this);
}

QtKeyboardState::~QtKeyboardState() {
    if (qApp)
        qApp->removeEventFilter(this);
}

bool QtKeyboardState::take_step(Key key) {
    if (steps_.held(key) && !maybe_down(key))
        steps_.release(key);
    return steps_.take(key, now_());
}

bool QtKeyboardState::maybe_down(Key key) const {
#if defined(RS_HAVE_XCB)
    const std::uint32_t code = native_[static_cast<int>(key)];
    if (code == 0 || code > 255)
        return true;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return true;
    xcb_query_keymap_reply_t* reply = xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr);
    if (!reply)
        return true;
    const bool down = (reply->keys[code / 8] >> (code % 8)) & 1;
    free(reply);
    return down;
#else
    (void)key;
    return true;
#endif
}

bool QtKeyboardState::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* e = static_cast<QKeyEvent*>(event);
        // One key event reaches the filter once for every widget it is
        // offered to (a child, then its parents): each press is counted by
        // KeySteps only while the key is up, so the copies do no harm.
        if (auto key = arrow(e->key()); key && !e->isAutoRepeat()) {
            if (type == QEvent::KeyPress) {
                native_[static_cast<int>(*key)] = e->nativeScanCode();
                steps_.press(*key, now_());
            } else {
                steps_.release(*key);
            }
        }
    } else if (type == QEvent::ApplicationDeactivate) {
        steps_.release_all();  // a release while away is never seen
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace rs
