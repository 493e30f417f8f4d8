#pragma once
// What tests set in place of the machine's clock, wall clock, seeds and data files when they
// build the play state.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "foundation/timer/clock.h"
#include "game/files/kind_tables.h"
#include "game/files/text_tables.h"

struct SGameResourceSetup {
    tovarineGameSDK3rd::Timer::IClock* clock = nullptr;  // null: the system clock
    std::function<int64_t()> wallClock;                  // seconds since 1970; empty: the system's
    std::optional<uint32_t> playSeed;  // both seedings of the play generator
    std::optional<uint32_t> bossSeed;
    std::optional<uint32_t> drawSeed;
    const SKindTables* kinds = nullptr;  // null: data\text\effect.txt and data.txt
    const std::vector<SBossBlock>* bossParts = nullptr;  // null: data\text\bossparts.txt
};
