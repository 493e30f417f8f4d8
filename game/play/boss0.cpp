// Boss 0's battle script: the hammer walker steps toward the player or back, rolls a rock and
// then swings or falls over and comes back from beyond the view, and with a full second meter
// and the player near brings its hammer down twice. Also the assembly of its pieces, which the
// intro calls once the body has walked in.
#include <algorithm>
#include <cmath>

#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/boss_fight.h"
#include "game/play/game_resource.h"
#include "game/widgets/message_window.h"

namespace {

enum Boss0Action : int32_t {
    kPause = 0,
    kResume = 1,  // pushed after the fall: one frame, no handler
    kStepIn = 2,
    kStepBack = 3,
    kRock = 4,
    kSwing = 5,
    kFall = 6,
    kHammer = 7,
    kFlinchStep = 8,
};

// Boss animations of this boss's table.
enum Boss0Animation : uint8_t {
    kStand = 0,
    kWalk = 1,  // alternates with 2
    kBackOff = 3,  // alternates with 4
    kFallOver = 5,
    kSwingHammer = 6,
    kRaiseHammer = 7,
};

class Boss0Script {
public:
    static constexpr bool kStartsChoiceAtOnce = true;

    Boss0Script(CGameResource& game, CObjectEnemy& body) : g_(game), boss_(game.boss), body_(body) {
        g_.GetCameraOrigin(cx_, cy_);
    }

    void Tick() {}  // nothing runs while it waits
    void Pop() { g_.PopBossAction(); }

    void Choose() {
        g_.FaceBossToPlayer();
        if (boss_.idleCountdown > 0) {
            --boss_.idleCountdown;
            return;
        }
        if (body_.x < cx_ || body_.x > cx_ + CGameResource::kScreenWidth) return g_.PushBossAction(kStepIn);
        const int32_t distance = g_.DistanceToPlayer(body_);
        if (boss_.secondMeter >= 10000 && distance < 300) {
            boss_.secondMeter = 0;
            return g_.PushBossAction(kHammer);
        }
        // A rock costs more when the next walk would be the first of its pair; each test
        // draws only when the meters allow the throw.
        if (boss_.gauge > 2500 && boss_.animationToggle == 0 && g_.bossRand.Get() % 2 == 0) {
            boss_.gauge -= 2500;
            return g_.PushBossAction(kRock);
        }
        if (boss_.gauge > 2000 && boss_.animationToggle != 0 && g_.bossRand.Get() % 2 == 0) {
            boss_.gauge -= 2000;
            return g_.PushBossAction(kRock);
        }
        if (boss_.flinchCountdown > 0) return g_.PushBossAction(kFlinchStep);
        // The farther the player, the likelier a step toward it.
        g_.PushBossAction(g_.PositionChance(static_cast<uint32_t>(distance / 10 + 40)) ? kStepIn : kStepBack);
    }

    // One step of the running action; false when the step must not rise (held or popped).
    bool Step(int32_t action, int32_t step) {
        switch (action) {
            case kPause: boss_.lastStep = 1; return true;
            case kStepIn: return Walk(step, kWalk, 2.0, false, 30);
            case kStepBack: return Walk(step, kBackOff, -1.0, true, 45);
            case kFlinchStep: return Walk(step, kBackOff, -0.5, true, -1);
            case kRock:
                if (step == 0) ThrowRock();
                return true;
            case kSwing:
                if (step == 0) g_.SetBossAnimation(kSwingHammer), boss_.lastStep = 1;
                return true;
            case kFall: return Fall(step);
            case kHammer: Hammer(step); return true;
            default: return true;  // kResume: only passes its last step
        }
    }

private:
    void SetVelocity(double vx, double vy) {
        body_.motion.vx = g_.SignByBossFacing(vx);
        body_.motion.vy = vy;
    }

