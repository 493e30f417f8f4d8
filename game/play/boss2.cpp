// The script of boss 2: a body that charges at the player on its own, with a partner that
// shields it, a hit box and a slam box beside it. Its queued actions are summons, a heal, the
// shield and rests, all queued at once by its special move; the charge runs beside them.
#include <algorithm>
#include <vector>

#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/boss_fight.h"
#include "game/play/game_resource.h"
#include "game/widgets/message_window.h"

namespace {

enum Boss2Action : int32_t {
    kRest = 0,
    kOpening = 1,  // the fight's first action: nothing
    kSpecial = 7,  // the cut-in, then the programme queued
    kEvade = 9,
    // The programme: summons, a heal and the shield, each followed by a rest.
    kHeal = 17,
    kSummonThrower = 18,
    kShield = 19,
    kSummonWallBuilder = 20,  // after the shield, from phase 2
    kSummonCaster = 21,
    kSummonWatcher = 22,  // after the caster, from phase 2
    kSummonSpiralCaster = 23,
    kRockFall = 24,  // before the spiral caster, from phase 2
    kProgrammeEnd = 25,
};

enum Boss2Pose : uint8_t {
    kPoseStand = 0,
    kPoseHurt = 2,
};

// Poses of its other pieces: hidden is neither drawn nor met; an inert block is met by neither
// the hero nor the barrier until it sets off.
constexpr uint8_t kPoseActive = 0;
constexpr uint8_t kPoseHidden = 1;
constexpr uint8_t kPoseInert = 9;

// The charge's states, kept in the boss record's current animation.
enum ChargeState : int32_t {
    kChargeIdle = 0,
    kChargeBraking = 2,
    kChargeRecover = 3,
    kCharging = 5,
};

bool IsMotionAtRest(const ObjectMotion& m) { return m.vx == 0 && m.vy == 0 && m.accel == 0; }

class Boss2Script {
public:
    static constexpr bool kStartsChoiceAtOnce = true;

    Boss2Script(CGameResource& game, CObjectBoss& body) : g_(game), b_(game.boss), body_(body), hero_(*game.player) {}

    // The phase, the meter, the hurt pose, the charge and the partner: every frame, waiting or not.
    void Tick() {
        if (b_.actions.empty()) UpdatePhase();
        b_.secondMeter += (b_.phase + 1) / 2;
        if ((body_.pose == kPoseStand || body_.pose == kPoseHurt) && Flinching()) {
            SetPose(body_, kPoseHurt, 4);
        }
        const int32_t front = b_.actions.empty() ? -1 : b_.actions.front();
        if (front != kHeal && front != kShield) ChargeControl();
        if (b_.partnerCounter == 1) PartnerReturns();
    }

    // Only the special move is chosen; the charge runs on its own.
    void Choose() {
        if (Flinching()) return;
        if (b_.secondMeter >= 10000 && g_.IsBossOnScreen(64) && b_.hp < b_.maxHp - 5000) {
            b_.secondMeter = 0;
            g_.PushBossAction(kSpecial);
        }
    }

    void Pop() { g_.PopBossAction(); }

