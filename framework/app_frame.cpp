#include "framework/app_frame.h"

#include <algorithm>

#include "foundation/appframe/app_manager.h"
#include "foundation/auxiliary/file.h"
#include "framework/image_loader.h"
#include "framework/message_box.h"
#include "framework/mixer_volumes.h"
#include "platform/charset.h"
#include "platform/file_system.h"
#include "platform/module_path.h"
#include "platform/window.h"

namespace KestraneGameBase2 {

namespace mp = morna::platform;
namespace AF = tovarineGameSDK3rd::AppFrame;
namespace MM = tovarineGameSDK3rd::Multimedia;
using tovarineGameSDK3rd::Draw::CFastDraw;

HWND& SettingsDialogHandle() {
    static HWND handle = 0;
    return handle;
}

int32_t& RepaintCountdown() {
    static int32_t countdown = 0;
    return countdown;
}

uint8_t& CursorShown() {
    static uint8_t shown = 1;
    return shown;
}

void ShowSystemCursor(bool show) {
    if ((CursorShown() == 1) == show) return;
    if (show) {
        while (mp::ShowCursor(true) < 0) {
        }
    } else {
        while (mp::ShowCursor(false) >= 0) {
        }
    }
    CursorShown() = show ? 1 : 0;
}

CAppFrameBase::CAppFrameBase(tovarineGameSDK3rd::Timer::IClock& clock)
    : CAppFrame(clock),
      draw_(CFastDraw::CreateWithPlaneFactory()),
      // The kept volumes are on the lines before the mixer records them as its opening ones.
      mixer_(tovarineGameSDK3rd::VTL::smart_ptr<MM::IMixerDevice>(new CKeptMixerDevice)) {
    SettingsDialogHandle() = 0;
}

CAppFrameBase::~CAppFrameBase() {
    // Unhooked here too: a frame that ends without its application's shutdown (an
    // exception, a test) must not leave the window calling into a destroyed object.
    AF::IAppBase* app = GetMyApp();
    if (app != nullptr) app->GetWindow()->GetHookList()->Del(this);
}

void CAppFrameBase::GetDefaultScreenSize(int32_t& width, int32_t& height) {
    width = 800;
    height = 600;
}

SGlobalConfigBase& CAppFrameBase::GetGlobalConfig() {
    static SGlobalConfigBase defaults;
    return defaults;
}

void CAppFrameBase::InitializeFrame() {
    AF::IAppBase* app = GetMyApp();
    if (app != nullptr) app->GetWindow()->GetHookList()->Add(this);
    SGlobalConfigBase& config = GetGlobalConfig();
    SSystemConfig& system = GetSystemConfig();
    const HWND hwnd = app != nullptr ? app->GetHWnd() : 0;

    if (config.updateCheck) {
        checkVersion_.SetLastVersion(static_cast<int32_t>(system.lastVersion));
        checkVersion_.SetOwnerWindow(hwnd);
        checkVersion_.CreateThread();
    }
    draw_->GetBackPlane()->SetColorKey(0xFF00FF);
    mp::SetWindowTopmost(hwnd, config.topmost);
    if (system.fullScreen) {
        const int32_t format = draw_->GetPrimaryType();
        InitScreenMode(0, 0, format == 7 || format == 8 ? 32 : 16, true);
    } else {
        draw_->SetDisplayMode(false, 0, 0, 0);
        SetWindowPosition(system.windowX, system.windowY);
    }
    backSurfaceFormat_ = draw_->GetBackPlane()->GetSurfaceType();
    CImageLoader::GetInstance().LoadList("data\\image");

    // A failed creation is not reported: saving then fails where it is tried.
    const VTLstring save = tovarineGameSDK3rd::Auxiliary::CFile::GetFullName("save");
    if (!mp::IsDirectory(save.c_str())) mp::MakeDirectory(save.c_str());

    // The loaders keep the factories without owning them: the frame outlives its run.
    GetBGMPlayer()->Initialize(SoundFactoryRef(&bgmFactory_, false));
    const auto streams = bgmFactory_.GetSoundParameter()->GetStreamFactory();
    if (auto* factory = dynamic_cast<MM::CSoundStreamFactory*>(streams.GetNoCheck()))
        factory->GetStreamMap()->Write("ogg", "CVorbisStream");
    GetSEList()->Load(SoundFactoryRef(&seFactory_, false));
    bgmFactory_.SetStreamDefault(true);
    seFactory_.GetSoundParameter()->SetGlobalFocus(false);
    seFactory_.SetStreamDefault(false);
    ApplySoundConfig();
    mixer_.GetVolume(0, savedMasterVolumes_);
}

void CAppFrameBase::SetMasterVolume(int32_t v) {
    const uint32_t master = static_cast<uint32_t>(v);
    uint32_t loudest = 0;
    for (uint32_t s : savedMasterVolumes_) loudest = std::max(loudest, s);
    std::vector<uint32_t> values;
    for (uint32_t s : savedMasterVolumes_) {
        const uint64_t scaled = loudest == 0 ? master : uint64_t{s} * master / loudest;
        values.push_back(static_cast<uint32_t>(std::min<uint64_t>(scaled, 65535)));
    }
    mixer_.SetVolume(0, values);
}

void CAppFrameBase::ApplySoundConfig() {
    const SGlobalConfigBase& c = GetGlobalConfig();
    CBGMPlayer& music = *GetBGMPlayer();
    CSEList& effects = *GetSEList();
    music.SetVolume(c.bgmVolume);
    effects.SetVolume(c.seVolume);
    const bool musicOn = !c.bgmOff;
    {
        tovarineGameSDK3rd::Thread::CCriticalLock lock(MusicLock());
        if (music.IsEnabled() != musicOn) {
            music.SetEnabled(musicOn);
            if (musicOn) {
                music.PlayAfterFade(music.GetCurrent());
            } else {
                music.Reset();
            }
        }
    }
    if (effects.IsEnabled() != !c.seOff) {
        effects.SetEnabled(!c.seOff);
        if (c.seOff) effects.Reload();
    }
    music.SetUseLoopPoints(!c.loopFromHead);
    const auto parameter = bgmFactory_.GetSoundParameter();
    if (parameter->IsGlobalFocus() != c.keepBgmInactive) {
        parameter->SetGlobalFocus(c.keepBgmInactive);
        music.Reset();  // new buffers take the switch
    }
    if (musicOn) {
        music.Play(music.GetCurrent(), 16);
    } else {
        music.FadeOut(0);
    }
}

void CAppFrameBase::KeepCheckedVersion() {
    checkVersion_.StopThread();
    const int32_t offered = checkVersion_.GetResult();
    if (offered != -1) GetSystemConfig().lastVersion = static_cast<uint32_t>(offered);
}

int32_t CAppFrameBase::InitScreenMode(int32_t, int32_t, int32_t bpp, bool fullScreen) {
    // Our full screen is the desktop's with the picture scaled: the default
    // picture size, not a larger mode that would leave the game in a corner.
    int32_t width = 0, height = 0;
    GetDefaultScreenSize(width, height);
    SSystemConfig& system = GetSystemConfig();
    system.fullScreen = fullScreen;
    system.width = width;
    system.height = height;
    colourDepth_ = bpp;
    modeSwitched_ = false;
    clearedWord_ = 0;
    return draw_->SetDisplayMode(fullScreen, width, height, bpp);
}

int32_t CAppFrameBase::ChangeScreenMode(int32_t width, int32_t height, int32_t bpp) {
    SSystemConfig& system = GetSystemConfig();
    if (width == 0) width = system.width;
    if (height == 0) height = system.height;
    if (bpp == 0) bpp = colourDepth_;
    auto attempt = [&](int32_t depth) {
        draw_->BeginChangeDisplay();
        draw_->TestDisplayMode(width, height, !system.fullScreen, depth);
        return draw_->EndChangeDisplay();
    };
    int32_t result = attempt(bpp);
    if (result != 0 && bpp == 32) {
        bpp = 16;
        result = attempt(bpp);
    }
    if (result != 0) {
        // A refused change leaves the display without a picture: put the mode back.
        draw_->SetDisplayMode(system.fullScreen, system.width, system.height, colourDepth_);
        return result;
    }
    system.fullScreen = !system.fullScreen;
    system.width = width;
    system.height = height;
    colourDepth_ = bpp;
    modeSwitched_ = true;
    clearedWord_ = 0;
    return 0;
}

int32_t CAppFrameBase::SetWindowPosition(int32_t x, int32_t y) {
    SSystemConfig& system = GetSystemConfig();
    int32_t screenWidth = 0, screenHeight = 0;
    mp::GetScreenSize(screenWidth, screenHeight);
    // 64-bit sums: a stored position may be any i32.
    const int64_t w = system.width, h = system.height;
    if (x < -w || x > screenWidth || y < -32 || y > screenHeight) {
        x = static_cast<int32_t>((screenWidth - w) / 2);
        y = static_cast<int32_t>((screenHeight - h) / 2);
    }
    AF::IAppBase* app = GetMyApp();
    if (app != nullptr) app->GetWindow()->SetPos(x, y);
    system.windowX = x;
    system.windowY = y;
    return 0;
}

void CAppFrameBase::CheckScreenChanged() {
    const int32_t format = draw_->GetPrimaryType();
    const bool fullScreen = draw_->IsFullScreen();
    if (!checkedOnce_) {
        checkedOnce_ = true;
        seenFormat_ = format;
        seenFullScreen_ = fullScreen;
    }
    const bool formatChanged = format != seenFormat_;
    seenFormat_ = format;
    if (fullScreen != seenFullScreen_) {
        seenFullScreen_ = fullScreen;
        screenChanged_ = true;
        return;
    }
    screenChanged_ = formatChanged;
}

VTLstring CAppFrameBase::DirectoryOf(const VTLstring& path) {
    size_t last = VTLstring::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (mp::IsSjisLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;  // the trail byte may be 0x5C
        } else if (path[i] == '\\') {
            last = i;
        }
    }
    return last == VTLstring::npos ? VTLstring() : path.substr(0, last);
}