    // A step forward (positive speed) or back; it lands with a shake and leaves the boss idle
    // for a while (idleBase < 0: not at all).
    bool Walk(int32_t step, uint8_t animation, double speed, bool onlyInView, int32_t idleBase) {
        if (step == 0) {
            g_.SetBossAnimation(animation);
            if (!onlyInView || (body_.x >= cx_ + 32 && body_.x <= cx_ + 608)) SetVelocity(speed, 0);
            boss_.lastStep = 1;
            return true;
        }
        g_.screenFx.shakeCounterY = 30;
        body_.ResetMotion();
        PlaySe(Se::kBoss0Step);
        g_.PopBossAction();
        boss_.idleCountdown = idleBase < 0 ? 0 : boss_.gauge / 10 % 30 + idleBase;
        return false;
    }

    // The rock rolls in from the view's edge behind the player's side and stops about D
    // pixels on, under the boss; the swing or the fall follows once it has rolled.
    void ThrowRock() {
        const bool right = g_.IsBossFacingRight();
        const double startX = right ? cx_ - 32 : cx_ + CGameResource::kScreenWidth;
        const double rollLength = right ? body_.x - cx_ + 64 : cx_ + CGameResource::kScreenWidth - body_.x + 32;
        const double v = g_.SignByBossFacing(std::sqrt(0.2 * rollLength));
        const bool swing = boss_.animationToggle != 0;
        boss_.lastStep = 1;
        g_.PushBossAction(swing ? kSwing : kFall);
        boss_.waitFrames = TruncInt(std::fabs(v / 0.1));
        CObjectBlock* rock = g_.CreateBlockByName(right ? "ポロちゃん岩逆" : "ポロちゃん岩", TruncInt(startX),
                                                  TruncInt(cy_ + 384 - rollLength / 2), 0);
        if (rock == nullptr) return;
        rock->motion.vx = v;
        rock->motion.vy = 0;
        rock->motion.frictionX = 0.1;
        rock->phase = swing ? 1 : 0;
        rock->wait = static_cast<uint16_t>(boss_.waitFrames + (swing ? 10 : -10));
    }

    // Walks, trips, flies up and falls flat, slides out of the view in a world without
    // gravity and comes back upright at the view's edge.
    bool Fall(int32_t step) {
        switch (step) {
            case 0:
                g_.SetBossAnimation(kWalk);
                SetVelocity(2.0, 0);
                boss_.waitFrames = 15;
                boss_.lastStep = 5;
                return true;
            case 1:
                g_.screenFx.shakeCounterX = 20;
                body_.ResetMotion();
                g_.SetBossAnimation(kFallOver);
                boss_.waitFrames = 0;
                boss_.damageScale = 0;
                boss_.heightSegment = 1;
                PlaySe(Se::kRockCrack);
                return true;
            case 2: SetVelocity(6.0, -5.0); return true;
            case 3: return FallFlat();
            case 4: {
                boss_.damageScale = 0;
                boss_.enraged = 0;
                const bool gone = g_.IsBossFacingRight() ? body_.x > cx_ + 990 : body_.x < cx_ - 350;
                if (!gone) boss_.waitFrames = 30;
                return gone;
            }
            case 5:
                g_.gravity = CGameResource::kGravity;
                if (body_.x < cx_) body_.x = cx_ - 64;
                if (body_.x > cx_ + CGameResource::kScreenWidth) body_.x = cx_ + 704;
                body_.y = cy_ + 132;
                boss_.tilt = 0;
                body_.ResetMotion();
                boss_.heightSegment = 0;
                boss_.damageScale = 100;
                g_.FaceBossToPlayer();
                g_.PushBossAction(kResume);
                return true;
            default: return true;
        }
    }

    // Each frame of the fall: the boss hurts four times over and tips toward a quarter turn;
    // on landing (or after 120 frames of the animation) the world loses its gravity.
    bool FallFlat() {
        boss_.damageScale = 400;
        boss_.enraged = 1;
        constexpr uint16_t kFlat = 49152;  // a quarter turn back
        const uint16_t tilt = static_cast<uint16_t>(boss_.tilt - 128);
        boss_.tilt = tilt < kFlat ? kFlat : tilt;
        const CObjectBase* fallen = g_.formation.segments.size() > 1 ? g_.formation.segments[1].GetNoCheck() : nullptr;
        if (!(fallen != nullptr && fallen->contact != 0) && boss_.animationFrame <= 120) return false;
        PlaySe(Se::kBoss0Lands);
        g_.gravity = 0;
        body_.motion.vx += g_.SignByBossFacing(-2.0);
        g_.screenFx.shakeCounterY = 80;
        const double x = body_.x + g_.SignByBossFacing(-64), y = body_.y + 128;
        for (const char* name : {"ポロちゃん土埃左", "ポロちゃん土埃右"}) {
            if (CObjectEffectLand* dust = g_.CreateEffectLandByName(name, 60, x, y)) StartFade(*dust, 60, 0);
        }
        return true;
    }

