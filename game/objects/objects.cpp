// The per-class steps of the object classes: what each adds to the base update (a trail, the
// travel, the behaviour, edge bounces, fading, the jelly's regrowth), and their set-up.
#include "game/objects/objects.h"

#include <cmath>

#include "framework/sine_table.h"
#include "game/play/game_resource.h"

using tovarineGameSDK3rd::Draw::Rect;

namespace {

// The trail classes record their centre before the base update.
template <class T>
void RecordTrail(T& self, CGameResource& game) {
    self.StepTrail(game, self.x, self.y, self.kind->cellWidth, self.kind->cellHeight, self.jitter != 0);
}

}  // namespace

// ---- hero and barriers

void CObjectAvatar::EndFlashAtRest() {
    if (flashTimer != 0 && motion.Speed() < 0.3) flashTimer = 0;
}

void CObjectAvatar::Update(CGameResource& game) {
    CObjectBase::Update(game);
    if (pose == 5) {  // fading out: nothing else happens
        alpha = alpha < 4 ? 0 : static_cast<uint8_t>(alpha - 2);
        return;
    }
    EndFlashAtRest();
}

void CObjectBarrier::Update(CGameResource& game) {
    CObjectBase::Update(game);
    EndFlashAtRest();
    alpha = game.playRand.Get() % 30 == 0 ? 255 : 128;  // a flicker
}

// ---- enemies and bosses

void CObjectEnemy::ResetMotion() {
    CObjectBase::ResetMotion();
    targetX = targetY = 0;
    moving = stopAtEnd = 0;
}

void CObjectEnemy::Update(CGameResource& game) {
    CObjectBase::Update(game);
    UpdateTravel();
    Think(game);
}

void CObjectEnemyShadow::Update(CGameResource& game) {
    RecordTrail(*this, game);
    CObjectEnemy::Update(game);
}

void CObjectBoss::Update(CGameResource& game) {
    RecordTrail(*this, game);
    CObjectEnemy::Update(game);
}

// ---- shots, blocks, terrain

void CObjectShot::Update(CGameResource& game) {
    CObjectBase::Update(game);
    Think(game);
}

void CObjectShotShadow::Update(CGameResource& game) {
    RecordTrail(*this, game);
    CObjectShot::Update(game);
}

void CObjectBlock::Update(CGameResource& game) {
    CObjectBase::Update(game);
    Think(game);
}

void CObjectBlockShadow::Update(CGameResource& game) {
    RecordTrail(*this, game);
    CObjectBlock::Update(game);
}

void CObjectLand::Update(CGameResource& game) {
    CObjectBase::Update(game);
    Think(game);
}

// ---- items

void CObjectItem::Update(CGameResource& game) {
    CObjectBase::Update(game);
    if (state == kStateKilled || state == kStateKilledBySpecial) {  // collected
        if (kind->score > 0) game.QueueKillScore(kind->score, state, TruncInt(x), TruncInt(y));
        game.ApplyItem(kind->index);
        state = kStateRemove;
        return;
    }
    if (state == kStateVanish) {
        state = kStateRemove;
        return;
    }
    if (bounceCount < 5) BounceOffScreenEdge(game);
    if (motion.Speed() < 3.0) motion.frictionX = motion.frictionY = 0;  // keeps drifting slowly
}

void CObjectBase::BounceOffScreenEdge(CGameResource& game) {
    int32_t cameraX = 0, cameraY = 0;
    game.GetCameraOrigin(cameraX, cameraY);
    const int32_t sx = WrapSub(TruncInt(x), cameraX);
    const int32_t sy = WrapSub(TruncInt(y), cameraY);
    // Reverses one component; one too slow to matter stops.
    const auto reverse = [](double& v) { v = std::fabs(v) <= 0.1225 ? 0 : -v; };
    if (sx < 0) {
        reverse(motion.vx), x += 4;
    } else if (sx > CGameResource::kScreenWidth) {
        reverse(motion.vx), x -= 4;
    } else if (sy < 0) {
        reverse(motion.vy), y += 4;
    } else if (sy > CGameResource::kScreenHeight) {
        reverse(motion.vy), y -= 4;
    } else {
        return;
    }
    contact = 1;
    if (contactTimer == 0) ++bounceCount;
    contactTimer = 60;
}

// ---- jelly

uint8_t CObjectJelly::GetOutsideSide(const Rect& rect, int32_t, int32_t) const {
    if (rect.left > x + kCell * cellsWide) return kOutsideLeft;
    if (rect.top > y + kCell * cellsHigh) return kOutsideAbove;
    if (x > rect.right) return kOutsideRight;
    if (y > rect.bottom) return kOutsideBelow;
    return kInside;
}

void CObjectJelly::Update(CGameResource& game) {
    CObjectBase::Update(game);
    for (size_t i = 0; i < cells.size(); i += 2) {
        if (cells[i] != 0) --cells[i];
    }
    game.status.GainScore(eatenScore);
    eatenScore = 0;
}

void CObjectJelly::SetSize(uint8_t wide, uint8_t high) {
    cellsWide = wide;
    cellsHigh = high;
    cells.assign(2u * wide * high, 0);
}

void CObjectJelly::UpdateNeighbours() {
    // Bit i: the neighbour at (dx, dy)[i].
    static constexpr int8_t kDx[8] = {0, -1, -1, -1, 0, 1, 1, 1};
    static constexpr int8_t kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    if (cells.size() < 2u * cellsWide * cellsHigh) return;
    const auto present = [this](int32_t c, int32_t r) {
        return c >= 0 && r >= 0 && c < cellsWide && r < cellsHigh && Cell(c, r)[0] == 0;
    };
    for (int32_t r = 0; r < cellsHigh; ++r) {
        for (int32_t c = 0; c < cellsWide; ++c) {
            if (!present(c, r)) continue;
            uint8_t code = 0;
            for (int i = 0; i < 8; ++i) {
                if (present(c + kDx[i], r + kDy[i])) code |= static_cast<uint8_t>(1u << i);
            }
            Cell(c, r)[1] = code;
        }
    }
}

// ---- effects

CObjectEffect::CObjectEffect(const SEffectKind* kind) : kind(kind) {
    motion.vx = KestraneGameBase2::CosOf(kind->angle) * kind->speed;
    motion.vy = KestraneGameBase2::SinOf(kind->angle) * kind->speed;
}
