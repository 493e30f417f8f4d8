// The frame loop on a window of SDL's dummy driver, paced by a fake clock: a scripted play
// state writes a line per frame of what the loop asked of it, and at the end of each of its
// steps acts as the script says (events pushed then are seen by the next frame).
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "game/app.h"
#include "platform/display_mode.h"
#include "platform/joystick.h"
#include "platform/keyboard_state.h"
#include "platform/message_box.h"
#include "tests/common/app_thread.h"
#include "tests/common/fake_clock.h"
#include "tests/common/temp_base_folder.h"
#include "tests/common/virtual_pad.h"
#include "tests/game/support/play_fixture.h"

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
using morna::test::BodyApp;

uint32_t Colour(int frame) { return 0x203040u + static_cast<uint32_t>(frame) * 0x010305u; }

// The settings dialog's window: keeps its controls' checks, texts, numbers and focus, counts the
// live ones.
struct FakeSettingsView : mp::SettingsView {
    static constexpr uintptr_t kHandle = 7;
    explicit FakeSettingsView(int& live) : live_(live) { ++live_; }
    ~FakeSettingsView() override { --live_; }
    uintptr_t Handle() const override { return kHandle; }
    void ShowPage(int) override {}
    void Enable(int, int, bool) override {}
    bool GetCheck(int p, int id) override { return checks[{p, id}]; }
    void SetCheck(int p, int id, bool on) override { checks[{p, id}] = on; }
    std::string GetText(int p, int id) override { return texts[{p, id}]; }
    void SetText(int p, int id, const std::string& t) override { texts[{p, id}] = t; }
    void SetRange(int, int, int, int, int, int, int) override {}
    int GetPos(int p, int id) override { return pos[{p, id}]; }
    void SetPos(int p, int id, int v) override { pos[{p, id}] = v; }
    bool HasFocus(int p, int id) override { return focus == std::pair(p, id); }
    void Focus(int p, int id) override { focus = {p, id}; }
    void StartTimer(uint32_t) override {}
    void StopTimer() override {}
    std::map<std::pair<int, int>, int> pos;
    std::map<std::pair<int, int>, bool> checks;
    std::map<std::pair<int, int>, std::string> texts;
    std::pair<int, int> focus{0, 0};
    int& live_;
};

struct Script {
    // Per frame: "M0" SetMode(Scene::kTitle), "P" Pause, "R" ResetGame, "U" the scene step (then "f" in
    // full screen, and the mask in hex when not 0), "D" a draw ("D*": the screen changed).
    std::vector<std::string> lines;
    std::vector<uint32_t> now, shown;  // the clock and the picture's corner at each step
    std::vector<int32_t> fpsShown;     // the overlay's number at each step
    std::vector<bool> overlay;         // the picture shows white in the overlay's rows
    bool noHero = false;               // the play state's tables lack the hero
    std::vector<int32_t> mouse;        // the mouse layer's animation frame at each step
    std::vector<uintptr_t> dialog;     // the settings dialog's handle at each step
    int views = 0;                     // settings windows alive
    mp::SettingsEvents* dialogEvents = nullptr;
    FakeSettingsView* view = nullptr;  // the last one made
    std::vector<std::string> padRow;   // the "↓" pad box's text after each "pad 2"
    CApp* loop = nullptr;
    std::function<void()> usePad;  // the game pad chosen, as the dialog's Apply would
    std::map<int, std::vector<std::string>> script;
    morna::test::FakeClock clock{1000};
    BodyApp* app = nullptr;
    VirtualPad* pad = nullptr;

