// The settings dialog's GTK window on an X display with a window manager (tools/run-with-wm.sh),
// over an application frame of the test's own: its tabs, a check and Apply writing global.cfg,
// the master scale acting on the mixer at once, Cancel giving the game window its input back, a
// window destroyed behind the dialog's back, and the dialog's keys typed into it through the X server.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <tuple>
#include <utility>

#include <signal.h>

#include "framework/app_frame.h"
#include "game/files/key_control.h"
#include "game/scenes/settings_dialog.h"
#include "platform/clock.h"
#include "platform/keyboard_state.h"
#include "platform/sound_output.h"
#include "tests/common/app_thread.h"
#include "tests/common/checked_input_scope.h"
#include "tests/common/file_bytes.h"
#include "tests/common/temp_base_folder.h"
#include "tests/common/wait.h"
#include "tests/x11/x_view.h"  // last: Xlib's macros
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/XKBlib.h>

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
namespace mt = morna::test;

GtkWidget* FindNamed(GtkWidget* w, const std::string& name) {
    if (name == gtk_widget_get_name(w)) return w;
    GtkWidget* found = nullptr;
    if (GTK_IS_CONTAINER(w)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(w));
        for (GList* c = children; c != nullptr && found == nullptr; c = c->next) found = FindNamed(GTK_WIDGET(c->data), name);
        g_list_free(children);
    }
    return found;
}

struct Frame : KB::CAppFrameBase {
    SGlobalConfig config;
    mp::WindowHandle game = 0;
    std::function<void(Frame&)> body;
    SGlobalConfig& GetGlobalConfig() override { return config; }
    void MainLoop() override {
        InitializeFrame();
        body(*this);
    }
    SSettingsHost Host(CKeyControl& keys) {
        SSettingsHost host;
        host.config = &config;
        host.keys = &keys;
        host.mixer = &GetMixer();
        host.setMasterVolume = [this](int32_t v) { SetMasterVolume(v); };
        host.applySoundConfig = [this] { ApplySoundConfig(); };
        host.owner = game;
        return host;
    }
};

// Handles the window messages waiting, GTK's events and timers with them.
void PumpOnce() {
    mp::WindowMessage m;
    while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
}

// Pumps the window messages, then calls each, until done or the time is up: 10 s by default,
// which a manager on a busy machine may take.
bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& each = {}, uint32_t ms = 10000) {
    return mt::WaitUntil(done, [&] { PumpOnce(); if (each) each(); }, ms);
}

// Pumps the window messages, then calls each, for the given time.
void PumpFor(uint32_t ms, const std::function<void()>& each = {}) {
    mt::WaitFor(ms, [&] { PumpOnce(); if (each) each(); });
}

bool HasXTest(const mt::XView& x) {
    int event = 0, error = 0, major = 0, minor = 0;
    return x.get() != nullptr && XTestQueryExtension(x.get(), &event, &error, &major, &minor);
}

// A key pressed or released on the X server's keyboard, as the player's.
void Type(Display* x, KeySym key, bool down) {
    XTestFakeKeyEvent(x, XKeysymToKeycode(x, key), down ? True : False, CurrentTime);
    XFlush(x);
}

// The focus and the stacking as the server and the manager have them, with the game's window, the
// dialog's and the others named: what a failed wait for the focus or the stacking says.
std::string FocusOf(mp::WindowHandle game, std::vector<std::pair<std::string, Window>> others = {}) {
    mt::XView x;
    others.insert(others.begin(), {{"game", mt::XView::Of(game)}, {"dialog", x.FindByTitle(mt::Utf8(u8"設定"))}});
    return x.FocusState(others);
}

// Runs body on the application thread in a frame of its own over a fresh base folder, with the
// settings record and a key control read from its save folder, once the game window has the focus.
void OnFrame(const char* folderName, const std::function<void(Frame&, CKeyControl&, const std::string& folder)>& body) {
    mt::RunOnAppThread([&](mt::BodyApp& app) {
        mt::TempBaseFolder folder(folderName);
        Frame frame;
        frame.game = app.GetHWnd();
        frame.body = [&](Frame& f) {
            f.config.Load("save\\global.cfg");
            CKeyControl keys;
            keys.Initialize("save\\key.cfg");
            ASSERT_TRUE(PumpUntil([&] { return mp::GetFocus() == f.game; }))
                << "the game window never had the focus: " << FocusOf(f.game);
            body(f, keys, folder.Path());
        };
        frame.Start();
    });
}

// The settings window among GTK's windows; null when there is none.
GtkWidget* SettingsWindow() {
    GtkWidget* dialog = nullptr;
    GList* tops = gtk_window_list_toplevels();
    for (GList* t = tops; t != nullptr; t = t->next)
        if (FindNamed(GTK_WIDGET(t->data), "129:1") != nullptr) dialog = GTK_WIDGET(t->data);
    g_list_free(tops);
    return dialog;
}

// Waits until active (the dialog has the keyboard). Where it does not come within PumpUntil's time:
// what decided otherwise (the focus, the user times the manager weighs, the stacking), and whether
// the activation came late or not at all.
testing::AssertionResult BecomesActive(mp::WindowHandle game, const std::function<bool()>& active,
                                       const std::function<void()>& each = {}) {
    const uint32_t start = mp::MonotonicMilliseconds();
    if (PumpUntil(active, each)) return testing::AssertionSuccess();
    const uint32_t failed = mp::MonotonicMilliseconds() - start;
    const std::string state = FocusOf(game);
    const bool late = PumpUntil(active, each, 20000);
    return testing::AssertionFailure() << "the dialog not active after " << failed << " ms: " << state << "; "
                                       << (late ? "active after " + std::to_string(mp::MonotonicMilliseconds() - start) + " ms"
                                                : "still not active after 20 s more");
}

// Opens the settings dialog over the frame; the dialog's window once it has the focus, else null.
GtkWidget* OpenActive(std::unique_ptr<CSettingsDialog>& settings, Frame& f, CKeyControl& keys) {
    OpenSettingsDialog(settings, f.Host(keys));
    GtkWidget* dialog = SettingsWindow();
    if (dialog == nullptr) return nullptr;
    const testing::AssertionResult active = BecomesActive(f.game, [&] { return gtk_window_is_active(GTK_WINDOW(dialog)); });
    EXPECT_TRUE(active);
    return active ? dialog : nullptr;
}

