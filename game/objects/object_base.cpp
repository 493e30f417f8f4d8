#include "game/objects/object_base.h"

#include <cmath>

#include "framework/sine_table.h"
#include "game/objects/objects.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::Rect;

int32_t HeadingOf(double dx, double dy) { return TruncInt(std::atan2(dy, dx) * 128.0 / 3.14159265); }

// ---- motion

double ObjectMotion::Speed() const { return std::sqrt(vx * vx + vy * vy); }

void ObjectMotion::Step() {
    vx += CosOf(accelAngle) * accel;
    vy += SinOf(accelAngle) * accel;
    if (speedLimit > 0) {
        const double speed = Speed();
        if (speed > speedLimit) {
            vx *= speedLimit / speed;
            vy *= speedLimit / speed;
        }
    }
}

void ObjectMotion::ApplyFriction() {
    const auto axis = [](double& v, double& f) {
        if (!(f > 0) || v == 0) return;
        const double next = v > 0 ? v - f : v + f;
        if (v > 0 ? next < 0 : next > 0) {
            v = 0;
            f = 0;
        } else {
            v = next;
        }
    };
    axis(vx, frictionX);
    axis(vy, frictionY);
}

uint8_t IObjectDraw::GetOutsideSide(const Rect& rect, int32_t width, int32_t height) const {
    if (rect.left > x + width / 2) return kOutsideLeft;
    if (rect.top > y + height / 2) return kOutsideAbove;
    if (x - width / 2 > rect.right) return kOutsideRight;
    if (y - height / 2 > rect.bottom) return kOutsideBelow;
    return kInside;
}

// ---- trail

void IObjectShadow::PushTrail(double x, double y) {
    if (trailLength == 0) return;
    trail.push_front({TruncInt(x), TruncInt(y)});
    while (trail.size() > trailLength) trail.pop_back();
}

void IObjectShadow::UpdateTrailScreen(CGameResource& game, int32_t width, int32_t height, bool jitter) {
    trailScreen.clear();
    for (const SPoint& p : trail) {
        int16_t sx = static_cast<int16_t>(p.x);
        int16_t sy = static_cast<int16_t>(p.y);
        game.ToScreenTopLeft(sx, sy, width, height, jitter);
        trailScreen.push_back({sx, sy});
    }
}

void IObjectShadow::OffsetTrailScreen(int32_t dx, int32_t dy) {
    for (SPoint& p : trailScreen) p.x += dx, p.y += dy;
}

// ---- the base object

void CObjectBase::Update(CGameResource& game) {
    ++animCounter;
    if (kind->frameTime > 0 && animCounter > kind->frames.size() * static_cast<uint64_t>(kind->frameTime)) {
        animCounter = 0;
    }
    if (poseTimer > 0 && --poseTimer == 0) pose = 0;
    if (coolTimer != 0) --coolTimer;
    if (flashTimer != 0) --flashTimer;
    if (contactTimer != 0) --contactTimer;
    if (contact == 0) contactTimer = 0;
    contact = 0;
    if (fadeDelay > 0) {
        --fadeDelay;
    } else if (fadeCounter > 0 && --fadeCounter == 0 && fadeRepeat != 0) {
        fadeCounter = fadeLength;
    }

    // The hero, the barriers and the bosses are never culled.
    const int32_t type = GetType();
    if (type == kTypeAvatar || type == kTypeBarrier || type == kTypeBoss || type == kTypeBossParts) return;
    const double scroll = game.progress.scrollX;
    const bool small = type == kTypeItem || type == kTypeShot || type == kTypeReflect;
    const Rect keepAlive = small ? Rect{TruncInt(scroll - 32), -32, TruncInt(scroll + 640 + 32),
                                        game.verticalScrollRange + 512}
                                 : Rect{TruncInt(scroll - 128), -64, TruncInt(scroll + 640 + 256),
                                        game.verticalScrollRange + 544};
    if (GetOutsideSide(keepAlive, kind->hitWidth, kind->hitHeight) != kInside) SetState(kStateRemove);
}

void CObjectBase::ApplyGravity(const CGameResource& game) {
    if (kind->gravity != 0 && state == kStateAlive) motion.vy += game.gravity;
}

void CObjectBase::UpdateScreenPosition(CGameResource& game) {
    screenX = static_cast<int16_t>(TruncInt(x));
    screenY = static_cast<int16_t>(TruncInt(y));
    game.ToScreenTopLeft(screenX, screenY, kind->cellWidth, kind->cellHeight, jitter != 0);
}

CObjectEnemy* CObjectBase::AsEnemy() {
    const int32_t type = GetType();
    return type == kTypeEnemy || type == kTypeBoss || type == kTypeBossParts ? static_cast<CObjectEnemy*>(this)
                                                                             : nullptr;
}

const CObjectEnemy* CObjectBase::AsEnemy() const { return const_cast<CObjectBase*>(this)->AsEnemy(); }
