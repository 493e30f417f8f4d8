#pragma once
// The window manager's focus as the X events of our windows tell it, and the switch back to the
// application handed over from it. Pure: the filter of SDL's X events feeds it, the window layer's
// pump asks it.
#include <cstdint>

namespace morna::platform {

// How a focus event came (the X protocol's focus modes, by value).
enum class FocusMode : uint8_t { normal = 0, grab = 1, ungrab = 2, whileGrabbed = 3 };

class FocusEvents {
public:
    // The server's time on a key or click of the player's in one of our windows (or GTK's user time);
    // 0 is none. Other events' times (a property change, which the manager makes too) are no
    // player's action.
    void Stamped(uint32_t time);
    // The manager's WM_TAKE_FOCUS for one of our windows, with its time (0: none stamped).
    void TakeFocus(unsigned long window, uint32_t time);
    // A focus event of one of our windows; one that moves the focus inside it (to or from an
    // inferior, or the pointer's) only says whether a switch goes on.
    void Focus(unsigned long window, bool in, FocusMode mode, bool fromOutside = true);

    // Whether the window holds the X focus, as the focus events that moved it said: a FocusIn gives
    // it, a FocusOut takes it away. A grab's or ungrab's own notices, and moves to or from an
    // inferior (or the pointer's), change nothing. False for window 0.
    bool HoldsFocus(unsigned long window) const { return window != 0 && window == holder_; }

    // The latest time of the player's action in our windows (a key, a click, or the manager's
    // WM_TAKE_FOCUS); 0 while none came.
    uint32_t Latest() const { return latest_; }
    // The manager holds the keyboard for a switch of windows (Alt+Tab), as the last focus event
    // said: a manager may focus a window as the player tabs past it, and again when the switch ends.
    bool Switching() const { return grabbed_; }
    uint32_t TakeFocusCount() const { return takeFocusCount_; }
    // How the window's last focus came: in the manager's switch or not, and after how many
    // WM_TAKE_FOCUS messages.
    struct Arrival {
        bool inSwitch = false;
        uint32_t takeFocusCount = 0;
    };
    Arrival LastArrival(unsigned long window) const;
    // The time of the WM_TAKE_FOCUS that came with the window's present focus; 0 for none. One that
    // came with an earlier focus is older than the player's actions since, and a manager refuses an
    // activation asked with it.
    uint32_t TakeFocusTime(unsigned long window) const;

private:
    uint32_t latest_ = 0;
    bool grabbed_ = false;
    unsigned long holder_ = 0;  // the window of ours that holds the X focus; 0 for none
    uint32_t takeFocusCount_ = 0;
    unsigned long takeFocusWindow_ = 0;  // 0 once that window lost the focus
    uint32_t takeFocusTime_ = 0;
    unsigned long arrivalWindow_ = 0;
    bool arrivalOpen_ = false;  // no focus event since the arrival: a WM_TAKE_FOCUS now came with it
    Arrival arrival_;
};

// A switch back to the application through one of its windows, noted as the pump reads the window's
// focus and handed over once the events read with it are taken. One that came in the middle of the
// manager's switch waits for the switch's end and the manager's focus that ends it (a manager focuses
// the window as the player tabs to it and again at the release of Alt, with the time of the release):
// a dialog activated before that would lose the focus to it, and with the older time be refused.
// It is void as soon as the focus events say the window lost the X focus: the pump reads the loss
// later (SDL may hold it back), and a dialog activated then would take the keys from the program the
// player went on to, with the time of his last action in the game.
class SwitchBack {
public:
    // How long it waits, past the switch's end, for the manager's last focus of it.
    static constexpr uint32_t kSwitchEndMs = 500;

    // The window, its X window (0 where it is not on X: no focus event says its loss) and how its
    // focus came.
    void Note(uint32_t window, unsigned long xwindow, FocusEvents::Arrival arrival, uint32_t now);
    // The window lost the focus: a switch back through it not yet handed over is void.
    void Drop(uint32_t window);
    bool Pending() const { return window_ != 0; }
    // The window to hand over now, or 0, as the focus events seen so far say: whether the manager's
    // switch goes on, how many WM_TAKE_FOCUS messages have come, and whether the window still holds
    // the X focus (the switch back is dropped once it does not).
    uint32_t Take(const FocusEvents& seen, uint32_t now);

private:
    uint32_t window_ = 0;
    unsigned long xwindow_ = 0;
    bool waits_ = false;
    uint32_t count_ = 0, at_ = 0;
};

}  // namespace morna::platform
