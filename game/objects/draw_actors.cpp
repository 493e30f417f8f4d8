// The common object draw with its helpers, the hero, the barrier, the enemies and the few
// classes that add a detail to the common draw. They come here; until then nothing is drawn.
#include "game/objects/objects.h"

using tovarineGameSDK3rd::Draw::ISurface;

void CObjectBase::Draw(ISurface*) {}
void CObjectAvatar::Draw(ISurface*) {}
void CObjectBarrier::Draw(ISurface*) {}
void CObjectEnemy::Draw(ISurface*) {}
void CObjectCrystal::Draw(ISurface*) {}
void CObjectItem::Draw(ISurface*) {}
void CObjectLand::Draw(ISurface*) {}
void CObjectAvatar::DrawBarrierGauge(ISurface*, int32_t, int32_t, CObjectAvatar*, bool, bool) {}
