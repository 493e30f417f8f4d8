#pragma once
// The game's application and its main loop, and the main window's application
// thread that builds it.
#include <cstdint>
#include <memory>

#include "foundation/appframe/app_base.h"
#include "foundation/timer/fps_timer.h"
#include "framework/app_frame.h"
#include "framework/fps_view.h"
#include "game/files/global_config.h"
#include "game/files/key_control.h"
#include "game/play/game_resource.h"
#include "game/scenes/settings_dialog.h"
#include "game/widgets/message_window.h"

// While its loop runs, the application is the play state's host; it owns the settings dialog.
class CApp : public KestraneGameBase2::CAppFrameBase, public IWindowHost {
public:
    explicit CApp(tovarineGameSDK3rd::Timer::IClock& clock = tovarineGameSDK3rd::Timer::SystemClock());

    // The game's main function: start-up, the frame loop, shutdown.
    void MainLoop() override;
    void InitSubsystems();
    void ShutdownSubsystems();

    tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl> GetKeyControl() { return keys_; }
    SGlobalConfig& GetGlobalConfig() override { return config_; }
    void GetDefaultScreenSize(int32_t& width, int32_t& height) override;
    const SGlobalConfig& Config() override { return config_; }
    SGlobalConfig* EditableConfig() override { return &config_; }
    bool ScreenChanged() override { return IsScreenChanged(); }
    std::vector<KestraneGameBase2::VTLstring>* DroppedFiles() override { return &droppedFiles_; }
    void AcceptDrops(bool accept) override;
    // The settings dialog over the game (F1, and the title menu's "設定"); nothing new while it
    // is open, nothing before the key control is made.
    void OpenSettings() override;
    // Tests: the window the settings dialog is built with (empty: the GTK one).
    void SetSettingsViewFactory(CSettingsDialog::ViewFactory factory) { settingsViewFactory_ = std::move(factory); }

    // Frames drawn since the start.
    uint32_t GetDrawnFrames() const { return drawnFrames_; }
    // The frame-rate overlay with the loop's frame counters; null outside the main function.
    const KestraneGameBase2::CFPSView* GetFpsView() const { return fps_.get(); }

protected:
    // The play state the loop steps; tests put a scripted one in place.
    virtual std::unique_ptr<CGameResource> CreateGameResource();
    // One pass of the loop after the is-running test; false ends the loop.
    bool Frame(CGameResource& game);

    tovarineGameSDK3rd::Timer::IClock& clock_;
    SGlobalConfig config_;
    tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl> keys_;
    std::unique_ptr<tovarineGameSDK3rd::Timer::CFPSTimer> timer_;
    std::unique_ptr<KestraneGameBase2::CFPSView> fps_;
    uint32_t drawnFrames_ = 0;
    bool fastMode_ = false;  // Tab's four-times speed
    // When set, the next frame applies always-on-top and the game-pad choice again.
    bool windowSettingsRequest_ = false;

private:
    CSettingsDialog::ViewFactory settingsViewFactory_;
    std::unique_ptr<CSettingsDialog> settingsDialog_;  // after keys_, which it edits till it goes
};

// The main window's application: window options from system.cfg, then a CApp
// on its own thread's stack.
class CAppMainWindow : public tovarineGameSDK3rd::AppFrame::CAppBase {
public:
    // windowMade, when given, is set once a window was made (MainThread ran).
    explicit CAppMainWindow(bool* windowMade = nullptr) : windowMade_(windowMade) {}
    int32_t OnPreCreate(tovarineGameSDK3rd::Window::CWindowOption& options) override;
    void MainThread() override;

private:
    bool* windowMade_;
};

// Whether the command line asks the program to end at once: "deletesave"'s first
// nine characters in front, with the normal show state only.
bool EndsAtOnce(const char* commandLine, int32_t showState);

// The program's entry: command line (the arguments joined by blanks) and show
// state (1 normal). 0, or 1 when no window could be made.
int MornaMain(const char* commandLine, int32_t showState);
