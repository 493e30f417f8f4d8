// The hero's damage, the barrier with its energy, overload and regeneration, and the two
// skills bought with the gauge: the blast and, on the last stage with a full gauge, the
// finisher.
#include <algorithm>

#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/boss_fight.h"
#include "game/widgets/message_window.h"

namespace KB = KestraneGameBase2;

namespace {

constexpr int32_t kGaugeMax = 10000;
constexpr int32_t kSkillCost = 2800;
constexpr int32_t kFinisherFrames = 150;
constexpr uint8_t kBossPoseUnstoppable = 27;  // the barrier cannot hold against it

// Hero poses.
constexpr uint8_t kPoseNormal = 0;
constexpr uint8_t kPoseSkill = 1;
constexpr uint8_t kPoseBarrier = 3;
constexpr uint8_t kPoseOverload = 4;
constexpr uint8_t kPoseFinisherPush = 9;
constexpr uint8_t kPoseRestored = 19;

// The spark effect of the blast.
constexpr int32_t kBlastSpark = 82;

int32_t Clamp(int64_t v, int32_t low, int32_t high) { return static_cast<int32_t>(std::clamp<int64_t>(v, low, high)); }

// What a skill sweeps away: objects still in play, but never the undying.
bool Sweepable(const CObjectBase& o) { return o.kind->undying == 0 && o.state == kStateAlive; }

}  // namespace

void CGameResource::DamagePlayer(int32_t delta, bool scaled) {
    // The game over (or a replay's fade to the title) is entered once.
    if (scene == Scene::kGameOver || scene == Scene::kFadeToTitle) return;
    const int64_t change = scaled ? int64_t{delta} * boss.damageScale / 100 : delta;
    status.hp = Clamp(status.hp + change, 0, status.maxHp);
    AddGauge(-(delta / 2));
    if (status.hp >= 1 || progress.invincible != 0) return;
    status.barrierUp = 0;
    SetMode(replayLog.playing ? Scene::kFadeToTitle : Scene::kGameOver);  // scene 9 abandons the replay as its pause key does
    if (CObjectEnemy* body = BossElement(bossObjects, 0)) body->motion.Clear();
}

void CGameResource::StartBarrier() {
    int32_t extra = 0;
    if (status.barrierUp == 0) {
        PlaySe(Se::kBarrierHum, true);
        for (auto& barrier : barriers) {
            if (!barrier) continue;
            barrier->x = player->x;
            barrier->y = player->y;
            barrier->motion = player->motion;
        }
        extra = 100;
    }
    status.barrierUp = 1;
    status.barrierTimer = 30;
    SpendBarrierEnergy(-(50 + extra));
}

void CGameResource::SpendBarrierEnergy(int32_t delta) {
    status.barrierEnergy = Clamp(int64_t{status.barrierEnergy} + delta, INT32_MIN, INT32_MAX);
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    CObjectAvatar& hero = *player;
    const CObjectBarrier* barrier = GetActiveBarrier();
    bool overloaded = true;
    if (body != nullptr && body->pose == kBossPoseUnstoppable) {
        status.barrierEnergy = 0;
        status.overload = status.hardOverload = 1;
        screenFx.StartFlash(0, 128, 255);
        hero.flashTimer = 20;
    } else if (status.barrierEnergy >= 0) {
        SetPose(hero, kPoseBarrier);
        overloaded = false;
    } else {
        status.overload = 1;
        screenFx.StartFlash(128, 0, 0);
        hero.flashTimer = 15;
    }
    if (overloaded) {
        PlaySe(Se::kOverload);
        SetPose(hero, kPoseOverload, 64);
        if (barrier != nullptr) hero.motion = barrier->motion;
        hero.coolTimer = 60;
    }
    status.barrierEnergy = std::clamp(status.barrierEnergy, 0, std::max(status.maxBarrierEnergy, 0));
}

void CGameResource::UpdateBarrierEnergy() {
    if (player && player->pose == kPoseBarrier) SetPose(*player, kPoseNormal);
    StopSe(Se::kBarrierHum);
    status.barrierUp = 0;
    if (status.barrierTimer > 0) {
        --status.barrierTimer;
        return;
    }
    int32_t gain = status.hardOverload != 0 ? 20 : status.overload != 0 ? 40 : 100;
    if (status.energyTimer > 0) gain += 100;
    status.barrierEnergy = Clamp(int64_t{status.barrierEnergy} + gain, INT32_MIN, INT32_MAX);
    if (status.barrierEnergy <= status.maxBarrierEnergy) return;
    if (status.overload != 0) {
        if (player) SetPose(*player, kPoseRestored, 30);
        PlaySe(Se::kBarrierRestored);
    }
    status.overload = status.hardOverload = 0;
    status.barrierEnergy = status.maxBarrierEnergy;
}

bool CGameResource::CanUseSkill() {
    const bool target = BossElement(bossObjects, 0) != nullptr ? IsBossOnScreen(0) : AnyEnemyOnScreen();
    return target && status.gauge >= kSkillCost;
}

