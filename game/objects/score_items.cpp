// The play state's score chain and items, and the popups kept on the screen. They come here
// with the score chain; until then a kill pays nothing and an item does nothing.
#include "game/game_resource.h"

void CGameResource::QueueKillScore(int32_t, int32_t, int32_t, int32_t) {}
void CGameResource::ApplyItem(uint8_t) {}
void CObjectEffect::KeepOnScreen() {}
void CObjectENumber::KeepOnScreen() {}

// The least body until the score chain and object helpers land; it answers as they will.
CObjectBarrier* CGameResource::GetActiveBarrier() {
    return (status.magicTimer >= 1 ? barriers[1] : barriers[0]).GetNoCheck();
}
