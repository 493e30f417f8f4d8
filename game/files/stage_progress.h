#pragma once
#include <cstdint>

// Where a stage stands: the live record, the checkpoint and the replay header.
struct SStageProgress {
    int32_t stage = -1;
    double scrollX = 0;  // world pixels of the view's left edge
    double scrollY = 0;
    int32_t eventStep = 0;
    int32_t dropCounter = 0;  // an item falls at 50
    uint8_t itemLevel1 = 0;   // the max-HP item was taken
    uint8_t itemLevel2 = 0;   // the max-barrier-energy item was taken
    uint8_t vertical = 0;
    double scrollSpeed = 0;
    double targetSpeed = 0;
    int32_t nextColumn = 0;
    int32_t backgroundOpacity = -1;  // 0 none, 1..254 blended, 255 opaque
    double backgroundSpeed = 0;
    int32_t scoreCarry = 0;
    uint8_t invincible = 0;
    uint16_t subStep = 1;  // set from construction on, never reset

    // Every field but subStep back to its start.
    void Reset() {
        const uint16_t kept = subStep;
        *this = SStageProgress();
        subStep = kept;
    }
};
