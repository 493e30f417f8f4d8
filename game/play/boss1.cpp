// Boss 1's battle script: the flying swordswoman drifts, side-steps, evades and dashes, fires
// aimed shots, slash volleys and a charged thrust; once enraged she spends her meters on them,
// and a full second meter powers her up until a finale that sweeps the whole view.
#include <algorithm>
#include <cmath>

#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/boss_fight.h"
#include "game/play/game_resource.h"
#include "game/widgets/message_window.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

namespace {

enum Boss1Action : int32_t {
    kIdle = 0,
    kOpening = 1,
    kDrift = 2,
    kSideStep = 3,
    kFinale = 7,
    kEvade = 9,
    kPowerUp = 10,
    kLevelDash = 11,
    kOneShot = 12,  // 13 two shots, 14 three
    kSlashVolley = 15,
    kThrust = 16,
};

enum Boss1Pose : uint8_t {
    kPoseStand = 0,
    kPoseHurt = 2,
    kPoseSwing = 3,
    kPoseIdle = 18,
    kPoseAim = 19,
    kPoseCharge = 23,
};

constexpr int32_t kPowerUpFrames = 900;

class Boss1Script {
public:
    static constexpr bool kStartsChoiceAtOnce = true;

    Boss1Script(CGameResource& game, CObjectEnemy& body)
        : g_(game), boss_(game.boss), body_(body), bx_(body.x), by_(body.y), px_(game.player->x), py_(game.player->y) {
        g_.GetCameraOrigin(cx_, cy_);
    }

    // The power-up's sparkle, the meters and the hurt pose: every frame, waiting or not.
    void Tick() {
        if (boss_.powerUpCountdown > 1 && --boss_.powerUpCountdown % 10 == 0) {
            if (CObjectEffect* e = g_.CreateFrontEffect(88, 24, bx_ - cx_, by_ - cy_)) e->effectReserved = g_.playRand.Get() & 0xFFF;
        }
        if (boss_.enraged == 0) {
            boss_.gauge += 5;
            if (PoweredUp(boss_)) {
                boss_.gauge += 5;
            } else {
                boss_.secondMeter += 2;
            }
        }
        if ((body_.pose == kPoseStand || body_.pose == kPoseHurt) && boss_.flinchCountdown > 0) SetPose(body_, kPoseHurt, 4);
    }

    void Pop() { g_.PopBossAction(); }

    void Choose() {
        g_.FaceBossToPlayer();
        if (boss_.idleCountdown > 0) {
            --boss_.idleCountdown;
            return;
        }
        if (boss_.flinchCountdown > 0) {
            if (boss_.enraged != 0 && boss_.holdTimer == 0) boss_.holdTimer = 60;
            if (boss_.holdTimer < 1 || --boss_.holdTimer > 0) return;
        }
        boss_.holdTimer = 0;
        if (!g_.IsBossOnScreen(64)) return g_.PushBossAction(kEvade);
        if (boss_.gauge >= 4000) boss_.enraged = 1;
        if (boss_.enraged != 0 && boss_.gauge < 800) {
            boss_.enraged = 0;
            g_.SetBossAnimation(0);
            return;
        }
        // The same distance reads nearer or farther as the choices go on.
        const double d = std::hypot(px_ - bx_, py_ - by_) * (6 + boss_.actionCounter % 4) * 0.125;
        if (boss_.enraged != 0) return ChooseEnraged(d);
        boss_.gauge = std::min(boss_.gauge, boss_.gaugeCap);
        if (g_.bossRand.Get() % 100 >= 30) {
            g_.PushBossAction(d > 300 ? kEvade : d <= 100 ? kDrift : kSideStep);
        } else {
            g_.PushBossAction(kIdle);
        }
    }

