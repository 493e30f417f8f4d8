#pragma once
// The key log of the game being played, or of the replay playing it back, with the stage
// record it starts from.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/files/stage_progress.h"

struct SReplayLog {
    static constexpr size_t kReserve = 108000;  // 30 minutes at 60 frames a second

    bool playing = false;
    std::vector<uint8_t> keys;  // one byte per play frame
    int32_t index = 0;          // the next key to play back
    SStageProgress header;
};
