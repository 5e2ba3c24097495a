// Arrow-key steps from presses and releases at scripted times, polled every
// 100 ms as the screens poll them, on time or late.

#include "platform/keyboard_state.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <vector>

#include "platform/qt_keyboard_state.h"

namespace rs {
namespace {

// Runs polls at the given times; a press or release at time t happens
// before a poll at the same time. Returns the times at which a step came.
struct Script {
    std::vector<std::pair<std::int64_t, bool>> events;  // time, pressed
    std::vector<std::int64_t> polls;
};

std::vector<std::int64_t> steps_of(const Script& script) {
    KeySteps steps;
    std::vector<std::int64_t> stepped;
    size_t e = 0;
    for (std::int64_t poll : script.polls) {
        for (; e < script.events.size() && script.events[e].first <= poll; ++e) {
            if (script.events[e].second)
                steps.press(Key::Right, script.events[e].first);
            else
                steps.release(Key::Right);
        }
        if (steps.take(Key::Right, poll))
            stepped.push_back(poll);
    }
    return stepped;
}

std::vector<std::int64_t> every_100_ms(std::int64_t from, std::int64_t to) {
    std::vector<std::int64_t> polls;
    for (std::int64_t t = from; t <= to; t += 100)
        polls.push_back(t);
    return polls;
}

using Times = std::vector<std::int64_t>;

TEST(KeySteps, ATapStepsOnceWhereverItFallsBetweenThePolls) {
    // Over before the poll: still one step.
    EXPECT_EQ(steps_of({{{110, true}, {160, false}}, every_100_ms(0, 800)}), Times({200}));
    // Down across two polls (the tap that used to move a point twice).
    EXPECT_EQ(steps_of({{{95, true}, {215, false}}, every_100_ms(0, 800)}), Times({100}));
    // Two taps within one poll interval: two steps, one a poll.
    EXPECT_EQ(
        steps_of({{{110, true}, {130, false}, {150, true}, {170, false}}, every_100_ms(0, 800)}),
        Times({200, 300}));
}

TEST(KeySteps, AHeldKeyRepeatsEveryPollAfterTheDelayAndStopsAtTheRelease) {
    EXPECT_EQ(steps_of({{{0, true}, {530, false}}, every_100_ms(0, 1000)}),
              Times({0, 300, 400, 500}));
    // The keyboard's own repeat presses a held key again: not new presses.
    EXPECT_EQ(steps_of({{{0, true}, {40, true}, {80, true}, {180, false}}, every_100_ms(0, 600)}),
              Times({0}));
}

TEST(KeySteps, ALatePollMakesOneStepAndNoneAfterARelease) {
    // The screen was busy for most of a second: one step, then on pace.
    EXPECT_EQ(steps_of({{{0, true}, {1250, false}}, {0, 900, 1000, 1100, 1200, 1300}}),
              Times({0, 900, 1000, 1100, 1200}));
    // Released before the late poll: nothing more.
    EXPECT_EQ(steps_of({{{0, true}, {280, false}}, {0, 700, 800}}), Times({0}));
    // Pressed and released long before a late poll: its one step.
    EXPECT_EQ(steps_of({{{10, true}, {60, false}}, {700, 800}}), Times({700}));
}

TEST(KeySteps, APressNoPollAnsweredForLongIsForgotten) {
    // Tapped on another screen, where nothing polls: no step when the
    // frame selection screen starts polling later.
    EXPECT_EQ(steps_of({{{0, true}, {50, false}}, {2000, 2100}}), Times({}));
    // Held on into the polls, it repeats as any held key.
    EXPECT_EQ(steps_of({{{0, true}, {2150, false}}, {2000, 2100, 2200}}), Times({2000, 2100}));
}

TEST(KeySteps, KeysAreIndependentAndAllCanBeLetGo) {
    KeySteps steps;
    steps.press(Key::Left, 0);
    steps.press(Key::Up, 0);
    EXPECT_TRUE(steps.take(Key::Left, 0));
    EXPECT_TRUE(steps.take(Key::Up, 0));
    EXPECT_FALSE(steps.take(Key::Down, 0));
    steps.release_all();
    EXPECT_FALSE(steps.held(Key::Left));
    EXPECT_FALSE(steps.take(Key::Left, 1000));
    EXPECT_FALSE(steps.take(Key::Up, 1000));
}

TEST(QtKeyboardStateTest, KeyEventsAtScriptedTimesGiveTheSteps) {
    std::int64_t now = 0;
    QtKeyboardState keys([&] { return now; });
    QWidget target;
    auto send = [&](QEvent::Type type, Qt::Key key, bool repeat = false) {
        QKeyEvent e(type, key, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(&target, &e);
    };
    // A tap between polls.
    now = 10;
    send(QEvent::KeyPress, Qt::Key_Left);
    now = 60;
    send(QEvent::KeyRelease, Qt::Key_Left);
    now = 100;
    EXPECT_TRUE(keys.take_step(Key::Left));
    now = 200;
    EXPECT_FALSE(keys.take_step(Key::Left));

    // Held with the keyboard repeating: the release/press pairs it sends
    // are not releases.
    send(QEvent::KeyPress, Qt::Key_Right);
    EXPECT_TRUE(keys.take_step(Key::Right));
    now = 300;
    send(QEvent::KeyRelease, Qt::Key_Right, true);
    send(QEvent::KeyPress, Qt::Key_Right, true);
    EXPECT_FALSE(keys.take_step(Key::Right));  // 100 ms held: no repeat yet
    now = 450;
    EXPECT_TRUE(keys.take_step(Key::Right));
    // Leaving the program lets go of every key.
    QEvent away(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &away);
    now = 550;
    EXPECT_FALSE(keys.take_step(Key::Right));
    // Other keys are no arrows.
    send(QEvent::KeyPress, Qt::Key_A);
    EXPECT_FALSE(keys.take_step(Key::Up));
}

}  // namespace
}  // namespace rs
