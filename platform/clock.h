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

// Seconds since 1970-01-01 00:00 UTC.
int64_t WallClockSeconds();

struct LocalDateTime {
    int32_t year = 0;  // e.g. 2018
    int32_t month = 0;  // 1..12
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};
// A wall-clock time in the local time zone (TZ); false when it cannot be converted.
bool ToLocalDateTime(int64_t seconds, LocalDateTime& out);

}  // namespace morna::platform
