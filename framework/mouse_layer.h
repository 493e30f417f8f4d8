#pragma once
// The game's mouse: the three buttons and the wheel from the application window's messages,
// the cursor's place in client (in full screen: picture) coordinates, clicks and drags of the
// left and right buttons, a cursor that fades out after the mouse has rested, and a smooth
// move of the cursor. It lives on the application thread; the loop calls OnFrame once a frame.
#include <cstdint>

#include "draw/fast_plane.h"
#include "foundation/window/win_hook.h"

namespace KestraneGameBase2 {

struct SPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class CMouseInner : public tovarineGameSDK3rd::Window::IWinHook {
public:
    enum Button { kLeft = 0, kRight = 1, kMiddle = 2 };

    // Hooks the calling thread's application window through the application manager.
    CMouseInner();
    // Unhooks it.
    ~CMouseInner() override;
    CMouseInner(const CMouseInner&) = delete;
    CMouseInner& operator=(const CMouseInner&) = delete;

    // Keeps the buttons and counts the wheel's notches; 0 always, so later hooks see them too.
    tovarineGameSDK3rd::LRESULT WndProc(tovarineGameSDK3rd::HWND hwnd, tovarineGameSDK3rd::UINT msg,
                                        tovarineGameSDK3rd::WPARAM wparam, tovarineGameSDK3rd::LPARAM lparam) override;

    // The cursor's place on the picture (the client area's, or the letterboxed picture's in full
    // screen and in a window the manager sized). Off the picture in a window the buttons are let
    // go, unless kept; so too where no picture is shown (a window too small for one), and the
    // place is then the client area's.
    void GetXY(SPoint& point);
    void GetXY(int32_t& x, int32_t& y);
    bool IsRButton() const { return buttons_[kRight].held; }
    bool IsLButton() const { return buttons_[kLeft].held; }
    bool IsMButton() const { return buttons_[kMiddle].held; }
    // The wheel's notches since the last take; the count restarts at 0.
    int32_t TakeWheelUp();
    int32_t TakeWheelDown();
    // The place and the held buttons: 1 right, 2 left, 4 middle.
    void GetState(int32_t& x, int32_t& y, int32_t& buttons);
    // Left and right pressed since the previous query; answers whether right is held.
    bool GetButtonEdges(bool& leftPushed, bool& rightPushed);
    void ResetButtonEdges();
    // Middle pressed since the previous query; one wheel notch up and one down taken when there.
    void GetMiddleAndWheelEdges(bool& middlePushed, bool& wheelUp, bool& wheelDown);
    void ResetWheel();
    // Puts the cursor at a place on the picture; where no picture is shown it stays.
    void SetXY(int32_t x, int32_t y);
    void MoveXY(int32_t x, int32_t y) { SetXY(x, y); }
    void SetKeepWhenOutside(bool keep) { keepWhenOutside_ = keep; }

    // One frame: animation, fade, smooth move, the place, rest, clicks and drags.
    void OnFrame();

    // Reports a double click of the button apart (else it counts as a press).
    void SetDoubleClick(Button button, bool report) { buttons_[button].reportDouble = report; }
    bool IsDoubleClickHeld(Button button) const { return buttons_[button].doubleHeld; }
    void SetDragTracking(Button button, bool on) { tracks_[button].enabled = on; }
    // Frames of rest before the cursor hides (300 at start).
    void SetIdleLimit(int32_t frames) { idleLimit_ = frames; }
    // Keeps the system cursor hidden inside the client area (a drawn one shows instead).
    void SetHideSystemCursor(bool hide) { hideSystemCursor_ = hide; }
    // Moves the cursor to a place over the given frames (at once for 5 frames or fewer).
    void StartSmoothMove(int32_t x, int32_t y, int32_t frames);

    // The last frame's results for the left or right button.
    bool IsClick(Button button) const { return tracks_[button].click; }
    bool IsDragStarted(Button button) const { return tracks_[button].dragStarted; }
    bool IsDragEnded(Button button) const { return tracks_[button].dragEnded; }
    bool IsDragging(Button button) const { return tracks_[button].dragActive; }

    bool IsOutside() const { return outside_; }
    bool IsHidden() const { return hidden_; }
    int32_t GetAlpha() const { return alpha_; }
    int32_t GetAnimationFrame() const { return animationFrame_; }
    tovarineGameSDK3rd::Draw::CFastPlane& GetCursorPlane(int index) { return cursorPlanes_[index & 1]; }

private:
    struct SButton {
        bool held = false;
        bool doubleHeld = false;
        bool previous = false;  // at the last edge query
        bool reportDouble = false;
    };
    struct SDragTrack {
        bool enabled = true;
        bool heldLast = false;
        bool pressSeen = false;
        int32_t pressX = 0, pressY = 0;
        bool dragActive = false;
        bool dragStarted = false, dragEnded = false, click = false;  // this frame
        bool blocked = false;
    };
    void Rest(bool still);
    void TrackButton(int index);

    tovarineGameSDK3rd::HWND hwnd_ = 0;
    SButton buttons_[3];
    bool keepWhenOutside_ = false;
    int32_t wheelUp_ = 0, wheelDown_ = 0;
    bool outside_ = false;
    int32_t x_ = 0, y_ = 0, restX_ = 0, restY_ = 0;
    tovarineGameSDK3rd::Draw::CFastPlane cursorPlanes_[2];
    int32_t animationFrame_ = 0, animationCells_ = 8, framesPerCell_ = 1;
    int32_t alpha_ = 255, alphaStep_ = 0;
    int32_t idleFrames_ = 0;
    bool hidden_ = false;
    bool hideSystemCursor_ = true;
    bool smoothActive_ = false;
    int64_t smoothX_ = 0, smoothY_ = 0, smoothStepX_ = 0, smoothStepY_ = 0;  // 16.16
    int32_t smoothTargetX_ = 0, smoothTargetY_ = 0, smoothFramesLeft_ = 0;
    SDragTrack tracks_[2];  // left, right
    int32_t dragThreshold_ = 4;
    int32_t idleLimit_ = 300;
};

// The layer as the application holds it.
using CMouseLayer = CMouseInner;

}  // namespace KestraneGameBase2
