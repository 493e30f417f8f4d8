#pragma once
// Per-thread COM start and release counts: the display, the keyboard device and
// the sound devices bracket their COM objects with these.
#include <cstdint>

namespace tovarineGameSDK3rd::Thread {

// Starts COM on the calling thread when its count is 0, then raises the count:
// 0, or 1 (count unchanged, reported to the error log) when the start failed.
int32_t AddRefCOM();
// Lowers the count, ending COM on the thread when it reaches 0; true when the
// thread had no count at all.
bool ReleaseCOM();

}  // namespace tovarineGameSDK3rd::Thread