    // The special: a cut-in, the hammer raised, a lunge that stops about where the player
    // will be, and two impacts.
    void Hammer(int32_t step) {
        const auto impact = [&] {
            const CObjectEnemy* hammer = BossElement(g_.bossObjects, 1);
            if (hammer == nullptr) return;
            if (CObjectEffectLand* e = g_.CreateEffectLandByName("ポロちゃん衝撃", 40, hammer->x, hammer->y + 40)) {
                StartFade(*e, 15, 15);
            }
        };
        switch (step) {
            case 0:
                boss_.damageScale = 0;
                g_.SetBossAnimation(kStand);
                boss_.lastStep = 5;
                g_.StartCutin(Cutin::kBoss0Hammer, g_.Config().reduceMemory != 0);
                break;
            case 1:
                g_.SetBossAnimation(kRaiseHammer);
                boss_.waitFrames = 70;
                break;
            case 2: {
                boss_.damageScale = 100;
                double px = 0, py = 0;
                g_.PredictPlayerPosition(px, py, 5);
                const double d = std::hypot(px - body_.x, py - body_.y);
                const double v = std::min(12.0, d * 2 / 30);  // stops after 30 frames, about d on
                SetVelocity(v, 0);
                body_.motion.frictionX = v / 30;
                boss_.waitFrames = 25;
                break;
            }
            case 3:
                PlaySe(Se::kHammerImpact);
                boss_.damageScale = 0;
                body_.ResetMotion();
                impact();
                g_.screenFx.shakeCounterY = 100;
                boss_.waitFrames = 10;
                break;
            case 4:
                impact();
                boss_.waitFrames = 80;
                break;
            case 5:
                g_.SetBossAnimation(kStand);
                boss_.damageScale = 100;
                boss_.idleCountdown = 90;
                g_.AddGauge(250);
                break;
            default: break;
        }
    }

    CGameResource& g_;
    SBossFight& boss_;
    CObjectEnemy& body_;
    int32_t cx_ = 0, cy_ = 0;
};

}  // namespace

void CGameResource::RunBoss0() {
    CObjectEnemy* body = BossElement(bossObjects, 0);
    if (body == nullptr) return;
    Boss0Script script(*this, *body);
    RunBossScript(boss, script);
}

int32_t CGameResource::BossKind(const char* name) const { return FindName(kinds.objectNames[6], name); }

void CGameResource::BuildFirstBoss() {
    const auto part = [&](const char* name, bool pose9) { CreateBossParts(BossKind(name), 0, 0, pose9); };
    part("ポロちゃんハンマー", false);
    for (int i = 0; i < 4; ++i) part("ポロちゃんパーツ", false);
    part("ポロちゃん手", false);
    for (int i = 0; i < 2; ++i) part("ポロちゃん足", false);
    // Each holder is the one the factory just appended to the boss vector.
    const auto latest = [&](bool made) { return made ? bossObjects.back() : ObjectPtr(); };
    for (const char* name : {"ポロちゃん高さ", "ポロちゃん高さ転倒"}) {
        if (ObjectPtr p = latest(CreateBoss(BossKind(name), 0, 0, true) != nullptr); !p.isNull()) formation.segments.push_back(p);
    }
    formation.specialPart = latest(CreateBossParts(BossKind("ポロちゃん表情"), 0, 0, true) != nullptr);
    for (int i = 0; i < 3; ++i) {
        ObjectPtr p = latest(CreateBossParts(BossKind("ポロちゃんハンマー描画"), 0, 0, true) != nullptr);
        if (!p.isNull()) formation.afterimageParts.push_back(p);
    }
}