    void Act(const std::string& a) {
        static const std::map<std::string, SDL_Scancode> keys = {
            {"Up", SDL_SCANCODE_UP}, {"Tab", SDL_SCANCODE_TAB}, {"F12", SDL_SCANCODE_F12},
            {"Alt", SDL_SCANCODE_LALT}, {"Enter", SDL_SCANCODE_RETURN}, {"F1", SDL_SCANCODE_F1}};
        if (a[0] == '+' || a[0] == '-') BodyApp::PushKey(keys.at(a.substr(1)), a[0] == '+');
        if (a == "pad off") pad->Button(7, false);
        if (a == "use pad") usePad();
        // The settings dialog: its timer, the focus in the "↓" pad box, its Apply, and pad
        // button 2 pressed and released between timer ticks.
        if (a == "pad box") view->Focus(mp::settings_page::kInput, 1024);
        if (a == "apply") dialogEvents->OnCommand(mp::settings_page::kSheet, 3);
        if (a == "pad 2") {
            dialogEvents->OnTimer();
            pad->Button(2, true);
            dialogEvents->OnTimer();
            pad->Button(2, false);
            padRow.push_back(view->texts[{mp::settings_page::kInput, 1024}]);
        }
        if (a == "close box") {
            ASSERT_NE(dialogEvents, nullptr) << "no settings dialog was opened";
            dialogEvents->OnCloseBox();
        }
        if (a == "dialog" || a == "no dialog") KB::SettingsDialogHandle() = a == "dialog" ? 99 : 0;
        if (a == "unfocus") app->PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        if (a == "slow") clock.Advance(70);
        if (a == "fps on") loop->GetGlobalConfig().showFps = true;
    }
};

class ScriptedGame : public CGameResource {
public:
    ScriptedGame(const tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>& keys, Script& run)
        : CGameResource(keys, Setup(run)), run_(run) {}
    void SetMode(Scene mode) override { Add("M" + std::to_string(static_cast<int>(mode))); }
    bool Pause() override {
        Add("P");
        return true;
    }
    void ResetGame() override { Add("R"); }
    void UpdateScene(KB::SKey& key) override {
        char mask[16] = "";
        if (key.mask != 0) std::snprintf(mask, sizeof mask, "%X", key.mask);
        Add(std::string("U") + (KB::GetSystemConfig().fullScreen ? "f" : "") + mask);
        std::vector<uint32_t> out;
        int32_t w = 0, h = 0;
        run_.loop->GetDraw()->GetPresenter()->ReadOutput(out, w, h);
        run_.shown.push_back(out.empty() ? 0 : out[0] & 0xFFFFFF);
        bool white = false;
        for (size_t i = static_cast<size_t>(456 * w); i < out.size(); ++i) white |= (out[i] & 0xFFFFFF) == 0xFFFFFF;
        run_.overlay.push_back(white);
        run_.fpsShown.push_back(run_.loop->GetFpsView()->framesShown);
        run_.now.push_back(run_.clock.Now());
        run_.mouse.push_back(run_.loop->GetMouseLayer()->GetAnimationFrame());
        run_.dialog.push_back(KB::SettingsDialogHandle());
        for (const std::string& a : run_.script[frame_]) run_.Act(a);
        if (frame_ == run_.script.rbegin()->first) RequestExit();
    }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* surface) override {
        Add(HostScreenChanged(GetHost()) ? "D*" : "D");  // the flag as the text windows read it
        EXPECT_EQ(&Config(), &run_.loop->GetGlobalConfig());
        surface->SetFillColor(Colour(frame_));
        surface->Clear(nullptr);
    }

private:
    static SGameResourceSetup Setup(const Script& run) {
        static const morna::test::KindTableBuilder kinds;
        static const std::vector<SBossBlock> parts;
        SGameResourceSetup setup;
        setup.bossParts = &parts;
        if (!run.noHero) setup.kinds = &kinds.Tables();
        return setup;
    }
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
    explicit ScriptedApp(Script& run) : CApp(run.clock), run_(run) {
        run.loop = this;
        run.usePad = [this] { config_.useJoystick = windowSettingsRequest_ = true; };
        SetSettingsViewFactory([&run](mp::SettingsEvents& events, mp::WindowHandle, std::string*) {
            run.dialogEvents = &events;
            auto view = std::make_unique<FakeSettingsView>(run.views);
            run.view = view.get();
            return view;
        });
    }

protected:
    std::unique_ptr<CGameResource> CreateGameResource() override {
        GetDraw()->SetPresenter(mp::DisplayPresenter::CreateOffscreen(640, 480));
        GetGlobalConfig().useJoystick = false;  // the first frame's window settings: no pad
        return std::make_unique<ScriptedGame>(keys_, run_);
    }
    Script& run_;
};

// The script's run on a window that has the focus from the start, unpaced; with a virtual pad
// plugged in before the start when asked.
void RunWithFocus(Script& run, bool withPad = false) {
    mp::SetDisplaySleeper([](uint32_t) {});
    morna::test::RunOnAppThread([&](BodyApp& app) {
        morna::test::TempBaseFolder folder("morna-loop");  // the initializer took the current folder
        std::optional<VirtualPad> pad;
        if (withPad) {
            mp::JoystickCount();
            pad.emplace(4, 16, 1);
            ASSERT_TRUE(pad->Ok()) << SDL_GetError();
            run.pad = &*pad;
        }
        app.PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        run.app = &app;
        ScriptedApp(run).Start();
        if (withPad) mp::CloseJoysticks();
    });
    mp::SetDisplaySleeper(nullptr);
    SDL_Quit();
}

