// The play state's score chain and items, and the popups kept on the screen. They come here
// with the score chain; until then a kill pays nothing, an item does nothing, points are
// paid without a popup and shots fly without their sound. The active barrier, the boss's
// on-screen tests, the position-derived number and the shot itself are whole.
#include "framework/sine_table.h"
#include "game/game_resource.h"

void CGameResource::QueueKillScore(int32_t, int32_t, int32_t, int32_t) {}
void CGameResource::ApplyItem(uint8_t) {}
void CObjectEffect::KeepOnScreen() {}
void CObjectENumber::KeepOnScreen() {}
void CGameResource::FlushScoreQueue() {}

void CGameResource::AddScore(int32_t points, int32_t, int32_t) {
    if (points > 0) status.GainScore(points);
}

void CGameResource::FireShots(int32_t kind, double x, double y, uint8_t angle, int32_t images, double speed) {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    if (!(cx <= x && x <= cx + 639 && cy <= y && y <= cy + 479)) return;
    CObjectShot* shot = nullptr;
    if (images < 1) {
        shot = CreateShot(kind, TruncInt(x), TruncInt(y), 0);
    } else if (CObjectShotShadow* trailed = CreateShotShadow(kind, TruncInt(x), TruncInt(y))) {
        trailed->trailSpacing = 1;
        trailed->trailLength = static_cast<uint16_t>(2 * images);
        shot = trailed;
    }
    if (shot == nullptr) return;
    shot->motion.vx = KestraneGameBase2::CosOf(angle) * speed;
    shot->motion.vy = KestraneGameBase2::SinOf(angle) * speed;
}

CObjectBarrier* CGameResource::GetActiveBarrier() { return barriers[status.magicTimer >= 1 ? 1 : 0].GetNoCheck(); }

uint32_t CGameResource::PositionRandom(uint32_t n) {
    const uint32_t px = static_cast<uint32_t>(TruncInt(player->x)), py = static_cast<uint32_t>(TruncInt(player->y));
    const CObjectBase* body = bossObjects.empty() ? nullptr : bossObjects[0].GetNoCheck();
    uint32_t v = 3 * px + 7 * py;
    if (body != nullptr) v = px * static_cast<uint32_t>(TruncInt(body->y)) + py * static_cast<uint32_t>(TruncInt(body->x));
    return n == 0 ? 0 : v % n;
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
