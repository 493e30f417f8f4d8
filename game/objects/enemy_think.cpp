// The enemies' behaviour: the frame every enemy passes through (the pre-steps of a few kinds,
// the dying step, fade-in, the wait) and the table of 74 kind numbers over 47 bodies. Each
// body is a small step machine on `step`, `wait` and `phase`; most stage enemies change their
// whole plan with the difficulty. Bodies share the moves below (aim, fire, steer, zig-zag).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::Rect;

namespace {

constexpr double kAccel8 = 8.0 / 60;  // 0.1333...: 8.0 reached in 60 frames

// One run of a body: the enemy, the play state, the player's centre and the difficulty.
struct Run {
    CGameResource& g;
    CObjectEnemy& e;
    double px;
    double py;
    int32_t difficulty;
    uint8_t kind;

    ObjectMotion& m() { return e.motion; }
    void Next(uint16_t waitFrames = 0) {
        ++e.step;
        e.wait = waitFrames;
    }
    void Pose(uint8_t p, int32_t frames = 0) {
        e.pose = p;
        e.poseTimer = frames;
    }
    uint8_t Aim() const { return AngleOf(px - e.x, py - e.y); }
    void Velocity(double vx, double vy) {
        m().vx = vx;
        m().vy = vy;
    }
    void Toward(uint8_t a, double v) { Velocity(CosOf(a) * v, SinOf(a) * v); }
    void Accelerate(uint8_t a, double accel, double limit) {
        m().accelAngle = a;
        m().accel = accel;
        m().speedLimit = limit;
    }
    void Steer(double speed, double accel, double limit) { e.SetCourse(*g.player, speed, accel, limit); }
    void Fire(int32_t k, double x, double y, uint8_t a, int32_t trail, double v) { g.FireShots(k, x, y, a, trail, v); }
    void AimedShot(int32_t k) { g.FireAimedShot(k, e.x, e.y, 5.0); }
    int32_t CameraX() const {
        int32_t x = 0, y = 0;
        g.GetCameraOrigin(x, y);
        return x;
    }
    int32_t CameraY() const {
        int32_t x = 0, y = 0;
        g.GetCameraOrigin(x, y);
        return y;
    }
    bool AboveMiddle() const { return g.IsAboveViewCentre(e.y); }
    bool CentreInView() const {
        const int32_t cx = CameraX(), cy = CameraY();
        return cx <= e.x && e.x <= cx + 639.0 && cy <= e.y && e.y <= cy + 479.0;
    }
    int32_t Cycle() const { return static_cast<int32_t>(e.kind->frames.size()) * e.kind->frameTime; }
    CObjectEnemy* Spawn(int32_t k, double x, double y, int32_t phase, int32_t delay = 0) {
        CObjectEnemy* o = g.CreateEnemy(k, TruncInt(x), TruncInt(y), delay);
        if (o != nullptr) o->phase = phase;
        return o;
    }
    uint32_t Draw() { return g.playRand.Get(); }
};

// The enemy's hit box, truncated: the rectangle its held terrain pieces lie in.
Rect HitBox(const CObjectBase& e) {
    const int32_t left = TruncInt(e.x - e.kind->hitWidth / 2);
    const int32_t top = TruncInt(e.y - e.kind->hitHeight / 2);
    return {left, top, left + e.kind->hitWidth, top + e.kind->hitHeight};
}

// ---- moves shared by the bodies

// A carrier's launch (phase -1) drifts down for 40 frames before its own plan; true while the
// plan waits.
bool Entering(Run& r) {
    if (r.e.phase != -1) return false;
    if (r.e.step == 0) {
        r.Velocity(1.0, 4.0);
        r.m().frictionX = 0;
        r.m().frictionY = 1.0 / 15;
        r.Pose(8);
        r.Next(40);
    } else {
        r.e.phase = 0;
        r.e.step = 0;
        r.Pose(0);
        r.m().frictionX = r.m().frictionY = 0;
    }
    return true;
}

// Down and up in turns: n frames accelerating by s / n toward s, the first half-way down.
void ZigZag(Run& r, double s, uint16_t n) {
    if (r.e.step == 0) r.Velocity(-s / 2, s / 2);
    r.Accelerate(r.e.step % 2 == 0 ? 64 : 192, s / n, s);
    r.Next(n);
}

// ---- bodies without difficulty plans (kinds 0-8, 23-39)

void Idle(Run& r) {
    if (r.e.step == 0) r.Next(30);
    else if (r.e.step == 1) r.Next();
}

// One animation cycle, the last third in pose 8.
void Burst(Run& r) {
    ++r.e.step;
    const int32_t n = r.Cycle();
    if (r.e.step >= n) r.e.SetState(kStateRemove);
    if (r.e.step == n - n / 3) r.Pose(8);
}

void Chime(Run& r) {
    if (r.e.step != 0) return;
    PlaySe(r.kind == 3 ? Se::kEnemyAppears : Se::kIceSpike);
    r.Next();
}

// A thrown piece that comes back to the boss and heals it.
void Boomerang(Run& r) {
    CObjectEnemy& e = r.e;
    switch (e.step) {
        case 0: PlaySe(Se::kHealPieceOut); r.Next(30); return;
        case 1:
            r.Toward(e.facing, 8.0);
            r.Accelerate(static_cast<uint8_t>(e.facing + 128), kAccel8, 8.0);
            r.Pose(0);
            r.Next();
            return;
        case 2:
            if (e.phase == 1) r.Pose(8), PlaySe(Se::kHealPieceCaught), r.Next();
            return;
        default: break;
    }
    double bx = 0, by = 0;
    r.g.GetBossPosition(&bx, &by);
    if (std::fabs(bx - e.x) < 32 && std::fabs(by - e.y) < 32) {
        e.SetState(kStateRemove);
        r.g.SpawnBurst(48, 48, e.x, e.y);
        r.g.AddBossHp(e.kind->power);
        return;
    }
    const uint8_t a = AngleOf(bx - e.x, by - e.y);
    r.m().TurnToward(8, a);
    r.Accelerate(a, 0.8, 8.0);
}

void BossSpark(Run& r) {
    if (r.e.step == 0) PlaySe(Se::kEnemyAppears);
    ++r.e.step;
    if (r.e.step >= 3) r.Pose(22);
    double bx = 0, by = 0;
    r.g.GetBossPosition(&bx, &by);
    if (std::hypot(bx - r.e.x, by - r.e.y) < r.e.kind->hitWidth) r.e.SetState(kStateVanish);
}

void Sweeper(Run& r) {
    if (r.e.step != 0) return;
    PlaySe(Se::kComet);
    r.Next();
    switch (r.difficulty) {
        case 0: r.Velocity((-2.0 - r.e.phase) * 2, 0); break;
        case 1: r.e.x -= 600, r.e.y -= 32, r.Velocity(r.e.phase * 2.0 + 4, 0); break;
        default: r.e.x -= 200, r.e.y -= 32, r.Velocity(-0.3, 0); break;
    }
}

void Flash(Run& r) {
    if (r.e.step == 0) PlaySe(Se::kChick), r.Pose(9), r.Next(2);
    else if (r.e.step == 1) r.Pose(0), r.Next();
}

// Up to three volleys, each once the player has passed to its left.
void Turret(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        e.y += 28;
        r.Next(120);
    } else if (e.step % 2 == 1) {
        if (e.step <= 5 && r.px <= e.x) r.Pose(3, 45), r.Next(30);
    } else {
        const uint8_t a = r.Aim();
        if (r.kind == 26) {
            r.Fire(9, e.x - 16, e.y - 16, a, 2, 4.0);
        } else {
            for (int d : {-16, 0, 16}) r.Fire(9, e.x - 16, e.y - 16, static_cast<uint8_t>(a + d), 2, 4.0);
        }
        r.Next(120);
    }
}

