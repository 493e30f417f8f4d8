// The base behaviour, the dying step: a vanished or killed object turns into score, gauge, an
// item drop and its death effect, then leaves. The death effects are patterns by effect id;
// their draws come from the play generator in a fixed order and number (replays repeat them):
// position draws before a creation, angle draws after it and only when it made an effect.
#include <cmath>
#include <cstdint>

#include "framework/sine_table.h"
#include "game/objects/objects.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

namespace {

// An item kind for each of the drop bytes 252-255.
constexpr uint8_t kFixedDrops[4] = {4, 5, 8, 7};

}  // namespace

void CObjectBase::Think(CGameResource& game) {
    if (state == kStateAlive || state == kStateRemove) return;
    if (state == kStateKilledBySpecial) game.AddGauge(5);
    const int32_t ix = TruncInt(x), iy = TruncInt(y);
    if (state == kStateKilled || state == kStateKilledBySpecial || state == kStateKilledByBlast) {
        if (kind->score != 0) {
            if (GetType() == kTypeItem) {
                game.AddScore(kind->score, ix, iy);
            } else {
                game.QueueKillScore(kind->score, state, ix, iy);
            }
        }
        const int8_t drop = static_cast<int8_t>(kind->drop);
        if (drop > 0) {
            game.progress.dropCounter += drop;
            if (game.progress.dropCounter >= 50) game.SpawnNextItem(ix, iy);
        } else if (kind->drop >= 252) {
            game.SpawnItem(ix, iy, kFixedDrops[kind->drop - 252]);
        }
    }
    if (kind->effect != 0) {
        // Only near the view: within half the hit box's mean side of it.
        const int64_t m = (kind->hitWidth + kind->hitHeight) / 2;
        int32_t cx = 0, cy = 0;
        game.GetCameraOrigin(cx, cy);
        if (cx - m <= ix && ix <= cx + 639 + m && cy - m <= iy && iy <= cy + 479 + m) SpawnDeathEffect(game);
    }
    state = kStateRemove;
}

namespace {

// The effects' motion of a death pattern.
void Launch(IObjectDraw& e, uint8_t angle, double speed) {
    e.motion.vx = CosOf(angle) * speed;
    e.motion.vy = SinOf(angle) * speed;
}

// Braking along the heading by speed / divisor a frame.
void Brake(IObjectDraw& e, uint8_t angle, double speed, double divisor) {
    e.motion.frictionX = std::fabs(speed / divisor * CosOf(angle));
    e.motion.frictionY = std::fabs(speed / divisor * SinOf(angle));
}

// Falling at half the gravity, at most 16 a frame.
void Fall(IObjectDraw& e) {
    e.motion.accelAngle = 64;
    e.motion.accel = 0.06125;
    e.motion.speedLimit = 16.0;
}

void Fade(IObjectDraw& e, int16_t counter, int16_t length, int16_t delay) {
    e.fadeCounter = counter;
    e.fadeLength = length;
    e.fadeDelay = delay;
    e.fadeRepeat = 0;
}

}  // namespace

void CObjectBase::SpawnDeathEffect(CGameResource& game) {
    const int32_t id = kind->effect;
    int32_t cx = 0, cy = 0;
    game.GetCameraOrigin(cx, cy);
    const double sx = x - cx, sy = y - cy;
    const auto r = [&game](uint32_t n) { return static_cast<int32_t>(game.playRand.Get() % n); };
    const auto at = [&](int32_t lifetime, double dx = 0, double dy = 0) {
        return game.CreateEffect(id, lifetime, sx + dx, sy + dy);
    };
    if (id == 34) {
        game.CreateEffectAtWorld(id, -1, x, y);
        game.CreateEffectAtWorld(id + 1, -1, x, y);
    } else if (id >= 47 && id <= 52) {  // a ring of 8
        for (int32_t i = 0; i < 8; ++i) {
            if (CObjectEffect* e = at(-1)) Launch(*e, static_cast<uint8_t>(i * 32 - 12 + r(24)), e->kind->speed);
        }
    } else if ((id >= 53 && id <= 56) || id == 77) {  // a ring of 8 that slows down
        for (int32_t i = 0; i < 8; ++i) {
            CObjectEffect* e = at(32);
            if (e == nullptr) continue;
            const uint8_t a = static_cast<uint8_t>(i * 32 - 12 + r(24));
            Launch(*e, a, e->kind->speed);
            Brake(*e, a, e->kind->speed, 32);
            Fade(*e, 16, 16, 16);
            e->effectReserved = static_cast<uint32_t>(i);  // the variant row
        }
    } else if (id == 61) {  // a scatter of 8, one after another
        for (int32_t i = 0; i < 8; ++i) {
            const int32_t ox = (r(160) + r(160) + r(160)) / 3 - 80;
            const int32_t oy = (r(160) + r(160) + r(160)) / 3 - 80;
            if (CObjectEffect* e = at(-1, ox, oy)) e->startDelay = static_cast<int16_t>(i * 8);
        }
    } else if (id == 63) {  // a falling spray of 16
        for (int32_t i = 0; i < 16; ++i) {
            const int32_t ox = (r(80) + r(80) + r(80)) / 3 - 40;
            const int32_t oy = (r(160) + r(160) + r(160)) / 3 - 80;
            if (CObjectEffect* e = at(-1, ox, oy)) {
                Launch(*e, static_cast<uint8_t>((i + 24) * 2), 1.0);
                e->startDelay = static_cast<int16_t>(i / 4);
            }
        }
    } else if (id == 64 || id == 65) {  // five falling fragments
        const int32_t s = r(3);
        uint8_t base = 128;
        for (int32_t k = 0; k < 5; ++k) {
            if (CObjectEffect* e = at(-1)) {
                Launch(*e, static_cast<uint8_t>(base + r(16) - 8), 2.0);
                Fall(*e);
                Fade(*e, 32, 32, 16);
                e->effectReserved = static_cast<uint32_t>(k * s % 3);
            }
            base = static_cast<uint8_t>(base + k * 25);
        }
    } else if (id >= 66 && id <= 72) {  // four bouncing fragments with after-images
        game.playRand.Get();  // drawn and discarded
        uint8_t base = 128;
        for (int32_t c = 0; c < 512; c += 128) {
            if (CObjectEffectLandShadow* e = game.CreateEffectLandShadow(id, 48, x, y)) {
                Launch(*e, static_cast<uint8_t>(base + r(16) - 8), 2.0);
                Fall(*e);
                Fade(*e, 32, 32, 16);
                e->ResetNodeList(3, 2);
            }
            base = static_cast<uint8_t>(base + c / 3);
        }
    } else if (id >= 73 && id <= 76) {  // a cross of 4 that slows down
        for (int32_t i = 0; i < 4; ++i) {
            CObjectEffect* e = at(-1);
            if (e == nullptr) continue;
            const uint8_t a = static_cast<uint8_t>(i * 64 + 20 + r(24));
            Launch(*e, a, e->kind->speed);
            Brake(*e, a, e->kind->speed, 64);
            Fade(*e, 32, 32, 32);
        }
    } else {
        at(-1);
    }
}

