#include "platform/keyboard_state.h"

#include "platform/event_observer.h"

#include <array>
#include <cstring>
#include <mutex>

namespace morna::platform {
namespace {

struct ScanPair {
    SDL_Scancode sdl;
    uint8_t dik;
};

// Keys by position: SDL's scancodes are USB usages, DirectInput's are set-1
// scan codes, so a key has the same place on every layout in both.
constexpr ScanPair kScanPairs[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04}, {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07}, {SDL_SCANCODE_7, 0x08}, {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C}, {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18}, {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20}, {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23}, {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0x28}, {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_BACKSLASH, 0x2B}, {SDL_SCANCODE_NONUSHASH, 0x2B},
    {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E}, {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33}, {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39}, {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C}, {SDL_SCANCODE_F3, 0x3D}, {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40}, {SDL_SCANCODE_F7, 0x41}, {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43}, {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47}, {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F}, {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56}, {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_F13, 0x64}, {SDL_SCANCODE_F14, 0x65}, {SDL_SCANCODE_F15, 0x66},
    // The Japanese keys: kana, ro, henkan, muhenkan, yen.
    {SDL_SCANCODE_INTERNATIONAL2, 0x70}, {SDL_SCANCODE_INTERNATIONAL1, 0x73},
    {SDL_SCANCODE_INTERNATIONAL4, 0x79}, {SDL_SCANCODE_INTERNATIONAL5, 0x7B},
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
    {SDL_SCANCODE_KP_EQUALS, 0x8D},
    {SDL_SCANCODE_AUDIONEXT, 0x99}, {SDL_SCANCODE_AUDIOPREV, 0x90},
    {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_AUDIOMUTE, 0xA0}, {SDL_SCANCODE_CALCULATOR, 0xA1}, {SDL_SCANCODE_AUDIOPLAY, 0xA2},
    {SDL_SCANCODE_AUDIOSTOP, 0xA4}, {SDL_SCANCODE_VOLUMEDOWN, 0xAE}, {SDL_SCANCODE_VOLUMEUP, 0xB0},
    {SDL_SCANCODE_AC_HOME, 0xB2}, {SDL_SCANCODE_KP_COMMA, 0xB3},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_RALT, 0xB8},
    {SDL_SCANCODE_PAUSE, 0xC5}, {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_UP, 0xC8},
    {SDL_SCANCODE_PAGEUP, 0xC9}, {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF}, {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC}, {SDL_SCANCODE_APPLICATION, 0xDD},
    {SDL_SCANCODE_POWER, 0xDE}, {SDL_SCANCODE_SLEEP, 0xDF},
    {SDL_SCANCODE_AC_SEARCH, 0xE5}, {SDL_SCANCODE_AC_BOOKMARKS, 0xE6}, {SDL_SCANCODE_AC_REFRESH, 0xE7},
    {SDL_SCANCODE_AC_STOP, 0xE8}, {SDL_SCANCODE_AC_FORWARD, 0xE9}, {SDL_SCANCODE_AC_BACK, 0xEA},
    {SDL_SCANCODE_COMPUTER, 0xEB}, {SDL_SCANCODE_MAIL, 0xEC}, {SDL_SCANCODE_MEDIASELECT, 0xED},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> MakeTable() {
    std::array<uint8_t, SDL_NUM_SCANCODES> table{};
    for (const ScanPair& p : kScanPairs) table[p.sdl] = p.dik;
    return table;
}

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> kDikFromSdl = MakeTable();

// Windows virtual keys by the one or two DirectInput codes that press them.
struct VirtualPair {
    uint8_t vk;
    uint8_t dik[2];
};

constexpr VirtualPair kVirtualPairs[] = {
    {0x08, {0x0E, 0}}, {0x09, {0x0F, 0}}, {0x0D, {0x1C, 0x9C}}, {0x10, {0x2A, 0x36}},
    {0x11, {0x1D, 0x9D}}, {0x12, {0x38, 0xB8}}, {0x13, {0xC5, 0}}, {0x14, {0x3A, 0}},
    {0x1B, {0x01, 0}}, {0x20, {0x39, 0}}, {0x21, {0xC9, 0}}, {0x22, {0xD1, 0}},
    {0x23, {0xCF, 0}}, {0x24, {0xC7, 0}}, {0x25, {0xCB, 0}}, {0x26, {0xC8, 0}},
    {0x27, {0xCD, 0}}, {0x28, {0xD0, 0}}, {0x2C, {0xB7, 0}}, {0x2D, {0xD2, 0}},
    {0x2E, {0xD3, 0}},
    {'0', {0x0B, 0}}, {'1', {0x02, 0}}, {'2', {0x03, 0}}, {'3', {0x04, 0}}, {'4', {0x05, 0}},
    {'5', {0x06, 0}}, {'6', {0x07, 0}}, {'7', {0x08, 0}}, {'8', {0x09, 0}}, {'9', {0x0A, 0}},
    {'A', {0x1E, 0}}, {'B', {0x30, 0}}, {'C', {0x2E, 0}}, {'D', {0x20, 0}}, {'E', {0x12, 0}},
    {'F', {0x21, 0}}, {'G', {0x22, 0}}, {'H', {0x23, 0}}, {'I', {0x17, 0}}, {'J', {0x24, 0}},
    {'K', {0x25, 0}}, {'L', {0x26, 0}}, {'M', {0x32, 0}}, {'N', {0x31, 0}}, {'O', {0x18, 0}},
    {'P', {0x19, 0}}, {'Q', {0x10, 0}}, {'R', {0x13, 0}}, {'S', {0x1F, 0}}, {'T', {0x14, 0}},
    {'U', {0x16, 0}}, {'V', {0x2F, 0}}, {'W', {0x11, 0}}, {'X', {0x2D, 0}}, {'Y', {0x15, 0}},
    {'Z', {0x2C, 0}},
    {0x5B, {0xDB, 0}}, {0x5C, {0xDC, 0}}, {0x5D, {0xDD, 0}},
    {0x60, {0x52, 0}}, {0x61, {0x4F, 0}}, {0x62, {0x50, 0}}, {0x63, {0x51, 0}}, {0x64, {0x4B, 0}},
    {0x65, {0x4C, 0}}, {0x66, {0x4D, 0}}, {0x67, {0x47, 0}}, {0x68, {0x48, 0}}, {0x69, {0x49, 0}},
    {0x6A, {0x37, 0}}, {0x6B, {0x4E, 0}}, {0x6D, {0x4A, 0}}, {0x6E, {0x53, 0}}, {0x6F, {0xB5, 0}},
    {0x70, {0x3B, 0}}, {0x71, {0x3C, 0}}, {0x72, {0x3D, 0}}, {0x73, {0x3E, 0}}, {0x74, {0x3F, 0}},
    {0x75, {0x40, 0}}, {0x76, {0x41, 0}}, {0x77, {0x42, 0}}, {0x78, {0x43, 0}}, {0x79, {0x44, 0}},
    {0x7A, {0x57, 0}}, {0x7B, {0x58, 0}},
    {0x90, {0x45, 0}}, {0x91, {0x46, 0}},
    {0xA0, {0x2A, 0}}, {0xA1, {0x36, 0}}, {0xA2, {0x1D, 0}}, {0xA3, {0x9D, 0}}, {0xA4, {0x38, 0}},
    {0xA5, {0xB8, 0}},
};

constexpr std::array<std::array<uint8_t, 2>, 256> MakeVirtualTable() {
    std::array<std::array<uint8_t, 2>, 256> table{};
    for (const VirtualPair& p : kVirtualPairs) table[p.vk] = {p.dik[0], p.dik[1]};
    return table;
}

constexpr std::array<std::array<uint8_t, 2>, 256> kDikFromVirtual = MakeVirtualTable();

// The pump writes and the devices read on the application thread; the lock
// keeps a reader on another thread from seeing half an update.
struct KeyboardState {
    std::mutex lock;
    uint8_t keys[kKeyboardStateSize] = {};
    // Keys the server's key map showed down, read while none of our windows had the focus;
    // what the game reads is both layers together.
    uint8_t background[kKeyboardStateSize] = {};
    bool focusHeld = false;  // by the window layer's record: background keys come only without it
    // Keys a dialog took for itself, down until a release is seen (its event, or the server's key
    // map): the server's auto-repeat goes on pressing them into whatever window has the focus next.
    bool usedByDialog[kKeyboardStateSize] = {};
};

KeyboardState& State() {
    static KeyboardState state;
    return state;
}

}  // namespace

