#pragma once
// The stage's background: its fade, its parallax scroll, its tint, and whether the background
// effects outlive a stage reset.
#include <cstdint>

struct SBackdrop {
    int32_t opacityStep = 0;
    double scrollX = 0;
    double scrollY = 0;
    uint8_t keepEffects = 1;  // the background effects survive a stage reset
    uint8_t tint = 0;
};
