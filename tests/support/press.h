#pragma once
// Presses a control of a screen by its name, as the operator does: a button
// is clicked and a menu entry triggered, through the signal the screen
// connected to its handler. A control that is missing or disabled fails
// the test.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QObject>

namespace rs::test {

inline void press(QObject& screen, const char* name) {
    if (auto* b = screen.findChild<QAbstractButton*>(name)) {
        EXPECT_TRUE(b->isEnabled()) << name << " is disabled";
        b->click();
        return;
    }
    if (auto* a = screen.findChild<QAction*>(name)) {
        EXPECT_TRUE(a->isEnabled()) << name << " is disabled";
        a->trigger();
        return;
    }
    ADD_FAILURE() << "no control named " << name;
}

}  // namespace rs::test
