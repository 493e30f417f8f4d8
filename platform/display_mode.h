#pragma once
// The display's modes: which pixel format the display has in a window (the desktop's) and in
// full screen (the requested depth), the full-screen mode change that can be refused, and the
// waits of a display change. Tests select the desktop's format, inject refusals and replace
// the sleeper, so that a change sequence runs headless and without waiting.
//
// Formats are the drawing core's codes: 2 Palette8, 3 RGB565, 4 RGB555, 5 RGB888, 6 BGR888,
// 7 XRGB8888, 8 XBGR8888; 1 is a format that is none of these, 0 no answer.
#include <cstdint>

namespace morna::platform {

// The format code of an SDL pixel format as a display shows it (1 for any other format).
int32_t DisplayFormatOfSdl(uint32_t sdlFormat);

// The desktop's format: the one a test selected, else that of SDL's desktop mode of the
// first display (XRGB8888 on a depth-24 X server). Starts SDL video on the calling thread
// when nobody owns it (as GetScreenSize does); 0 when there is no video.
int32_t DesktopDisplayFormat();
// Selects the desktop's format for tests: a code 2 to 8; 0 goes back to SDL's answer. False
// (and nothing changes) for any other code.
bool SelectDesktopFormatForTests(int32_t code);

// The format of a full-screen mode of `bpp` bits: 16 is RGB565, 32 XRGB8888; 0 for a depth
// the display does not offer.
int32_t FullScreenFormat(int32_t bpp);

// Sets a full-screen mode: the format in *format. False when the depth is not offered, the
// size is not positive, or a refusal was injected (each refusal refuses one request).
bool SetFullScreenMode(int32_t width, int32_t height, int32_t bpp, int32_t* format);
void InjectDisplayModeRefusals(int32_t count);

// The waits of a display change go through the sleeper: SleepMilliseconds unless a test put
// its own (null puts the real one back).
using DisplaySleeper = void (*)(uint32_t ms);
void SetDisplaySleeper(DisplaySleeper sleeper);
void DisplaySleep(uint32_t ms);

}  // namespace morna::platform
