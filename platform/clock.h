#pragma once
#include <cstdint>

namespace morna::platform {

// Milliseconds of a monotonic clock, as a 32-bit count that wraps every ~49.7 days.
// Only differences are meaningful; compute them in uint32_t so that they wrap too.
uint32_t MonotonicMilliseconds();

// Blocks the calling thread for at least `ms` milliseconds of the monotonic clock,
// resuming after signals. The monotonic clock has fine resolution here, so there is
// no system timer period to raise for short sleeps to be accurate.
void SleepMilliseconds(uint32_t ms);

}  // namespace morna::platform