    // One step of the running action; false when the step must not rise (held or popped).
    bool Step(int32_t action, int32_t step) {
        switch (action) {
            case kIdle:
                if (step == 0) SetPose(body_, kPoseIdle, 120), boss_.lastStep = 120;
                g_.FaceBossToPlayer();
                return true;
            case kOpening:
                boss_.enraged = 1;
                g_.PushBossAction(kLevelDash);
                g_.PushBossAction(kSlashVolley);
                return true;
            case kDrift: Drift(step); return true;
            case kSideStep: return step != 0 || SideStep();
            case kEvade: return Evade(step);
            case kLevelDash: return LevelDash(step);
            case kOneShot:
            case kOneShot + 1:
            case kOneShot + 2: Shots(step, action - kOneShot + 1); return true;
            case kSlashVolley: SlashVolley(step); return true;
            case kThrust: Thrust(step); return true;
            case kPowerUp: PowerUp(step); return true;
            case kFinale: return Finale(step);
            default: return true;
        }
    }

private:
    // She stops steering with EndTravel, not StopSteering: it ends the travel even once it has
    // arrived, and so clears the motion again after any steering (her travels brake at their end).

    bool Steering() const { return body_.moving != 0; }
    // Steered to (x, y): starting at speed, accelerating by speed / slowness up to speed.
    void SteerTo(double x, double y, double speed, double slowness) {
        body_.MoveToward(1, speed, speed / slowness, speed, x, y);
    }
    // The muzzle: the sword's tip ahead of the body.
    double MuzzleX() const { return bx_ + g_.SignByBossFacing(24); }
    double MuzzleY() const { return by_ - 16; }

    void ChooseEnraged(double d) {
        ++boss_.actionCounter;
        if (boss_.powerUpCountdown == 1) return g_.PushBossAction(kFinale);
        if (boss_.secondMeter >= 10000) {
            boss_.secondMeter = 0;
            return g_.PushBossAction(kPowerUp);
        }
        if (g_.bossRand.Get() % 100 < 20) {
            if (d <= 200) return g_.PushBossAction(kSideStep);
            return g_.PushBossAction(py_ - 50 < by_ && by_ < py_ + 50 ? kLevelDash : kDrift);
        }
        if (d <= 120) {
            boss_.gauge -= 1200;
            return g_.PushBossAction(kSlashVolley);
        }
        if (d <= 200) {
            boss_.gauge -= 1600;
            return g_.PushBossAction(kThrust);
        }
        const uint32_t volleys = g_.bossRand.Get() % 3;
        for (uint32_t i = 0; i <= volleys && boss_.gauge >= 0; ++i) {
            boss_.gauge -= 800;
            const uint32_t kind = g_.PositionRandom(3) + static_cast<uint32_t>(boss_.actionCounter) + i;
            g_.PushBossAction(kOneShot + static_cast<int32_t>(kind % 3));
        }
    }

    // Away from the player when calm, at it when enraged; braking hard once close.
    void Drift(int32_t step) {
        if (step == 0) {
            body_.EndTravel();
            SetPose(body_, kPoseStand, 60);
            const bool calm = boss_.enraged == 0;
            const uint8_t a = static_cast<uint8_t>(AngleToHero(body_, *g_.player) + (calm ? 128 : 0));
            const double speed = calm ? 1.0 : 6.0;
            boss_.savedAngle = a;
            boss_.lastStep = 40;
            Launch(body_, a, speed, speed / 40);
        } else if (std::hypot(px_ - bx_, py_ - by_) < 64) {
            body_.motion.SetFrictionByAngle(boss_.savedAngle, 0.5);
        }
    }

