#pragma once
// The conversation in progress: its pages, the page shown and for how long, the speaker's face,
// and which conversations this game has shown.
#include <cstdint>
#include <vector>

#include "game/files/text_tables.h"

struct STalkState {
    std::vector<STalkPage> pages;
    int32_t page = 0;
    int32_t pageFrame = 0;
    int32_t pageCount = 0;
    int32_t id = 0;
    SFace face;
    uint8_t resume = 0;  // the talk's end goes to the scripted wait, not to play
    uint32_t shown = 0;  // bit i: talk i was shown in this game
};
