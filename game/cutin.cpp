// Filled by the cut-in start; until it lands no cut-in plays.
#include "game/game_resource.h"

void CGameResource::StartCutin(int32_t id, bool releaseOthers) { (void)id, (void)releaseOthers; }