    // Sideways across the line to the player, to a point in the view; none: evade instead.
    bool SideStep() {
        boss_.lastStep = 1;
        body_.EndTravel();
        body_.ResetMotion();
        SetPose(body_, kPoseStand, 60);
        const bool enraged = boss_.enraged != 0;
        const double speed = enraged ? 4.0 : 2.0;
        const int32_t frames = enraged ? 40 : 160;
        const uint8_t a = AngleOf(bx_ - px_, by_ - py_);
        const double reach = frames * speed / 2;
        const auto point = [&](uint8_t dir, double& x, double& y) {
            x = bx_ + CosOf(dir) * reach;
            y = by_ + SinOf(dir) * reach;
            return g_.IsInView(x, y);
        };
        const uint8_t left = static_cast<uint8_t>(a - 64), right = static_cast<uint8_t>(a + 64);
        double lx = 0, ly = 0, rx = 0, ry = 0;
        const bool leftIn = point(left, lx, ly), rightIn = point(right, rx, ry);
        if (!leftIn && !rightIn) {
            g_.PopBossAction();
            g_.PushBossAction(kEvade);
            return false;
        }
        const bool takeRight =
            !leftIn || (rightIn && std::hypot(rx - px_, ry - py_) < std::hypot(lx - px_, ly - py_));
        Launch(body_, takeRight ? right : left, speed, speed / frames);
        boss_.waitFrames = frames;
        return true;
    }

    bool Evade(int32_t step) {
        if (step == 0) {
            body_.EndTravel();
            SetPose(body_, kPoseStand, 60);
            boss_.lastStep = 2;
            int32_t x = 0, y = 0;
            g_.GetEvadePoint(&x, &y, 180);
            SteerTo(x, y, boss_.enraged != 0 ? 6.0 : 4.0, 10);
            return true;
        }
        g_.FaceBossToPlayer();
        return !(Steering() && boss_.flinchCountdown == 0);
    }

    bool LevelDash(int32_t step) {
        if (step == 0) {
            boss_.lastStep = 1;
            body_.EndTravel();
            const double reach = 0.75 * std::hypot(px_ - bx_, py_ - by_);
            SteerTo(bx_ + g_.SignByBossFacing(reach), by_, boss_.enraged != 0 ? 9.0 : 3.0, 30);
            return true;
        }
        return !Steering();
    }

    // count aimed shots: with trails, or plain and sooner during the power-up.
    void Shots(int32_t step, int32_t count) {
        if (step == 0) {
            boss_.lastStep = 2;
            body_.EndTravel();
            SetPose(body_, kPoseAim, 20);
            boss_.waitFrames = 20;
            boss_.savedAngle = AngleToHero(body_, *g_.player);
            g_.FaceBossToPlayer();
            return;
        }
        if (step == 1) {
            SetPose(body_, kPoseSwing, 60);
            Launch(body_, static_cast<uint8_t>(boss_.savedAngle + 128), 3.0, 0.1);
            return;
        }
        if (step != 2) return;
        PlaySe(Se::kBoss1Shot);
        boss_.waitFrames = PoweredUp(boss_) ? 20 : 30;
        const auto shot = [&](int32_t offset, double speed, int32_t accelOffset, double accel, double limit) {
            const uint8_t a = static_cast<uint8_t>(boss_.savedAngle + offset);
            CObjectShot* s = nullptr;
            if (PoweredUp(boss_)) {
                s = g_.CreateShot(2, TruncInt(MuzzleX()), TruncInt(MuzzleY()), 0);
            } else if (CObjectShotShadow* trailed = g_.CreateShotShadow(1, TruncInt(MuzzleX()), TruncInt(MuzzleY()))) {
                trailed->ResetNodeList(1, 2);
                s = trailed;
            }
            if (s == nullptr) return;
            s->motion.SetVelocity(a, speed);
            if (accel == 0) return;
            s->motion.accelAngle = static_cast<uint8_t>(boss_.savedAngle + accelOffset);
            s->motion.accel = accel;
            s->motion.speedLimit = limit;
        };
        if (count == 1) {
            shot(0, 6.0, 0, 0, 0);
        } else if (count == 2) {  // two shots that bend across each other's path
            shot(-32, 7.0, 32, 0.35, 7.0);
            shot(32, 7.0, -32, 0.35, 7.0);
        } else {
            for (const int32_t offset : {-24, 0, 24}) shot(offset, 0, offset, 0.1333, 8.0);
        }
    }

