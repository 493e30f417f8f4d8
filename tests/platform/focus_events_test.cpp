#include "platform/focus_events.h"

#include <gtest/gtest.h>

namespace mp = morna::platform;
using mp::FocusMode;

// The player leaves the game by Alt+Tab and comes back by Alt+Tab, as a manager that focuses a window
// as the player tabs to it and again at the release of Alt reports it; then the switch back is handed
// over as the pump's passes come. Each row: how the switch back was read, and the passes that follow.
TEST(SwitchBack, WaitsForTheSwitchsEndAndHandsOverWithTheTimeOfItsOwnFocus) {
    constexpr unsigned long kGame = 0x600008;
    constexpr uint32_t kWindow = 7;
    mp::FocusEvents f;
    f.TakeFocus(kGame, 100);
    f.Focus(kGame, true, FocusMode::normal);
    f.Stamped(150);  // a key
    EXPECT_EQ(f.TakeFocusTime(kGame), 100u);
    // Away: the grab, the focus moved on under it.
    f.Focus(kGame, false, FocusMode::grab);
    EXPECT_TRUE(f.Switching());
    f.Focus(kGame, false, FocusMode::whileGrabbed);
    EXPECT_EQ(f.TakeFocusTime(kGame), 0u);  // it came with a focus that is over
    f.Focus(kGame, false, FocusMode::normal, false);  // inside the window: no switch said
    EXPECT_FALSE(f.Switching());
    f.Stamped(120);  // an older time changes nothing
    EXPECT_EQ(f.Latest(), 150u);

    // Back: tabbed to, then Alt released (the grab's end, the manager's last focus of the switch); the
    // manager sets the focus before it sends its WM_TAKE_FOCUS.
    f.Focus(kGame, true, FocusMode::whileGrabbed);
    f.TakeFocus(kGame, 200);
    const mp::FocusEvents tabbedTo = f;
    f.Focus(kGame, true, FocusMode::ungrab);
    const mp::FocusEvents released = f;
    f.TakeFocus(kGame, 260);
    const mp::FocusEvents ended = f;
    EXPECT_EQ(tabbedTo.LastArrival(kGame).inSwitch, true);
    EXPECT_EQ(tabbedTo.LastArrival(kGame).takeFocusCount, tabbedTo.TakeFocusCount());  // its own message
    EXPECT_EQ(released.LastArrival(kGame).takeFocusCount, tabbedTo.TakeFocusCount());  // the grab's end is no arrival
    EXPECT_FALSE(released.Switching());
    EXPECT_EQ(ended.TakeFocusTime(kGame), 260u);
    EXPECT_EQ(ended.Latest(), 260u);
    EXPECT_EQ(ended.LastArrival(0x123).inSwitch, false);
    mp::FocusEvents other = ended;
    other.Focus(0x700001, true, FocusMode::normal);  // another window of ours took it
    EXPECT_EQ(other.TakeFocusTime(kGame), 0u);
    EXPECT_FALSE(other.HoldsFocus(kGame));
    EXPECT_TRUE(ended.HoldsFocus(kGame));
    // Before the manager's last focus, the player clicked another program: the filter reads the loss
    // at once, the pump (SDL) may read it later.
    mp::FocusEvents clickedAway = released;
    clickedAway.Focus(kGame, false, FocusMode::normal);

    struct Pass {
        const mp::FocusEvents* seen;
        uint32_t at;
        bool handed;
    };
    struct Row {
        const char* what;
        mp::FocusEvents::Arrival arrival;
        std::vector<Pass> passes;
    };
    const mp::FocusEvents::Arrival inSwitch = tabbedTo.LastArrival(kGame), plain{false, ended.TakeFocusCount()};
    const Row rows[] = {
        {"noted with the grab's end already read: waits for the manager's last focus",
         inSwitch, {{&released, 1000, false}, {&released, 1300, false}, {&ended, 1310, true}}},
        {"the grab still on: waits, and the bound counts from its end",
         inSwitch, {{&tabbedTo, 1200, false}, {&released, 1699, false}, {&released, 1700, true}}},
        {"the manager's last focus read before the note: at once", inSwitch, {{&ended, 1000, true}}},
        {"a plain focus: at once", plain, {{&ended, 1000, true}}},
        {"a plain focus while a switch goes on: after it", plain, {{&tabbedTo, 1000, false}, {&ended, 1001, true}}},
        {"waiting for the manager's last focus, the X focus lost to another program: dropped",
         inSwitch, {{&released, 1000, false}, {&clickedAway, 1100, false}, {&clickedAway, 1600, false}}},
    };
    for (const Row& row : rows) {
        mp::SwitchBack b;
        b.Note(kWindow, kGame, row.arrival, 1000);
        for (const Pass& p : row.passes)
            EXPECT_EQ(b.Take(*p.seen, p.at), p.handed ? kWindow : 0u) << row.what << " at " << p.at;
        EXPECT_EQ(b.Take(ended, 5000), 0u) << row.what;  // handed over once, or dropped
    }
    mp::SwitchBack dropped;
    dropped.Note(kWindow, kGame, inSwitch, 1000);
    dropped.Drop(kWindow + 1);
    EXPECT_TRUE(dropped.Pending());
    dropped.Drop(kWindow);
    EXPECT_EQ(dropped.Take(ended, 5000), 0u);
}