void Drifter(Run& r) {
    if (r.e.step == 0) r.Velocity(-1.0, 0), r.Next();
}

void Jumper(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        Drifter(r);
    } else if (e.step == 1) {
        if (std::fabs(r.px - e.x) < 100) r.m().frictionX = 0.03, r.Next(30);
    } else if (e.step == 2) {
        r.Velocity(-1.0 + CosOf(192) * 8.0, SinOf(192) * 8.0);
        r.m().frictionX = r.m().frictionY = 0;
        PlaySe(Se::kJump);
        r.Next();
    }
}

void Waver(Run& r) { ZigZag(r, r.kind == 30 ? 2.0 : 4.0, r.kind == 30 ? 60 : 40); }

// Rises, brakes to a stop in 60 frames, fires once and is gone.
void Popper(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        r.Velocity(-0.5, -4.0);
        r.Accelerate(64, 4.0 / 90, 4.0);
        r.Next(60);
    } else if (e.step == 1) {
        r.m().SetFrictionByAngle(static_cast<uint8_t>(r.m().GetHeading()), r.m().Speed() / 60);
        r.m().accel = 0;
        r.Next(60);
    } else if (e.step == 2) {
        e.SetState(kStateRemove);
        if (r.kind == 32) r.Fire(11, e.x, e.y, 104, 0, 8.0);
        else r.Fire(12, e.x, e.y, std::clamp<uint8_t>(r.Aim(), 80, 176), 0, 8.0);
    }
}

void Riser(Run& r) {
    if (r.e.step != 0) return;
    r.Velocity(0, 0);
    r.Accelerate(192, (r.e.phase + 3) / 1500.0, 16.0);
    r.Next();
}

void RiserPosed(Run& r) {
    if (r.e.step == 0) r.Pose(8);
    Riser(r);
}

void Stand(Run& r) { r.Pose(12); }

void StandLow(Run& r) {
    if (r.e.step == 0) r.e.y += 8, r.Next();
    r.Pose(12);
}

