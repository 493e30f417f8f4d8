#include "platform/direct_input.h"
#include "platform/keyboard_state.h"
#include "platform/window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace mp = morna::platform;
namespace dik = morna::platform::dik;

namespace {

// A real window on this thread, its pump, and key events pushed into SDL's
// queue as the video driver would.
class KeyboardStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        mp::ResetKeyboardState();
        mp::InstallKeyboardState();
        mp::WindowCreation c;
        c.className = "STATIC";
        c.style = mp::WS_CAPTION | mp::WS_VISIBLE;
        c.width = 64;
        c.height = 48;
        window_ = mp::CreateWindow(c);
        ASSERT_NE(window_, 0u) << SDL_GetError();
        sdlId_ = SDL_GetWindowID(mp::GetSdlWindow(window_));
        Pump();  // whatever the driver said on creation
    }
    void TearDown() override {
        if (window_ != 0) mp::DestroyWindow(window_);
        mp::ResetKeyboardState();
    }

    static void PushKey(SDL_Scancode code, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = code;
        e.key.keysym.sym = SDL_GetKeyFromScancode(code);
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }

    void PushFocus(bool gained) const {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = sdlId_;
        e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }

    // The server's key map with these X key codes down.
    static void Keymap(std::initializer_list<int> codes) {
        uint8_t map[mp::kServerKeymapSize] = {};
        for (int c : codes) map[c / 8] |= static_cast<uint8_t>(1u << (c % 8));
        mp::SetServerKeymap(map);
    }

    // The window's pump hands every event to the keyboard state.
    static void Pump() {
        mp::WindowMessage m;
        while (mp::PeekWindowMessage(m)) {
        }
    }

    static uint8_t Key(uint8_t code) {
        uint8_t keys[mp::kKeyboardStateSize];
        mp::GetKeyboardState(keys);
        return keys[code];
    }

    mp::WindowHandle window_ = 0;
    uint32_t sdlId_ = 0;
};

struct GameKey {
    SDL_Scancode sdl;
    uint8_t dik;
};

// The keys the game is played and driven with, by their DirectInput codes.
constexpr GameKey kGameKeys[] = {
    {SDL_SCANCODE_UP, dik::kUp},         {SDL_SCANCODE_DOWN, dik::kDown},
    {SDL_SCANCODE_LEFT, dik::kLeft},     {SDL_SCANCODE_RIGHT, dik::kRight},
    {SDL_SCANCODE_Z, dik::kZ},           {SDL_SCANCODE_X, dik::kX},
    {SDL_SCANCODE_ESCAPE, dik::kEscape}, {SDL_SCANCODE_RETURN, dik::kReturn},
    {SDL_SCANCODE_KP_ENTER, dik::kNumpadEnter},
    {SDL_SCANCODE_KP_0, dik::kNumpad0},  {SDL_SCANCODE_KP_1, dik::kNumpad1},
    {SDL_SCANCODE_KP_2, dik::kNumpad2},  {SDL_SCANCODE_KP_3, dik::kNumpad3},
    {SDL_SCANCODE_KP_4, dik::kNumpad4},  {SDL_SCANCODE_KP_5, dik::kNumpad5},
    {SDL_SCANCODE_KP_6, dik::kNumpad6},  {SDL_SCANCODE_KP_7, dik::kNumpad7},
    {SDL_SCANCODE_KP_8, dik::kNumpad8},  {SDL_SCANCODE_KP_9, dik::kNumpad9},
    {SDL_SCANCODE_LCTRL, dik::kLeftControl}, {SDL_SCANCODE_RCTRL, dik::kRightControl},
};

TEST_F(KeyboardStateTest, SyntheticEventsReachTheirCodes) {
    for (const GameKey& k : kGameKeys) {
        SCOPED_TRACE(SDL_GetScancodeName(k.sdl));
        PushKey(k.sdl, true);
        Pump();
        EXPECT_EQ(Key(k.dik), mp::kKeyDown);
        uint8_t keys[mp::kKeyboardStateSize];
        mp::GetKeyboardState(keys);
        EXPECT_EQ(std::count(keys, keys + mp::kKeyboardStateSize, mp::kKeyDown), 1);
        PushKey(k.sdl, false);
        Pump();
        EXPECT_EQ(Key(k.dik), 0);
    }
}

