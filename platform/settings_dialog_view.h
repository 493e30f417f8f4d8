#pragma once
// The settings dialog's window as its model drives it: every control is named by its page and
// control id (ids repeat across pages; page 129 is the sheet with OK 1, Cancel 2, Apply 3 and
// Default 128). Changes the model makes raise no events; the player's changes do.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/window.h"

namespace morna::platform {

namespace settings_page {
inline constexpr int kSheet = 129;
inline constexpr int kInput = 131;
inline constexpr int kGeneral = 132;
inline constexpr int kSound = 130;
inline constexpr int kVersion = 103;
// The notebook's tabs in order.
inline constexpr int kTabs[4] = {kInput, kGeneral, kSound, kVersion};
}  // namespace settings_page

// What the player does in the dialog, on the application thread.
class SettingsEvents {
public:
    virtual ~SettingsEvents() = default;
    // A button clicked or a check button toggled; the sheet's buttons also by the dialog's keys
    // (Escape, Return). OK and Cancel destroy the view.
    virtual void OnCommand(int page, int id) = 0;
    virtual void OnEditChange(int page, int id) = 0;
    // A scale moved; code 0-8 while it moves, as the trackbar's scroll codes.
    virtual void OnScroll(int page, int id, int code) = 0;
    virtual void OnTabChange(int index) = 0;
    // The window's close box.
    virtual void OnCloseBox() = 0;
    // The timer the model started.
    virtual void OnTimer() = 0;
};

class SettingsView {
public:
    virtual ~SettingsView() = default;
    // Nonzero while the dialog lives: what the frame loop tests.
    virtual uintptr_t Handle() const = 0;
    virtual void ShowPage(int index) = 0;
    virtual void Enable(int page, int id, bool on) = 0;
    virtual bool GetCheck(int page, int id) = 0;
    virtual void SetCheck(int page, int id, bool on) = 0;
    // Shift-JIS text.
    virtual std::string GetText(int page, int id) = 0;
    virtual void SetText(int page, int id, const std::string& text) = 0;
    virtual void SetRange(int page, int id, int min, int max, int tick, int pageStep, int lineStep) = 0;
    virtual int GetPos(int page, int id) = 0;
    virtual void SetPos(int page, int id, int pos) = 0;
    virtual bool HasFocus(int page, int id) = 0;
    // Moves the keyboard focus; an entry's text is selected whole.
    virtual void Focus(int page, int id) = 0;
    // OnTimer every ms milliseconds until StopTimer.
    virtual void StartTimer(uint32_t ms) = 0;
    virtual void StopTimer() = 0;
};

// The GTK dialog, modeless and transient for owner where the display allows. Null, with the
// reason in *error, when there is no display GTK can use.
std::unique_ptr<SettingsView> CreateGtkSettingsView(SettingsEvents& events, WindowHandle owner, std::string* error);

}  // namespace morna::platform