// ---- bodies with difficulty plans (kinds 9-22)

void Diver(Run& r) {
    if (Entering(r)) return;
    CObjectEnemy& e = r.e;
    if (r.difficulty == 0) {
        if (e.step == 0) r.Velocity(-2.0, 0);
        if (r.kind == 10 && e.step == 90) r.Pose(3, 30);
        if (r.kind == 10 && e.step == 120) r.AimedShot(5);
        ++e.step;
    } else if (r.difficulty == 1) {
        if (e.step == 0) r.Velocity(-3.0, 0), r.Next(90);
        else if (e.step == 1) r.Velocity(0, r.AboveMiddle() ? 3.0 : -3.0), r.Next();
        else if (e.step == 2 && r.kind == 10 && std::fabs(r.py - e.y) < 32) r.Velocity(-3.0, 0), r.Next();
    } else {
        const double speed = r.kind == 9 ? 6.0 : 4.0;
        const uint16_t last = r.kind == 9 ? 8 : 6;
        if (e.step == 0) {
            r.Steer(speed, 0, 0), r.Next(45);
        } else if (e.step <= last) {
            if (e.step % 2 == 1) r.m().Clear(), r.Next(20);
            else r.Steer(e.step % 4 == 0 ? speed : -speed, 0, 0), r.Next(30);
        }
    }
}

void Dasher(Run& r) {
    if (Entering(r)) return;
    CObjectEnemy& e = r.e;
    if (r.difficulty == 0) {
        if (e.step == 0) r.Steer(r.kind == 11 ? 3.0 : 5.0, 0, 0), r.Next();
    } else if (r.difficulty == 1) {
        if (e.step == 0) {
            r.Velocity(-8.0, 0), r.Accelerate(0, kAccel8, 8.0), r.Next(90);
        } else if (e.step == 1) {
            r.Accelerate(128, kAccel8, 8.0), r.Next(30);
        } else if (e.step == 2) {
            r.m().Clear();
            r.Accelerate(r.kind == 12 ? r.Aim() : 128, kAccel8, 8.0);
            r.Next();
        }
    } else {
        if (e.step == 0) {
            r.Velocity(-6.0, r.kind == 12 ? (r.AboveMiddle() ? 0.5 : -0.5) : 0);
            r.Accelerate(0, 0.05, 6.0);
            r.Next(90);
        } else if (e.step == 1) {
            r.Pose(3, 30), r.Next(30);
        } else if (r.kind == 11 && e.step == 2) {
            r.AimedShot(4), r.Next();
        } else if (r.kind == 12 && e.step <= 4) {
            r.AimedShot(5), r.Next(15);
        }
    }
}

// Difficulty 1 counts steps 2..120 watching for the player; a sighting adds 1000 (aiming),
// the shot another 1000; at 120 (mod 1000) it dives away left.
void Glider(Run& r) {
    CObjectEnemy& e = r.e;
    if (r.difficulty == 0) {
        if (e.step == 0) r.Velocity(r.kind == 13 ? -3.5 : -5.0, 0), r.Next();
    } else if (r.difficulty == 1) {
        if (e.step == 0) {
            r.Velocity(-4.0, 0), r.Next(60);
            return;
        }
        if (e.step == 1) {
            r.Toward(r.AboveMiddle() ? 32 : 224, 4.0), r.Next();
            return;
        }
        if (e.step <= 120) {
            ++e.step;
            if (std::fabs(r.py - e.y) < 30 && e.x > r.px) r.Pose(3, 16), e.step += 1000;
        } else if (e.step >= 1000 && e.step < 2000) {
            if (e.pose != 3) r.Fire(r.kind == 13 ? 6 : 7, e.x, e.y, 128, 4, 5.0), e.step += 1000;
        } else {
            ++e.step;
        }
        if (e.step % 1000 == 120) r.Velocity(-4.0, 0), ++e.step;
    } else {
        if (e.step == 0) r.Steer(6.0, 0, 0), r.Next();
        else if (r.kind == 14 && e.x > r.px) r.m().TurnToward(2, r.Aim()), e.wait = 4;
    }
}

// Difficulty 2 fades in beside the player, then comes at it.
void Lurker(Run& r) {
    CObjectEnemy& e = r.e;
    r.Pose(11);
    if (r.difficulty == 0) {
        if (e.step == 0) r.Next();
    } else if (r.difficulty == 1) {
        ZigZag(r, r.kind == 15 ? 6.0 : 8.0, r.kind == 15 ? 60 : 80);
    } else if (e.step <= 64) {
        if (e.step == 0) {
            e.alpha = 0;
            e.x = r.px + (r.kind == 15 ? 100 : -100);
            PlaySe(Se::kAmbush);
        }
        r.Pose(8);
        e.alpha = e.alpha < 250 ? static_cast<uint8_t>(e.alpha + 4) : 255;
        ++e.step;
    } else if (e.step == 65) {
        r.Pose(0);
        r.Next();
        if (r.kind == 15) r.Steer(0, 0.4, 6.0);
        else e.SetCourseOffset(*r.g.player, 0.4, 6.0, 0);
    } else if (r.kind == 16) {
        r.m().TurnToward(4, r.Aim());
        e.wait = 8;
    }
}

