// The behaviours of the crystal, the reflector, the bosses and their parts, the terrain and
// the shots. The blocks' are in block_think.cpp.
#include <cmath>

#include "game/objects/think_support.h"
#include "game/play/game_resource.h"

using namespace think;

namespace {

uint8_t DropItemAt(const CGameResource& g, uint16_t step) {
    const std::vector<uint8_t>& list = g.itemDropList;
    return list.empty() ? 0 : list[(step & 255) % list.size()];
}

}  // namespace

// ---- crystal: bounces inside the screen after it has entered, five times at most

void CObjectCrystal::Think(CGameResource& game) {
    int32_t sx = 0, sy = 0;
    ScreenOffset(game, *this, sx, sy);
    if (heldFlag == 0 && sx >= 0 && sx <= 640 && sy >= 0 && sy <= 480) heldFlag = 1;  // entered
    if (heldFlag != 0 && bounceCount < 5) BounceOffScreenEdge(game);
    if (state > kStateRemove) {
        game.SpawnItem(TruncInt(x), TruncInt(y), DropItemAt(game, step));
        CObjectBase::Think(game);
        return;
    }
    if (Resting(*this)) return;
    if (step == 0) step = static_cast<uint16_t>(TruncInt(y));  // each crystal starts its cycle apart
    ++step;
    wait = 120;
    game.PickItemPicture(step, heldImage, heldRect);
}

// ---- reflector: a special bursts it into sparks, worth nothing

void CObjectReflect::Think(CGameResource& game) {
    if (GetType() == kTypeReflect && state == kStateKilledBySpecial) {
        angle = static_cast<uint8_t>(angle - 32);
        int32_t sx = 0, sy = 0;
        ScreenOffset(game, *this, sx, sy);
        for (int32_t i = 0; i < 16; ++i) {
            CObjectEffect* e = game.CreateEffect(82, -1, sx, sy);
            // Three draws per spark whether or not it was made, so the generator keeps its order.
            const uint32_t r1 = game.playRand.Get(), r2 = game.playRand.Get(), r3 = game.playRand.Get();
            if (e == nullptr) continue;
            const double speed = (100 + r2 % 100) * e->kind->speed / 100;
            e->motion.SetVelocity(static_cast<uint8_t>(4 * i - 6 + angle + r1 % 12), speed);
            e->motion.frictionX = e->motion.frictionY = speed / 60;
            e->startDelay = static_cast<int16_t>(r3 & 7);
        }
        state = kStateRemove;
        return;
    }
    CObjectBase::Think(game);
    const int32_t k = kind->index;
    if (step != 0 || (k != 3 && k != 8 && (k < 13 || k > 16))) return;
    step = 1;
    turn = static_cast<uint8_t>(motion.GetHeading() - (k == 3 ? 64 : 0));
}

// ---- terrain: piece 4 gives way while the boss runs action 1

void CObjectLand::Think(CGameResource& game) {
    CObjectBase::Think(game);
    const std::list<int32_t>& actions = game.boss.actions;
    if (state == kStateAlive && kind->index == 4 && !actions.empty() && actions.front() == 1) SetState(kStateVanish);
}

// ---- shots

