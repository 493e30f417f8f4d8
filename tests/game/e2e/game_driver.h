// The game run headless: SDL's dummy drivers, a fake clock stepping 60 frames a second, the data
// set from the build's run folder (read through a temporary base folder whose data\ points
// there), sound effects and music on real sounds of the dummy audio device, and the game's frame
// (scene step, then the draw onto a 640 x 480 back plane, XRGB8888 unless told otherwise) fed the
// keys held in each frame. The keys reach the play state as a player's do: a keyboard of the
// test's answers them through their default bindings and the game's key control turns them into
// the frame's pushes, with each scene's key repeat (a key held in a menu pushes once).
//
//   GameDriver run;                              // clock seed 1: play 1, boss 2, draw 3
//   run.Frame(keys::kDecide);                    // one frame with the decide key held, drawn
//   run.Frame(0, false);                         // one frame, not drawn
//   run.Game().scene, run.Game().boss.hp         // the play state
//   run.SaveScreen("e2e_title.bmp");             // the last drawn picture, into the build folder
//
// A key source answers the keys held in a frame: a fixed script, or a policy reading the play state
// (no random number, no wall clock, so a run is reproducible). One driver lives at a time. The
// benchmarks use it too: no test framework here, a failed start throws.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "draw/fast_draw.h"
#include "draw/fast_plane.h"
#include "framework/bgm_player.h"
#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "framework/sound_list.h"
#include "game/play/game_resource.h"
#include "game/files/key_control.h"
#include "platform/file_system.h"
#include "platform/sound_output.h"
#include "sound/sound_factory.h"
#include "tests/common/fake_clock.h"
#include "tests/common/fake_input_provider.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/game/e2e/e2e_ids.h"
#include "tests/game/support/fixture_settings.h"

namespace morna::e2e {

class GameDriver;
using KeySource = std::function<uint32_t(const GameDriver&, int frame)>;

class GameDriver {
public:
    static constexpr int32_t kWidth = 640, kHeight = 480;

    // clockSeed seeds the play, boss and draw generators at construction (seed, +1, +2). With
    // pulledSound the mixer has no device: the caller pulls its output (RenderSoundOutput),
    // and the music is loaded whole rather than streamed by a thread, so what is pulled
    // depends on the frames alone.
    // screenType is the display's and the back plane's pixel format.
    explicit GameDriver(uint32_t clockSeed = 1, bool pulledSound = false,
                        int32_t screenType = tovarineGameSDK3rd::Draw::XRGB8888) {
        ::setenv("SDL_VIDEODRIVER", "dummy", 0);
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        platform::SetOutputBackend(pulledSound ? platform::OutputBackend::kManual : platform::OutputBackend::kDevice);
        // MORNA_E2E_DATA plays another data set (a tuning run of the data's values).
        const char* data = std::getenv("MORNA_E2E_DATA");
        std::filesystem::create_directory_symlink(data != nullptr ? std::filesystem::path(data) : std::filesystem::path(MORNA_RUN_DIR) / "data",
                                                  folder_.Path() + "/data");
        std::filesystem::create_directory(folder_.Path() + "/save");
        draw_.GetDDraw()->SetDisplayMode(screenType, kWidth, kHeight);
        bool retry = false;
        if (draw_.GetPrimary()->CreatePrimary(&retry, 0, 0) != 0) throw std::runtime_error("no display");
        screen_.CreateMemorySurface(kWidth, kHeight, screenType, true);
        screen_.SetColorKey(0xFF00FF);
        auto& images = KestraneGameBase2::CImageLoader::GetInstance();
        images.ReleasePlanes();
        images.CheckMemory(100, UINT64_MAX);
        images.LoadList("data\\image");
        KestraneGameBase2::BuildSineTable();
        music_.SetStreamDefault(!pulledSound);
        effects_.SetStreamDefault(false);
        KestraneGameBase2::GetBGMPlayer()->Initialize(KestraneGameBase2::SoundFactoryRef(&music_, false));
        KestraneGameBase2::GetSEList()->Load(KestraneGameBase2::SoundFactoryRef(&effects_, false));

        SGameResourceSetup setup;
        setup.clock = &clock_;
        setup.wallClock = [] { return int64_t{1523190896}; };  // 2018-04-08 12:34:56 UTC
        setup.playSeed = clockSeed;
        setup.bossSeed = clockSeed + 1;
        setup.drawSeed = clockSeed + 2;
        // The key control writes its default bindings into save\ and reads the keyboard above.
        keys_ = tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl);
        for (auto it = keys_->GetConfig().rbegin(); it != keys_->GetConfig().rend(); ++it)
            if (it->device == KestraneGameBase2::CKeyControlBase::kKeyboard && it->key < 32 && it->code < 256)
                codes_[it->key] = static_cast<uint8_t>(it->code);
        game_ = std::make_unique<CGameResource>(keys_, setup);
        game_->SetHost(&settings_);
        if (const char* error = game_->GetStartError()) throw std::runtime_error(error);
        game_->SetMode(Scene::kTitle);
    }
    ~GameDriver() {
        game_.reset();
        // The sounds go with the factories that made them, before the process's statics.
        KestraneGameBase2::DestroyBGMPlayer();
        KestraneGameBase2::DestroyMusicLoader();
        KestraneGameBase2::DestroySEList();
        KestraneGameBase2::CImageLoader::GetInstance().ReleasePlanes();
        platform::SetOutputBackend(platform::OutputBackend::kDevice);
    }
    GameDriver(const GameDriver&) = delete;
    GameDriver& operator=(const GameDriver&) = delete;