TEST(X11SettingsDialog, TabsApplyTheMasterScaleAndCancel) {
    mt::XView x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    mt::FakeSystem keyboard;
    mt::CheckedInputScope scope(keyboard);
    OnFrame("morna-settings-x11", [&](Frame& f, CKeyControl& keys, const std::string& folder) {
        const mp::WindowHandle game = f.game;
        const SSettingsHost host = f.Host(keys);
        std::unique_ptr<CSettingsDialog> settings;
        OpenSettingsDialog(settings, host);
        ASSERT_NE(KB::SettingsDialogHandle(), 0u);
        ASSERT_TRUE(PumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) != 0; }));

        GtkWidget* dialog = SettingsWindow();
        ASSERT_NE(dialog, nullptr);
        GtkWidget* notebook = gtk_bin_get_child(GTK_BIN(dialog));
        GList* box = gtk_container_get_children(GTK_CONTAINER(notebook));
        notebook = GTK_WIDGET(box->data);
        g_list_free(box);
        ASSERT_TRUE(GTK_IS_NOTEBOOK(notebook));
        std::string tabs;
        for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)); ++i)
            tabs += std::string(gtk_notebook_get_tab_label_text(GTK_NOTEBOOK(notebook),
                                                                gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), i))) + "|";
        EXPECT_EQ(tabs, mt::Utf8(u8"入力|全般|サウンド|バージョン情報|"));

        GtkWidget* apply = FindNamed(dialog, "129:3");
        EXPECT_FALSE(gtk_widget_get_sensitive(apply));
        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "132:1005")));  // as a click toggles it
        EXPECT_TRUE(gtk_widget_get_sensitive(apply));
        gtk_button_clicked(GTK_BUTTON(apply));
        const std::vector<uint8_t> cfg = mt::ReadBytes(folder + "/save/global.cfg");
        ASSERT_GT(cfg.size(), 23u);
        EXPECT_EQ(cfg[23], 1);
        EXPECT_FALSE(gtk_widget_get_sensitive(apply));

        gtk_range_set_value(GTK_RANGE(FindNamed(dialog, "130:2000")), 100);  // as a drag moves it
        std::vector<uint32_t> line;
        f.GetMixer().GetVolume(0, line);
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(*std::max_element(line.begin(), line.end()), 1000u);

        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "129:2")));
        EXPECT_EQ(KB::SettingsDialogHandle(), 0u);
        EXPECT_TRUE(PumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) == 0; }));
        // The loop reads keys again: no dialog, and the game window has the focus.
        EXPECT_TRUE(PumpUntil([&] { return mp::GetFocus() == game; })) << FocusOf(game);
        f.GetMixer().GetVolume(0, line);
        EXPECT_GT(*std::max_element(line.begin(), line.end()), 1000u);  // Cancel put the mixer back

        // A window destroyed behind the dialog's back closes it as its close box does.
        OpenSettingsDialog(settings, host);
        ASSERT_TRUE(PumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) != 0; }));
        gtk_widget_destroy(SettingsWindow());
        EXPECT_TRUE(PumpUntil([&] { return KB::SettingsDialogHandle() == 0; }));

        // So does its X window destroyed by another program while it has the focus, and the next one
        // opens. Nothing is written (the dialog is cleaned up before GDK reads the notice, which leaves
        // GDK no window to warn of) but, at its close, the count of GTK's requests that failed on it
        // (the origin's among them: the round trip that read the notice).
        GtkWidget* active = OpenActive(settings, f, keys);
        ASSERT_NE(active, nullptr) << "the dialog never had the focus";
        testing::internal::CaptureStderr();
        XDestroyWindow(x.get(), x.FindByTitle(mt::Utf8(u8"設定")));
        // Gone on the server, GTK asks where the window is, as laying it out does, before GDK has
        // read the notice: outside GDK's traps, where GDK's handler would end the process.
        XSync(x.get(), False);
        int left = 0, top = 0;
        gdk_window_get_origin(gtk_widget_get_window(active), &left, &top);
        EXPECT_TRUE(PumpUntil([&] { return KB::SettingsDialogHandle() == 0; }));
        PumpUntil([&] { return mp::GetFocus() == game; });
        const std::string logged = testing::internal::GetCapturedStderr();
        const std::string droppedLine = "GTK: ";
        const std::string droppedEnd = " of its X requests failed on resources gone with a dialog's window that "
                                       "another program destroyed; not reported\n";
        EXPECT_TRUE(logged.rfind(droppedLine, 0) == 0 && logged.size() > droppedLine.size() + droppedEnd.size() &&
                    logged.find(droppedEnd) == logged.size() - droppedEnd.size() &&
                    std::atoi(logged.c_str() + droppedLine.size()) >= 1)
            << logged;
        OpenSettingsDialog(settings, host);
        EXPECT_TRUE(PumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) != 0; }));
        settings.reset();
    });
}

// The dialog closed (its Cancel clicked) in the very instant another program destroys its X window,
// the server done with it, before anything is read on GTK's connection: GTK's close asks about the
// gone window, and reads the notice after, with the window marked destroyed by the close. The game
// runs on (GDK's handler would end it), the close writes the line with the count of GTK's errors
// dropped, and the next dialog opens.
TEST(X11SettingsDialog, TheDialogClosedAsAnotherProgramDestroysItsWindowLeavesTheGameRunning) {
    mt::XView x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    mt::FakeSystem keyboard;
    mt::CheckedInputScope scope(keyboard);
    OnFrame("morna-settings-race", [&](Frame& f, CKeyControl& keys, const std::string&) {
        std::unique_ptr<CSettingsDialog> settings;
        GtkWidget* dialog = OpenActive(settings, f, keys);
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus";
        const Window window = x.FindByTitle(mt::Utf8(u8"設定"));
        ASSERT_NE(window, 0u);
        testing::internal::CaptureStderr();
        XDestroyWindow(x.get(), window);
        XSync(x.get(), False);
        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "129:2")));  // キャンセル
        const std::string logged = testing::internal::GetCapturedStderr();
        EXPECT_EQ(KB::SettingsDialogHandle(), 0u);
        EXPECT_EQ(logged.rfind("GTK: ", 0), 0u) << logged;
        EXPECT_NE(logged.find(" of its X requests failed on resources gone with a dialog's window"), std::string::npos)
            << logged;
        OpenSettingsDialog(settings, f.Host(keys));
        EXPECT_TRUE(PumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) != 0; })) << FocusOf(f.game);
        settings.reset();
    });
}