namespace {

// Every fifth frame: a turn of at most 2 toward the hero and a pull toward it.
void Homing(CGameResource& g, CObjectShot& s) {
    const uint8_t a = AngleToPlayer(g, s);
    s.turn = s.motion.TurnToward(2, a);
    s.motion.accelAngle = a, s.motion.accel = 2.0 / 15, s.motion.speedLimit = 8.0;
    s.wait = 4;
}

// Thrown up, slowing to a stop in 60 frames.
void Lob(CObjectShot& s) {
    s.motion.vx = 0, s.motion.vy = -4.0, s.motion.frictionY = 0.16;
    s.wait = 60, s.step = 1;
}

// Kinds 13, 14: lobbed, drifting toward the turn, then split in three.
void Splitter(CGameResource& g, CObjectShot& s, bool wide) {
    if (s.step == 0) {
        Lob(s);
    } else if (s.step == 1) {
        s.motion.SetVelocity(s.turn, 3.0);
        s.motion.accelAngle = static_cast<uint8_t>(s.turn + 128), s.motion.accel = -1.0 / 15, s.motion.speedLimit = 3.0;
        s.priorityOffset = 3, s.wait = 45, s.step = 2;
    } else if (s.step == 2) {
        s.SetState(kStateRemove);
        const int32_t spread = wide ? 48 : 12;
        for (int32_t i = 0; i < 3; ++i) {
            g.FireShots(wide ? 16 : 15, s.x, s.y, static_cast<uint8_t>(s.turn - spread + spread * i), 0, 2.0);
        }
        PlaySe(Se::kShot0);
    }
}

// Kinds 17, 18: lobbed, flung along their facing, then a ring of blocks.
void Scatterer(CGameResource& g, CObjectShot& s, bool fast) {
    if (s.step == 0) {
        Lob(s);
    } else if (s.step == 1) {
        const double speed = fast ? 7.0 : 5.0;
        s.motion.SetVelocity(s.angle, speed);
        s.motion.accelAngle = 64, s.motion.accel = 0.1225, s.motion.speedLimit = speed;
        s.priorityOffset = 3, s.wait = 45, s.step = 2;
    } else if (s.step == 2) {
        s.pose = 3, s.poseTimer = 30, s.wait = 30, s.step = 3;
    } else if (s.step == 3) {
        s.motion.Clear();
        s.pose = 1;
        for (int32_t i = 0; i < 8; ++i) {
            const uint8_t a = static_cast<uint8_t>(43 * i);
            g.CreateBlock(fast ? 29 : 30, OffsetX(s, a, s.kind->hitWidth), OffsetY(s, a, s.kind->hitWidth), i);
        }
        s.SetState(kStateRemove);
    }
}

}  // namespace

void CObjectShot::Think(CGameResource& game) {
    CObjectBase::Think(game);
    if (state != kStateAlive) return;
    if (pose == 6) {  // turned back by the barrier
        SetState(kStateRemove);
        game.ReflectShot(*this);
        return;
    }
    if (Resting(*this)) return;
    const int32_t k = kind->index;
    if (k == 0 && step == 0) {
        step = 1;
        motion.SetVelocity(AngleToPlayer(game, *this), 5.0);
    }
    switch (k) {
        case 8:
            if (step == 0) {
                motion.vx = 0.4, motion.vy = 2.0, motion.frictionY = 1.0 / 30;
                turn = 128, priorityOffset = -2, pose = 8, wait = 40, step = 1;
            } else if (step == 1) {
                motion.vx = -1.0, motion.vy = 0;
                priorityOffset = 0, pose = 0, step = 2;
            } else {
                Homing(game, *this);
            }
            break;
        case 3:
            if (step == 0) PlaySe(Se::kIceRain), step = 1;
            break;
        case 13: case 14: Splitter(game, *this, k == 14); break;
        case 15: case 16:
            if (step == 0) {
                turn = static_cast<uint8_t>(motion.GetHeading());
                priorityOffset = 3, wait = 16, step = 1;
            } else {
                Homing(game, *this);
            }
            break;
        case 17: case 18: Scatterer(game, *this, k == 17); break;
        default: break;
    }
}

// ---- bosses and their parts

