// The boss battle frame and the scripts of bosses 0 to 3. Least bodies until the boss-battle
// issues fill this file: an intro and a defeat end at once, and the stage bosses stand still.
#include "game/game_resource.h"

bool CGameResource::BeginBossFight() { return true; }
bool CGameResource::EndBossFight() { return true; }
void CGameResource::RunBoss0() {}
void CGameResource::RunBoss1() {}
void CGameResource::RunBoss2() {}
void CGameResource::RunBoss3() {}