// The dialog's keys typed into it (key events through the X server to the focused window), from
// every control: Escape presses Cancel, Return and the keypad's Enter press OK. The keys the game
// reads never show them, though a hand-made key.cfg binds all three to the back key (bit 9), not
// in the frame the dialog goes nor after their release reaches the game window. In a key box
// whose row waits for its key, after Q bound the row before, Escape keeps nothing and Return
// keeps Q; the keypad's Enter in the CPU box keeps its number, and Return on a check button
// leaves the check as it was.
TEST(X11SettingsDialog, EscapeAndReturnCloseFromEveryControl) {
    mt::XView x;
    ASSERT_TRUE(HasXTest(x)) << "no X display with XTEST";
    auto type = [&](KeySym key, bool down) { Type(x.get(), key, down); };
    // The key control reads the real keyboard: the game window's keys, and the dialog's.
    OnFrame("morna-settings-escape", [&](Frame& f, CKeyControl& keys, const std::string& folder) {
        const mp::WindowHandle game = f.game;
        for (uint8_t dik : {mp::dik::kEscape, mp::dik::kReturn, mp::dik::kNumpadEnter}) keys.GetConfig().emplace_back(9, 0, dik);
        ASSERT_FALSE(keys.Save());
        ASSERT_EQ(keys.Load(), 0);
        const std::string keyFile = folder + "/save/key.cfg", configFile = folder + "/save/global.cfg";
        const std::vector<uint8_t> keyBytes = mt::ReadBytes(keyFile);
        auto code = [&](int key) {
            for (const auto& b : keys.GetConfig())
                if (b.key == key && b.device == 0) return static_cast<int>(b.code);
            return -1;
        };
        const int back = code(9);
        auto bound = [&](int key, int dik) {
            return std::any_of(keys.GetConfig().begin(), keys.GetConfig().end(),
                               [&](const auto& b) { return b.key == key && b.device == 0 && b.code == dik; });
        };

        // Each pass, the keys as the frame loop reads them, and whether the keyboard ever held
        // one of the dialog's keys.
        uint32_t mask = 0;
        bool dialogKeyDown = false;
        const auto frameKeys = [&] {
            if (KB::SettingsDialogHandle() == 0 && mp::GetFocus() == game) mask |= keys.Update();
            uint8_t state[mp::kKeyboardStateSize];
            mp::GetKeyboardState(state);
            dialogKeyDown |= state[mp::dik::kEscape] != 0 || state[mp::dik::kReturn] != 0 || state[mp::dik::kNumpadEnter] != 0;
        };
        PumpFor(200, frameKeys);

        std::unique_ptr<CSettingsDialog> settings;
        auto open = [&] { return OpenActive(settings, f, keys); };
        // Pressed in the dialog and held until it has gone and the game window has the focus, and
        // a second more: past the server's auto-repeat delay, whose presses go to the game window.
        const auto closeBy = [&](KeySym key) {
            type(key, true);
            EXPECT_TRUE(PumpUntil([&] { return KB::SettingsDialogHandle() == 0; }, frameKeys)) << key;
            EXPECT_TRUE(PumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) == 0 && mp::GetFocus() == game; }, frameKeys))
                << key << ": " << FocusOf(game);
            PumpFor(1000, frameKeys);
            type(key, false);
            PumpFor(200, frameKeys);
        };
        // Q typed into the first keyboard box: bound, and the next row's capture waits.
        const auto bindQ = [&](GtkWidget* dialog) {
            gtk_widget_grab_focus(FindNamed(dialog, "131:1005"));
            ASSERT_TRUE(PumpUntil([&] { return settings->CaptureRow() == 0 && keys.IsCapturing(); }));
            type(XK_q, true);  // held until taken: the capture polls the keyboard every 20 ms
            EXPECT_TRUE(PumpUntil([&] { return settings->CaptureRow() == 1; }));
            type(XK_q, false);
            PumpFor(200);
            ASSERT_EQ(std::vector<int>({code(8), keys.IsCapturing()}), std::vector<int>({0x10, 1}));
        };

        GtkWidget* dialog = open();
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus";
        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "132:1005")));  // "フレームレートを表示する"
        ASSERT_TRUE(gtk_widget_get_sensitive(FindNamed(dialog, "129:3")));
        closeBy(XK_Escape);
        EXPECT_FALSE(f.config.showFps);
        EXPECT_FALSE(std::filesystem::exists(configFile));
        EXPECT_EQ(mt::ReadBytes(keyFile), keyBytes);

        dialog = open();
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus again";
        EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(FindNamed(dialog, "132:1005"))));
        bindQ(dialog);
        closeBy(XK_Escape);
        EXPECT_EQ(std::vector<int>({code(8), keys.IsCapturing()}), std::vector<int>({0x2C, 0}));
        EXPECT_EQ(mt::ReadBytes(keyFile), keyBytes);

        dialog = open();
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus for Return";
        bindQ(dialog);
        closeBy(XK_Return);
        ASSERT_EQ(keys.Load(), 0);
        EXPECT_EQ(std::vector<int>({code(8), bound(9, back), keys.IsCapturing()}), std::vector<int>({0x10, 1, 0}));

        dialog = open();
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus for the keypad's Enter";
        settings->OnTabChange(1);
        GtkWidget* cpu = FindNamed(dialog, "132:1003");
        gtk_widget_grab_focus(cpu);
        gtk_entry_set_text(GTK_ENTRY(cpu), "7");  // as typed
        closeBy(XK_KP_Enter);
        EXPECT_EQ(f.config.cpuLevel, 7);
        EXPECT_TRUE(std::filesystem::exists(configFile));

        dialog = open();
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus for Return on a check";
        settings->OnTabChange(1);
        gtk_widget_grab_focus(FindNamed(dialog, "132:1005"));
        closeBy(XK_Return);
        EXPECT_FALSE(f.config.showFps);

        EXPECT_EQ(mask, 0u);
        EXPECT_FALSE(dialogKeyDown);
    });
}

