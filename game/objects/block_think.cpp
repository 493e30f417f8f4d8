// The blocks' behaviour, and the scans that treat the kind-13 blocks on the field as one group.
#include <cmath>

#include "game/objects/think_support.h"
#include "game/play/game_resource.h"

using namespace think;

namespace {

constexpr uint8_t kGroupBlock = 13;
constexpr uint8_t kGroupSpark = 17;
constexpr int32_t kStruck = 2;
constexpr int32_t kComplete = 3;

bool IsKind(const CObjectBase& o, int32_t type, uint8_t index) { return o.GetType() == type && o.kind->index == index; }

void Remove(CObjectBase& b) { b.state = kStateRemove; }

uint8_t AddAlpha(uint8_t a) { return static_cast<uint8_t>(std::min(a + 8, 255)); }

// Kinds 1, 2: after the wait, a block of the next row kind with the same phase.
void Spawner(CGameResource& g, CObjectBase& b, uint8_t next) {
    if (--b.wait != 0) return;
    if (CObjectBlock* n = g.CreateBlock(next, TruncInt(b.x), TruncInt(b.y), 0)) n->phase = b.phase;
    Remove(b);
}

// Kinds 3, 4: after 40 frames a thrown rock (phase 1) or falling debris.
void Crumble(CGameResource& g, CObjectBase& b, bool left) {
    if (++b.step != 41) return;
    Remove(b);
    if (b.phase == 1) {
        const uint8_t a = AngleToPlayer(g, b);
        const uint8_t aim = left ? (a < 128 ? 144 : std::min<uint8_t>(a, 160) + 16)
                                 : (a < 64 ? 240 : std::max<uint8_t>(a, 224) - 16);
        if (CObjectBlock* n = g.CreateBlock(left ? 5 : 6, TruncInt(b.x), TruncInt(b.y), 0)) {
            n->motion.vx += 10.0 * KestraneGameBase2::CosOf(aim);
            n->motion.vy += 10.0 * KestraneGameBase2::SinOf(aim);
        }
        return;
    }
    PlaySe(Se::kRockCrack);
    if (CObjectBlock* n = g.CreateBlockByName("ポロちゃん岩", TruncInt(b.x), TruncInt(b.y), 0)) {
        n->motion.vx = left ? -2.0 : 2.0, n->motion.vy = -2.0;
        n->motion.accelAngle = 64, n->motion.accel = 0.1225, n->motion.speedLimit = 10.0;
        n->fadeCounter = 60, n->fadeLength = 60, n->fadeDelay = 0;
    }
}

// Eight blocks of a kind on a ring of the hit width around the centre, one a frame.
void Ring(CGameResource& g, CObjectBase& b, int32_t kind, uint8_t start, uint8_t stepAngle) {
    for (int32_t i = 0; i < 8; ++i) {
        const uint8_t a = static_cast<uint8_t>(start + stepAngle * i);
        g.CreateBlock(kind, OffsetX(b, a, b.kind->hitWidth), OffsetY(b, a, b.kind->hitWidth), i);
    }
}

void Mine(CGameResource& g, CObjectBase& b, int32_t kindNo) {
    ++b.step;
    b.pose = 8;
    const int32_t last = kindNo == 15 ? 60 : 45;
    if (kindNo == 15) {
        if (b.step >= last - 30 && b.step < last) b.phase = (b.step & 7) / 4;
    } else if (b.step <= last - 30) {
        b.animCounter = 0;
    }
    if (b.step != last) return;
    b.pose = 1;
    Ring(g, b, kindNo + 1, static_cast<uint8_t>(b.motion.GetHeading()), 32);
    Remove(b);
}

void Burst(CObjectBase& b, int32_t kindNo) {
    if (b.step == 0) PlaySe(kindNo == 11 ? Se::kBlockBurstBig : Se::kBlockBurstSmall);
    ++b.step;
    const int64_t n = Cycle(*b.kind);
    if (b.step >= n) {
        Remove(b);
        return;
    }
    if (b.step != n - n / 3) return;
    b.pose = 8;
    if (kindNo == 11) b.fadeCounter = b.fadeLength = static_cast<int16_t>(n / 3), b.fadeDelay = -1;
}

void WallPiece(CObjectBase& b) {
    ++b.step;
    b.alpha = AddAlpha(b.alpha);
    b.pose = b.step < 32 || b.step > 149 ? 8 : 0;
    if (b.step == 150) b.fadeCounter = 32, b.fadeLength = 32, b.fadeDelay = 0;
    if (b.step == 182) Remove(b);
}

// Kind 13: lobbed onto where the hero will be, stopped at the view's rim; the group's
// completion (phase 3) sends it back at the hero.
void ThrownBlock(CGameResource& g, CObjectBase& b) {
    if (Resting(b)) return;
    int32_t cx = 0, cy = 0;
    g.GetCameraOrigin(cx, cy);
    if (b.step == 0) {
        b.wait = 15, b.step = 1;
    } else if (b.step == 1) {
        PlaySe(Se::kBoomerangOut);
        double tx = 0, ty = 0;
        if (g.player) {
            g.PredictPlayerPosition(tx, ty, 20);
        } else {
            tx = b.x, ty = b.y;
        }
        const double dx = tx - b.x, dy = ty - b.y;
        const double d = std::sqrt(dx * dx + dy * dy);
        const double t = std::max(d / 12.0, 1.0);
        const double v = d / t * 1.4;
        const double accel = v / t * 0.7;
        const uint8_t a = AngleOf(dx, dy);
        const bool right = tx > b.x;
        b.motion.vx = right ? 12.0 : -12.0, b.motion.vy = -v;
        b.motion.Rotate(right ? a : static_cast<uint8_t>(a - 128));
        b.motion.accel = accel, b.motion.accelAngle = static_cast<uint8_t>(right ? a + 64 : a - 64);
        b.motion.speedLimit = 12.0;
        b.wait = 15, b.step = 2;
    } else if (b.step == 2 && b.phase == 1) {
        const int64_t x = TruncInt(b.x), y = TruncInt(b.y);
        if (x < cx || x > cx + 639LL || y < cy || y > cy + 479LL) {
            b.phase = 0;
        } else if (x < cx + 24LL || x > cx + 639LL - 24 || y < cy + 24LL || y > cy + 479LL - 24) {
            b.motion.Clear();
            b.pose = 9;
            FadingLandEffect(g, 39, 32, b.x, b.y, 8, 24);
            b.phase = 2, b.step = 3;
        }
    } else if (b.step == 3 && b.phase == 0) {
        b.motion.SetVelocity(AngleOf(b.x - (cx + 320.0), b.y - (cy + 240.0)), 5.0);
        b.step = 4;
    }
    if (b.phase == 3) {
        b.phase = 4, b.wait = 30;
    } else if (b.phase == 4) {
        b.phase = 5;
        b.motion.SetVelocity(AngleToPlayer(g, b), 8.0);
        b.pose = 0;
        FadingLandEffect(g, 39, 32, b.x, b.y, 8, 24);
        PlaySe(Se::kBoomerangBack);
    }
}

// Kind 14: in the boss's hand, swinging out from frame 30.
void HeldBlock(CGameResource& g, CObjectBase& b) {
    ++b.step;
    b.pose = 9;
    if (b.step > 100) {
        Remove(b);
        return;
    }
    double bx = 0, by = 0;
    g.GetBossPosition(&bx, &by);
    const bool left = g.GetBossFacing() == kFacingLeft;
    if (left) {
        b.x = b.turn == 0 ? bx + 24 : bx + 24 - (255 - b.turn) / 5;
    } else {
        b.x = bx - 24 + b.turn / 5;
    }
    b.y = by - 8;
    if (b.step < 30) return;
    if (left && (b.turn == 0 || b.turn > 215)) --b.turn;
    if (!left && b.turn < 40) ++b.turn;
}

void Drifter(CObjectBase& b) {
    b.alpha = 160;
    if (++b.step != 60) return;
    b.pose = 0;
    b.motion.SetVelocity(b.phase == kFacingLeft ? 160 : 224, 4.0);
    b.motion.accelAngle = 64, b.motion.accel = 0.1225, b.motion.speedLimit = 8.0;
}

// Kind 19: shown over where the hero will be, then dropped.
void FallingStone(CGameResource& g, CObjectBase& b) {
    if (b.step == 0) b.pose = 1;
    ++b.step;
    b.alpha = AddAlpha(b.alpha);
    int32_t cx = 0, cy = 0;
    g.GetCameraOrigin(cx, cy);
    const int64_t s = b.step, p = b.phase;
    if (s == p) {
        double px = 0, py = 0;
        if (g.player) {
            g.PredictPlayerPosition(px, py, 5);
        } else {
            px = b.x;
        }
        b.x = px, b.y = cy + 32.0;
        g.CreateEffectLand(34, -1, b.x, b.y), g.CreateEffectLand(35, -1, b.x, b.y);
    } else if (s == p + 30) {
        b.alpha = 0, b.pose = 8;
    } else if (s == p + 60) {
        PlaySe(Se::kStoneFalls);
        b.pose = 0;
        b.motion.accelAngle = 64, b.motion.accel = 0.1225, b.motion.speedLimit = 40.0;
    } else if (s > p + 60) {
        b.animCounter += static_cast<uint32_t>((s - p - 60) / 8);
        if (b.y > cy + 432.0) {
            g.CreateEffectLand(34, -1, b.x, b.y), g.CreateEffectLand(35, -1, b.x, b.y);
            Remove(b);
        }
    }
}

// Kinds 21, 22: after 150 frames, one enemy every 31 frames while the phase counts down.
void Nest(CGameResource& g, CObjectBase& b, bool above) {
    b.pose = 9;
    if (Resting(b)) return;
    if (b.step == 0) {
        b.wait = 150, b.step = 1;
        return;
    }
    if (b.phase <= 0) return;
    --b.phase;
    b.wait = 30;
    const int32_t kind = Difficulty(g) == 2 ? 25 : 24;
    const int32_t mix = b.step * 19;
    if (CObjectEnemyShadow* e = g.CreateEnemyShadow(kind, TruncInt(b.x), TruncInt(b.y) + (above ? -4 : 4), 0)) {
        if (above) {
            const int32_t u = mix & 31;
            e->motion.SetVelocity(static_cast<uint8_t>(u + (((u + 176) & 255) < 193 ? 168 : 184)), 5.0);
        } else {
            e->motion.vx = mix % 16 - 8, e->motion.vy = 0;
        }
    }
    ++b.step;
}

void CrackingRock(CGameResource& g, CObjectBase& b) {
    ++b.step;
    if (b.step == 180) b.jitter = 1;
    if (b.step != 240) return;
    b.jitter = 0;
    b.motion.SetVelocity(160, 10.0);
    b.x -= 16, b.y -= 32;
    const int32_t w = b.kind->hitWidth, h = b.kind->hitHeight, x = TruncInt(b.x), y = TruncInt(b.y);
    const int32_t pieces[3][3] = {{25, x - w, y - h}, {24, x, y}, {25, x + w - 8, y + h - 8}};
    for (const auto& [kind, px, py] : pieces) {
        if (CObjectBlock* n = g.CreateBlock(kind, px, py, 0)) n->motion = b.motion;
    }
    g.CreateEffectLand(46, -1, b.x, b.y + h / 2);
    PlaySe(Se::kLauncherBoom);
    Remove(b);
}

// Kinds 26-28: up, down after the phase's wait, gone 50 frames on.
void RowBlock(CObjectBase& b) {
    b.pose = 9;
    if (Resting(b)) return;
    if (b.step == 0) {
        b.motion.vx = 0, b.motion.vy = -4.0, b.motion.frictionY = 0.16;
        b.wait = static_cast<uint16_t>(b.phase), b.step = 1;
    } else if (b.step == 1) {
        b.motion.vx = 0, b.motion.vy = 4.0, b.motion.frictionY = 0.16;
        b.wait = 50, b.step = 2;
    } else {
        Remove(b);
    }
}

// Kinds 31, 32: thrown out, then curling one way for 75 frames.
void SwirlBlock(CObjectBase& b, bool clockwise) {
    if (Resting(b)) return;
    const int sign = clockwise ? 1 : -1;
    if (b.step == 0) {
        b.motion.vx = 0, b.motion.vy = -4.0, b.motion.frictionY = 0.16;
        b.pose = 9, b.wait = 60, b.step = 1;
    } else if (b.step == 1) {
        b.priorityOffset = 3;
        const int64_t p = int64_t{b.phase} - 192;
        b.motion.SetVelocity(static_cast<uint8_t>(int64_t{b.phase} - 40 * sign + p + p / 4), 6.0);
        b.pose = 0, b.step = 2;
    } else if (b.step <= 76) {
        ++b.step;
        b.turn = static_cast<uint8_t>(b.turn + 5 * sign);
        b.motion.accel = 0.4, b.motion.speedLimit = 6.0;
        b.motion.accelAngle = static_cast<uint8_t>(b.motion.GetHeading() + 64 * sign);
    } else if (b.step == 77) {
        b.turn = static_cast<uint8_t>(b.turn + 5 * sign);
        b.step = 78;
    }
}


}  // namespace

