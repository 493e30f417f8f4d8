// What the field objects' behaviours share: sounds, the hero's place, the wait counter, the
// view and the difficulty.
#pragma once

#include <algorithm>
#include <cstdint>

#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

namespace think {

// The hero's centre; the object's own when there is no hero (nothing to aim at).
inline void PlayerCentre(const CGameResource& g, const CObjectBase& o, double& px, double& py) {
    px = g.player ? g.player->x : o.x;
    py = g.player ? g.player->y : o.y;
}

inline uint8_t AngleToPlayer(const CGameResource& g, const CObjectBase& o) {
    double px = 0, py = 0;
    PlayerCentre(g, o, px, py);
    return AngleOf(px - o.x, py - o.y);
}

// The wait rule: a non-zero wait counts down and the behaviour rests this frame.
inline bool Resting(CObjectBase& o) {
    if (o.wait == 0) return false;
    --o.wait;
    return true;
}

// The stage's plans harden with it: the live stage clamped to 0..2.
inline int32_t Difficulty(const CGameResource& g) { return std::clamp(g.progress.stage, 0, 2); }

// The centre truncated, less the camera origin.
inline void ScreenOffset(const CGameResource& g, const CObjectBase& o, int32_t& sx, int32_t& sy) {
    int32_t cx = 0, cy = 0;
    g.GetCameraOrigin(cx, cy);
    sx = WrapSub(TruncInt(o.x), cx);
    sy = WrapSub(TruncInt(o.y), cy);
}

// One animation cycle of a kind, in frames (-1 for an effect whose frames have a negative length).
inline int64_t Cycle(const SObjectKind& k) { return static_cast<int64_t>(k.frames.size()) * k.frameTime; }
inline int64_t Cycle(const SEffectKind& k) { return k.frameTime < 0 ? -1 : static_cast<int64_t>(k.frames.size()) * k.frameTime; }

// A world point d along angle a from the object's centre, truncated for the factories.
inline int32_t OffsetX(const CObjectBase& o, uint8_t a, double d) { return TruncInt(o.x + d * KestraneGameBase2::CosOf(a)); }
inline int32_t OffsetY(const CObjectBase& o, uint8_t a, double d) { return TruncInt(o.y + d * KestraneGameBase2::SinOf(a)); }

// A land effect that shows for its lifetime and fades over its last c frames after delay d.
inline void FadingLandEffect(CGameResource& g, int32_t id, int32_t lifetime, double x, double y, int16_t c,
                             int16_t d) {
    if (CObjectEffectLand* e = g.CreateEffectLand(id, lifetime, x, y)) {
        e->fadeCounter = c, e->fadeLength = c, e->fadeDelay = d;
    }
}

}  // namespace think