namespace {

struct SLauncherRow {
    int32_t count, blockKind, spacing, priorityOffset, rowY, nextWait;
};

// Kinds 14-16: rows of blocks with shots, missiles or swirling blocks between them, and now
// and then one lobbed shell; the boss generator picks the row's pattern.
void Launcher(CGameResource& g, CObjectBoss& b, int32_t k) {
    if (b.step == 0) {
        b.step = 1;
        b.wait = static_cast<uint16_t>(180 + (k == 14 ? 0 : k == 15 ? 120 : 200));
        return;
    }
    ++b.step;
    PlaySe(Se::kLauncherRow);
    const uint32_t p = ((g.bossRand.Get() & 3) + 1) % 4;
    const SLauncherRow row = k == 14 ? SLauncherRow{5, 26, 24, -2, 16, 290}
                             : k == 15 ? SLauncherRow{7, 27, 26, 0, -8, 390}
                                       : SLauncherRow{9, 28, 28, 2, -8, 490};
    int32_t slot = -1;
    if (b.phase != 0 && p != 0) {
        slot = 2 * static_cast<int32_t>(g.bossRand.Get(static_cast<uint32_t>(row.count / 2))) + 1;
        b.phase = 0;
    }
    const double x0 = b.x - b.kind->hitWidth / 2 + 16;
    const int32_t y = TruncInt(b.y + row.rowY);
    const int32_t blockPhase = row.nextWait - 60;
    const int8_t offset = static_cast<int8_t>(row.priorityOffset);
    for (int32_t i = 0; i < row.count; ++i) {
        const int32_t x = TruncInt(x0 + row.spacing * i);
        const uint8_t angle = static_cast<uint8_t>(168 + i * (48 / (row.count - 1)));
        CObjectBase* made = nullptr;
        if (i == slot) {
            if (CObjectEnemy* e = g.CreateEnemy(62, x, y, 0)) {
                e->facing = angle, e->phase = row.count / 2 + 2;
                made = e;
                slot = -1;
            }
        } else if (i % 2 == 0) {
            if ((made = g.CreateBlock(row.blockKind, x, y, 0))) made->phase = blockPhase;
        } else if (p == 0) {
            if (CObjectEnemy* e = g.CreateEnemy(61, x, y, 0)) e->facing = angle, made = e;
        } else if (p == 1) {
            if ((made = g.CreateShot(13 + (b.step & 1), x, y, 0))) made->turn = angle;
        } else if (p == 2) {
            if (CObjectShot* s = g.CreateShot(17 + ((b.step + 1) & 1), x, y, 0)) s->angle = angle, made = s;
        } else {
            if ((made = g.CreateBlock(31 + (b.step & 1), x, y, 0))) made->phase = blockPhase;
        }
        if (made != nullptr) made->priorityOffset = offset;
    }
    if (slot >= 0) b.phase = 1;  // the shell was not made: it stays armed
    b.wait = static_cast<uint16_t>(row.nextWait);
}

// Kinds 21-23: reach out along their animation once, then rest.
void Arm(CGameResource& g, CObjectBoss& b, int32_t k) {
    if (b.phase == -1) {
        b.step = 0;
        const int32_t id = 40 + 2 * (k - 21) + (b.facing == kFacingLeft ? 0 : 1);
        if (CObjectEffectLand* e = g.CreateEffectLand(id, -1, b.x, b.y)) {
            b.phase = static_cast<int32_t>(Cycle(*e->kind));
        }
    }
    if (b.phase == -2 || b.step >= b.phase) {
        b.pose = 1, b.poseTimer = 0;
        return;
    }
    const double sx = b.facing == kFacingLeft ? -1 : 1;
    const int32_t old = b.step++;
    b.pose = 10, b.poseTimer = 0;
    if (k == 21) {
        b.x += sx * (b.step + 36);
        b.y -= 12;
        return;
    }
    const double radius = k == 22 ? 45 : 50;
    uint8_t a = static_cast<uint8_t>(k == 22 ? (old + 29) * 4 : 128 - 6 * b.step);
    if (k == 23 && a < 40) a = 40;
    b.x -= sx * TruncInt(radius * KestraneGameBase2::CosOf(a));
    b.y += TruncInt(radius * KestraneGameBase2::SinOf(a)) - 12;
}

}  // namespace

// A boss or its part never dies by a special; the scripts move them, this gives a few parts
// a life of their own.
void CObjectBoss::Think(CGameResource& game) {
    if (state == kStateKilledBySpecial) state = kStateAlive;
    if (state != kStateAlive) return;
    if (Resting(*this)) return;
    const int32_t k = kind->index;
    if (k >= 14 && k <= 16) {
        Launcher(game, *this, k);
    } else if (k == 17 || k == 24) {
        alpha = alpha < 240 ? static_cast<uint8_t>(alpha + 8) : 255;
    } else if (k >= 21 && k <= 23) {
        Arm(game, *this, k);
    }
}
