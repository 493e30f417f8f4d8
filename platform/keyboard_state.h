#pragma once
// The keyboard as the input layer reads it: 256 bytes, one per DirectInput key
// code (PC set-1 scan codes, 0x80 added for extended keys), 0x80 while the key
// is down. SDL's key events set it through a fixed table; the window that had the
// focus losing it clears it (the window layer's focus record says which has it).
// SDL reports no keys while another program has the focus: there a keyboard device
// at the background level feeds it from the X server's key map.
#include <SDL2/SDL_events.h>
#include <SDL2/SDL_scancode.h>

#include <cstdint>

namespace morna::platform {

inline constexpr int kKeyboardStateSize = 256;
inline constexpr uint8_t kKeyDown = 0x80;
// The X server's key map: bit k (byte k / 8, bit k % 8) for X key code k.
inline constexpr int kServerKeymapSize = 32;

// DirectInput codes of the keys the program names.
namespace dik {
inline constexpr uint8_t kEscape = 0x01;
inline constexpr uint8_t kReturn = 0x1C;
inline constexpr uint8_t kLeftControl = 0x1D;
inline constexpr uint8_t kZ = 0x2C;
inline constexpr uint8_t kX = 0x2D;
inline constexpr uint8_t kSpace = 0x39;
inline constexpr uint8_t kF1 = 0x3B;
inline constexpr uint8_t kNumpad7 = 0x47;
inline constexpr uint8_t kNumpad8 = 0x48;
inline constexpr uint8_t kNumpad9 = 0x49;
inline constexpr uint8_t kNumpad4 = 0x4B;
inline constexpr uint8_t kNumpad5 = 0x4C;
inline constexpr uint8_t kNumpad6 = 0x4D;
inline constexpr uint8_t kNumpad1 = 0x4F;
inline constexpr uint8_t kNumpad2 = 0x50;
inline constexpr uint8_t kNumpad3 = 0x51;
inline constexpr uint8_t kNumpad0 = 0x52;
inline constexpr uint8_t kF12 = 0x58;
inline constexpr uint8_t kNumpadEnter = 0x9C;
inline constexpr uint8_t kRightControl = 0x9D;
inline constexpr uint8_t kUp = 0xC8;
inline constexpr uint8_t kLeft = 0xCB;
inline constexpr uint8_t kRight = 0xCD;
inline constexpr uint8_t kDown = 0xD0;
}  // namespace dik

// Windows virtual-key codes that the program asks about by name.
namespace vk {
inline constexpr int kTab = 0x09;
inline constexpr int kReturn = 0x0D;
inline constexpr int kMenu = 0x12;
inline constexpr int kF1 = 0x70;
inline constexpr int kF12 = 0x7B;
inline constexpr int kLeftMenu = 0xA4;
inline constexpr int kRightMenu = 0xA5;
}  // namespace vk

// Whether a Windows virtual key is down by the key events (the hot keys' test: the server's
// key map presses none). A virtual key that two keys share (Enter, Alt, Shift, Control) is
// down while either is; a virtual key without a key code never is.
bool IsVirtualKeyDown(int virtualKey);

// The DirectInput code of an SDL scancode; 0 for keys without one.
uint8_t DikFromScancode(SDL_Scancode code);

// Takes one SDL event: key down and up set and clear the key's byte.
void KeyboardStateOnEvent(const SDL_Event& event);

// Registers KeyboardStateOnEvent with the window pump's event observers; calling
// it again does nothing. The real keyboard device calls it.
void InstallKeyboardState();

// Copies the current 256 bytes: the keys of the events, and those of the server's key map.
void GetKeyboardState(uint8_t (&out)[kKeyboardStateSize]);

// Takes the server's key map. While none of our windows has the focus its keys are the
// background keys; once one has, it only releases the background keys it shows up, since
// SDL and the dialog report neither the release nor a new press of a key held across.
// A key-up event, a dialog's loss of the focus and the game window's clear them too.
void SetServerKeymap(const uint8_t (&keymap)[kServerKeymapSize]);
// The window layer's word, at each change of its focus record, whether one of our windows or
// dialogs holds the keyboard focus (none at start).
void SetKeyboardFocusHeld(bool held);
// Whether the server's key map is wanted with the focus held: a key read from it, or one a dialog
// kept, may still be down.
bool HasBackgroundKeys();
// Forgets the keys read from the server's key map, and those a dialog kept (none can be read any more).
void ClearBackgroundKeys();

// A dialog of ours: its key events set and clear keys by DirectInput code (while it has the focus
// the keyboard counts as focused on its owner).
void SetKeyboardKey(uint8_t dik, bool down);
// A dialog took the key for itself (it closed the dialog): until its release is seen, by a key-up
// or the server's key map, no press of it counts and no key map shows it, since the server's
// auto-repeat goes on pressing it into the window that has the focus after the dialog.
void KeepKeyForTheDialog(uint8_t dik);
// Forgets every key, both layers: the window that had the focus lost it, and the key-ups of what
// it reported will not come. The keys a dialog kept stay kept.
void ForgetKeyboardKeys();
// The DirectInput code of a Linux input key code (an X key code less 8); 0 for keys without one.
uint8_t DikFromLinuxKey(uint32_t code);

// Forgets every key (a new session of the pump, and tests).
void ResetKeyboardState();

}  // namespace morna::platform