// Drops still shots (kind 8) as it passes; at difficulty 2 it also dives and fires.
void Bomber(Run& r) {
    if (Entering(r)) return;
    CObjectEnemy& e = r.e;
    const bool k17 = r.kind == 17;
    const auto drop = [&r, &e] { r.Fire(8, e.x, e.y, 0, 0, 0.0); };
    // After a drop: kind 17 is done (step `end`), kind 18 drops again in 40 frames.
    const auto afterDrop = [&](uint16_t end, uint16_t rest) {
        if (k17) e.step = end, e.wait = rest;
        else r.Next(40);
    };
    if (r.difficulty == 0) {
        if (e.step == 0) r.Velocity(-0.5, 0), r.Next(90);
        else if (e.step <= 3) drop(), PlaySe(Se::kShot2), afterDrop(4, 120);
    } else if (r.difficulty == 1) {
        if (e.step == 0) {
            r.Next();
        } else if (e.step == 1) {
            r.Accelerate(std::clamp<uint8_t>(r.Aim(), 96, 160), 0.1, 1.0), r.Next(60);
        } else if (e.step <= 4) {
            drop(), afterDrop(5, 120);
        }
        return;
    }
    if (r.difficulty != 2) return;
    switch (e.step) {
        case 0: r.Velocity(-8.0, 0), r.Accelerate(0, 0.1, 8.0), r.Next(30); return;
        case 1: drop(), r.Next(40); return;
        case 2:
        case 3: drop(), afterDrop(4, 80); return;
        case 4: r.Accelerate(e.y < r.py ? 84 : 172, 0.1, 4.0), r.Next(30); return;
        case 11:
            if (!k17) drop();
            r.Next(30);
            return;
        case 12: drop(), r.Accelerate(r.Aim(), 1.0 / 15, 4.0), r.Next(); return;
        case 13:
            if (std::fabs(r.py - e.y) < 30 && e.x > r.px) r.Pose(3, 30), r.Next(30);
            return;
        case 14: {
            const uint8_t a = r.Aim();
            if (k17) {
                r.Fire(4, e.x - 16, e.y, a, 4, 8.0);
            } else {
                for (int d : {-16, 0, 16}) r.Fire(5, e.x - 16, e.y, static_cast<uint8_t>(a + d), 4, 8.0);
            }
            r.Next();
            return;
        }
        default: break;
    }
    if (e.step < 5 || e.step > 10) return;
    if (e.step % 2 == 1) {
        r.Pose(3, 30);
        r.m().frictionY = kAccel8;
        r.Next(30);
        return;
    }
    if (k17) {
        r.Fire(6, e.x - 16, e.y, 128, 8, 8.0);
    } else {
        r.Fire(7, e.x - 16, e.y - 8, 128, 8, 8.0);
        r.Fire(7, e.x - 16, e.y + 8, 128, 8, 8.0);
    }
    r.Accelerate(e.y < r.py ? 52 : 204, 0.3, 2.0);
    r.m().frictionX = r.m().frictionY = 0;
    r.Next(15);
}

// A ring of 16 shots, one every step: kind 20 all of them, kind 19 every second.
void Spinner(Run& r) {
    CObjectEnemy& e = r.e;
    r.Pose(11);
    if (r.difficulty == 0) {
        if (e.step == 0) r.Next();
        return;
    }
    if (e.step == 0) {
        if (r.difficulty == 1) {
            r.Pose(8);
            e.x -= 704;
            r.Velocity(8.0, 0);
            r.m().accelAngle = 128;
            r.m().accel = 1.0 / 15;
            r.Next(60);
        } else {
            r.Velocity(-8.0, 0), r.Accelerate(0, 8.0 / 90, 8.0), r.Next(30);
        }
    } else if (e.step == 1) {
        r.Pose(3, 30), r.Next(30);
    } else if (e.step <= 17) {
        r.Next(r.difficulty == 1 ? 2 : 0);
        const int32_t s = e.step;
        if (r.kind == 20 || s % 2 == 1) r.Fire(r.kind == 20 ? 5 : 4, e.x, e.y, static_cast<uint8_t>((s - 2) * 16), 0, 4.0);
    }
}

