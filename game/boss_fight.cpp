// The boss-fight record and the boss helpers. Filled by the boss-fight record: until it lands
// a fight names its boss, fills its meters and stops the stage, and leaves the hero as it is.
#include "game/game_resource.h"

void CGameResource::StartBossRecord(int32_t id) {
    ResetBossRecord();
    boss.bossId = id;
    boss.hp = boss.maxHp = 10000;
    boss.gauge = boss.gaugeCap = 10000;
    boss.secondMeter = 0;
    progress.scrollSpeed = progress.targetSpeed = 0;
}

// Filled by the boss-fight record: until it lands no stage image is released and nobody turns.
void CGameResource::ReleaseStageImages() {}
bool CGameResource::FaceBossToPlayer() { return false; }
void CGameResource::FacePlayerToBoss() {}
