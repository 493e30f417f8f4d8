#include "framework/mouse_layer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#include "foundation/appframe/app_manager.h"
#include "framework/app_frame.h"
#include "framework/config.h"
#include "platform/mouse.h"

namespace KestraneGameBase2 {

namespace mp = morna::platform;
using tovarineGameSDK3rd::AppFrame::CAppManager;

namespace {

constexpr int32_t kRestRadius = 4;

// The larger of the x and y distances.
int64_t Distance(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    return std::max(std::llabs(int64_t{ax} - bx), std::llabs(int64_t{ay} - by));
}

void Count(int32_t& counter) {
    if (counter < INT32_MAX) ++counter;
}

}  // namespace

CMouseInner::CMouseInner() : hwnd_(CAppManager::GetMyHWnd()) {
    mp::InstallMouseMessages();
    CAppManager::Hook(this);
}

CMouseInner::~CMouseInner() { CAppManager::Unhook(this); }

tovarineGameSDK3rd::LRESULT CMouseInner::WndProc(tovarineGameSDK3rd::HWND, tovarineGameSDK3rd::UINT msg,
                                                 tovarineGameSDK3rd::WPARAM wparam, tovarineGameSDK3rd::LPARAM) {
    if (msg == mp::WM_MOUSEMOVE) {
        buttons_[kLeft].held = (wparam & mp::MK_LBUTTON) != 0;
        buttons_[kRight].held = (wparam & mp::MK_RBUTTON) != 0;
    } else if (msg >= mp::WM_LBUTTONDOWN && msg <= mp::WM_MBUTTONDBLCLK) {
        // Three messages a button, in the order left, right, middle: down, up, double click.
        SButton& b = buttons_[(msg - mp::WM_LBUTTONDOWN) / 3];
        switch ((msg - mp::WM_LBUTTONDOWN) % 3) {
            case 0: b.held = true; break;
            case 1: b.held = b.doubleHeld = false; break;
            default: (b.reportDouble ? b.doubleHeld : b.held) = true; break;
        }
    } else if (msg == mp::WM_MOUSEWHEEL) {
        const int16_t delta = static_cast<int16_t>(wparam >> 16);
        if (delta > 0) Count(wheelUp_);
        else if (delta < 0) Count(wheelDown_);
    }
    return 0;
}

void CMouseInner::GetXY(SPoint& point) { GetXY(point.x, point.y); }

void CMouseInner::GetXY(int32_t& x, int32_t& y) {
    x = y = 0;
    mp::GetCursorPos(x, y);
    const int32_t width = GetSystemConfig().width, height = GetSystemConfig().height;
    // In full screen the screen is the picture, scaled into the desktop. A window's client area
    // shows it at 1:1, or letterboxed where the window manager gave the window another size: a
    // place off the picture (a band, or off the window) is outside.
    const bool fullScreen = CAppManager::IsFullScreen();
    if (mp::ScreenToPicture(hwnd_, width, height, x, y, fullScreen)) {
        outside_ = !fullScreen && (x < 0 || x >= width || y < 0 || y >= height);
    } else {
        // No picture shown (a window too small for one): outside, at the place on the client area.
        int32_t originX = 0, originY = 0;
        mp::ClientToScreen(hwnd_, originX, originY);
        x -= originX;
        y -= originY;
        outside_ = true;
    }
    if (outside_ && !keepWhenOutside_) {
        for (SButton& b : buttons_) b.held = false;
    }
}

int32_t CMouseInner::TakeWheelUp() { return std::exchange(wheelUp_, 0); }
int32_t CMouseInner::TakeWheelDown() { return std::exchange(wheelDown_, 0); }

void CMouseInner::GetState(int32_t& x, int32_t& y, int32_t& buttons) {
    GetXY(x, y);
    buttons = (IsRButton() ? 1 : 0) | (IsLButton() ? 2 : 0) | (IsMButton() ? 4 : 0);
}

bool CMouseInner::GetButtonEdges(bool& leftPushed, bool& rightPushed) {
    SButton& l = buttons_[kLeft];
    SButton& r = buttons_[kRight];
    leftPushed = l.held && !l.previous;
    rightPushed = r.held && !r.previous;
    l.previous = l.held;
    r.previous = r.held;
    return r.held;
}

void CMouseInner::ResetButtonEdges() {
    for (SButton& b : buttons_) b.previous = false;
}

void CMouseInner::GetMiddleAndWheelEdges(bool& middlePushed, bool& wheelUp, bool& wheelDown) {
    SButton& m = buttons_[kMiddle];
    middlePushed = m.held && !m.previous;
    m.previous = m.held;
    wheelUp = wheelUp_ >= 1;
    wheelDown = wheelDown_ >= 1;
    if (wheelUp) --wheelUp_;
    if (wheelDown) --wheelDown_;
}

void CMouseInner::ResetWheel() { wheelUp_ = wheelDown_ = 0; }

void CMouseInner::SetXY(int32_t x, int32_t y) {
    // Where no picture is shown there is no place on it to go to.
    if (mp::PictureToScreen(hwnd_, GetSystemConfig().width, GetSystemConfig().height, x, y)) mp::SetCursorPos(x, y);
}

void CMouseInner::StartSmoothMove(int32_t x, int32_t y, int32_t frames) {
    // Even steps until 4 frames are left, which the last step reaches the target from.
    const int64_t steps = std::max(frames - 4, 1);
    smoothActive_ = true;
    smoothFramesLeft_ = frames;
    smoothTargetX_ = x;
    smoothTargetY_ = y;
    smoothX_ = int64_t{x_} * 65536;
    smoothY_ = int64_t{y_} * 65536;
    // Rounded to the nearest: a step a hair short would land every third pixel one short.
    auto step = [&](int64_t distance) { return (distance * 65536 + (distance < 0 ? -steps : steps) / 2) / steps; };
    smoothStepX_ = step(int64_t{x} - x_);
    smoothStepY_ = step(int64_t{y} - y_);
}

void CMouseInner::OnFrame() {
    if (++animationFrame_ >= animationCells_ * framesPerCell_) animationFrame_ = 0;

    alpha_ += alphaStep_;
    if (alpha_ >= 256) {
        alpha_ = 255;
        alphaStep_ = 0;
    } else if (alpha_ < 0) {
        alpha_ = 0;
        alphaStep_ = 0;
    }

    if (smoothActive_) {
        if (--smoothFramesLeft_ > 4) {
            smoothX_ += smoothStepX_;
            smoothY_ += smoothStepY_;
            SetXY(static_cast<int32_t>(smoothX_ >> 16), static_cast<int32_t>(smoothY_ >> 16));
        } else {
            SetXY(smoothTargetX_, smoothTargetY_);
            smoothActive_ = false;
        }
    }

    GetXY(x_, y_);

    const bool busy = IsLButton() || IsRButton() || IsMButton() || tracks_[kLeft].pressSeen || tracks_[kRight].pressSeen;
    Rest(!busy && Distance(x_, y_, restX_, restY_) <= kRestRadius);

    for (SDragTrack& t : tracks_) t.click = t.dragStarted = t.dragEnded = false;
    TrackButton(kLeft);
    TrackButton(kRight);
    // Either button held blocks the other: a chord is neither's click or drag.
    for (int i = 0; i < 2; ++i) {
        if (!buttons_[i].held) continue;
        SDragTrack& other = tracks_[1 - i];
        other.dragActive = other.pressSeen = false;
        other.blocked = true;
    }
    for (int i = 0; i < 2; ++i) {
        SDragTrack& t = tracks_[i];
        const bool held = buttons_[i].held;
        if (!held) {
            t.click = t.heldLast && !t.dragEnded && !t.blocked;
            // Lifted on every frame the button is up, not only on a release: a block set
            // while this button was up would otherwise eat its next click.
            t.blocked = false;
        }
        t.heldLast = held;
    }

    if (hideSystemCursor_) ShowSystemCursor(outside_);
}

void CMouseInner::Rest(bool still) {
    if (still) {
        Count(idleFrames_);
        if (idleFrames_ > idleLimit_) {
            hidden_ = true;
            alphaStep_ = -8;
            if (!hideSystemCursor_) ShowSystemCursor(false);
        }
        return;
    }
    // A cursor still fading comes back by fading in; one faded out comes back at once.
    if (hidden_) alphaStep_ = 8;
    if (alpha_ == 0 && alphaStep_ != 0) alpha_ = 255;
    idleFrames_ = 0;
    hidden_ = false;
    restX_ = x_;
    restY_ = y_;
    if (!hideSystemCursor_) ShowSystemCursor(true);
}

void CMouseInner::TrackButton(int index) {
    SDragTrack& t = tracks_[index];
    if (!t.enabled) return;
    if (!buttons_[index].held) {
        if (t.dragActive) t.dragEnded = true;
        t.dragActive = t.pressSeen = false;
    } else if (!t.blocked) {
        if (!t.pressSeen) {
            t.pressSeen = true;
            t.pressX = x_;
            t.pressY = y_;
        } else if (!t.dragActive && Distance(x_, y_, t.pressX, t.pressY) > dragThreshold_) {
            t.dragActive = t.dragStarted = true;
        }
    }
}

}  // namespace KestraneGameBase2