// Launches entering enemies while its centre is in the view.
void Carrier(Run& r) {
    CObjectEnemy& e = r.e;
    r.Pose(13);
    if (e.step == 0) {
        e.x += 32;
        if (r.difficulty == 0) {
            r.Velocity(0.5, 0), r.Next(270);
        } else if (r.difficulty == 1) {
            r.Velocity(0.5, r.AboveMiddle() ? 0.5 : -0.5), r.Accelerate(128, 0.003, 3.0), r.Next(240);
        } else {
            r.Velocity(-3.0, 0.2), r.Accelerate(0, 1.0 / 60, 3.0), r.Next(60);
        }
        return;
    }
    if (!r.CentreInView()) return;
    int32_t launch = -1;
    if (r.difficulty == 0 && e.step <= 4) {
        r.Next(90);
        launch = e.step == 4 ? 12 : 11;
    } else if (r.difficulty == 1 && e.step <= 6) {
        r.Next(120);
        launch = e.step == 3 ? 18 : 17;
    } else if (r.difficulty == 2 && e.step <= 10) {
        if (e.step == 5) r.m().accelAngle = 128;
        r.Next(60);
        launch = e.step % 2 == 1 ? 9 : 10;
    }
    if (launch < 0) return;
    r.Spawn(launch, e.x, e.y, -1);
    PlaySe(Se::kCarrierLaunch);
}

// ---- the later stage enemies and the boss's helpers (kinds 40-73)

void Swooper(Run& r) {
    CObjectEnemy& e = r.e;
    r.Pose(11);
    if (e.step == 0) {
        const uint8_t a = r.Aim();
        r.Toward(static_cast<uint8_t>(r.py <= e.y ? a - 12 : a + 12), 4.0);
        r.Next();
    } else if (r.px < e.x) {
        r.Accelerate(r.Aim(), 0.05, 4.0);
        e.wait = 4;
    }
}

// Comes out of a wall, then bursts into eight shots at two thirds of its animation.
void Mine(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        r.Pose(1);
        e.wait = 60;
    } else if (e.step == 1) {
        switch (e.phase) {
            case 1: e.y -= 32, r.Velocity(0, 8.0); break;
            case 2: e.x -= 32, r.Velocity(8.0, 0); break;
            case 3: e.x += 32, r.Velocity(-8.0, 0); break;
            default: e.y += 32, r.Velocity(0, -8.0); break;
        }
        r.m().frictionX = r.m().frictionY = kAccel8;
        r.Pose(11);
    }
    ++e.step;
    if (e.step == 60) r.Pose(0);
    const int32_t n = r.Cycle();
    if (e.step != n - n / 3) return;
    e.SetState(kStateRemove);
    for (int i = 0; i < 8; ++i) r.Fire(10, e.x, e.y, static_cast<uint8_t>(i * 32), 3, 4.0);
    PlaySe(Se::kShot3);
}

void Slider(Run& r) {
    if (r.e.step == 0) PlaySe(Se::kChick), r.Velocity(-3.0, 0), r.Next();
}

void Floater(Run& r) {
    if (r.e.step == 0) r.Velocity((r.e.phase - 12) / 10.0, 0), r.Next();
}

void Spinning(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        e.phase = TruncInt((e.x + e.y) / 32) % 4;
        r.Steer(3.0, 0, 0);
        r.Next();
    } else {
        e.turn = static_cast<uint8_t>(e.turn - 4);
    }
}

void Crawler(Run& r) {
    if (r.e.step == 0) r.Velocity(-2.0, 0), r.Next();
}

// A column of `phase` members below the head; they leave one after another, 80 frames apart.
void Column(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        if (r.kind == 50) {
            // A column is at most a screen high; the stage map's digit never asks for more.
            const int32_t members = std::clamp(e.phase, 0, 15);
            e.x += 16;
            e.y -= e.phase * 32.0 + 32;
            for (int32_t i = 0; i < members; ++i) r.Spawn(49, e.x, e.y + 32.0 * (i + 1), i + 1);
            e.phase = 0;
        }
        e.wait = static_cast<uint16_t>((e.phase + 1) * 80);
        e.priorityOffset = static_cast<int8_t>(-e.phase);
        ++e.step;
    } else if (e.step == 1) {
        e.priorityOffset = 0;
        r.Velocity(0, -2.0);
        r.m().frictionY = 1.0 / 30;
        r.Next(40);
    } else if (e.step == 2) {
        r.m().Clear();
        r.Accelerate(r.Aim(), 1.0 / 15, 8.0);
        r.Next();
    }
}

// Fires five lobbed enemies at the player while it is on the left and in the view.
void Launcher(Run& r) {
    CObjectEnemy& e = r.e;
    const bool upper = r.kind == 51;
    if (e.step == 0) {
        e.y += upper ? -12 : 12;
        r.Next(60);
        return;
    }
    r.Pose(13);
    if (!r.CentreInView() || e.step > 5 || !(e.x > r.px)) return;
    r.Next(60);
    const double s = std::fabs(e.x - r.px) * 3 / 400 + 3.0;
    const double mx = e.x - 44, my = upper ? e.y - 32 : e.y + 32;
    CObjectEnemy* shell = r.g.CreateEnemy(upper ? 53 : 54, TruncInt(mx), TruncInt(my), 0);
    const uint32_t d = r.Draw();
    if (shell != nullptr) {
        shell->motion.vx = -s;
        shell->motion.vy = upper ? -s : s;
        shell->phase = static_cast<int32_t>(d % 5);
    }
    r.g.CreateEffectLand(46, -1, mx, my);
    PlaySe(Se::kLauncherBoom);
}