    // A lunge, then a fan of slashes swept back and forth from the sword.
    void SlashVolley(int32_t step) {
        const bool powered = PoweredUp(boss_);
        const int32_t n = powered ? 18 : 12;
        const bool right = g_.IsBossFacingRight();
        if (step == 0) {
            boss_.lastStep = n + 2;
            body_.EndTravel();
            SetPose(body_, kPoseAim, 30);
            boss_.waitFrames = 30;
            boss_.savedAngle = AngleToHero(body_, *g_.player);
            Launch(body_, boss_.savedAngle, 5.0, 1.0 / 6);
            g_.FaceBossToPlayer();
        } else if (step == 1) {
            SetPose(body_, kPoseSwing, 60);
            Launch(body_, static_cast<uint8_t>(boss_.savedAngle + 128), 3.0, 0.05);
            boss_.savedAngle = static_cast<uint8_t>(boss_.savedAngle + (right ? 48 : -48));
            PlaySe(Se::kRoarSlash);
        } else if (step <= n + 1) {
            const int32_t k = step - 2;
            const uint8_t a = boss_.savedAngle;
            const double x = bx_ + 16 * CosOf(a) + g_.SignByBossFacing(24), y = by_ + 16 * SinOf(a) - 16;
            if (CObjectEnemy* slash = g_.CreateEnemy(2, TruncInt(x), TruncInt(y), 0)) Launch(*slash, a, 3.5, 0.0175);
            int32_t c = powered ? 18 - k / 2 : 2 * (9 - k);
            boss_.waitFrames = powered ? 2 : 3;
            if (right) c = -c;
            const bool forth = (powered ? k / 6 : k / 4) % 2 == 0;
            boss_.savedAngle = static_cast<uint8_t>(a + (forth ? c : -c));
        }
    }

    // Draws back while aiming, then lunges and throws a block along the aim.
    void Thrust(int32_t step) {
        if (step == 0) {
            boss_.lastStep = 52;
            body_.EndTravel();
            SetPose(body_, kPoseCharge, 50);
            boss_.savedAngle = AngleToHero(body_, *g_.player);
            Launch(body_, static_cast<uint8_t>(boss_.savedAngle + 128), 2.0, 1.0 / 30);
            PlaySe(Se::kChargedThrust);
        } else if (step <= 51) {
            boss_.savedAngle = AngleToHero(body_, *g_.player);
            g_.FaceBossToPlayer();
        } else if (step == 52) {
            const bool powered = PoweredUp(boss_);
            SetPose(body_, kPoseSwing, 60);
            Launch(body_, boss_.savedAngle, 3.0, 0.1);
            boss_.waitFrames = 30;
            CObjectBlock* block = g_.CreateBlock(powered ? 9 : 7, TruncInt(MuzzleX()), TruncInt(MuzzleY()), 0);
            if (block == nullptr) return;
            const double speed = powered ? 8.0 : 6.0;
            Launch(*block, boss_.savedAngle, speed, speed / 70);
            block->turn = boss_.savedAngle;
        }
    }

    void PowerUp(int32_t step) {
        if (step != 0) {
            if (step == 1) boss_.waitFrames = 30;
            return;
        }
        boss_.lastStep = 1;
        body_.ResetMotion();
        body_.EndTravel();
        SetPose(body_, kPoseSwing, 45);
        if (CObjectEffect* e = g_.CreateFrontEffect(83, -1, bx_ - cx_, by_ - cy_)) StartFade(*e, 15, 45);
        for (const int16_t delay : {6, 18}) {
            if (CObjectEffect* e = g_.CreateFrontEffect(85, 40, bx_ - cx_, by_ - cy_)) StartFade(*e, 30, 10), e->startDelay = delay;
        }
        boss_.gauge += 2000;
        boss_.waitFrames = 60;
        boss_.powerUpCountdown = kPowerUpFrames;
        boss_.damageScale = 120;
        boss_.enraged = 1;
        // Curtains of light close in from the top and the bottom of the screen, and stay.
        for (int32_t x = 0; x <= CGameResource::kScreenWidth; x += 64) {
            if (CObjectEffect* e = g_.CreateEffect(10, 0, x - 16, 0)) {
                e->motion.vx = 0, e->motion.vy = 2.0, e->motion.frictionY = 0.0625, e->startDelay = 30;
            }
            if (CObjectEffect* e = g_.CreateEffect(7, 0, x, 496)) {
                e->motion.vx = 0, e->motion.vy = -2.0, e->motion.frictionY = 0.0667, e->startDelay = 30;
            }
        }
        PlaySe(Se::kBoss1PowerUp);
    }