    // One step of the running action; false while it holds.
    bool Step(int32_t action, int32_t step) {
        switch (action) {
            case kRest:
                b_.waitFrames = b_.phase * 20 + 150;
                break;
            case kSpecial:
                if (step == 0) {
                    b_.lastStep = 1;
                    g_.StartCutin(Cutin::kBoss2Special, g_.Config().reduceMemory);
                    b_.powerUpCountdown = 1;
                } else {
                    QueueProgramme();
                }
                break;
            case kEvade:
                if (step == 0) {
                    b_.lastStep = 2;
                    SteerToEvadePoint();
                } else if (body_.moving != 0 && !Flinching()) {
                    return false;  // until it arrives
                }
                break;
            case kHeal:
                if (step == 0) {
                    b_.lastStep = 102;
                    Stop();
                    const double x = body_.x - g_.SignByBossFacing(48);
                    Summon(x, body_.y);
                    if (CObjectEnemy* e = g_.CreateEnemy(67, TruncInt(x), TruncInt(body_.y), 30)) e->Think(g_);
                    b_.waitFrames = 120;
                } else if (step == 1) {
                    g_.SpawnBurstAt(body_);
                } else {
                    g_.AddBossHp(50);
                }
                break;
            case kSummonThrower:
                if (step == 0) {
                    b_.lastStep = 1;
                    tovarineGameSDK3rd::Draw::Rect view{};
                    g_.GetViewRect(view, -24);
                    const int32_t x = std::clamp(TruncInt(body_.x - g_.SignByBossFacing(48)), view.left, view.right);
                    const int32_t y = std::clamp(TruncInt(body_.y), view.top, view.bottom);
                    Summon(x, y);
                    Helper(g_.CreateEnemy(68, x, y, 30), body_.facing, b_.phase - 1);
                } else {
                    b_.waitFrames = 60;
                }
                break;
            case kShield:
                if (step == 0) {
                    b_.lastStep = 1;
                    Stop();
                    Summon(BesideX(), BesideY());
                } else if (CObjectEnemy* partner = Partner()) {
                    b_.partnerCounter = partner->kind->life;
                    partner->alpha = 0;
                }
                b_.waitFrames = 30;
                break;
            case kSummonWallBuilder:
                if (step == 0) {
                    b_.lastStep = 1;
                    const SEdge edge = Edge(true);
                    const int32_t y = ViewY() + 432;
                    Summon(edge.x, y);
                    if (auto* e = Helper(g_.CreateEnemyShadow(69, edge.x, y, 30), edge.direction, b_.phase >= 3 ? 1 : 0)) {
                        e->ResetNodeList(2, 2);
                    }
                }
                break;
            case kSummonCaster:
                if (step == 0) {
                    b_.lastStep = 1;
                    EdgeHelper(71, false, ViewY() + 432, b_.phase - 1);
                } else {
                    b_.waitFrames = 60;
                }
                break;
            case kSummonWatcher:
                if (step == 0) {
                    b_.lastStep = 1;
                    EdgeHelper(70, true, ViewY() + 240, b_.phase);
                } else {
                    b_.waitFrames = 200;
                }
                break;
            case kSummonSpiralCaster:
                if (step == 0) {
                    b_.lastStep = 1;
                    EdgeHelper(73, false, TruncInt(hero_.y), b_.phase / 3);
                } else {
                    b_.waitFrames = (b_.phase + 6) * 20;
                }
                break;
            case kRockFall:
                if (step == 0) {
                    b_.lastStep = 1;
                } else if (CObjectBlock* block = g_.CreateBlock(19, TruncInt(hero_.x), ViewY() - 32, 0)) {
                    block->pose = kPoseHidden;
                    block->phase = (b_.phase + 4) * 15;
                }
                break;
            case kProgrammeEnd:
                b_.powerUpCountdown = 0;
                b_.waitFrames = 300;
                g_.AddGauge(250);
                break;
            default:  // kOpening does nothing
                break;
        }
        return true;
    }

private:
    CObjectEnemy* Partner() const { return b_.heldPart != 0 ? BossElement(g_.bossObjects, b_.heldPart) : nullptr; }
    bool Flinching() const { return b_.flinchCountdown > 0; }

    // Phase 1 after the first special move; then one more for every 5000 HP lost and every
    // third special move, up to 4.
    void UpdatePhase() {
        if (b_.actionCounter == 1) {
            b_.phase = 1;
        } else if (b_.actionCounter > 1) {
            b_.phase = std::clamp((b_.maxHp - b_.hp) / 5000 + b_.actionCounter / 3, 1, 4);
        }
    }

    // Slam: the slam box hurts and the hit box rests; guard the reverse.
    void Stance(bool slam) {
        if (b_.snappedPart == 0) return;
        if (CObjectEnemy* hit = BossElement(g_.bossObjects, b_.snappedPart)) hit->pose = slam ? kPoseHidden : kPoseActive;
        if (CObjectEnemy* box = BossElement(g_.bossObjects, b_.snappedPart + 1u)) box->pose = slam ? kPoseActive : kPoseHidden;
    }
    void Trail(bool on) { body_.ResetNodeList(on ? 2 : 0, on ? 2 : 0); }
    void SteerToEvadePoint() {
        int32_t x = 0, y = 0;
        g_.GetEvadePoint(&x, &y, 180);
        body_.MoveToward(1, 4.0, 0.4, 4.0, x, y);
    }

    // The boss's own movement: a charge at the player, braked when the player slips aside,
    // then a short recoil and the next charge; back onto the screen when it leaves it.
    void ChargeControl() {
        if (!Flinching()) g_.FaceBossToPlayer();
        if (b_.idleCountdown > 0) {
            --b_.idleCountdown;
            return;
        }
        ObjectMotion& m = body_.motion;
        if (body_.IsApproaching()) {
            if (Flinching()) {
                StopSteering(body_);
                b_.animation = kChargeIdle;
                Stance(false);
            }
            Trail(false);
            return;
        }
        const bool onScreen = g_.IsBossOnScreen(32);
        if (b_.animation == kChargeBraking) {
            if (IsMotionAtRest(m) || Flinching()) {
                b_.animation = kChargeRecover;
                Stance(false);
            } else if (!onScreen) {
                m.SetFrictionByAngle(static_cast<uint8_t>(m.GetHeading()), 1.2);
            }
            Trail(false);
        } else if (!onScreen) {
            SteerToEvadePoint();
            b_.animation = kChargeIdle;
            Trail(false);
            Stance(false);
        } else if (b_.animation == kChargeRecover) {
            if (!Flinching()) {
                const uint8_t away = static_cast<uint8_t>(AngleToHero(body_, hero_) + 128);
                m.SetVelocity(away, 2.0);
                m.SetFrictionByAngle(away, 1.0 / 30);
            }
            b_.idleCountdown = 30;
            b_.animation = kChargeIdle;
        } else if (b_.animation == kCharging) {
            if (static_cast<uint8_t>(AngleToHero(body_, hero_) - b_.savedAngle - 65) <= 126) {  // more than 64 steps off
                b_.animation = kChargeBraking;
                m.SetFrictionByAngle(static_cast<uint8_t>(m.GetHeading()), 0.1333);
                m.accel = 0;
                Trail(false);
            } else if (IsMotionAtRest(m)) {
                b_.animation = kChargeRecover;
                Trail(false);
                Stance(false);
            } else {
                Stance(true);
            }
        } else if (!Flinching()) {
            StopSteering(body_);
            b_.animation = kCharging;
            b_.savedAngle = AngleToHero(body_, hero_);  // the charge's angle
            m.accelAngle = b_.savedAngle;
            m.accel = 0.1;
            m.speedLimit = 12.0;
            m.frictionX = m.frictionY = 0;
            Trail(true);
            b_.idleCountdown = 32;
        }
    }

