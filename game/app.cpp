#include "game/app.h"

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/mutex.h"
#include "foundation/thread/thread_manager.h"
#include "framework/bgm_player.h"
#include "framework/blt_support.h"
#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "framework/sound_list.h"
#include "game/scenes/settings_dialog.h"
#include "platform/file_system.h"
#include "platform/keyboard_state.h"
#include "platform/window.h"

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
using tovarineGameSDK3rd::VTL::smart_ptr;

CApp::CApp(tovarineGameSDK3rd::Timer::IClock& clock) : CAppFrameBase(clock), clock_(clock) {}

void CApp::GetDefaultScreenSize(int32_t& width, int32_t& height) {
    width = 640;
    height = 480;
}

void CApp::AcceptDrops(bool accept) {
    if (GetMyApp() != nullptr) mp::DragAcceptFiles(GetMyApp()->GetHWnd(), accept);
}

void CApp::OpenSettings() {
    if (!keys_) return;
    SSettingsHost host;
    host.config = &config_;
    host.keys = keys_.GetNoCheck();
    host.mixer = &GetMixer();
    host.setMasterVolume = [this](int32_t v) { SetMasterVolume(v); };
    host.applySoundConfig = [this] { ApplySoundConfig(); };
    host.requestWindowSettings = [this] { windowSettingsRequest_ = true; };
    host.owner = GetMyApp() != nullptr ? GetMyApp()->GetHWnd() : 0;
    OpenSettingsDialog(settingsDialog_, std::move(host), settingsViewFactory_);
}

std::unique_ptr<CGameResource> CApp::CreateGameResource() { return std::make_unique<CGameResource>(keys_); }

void CApp::InitSubsystems() {
    config_.Load("save\\global.cfg");  // a failed load leaves the defaults
    InitializeFrame();
    KB::CBltSupport::SetDoubleSize(0);
    keys_ = smart_ptr<CKeyControl>(new CKeyControl);
    keyControl_ = smart_ptr<KB::CKeyControlBase>(keys_);
    keys_->Initialize("save\\key.cfg");
    // The system cursor hides only after the mouse has rested a second.
    mouseLayer_ = smart_ptr<KB::CMouseLayer>(new KB::CMouseLayer);
    mouseLayer_->SetHideSystemCursor(false);
    KB::ShowSystemCursor(true);
    mouseLayer_->ResetButtonEdges();
    mouseLayer_->ResetWheel();
    mouseLayer_->SetIdleLimit(60);
    config_.fontName = "VL ゴシック";
    config_.propFontName = "VL Pゴシック";
    musicThread_ = smart_ptr<KB::CMusicThread>(new KB::CMusicThread);
    musicThread_->CreateThread();
    if (config_.loopFromHead) KB::GetBGMPlayer()->SetUseLoopPoints(false);
}

void CApp::ShutdownSubsystems() {
    settingsDialog_.reset();
    if (GetMyApp() != nullptr) GetMyApp()->GetWindow()->GetHookList()->Del(this);
    if (musicThread_) {
        musicThread_->Interrupt();
        musicThread_->StopThread();
        musicThread_ = smart_ptr<KB::CMusicThread>();
    }
    keyControl_ = smart_ptr<KB::CKeyControlBase>();
    keys_ = smart_ptr<CKeyControl>();
    KB::CImageLoader::GetInstance().ReleasePlanes();
    KB::GetMusicLoader()->Release();
    KB::GetSEList()->DestroyLoader();
}

void CApp::MainLoop() {
    SetQuitOnExit(true);
    InitSubsystems();
    timer_ = std::make_unique<tovarineGameSDK3rd::Timer::CFPSTimer>(clock_);
    fps_ = std::make_unique<KB::CFPSView>();
    fps_->y = 456;
    fps_->Update();
    windowSettingsRequest_ = true;
    KB::BuildSineTable();
    std::unique_ptr<CGameResource> game = CreateGameResource();
    game->SetHost(this);
    if (const char* error = game->GetStartError()) {
        // Nothing to play: the player is told which file, and the run ends before its first frame.
        ErrorBox(error);
    } else {
        game->SetMode(Scene::kTitle);
        KB::CImageLoader::GetInstance().CheckMemory(90);
        while (IsThreadValid() && Frame(*game)) {
        }
    }

    KeepCheckedVersion();
    // The window's place for the next start (0, 0 in full screen).
    KB::SSystemConfig& system = KB::GetSystemConfig();
    const KB::HWND hwnd = GetMyApp() != nullptr ? GetMyApp()->GetHWnd() : 0;
    int32_t x = 0, y = 0;
    if (mp::IsFullScreenWindow(hwnd) || !mp::GetWindowPosition(hwnd, x, y)) x = y = 0;
    system.windowX = x;
    system.windowY = y;
    system.Save();
    ShutdownSubsystems();
    game.reset();
    fps_.reset();
    timer_.reset();
}