TEST_F(KeyboardStateTest, TableIsOneToOneOutsideTheTwinBackslash) {
    // Each code comes from one key, but the ISO key beside Enter shares the
    // backslash's place; keys without a code leave the state alone.
    int owners[mp::kKeyboardStateSize] = {};
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        const uint8_t code = mp::DikFromScancode(static_cast<SDL_Scancode>(sc));
        if (code != 0) ++owners[code];
    }
    for (int code = 0; code < mp::kKeyboardStateSize; ++code) {
        EXPECT_LE(owners[code], code == 0x2B ? 2 : 1) << "code " << code;
    }
    EXPECT_EQ(mp::DikFromScancode(static_cast<SDL_Scancode>(-1)), 0);
    EXPECT_EQ(mp::DikFromScancode(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
    PushKey(SDL_SCANCODE_F24, true);
    Pump();
    uint8_t keys[mp::kKeyboardStateSize];
    mp::GetKeyboardState(keys);
    EXPECT_EQ(std::count(keys, keys + mp::kKeyboardStateSize, 0), mp::kKeyboardStateSize);
}

// The real keyboard device follows the focus in foreground mode.
TEST_F(KeyboardStateTest, ForegroundDeviceReadsOnlyWithTheFocus) {
    namespace r = mp::input_result;
    mp::InputProvider& provider = mp::GetInputProvider();
    std::unique_ptr<mp::InputObject> object = provider.CreateObject();
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->Initialize(0x0500), r::kOk);
    std::unique_ptr<mp::KeyboardDevice> device;
    ASSERT_EQ(object->CreateKeyboard(device), r::kOk);
    ASSERT_EQ(device->SetKeyboardFormat(), r::kOk);
    EXPECT_EQ(device->SetCooperativeLevel(0, mp::kInputNonExclusive | mp::kInputForeground), r::kHandle);
    EXPECT_EQ(device->SetCooperativeLevel(window_ + 1, mp::kInputNonExclusive | mp::kInputForeground),
              r::kHandle);
    ASSERT_EQ(device->SetCooperativeLevel(window_, mp::kInputNonExclusive | mp::kInputForeground), r::kOk);

    uint8_t keys[256];
    EXPECT_EQ(device->Acquire(), r::kOtherAppHasPriority);
    EXPECT_EQ(device->GetState(keys), r::kNotAcquired);

    // The focus of another window of ours is not this device's.
    mp::WindowCreation c;
    c.className = "STATIC";
    c.width = 8;
    c.height = 8;
    const mp::WindowHandle other = mp::CreateWindow(c);
    ASSERT_NE(other, 0u);
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(mp::GetSdlWindow(other));
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Pump();
    EXPECT_EQ(device->Acquire(), r::kOtherAppHasPriority);
    mp::DestroyWindow(other);

    PushFocus(true);
    PushKey(SDL_SCANCODE_X, true);
    Pump();
    ASSERT_EQ(device->Acquire(), r::kOk);
    ASSERT_EQ(device->GetState(keys), r::kOk);
    EXPECT_EQ(keys[dik::kX], mp::kKeyDown);

    PushFocus(false);
    Pump();
    EXPECT_EQ(device->GetState(keys), r::kInputLost);
    EXPECT_EQ(device->GetState(keys), r::kNotAcquired);
    EXPECT_EQ(device->Acquire(), r::kOtherAppHasPriority);
}

TEST_F(KeyboardStateTest, BackgroundDeviceReadsReleasedKeysWithoutTheFocus) {
    namespace r = mp::input_result;
    std::unique_ptr<mp::KeyboardDevice> device;
    ASSERT_EQ(mp::GetInputProvider().CreateObject()->CreateKeyboard(device), r::kOk);
    ASSERT_EQ(device->SetKeyboardFormat(), r::kOk);
    ASSERT_EQ(device->SetCooperativeLevel(window_, mp::kInputNonExclusive | mp::kInputBackground), r::kOk);
    ASSERT_EQ(device->Acquire(), r::kOk);
    uint8_t keys[256];
    std::memset(keys, 0xAA, sizeof keys);
    ASSERT_EQ(device->GetState(keys), r::kOk);
    EXPECT_EQ(std::count(keys, keys + 256, 0), 256);
    EXPECT_EQ(device->SetCooperativeLevel(window_, mp::kInputExclusive | mp::kInputBackground), r::kFail);
}

