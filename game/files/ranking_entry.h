#pragma once
#include <cstdint>

// A ranked result: the score and the local time it was entered.
struct SRankingEntry {
    uint32_t score = 0;
    uint8_t date[6] = {};  // year mod 100, month, day, hour, minute, second
};