uint8_t DikFromScancode(SDL_Scancode code) {
    if (code < 0 || code >= SDL_NUM_SCANCODES) return 0;
    return kDikFromSdl[code];
}

void KeyboardStateOnEvent(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return;
    const uint8_t dik = DikFromScancode(event.key.keysym.scancode);
    if (dik == 0) return;
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (event.type == SDL_KEYDOWN && s.usedByDialog[dik]) return;  // a repeat, no press of the game's
    s.keys[dik] = event.type == SDL_KEYDOWN ? kKeyDown : 0;
    if (event.type == SDL_KEYUP) s.background[dik] = s.usedByDialog[dik] = false;
}

bool IsVirtualKeyDown(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= 256) return false;
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    for (uint8_t dik : kDikFromVirtual[virtualKey]) {
        if (dik != 0 && (s.keys[dik] & kKeyDown) != 0) return true;
    }
    return false;
}

void InstallKeyboardState() {
    static std::once_flag once;
    std::call_once(once, [] {
        AddEventObserver([](const SDL_Event& event, void*) { KeyboardStateOnEvent(event); }, nullptr);
    });
}

void GetKeyboardState(uint8_t (&out)[kKeyboardStateSize]) {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    for (int k = 0; k < kKeyboardStateSize; ++k) out[k] = s.keys[k] | s.background[k];
}