TEST(AppLoop, OneRunThroughKeysHotKeysFastModeScreenModesFocusAndExit) {
    mp::InstallKeyboardState();
    mp::SetDisplaySleeper([](uint32_t) {});
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
    for (size_t f = 0; f < run.mouse.size(); ++f) EXPECT_EQ(run.mouse[f], static_cast<int32_t>((f + 1) % 8)) << "ticked once a frame, before the step";
    EXPECT_EQ(run.now[25], run.now[24]);
}

// F1 pauses and opens the application's settings dialog; while its window stands the loop reads
// no keys, and its close box gives them back. One left open closes with the application. The
// pause menu never sees the keys its frame read for play (up, held with F1). The dialog's pad
// column takes the pad though the game leaves it off, also after an Apply, whose window settings
// come with the next frame.
TEST(AppLoop, F1OpensTheSettingsDialogWhichHoldsTheKeysTillItCloses) {
    mp::InstallKeyboardState();
    Script run;
    run.script = {{0, {"+F1", "+Up"}},
                  {1, {"-F1", "+Up", "pad box", "apply"}},
                  {2, {"pad 2", "close box"}},
                  {3, {"-Up", "+F1"}},
                  {4, {"-F1", "pad box", "pad 2"}},
                  {5, {}}};
    RunWithFocus(run, true);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"M0 U D", "P U D", "U D", "U1 D", "P U D", "U"}));
    EXPECT_EQ(run.padRow, (std::vector<std::string>{"Pad ２", "Pad ２"}));
    constexpr uintptr_t open = FakeSettingsView::kHandle;
    EXPECT_EQ(run.dialog, (std::vector<uintptr_t>{0, open, open, 0, open, open}));
    EXPECT_EQ(std::tuple(run.views, KB::SettingsDialogHandle()), std::tuple(0, KB::HWND{0}));
}

// Drawn frames are counted while the overlay is on; once a second its number is rendered
// into the plane copied to (0, 456).
TEST(AppLoop, FrameRateOverlayCountsTheFramesDrawnInTheLastSecond) {
    Script run;
    run.script = {{0, {"fps on"}}, {70, {}}};
    RunWithFocus(run);
    ASSERT_EQ(run.fpsShown.size(), 71u);
    // Frame 2 shows frame 1's picture (frame 0's present came before the focus); the number
    // comes a second after the first counted frame, with every frame drawn at 60 a second.
    EXPECT_EQ(std::tuple(run.overlay[0], run.overlay[1], run.overlay[2], run.overlay[70]),
              std::tuple(false, false, true, true));
    size_t first = 0;
    while (first < run.fpsShown.size() && run.fpsShown[first] == 0) ++first;
    ASSERT_LT(first, run.fpsShown.size());
    EXPECT_GE(run.now[first - 1] - run.now[0], 1000u);
    EXPECT_LT(run.now[first - 2] - run.now[0], 1000u);
    EXPECT_EQ(run.fpsShown[first], static_cast<int32_t>(first));
}

// Data without the hero and barriers: an error box names the file and no frame runs.
TEST(AppLoop, NoHeroEndsTheRunWithAnErrorBoxBeforeTheFirstFrame) {
    mp::SetDisplaySleeper([](uint32_t) {});
    Script run;
    run.noHero = true;
    run.script = {{0, {}}};
    std::vector<std::string> boxes;
    mp::SetMessageBoxHook([&](const mp::MessageBoxRequest& r) {
        boxes.push_back(r.caption + ": " + r.text);
        return mp::IDOK;
    });
    morna::test::RunOnAppThread([&](BodyApp& app) {
        morna::test::TempBaseFolder folder("morna-loop");
        run.app = &app;
        ScriptedApp(run).Start();
    });
    mp::SetMessageBoxHook({});
    mp::SetDisplaySleeper(nullptr);
    SDL_Quit();
    EXPECT_TRUE(run.lines.empty());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("エラー: data\\text\\data.txt", 0), 0u) << boxes[0];
}

}  // namespace
