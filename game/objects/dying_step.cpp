// The base behaviour: the dying step of states 2-4. It comes here with the death effects;
// until then a dying object stays as it is.
#include "game/objects/objects.h"

void CObjectBase::Think(CGameResource&) {}

// Filled by the death effects (dying step topic): until then no burst is shown.
void CObjectBase::SpawnDeathEffect(CGameResource&) {}
