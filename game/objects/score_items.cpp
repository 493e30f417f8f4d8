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

// The least bodies until the object helpers land; they answer as those will.
bool CGameResource::AnyEnemyOnScreen() const {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    for (const ObjectPtr& o : objects) {
        const int32_t type = o->GetType();
        if (type != kTypeShot && (type != kTypeEnemy || o->kind->undying != 0)) continue;
        const int64_t sx = int64_t{TruncInt(o->x)} - cx, sy = int64_t{TruncInt(o->y)} - cy;
        if (sx >= 0 && sx < kScreenWidth && sy >= 0 && sy < kScreenHeight) return true;
    }
    return false;
}

bool CGameResource::IsBossOnScreen(int32_t margin) const {
    if (bossObjects.empty() || !bossObjects[0]) return false;
    const CObjectBase& body = *bossObjects[0];
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    const int64_t sx = int64_t{TruncInt(body.x)} - cx, sy = int64_t{TruncInt(body.y)} - cy;
    const int64_t hw = body.kind->hitWidth / 2, hh = body.kind->hitHeight / 2;
    return sx + hw >= margin && sx - hw <= 639 - margin && sy + hh >= margin && sy - hh <= 479 - margin;
}
