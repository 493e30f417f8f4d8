#pragma once
// The cut-in gallery's playback: the pan over the picture and the entry playing.
#include <cstdint>

#include "draw/base/blt_geometry.h"

struct SGalleryState {
    int32_t panX = 0;
    int32_t panY = 0;
    int32_t value = 0;
    tovarineGameSDK3rd::Draw::Rect pan{};
    uint8_t playing = 0;
};
