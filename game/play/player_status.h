#pragma once
// The player's gauges, a record of the play state (members in game/play/player_status.cpp).
#include <cstdint>

// The player's gauges.
struct SPlayerStatus {
    int32_t hp = 10000;
    int32_t maxHp = 10000;
    int32_t barrierEnergy = 10000;
    int32_t maxBarrierEnergy = 10000;
    int32_t gauge = 5000;  // 0..10000; skills cost 2800, damage raises it
    int32_t gaugeMax = 10000;
    int32_t bonusCounters[2] = {0, 0};  // kept for the boss-fight bonus
    int32_t speedUpTimer = 0;           // frames of the speed-up item
    int32_t magicTimer = 0;             // frames of the magic item: the second barrier is active
    int32_t energyTimer = 0;            // frames of the energy item
    int32_t score = 0;                  // 0..9,999,999
    uint8_t barrierUp = 0;
    uint8_t magicRequest = 0;
    int32_t barrierTimer = 0;  // frames without regeneration after the barrier was held
    uint8_t overload = 0;
    uint8_t hardOverload = 0;
    uint8_t skillRunning = 0;
    int32_t finisherCounter = 0;
    uint8_t regenerating = 0;  // set when a boss fight ends: HP refills

    static constexpr int32_t kMaxScore = 9999999;
    // score += points, never above 9,999,999.
    void GainScore(int64_t points);

    // The gauges of a new game: HP, barrier energy and their maxima, the gauge, the bonus
    // counters and the item timers. The gauge maximum, the score and the flags stay.
    void Reset();
};
