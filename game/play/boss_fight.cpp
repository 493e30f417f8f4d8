// The boss-fight record and the small operations on it and on the boss objects that the
// in-game frame, the play-field update, the part layout and the boss scripts share.
#include "game/play/boss_fight.h"

#include <algorithm>
#include <cmath>

#include "framework/image_loader.h"
#include "framework/sine_table.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::Rect;

namespace {

int32_t Clamp(int64_t v, int32_t low, int32_t high) { return static_cast<int32_t>(std::clamp<int64_t>(v, low, high)); }

}  // namespace

bool IsPointInRect(int32_t x, int32_t y, const Rect& rect) {
    return rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

void StartFade(IObjectDraw& o, int32_t length, int32_t delay) {
    o.fadeCounter = o.fadeLength = static_cast<int16_t>(length);
    o.fadeDelay = static_cast<int16_t>(delay);
    o.fadeRepeat = 0;
}

void SetPose(CObjectBase& o, uint8_t pose, int32_t timer) {
    o.pose = pose;
    o.poseTimer = timer;
}

void Launch(CObjectBase& o, uint8_t a, double speed, double brake) {
    o.motion.SetVelocity(a, speed);
    o.motion.SetFrictionByAngle(a, brake);
}

void StopSteering(CObjectEnemy& o) {
    if (o.moving != 0) o.EndTravel();
}

uint8_t AngleToHero(const CObjectBase& body, const CObjectBase& hero) { return AngleOf(hero.x - body.x, hero.y - body.y); }

bool PoweredUp(const SBossFight& boss) { return boss.powerUpCountdown > 0; }

CObjectEnemy* BossElement(const std::vector<CGameResource::ObjectPtr>& elements, size_t i) {
    if (i >= elements.size()) return nullptr;
    return dynamic_cast<CObjectEnemy*>(elements[i].GetNoCheck());
}

void CGameResource::StartBossRecord(int32_t id) {
    ResetBossRecord();
    boss.bossId = id;
    boss.actions.clear();
    boss.hp = boss.maxHp = 10000;
    boss.gauge = boss.gaugeCap = 10000;
    boss.secondMeter = 0;
    progress.scrollSpeed = progress.targetSpeed = 0;
    if (id >= 0 && id <= 3) {
        status.barrierEnergy = status.maxBarrierEnergy;
        status.energyTimer = status.magicTimer = status.speedUpTimer = 0;
    }
    if (player) player->ResetMotion();
    if (CObjectBarrier* barrier = GetActiveBarrier()) barrier->ResetMotion();
}

void CGameResource::FillBossTrail(int32_t x, int32_t y, uint8_t angle) {
    for (SChainTrailEntry& e : formation.trail) e = {static_cast<double>(x), static_cast<double>(y), angle};
}

bool CGameResource::FaceBossToPlayer() {
    CObjectEnemy* body = BossElement(bossObjects, 0);
    if (body == nullptr) return false;
    const bool right = player->x > body->x;
    body->facing = right ? kFacingRight : kFacingLeft;
    return right;
}

void CGameResource::FacePlayerToBoss() {
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    if (body == nullptr) {
        player->facing = 0;
    } else if (body->pose != 1) {
        player->facing = player->x > body->x ? kFacingLeft : kFacingRight;
    }
}

void CGameResource::PushBossAction(int32_t action) {
    boss.actions.push_back(action);
    AddGauge(5);
    boss.idleCountdown = 0;
}

void CGameResource::PopBossAction() {
    if (!boss.actions.empty()) boss.actions.pop_front();
    boss.step = boss.lastStep = boss.waitFrames = 0;
}

void CGameResource::SetBossAnimation(uint8_t n) {
    if (n >= bossAnimations.size()) return;
    if (n == 1 || n == 3) {
        if (boss.animationToggle != 0) {
            if (n + 1u >= bossAnimations.size()) return;
            ++n;
        }
        boss.animationToggle = boss.animationToggle != 0 ? 0 : 1;
    }
    boss.animation = n;
    boss.animationFrame = 0;
    boss.waitFrames = bossAnimations[n].totalTime;
}

bool CGameResource::IsBossAnimationRunning() const {
    if (boss.animation == 0 || static_cast<uint32_t>(boss.animation) >= bossAnimations.size()) return false;
    return boss.animationFrame < bossAnimations[static_cast<uint32_t>(boss.animation)].totalTime;
}

void CGameResource::GetBossPosition(double* x, double* y) const {
    if (const CObjectEnemy* body = BossElement(bossObjects, 0)) {
        *x = body->x;
        *y = body->y;
        return;
    }
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    *x = cx + kScreenWidth / 2;
    *y = cy + kScreenHeight / 2;
}

uint8_t CGameResource::GetBossFacing() const {
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    return body != nullptr ? body->facing : 0;
}

bool CGameResource::IsBossFacingRight() const {
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    return body != nullptr && body->facing != kFacingLeft;
}

double CGameResource::SignByBossFacing(double v) const { return IsBossFacingRight() ? v : -v; }

void CGameResource::AddBossHp(int32_t n) {
    if (boss.hp <= 0) return;
    boss.hp = Clamp(std::min<int64_t>(int64_t{boss.hp} + n, boss.maxHp), 1, INT32_MAX);
}

void CGameResource::GetEvadePoint(int32_t* x, int32_t* y, int32_t offset) const {
    const int32_t cx = TruncInt(progress.scrollX + 320.0);
    const int32_t cy = TruncInt(progress.scrollY + 240.0);
    *x = cx;
    *y = cy;
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    if (body == nullptr) return;
    const int32_t a = HeadingOf(body->x - player->x, body->y - player->y);
    const double dx = player->x - cx, dy = player->y - cy;
    const double d = std::sqrt(dx * dx + dy * dy) / 2;
    const int32_t r = TruncInt(20.0 - d + offset);
    const double rx = r * 1.25;
    const auto at = [a](int32_t turn) { return SinOf(static_cast<uint8_t>(a + turn)); };
    const double p1x = cx + at(128) * rx, p1y = cy + at(64) * r;
    const double p2x = cx + at(0) * rx, p2y = cy + at(-64) * r;
    const auto far2 = [body](double px, double py) {
        return (px - body->x) * (px - body->x) + (py - body->y) * (py - body->y);
    };
    const bool first = far2(p1x, p1y) > far2(p2x, p2y);
    *x = TruncInt(first ? p1x : p2x);
    *y = TruncInt(first ? p1y : p2y);
}

int32_t CGameResource::GetBossPartSpacing() const {
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    const CObjectEnemy* part = boss.heldPart != 0 ? BossElement(bossObjects, boss.heldPart) : nullptr;
    if (body == nullptr || part == nullptr) return 0;
    return part->kind->hitWidth / 2 + body->kind->hitWidth / 2;
}

void CGameResource::PlaceHeldPart() {
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    CObjectEnemy* part = boss.heldPart != 0 ? BossElement(bossObjects, boss.heldPart) : nullptr;
    if (body == nullptr || part == nullptr) return;
    if (boss.hp < 1 || boss.cooldown < 1) {
        part->poseTimer = 0;
        part->pose = 1;
        return;
    }
    if (part->pose == 1) part->pose = 0, part->poseTimer = 0;
    const int32_t s = GetBossPartSpacing();
    if (boss.bossId == 3) {
        const uint8_t a = AngleToHero(*body, *player);
        part->x = body->x + CosOf(a) * s;
        part->y = body->y + SinOf(a) * s;
        part->turn = a;
    } else {
        const bool left = body->facing == kFacingLeft;
        part->facing = left ? kFacingLeft : kFacingRight;
        part->x = left ? body->x - s : body->x + s;
        part->y = body->y + 20.0;
    }
}

void CGameResource::SnapPartsToBody() {
    const size_t n = boss.bossId == 2 ? 2 : boss.bossId == 3 ? 3 : 0;
    const size_t b = boss.snappedPart;
    const CObjectEnemy* body = BossElement(bossObjects, 0);
    if (n == 0 || b == 0 || body == nullptr || b + n > bossObjects.size()) return;
    for (size_t i = b; i < b + n; ++i) {
        CObjectEnemy* part = BossElement(bossObjects, i);
        if (part == nullptr) continue;
        part->x = body->x;
        part->y = body->y;
        if (boss.hp <= 0) part->phase = -2;
    }
}

void CGameResource::KeepBossOnScreen() {
    CObjectEnemy* body = BossElement(bossObjects, 0);
    if (body == nullptr || (progress.subStep != 0 && boss.bossId == 0) || boss.bossId == 12 ||
        boss.flinchCountdown == 0 || body->pose == 27) {
        return;
    }
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    const int32_t m = boss.bossId == 0 ? 24 : 8;
    body->x = std::min(std::max(body->x, double(cx + m)), double(cx + kScreenWidth - m));
    body->y = std::min(std::max(body->y, double(cy + m)), double(cy + kScreenHeight - m));
}

void CGameResource::ClearBossFight() {
    objects.remove_if([](const ObjectPtr& o) { return o && o->kind->undying != 0; });
    bossObjects.clear();
    formation = SBossFormation();
    ResetBossRecord();
}

void CGameResource::ReleaseStageImages() {
    KestraneGameBase2::CImageLoader& images = KestraneGameBase2::CImageLoader::GetInstance();
    if (const CObjectEnemy* body = BossElement(bossObjects, 0)) images.Release(body->kind->image);
    for (int32_t id = 60; id <= 361; ++id) images.Release(id);
}
