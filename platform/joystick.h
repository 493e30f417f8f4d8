#pragma once
// Game pads as the input layer reads them: numbered devices with a capability
// record and a position of two axes (0..65535, centre 32767) and a button mask
// (button i at bit i). Backed by SDL's joystick API with background events on,
// so pads are read whichever window has the focus. A missing pad, or SDL
// without a joystick subsystem, answers the failures below.
#include <cstdint>

namespace morna::platform {

struct JoystickCaps {
    uint32_t x_min = 0;
    uint32_t x_max = 0;
    uint32_t y_min = 0;
    uint32_t y_max = 0;
    uint32_t buttons = 0;  // number of buttons the device has
    uint32_t axes = 0;
    // The third and fourth axes: 0..0 when the pad lacks them.
    uint32_t z_min = 0;
    uint32_t z_max = 0;
    uint32_t r_min = 0;
    uint32_t r_max = 0;
};

struct JoystickPosition {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t buttons = 0;  // bit i: button i down
};

// The extended position: axes 0-3 as X, Y, Z and R (0..65535; an axis the pad
// lacks reads 0, X and Y excepted, which read the centre), the first hat as the
// point of view in hundredths of a degree clockwise from up (kPovCentred when
// centred or missing) and 32 buttons.
inline constexpr uint32_t kPovCentred = 65535;

struct JoystickPositionEx {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t z = 0;
    uint32_t r = 0;
    uint32_t pov = kPovCentred;
    uint32_t buttons = 0;
};

// The number of devices that ids may name: 0 .. count - 1.
uint32_t JoystickCount();

// False when id names no device or the device cannot be opened.
bool GetJoystickCaps(uint32_t id, JoystickCaps& caps);

// Reads the device now. Without all_buttons only the first four buttons are
// reported, as the short position call did. False when the device is gone.
bool GetJoystickPosition(uint32_t id, bool all_buttons, JoystickPosition& pos);

// Reads the device now, every axis, the hat and all buttons. False when the device is gone.
bool GetJoystickPositionEx(uint32_t id, JoystickPositionEx& pos);

// Closes every open device (tests, and before SDL shuts down).
void CloseJoysticks();

}  // namespace morna::platform
