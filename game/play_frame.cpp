// Filled by the in-game frame; until it lands the world stands still.
#include "game/game_resource.h"

void CGameResource::PlayFrame(KestraneGameBase2::SKey* keys, bool skipKeyLog) { (void)keys, (void)skipKeyLog; }
