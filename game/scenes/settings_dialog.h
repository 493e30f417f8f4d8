#pragma once
// The settings dialog: the game settings record and the key bindings, modeless over the game.
// The model here keeps the dialog's state and drives its window (platform/settings_dialog_view)
// by page and control id.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/key_control.h"
#include "game/files/global_config.h"
#include "platform/settings_dialog_view.h"
#include "sound/audio_mixer.h"

// What the dialog edits and whom it tells.
struct SSettingsHost {
    SGlobalConfig* config = nullptr;
    KestraneGameBase2::CKeyControlBase* keys = nullptr;
    tovarineGameSDK3rd::Multimedia::IAudioMixer* mixer = nullptr;
    std::function<void(int32_t)> setMasterVolume;
    std::function<void()> applySoundConfig;
    // The window settings (always on top, the game pad) are to be applied again; may be empty.
    std::function<void()> requestWindowSettings;
    morna::platform::WindowHandle owner = 0;
    // The dialog's window went (any way it closes).
    std::function<void()> onClosed;
};

class CSettingsDialog : public morna::platform::SettingsEvents {
public:
    static constexpr uint32_t kNoRow = 0xFFFF;
    using ViewFactory = std::function<std::unique_ptr<morna::platform::SettingsView>(
        morna::platform::SettingsEvents&, morna::platform::WindowHandle owner, std::string* error)>;

    explicit CSettingsDialog(SSettingsHost host, ViewFactory factory = &morna::platform::CreateGtkSettingsView);
    // Closes an open dialog as the application's end does: the bindings and settings not applied
    // go, and the mixer keeps what the master slider set.
    ~CSettingsDialog() override;

    // Builds the window and fills it; false (and a log line) when it cannot be shown.
    bool Open();
    bool IsOpen() const { return view_ != nullptr; }
    uintptr_t Handle() const;
    // Leaves as Cancel does: the mixer and the bindings as they were, no capture.
    void Cancel();

    void FillGeneralPage(const SGlobalConfig& config);
    void FillSoundPage(const SGlobalConfig& config);
    void RefreshKeyPage();
    void ApplySettings();

    void OnCommand(int page, int id) override;
    void OnEditChange(int page, int id) override;
    void OnScroll(int page, int id, int code) override;
    void OnTabChange(int index) override;
    void OnCloseBox() override { Cancel(); }
    void OnTimer() override;

    int CurrentPage() const { return page_; }
    uint32_t CaptureRow() const { return captureRow_; }
    const std::vector<uint32_t>& SavedVolumes() const { return savedVolumes_; }

private:
    void Close();
    // Closes without touching the mixer: the capture ended, the bindings of key.cfg back.
    void Discard();
    void EnableApply(bool on);
    void BeginRowCapture(uint32_t row);
    // The input row whose box has the focus (the capture row first); kNoRow when none has.
    uint32_t FocusedRow();

    SSettingsHost host_;
    ViewFactory factory_;
    std::unique_ptr<morna::platform::SettingsView> view_;
    int page_ = 0;
    uint32_t captureRow_ = kNoRow;
    std::vector<uint32_t> savedVolumes_;
};

// Opens the dialog over host unless the one in `dialog` is open already, its window built with
// factory (empty: the GTK one). While the window stands the loop reads its handle through
// SettingsDialogHandle(). Resetting `dialog` closes it as the application's end does.
void OpenSettingsDialog(std::unique_ptr<CSettingsDialog>& dialog, SSettingsHost host,
                        CSettingsDialog::ViewFactory factory = {});
