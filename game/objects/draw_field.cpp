// The draws of the trail classes, shots, reflectors, blocks, puddings, jellies, effects,
// numbers, cut-ins, text and bosses. They come here; until then nothing is drawn.
#include "game/objects/objects.h"

using tovarineGameSDK3rd::Draw::ISurface;

void CObjectEnemyShadow::Draw(ISurface*) {}
void CObjectBoss::Draw(ISurface*) {}
void CObjectShot::Draw(ISurface*) {}
void CObjectShotShadow::Draw(ISurface*) {}
void CObjectReflect::Draw(ISurface*) {}
void CObjectBlock::Draw(ISurface*) {}
void CObjectBlockShadow::Draw(ISurface*) {}
void CObjectPudding::Draw(ISurface*) {}
void CObjectJelly::Draw(ISurface*) {}
void CObjectEffect::Draw(ISurface*) {}
void CObjectEffectLand::Draw(ISurface*) {}
void CObjectEffectLandShadow::Draw(ISurface*) {}
void CObjectCutin::Draw(ISurface*) {}
void CObjectENumber::Draw(ISurface*) {}
void CObjectFont::Draw(ISurface*) {}
