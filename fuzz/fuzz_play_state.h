// The play state of the game's fuzz targets: fixed seeds and clocks, no boss parts, on a copy
// of the kind tables given.
#pragma once

#include <memory>
#include <vector>

#include "game/files/key_control.h"
#include "game/play/game_resource.h"

inline std::unique_ptr<CGameResource> MakeFuzzPlayState(const SKindTables& kinds) {
    static const std::vector<SBossBlock> parts;
    SGameResourceSetup setup;
    setup.playSeed = setup.bossSeed = setup.drawSeed = 1;
    setup.wallClock = [] { return int64_t{0}; };
    setup.kinds = &kinds;
    setup.bossParts = &parts;
    return std::make_unique<CGameResource>(tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl), setup);
}
