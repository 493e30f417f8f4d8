#pragma once
// The ranking screen: the rows it lists, the row under the cursor, its text objects and the
// highlight's blink.
#include <cstdint>
#include <vector>

#include "foundation/vtl/smart_ptr.h"
#include "game/objects/object_base.h"

struct SRankingScreen {
    uint32_t count = 0;  // the ranking's rows when it was read or entered
    int32_t row = 0;     // under the cursor
    uint16_t blink = 0;
    uint8_t byte = 255;
    std::vector<tovarineGameSDK3rd::VTL::smart_ptr<IObjectDraw>> rowObjects;
};