bool CApp::Frame(CGameResource& game) {
    const KB::HWND hwnd = GetMyApp() != nullptr ? GetMyApp()->GetHWnd() : 0;
    if (windowSettingsRequest_) {
        windowSettingsRequest_ = false;
        mp::SetWindowTopmost(hwnd, config_.topmost);
        if (keys_) {
            // A keyboard at the foreground level reads nothing without the focus, whatever the setting.
            keys_->SetBackgroundInput(config_.backgroundInput);
            // The open dialog's pad column keeps the pad; its closing selects the option's.
            if (!settingsDialog_ || !settingsDialog_->IsOpen()) keys_->SelectJoyStick(config_.useJoystick);
        }
    }
    KB::CFPSView& fps = *fps_;
    fps.drawCounter = fps.drawDivisor > 1 ? (fps.drawCounter + 1) % fps.drawDivisor : 0;
    KB::SKey key;
    if (mouseLayer_) mouseLayer_->OnFrame();
    const bool focus = hwnd != 0 && mp::GetFocus() == hwnd;
    if (KB::SettingsDialogHandle() == 0 && (focus || config_.backgroundInput) && keys_) {
        if (keys_->IsCapturing()) {
            keys_->CaptureKey();
        } else {
            keys_->Input();
            for (int32_t i = 0; i < keys_->GetKeyCount(); ++i) {
                if (keys_->IsPush(i)) key.mask |= 1u << i;
            }
        }
    }

    // Hot keys: one-shot presses, only while the window has the focus. The frame's keys were
    // read with play's repeat: a pause menu opened now starts from the next frame's.
    const auto pause = [&] {
        if (game.Pause()) key.mask = 0;
    };
    const bool enter = KB::CKeyControlBase::IsKeyTriggered(mp::vk::kReturn);
    if (enter && focus && mp::IsVirtualKeyDown(mp::vk::kMenu)) {
        pause();
        ChangeScreenMode(640, 480, 0);
    }
    if (KB::CKeyControlBase::IsKeyTriggered(mp::vk::kF1)) {
        pause();
        OpenSettings();
    }
    if (KB::CKeyControlBase::IsKeyTriggered(mp::vk::kF12)) {
        game.ResetGame();
        game.SetMode(Scene::kTitle);
    }
    if (KB::CKeyControlBase::IsKeyTriggered(mp::vk::kTab)) {
        fps.drawCounter = 0;
        timer_->SetFPS(fastMode_ ? 60 : 240);
        fps.drawDivisor = fastMode_ ? 1 : 4;
        fastMode_ = !fastMode_;
    }

    KB::GetBGMPlayer()->OnFrame();
    game.UpdateScene(key);
    if (game.IsExitRequested()) return false;

    const bool dialogOverFullScreen = KB::GetSystemConfig().fullScreen && KB::SettingsDialogHandle() != 0;
    if (!timer_->IsFrameSkip() && fps.drawCounter == 0 && !dialogOverFullScreen) {
        CheckScreenChanged();
        game.Draw(draw_->GetBackPlane());
        ++drawnFrames_;
        if (config_.showFps) {
            KB::CBltSupport::BltCopy(*draw_->GetBackPlane(), fps.GetPlane(), fps.x, fps.y);
            // Frames drawn in the last second, refreshed once a second; compared wrap-safe.
            const uint32_t now = clock_.Now();
            if (fps.nextRefresh == 0) fps.nextRefresh = now + 1000;
            ++fps.framesCounted;
            if (static_cast<int32_t>(now - fps.nextRefresh) >= 0) {
                fps.nextRefresh += 1000;
                fps.framesShown = fps.framesCounted;
                fps.framesCounted = 0;
                fps.Update();
            }
        }
        draw_->Present(nullptr, true);
    }
    timer_->WaitFrame();
    return true;
}

// ---- the main window

int32_t CAppMainWindow::OnPreCreate(tovarineGameSDK3rd::Window::CWindowOption& options) {
    KB::SSystemConfig& system = KB::GetSystemConfig();
    if (system.Load("save\\system.cfg") != 0) {
        system.width = 640;
        system.height = 480;
    }
    char version[32];
    std::snprintf(version, sizeof version, " ver%d.%02d", 1, 1);
    options.caption = KB::VTLstring("モルナ") + version;
    options.className = "MORNA_KESTRANE_APPLICATION";
    options.width = 640;
    options.height = 480;
    options.style = 0x10CA0010;
    return 0;
}

void CAppMainWindow::MainThread() {
    if (windowMade_ != nullptr) *windowMade_ = true;
    CApp app;
    app.Start();
}

// ---- the entry

bool EndsAtOnce(const char* commandLine, int32_t showState) {
    return showState == 1 && std::strncmp(commandLine, "deletesave", 9) == 0;
}

int MornaMain(const char* commandLine, int32_t showState) {
    std::setlocale(LC_CTYPE, "");
    std::string folder;
    if (mp::SystemPathFromName(KB::CAppFrameBase::GetModuleDirectory().c_str(), folder)) {
        if (::chdir(folder.c_str()) != 0) std::perror("morna: cannot enter the program's folder");
    }
    KB::CAppFrameBase::DisableDesktopComposition();
    if (EndsAtOnce(commandLine, showState)) return 0;

    bool first = false;
    bool windowMade = false;
    {
        tovarineGameSDK3rd::Thread::CMutex mutex;
        {
            tovarineGameSDK3rd::AppFrame::CAppInitializer init(nullptr, nullptr, commandLine, showState);
            first = mutex.IsFirstInstance("");
            if (first) tovarineGameSDK3rd::Thread::CThreadManager::StartThread(new CAppMainWindow(&windowMade));
        }  // waits for every thread
    }
    if (first && !windowMade) {
        // Without a window the game cannot run: say why, and do not report success.
        std::fprintf(stderr, "morna: no window could be made: %s\n", mp::LastWindowError().c_str());
        return 1;
    }
    return 0;
}