void Lobbed(Run& r) {
    if (r.e.step == 0) r.Next();
}

// Homes in after 30 frames; damaged below half its life it splits into four of the next kind.
void Splitter(Run& r) {
    CObjectEnemy& e = r.e;
    ++e.step;
    if (e.step < 30) {
        r.Pose(8);
    } else {
        static constexpr double kSpeed[4] = {0.2, 0.4, 0.8, 1.6};
        r.Steer(kSpeed[r.kind - 55], 0, 0);
        r.m().frictionX = r.m().frictionY = 0;
        r.Pose(0);
    }
    if (!(e.hp < e.kind->life / 2) || r.kind == 58) return;
    e.SetState(kStateRemove);
    PlaySe(Se::kSplitterSplits);
    for (int i = 0; i < 4; ++i) {
        const uint8_t a = static_cast<uint8_t>(64 * i + 32);
        if (CObjectEnemy* part = r.Spawn(r.kind + 1, e.x, e.y, 0)) {
            part->motion.vx = CosOf(a) * 4.0;
            part->motion.vy = SinOf(a) * 4.0;
            part->motion.SetFrictionByAngle(a, 0.1);
        }
    }
}

// Holds four ceiling pieces; shakes when the player comes below, then falls with them.
void Ceiling(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        r.Pose(12);
        e.x += 16;
        for (int i = 0; i < 4; ++i) r.g.CreateLand(5, TruncInt(e.x - 48 + 32 * i), TruncInt(e.y));
        r.Next();
    } else if (e.step == 1) {
        r.Pose(12);
        if (std::fabs(e.x - r.px) < 128 && e.y <= r.py && r.py <= e.y + 240) {
            e.jitter = 1;
            r.Next(30);
        }
    } else if (e.step == 2) {
        e.jitter = 0;
        r.Accelerate(64, 0.1225, 8.0);
        r.Pose(0);
        r.g.RemoveLandOfKind(5, HitBox(e));
        r.Next();
    }
}

// Closes with four terrain pieces once the player is nearer than 200.
void Gate(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        r.Pose(1);
        e.y += e.phase == 0 ? -48 : 48;
        r.Next();
    } else if (e.step == 1) {
        if (r.g.DistanceToPlayer(e) >= 200) return;
        r.Pose(3, 30);
        PlaySe(Se::kGateCloses);
        for (int i = 0; i < 4; ++i) r.g.CreateLand(6, TruncInt(e.x), TruncInt(e.y - 48 + 32 * i));
        r.Next(30);
    } else if (e.step == 2) {
        r.Next();
    } else {
        r.Pose(12);
    }
}

void Homing(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        e.turn = 192;
        r.Velocity(0, -4.0);
        r.m().frictionY = 0.16;
        r.Next(60);
    } else if (e.step == 1) {
        r.Toward(e.facing, 2.0);
        e.priorityOffset = 3;
        r.Next();
    } else {
        const uint8_t h = r.m().TurnToward(2, r.Aim());
        e.turn = h;
        r.Accelerate(h, 0.1, 6.0);
        e.wait = 1;
    }
}

void Shell(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        r.Velocity(0, -4.0);
        r.m().frictionY = 0.16;
        r.Next(60);
    } else if (e.step == 1) {
        r.Toward(e.facing, e.phase);
        r.Accelerate(64, 0.06125, e.phase);
        e.priorityOffset = 3;
        r.Next();
    }
}

void Guard(Run& r) {
    r.e.wait = 180;
    r.Pose(23, 30);
}

// In the boss's hand: a block appears there on the 16th frame.
void Held(Run& r) {
    CObjectEnemy& e = r.e;
    double bx = 0, by = 0;
    r.g.GetBossPosition(&bx, &by);
    e.facing = r.g.GetBossFacing();
    e.x = e.facing == kFacingLeft ? bx + 48 : bx - 48;
    e.y = by;
    ++e.step;
    if (e.step == 16) {
        if (CObjectBlock* b = r.g.CreateBlock(14, TruncInt(e.x), TruncInt(e.y), 0)) b->Think(r.g);
    }
    if (e.step > 120) e.SetState(kStateVanish);
}

// Lobs blocks onto where the player will be; phase 0 throws once, 1 twice, 2 three times.
void Thrower(Run& r) {
    CObjectEnemy& e = r.e;
    ++e.step;
    if (e.step == 45 || (e.step == 70 && e.phase >= 1) || (e.step == 90 && e.phase >= 2)) {
        e.facing = e.x < r.px ? kFacingRight : kFacingLeft;
        double tx = 0, ty = 0;
        r.g.PredictPlayerPosition(tx, ty, 30);
        const int32_t bx = TruncInt(e.facing == 0 ? e.x + 24 : e.x - 24);
        if (CObjectBlock* b = r.g.CreateBlock(15, bx, TruncInt(e.y - 8), 0)) {
            b->motion.vx = (tx - e.x) / 60;
            b->motion.vy = (ty - e.y) / 60 - 0.1225 * 60 / 2;
        }
        PlaySe(Se::kThrow);
    }
    if (e.step > 120) e.SetState(kStateVanish);
}