    // The power-up's end: along the view's edge behind her, she sweeps the view with three
    // level shots and one aimed one, each a bouncing bolt and a line of falling blocks.
    bool Finale(int32_t step) {
        const bool right = g_.IsBossFacingRight();
        const double edgeX = cx_ + (right ? 24 : 616);
        const auto sweepY = [&] {
            const double stored = boss_.savedY;
            return boss_.savedAngle == 192 ? stored - step * stored / 7 : stored + (480 - stored) * step / 7;
        };
        switch (step) {
            case 0:
                boss_.lastStep = 11;
                body_.EndTravel();
                SetPose(body_, kPoseSwing, 30);
                g_.FaceBossToPlayer();
                g_.StartCutin(Cutin::kBoss1Finale, g_.Config().reduceMemory != 0);
                return true;
            case 1:
                SetPose(body_, kPoseAim, 30);
                boss_.savedY = py_;
                SteerTo(edgeX, py_, std::fabs(edgeX - bx_) / 100 + 6.0, 10);
                return true;
            case 3:
            case 5:
                SetPose(body_, kPoseAim, 30);
                SteerTo(edgeX, sweepY(), 6.0, 10);
                return true;
            case 7:
                SetPose(body_, kPoseAim, 30);
                boss_.waitFrames = 30;
                boss_.savedAngle = AngleToHero(body_, *g_.player);
                return true;
            case 2:
            case 4:
            case 6:
            case 8:
                if (step == 2) boss_.savedAngle = boss_.savedY > py_ ? 192 : 64;
                if (Steering()) return false;
                SetPose(body_, kPoseSwing, 0);
                boss_.waitFrames = 15;
                FireAcross(step == 8 ? boss_.savedAngle : right ? 0 : 128);
                return true;
            case 9:
            case 11: EndPowerUp(); return true;
            case 10: boss_.waitFrames = 60; return true;
            default: return true;
        }
    }

    void FireAcross(uint8_t dir) {
        if (CObjectEffectLand* bolt = g_.CreateEffectLand(33, 0, MuzzleX(), MuzzleY())) {
            bolt->motion.SetVelocity(dir, 8.0);
        }
        for (int32_t i = 0; i < 16; ++i) {
            const uint8_t a = static_cast<uint8_t>(dir + (i % 2 == 0 ? 4 : -4));
            const double reach = 100 + 50 * i;
            g_.CreateBlock(11, TruncInt(bx_ + CosOf(a) * reach), TruncInt(by_ - 16 + SinOf(a) * reach), 34 + 2 * i);
        }
    }

    void EndPowerUp() {
        g_.PushBossAction(kIdle);
        g_.AddGauge(500);
        boss_.powerUpCountdown = 0;
        boss_.enraged = 0;
        boss_.damageScale = 100;
        boss_.gauge = 0;
        for (CGameResource::EffectPtr& e : g_.effects) {
            if (!e.isNull()) StartFade(*e, 60, -1);
        }
    }

    CGameResource& g_;
    SBossFight& boss_;
    CObjectEnemy& body_;
    const double bx_, by_, px_, py_;  // the body and the player as the frame began
    int32_t cx_ = 0, cy_ = 0;
};

}  // namespace

void CGameResource::RunBoss1() {
    CObjectEnemy* body = BossElement(bossObjects, 0);
    if (body == nullptr) return;
    Boss1Script script(*this, *body);
    RunBossScript(boss, script);
}
