// The play state of the game's fuzz targets: fixed seeds and clocks, no boss parts, on a copy
// of the kind tables given.
#pragma once

#include <memory>
#include <vector>

#include "game/files/key_control.h"
#include "game/play/game_resource.h"
#include "tests/game/e2e/gameplay_hash.h"

inline std::unique_ptr<CGameResource> MakeFuzzPlayState(const SKindTables& kinds) {
    static const std::vector<SBossBlock> parts;
    SGameResourceSetup setup;
    setup.playSeed = setup.bossSeed = setup.drawSeed = 1;
    setup.wallClock = [] { return int64_t{0}; };
    setup.kinds = &kinds;
    setup.bossParts = &parts;
    return std::make_unique<CGameResource>(tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl), setup);
}

// What an input left on the field, its gameplay and effects hashed: a target that builds its play
// state afresh for each input answers it as MornaFuzzEndState, for the corpus replay's check that
// an input ends alike whatever ran before it.
inline uint64_t FieldHash(const CGameResource& game) {
    morna::e2e::HashSink end;
    morna::e2e::WalkGameplay(end, game);
    morna::e2e::WalkEffects(end, game);
    return end.Hash();
}
