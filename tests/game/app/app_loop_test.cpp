// The frame loop on a window of SDL's dummy driver, paced by a fake clock: a scripted play
// state writes a line per frame of what the loop asked of it, and at the end of each of its
// steps acts as the script says (events pushed then are seen by the next frame).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "game/app.h"
#include "platform/display_mode.h"
#include "platform/joystick.h"
#include "platform/keyboard_state.h"
#include "tests/common/app_thread.h"
#include "tests/common/fake_clock.h"
#include "tests/common/temp_base_folder.h"
#include "tests/common/virtual_pad.h"

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
using morna::test::BodyApp;

uint32_t Colour(int frame) { return 0x203040u + static_cast<uint32_t>(frame) * 0x010305u; }

struct Script {
    // Per frame: "M0" SetMode(0), "P" Pause, "R" ResetGame, "U" the scene step (then "f" in
    // full screen, and the mask in hex when not 0), "D" a draw ("D*": the screen changed).
    std::vector<std::string> lines;
    std::vector<uint32_t> now, shown;  // the clock and the picture's corner at each step
    std::map<int, std::vector<std::string>> script;
    morna::test::FakeClock clock{1000};
    BodyApp* app = nullptr;
    VirtualPad* pad = nullptr;

    void Act(const std::string& a) {
        static const std::map<std::string, SDL_Scancode> keys = {
            {"Up", SDL_SCANCODE_UP}, {"Tab", SDL_SCANCODE_TAB}, {"F12", SDL_SCANCODE_F12},
            {"Alt", SDL_SCANCODE_LALT}, {"Enter", SDL_SCANCODE_RETURN}};
        if (a[0] == '+' || a[0] == '-') BodyApp::PushKey(keys.at(a.substr(1)), a[0] == '+');
        if (a == "pad off") pad->Button(7, false);
        if (a == "use pad") RunningApp()->GetGlobalConfig().useJoystick = WindowSettingsRequest() = true;
        if (a == "dialog" || a == "no dialog") KB::SettingsDialogHandle() = a == "dialog" ? 99 : 0;
        if (a == "unfocus") app->PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        if (a == "slow") clock.Advance(70);
    }
};

class ScriptedGame : public CGameResource {
public:
    ScriptedGame(const tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>& keys, Script& run) : CGameResource(keys), run_(run) {}
    void SetMode(int32_t mode) override { Add("M" + std::to_string(mode)); }
    void Pause() override { Add("P"); }
    void ResetGame() override { Add("R"); }
    void UpdateScene(KB::SKey& key) override {
        char mask[16] = "";
        if (key.mask != 0) std::snprintf(mask, sizeof mask, "%X", key.mask);
        Add(std::string("U") + (KB::GetSystemConfig().fullScreen ? "f" : "") + mask);
        std::vector<uint32_t> out;
        int32_t w = 0, h = 0;
        RunningApp()->GetDraw()->GetPresenter()->ReadOutput(out, w, h);
        run_.shown.push_back(out.empty() ? 0 : out[0] & 0xFFFFFF);
        run_.now.push_back(run_.clock.Now());
        for (const std::string& a : run_.script[frame_]) run_.Act(a);
        if (frame_ == run_.script.rbegin()->first) RequestExit();
    }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* surface) override {
        Add(WindowScreenChanged() ? "D*" : "D");  // the flag as the text windows read it
        EXPECT_EQ(&WindowConfig(), &RunningApp()->GetGlobalConfig());
        surface->SetFillColor(Colour(frame_));
        surface->Clear(nullptr);
    }

private:
    void Add(const std::string& what) {
        if (stepped_ && what[0] != 'D') ++frame_;  // after the step, only a draw stays in the frame
        stepped_ = stepped_ && what[0] == 'D';
        run_.lines.resize(frame_ + 1);
        run_.lines[frame_] += (run_.lines[frame_].empty() ? "" : " ") + what;
        stepped_ = stepped_ || what[0] == 'U';
    }
    Script& run_;
    int frame_ = 0;
    bool stepped_ = false;
};