    // Where the partner stands: beside the body, on its front.
    double BesideX() const { return body_.x + g_.SignByBossFacing(g_.GetBossPartSpacing()); }
    double BesideY() const { return body_.y + 20; }

    // The worn-down shield: from phase 2 the partner throws a block as it goes.
    void PartnerReturns() {
        b_.partnerCounter = 0;
        CObjectEnemy* partner = Partner();
        if (partner == nullptr) return;
        // The partner is never held in the hand (no cooldown): it leaves from beside the body.
        partner->x = BesideX();
        partner->y = BesideY();
        const int32_t x = TruncInt(partner->x), y = TruncInt(partner->y);
        if (b_.phase >= 2) {
            if (CObjectBlock* block = g_.CreateBlock(18, x, y, 0)) {
                block->pose = kPoseInert;
                block->phase = g_.IsBossFacingRight() ? kFacingRight : kFacingLeft;
            }
            PlaySe(Se::kPartnerBack);
        } else {
            g_.CreateEffectAtWorld(34, -1, partner->x, partner->y);
            g_.CreateEffectAtWorld(35, -1, partner->x, partner->y);
        }
    }

    // The mark where a helper comes in.
    void Summon(double x, double y) {
        g_.CreateEffectLand(34, -1, x, y);
        g_.CreateEffectLand(35, -1, x, y);
    }
    struct SEdge {
        int32_t x;
        uint8_t direction;
    };
    // The view's edge behind the body (near) or before it (far), with the direction into the view.
    SEdge Edge(bool near) const {
        int32_t cx = 0, cy = 0;
        g_.GetCameraOrigin(cx, cy);
        const bool left = g_.IsBossFacingRight() == near;
        return left ? SEdge{cx + 32, kFacingRight} : SEdge{cx + 608, kFacingLeft};
    }
    int32_t ViewY() const {
        int32_t cx = 0, cy = 0;
        g_.GetCameraOrigin(cx, cy);
        return cy;
    }
    template <class Enemy>
    Enemy* Helper(Enemy* e, uint8_t facing, int32_t phase) {
        if (e != nullptr) e->facing = facing, e->phase = phase;
        return e;
    }
    void EdgeHelper(int32_t record, bool near, int32_t y, int32_t phase) {
        const SEdge edge = Edge(near);
        Summon(edge.x, y);
        Helper(g_.CreateEnemy(record, edge.x, y, 30), edge.direction, phase);
    }
    void Stop() {
        body_.ResetMotion();
        b_.animation = kChargeIdle;
    }

    // The special move's programme: a heal, the shield and a summon at first; later three or
    // four of the summons and the shield in an order of the boss generator, each with its
    // companions from phase 2, and a rest after each.
    void QueueProgramme() {
        ++b_.actionCounter;
        std::vector<int> ids;
        if (b_.phase == 0) {
            ids = {kHeal, kShield, kSummonCaster};
        } else {
            ids = {kSummonThrower, kShield, kSummonCaster, kSummonSpiralCaster};
            tovarineGameSDK3rd::Math::Shuffle(ids, g_.bossRand);
            ids.resize(b_.phase >= 3 ? 4 : 3);
        }
        const bool companions = b_.phase >= 2;
        for (const int id : ids) {
            if (companions && id == kSummonSpiralCaster) g_.PushBossAction(kRockFall);
            g_.PushBossAction(id);
            if (companions && id == kShield) g_.PushBossAction(kSummonWallBuilder);
            if (companions && id == kSummonCaster) g_.PushBossAction(kSummonWatcher);
            g_.PushBossAction(kRest);
        }
        g_.PushBossAction(kProgrammeEnd);
    }

    CGameResource& g_;
    SBossFight& b_;
    CObjectBoss& body_;
    const CObjectAvatar& hero_;
};

}  // namespace

void CGameResource::RunBoss2() {
    auto* body = bossObjects.empty() ? nullptr : dynamic_cast<CObjectBoss*>(bossObjects[0].GetNoCheck());
    if (body == nullptr || player.isNull()) return;
    Boss2Script script(*this, *body);
    RunBossScript(boss, script);
}
