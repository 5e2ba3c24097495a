#pragma once
// Controls worked as the operator works them, through the signals the
// screen connected to its handlers: a button pressed by its name (clicked,
// or a menu entry triggered), an entry chosen from a list.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QObject>

namespace rs::test {

// A control that is missing or disabled fails the test.
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

// The entry at index chosen, as a click in the open list chooses it: the
// list shows it and says it was chosen ("activated"); filling or setting a
// list in code says nothing.
inline void choose(QComboBox* list, int index) {
    ASSERT_TRUE(list->isEnabled()) << list->objectName().toStdString() << " is disabled";
    ASSERT_LT(index, list->count());
    list->setCurrentIndex(index);
    emit list->activated(index);
}

}  // namespace rs::test