// A block told to leave (states 2-4) takes the dying step rather than its step machine: it
// would otherwise stay listed, drawn and moving through the ground until culled.
void CObjectBlock::Think(CGameResource& game) {
    if (state >= kStateVanish) {
        CObjectBase::Think(game);
        return;
    }
    const int32_t k = kind->index;
    switch (k) {
        case 1: case 2: Spawner(game, *this, static_cast<uint8_t>(k + 2)); break;
        case 3: case 4: Crumble(game, *this, k == 3); break;
        case 7: case 9: case 15: Mine(game, *this, k); break;
        case 8: case 10: case 11: case 16: case 29: case 30: Burst(*this, k); break;
        case 12: WallPiece(*this); break;
        case 13: ThrownBlock(game, *this); break;
        case 14: HeldBlock(game, *this); break;
        case 17:
            if (++step >= 24) Remove(*this);
            break;
        case 18: Drifter(*this); break;
        case 19: FallingStone(game, *this); break;
        case 20:
            if (++step >= phase) {
                Remove(*this);
                SpawnDeathEffect(game);
            }
            break;
        case 21: case 22: Nest(game, *this, k == 21); break;
        case 23: CrackingRock(game, *this); break;
        case 26: case 27: case 28: RowBlock(*this); break;
        case 31: case 32: SwirlBlock(*this, k == 32); break;
        default: break;
    }
}

void CGameResource::CheckBlockGroup(bool& anyFound, bool& allStruck) {
    anyFound = false;
    allStruck = true;
    for (const ObjectPtr& o : objects) {
        if (!IsKind(*o, kTypeBlock, kGroupBlock)) continue;
        anyFound = true;
        if (o->phase < kStruck) allStruck = false;
    }
    if (!anyFound || !allStruck) return;
    for (const ObjectPtr& o : objects) {
        if (IsKind(*o, kTypeBlock, kGroupBlock)) o->phase = kComplete;
    }
}

void CGameResource::ResetBlockGroup() {
    for (const ObjectPtr& o : objects) {
        if (IsKind(*o, kTypeBlock, kGroupBlock)) o->phase = 0;
        if (IsKind(*o, kTypeBlock, kGroupSpark) || IsKind(*o, kTypeEnemy, 71) || IsKind(*o, kTypeEnemy, 72)) {
            o->SetState(kStateVanish);
        }
    }
}
