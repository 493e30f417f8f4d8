#pragma once
// The player's scripted walk to a point, which takes the movement out of the keys while it runs.
#include <cstdint>

struct SScriptedMove {
    int32_t targetX = -1;  // -1: no move
    int32_t targetY = -1;
    double acceleration = 1.0;
    double speed = 1.0;
    uint8_t brakeStarted = 0;
    int32_t frameBudget = 0;
};
