// The effects' frame: start delay, fades, lifetime, motion and the land effects' placement.
// It comes here; until then an effect stands still and lives on.
#include "game/objects/objects.h"

bool CObjectEffect::Update(int32_t, int32_t) { return true; }
bool CObjectEffectLand::Update(int32_t, int32_t) { return true; }
bool CObjectEffectLand::CheckLand(CGameResource&) { return true; }
bool CObjectEffectLandShadow::CheckLand(CGameResource&) { return true; }
bool CObjectCutin::Update(int32_t, int32_t) { return true; }