class ScriptedApp : public CApp {
public:
    explicit ScriptedApp(Script& run) : CApp(run.clock), run_(run) {}

protected:
    std::unique_ptr<CGameResource> CreateGameResource() override {
        GetDraw()->SetPresenter(mp::DisplayPresenter::CreateOffscreen(640, 480));
        GetGlobalConfig().useJoystick = false;  // the first frame's window settings: no pad
        return std::make_unique<ScriptedGame>(keys_, run_);
    }
    Script& run_;
};

TEST(AppLoop, OneRunThroughKeysHotKeysFastModeScreenModesFocusAndExit) {
    mp::InstallKeyboardState();
    mp::SetDisplaySleeper([](uint32_t) {});
    FastMode() = false;
    Script run;
    // The step runs before the frame's draw: the dialog opened at 16 already hides 16.
    run.script = {{0, {"+Up"}},   {1, {"-Up"}},    {2, {"use pad"}},   {3, {"pad off", "+Tab"}},
                  {4, {"-Tab"}},  {8, {"+F12"}},   {9, {"-F12"}},      {11, {"+Tab"}},
                  {12, {"-Tab"}}, {13, {"+Alt"}},  {14, {"+Enter"}},   {15, {"-Enter"}},
                  {16, {"dialog", "+Up"}},         {18, {"no dialog", "-Up", "+Enter"}},
                  {19, {"-Enter", "-Alt", "unfocus", "+Up", "+F12"}},  {20, {"-Up", "-F12"}},
                  {21, {"slow"}}, {24, {}}};
    morna::test::RunOnAppThread([&](BodyApp& app) {
        morna::test::TempBaseFolder folder("morna-loop");  // the initializer took the current folder
        mp::JoystickCount();
        VirtualPad pad(4, 16, 1);
        ASSERT_TRUE(pad.Ok()) << SDL_GetError();
        pad.Button(7, true);  // bound to key 14
        app.PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        run.app = &app;
        run.pad = &pad;
        ScriptedApp(run).Start();
        run.now.push_back(run.clock.Now());
        mp::CloseJoysticks();
    });
    mp::SetDisplaySleeper(nullptr);
    SDL_Quit();

    const std::vector<std::string> expected = {
        "M0 U D", "U1 D",    // up
        "U D", "U4000 D",    // the window settings take the pad in: its button 7 is key 14
        "U D", "U", "U", "U", "U D",  // Tab: 240 a second, this frame drawn and every fourth
        "R M0 U", "U", "U",  // F12
        "U D", "U D", "U D",  // Tab again: 60, every frame drawn
        "P Uf D*",           // Alt+Enter pauses, then full screen
        "Uf", "Uf",          // the settings dialog over full screen: no draw, no keys
        "Uf D", "P U D*",    // back to the window
        "U D",               // no focus: neither keys nor hot keys
        "U D", "U",          // a slow frame: the next is not drawn
        "U D", "U",          // the exit request: no draw, no wait
    };
    EXPECT_EQ(run.lines, expected);
    ASSERT_EQ(run.now.size(), expected.size() + 1);
    for (size_t f = 1, last = 0; f < expected.size(); ++f) {
        // The picture shown is the last frame drawn; frame 0's present only checked the display
        // after the focus came.
        if (last > 0) {
            EXPECT_EQ(run.shown[f], Colour(static_cast<int>(last))) << f;
        }
        if (expected[f].find('D') != std::string::npos) last = f;
        const uint32_t step = run.now[f] - run.now[f - 1];
        const bool fast = f > 4 && f <= 12;
        if (f <= 21) {
            EXPECT_TRUE(fast ? step == 4 || step == 5 : step == 16 || step == 17) << f << ": " << step;
        }
    }
    EXPECT_EQ(run.now[22] - run.now[21], 70u);
    EXPECT_EQ(run.now[25], run.now[24]);
}

}  // namespace