// Goes beside the player, wobbles, builds a wall of nine blocks that slide at it, and leaves;
// phase 1 builds a second wall from step 16 on.
void WallBuilder(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.moving != 0) return;
    ++e.step;
    const bool second = e.phase == 1 && e.step >= 16;
    const int32_t n = second ? 20 : 10;
    const bool left = e.facing == kFacingLeft;
    const auto wobble = [&r, &e] {
        r.Accelerate(e.facing, 0.8, 4.0);
        e.wait = 10;
    };
    if (e.step == n) {
        e.ResetMotion();
        e.MoveToward(0, 0, 0.5, 10.0, r.px + ((left != second) ? 32 : -32), e.y);
    } else if (e.step > n && e.step <= n + 4) {
        e.facing = static_cast<uint8_t>(e.facing ^ 128);
        wobble();
    } else if (e.step == n + 5) {
        const int32_t cy = r.CameraY();
        for (int k = 0; k < 9; ++k) {
            if (CObjectBlock* b = r.g.CreateBlock(12, TruncInt(e.x), cy + 64 * k, 0)) {
                b->motion.accelAngle = r.px > e.x ? 0 : 128;
                b->motion.accel = 0.015;
                b->motion.speedLimit = 1.5;
                b->alpha = 0;
            }
        }
        PlaySe(Se::kWallBuilt);
        if (e.phase == 1 && !second) {
            const uint8_t toward = r.px > e.x ? 0 : 128;
            if (toward != e.facing) e.facing = toward, wobble();
        } else {
            e.MoveToward(1, 0, 0.5, 10.0, left ? r.CameraX() + 32 : r.CameraX() + 608, e.y);
        }
    } else if (e.step == n + 6) {
        e.SetState(kStateVanish);
    }
}

// Waits for the kind-13 block group to be struck whole.
void GroupWatcher(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        e.wait = static_cast<uint16_t>(e.phase * 75);
        e.phase = 0;
        ++e.step;
    } else if (e.step == 1) {
        bool any = false, ready = false;
        r.g.CheckBlockGroup(any, ready);
        if (!any) e.SetState(kStateVanish);
        else if (ready) r.Pose(3, 30), r.Next(30);
    } else if (e.step == 2) {
        e.phase = 1;
        r.Next(60);
    } else {
        e.SetState(kStateVanish);
    }
}

// Cycles of 75 frames, `phase` + 1 of them: a flash, a trailed block and a slash (kind 72)
// thrown from its hand while it lunges, then it stands back.
void Caster(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        if (e.phase < 0) e.phase = 0;
        r.Next(30);
        return;
    }
    if (e.step == 65535) {
        e.SetState(kStateVanish);
        return;
    }
    const int32_t c = e.step <= 75 ? 0 : (e.step - 76) / 75 + 1;
    if (c > e.phase) {
        e.step = 65535;
        e.wait = 30;
        return;
    }
    const bool left = e.facing == kFacingLeft;
    const double mx = left ? e.x - 47 : e.x + 47;
    switch (e.step - 75 * c) {
        case 1:
            r.Pose(0);
            r.g.CreateEffectLand(87, 30, mx, e.y + 10);
            break;
        case 30:
            if (CObjectBlockShadow* b = r.g.CreateBlockShadow(13, TruncInt(mx), TruncInt(e.y + 10))) {
                b->ResetNodeList(3, 1);
                if (e.phase >= 1) b->phase = 1;
            }
            if (CObjectEnemy* slash = r.Spawn(72, e.x, e.y, c == e.phase ? 60 : 30, 15)) slash->facing = e.facing;
            r.Velocity(left ? -2.0 : 2.0, 0);
            r.m().frictionX = kAccel8;
            break;
        case 45:
            r.Pose(1);
            r.m().Clear();
            break;
        default: break;
    }
    ++e.step;
}

void Slash(Run& r) {
    CObjectEnemy& e = r.e;
    if (e.step == 0) {
        PlaySe(Se::kSwing);
        const bool left = e.facing == kFacingLeft;
        if (CObjectBlock* b = r.g.CreateBlock(17, TruncInt(left ? e.x - 20 : e.x + 20), TruncInt(e.y + 20), 0)) {
            if (!left) b->phase = 1;
        }
    }
    ++e.step;
    if (e.step >= e.phase) e.SetState(kStateRemove);
}

