// Boss 3's battle script: a swordswoman with three weapons and a mirror shield. She drifts,
// lunges, steps back and evades on her own; her gauge buys the sword combo, the ice rain, the
// ice circle, the dive strike, the blade storm and the shield; a worn-down shield bursts; every
// 5000 HP lost powers her up, and a full second meter brings the finale, six lines of enemies
// across the view and a drop that sweeps them away. The player's finisher freezes her.
#include <algorithm>
#include <cmath>

#include "foundation/math/rand.h"
#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/boss_fight.h"
#include "game/play/game_resource.h"
#include "game/widgets/message_window.h"

namespace {

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

constexpr int32_t kPastEnd = 65535;  // a step past any last step
constexpr int32_t kParked = 65535;   // the partner counter while the burst is queued

enum Boss3Action : int32_t {
    kDrift = 0,
    kOpening = 1,
    kLunge = 2,
    kBackStep = 3,
    kFinale = 7,
    kEvade = 9,
    kPowerUp = 10,
    kSwordCombo = 26,
    kIceRain = 27,
    kIceCircle = 28,
    kDiveStrike = 29,
    kBladeStorm = 30,
    kMirrorShield = 31,
    kMirrorBurst = 32,  // once the shield is worn down
};

enum Boss3Pose : uint8_t {
    kPoseStand = 0,
    kPoseHidden = 1,  // the finale's wait above the view
    kPoseHurt = 2,
    kPoseLeap = 3,
    kPoseDrop = 7,
    kPoseDash = 19,
    kPoseLunge = 20,
    kPoseStorm = 21,
    kPoseShield = 22,
    kPoseSwordReady = 23,
    kPoseSwing = 24,
    kPoseLastSwing = 25,
    kPoseCast = 26,
    kPoseStrike = 27,
};
// Poses of other pieces: the mirror charging its burst (hidden once it has burst), and the ice
// circle's enemies, met by neither the hero nor the barrier until they set off.
constexpr uint8_t kPoseMirrorCharging = 19;
constexpr uint8_t kPoseInert = 9;

class Boss3Script {
public:
    static constexpr bool kStartsChoiceAtOnce = false;

    Boss3Script(CGameResource& g, CObjectBoss& body)
        : g_(g), f_(g.boss), body_(body), hero_(*g.player), frozen_(g.status.finisherCounter > 0) {
        g.GetCameraOrigin(cx_, cy_);
    }

    void Tick();
    void Choose();
    void Pop();
    // The front action's step; false when the step holds.
    bool Step(int32_t action, int32_t step);

private:
    bool Right() const { return body_.facing != kFacingLeft; }
    double Forward() const { return Right() ? 1.0 : -1.0; }
    double Distance() const { return std::hypot(hero_.x - body_.x, hero_.y - body_.y); }
    void Turn() { g_.FaceBossToPlayer(); }
    void Trail(uint16_t images, uint16_t spacing) { body_.ResetNodeList(images, spacing); }
    void TrailOff() { body_.ResetNodeList(0, 0); }
    bool Steering() const { return body_.moving != 0; }
    // A velocity of v away from the facing, with the same friction on both axes.
    void Backward(double v, double friction) {
        body_.motion.vx = -Forward() * v;
        body_.motion.vy = 0;
        body_.motion.frictionX = body_.motion.frictionY = friction;
    }
    CObjectEnemy* Weapon(int32_t offset) const { return BossElement(g_.bossObjects, f_.snappedPart + offset); }
    CObjectEnemy* Mirror() const { return f_.heldPart != 0 ? BossElement(g_.bossObjects, f_.heldPart) : nullptr; }
    // Where the shield is raised: a part's spacing before the body. The mirror's own place is
    // kept only while the ice rain's cooldown runs, so its burst and its end start here.
    double MirrorX() const { return body_.x + Forward() * g_.GetBossPartSpacing(); }
    double MirrorY() const { return body_.y - 4; }
    // Makes a weapon the active one: it starts its reach, facing as given.
    void ArmWeapon(int32_t offset, uint8_t facing) {
        f_.weaponOffset = offset;
        if (CObjectEnemy* w = Weapon(offset)) w->phase = -1, w->facing = facing;
    }
    // An effect of the front list at the body's place on the screen.
    CObjectEffect* FrontEffect(int32_t id, int32_t lifetime) {
        return g_.CreateFrontEffect(id, lifetime, body_.x - cx_, body_.y - cy_);
    }
    static void Fade(IObjectDraw* o, int32_t length, int32_t delay) {
        if (o != nullptr) StartFade(*o, length, delay);
    }

