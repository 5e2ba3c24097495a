#include "platform/qt_keyboard_state.h"

#include <QApplication>
#include <QKeyEvent>

namespace rs {

QtKeyboardState::QtKeyboardState() {
    if (qApp)
        qApp->installEventFilter(this);
}

bool QtKeyboardState::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Auto-repeat sends release/press pairs while a key is held: only a
        // real release counts.
        if (!(type == QEvent::KeyRelease && key->isAutoRepeat())) {
            const bool down = type == QEvent::KeyPress;
            switch (key->key()) {
                case Qt::Key_Left:
                    down_[static_cast<int>(Key::Left)] = down;
                    break;
                case Qt::Key_Right:
                    down_[static_cast<int>(Key::Right)] = down;
                    break;
                case Qt::Key_Up:
                    down_[static_cast<int>(Key::Up)] = down;
                    break;
                case Qt::Key_Down:
                    down_[static_cast<int>(Key::Down)] = down;
                    break;
                default:
                    break;
            }
        }
    } else if (type == QEvent::ApplicationDeactivate) {
        for (bool& d : down_)
            d = false;  // a release while away is never seen
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace rs
