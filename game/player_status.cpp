// The hero's damage, barrier and skills. Filled by player damage: until it lands a hit only
// moves HP and the gauge, with no game over.
#include <algorithm>

#include "game/game_resource.h"

void CGameResource::DamagePlayer(int32_t delta, bool scaled) {
    status.hp = std::clamp(status.hp + (scaled ? delta * boss.damageScale / 100 : delta), 0, status.maxHp);
    status.gauge = std::clamp(status.gauge - delta / 2, 0, 10000);
}

// Filled by player damage: until it lands the barrier never rises and no skill runs.
void CGameResource::StartBarrier() {}
void CGameResource::UpdateBarrierEnergy() {}
void CGameResource::UseSkill(bool withCutin) { (void)withCutin; }
