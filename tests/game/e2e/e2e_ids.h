// The game's key bits as the headless runs' key sources answer them: a bit a key held.
#pragma once

#include <cstdint>

#include "game/ids.h"

namespace morna::e2e {

namespace keys {
constexpr uint32_t kUp = Bit(KeyBit::kUp), kLeft = Bit(KeyBit::kLeft), kDown = Bit(KeyBit::kDown),
                   kRight = Bit(KeyBit::kRight);
constexpr uint32_t kDecide = Bit(KeyBit::kDecide);  // also the barrier in play
constexpr uint32_t kSkill = Bit(KeyBit::kBack);     // the skill in play, back in menus
}  // namespace keys

}  // namespace morna::e2e