VTLstring CAppFrameBase::GetModuleDirectory() { return DirectoryOf(VTLstring(mp::ExecutablePath().c_str())); }

void CAppFrameBase::DisableDesktopComposition() { mp::BypassCompositor(); }

LRESULT CAppFrameBase::WndProc(HWND hwnd, tovarineGameSDK3rd::UINT msg, tovarineGameSDK3rd::WPARAM wparam,
                               tovarineGameSDK3rd::LPARAM) {
    switch (msg) {
    case mp::WM_DROPFILES:
        droppedFiles_.clear();
        for (std::string& name : mp::TakeDroppedFiles(wparam)) droppedFiles_.emplace_back(name.c_str());
        return 0;
    case mp::WM_ACTIVATEAPP:
        // The screensaver stays off while the window has the focus.
        mp::AllowScreenSaver(wparam == 0);
        if (wparam == 0 && GetSystemConfig().fullScreen) {
            SSystemConfig& system = GetSystemConfig();
            if (ChangeScreenMode(system.width, system.height, 0) != 0) {
                ErrorBox("フルスクリーンモードに切り替えることが出来ませんでした。");
            }
            fullScreenCopy_ = GetSystemConfig().fullScreen;
            RepaintCountdown() = 60;
            screenChanged_ = true;
        }
        break;
    case mp::WM_PAINT:
        break;
    default:
        return 0;
    }
    if (RepaintCountdown() > 0) {
        --RepaintCountdown();
        AF::IAppBase* app = GetMyApp();
        if (app != nullptr) app->GetWindow()->SetSize(GetSystemConfig().width, GetSystemConfig().height);
    }
    (void)hwnd;
    return 0;
}

int32_t CAppFrameBase::ErrorBox(const VTLstring& text) {
    const bool wasShown = CursorShown() == 1;
    ShowSystemCursor(true);
    AF::CAppManager::EnsureInstance();
    const int32_t result = ShowMessageBox(AF::CAppManager::GetMyHWnd(), text, "エラー", mp::MB_OK);
    if (!wasShown) ShowSystemCursor(false);
    return result;
}

}  // namespace KestraneGameBase2