// A key box captures only a key pressed after its capture began: the Down that moves the focus
// from the 入力 tab into the first box, or the Shift of a Shift+Tab back into a box, is still down
// when the box's capture begins and binds nothing; the next key typed binds the row exactly as a
// click on the box and that key do, and Shift pressed while a box captures binds it. The arrows
// bind like any key and move no focus by themselves. A key typed into the game's window, or into
// another program's with background input on, is no key typed into the box that had the focus:
// its capture waits for the focus to come back.
// Run with GDK_BACKEND=wayland, as some Wayland desktops export it for every program: GTK still
// opens the game window's own display, and leaves the variable as the player had it.
TEST(X11SettingsDialog, KeyThatMovesTheFocusIntoABoxBindsNothing) {
    mt::XView x;
    ASSERT_TRUE(HasXTest(x)) << "no X display with XTEST";
    ::setenv("GDK_BACKEND", "wayland", 1);
    OnFrame("morna-settings-focus-key", [&](Frame& f, CKeyControl& keys, const std::string& folder) {
        const std::string keyFile = folder + "/save/key.cfg";
        const auto bindings = keys.GetConfig();
        auto code = [&](int key) {
            for (const auto& b : keys.GetConfig())
                if (b.key == key && b.device == 0) return static_cast<int>(b.code);
            return -1;
        };
        std::unique_ptr<CSettingsDialog> settings;
        // Pressed in a capturing box, held until the capture has taken it and moved on to the next row.
        const auto bind = [&](KeySym key, uint32_t nextRow) {
            Type(x.get(), key, true);
            EXPECT_TRUE(PumpUntil([&] { return settings->CaptureRow() == nextRow; })) << key;
            Type(x.get(), key, false);
            PumpFor(200);
        };
        const auto state = [&](GtkWidget* dialog) {
            return std::vector<int>{static_cast<int>(settings->CaptureRow()), keys.IsCapturing(),
                                    gtk_widget_get_sensitive(FindNamed(dialog, "129:3"))};
        };

        // The mouse route: a click on the first keyboard box, Q, Apply.
        GtkWidget* dialog = OpenActive(settings, f, keys);
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus";
        EXPECT_STREQ(std::getenv("GDK_BACKEND"), "wayland");
        gtk_widget_grab_focus(FindNamed(dialog, "131:1005"));
        ASSERT_TRUE(PumpUntil([&] { return settings->CaptureRow() == 0 && keys.IsCapturing(); }));
        bind(XK_q, 1);
        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "129:3")));
        const std::vector<uint8_t> clicked = mt::ReadBytes(keyFile);
        EXPECT_EQ(code(8), 0x10);
        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "129:2")));
        keys.GetConfig() = bindings;
        ASSERT_FALSE(keys.Save());

        // The keyboard route: Down from the 入力 tab into the first box, held over several ticks.
        dialog = OpenActive(settings, f, keys);
        ASSERT_NE(dialog, nullptr) << "the dialog never had the focus again";
        ASSERT_TRUE(GTK_IS_NOTEBOOK(gtk_window_get_focus(GTK_WINDOW(dialog))));
        Type(x.get(), XK_Down, true);
        ASSERT_TRUE(PumpUntil([&] { return settings->CaptureRow() != CSettingsDialog::kNoRow; }));
        PumpFor(200);
        Type(x.get(), XK_Down, false);
        PumpFor(200);
        EXPECT_EQ(state(dialog), (std::vector<int>{0, 1, 0}));
        EXPECT_EQ(code(2), 0xD0);  // ↓ keeps the down arrow
        bind(XK_q, 1);
        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "129:3")));
        EXPECT_EQ(mt::ReadBytes(keyFile), clicked);

        // Shift+Tab from the row's pad box back into its keyboard box, typed within a millisecond
        // of the tick that began the pad capture: no tick sees Shift before the keyboard box's
        // capture begins, and Tab (reserved, and found before Shift) is up again by then.
        gtk_widget_grab_focus(FindNamed(dialog, "131:1004"));
        mt::WaitUntil([&] { return settings->CaptureRow() == 9; }, PumpOnce, 10000, 1);
        ASSERT_EQ(settings->CaptureRow(), 9u);
        Type(x.get(), XK_Shift_L, true);
        Type(x.get(), XK_Tab, true);
        Type(x.get(), XK_Tab, false);
        ASSERT_TRUE(PumpUntil([&] { return settings->CaptureRow() != 9; }));
        PumpFor(200);
        Type(x.get(), XK_Shift_L, false);
        PumpFor(200);
        EXPECT_EQ(state(dialog), (std::vector<int>{1, 1, 0}));
        EXPECT_EQ(code(9), -1);  // the capture took the row's binding, and nothing since
        // Pressed again while the box captures, Shift is taken.
        bind(XK_Shift_L, 2);
        EXPECT_EQ(code(9), 0x2A);

        // Up in the ↓ box binds ↑ there and swaps ↓ onto the ↑ row; Up in the ↑ box swaps back.
        const auto bindingSet = [&] {
            std::vector<std::tuple<int, int, int>> set;
            for (const auto& b : keys.GetConfig()) set.emplace_back(b.key, b.device, b.code);
            std::sort(set.begin(), set.end());
            return set;
        };
        const auto captureIn = [&](const char* box, uint32_t row) {
            gtk_widget_grab_focus(FindNamed(dialog, box));
            return PumpUntil([&] { return settings->CaptureRow() == row && keys.IsCapturing(); });
        };
        // Every row's binding, none taken by a capture: the focus on Cancel.
        const auto settled = [&] {
            gtk_widget_grab_focus(FindNamed(dialog, "129:2"));
            EXPECT_TRUE(PumpUntil([&] { return !keys.IsCapturing(); }));
            return bindingSet();
        };
        const auto before = settled();
        ASSERT_TRUE(captureIn("131:1023", 6));
        bind(XK_Up, 7);
        EXPECT_EQ(std::vector<int>({code(2), code(0)}), std::vector<int>({0xC8, 0xD0}));
        ASSERT_TRUE(captureIn("131:1019", 4));
        bind(XK_Up, 5);
        // The keypad's 8 without Num Lock is Up to GTK too: reserved, it binds nothing, and stays.
        Type(x.get(), XK_KP_Up, true);
        PumpFor(200);
        Type(x.get(), XK_KP_Up, false);
        PumpFor(200);
        EXPECT_EQ(std::vector<int>({static_cast<int>(settings->CaptureRow()), keys.IsCapturing()}), std::vector<int>({5, 1}));
        EXPECT_EQ(settled(), before);

        // K typed elsewhere while the スキル/戻る box had the focus.
        const auto typeK = [&] {
            Type(x.get(), XK_k, true);
            PumpFor(200);
            Type(x.get(), XK_k, false);
            PumpFor(200);
        };
        ASSERT_TRUE(captureIn("131:1003", 1));
        x.Activate(mt::XView::Of(f.game));
        ASSERT_TRUE(PumpUntil([&] { return mp::GetFocus() == f.game; })) << "the game window never had the focus: " << FocusOf(f.game);
        typeK();
        EXPECT_EQ(bindingSet(), before) << "K typed into the game's window";
        EXPECT_FALSE(keys.IsCapturing());
        keys.SetBackgroundInput(true);
        const Window other = x.MakeWindow(40, 40, 200, 100, 0xFFFFFF);
        ASSERT_TRUE(PumpUntil([&] { return x.Read(other).viewable; }));
        x.Activate(other);
        ASSERT_TRUE(PumpUntil([&] { return mp::GetKeyInputWindow() == 0; }))
            << "another program's window never had the focus: " << FocusOf(f.game, {{"other", other}});
        typeK();
        EXPECT_EQ(bindingSet(), before) << "K typed into another program's window";
        keys.SetBackgroundInput(false);
        x.Activate(x.FindByTitle(mt::Utf8(u8"設定")));
        EXPECT_TRUE(PumpUntil([&] { return settings->CaptureRow() == 1 && keys.IsCapturing(); })) << "the capture never began again";
        XDestroyWindow(x.get(), other);
        XFlush(x.get());
        gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "129:2")));
        EXPECT_TRUE(PumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) == 0; }));
    });
}