// Crosses the screen casting rings of eight enemies that spiral out; phase >= 2 casts two
// spirals from two points, faster.
void SpiralCaster(Run& r) {
    CObjectEnemy& e = r.e;
    const int32_t cx = r.CameraX();
    if (e.step == 0) {
        r.Next(30);
        if (e.phase != 0) e.phase = 2;
        if (cx + 320 <= e.x) e.phase += 1, e.facing = 32;
        else e.facing = 96;
        return;
    }
    if (e.moving != 0) return;
    const double g = e.phase >= 2 ? 0.45 : 0.225;
    const bool odd = e.phase % 2 != 0;
    const auto moveTo = [&](int32_t tx) { e.MoveToward(1, 0, g, 9.0, tx, e.y); };
    const auto ring = [&](int32_t c) {
        for (int i = 0; i < 8; ++i) {
            const uint8_t a = static_cast<uint8_t>(32 * i + c);
            CObjectEnemy* o = r.g.CreateEnemy(3, TruncInt(e.x + 16 * CosOf(a)), TruncInt(e.y + 16 * SinOf(a)), 0);
            const uint32_t d = r.Draw();
            if (o != nullptr) {
                o->motion.vx = CosOf(a) * 4.0;
                o->motion.vy = SinOf(a) * 4.0;
                o->phase = static_cast<int32_t>(d & 3);
            }
        }
    };
    const int32_t s = e.step;
    if (s == 1) {
        moveTo(e.phase < 2 ? cx + 320 : cx + (odd ? 426 : 213));
        PlaySe(Se::kSpiralStorm);
        r.Next();
    } else if (s >= 2 && s <= 9) {
        e.wait = 6;
        e.facing = static_cast<uint8_t>(e.facing + (8 - (s - 2)) * 14);
        ring((s - 2) * 3);
        ++e.step;
    } else if (s == 10) {
        if (e.phase >= 2) moveTo(cx + (odd ? 213 : 426)), e.step = 11;
        else e.step = 19;
    } else if (s >= 11 && s <= 18) {
        e.wait = 6;
        e.facing = static_cast<uint8_t>(e.facing + (s - 11) * 14 - 112);
        ring(-3 * (s - 11));
        ++e.step;
    } else if (s == 19) {
        moveTo(cx + (odd ? 16 : 624));
        r.Next();
    } else if (s == 20) {
        e.SetState(kStateVanish);
    }
}

using Body = void (*)(Run&);

constexpr Body kBodies[] = {
    Idle, Burst, Chime, Chime, Boomerang, BossSpark, Diver, Dasher, Glider, Lurker, Bomber, Spinner, Carrier,
    Sweeper, Flash, Turret, Drifter, Jumper, Waver, Popper, RiserPosed, Riser, Stand, StandLow, Swooper, Mine,
    Slider, Floater, Spinning, Crawler, Column, Launcher, Lobbed, Splitter, Ceiling, Gate, Homing, Shell, Guard, Held,
    Thrower, WallBuilder, GroupWatcher, Caster, Slash, SpiralCaster,
};
static_assert(std::size(kBodies) == 46);

// Body of each kind number; kNoBody for kinds that only move as they were set going.
constexpr uint8_t kNoBody = 46;
constexpr uint8_t kBodyOfKind[74] = {
    0,  kNoBody, 1,  2,  3,  4,  kNoBody, 5,  5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 14,
    14, 15, 15, 16, 17, 18, 18, 19, 19, 20, 20, 21, 21, 22, 23, 24, 25, kNoBody, kNoBody, kNoBody, 26, 27, 28,
    29, 30, 30, 31, 31, 32, 32, 33, 33, 33, 33, 34, 35, 36, 37, 38, 38, 38, 38, 39, 40, 41, 42, 43, 44, 45,
};

}  // namespace

void CObjectEnemy::Think(CGameResource& game) {
    const uint8_t k = kind->index;
    if (k == 70 && state != kStateAlive && state != kStateVanish) game.ResetBlockGroup();
    // The terrain these two hold goes with them.
    if ((k == 59 || k == 60) && state != kStateAlive) game.RemoveLandOfKind(k == 60 ? 6 : 5, HitBox(*this));
    if (kind->undying != 0 && hp <= 0) {
        switch (k) {
            case 38: case 39: case 42: case 43: case 44: case 45: case 63: case 64: case 65: case 66:
                SetState(kStateKilled);
                break;
            default: break;
        }
    }
    CObjectBase::Think(game);
    if (state != kStateAlive) return;
    if (k == 5 || (k >= 67 && k <= 73 && k != 72)) {
        if (step == 0) alpha = 0;
        alpha = alpha < 240 ? static_cast<uint8_t>(alpha + 8) : 255;
    }
    if (wait != 0) {
        --wait;
        return;
    }
    // The bodies steer by the player; a field without one (only a damaged table) stands still.
    const uint8_t body = k < std::size(kBodyOfKind) ? kBodyOfKind[k] : kNoBody;
    if (!game.player || body >= std::size(kBodies)) return;
    Run run{game, *this, game.player->x, game.player->y, game.GetDifficulty(), k};
    kBodies[body](run);
}