void SetServerKeymap(const uint8_t (&keymap)[kServerKeymapSize]) {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    const bool unfocused = !s.focusHeld;
    uint8_t down[kKeyboardStateSize] = {};
    for (uint32_t code = 8; code < kServerKeymapSize * 8; ++code) {
        if ((keymap[code / 8] >> (code % 8) & 1) == 0) continue;
        if (const uint8_t dik = DikFromLinuxKey(code - 8); dik != 0) down[dik] = kKeyDown;
    }
    // With the focus back, SDL and the dialog report only keys pressed since: a key held from
    // the background stays down, without a new press, until the server says it is up.
    for (int k = 0; k < kKeyboardStateSize; ++k) {
        s.usedByDialog[k] = s.usedByDialog[k] && down[k] != 0;
        if (s.usedByDialog[k]) down[k] = 0;
        s.background[k] = unfocused ? down[k] : s.background[k] & down[k];
    }
}

bool HasBackgroundKeys() {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    for (int k = 0; k < kKeyboardStateSize; ++k)
        if (s.background[k] != 0 || s.usedByDialog[k]) return true;
    return false;
}

void ClearBackgroundKeys() {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::memset(s.background, 0, sizeof s.background);
    std::memset(s.usedByDialog, 0, sizeof s.usedByDialog);  // no map will say they went up
}

void SetKeyboardKey(uint8_t dik, bool down) {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (dik == 0 || (down && s.usedByDialog[dik])) return;
    s.keys[dik] = down ? kKeyDown : 0;
    if (!down) s.background[dik] = s.usedByDialog[dik] = false;
}

void KeepKeyForTheDialog(uint8_t dik) {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (dik == 0) return;
    s.keys[dik] = s.background[dik] = 0;
    s.usedByDialog[dik] = true;
}

void SetKeyboardFocusHeld(bool held) {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.focusHeld = held;
}

void ForgetKeyboardKeys() {
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::memset(s.keys, 0, sizeof s.keys);
    std::memset(s.background, 0, sizeof s.background);
}

uint8_t DikFromLinuxKey(uint32_t code) {
    // Codes 1-83 and 86-88 are the set-1 scan codes themselves; the extended keys move.
    if ((code >= 1 && code <= 83) || (code >= 86 && code <= 88)) return static_cast<uint8_t>(code);
    static constexpr uint8_t kExtended[][2] = {
        {96, 0x9C},  {97, 0x9D},  {98, 0xB5},  {99, 0xB7},  {100, 0xB8}, {102, 0xC7}, {103, 0xC8},
        {104, 0xC9}, {105, 0xCB}, {106, 0xCD}, {107, 0xCF}, {108, 0xD0}, {109, 0xD1}, {110, 0xD2},
        {111, 0xD3}, {119, 0xC5}, {125, 0xDB}, {126, 0xDC}, {127, 0xDD}};
    for (const auto& pair : kExtended)
        if (pair[0] == code) return pair[1];
    return 0;
}

void ResetKeyboardState() {
    ForgetKeyboardKeys();
    KeyboardState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::memset(s.usedByDialog, 0, sizeof s.usedByDialog);
}

}  // namespace morna::platform