// The game and its own dialog are one application. In full screen, the dialog opened, the game's
// picture clicked, then the dialog's OK clicked (the click gives the dialog the focus, and the
// game's loss of it is read after the dialog has gone): the application never leaves, so the
// game stays in full screen and the sound on. Another program's window taking the focus leaves
// both, as ever; so does Alt+Tab from the dialog in full screen, once: the window manager's
// keyboard grab while Alt is held moves no focus.
TEST(X11SettingsDialog, FullScreenAndSoundStayWhileTheFocusMovesBetweenTheGameAndItsDialog) {
    mt::XView x;
    ASSERT_TRUE(HasXTest(x)) << "no X display with XTEST";
    const auto click = [&](int px, int py) {
        XTestFakeMotionEvent(x.get(), -1, px, py, CurrentTime);
        XTestFakeButtonEvent(x.get(), 1, True, CurrentTime);
        XTestFakeButtonEvent(x.get(), 1, False, CurrentTime);
        XFlush(x.get());
    };
    // The middle of a widget of ours on the screen.
    const auto centre = [](GtkWidget* w, int& px, int& py) {
        GtkWidget* top = gtk_widget_get_toplevel(w);
        gint ox = 0, oy = 0, wx = 0, wy = 0;
        gdk_window_get_origin(gtk_widget_get_window(top), &ox, &oy);
        gtk_widget_translate_coordinates(w, top, 0, 0, &wx, &wy);
        px = ox + wx + gtk_widget_get_allocated_width(w) / 2;
        py = oy + wy + gtk_widget_get_allocated_height(w) / 2;
    };
    OnFrame("morna-settings-focus", [&](Frame& f, CKeyControl& keys, const std::string&) {
        KB::SSystemConfig& system = KB::GetSystemConfig();
        // A picture shown in the window is shown again by the full-screen window, with no new frame
        // (none comes while the dialog stands over full screen).
        f.GetDraw()->GetBackPlane()->SetFillColor(0x3060C0);
        f.GetDraw()->GetBackPlane()->Clear(nullptr);
        f.GetDraw()->Present();
        ASSERT_EQ(f.ChangeScreenMode(0, 0, 32), 0);
        ASSERT_TRUE(PumpUntil([&] { return x.Read(mt::XView::Of(f.game)).fullScreenState && mp::GetFocus() == f.game; }))
            << FocusOf(f.game);
        std::vector<uint32_t> shown;
        const auto middle = [&] {
            const mt::XGeometry g = x.Read(mt::XView::Of(f.game));
            return x.Pixels(mt::XView::Of(f.game), g.width, g.height, shown) ? shown[shown.size() / 2 + g.width / 2] : 0u;
        };
        EXPECT_TRUE(PumpUntil([&] { return middle() == 0x3060C0; })) << std::hex << middle();
        ASSERT_TRUE(mp::IsApplicationActive() && mp::IsSoundApplicationActive());
        // Every pass from here on: whether the application ever left, and the full screen with it.
        bool left = false;
        const auto watch = [&] { left |= !mp::IsApplicationActive() || !mp::IsSoundApplicationActive() || !system.fullScreen; };

        std::unique_ptr<CSettingsDialog> settings;
        OpenSettingsDialog(settings, f.Host(keys));
        GtkWidget* dialog = SettingsWindow();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(BecomesActive(f.game, [&] { return gtk_window_is_active(GTK_WINDOW(dialog)); }, watch));
        // A point of the game's picture beside the dialog: the screen's corner farthest from it.
        int dx = 0, dy = 0;
        centre(dialog, dx, dy);
        const mt::XGeometry screen = x.Read(mt::XView::Of(f.game));
        click(dx < screen.width / 2 ? screen.width - 8 : 8, dy < screen.height / 2 ? screen.height - 8 : 8);
        ASSERT_TRUE(PumpUntil([&] { return mp::GetFocus() == f.game && !gtk_window_is_active(GTK_WINDOW(dialog)); }, watch))
            << FocusOf(f.game);
        // The click gave the game the focus, and left its dialog standing above it.
        PumpFor(500, watch);
        EXPECT_TRUE(x.StacksAbove(x.FindByTitle(mt::Utf8(u8"設定")), mt::XView::Of(f.game))) << FocusOf(f.game);
        int okX = 0, okY = 0;
        centre(FindNamed(dialog, "129:1"), okX, okY);
        click(okX, okY);
        EXPECT_TRUE(PumpUntil([&] { return KB::SettingsDialogHandle() == 0; }, watch));
        PumpFor(1500, watch);
        PumpUntil([&] { return mp::GetFocus() == f.game; }, watch);
        EXPECT_FALSE(left);
        EXPECT_TRUE(system.fullScreen);
        EXPECT_TRUE(x.Read(mt::XView::Of(f.game)).fullScreenState);

        // A third program's window below the game, and another's over it that the player switches to.
        const Window third = x.MakeWindow(60, 60, 300, 200, 0x808080);
        ASSERT_TRUE(PumpUntil([&] { return x.Read(third).viewable && x.StacksAbove(third, mt::XView::Of(f.game)); }))
            << FocusOf(f.game, {{"third", third}});
        XLowerWindow(x.get(), third);
        ASSERT_TRUE(PumpUntil([&] { return x.StacksAbove(mt::XView::Of(f.game), third); })) << FocusOf(f.game, {{"third", third}});
        const Window other = x.MakeWindow(100, 100, 200, 150, 0xFFFFFF);
        ASSERT_TRUE(PumpUntil([&] { return x.Read(other).viewable; }));
        x.Activate(other);
        EXPECT_TRUE(PumpUntil([&] { return !mp::IsApplicationActive(); }))
            << "another program's window never took the focus: " << FocusOf(f.game, {{"other", other}, {"third", third}});
        EXPECT_FALSE(mp::IsSoundApplicationActive());
        EXPECT_TRUE(PumpUntil([&] { return !system.fullScreen && !x.Read(mt::XView::Of(f.game)).fullScreenState; }));
        // The framed window the game leaves full screen for, and its repaints, keep their place: below
        // the program in use and its own dialog, above the window that was below it.
        const auto stayedAway = [&](const char* where, Window dialog) {
            PumpFor(1000);
            EXPECT_EQ(x.Active(), other) << where << ": " << FocusOf(f.game, {{"other", other}, {"third", third}});
            const Window game = mt::XView::Of(f.game);
            EXPECT_TRUE(x.StacksAbove(other, dialog != 0 ? dialog : game) && x.StacksAbove(game, third) &&
                        (dialog == 0 || x.StacksAbove(dialog, game)))
                << where << ": " << FocusOf(f.game, {{"other", other}, {"third", third}});
        };
        stayedAway("without the dialog", 0);

        x.Activate(mt::XView::Of(f.game));
        ASSERT_TRUE(PumpUntil([&] { return mp::GetFocus() == f.game && mp::IsApplicationActive(); }))
            << FocusOf(f.game, {{"other", other}, {"third", third}});
        ASSERT_EQ(f.ChangeScreenMode(0, 0, 32), 0);
        ASSERT_TRUE(PumpUntil([&] { return x.Read(mt::XView::Of(f.game)).fullScreenState && mp::GetFocus() == f.game; }))
            << FocusOf(f.game, {{"other", other}, {"third", third}});
        click(8, 8);  // the player's action that opens the dialog, as F1 is in the game
        PumpFor(200);
        OpenSettingsDialog(settings, f.Host(keys));
        dialog = SettingsWindow();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(BecomesActive(f.game, [&] { return gtk_window_is_active(GTK_WINDOW(dialog)); }));
        std::vector<int> sound;  // the sound's state, as a run of changes
        const auto record = [&] {
            const int on = mp::IsSoundApplicationActive();
            if (sound.empty() || sound.back() != on) sound.push_back(on);
        };
        const auto pumpFor = [&](uint32_t ms) { PumpFor(ms, record); };
        // A second Tab typed before a busy manager has read the first is lost (openbox then takes
        // one step): it waits for the list of windows the manager shows at the first, an
        // override-redirect window at the root.
        Display* d = x.get();
        XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
        XSync(d, False);
        bool listed = false;
        const auto listShown = [&] {
            XEvent e;
            while (!listed && XCheckTypedWindowEvent(d, DefaultRootWindow(d), MapNotify, &e))
                listed = e.xmap.override_redirect;
            return listed;
        };
        Type(d, XK_Alt_L, true);
        pumpFor(50);
        for (int tab = 0; tab < 2; ++tab) {  // past the game, the manager's most recent window before the dialog
            Type(d, XK_Tab, true);
            Type(d, XK_Tab, false);
            if (tab == 0) {
                EXPECT_TRUE(PumpUntil(listShown, record, 5000)) << "no list of windows 5 s after Alt+Tab";
            }
            pumpFor(50);
        }
        XSelectInput(d, DefaultRootWindow(d), NoEventMask);
        pumpFor(500);  // Alt held half a second
        Type(x.get(), XK_Alt_L, false);
        pumpFor(1500);
        EXPECT_EQ(x.Active(), other) << "Alt+Tab went elsewhere: " << FocusOf(f.game, {{"other", other}, {"third", third}});
        EXPECT_EQ(sound, (std::vector<int>{1, 0}));
        const Window dialogX = x.FindByTitle(mt::Utf8(u8"設定"));
        stayedAway("with the dialog", dialogX);
        // One Alt+Tab back: the manager gives the focus to the dialog, or to the game, which passes it
        // on (the game takes no keys while its dialog is open); Escape typed there cancels.
        const auto tapKey = [&](KeySym key) {
            Type(x.get(), key, true);
            pumpFor(100);
            Type(x.get(), key, false);
        };
        Type(x.get(), XK_Alt_L, true);
        pumpFor(50);
        tapKey(XK_Tab);
        Type(x.get(), XK_Alt_L, false);
        EXPECT_TRUE(PumpUntil([&] { return x.Active() == dialogX && gtk_window_is_active(GTK_WINDOW(dialog)); }))
            << "the keyboard is not back in the dialog: " << FocusOf(f.game, {{"other", other}, {"third", third}});
        EXPECT_TRUE(PumpUntil([&] { return x.StacksAbove(dialogX, mt::XView::Of(f.game)) && x.StacksAbove(mt::XView::Of(f.game), other); }))
            << "the game is not back under its dialog: " << FocusOf(f.game, {{"other", other}, {"third", third}});
        tapKey(XK_Escape);
        EXPECT_TRUE(PumpUntil([&] { return KB::SettingsDialogHandle() == 0; })) << "Escape did not reach the dialog";
        // Back by a click on the game's picture beside the dialog: the game keeps the focus, the dialog above it.
        OpenSettingsDialog(settings, f.Host(keys));
        dialog = SettingsWindow();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(BecomesActive(f.game, [&] { return gtk_window_is_active(GTK_WINDOW(dialog)); }));
        x.Activate(other);
        ASSERT_TRUE(PumpUntil([&] { return !mp::IsApplicationActive(); })) << FocusOf(f.game, {{"other", other}});
        const mt::XGeometry game = x.Read(mt::XView::Of(f.game));
        XTestFakeMotionEvent(x.get(), -1, game.x + game.width - 8, game.y + game.height - 8, CurrentTime);
        XTestFakeButtonEvent(x.get(), 1, True, CurrentTime);
        XTestFakeButtonEvent(x.get(), 1, False, CurrentTime);  // a quick click, over before the focus is read
        XFlush(x.get());
        pumpFor(500);
        EXPECT_EQ(mp::GetFocus(), f.game) << FocusOf(f.game, {{"other", other}});
        EXPECT_TRUE(x.StacksAbove(x.FindByTitle(mt::Utf8(u8"設定")), mt::XView::Of(f.game))) << FocusOf(f.game, {{"other", other}});
        settings.reset();
        XDestroyWindow(x.get(), third);
        XDestroyWindow(x.get(), other);
        XFlush(x.get());
    });
}

