#pragma once
// The boss's pieces kept in formation beside the boss vector: boss 12's trail that its chain
// follows, boss 0's height segments, face and hammer afterimages.
#include <cstdint>
#include <vector>

#include "foundation/vtl/smart_ptr.h"
#include "game/objects/object_base.h"

struct SChainTrailEntry {
    double x = 0;
    double y = 0;
    uint8_t angle = 0;
};

struct SBossFormation {
    std::vector<SChainTrailEntry> trail;
    uint8_t coils = 0;
    double extension = 0;
    std::vector<tovarineGameSDK3rd::VTL::smart_ptr<CObjectBase>> segments;
    std::vector<tovarineGameSDK3rd::VTL::smart_ptr<CObjectBase>> afterimageParts;
    tovarineGameSDK3rd::VTL::smart_ptr<CObjectBase> specialPart;
};
