// Questions the objects ask of the field: the active barrier, what is on the screen, the
// distance to the hero and the chances drawn from positions rather than from a generator.
#include <cmath>

#include "game/play/game_resource.h"

using tovarineGameSDK3rd::Draw::Rect;

CObjectBarrier* CGameResource::GetActiveBarrier() { return barriers[status.magicTimer >= 1 ? 1 : 0].GetNoCheck(); }

void CGameResource::RemoveLandOfKind(uint16_t index, const Rect& rect) {
    for (const ObjectPtr& o : objects) {
        if (o->GetType() != kTypeLand || o->kind->index != index) continue;
        const int32_t x = TruncInt(o->x), y = TruncInt(o->y);
        if (rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom) o->SetState(kStateRemove);
    }
}

bool CGameResource::AnyEnemyOnScreen() const {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    for (const ObjectPtr& o : objects) {
        const int32_t t = o->GetType();
        if (t != kTypeShot && !(t == kTypeEnemy && o->kind->undying == 0)) continue;
        const int64_t sx = static_cast<int64_t>(TruncInt(o->x)) - cx, sy = static_cast<int64_t>(TruncInt(o->y)) - cy;
        if (sx >= 0 && sx < kScreenWidth && sy >= 0 && sy < kScreenHeight) return true;
    }
    return false;
}

namespace {

const CObjectBase* BossBody(const std::vector<CGameResource::ObjectPtr>& bosses) {
    return bosses.empty() ? nullptr : bosses[0].GetNoCheck();
}

}  // namespace

bool CGameResource::IsBossOnScreen(int32_t margin) const {
    const CObjectBase* body = BossBody(bossObjects);
    if (body == nullptr) return false;
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    const int64_t sx = static_cast<int64_t>(TruncInt(body->x)) - cx, sy = static_cast<int64_t>(TruncInt(body->y)) - cy;
    const int32_t hw = body->kind->hitWidth / 2, hh = body->kind->hitHeight / 2;
    return sx + hw >= margin && sx - hw <= 639 - margin && sy + hh >= margin && sy - hh <= 479 - margin;
}

int32_t CGameResource::DistanceToPlayer(const CObjectBase& object) const {
    const double dx = static_cast<double>(TruncInt(object.x)) - TruncInt(player->x);
    const double dy = static_cast<double>(TruncInt(object.y)) - TruncInt(player->y);
    return TruncInt(std::sqrt(dx * dx + dy * dy));
}

namespace {

// 3 px + 7 py, or px by + py bx with a boss, in unsigned 32 bits.
uint32_t PositionValue(const CGameResource& game) {
    const uint32_t px = static_cast<uint32_t>(TruncInt(game.player->x));
    const uint32_t py = static_cast<uint32_t>(TruncInt(game.player->y));
    const CObjectBase* body = BossBody(game.bossObjects);
    if (body == nullptr) return 3 * px + 7 * py;
    return px * static_cast<uint32_t>(TruncInt(body->y)) + py * static_cast<uint32_t>(TruncInt(body->x));
}

}  // namespace

bool CGameResource::PositionChance(uint32_t percent) const { return PositionValue(*this) % 100 < percent; }

uint32_t CGameResource::PositionRandom(uint32_t n) const { return n == 0 ? 0 : PositionValue(*this) % n; }

bool CGameResource::IsAboveViewCentre(double y) const {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    return cy + 240.0 > y;
}