// F1 typed into the game window opens the dialog, as the game's frame does; Escape typed into it
// closes it. Every opening, not only a run's first, is the active window and stands above the
// game, in a window and in full screen, which Escape keeps; every activation the program asks of
// the manager carries a time (a request without one is a faulty client's). So does an opening in a
// frame slower than the keyboard's repeat delay with F1 held through it, as on a busy machine: the
// repeats give the game a later user time than the dialog's, and metacity then leaves the keys with
// the game. A dialog the program opens before any key has a time no older than the game's own
// activation at its start, which the manager took for the game's user time.
TEST(X11SettingsDialog, EveryOpeningByF1IsActiveAboveTheGame) {
    mt::XView x;
    ASSERT_TRUE(HasXTest(x)) << "no X display with XTEST";
    Display* d = x.get();
    unsigned repeatDelay = 660, repeatInterval = 40;
    XkbGetAutoRepeatRate(d, XkbUseCoreKbd, &repeatDelay, &repeatInterval);
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);  // hears the requests to the manager
    XSync(d, False);
    const Atom activate = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    OnFrame("morna-settings-reopen", [&](Frame& f, CKeyControl& keys, const std::string&) {
        std::unique_ptr<CSettingsDialog> settings;
        std::vector<long> times;  // of the activation requests heard, the window's first at its creation among them
        bool f1 = false, slow = false;
        const auto frame = [&] {
            uint8_t state[mp::kKeyboardStateSize];
            mp::GetKeyboardState(state);
            if (state[mp::dik::kF1] != 0 && !f1) {
                if (slow) mp::SleepMilliseconds(repeatDelay + 5 * repeatInterval);
                OpenSettingsDialog(settings, f.Host(keys));
            }
            f1 = state[mp::dik::kF1] != 0;
            XEvent e;
            while (XCheckTypedEvent(d, ClientMessage, &e))
                if (e.xclient.message_type == activate) times.push_back(e.xclient.data.l[1]);
        };
        const auto tap = [&](KeySym key) {
            Type(d, key, true);
            PumpFor(100, frame);
            Type(d, key, false);
        };
        // Opens the dialog by open(); answers whether it became the active window above the game,
        // and closes it.
        const auto opening = [&](const std::string& where, const std::function<void()>& open) {
            open();
            Window dialog = 0;
            const testing::AssertionResult active = BecomesActive(
                f.game,
                [&] {
                    dialog = x.FindByTitle(mt::Utf8(u8"設定"));
                    return dialog != 0 && x.Active() == dialog;
                },
                frame);
            EXPECT_TRUE(active) << where;
            EXPECT_TRUE(x.StacksAbove(dialog, mt::XView::Of(f.game))) << where << ": " << FocusOf(f.game);
            if (active)
                tap(XK_Escape);
            else if (GtkWidget* window = SettingsWindow())
                gtk_button_clicked(GTK_BUTTON(FindNamed(window, "129:2")));  // キャンセル, where no key reaches it
            ASSERT_TRUE(PumpUntil(
                [&] { return KB::SettingsDialogHandle() == 0 && x.FindByTitle(mt::Utf8(u8"設定")) == 0 && mp::GetFocus() == f.game; },
                frame))
                << where << ": " << FocusOf(f.game);
        };

        opening("opened by the program", [&] {
            frame();
            ASSERT_FALSE(times.empty()) << "the game asked no activation at its start";
            OpenSettingsDialog(settings, f.Host(keys));
            Window dialog = 0;
            ASSERT_TRUE(PumpUntil([&] { return (dialog = x.FindByTitle(mt::Utf8(u8"設定"))) != 0; }, frame));
            // Set before the map, where GTK sets one (openbox's clients get none).
            if (const long shown = x.UserTime(dialog); shown != -1) {
                EXPECT_GE(static_cast<int32_t>(shown - times.front()), 0) << shown << " against the start's " << times.front();
            }
        });
        for (const bool full : {false, true}) {
            if (full) {
                ASSERT_EQ(f.ChangeScreenMode(0, 0, 32), 0);
                ASSERT_TRUE(PumpUntil([&] { return x.Read(mt::XView::Of(f.game)).fullScreenState && mp::GetFocus() == f.game; },
                                      frame))
                    << FocusOf(f.game);
            }
            for (int n = 1; n <= 3; ++n) {
                slow = n == 3;
                opening(std::string(full ? "full screen" : "window") + ", opening " + std::to_string(n) + (slow ? ", slow" : ""),
                        [&] { tap(XK_F1); });
                slow = false;
            }
        }
        EXPECT_TRUE(x.Read(mt::XView::Of(f.game)).fullScreenState);
        EXPECT_EQ(std::count(times.begin(), times.end(), 0L), 0);
    });
}