void CGameResource::UseSkill(bool withCutin) {
    const bool release = Config().reduceMemory;
    if (progress.stage >= 3 && status.gauge == kGaugeMax) {
        status.gauge = 0;
        StartCutin(Cutin::kFinisher, release);
        status.finisherCounter = kFinisherFrames;
        finisherDisplay = 0;
        SetPose(*player, kPoseSkill);
    } else {
        status.gauge -= kSkillCost;
        screenFx.StartFlash(255, 255, 0);
        if (withCutin) StartCutin(Cutin::kSkillBlast, release);
    }
    status.gauge = std::max(status.gauge, 0);
    status.skillRunning = 1;
    player->coolTimer = 0;
}

void CGameResource::SkillBlast() {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    const tovarineGameSDK3rd::Draw::Rect view{cx, cy, cx + kScreenWidth, cy + kScreenHeight};
    for (const ObjectPtr& o : objects) {
        if (!o || !Sweepable(*o)) continue;
        if (o->GetType() == kTypeEnemy) {
            tovarineGameSDK3rd::Draw::Rect r{};
            o->GetHitRect(r);
            if (r.left < view.right && view.left < r.right && r.top < view.bottom && view.top < r.bottom) {
                o->SetState(kStateKilledByBlast);
            }
        } else if (o->GetType() == kTypeShot && IsPointInRect(TruncInt(o->x), TruncInt(o->y), view)) {
            o->SetState(kStateVanish);
        }
    }
    PlaySe(Se::kSkillBlast);
    status.skillRunning = 0;

    CObjectEnemy* body = BossElement(bossObjects, 0);
    if (boss.bossId >= 0 && body != nullptr) {
        body->hp = -player->kind->power;
        boss.secondMeter += 1000;
        boss.skillHit = 1;
        boss.flinchCountdown = 20;
        if (boss.bossId >= 1 && boss.bossId <= 3 && (boss.actions.empty() || boss.actions.front() != 7)) {
            SetPose(*body, 2);  // hurt
        }
        if (boss.bossId == 0) {
            if (boss.actions.empty()) PushBossAction(8);
            UpdateBossChain(false);
        }
    }

    // Two rings of sparks from the boss (the view's centre without one), 32 pixels lower.
    double bx = 0, by = 0;
    GetBossPosition(&bx, &by);
    const double sx = bx - cx, sy = by + 32 - cy;
    const double kindSpeed =
        static_cast<size_t>(kBlastSpark) < kinds.effects.size() ? kinds.effects[kBlastSpark].speed : 0;
    for (int32_t ring = 0; ring < 2; ++ring) {
        for (int32_t j = 0; j < 12; ++j) {
            CObjectEffect* spark = CreateEffect(kBlastSpark, -1, sx, sy);
            const uint8_t angle =
                static_cast<uint8_t>(2 * j + static_cast<int32_t>(playRand.Get() % 6) + 64 * ring - 115);
            const double speed = (100 + static_cast<int32_t>(playRand.Get() % 100)) * kindSpeed / 100;
            const int32_t delay = 16 * ring + static_cast<int32_t>(playRand.Get() & 7);
            if (spark == nullptr) continue;
            spark->motion.vx = KB::CosOf(angle) * speed;
            spark->motion.vy = KB::SinOf(angle) * speed;
            spark->motion.frictionX = spark->motion.frictionY = speed / 60;
            spark->startDelay = static_cast<int16_t>(delay);
        }
    }
}

void CGameResource::SkillFinisher() {
    CObjectAvatar& hero = *player;
    CObjectEnemy* body = BossElement(bossObjects, 0);
    int32_t& c = status.finisherCounter;
    if (c == kFinisherFrames) {
        if (body != nullptr) hero.y = body->y;
        SetPose(hero, kPoseNormal);
        for (const ObjectPtr& o : objects) {
            if (o && Sweepable(*o) && (o->GetType() == kTypeEnemy || o->GetType() == kTypeShot)) {
                o->SetState(kStateVanish);
            }
        }
        pendingSpawns.clear();
        PlaySe(Se::kFinisherChargeLoop, true);
        PlaySe(Se::kFinisherStart);
    }
    const int32_t m = GetFinishMargin();
    finisherDisplay = static_cast<int32_t>(int64_t{kFinisherFrames - c} * m / kFinisherFrames);
    if (c < 2) {
        c = 0;
        status.skillRunning = 0;
        finisherDisplay = 0;
        if (body != nullptr) {
            body->hp = m;
            boss.skillHit = 1;
            boss.secondMeter += -m / 100;
        }
        screenFx.StartFlash(255, 0, 255);
        screenFx.shakeCounterX = 60;
        SetPose(hero, kPoseNormal);
        StopSe(Se::kFinisherChargeLoop);
        PlaySe(Se::kFinisherHit);
        return;
    }
    SetPose(hero, kPoseFinisherPush);
    --c;
    int32_t k = std::min(8, (kFinisherFrames - c) / 4 + 1);
    if (hero.facing == kFacingLeft) k = -k;
    hero.ResetMotion();
    hero.x -= k;
    ConfinePlayer(&hero, progress.stage != 3);
    if (body != nullptr) body->x += k / 4;
}

int32_t CGameResource::GetFinishMargin() const {
    return static_cast<int32_t>(int64_t{status.hp} - 3 * int64_t{player->kind->power} - status.maxHp);
}
