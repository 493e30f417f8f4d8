// The behaviours of the crystal, the reflector, the bosses and their parts, the terrain, the
// shots and the blocks. They come here; until then these objects only move as set going.
#include "game/objects/objects.h"

void CObjectCrystal::Think(CGameResource&) {}
void CObjectReflect::Think(CGameResource&) {}
void CObjectBoss::Think(CGameResource&) {}
void CObjectLand::Think(CGameResource&) {}
void CObjectShot::Think(CGameResource&) {}
void CObjectBlock::Think(CGameResource&) {}
