// The enemies' behaviour frame. It comes here with the behaviour table; until then an enemy
// only moves as it was set going.
#include "game/objects/objects.h"

void CObjectEnemy::Think(CGameResource&) {}