// The manager held up (stopped) as a busy machine holds it up, and let go again; its pending requests
// are served once it answers one asked after them (the frame extents of a window of the test's own).
class HeldManager {
public:
    explicit HeldManager(mt::XView& x) : x_(x) {
        const char* pid = std::getenv("MORNA_WM_PID");
        pid_ = pid != nullptr ? std::atoi(pid) : 0;
    }
    ~HeldManager() { Go(); }
    bool Known() const { return pid_ > 0; }
    void Hold() { held_ = ::kill(pid_, SIGSTOP) == 0; }
    void Go() {
        if (std::exchange(held_, false)) ::kill(pid_, SIGCONT);
    }
    // Lets it go, and pumps until it has served what was asked of it before.
    bool GoAndCatchUp() {
        Go();
        Display* d = x_.get();
        const Window probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = probe;
        e.xclient.message_type = XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", False);
        e.xclient.format = 32;
        XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(d);
        const bool served = PumpUntil([&] { return !x_.Property(probe, "_NET_FRAME_EXTENTS", nullptr).empty(); });
        XDestroyWindow(d, probe);
        XFlush(d);
        return served;
    }

private:
    mt::XView& x_;
    pid_t pid_ = 0;
    bool held_ = false;
};

// The dialog mapped after a key of the player's, so that metacity leaves the keys with the game: the
// game reads the map and asks the dialog activated. The player clicks the game's picture beside the
// dialog before the manager, held up, has acted on that request; a manager that grabs no click on
// the focused window never sees it (metacity). The game keeps the keys, the dialog above it, as
// after a click the manager saw.
TEST(X11SettingsDialog, AClickOnTheGameBeforeTheManagerActivatesTheDialogKeepsTheKeys) {
    mt::XView x;
    ASSERT_TRUE(HasXTest(x)) << "no X display with XTEST";
    ASSERT_TRUE(HeldManager(x).Known()) << "tools/run-with-wm.sh names the manager's process";
    Display* d = x.get();
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);  // hears the requests to the manager
    XSync(d, False);
    OnFrame("morna-settings-click-race", [&](Frame& f, CKeyControl& keys, const std::string&) {
        const Window game = mt::XView::Of(f.game);
        std::unique_ptr<CSettingsDialog> settings;
        HeldManager manager(x);  // let go on every way out
        manager.Hold();
        OpenSettingsDialog(settings, f.Host(keys));
        GtkWidget* dialog = SettingsWindow();
        ASSERT_NE(dialog, nullptr);
        const long typed = x.UserTime(game);
        Type(d, XK_Shift_L, true);
        Type(d, XK_Shift_L, false);
        ASSERT_TRUE(PumpUntil([&] { return x.UserTime(game) != typed; })) << "the game never read the key";
        manager.Go();
        // Mapped, and the map not yet read: the game is not pumped meanwhile.
        Window shown = 0;
        ASSERT_TRUE(mt::WaitUntil([&] { return (shown = x.FindByTitle(mt::Utf8(u8"設定"))) != 0 && x.Read(shown).viewable; },
                                  {}, 10000))
            << FocusOf(f.game);
        manager.Hold();
        const Atom activate = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
        bool asked = false;
        const auto hear = [&] {
            XEvent e;
            while (XCheckTypedEvent(d, ClientMessage, &e)) asked |= e.xclient.message_type == activate && e.xclient.window == shown;
        };
        ASSERT_TRUE(PumpUntil([&] { return asked || gtk_window_is_active(GTK_WINDOW(dialog)); }, hear))
            << "neither asked activated nor given the focus at its map: " << FocusOf(f.game);
        // The game's picture beside the dialog: the corner of the window farthest from it.
        const mt::XGeometry g = x.Read(game), o = x.Read(shown);
        const bool left = o.x + o.width / 2 > g.x + g.width / 2, up = o.y + o.height / 2 > g.y + g.height / 2;
        const long before = x.UserTime(game);
        XTestFakeMotionEvent(d, -1, left ? g.x + 8 : g.x + g.width - 8, up ? g.y + 8 : g.y + g.height - 8, CurrentTime);
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
        XFlush(d);
        // A manager that grabs every click on its clients (openbox) holds this one until it runs.
        const bool grabbed = XGrabPointer(d, DefaultRootWindow(d), False, 0, GrabModeAsync, GrabModeAsync, None, None,
                                          CurrentTime) != GrabSuccess;
        if (!grabbed) {
            XUngrabPointer(d, CurrentTime);
            ASSERT_TRUE(PumpUntil([&] { return x.UserTime(game) != before; })) << "the game never read the click";
        }
        ASSERT_TRUE(manager.GoAndCatchUp()) << "the manager never answered";
        EXPECT_TRUE(PumpUntil([&] {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(d, &focus, &revert);
            return focus == game && x.Active() == game && mp::GetFocus() == f.game && !gtk_window_is_active(GTK_WINDOW(dialog));
        })) << (asked ? "asked activated at its map" : "given the focus at its map") << (grabbed ? ", the click grabbed: " : ": ")
            << FocusOf(f.game);
        EXPECT_TRUE(x.StacksAbove(shown, game)) << FocusOf(f.game);
        settings.reset();
    });
}

}  // namespace
