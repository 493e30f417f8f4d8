#pragma once
// The framework's application frame: the display, the dropped files, the sound
// factories, the audio mixer and the music thread, the key control, the switch
// between window and full screen, the window's place and the frame's window
// hook. The game's application derives from it and lives on the application
// thread for the whole run.
#include <cstdint>
#include <vector>

#include "draw/fast_draw.h"
#include "foundation/appframe/app_frame.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/window/win_hook.h"
#include "framework/bgm_player.h"
#include "framework/check_version.h"
#include "framework/config.h"
#include "framework/key_control.h"
#include "framework/mouse_layer.h"
#include "sound/audio_mixer.h"
#include "sound/sound_factory.h"

namespace KestraneGameBase2 {

using HWND = tovarineGameSDK3rd::HWND;
using LRESULT = tovarineGameSDK3rd::LRESULT;

class CAppFrameBase : public tovarineGameSDK3rd::AppFrame::CAppFrame, public tovarineGameSDK3rd::Window::IWinHook {
public:
    explicit CAppFrameBase(tovarineGameSDK3rd::Timer::IClock& clock = tovarineGameSDK3rd::Timer::SystemClock());
    ~CAppFrameBase() override;

    // The framework's start-up: the window hook, the update check (when switched on), the
    // back plane's colour key, always-on-top, the screen mode and window place, the save folder,
    // the music player and the sound effects with the settings' volumes.
    virtual void InitializeFrame();
    // Ends the update check (a request still waiting goes at once) and keeps the version it
    // offered as the system record's last version, for system.cfg to remember.
    void KeepCheckedVersion();
    // Full screen (or not) at the default picture size and the given depth.
    int32_t InitScreenMode(int32_t, int32_t, int32_t bpp, bool fullScreen);
    // Window to full screen or back; 0 zero width, height or bpp take the stored
    // ones. 0 on success, else the display's failure (nothing changed).
    int32_t ChangeScreenMode(int32_t width, int32_t height, int32_t bpp);
    // Places the window (centred when off the screen) and stores the place. 0.
    int32_t SetWindowPosition(int32_t x, int32_t y);
    // The master volume, 0 to 65535: the output's channels in the proportions
    // they had at start-up, the loudest at v.
    void SetMasterVolume(int32_t v);
    // The settings' sound volumes and switches to the music player and the effects.
    void ApplySoundConfig();
    // Notes a change of the display's format or screen mode since the last call.
    void CheckScreenChanged();
    bool IsScreenChanged() const { return screenChanged_; }

    // The executable's folder as a Shift-JIS "Z:" name, without a trailing '\'.
    static VTLstring GetModuleDirectory();
    // The folder part of a path: before its last '\' that is not a trail byte.
    static VTLstring DirectoryOf(const VTLstring& path);
    // Asks that the game's window be shown past the desktop's compositor; before the window is made.
    static void DisableDesktopComposition();

    LRESULT WndProc(HWND hwnd, tovarineGameSDK3rd::UINT msg, tovarineGameSDK3rd::WPARAM wparam,
                    tovarineGameSDK3rd::LPARAM lparam) override;

    // A message box captioned "エラー" over the application window; the hidden
    // cursor is shown for it and hidden again after. Answers the box's result.
    static int32_t ErrorBox(const VTLstring& text);

    virtual void GetDefaultScreenSize(int32_t& width, int32_t& height);
    virtual SGlobalConfigBase& GetGlobalConfig();

    tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::Draw::CFastDraw> GetDraw() { return draw_; }
    const std::vector<VTLstring>& GetDroppedFiles() const { return droppedFiles_; }
    tovarineGameSDK3rd::VTL::smart_ptr<CKeyControlBase>& GetKeyControlBase() { return keyControl_; }
    tovarineGameSDK3rd::VTL::smart_ptr<CMouseLayer>& GetMouseLayer() { return mouseLayer_; }
    // Its addresses are given before InitializeFrame starts it.
    CCheckVersion& GetCheckVersion() { return checkVersion_; }
    int32_t GetBackSurfaceFormat() const { return backSurfaceFormat_; }
    tovarineGameSDK3rd::Multimedia::CSoundFactory& GetBGMFactory() { return bgmFactory_; }
    tovarineGameSDK3rd::Multimedia::CSoundFactory& GetSEFactory() { return seFactory_; }
    tovarineGameSDK3rd::Multimedia::CAudioMixer& GetMixer() { return mixer_; }

protected:
    std::vector<VTLstring> droppedFiles_;
    tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::Draw::CFastDraw> draw_;
    bool modeSwitched_ = false;
    int32_t colourDepth_ = 32;
    bool screenChanged_ = false;
    int32_t clearedWord_ = 0;
    int32_t backSurfaceFormat_ = 0;
    bool fullScreenCopy_ = false;
    // Streaming music, one the frame does not use, static sound effects.
    tovarineGameSDK3rd::Multimedia::CSoundFactory bgmFactory_;
    tovarineGameSDK3rd::Multimedia::CSoundFactory secondFactory_;
    tovarineGameSDK3rd::Multimedia::CSoundFactory seFactory_;
    tovarineGameSDK3rd::Multimedia::CAudioMixer mixer_;  // over the volumes kept in save\mixer.cfg
    std::vector<uint32_t> savedMasterVolumes_;  // line 0 at start-up
    tovarineGameSDK3rd::VTL::smart_ptr<CMusicThread> musicThread_;
    CCheckVersion checkVersion_;
    tovarineGameSDK3rd::VTL::smart_ptr<CKeyControlBase> keyControl_;
    tovarineGameSDK3rd::VTL::smart_ptr<CMouseLayer> mouseLayer_;

private:
    bool checkedOnce_ = false;
    int32_t seenFormat_ = 0;
    bool seenFullScreen_ = false;
};

// The settings dialog's window while it is open, else 0.
HWND& SettingsDialogHandle();
// Frames left in which paint messages set the window's client size again.
int32_t& RepaintCountdown();
// The SDK's cursor-shown byte: 1 while the system cursor is shown.
uint8_t& CursorShown();
// When the byte says otherwise: ShowCursor until the display count crosses 0 (to 0 or -1),
// and the byte set. So the count stays at 0 or -1 however often it is asked.
void ShowSystemCursor(bool show);

}  // namespace KestraneGameBase2
