#pragma once
#include <cstdint>

namespace morna::platform {

// Milliseconds of a monotonic clock, as a 32-bit count that wraps every ~49.7 days.
// Only differences are meaningful; compute them in uint32_t so that they wrap too.
uint32_t MonotonicMilliseconds();

}  // namespace morna::platform
