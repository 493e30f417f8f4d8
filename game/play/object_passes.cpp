// The object passes: the physical half of the in-game frame. Motion, then the moves cut into
// sub-steps as fine as the fastest body needs (one per 8 pixels of speed, so nothing passes
// through thin terrain), each with its collisions, then the scroll's carry, friction and the
// effect lists. Collision itself is the objects' own; this decides who meets whom, and when.
#include <algorithm>
#include <cmath>
#include <list>

#include "game/play/game_resource.h"

namespace {

// Beyond this a body crosses the whole view in one frame; more sub-steps would only stall
// the frame (a speed of 1e9 would ask for 125 million of them).
constexpr int32_t kMaxSubSteps = 81;

int32_t SubStepCount(const CGameResource& game) {
    if (game.progress.subStep == 0) return 1;
    int32_t fastest = 0;
    const auto consider = [&fastest](const CObjectBase& o) {
        const int32_t speed = TruncInt(o.motion.Speed());
        if (speed > fastest) fastest = speed;
    };
    consider(*game.player);
    for (const auto& o : game.objects) consider(*o);
    if (fastest <= 8) return 1;
    return std::min(fastest / 8 + 1, kMaxSubSteps);
}

bool IsMoving(const ObjectMotion& m) { return m.vx != 0 || m.vy != 0 || m.accel != 0; }

// Erases the effects for which step answers false, in list order.
template <class Step>
void StepEffects(std::list<CGameResource::EffectPtr>& list, Step step) {
    for (auto it = list.begin(); it != list.end();) it = step(**it) ? std::next(it) : list.erase(it);
}

bool UpdateOnScreen(CObjectEffect& e) { return e.Update(CGameResource::kScreenWidth, CGameResource::kScreenHeight); }

}  // namespace

void CGameResource::UpdateObjectLists() {
    passesRunning_ = false;
    SyncListed();
    passesRunning_ = true;
    struct SEnd {
        bool& running;
        ~SEnd() { running = false; }
    } end{passesRunning_};

    const bool crushCheck = progress.stage != 3;  // on the last stage a squeezed hero is not rescued
    CopyBossMotionToSegments();
    PlaceSegmentsOnBody();

    for (auto& o : objects) {
        o->motion.Step();
        o->ApplyGravity(*this);
    }

    CObjectAvatar& hero = *player;
    const bool barrierUp = status.barrierUp != 0;
    if (barrierUp) {
        CObjectBarrier& barrier = ActiveBarrier();
        barrier.motion.Step();
        hero.motion = barrier.motion;
    } else {
        hero.motion.Step();
        hero.ApplyGravity(*this);
        if (hero.IsBraking()) {
            hero.motion.vx /= 2;
            hero.motion.vy /= 2;
        }
        hero.SetBrake(0);
    }

    const int32_t n = SubStepCount(*this);
    for (int32_t i = 0; i < n; ++i) {
        // The walk reaches objects a collision makes (a reflector, an item) in this same step.
        for (auto& o : objects) {
            if (o->state == kStateRemove) continue;
            o->Move(n);
            if (IsMoving(o->motion)) CollideWithOthers(o.GetNoCheck());
        }
        UpdateBossChain(false);
        if (barrierUp) {
            CObjectBarrier& barrier = ActiveBarrier();
            if (barrier.state != kStateRemove) {
                barrier.Move(n);
                CollideWithOthers(&barrier);
            }
            hero.x = barrier.x;
            hero.y = barrier.y;
            CollideWithLand(&hero);
        } else if (hero.state != kStateRemove) {
            hero.Move(n);
            CollideWithOthers(&hero);
        }
        ConfinePlayer(&hero, crushCheck);
        if (progress.subStep != 0) {
            CObjectBarrier& barrier = ActiveBarrier();
            barrier.x = hero.x;
            barrier.y = hero.y;
        }
    }

    // The scroll carries the items, the drifting enemies and the hero, unless it brakes.
    const double carry = progress.scrollSpeed;
    if (carry != 0) {
        for (auto& o : objects) {
            const int32_t type = o->GetType();
            if (type == kTypeItem || (type == kTypeEnemy && o->kind->index == 1)) {
                o->x += carry;
                CollideWithOthers(o.GetNoCheck());
            }
        }
        if (barrierUp) {
            CObjectBarrier& barrier = ActiveBarrier();
            barrier.x += carry;
            CollideWithOthers(&barrier);
            hero.x += carry;
            CollideWithLand(&hero);
        } else if (!hero.IsBraking()) {
            hero.x += carry;
            CollideWithOthers(&hero);
        }
        UpdateBossChain(false);
    }

    for (auto& o : objects) o->motion.ApplyFriction();
    if (barrierUp) {
        CObjectBarrier& barrier = ActiveBarrier();
        barrier.motion.ApplyFriction();
        hero.motion = barrier.motion;
    } else {
        hero.motion.ApplyFriction();
    }

    UpdateEffectList(effects);
    UpdateEffectList(backEffects);
    StepEffects(landEffects, [this](CObjectEffect& e) { return UpdateOnScreen(e) && e.CheckLand(*this); });
    // Front effects ride on the boss body's screen point while there is a body.
    const CObjectBase* body = bossObjects.empty() ? nullptr : bossObjects[0].GetNoCheck();
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    StepEffects(frontEffects, [body, cx, cy](CObjectEffect& e) {
        if (body != nullptr) {
            e.x = body->x - cx;
            e.y = body->y - cy;
        }
        return UpdateOnScreen(e);
    });
}

void CGameResource::UpdateEffectList(std::list<EffectPtr>& list) { StepEffects(list, UpdateOnScreen); }

void CGameResource::SyncListed() {
    if (!passesRunning_ || listed_.size() > objects.size()) listed_.clear();
    auto it = objects.end();
    for (size_t fresh = objects.size() - listed_.size(); fresh > 0; --fresh) --it;
    for (; it != objects.end(); ++it) listed_.push_back({it->GetNoCheck(), (*it)->GetType()});
}

template <class Filter>
void CGameResource::CollideWithListed(CObjectBase* obj, Filter filter) {
    SyncListed();
    for (size_t i = 0; i < listed_.size(); ++i) {
        if (!filter(listed_[i].type)) continue;
        obj->Collide(listed_[i].object);
        if (objects.size() != listed_.size()) SyncListed();
    }
}

void CGameResource::CollideWithOthers(CObjectBase* obj) {
    const int32_t type = obj->GetType();
    if (type == kTypeLand) return;
    CollideWithListed(obj, [type](int32_t other) { return other != type; });
    if (boss.floorLimit != 0 && obj->kind->undying != 0) {
        const int32_t bottom = TruncInt(obj->y + obj->kind->hitHeight / 2);
        if (bottom > boss.floorLimit) obj->PushOut(bottom - boss.floorLimit, 192, false);
    }
}

void CGameResource::CollideWithLand(CObjectBase* obj) {
    CollideWithListed(obj, [](int32_t other) { return other == kTypeLand; });
}

void CGameResource::CopyBossMotionToSegments() {
    if (bossObjects.empty() || bossObjects[0].isNull()) return;
    const ObjectMotion& motion = bossObjects[0]->motion;
    for (auto& segment : formation.segments) {
        if (!segment.isNull()) segment->motion = motion;
    }
}

void CGameResource::PlaceSegmentsOnBody() {
    if (bossObjects.empty() || bossObjects[0].isNull()) return;
    const CObjectBase& body = *bossObjects[0];
    for (auto& segment : formation.segments) {
        if (segment.isNull()) continue;
        segment->x = body.x;
        segment->y = body.y + segment->kind->hitHeight / 2;
    }
}