// A dialog's keys come as Linux input codes: each names the same DirectInput code as SDL's
// scancode of that key, and the owner counts as focused only while the dialog has the focus.
TEST_F(KeyboardStateTest, DialogKeysByLinuxCodeAndTheDialogsFocus) {
    const std::pair<uint32_t, SDL_Scancode> keys[] = {
        {1, SDL_SCANCODE_ESCAPE},   {16, SDL_SCANCODE_Q},        {28, SDL_SCANCODE_RETURN}, {83, SDL_SCANCODE_KP_PERIOD},
        {87, SDL_SCANCODE_F11},     {88, SDL_SCANCODE_F12},      {96, SDL_SCANCODE_KP_ENTER}, {97, SDL_SCANCODE_RCTRL},
        {98, SDL_SCANCODE_KP_DIVIDE}, {100, SDL_SCANCODE_RALT}, {102, SDL_SCANCODE_HOME},   {103, SDL_SCANCODE_UP},
        {104, SDL_SCANCODE_PAGEUP}, {105, SDL_SCANCODE_LEFT},    {106, SDL_SCANCODE_RIGHT}, {107, SDL_SCANCODE_END},
        {108, SDL_SCANCODE_DOWN},   {109, SDL_SCANCODE_PAGEDOWN}, {110, SDL_SCANCODE_INSERT}, {111, SDL_SCANCODE_DELETE},
        {125, SDL_SCANCODE_LGUI},   {126, SDL_SCANCODE_RGUI},    {127, SDL_SCANCODE_APPLICATION}};
    for (const auto& [code, sdl] : keys) EXPECT_EQ(mp::DikFromLinuxKey(code), mp::DikFromScancode(sdl)) << code;
    EXPECT_EQ(mp::DikFromLinuxKey(84), 0);

    mp::ResetKeyboardState();
    constexpr uintptr_t kDialog = 42;
    mp::NoteDialogFocus(kDialog, window_, true);
    mp::SetKeyboardKey(mp::DikFromLinuxKey(103), true);
    uint8_t state[256];
    mp::GetKeyboardState(state);
    EXPECT_EQ(std::vector<uint32_t>({mp::GetKeyInputWindow(), state[mp::dik::kUp]}), std::vector<uint32_t>({window_, 0x80}));
    mp::NoteDialogFocus(kDialog, window_, false);  // its key-ups will not come
    mp::GetKeyboardState(state);
    EXPECT_EQ(std::vector<uint32_t>({mp::GetKeyInputWindow(), state[mp::dik::kUp]}), std::vector<uint32_t>({0, 0}));
}

// The server's key map while no window of ours has the focus, then with the focus back: its keys
// are X codes (the Linux codes plus 8), they press no hot key, and once the window has the focus
// the map only releases the keys it pressed, as does their key-up event; it presses nothing new.
TEST_F(KeyboardStateTest, ServerKeymapFeedsTheBackgroundAndOnlyReleasesOnceFocused) {
    PushFocus(false);
    Pump();
    std::vector<std::vector<int>> seen;
    auto look = [&] {
        uint8_t state[256];
        mp::GetKeyboardState(state);
        seen.push_back({state[dik::kDown], state[dik::kLeftControl], state[0x1E], mp::IsVirtualKeyDown(0x11)});
    };
    constexpr int kXDown = 116, kXLeftControl = 37, kXA = 38;
    Keymap({kXDown, kXLeftControl});
    look();
    PushFocus(true);
    Pump();
    Keymap({kXDown, kXLeftControl, kXA});
    look();
    PushKey(SDL_SCANCODE_LCTRL, false);
    Pump();
    Keymap({kXDown, kXLeftControl, kXA});
    look();
    Keymap({kXLeftControl, kXA});
    look();
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{{0x80, 0x80, 0, 0}, {0x80, 0x80, 0, 0}, {0x80, 0, 0, 0}, {0, 0, 0, 0}}));
}

// Escape closes a dialog and is held on: the server's auto-repeat presses it into the game window
// once that has the focus. Until a release is seen (a key-up, or a key map without it) those presses
// and the key maps show nothing, with the focus or without; the next press after it counts.
TEST_F(KeyboardStateTest, AKeyADialogKeptCountsOnlyOnceItWasReleased) {
    constexpr uintptr_t kDialog = 42;
    constexpr int kXEscape = 9, kXA = 38;
    std::vector<std::vector<int>> seen;
    auto look = [&] {
        uint8_t state[256];
        mp::GetKeyboardState(state);
        seen.push_back({state[dik::kEscape], state[0x1E], mp::HasBackgroundKeys()});
    };
    // Released by the server's key map: between the dialog's close and the game's focus (no window
    // of ours has it), then with the focus.
    mp::NoteDialogFocus(kDialog, window_, true);
    mp::KeepKeyForTheDialog(dik::kEscape);
    mp::SetKeyboardKey(dik::kEscape, true);  // a repeat still reaching the dialog
    look();
    mp::NoteDialogFocus(kDialog, window_, false);
    Keymap({kXEscape, kXA});  // A pressed in the background counts
    look();
    PushFocus(true);
    PushKey(SDL_SCANCODE_ESCAPE, true);  // the repeats, now into the game window
    Pump();
    look();
    Keymap({kXEscape, kXA});
    look();
    Keymap({kXA});
    look();
    PushKey(SDL_SCANCODE_ESCAPE, true);
    Pump();
    look();
    // Released by a key-up event.
    PushKey(SDL_SCANCODE_ESCAPE, false);
    Pump();
    mp::KeepKeyForTheDialog(dik::kEscape);
    PushKey(SDL_SCANCODE_ESCAPE, true);
    Pump();
    look();
    PushKey(SDL_SCANCODE_ESCAPE, false);
    PushKey(SDL_SCANCODE_ESCAPE, true);
    Pump();
    look();
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{{0, 0, 1},
                                                   {0, 0x80, 1},
                                                   {0, 0x80, 1},
                                                   {0, 0x80, 1},
                                                   {0, 0x80, 1},
                                                   {0x80, 0x80, 1},
                                                   {0, 0x80, 1},
                                                   {0x80, 0x80, 1}}));
}

}  // namespace
