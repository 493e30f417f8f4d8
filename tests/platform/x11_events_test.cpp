#include "platform/x11_events.h"

#include <gtest/gtest.h>

#include <string>

#include <X11/Xlib.h>  // last: Xlib's macros

namespace mp = morna::platform;
using mp::FocusMode;

namespace {

constexpr unsigned long kGame = 0x600008, kOther = 0x600100;

// How a focus record says the game's last focus came: "none" (it has not come), "plain" or "in
// switch" (under the manager's grab, Alt+Tab).
std::string ArrivalOf(const mp::FocusEvents& f) {
    const mp::FocusEvents::Arrival a = f.LastArrival(kGame);
    return a.takeFocusCount == 0 ? "none" : a.inSwitch ? "in switch" : "plain";
}

}  // namespace

// How the filter decodes a FocusIn or FocusOut of the game's window into the focus record, headless:
// each mode the server reports (the grab's start and end, the focus moved under it, a plain change)
// with the details that move the focus from or to outside the window, and those that move it inside
// it (to or from an inferior, the pointer's), which say whether a switch goes on and nothing more.
TEST(X11Events, FocusEventsAreDecodedByModeAndDetail) {
    // Every record has had one WM_TAKE_FOCUS: an arrival of the game's focus counts it.
    mp::FocusEvents away;  // another window of ours has the focus
    away.TakeFocus(kOther, 100);
    away.Focus(kOther, true, FocusMode::normal);
    mp::FocusEvents holding = away;  // the game has it
    holding.Focus(kOther, false, FocusMode::normal);
    holding.Focus(kGame, true, FocusMode::normal);
    ASSERT_FALSE(away.HoldsFocus(kGame));
    ASSERT_TRUE(holding.HoldsFocus(kGame));
    ASSERT_EQ(ArrivalOf(away), "none");
    ASSERT_EQ(ArrivalOf(holding), "plain");

    struct Row {
        const char* what;
        int type, mode, detail;
        bool held, switching;
        const char* arrival;
    };
    const Row rows[] = {
        // To the game, from a record where another window of ours has the focus.
        {"clicked or activated", FocusIn, NotifyNormal, NotifyNonlinear, true, false, "plain"},
        {"from its frame", FocusIn, NotifyNormal, NotifyAncestor, true, false, "plain"},
        {"tabbed to", FocusIn, NotifyWhileGrabbed, NotifyNonlinear, true, true, "in switch"},
        {"the grab's start", FocusIn, NotifyGrab, NotifyNonlinear, false, true, "none"},
        {"the grab's end", FocusIn, NotifyUngrab, NotifyNonlinear, false, false, "none"},
        {"from an inferior", FocusIn, NotifyNormal, NotifyInferior, false, false, "none"},
        {"from an inferior under the grab", FocusIn, NotifyWhileGrabbed, NotifyInferior, false, true, "none"},
        {"the pointer's", FocusIn, NotifyNormal, NotifyPointer, false, false, "none"},
        // From the game, which has the focus.
        {"another program clicked", FocusOut, NotifyNormal, NotifyNonlinear, false, false, "plain"},
        {"to its frame", FocusOut, NotifyNormal, NotifyAncestor, false, false, "plain"},
        {"from a child of its to another program", FocusOut, NotifyNormal, NotifyNonlinearVirtual, false, false, "plain"},
        {"tabbed past", FocusOut, NotifyWhileGrabbed, NotifyNonlinear, false, true, "plain"},
        {"the grab's start", FocusOut, NotifyGrab, NotifyNonlinear, true, true, "plain"},
        {"the grab's end", FocusOut, NotifyUngrab, NotifyNonlinear, true, false, "plain"},
        {"to an inferior", FocusOut, NotifyNormal, NotifyInferior, true, false, "plain"},
        {"to an inferior under the grab", FocusOut, NotifyWhileGrabbed, NotifyInferior, true, true, "plain"},
        {"the pointer's", FocusOut, NotifyNormal, NotifyPointer, true, false, "plain"},
    };
    for (const Row& row : rows) {
        mp::FocusEvents f = row.type == FocusIn ? away : holding;
        XEvent e{};
        e.xfocus.type = row.type;
        e.xfocus.window = kGame;
        e.xfocus.mode = row.mode;
        e.xfocus.detail = row.detail;
        mp::x11::NoteFocusEvent(f, e);
        const std::string what = std::string(row.type == FocusIn ? "in: " : "out: ") + row.what;
        EXPECT_EQ(f.HoldsFocus(kGame), row.held) << what;
        EXPECT_EQ(f.Switching(), row.switching) << what;
        EXPECT_EQ(ArrivalOf(f), row.arrival) << what;
    }

    // Another window's event, or another type, says nothing of the game's focus.
    mp::FocusEvents f = holding;
    XEvent e{};
    e.xfocus.type = FocusOut;
    e.xfocus.window = kOther;
    e.xfocus.mode = NotifyNormal;
    e.xfocus.detail = NotifyNonlinear;
    mp::x11::NoteFocusEvent(f, e);
    EXPECT_TRUE(f.HoldsFocus(kGame));
    e.type = KeyPress;
    mp::x11::NoteFocusEvent(f, e);
    EXPECT_TRUE(f.HoldsFocus(kGame));

    // The input extension's focus events (GDK's, for the dialogs) go by the same rule, with the
    // notices of a passive grab's start and end, which move no focus either.
    EXPECT_TRUE(mp::x11::ChangesFocus(NotifyWhileGrabbed, NotifyNonlinear));
    EXPECT_FALSE(mp::x11::ChangesFocus(4, NotifyNonlinear));
    EXPECT_FALSE(mp::x11::ChangesFocus(5, NotifyAncestor));
}