    // One frame of the main loop: the music's frame, the keys held (a bit per key of the
    // frame's mask) read through the key control, the scene step with its pushes, then (when
    // asked) the draw. Sixty frames take exactly a second of the fake clock.
    void Frame(uint32_t held, bool draw = true) {
        clock_.SetNow(1000 + static_cast<uint32_t>((frames_ + 1) * 1000 / 60));
        KestraneGameBase2::GetBGMPlayer()->OnFrame();
        std::fill(std::begin(keyboard_.keys), std::end(keyboard_.keys), uint8_t{0});
        for (int n = 0; n < 32; ++n)
            if ((held >> n & 1) != 0 && codes_[n] != 0) keyboard_.keys[codes_[n]] = 0x80;
        pushes_ = keys_->Update();
        KestraneGameBase2::SKey key(pushes_);
        game_->UpdateScene(key);
        if (draw) game_->Draw(&screen_);
        ++frames_;
    }
    // Frames from a key source while `more` holds, at most `limit`; draws every drawEvery-th
    // (0: none). The frames run.
    int Run(const KeySource& keys, const std::function<bool(const CGameResource&)>& more, int limit,
            int drawEvery = 1) {
        int n = 0;
        for (; n < limit && more(*game_); ++n) Frame(keys(*this, frames_), drawEvery > 0 && frames_ % drawEvery == 0);
        return n;
    }

    CGameResource& Game() { return *game_; }
    const CGameResource& Game() const { return *game_; }
    tovarineGameSDK3rd::Draw::CFastPlane& Screen() { return screen_; }
    int Frames() const { return frames_; }
    // The last frame's pushes, as the key control answered the keys held.
    uint32_t Pushes() const { return pushes_; }
    // The error log's lines since the display was made.
    std::vector<std::string> LogLines() const { return log_.Lines(); }
    const std::string& Folder() const { return folder_.Path(); }

    // The back plane as a BMP in the build folder; true when written.
    bool SaveScreen(const std::string& file) {
        std::string name;
        if (!platform::NameFromSystemPath(std::string(MORNA_BUILD_DIR) + "/" + file, name)) return false;
        return screen_.SaveBitmap(name.c_str(), nullptr) == 0;
    }
    // The back plane's pixel as 0xRRGGBB.
    uint32_t Pixel(int x, int y) {
        uint32_t c = 0;
        screen_.GetSurfaceInfo()->GetPixel(x, y, &c);
        return c & 0xFFFFFF;
    }

private:
    test::TempBaseFolder folder_{"morna-e2e"};
    test::FixtureSettings settings_;
    test::FakeClock clock_{1000};
    tovarineGameSDK3rd::Draw::CFastDraw draw_;
    // From here on: the display above logs that no application holds this thread, which only
    // the headless run lacks.
    test::LogCapture log_;
    tovarineGameSDK3rd::Draw::CFastPlane screen_;
    tovarineGameSDK3rd::Multimedia::CSoundFactory music_;
    tovarineGameSDK3rd::Multimedia::CSoundFactory effects_;
    test::FakeSystem keyboard_;
    test::FakeInputScope keyboardScope_{keyboard_};
    tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl> keys_;
    uint8_t codes_[32] = {};  // each key's first keyboard binding
    std::unique_ptr<CGameResource> game_;
    int frames_ = 0;
    uint32_t pushes_ = 0;
};

}  // namespace morna::e2e