    void Aura();
    bool EndEarly(int32_t action);
    void Evade(int32_t step);
    void BackStep();
    void PowerUp();
    void SwordCombo(int32_t step);
    void IceRain(int32_t step);
    void IceCircle(int32_t step);
    void DiveStrike(int32_t step);
    void BladeStorm(int32_t step);
    void MirrorShield(int32_t step);
    void MirrorBurst(int32_t step);
    bool Finale(int32_t step);
    void LayLine(int32_t step);
    bool Sweep();

    CGameResource& g_;
    SBossFight& f_;
    CObjectBoss& body_;
    CObjectAvatar& hero_;
    const bool frozen_;
    int32_t cx_ = 0, cy_ = 0;
};

// Every frame, waiting or not; a choice starts its action in the next frame.
void Boss3Script::Tick() {
    if (frozen_) f_.partnerCounter = 0, f_.waitFrames = 0;
    if (f_.cooldown > 0) --f_.cooldown;
    if (PoweredUp(f_)) f_.gauge = std::min(f_.gauge + 5, f_.gaugeCap);
    const bool hurtable = body_.pose == kPoseStand || body_.pose == kPoseLunge || body_.pose == kPoseHurt;
    if ((hurtable || frozen_) && f_.flinchCountdown > 0) SetPose(body_, kPoseHurt, 4);
    Aura();
    body_.phase = f_.damageScale > 100 ? 1 : 0;
    if (f_.partnerCounter == 1) {
        f_.partnerCounter = 0;
        if (CObjectEnemy* mirror = Mirror()) {
            mirror->x = MirrorX(), mirror->y = MirrorY();
            mirror->SpawnDeathEffect(g_);
        }
    }
}

void Boss3Script::Aura() {
    if (f_.powerUpCountdown < 1) {
        if (g_.bossAura > 0) --g_.bossAura;
        return;
    }
    if (--f_.powerUpCountdown % 10 == 0) {
        if (CObjectEffect* e = FrontEffect(89, 24)) e->effectReserved = g_.playRand.Get() & 0xFFF;
    }
    if (g_.bossAura < 32) ++g_.bossAura;
}

void Boss3Script::Choose() {
    const double d = Distance();  // nothing has moved since the frame began
    Turn();
    if (frozen_) {
        body_.ResetMotion();
        return;
    }
    if (f_.idleCountdown > 0) {
        --f_.idleCountdown;
        return;
    }
    if (f_.flinchCountdown > 0) {
        if (f_.holdTimer < 1) return;
        f_.holdTimer -= f_.phase >= 1 ? 2 : 1;
        if (f_.holdTimer > 0) return;
    }
    f_.holdTimer = 0;
    const auto push = [&](int32_t a) { g_.PushBossAction(a); };
    const auto spend = [&](int32_t cost, int32_t a) {
        f_.gauge -= cost;
        push(a);
    };
    if (!g_.IsBossOnScreen(64)) return push(kEvade);
    if (f_.partnerCounter >= 1 && f_.partnerCounter <= 999) {
        f_.partnerCounter = kParked;
        return push(kMirrorBurst);
    }
    if (f_.secondMeter >= 10000 && f_.powerUpCountdown <= (f_.phase == 0 ? 0 : 600)) {
        f_.secondMeter = 0;
        push(kFinale);
        f_.phase = 1;
        return;
    }
    if ((f_.actionCounter + 1) * 10000 / 2 <= f_.maxHp - f_.hp && !PoweredUp(f_)) {
        ++f_.actionCounter;
        return push(kPowerUp);
    }
    const double dy = std::fabs(body_.y - hero_.y);
    if (d < 80) return push(kBackStep);
    if (d > 200 && dy > 120 && f_.gauge < 5000) return push(kLunge);
    if (f_.gauge < 1000) return push(kDrift);
    if (dy <= 48 && d > 100 && d < 200) return push(kSwordCombo);
    const bool shield = f_.partnerCounter != 0;
    if (d > 200 && f_.gauge > 4000 && f_.phase > 0) return spend(4000, kIceCircle);
    if (d < 100 && f_.gauge > 3000 && !shield) {
        spend(3000, kMirrorShield);
        return push(kEvade);
    }
    if (d > 150 && f_.gauge > 1000 && f_.cooldown == 0 && f_.secondMeter < 8000) return spend(1000, kIceRain);
    if (d > 80 && d < 250 && dy <= 120) return f_.gauge > 3000 ? spend(3000, kDiveStrike) : push(kSwordCombo);
    if (f_.gauge > 3000 && !shield) {
        spend(3000, kBladeStorm);
        return push(kLunge);
    }
    push(kSwordCombo);
}

void Boss3Script::Pop() {
    const int32_t a = f_.actions.front();
    g_.PopBossAction();
    const bool scaled = a == kFinale || a == kSwordCombo || a == kIceRain || a == kIceCircle || a == kBladeStorm ||
                        a == kMirrorBurst;
    if (scaled && f_.damageScale > 100) f_.damageScale -= 15;
}

bool Boss3Script::EndEarly(int32_t action) {
    switch (action) {
        case kSwordCombo:
            f_.weaponOffset = -1;
            [[fallthrough]];
        case kIceRain:
        case kBladeStorm:
            f_.step = kPastEnd;
            SetPose(body_, kPoseStand);
            return true;
        case kIceCircle:
            if (f_.step < 3) f_.step = 3;
            return false;
        case kDiveStrike:
            f_.step = f_.lastStep + 1;
            SetPose(body_, kPoseStand);
            f_.weaponOffset = -1;
            TrailOff();
            return true;
        case kMirrorBurst:
            f_.step = kPastEnd;
            SetPose(body_, kPoseStand);
            f_.partnerCounter = 0;
            return true;
        default: return false;
    }
}

bool Boss3Script::Step(int32_t action, int32_t step) {
    if (frozen_) {
        if (EndEarly(action)) return false;
        step = f_.step;  // the ice circle goes on at its end
    }
    switch (action) {
        case kDrift:
            f_.lastStep = 45;
            Turn();
            body_.motion.SetVelocity(static_cast<uint8_t>(AngleToHero(body_, hero_) + 128), 0.2);
            break;
        case kOpening:
            g_.PushBossAction(kDrift);
            g_.PushBossAction(kEvade);
            break;
        case kLunge:
            if (step == 0) {
                Turn();
                StopSteering(body_);
                body_.motion.accel = 0;
                SetPose(body_, kPoseLunge);
                const double tx = Right() ? hero_.x - 80 : hero_.x + 80;
                Launch(body_, AngleOf(tx - body_.x, hero_.y - body_.y), 5.0, 1.0 / 12);
                f_.waitFrames = 40;
                f_.holdTimer = 60;
            }
            break;
        case kBackStep:
            if (step == 0) BackStep();
            break;
        case kEvade:
            Evade(step);
            return step != 1 || !Steering() || f_.flinchCountdown > 0 || frozen_;
        case kPowerUp:
            if (step == 0) PowerUp();
            break;
        case kSwordCombo: SwordCombo(step); break;
        case kIceRain: IceRain(step); break;
        case kIceCircle: IceCircle(step); break;
        case kDiveStrike: DiveStrike(step); break;
        case kBladeStorm: BladeStorm(step); break;
        case kMirrorShield: MirrorShield(step); break;
        case kMirrorBurst: MirrorBurst(step); break;
        case kFinale: return Finale(step);
        default: break;
    }
    return true;
}

void Boss3Script::Evade(int32_t step) {
    if (step == 0) {
        f_.lastStep = 1;
        int32_t x = 0, y = 0;
        g_.GetEvadePoint(&x, &y, 150);
        body_.MoveToward(1, 6.0, 0.6, 6.0, x, y);
    } else if (step == 1) {
        Turn();
        if (PoweredUp(f_)) f_.holdTimer = 60;
    }
}

void Boss3Script::BackStep() {
    Turn();
    StopSteering(body_);
    SetPose(body_, kPoseStand);
    int32_t n = PoweredUp(f_) ? 45 : 60;
    double speed = 7.0;
    const double room = Right() ? body_.x - cx_ : cx_ + CGameResource::kScreenWidth - body_.x;
    if (n * 7.0 / 2 > room) {
        speed = (room - 32) * 2 / (n / 2);
        n /= 2;
    }
    body_.motion.vx = -Forward() * speed;
    body_.motion.vy = 0;
    // Near the edge the speed can turn forward; the braking still brings it to rest.
    body_.motion.frictionX = std::fabs(speed) / n;
    f_.waitFrames = TruncInt(n * 0.8);
}

void Boss3Script::PowerUp() {
    f_.lastStep = 1;
    StopSteering(body_);
    Fade(FrontEffect(84, -1), 15, 45);
    for (const int16_t delay : {6, 18}) {
        CObjectEffect* e = FrontEffect(86, 40);
        Fade(e, 30, 10);
        if (e != nullptr) e->startDelay = delay;
    }
    f_.waitFrames = 60;
    f_.powerUpCountdown = 1200;
    SetPose(body_, kPoseCast, 60);
    f_.holdTimer = 60;
    PlaySe(Se::kBoss3PowerUp);
}

void Boss3Script::SwordCombo(int32_t step) {
    if (step == 0) {
        f_.lastStep = 6;
        StopSteering(body_);
        Turn();
        body_.motion.accel = 0;
        body_.motion.vx = -Forward() * 4.0;
        body_.motion.vy = hero_.y > body_.y ? 4.0 : -4.0;
        body_.motion.frictionX = body_.motion.frictionY = 0.1;
        f_.waitFrames = 39;
        SetPose(body_, kPoseSwordReady, 20);
        f_.savedAngle = body_.facing;
    } else if (step % 2 == 1 && step <= 5) {
        double speed = PoweredUp(f_) ? 7.0 : 4.0;
        if (step == 5) speed *= 2;
        const uint8_t heading = TurnAngleToward(f_.savedAngle, PoweredUp(f_) ? 10 : 8, AngleToHero(body_, hero_));
        f_.savedAngle = heading;
        Launch(body_, heading, speed, speed / 30);
        const int32_t time = step == 5 ? 40 : 12;
        SetPose(body_, step == 5 ? kPoseLastSwing : kPoseSwing, time);
        f_.waitFrames = time - 1;
        body_.x += Forward() * 24;
        ArmWeapon(0, body_.facing);
    } else if (step == 2 || step == 4) {
        f_.waitFrames = 3;
    } else if (step == 6) {
        f_.waitFrames = 30;
        f_.weaponOffset = -1;
        SetPose(body_, kPoseStand);
        Launch(body_, static_cast<uint8_t>(f_.savedAngle + 128), 1.0, 1.0 / 30);
    }
}

void Boss3Script::IceRain(int32_t step) {
    if (step == 0) {
        f_.lastStep = 19;
        StopSteering(body_);
        Turn();
        f_.savedAngle = AngleToHero(body_, hero_);
        const double room = body_.x - cx_;
        const bool atEdge = Right() ? room < 32 : room > CGameResource::kScreenWidth - 32;
        body_.motion.vx = atEdge ? 0 : -Forward() * 4.0;
        body_.motion.vy = 4.0;
        body_.motion.frictionX = body_.motion.frictionY = 0.1333;
        f_.waitFrames = 30;
    } else if (step == 1) {
        Turn();
        SetPose(body_, kPoseCast, 60);
        Backward(2.0, 0.0333);
    } else if (step <= 18) {
        const int32_t k = step - 2;
        const int32_t jitter = ((k / 4) * 13 + (k % 4) * 9) % 16 - 8;
        const int32_t x = TruncInt(body_.x + Forward() * 16) + jitter;
        if (CObjectEnemy* e = g_.CreateEnemy(4, x, TruncInt(body_.y - 20), 0)) e->motion.SetVelocity(192, 16.0);
        f_.waitFrames = 2;
    } else if (step == 19) {
        // Seeded from the HP band, so that one band of 1000 always rains alike.
        tovarineGameSDK3rd::Math::CRand rain;
        rain.SetSeed(static_cast<uint32_t>(f_.hp / 1000));
        const auto fall = [&](int32_t x0, int32_t delay, uint8_t angle) {
            for (int32_t i = 0; i < 16; ++i) {
                const int32_t d = delay + static_cast<int32_t>(rain.Get() % 64);
                if (CObjectShot* s = g_.CreateShot(3, cx_ + x0 + 40 * i, cy_ - 24, d)) s->motion.SetVelocity(angle, 8.0);
            }
        };
        fall(0, 120, 56);
        f_.cooldown = 152;
        if (PoweredUp(f_)) {
            fall(80, 240, 72);
            f_.cooldown = 272;
        }
        f_.waitFrames = 30;
    }
}

void Boss3Script::IceCircle(int32_t step) {
    if (step == 0) {
        f_.lastStep = 10;
        StopSteering(body_);
        Turn();
        f_.savedAngle = AngleToHero(body_, hero_);
        Backward(2.0, 0.0333);
        f_.waitFrames = 90;
    } else if (step == 1) {
        SetPose(body_, kPoseCast);
        if (CObjectEffect* e = FrontEffect(90, 0)) e->alpha = 128;
        f_.waitFrames = 30;
        const int32_t n = PoweredUp(f_) ? 9 : 6;
        const double radius = PoweredUp(f_) ? 160 : 128;
        for (int32_t k = 0; k < n; ++k) {
            const uint8_t a = static_cast<uint8_t>(192 + k * (255 / n));
            const int32_t x = TruncInt(hero_.x + CosOf(a) * radius), y = TruncInt(hero_.y + SinOf(a) * radius);
            if (CObjectEnemyShadow* e = g_.CreateEnemyShadow(5, x, y, k * (60 / n))) {
                e->ResetNodeList(2, 2);
                e->pose = kPoseInert, e->poseTimer = 0;
                e->facing = static_cast<uint8_t>(a + 128);
            }
        }
    } else if (step == 2) {
        f_.waitFrames = 120;
    } else if (step == 3) {
        for (CGameResource::EffectPtr& e : g_.frontEffects) {
            if (!e.isNull() && e->kind->frameTime == -8) StartFade(*e, 32, 0);
        }
        f_.waitFrames = 30;
        SetPose(body_, kPoseStand);
    }
}

void Boss3Script::DiveStrike(int32_t step) {
    const double s = PoweredUp(f_) ? 9.0 : 6.0;
    if (step == 0) {
        f_.lastStep = 4;
        StopSteering(body_);
        Turn();
        const double reach = PoweredUp(f_) ? 192 : 128;
        const double tx = hero_.x - Forward() * reach, ty = hero_.y + (PoweredUp(f_) ? 72 : 48);
        const double dist = std::hypot(tx - body_.x, ty - body_.y);
        const double v = dist / 100 + 6.0;
        const int32_t n = std::max(20, TruncInt(dist * 2 / v));
        Launch(body_, AngleOf(tx - body_.x, ty - body_.y), v, v / n);
        f_.waitFrames = PoweredUp(f_) ? 15 : n;
        SetPose(body_, kPoseLunge);
        f_.savedAngle = body_.facing;
        PlaySe(Se::kDive);
    } else if (step == 2) {
        StopSteering(body_);
        f_.waitFrames = 10;
        Trail(2, 2);
        body_.motion.vx = Forward() * s;
        body_.motion.vy = 0;
        body_.motion.frictionX = s / 120;
        SetPose(body_, kPoseDash);
    } else if (step == 3) {
        body_.motion.vy -= 6.0;
        body_.motion.SetFrictionByAngle(static_cast<uint8_t>(body_.motion.GetHeading()), body_.motion.Speed() / 40);
        SetPose(body_, kPoseLeap, 20);
        ArmWeapon(1, f_.savedAngle);
        f_.waitFrames = 19;
    } else if (step == 4) {
        SetPose(body_, kPoseStand);
        TrailOff();
        f_.waitFrames = 20;
        f_.weaponOffset = -1;
        f_.damageScale = 130;
        Fade(FrontEffect(84, -1), 15, 30);
    }
}

void Boss3Script::BladeStorm(int32_t step) {
    const int32_t n = PoweredUp(f_) ? 12 : 8;
    if (step == 0) {
        f_.lastStep = 4 * n + 2;
        StopSteering(body_);
        Turn();
        f_.savedAngle = AngleToHero(body_, hero_);
        Backward(1.0, 1.0 / 60);
        SetPose(body_, kPoseStorm);
        f_.savedX = hero_.x, f_.savedY = hero_.y;
        f_.waitFrames = 30;
    } else if (step <= 4 * n) {
        if (step == 1) PlaySe(Se::kSpiralStorm);
        Turn();
        const int32_t k = 2 * step + 1;
        const uint8_t a = static_cast<uint8_t>(AngleToHero(body_, hero_) + TruncInt(20 * SinOf(static_cast<uint8_t>(k * 20))));
        const double speed = (k * 3 % 5) - 3 + 6.0;
        const int32_t x = TruncInt(body_.x + Forward() * 24), y = TruncInt(body_.y - 24);
        for (int i = 0; i < 2; ++i) {
            if (CObjectEnemy* e = g_.CreateEnemy(6, x, y, 0)) {
                e->motion.SetVelocity(a, speed);
                e->facing = body_.facing;
            }
        }
        f_.waitFrames = 2;
    } else {
        f_.waitFrames = 30;
        SetPose(body_, kPoseStand);
    }
}

void Boss3Script::MirrorShield(int32_t step) {
    if (step == 0) {
        f_.lastStep = 1;
        StopSteering(body_);
        Turn();
        g_.CreateEffectLand(87, 30, MirrorX(), MirrorY());
        SetPose(body_, kPoseShield, 45);
        f_.waitFrames = 30;
    } else if (step == 1) {
        Turn();
        CObjectEnemy* mirror = Mirror();
        if (mirror != nullptr) {
            f_.partnerCounter = mirror->kind->life;
            mirror->alpha = 0;
        }
        f_.waitFrames = 30;
    }
}

void Boss3Script::MirrorBurst(int32_t step) {
    CObjectEnemy* mirror = Mirror();
    if (step == 0) {
        f_.lastStep = 2;
        StopSteering(body_);
        Turn();
        Backward(2.0, 0.0333);
        SetPose(body_, kPoseStand);
        f_.waitFrames = 60;
        if (mirror != nullptr) mirror->pose = kPoseMirrorCharging, mirror->poseTimer = 65535;
    } else if (step == 1) {
        Turn();
        f_.savedAngle = AngleToHero(body_, hero_);
        f_.partnerCounter = 0;
        const double speed = PoweredUp(f_) ? 12.0 : 9.0;
        if (mirror != nullptr) {
            mirror->pose = kPoseHidden, mirror->poseTimer = 0;
            if (CObjectBlockShadow* b = g_.CreateBlockShadow(20, TruncInt(MirrorX()), TruncInt(MirrorY()))) {
                b->motion.SetVelocity(f_.savedAngle, speed);
                b->ResetNodeList(2, 2);
                b->phase = 60;
                b->turn = f_.savedAngle;
            }
        }
        Launch(body_, f_.savedAngle, speed * 0.95, speed * 0.95 / 60);
        PlaySe(Se::kMirrorBurst);
        SetPose(body_, kPoseDash, 60);
        f_.waitFrames = 60;
    }
}

bool Boss3Script::Finale(int32_t step) {
    if (step == 0) {
        f_.lastStep = 12;
        g_.StartCutin(Cutin::kBoss3Finale, g_.Config().reduceMemory);
    } else if (step == 1) {
        body_.y = -96;
        body_.ResetMotion();
        Trail(1, 6);
        SetPose(body_, kPoseHidden);
        f_.waitFrames = 30;
    } else if (step <= 7) {
        body_.y = -96;
        LayLine(step);
    } else if (step == 8) {
        if (hero_.coolTimer != 0) return false;
        body_.x = hero_.x, body_.y = -32;
        SetPose(body_, kPoseDrop);
        body_.facing = kFacingLeft;
        body_.ResetMotion();
        body_.motion.accelAngle = 64;
        body_.motion.accel = 0.533;
        body_.motion.speedLimit = 16.0;
        f_.savedX = hero_.x;
    } else if (step == 9) {
        if (std::fabs(body_.y - hero_.y) <= 120 || body_.y > 240) {
            SetPose(body_, kPoseStrike, 30);
            ArmWeapon(2, kFacingLeft);
        } else if (body_.y <= 480) {
            return false;
        }
    } else if (step == 10) {
        if (body_.y <= 580) return false;
        body_.ResetMotion();
        TrailOff();
        f_.savedAngle = 0;
        PlaySe(Se::kFinaleSlam);
    } else if (step == 11) {
        return Sweep();
    }
    return true;
}

// Six anchors on the view's edges, in view pixels; the side ones at the player's height.
void Boss3Script::LayLine(int32_t step) {
    const double px = hero_.x - cx_, py = hero_.y - cy_;
    const double side = py < 240 ? py + 48 : py - 48;
    const double anchors[6][2] = {{160, 0}, {0, side}, {160, 480}, {480, 480}, {640, side}, {480, 0}};
    const double ax = anchors[step - 2][0], ay = anchors[step - 2][1];
    uint8_t a = AngleOf(px - ax, py - ay);
    if (CObjectEffect* mark = g_.CreateEffect(91, 16, ax, ay)) mark->turn = a, StartFade(*mark, 8, 8);
    const int32_t bend = PoweredUp(f_) ? 2 : 1;
    double x = ax, y = ay, spacing = 4 * step + 16;
    int32_t points = 0;
    for (int32_t sign = -1;; spacing += 0.5) {
        x += CosOf(a) * spacing;
        y += SinOf(a) * spacing;
        const bool inside = x >= -32 && x <= 672 && y >= -32 && y <= 512;
        if (!inside && points >= 5) break;
        if (CObjectEnemy* e = g_.CreateEnemy(PoweredUp(f_) ? 8 : 7, TruncInt(cx_ + x), TruncInt(cy_ + y), 16 + points)) {
            e->phase = static_cast<int32_t>(g_.playRand.Get() & 3);
        }
        if (++points % 2 == 0) {
            a = static_cast<uint8_t>(a + sign * bend);
            sign = -sign;
        }
    }
    f_.waitFrames = step == 7 ? 60 : points - step * 10 + 92;
}

// The drop's band widens from the saved x by 10 pixels a side each frame, sending the line
// enemies inside it away; once it spans the view, all of them go.
bool Boss3Script::Sweep() {
    ++f_.savedAngle;
    const double left = f_.savedX - 10.0 * f_.savedAngle, right = f_.savedX + 10.0 * f_.savedAngle;
    const bool done = left < cx_ && right > cx_ + CGameResource::kScreenWidth;
    for (CGameResource::ObjectPtr& o : g_.objects) {
        if (o.isNull() || o->GetType() != kTypeEnemy) continue;
        const bool line = o->kind->index == 7 || o->kind->index == 8;
        if (line && (done || (o->x >= left && o->x <= right))) o->SetState(kStateVanish);
    }
    if (!done) return false;
    g_.AddGauge(500);
    for (const int32_t a : {kEvade, kDrift, kDrift, kDrift}) g_.PushBossAction(a);
    TrailOff();
    f_.gauge = 0;
    return true;
}

}  // namespace

void CGameResource::RunBoss3() {
    auto* body = dynamic_cast<CObjectBoss*>(bossObjects.empty() ? nullptr : bossObjects[0].GetNoCheck());
    if (body == nullptr || player.isNull()) return;
    Boss3Script script(*this, *body);
    RunBossScript(boss, script);
}
