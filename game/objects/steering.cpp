// Steering: velocity changes on a motion record, courses toward other objects, and the enemy
// family's travel to a point, which accelerates, brakes in time by the kind's mass and stops
// or snaps at the end.
#include <cmath>

#include "framework/sine_table.h"
#include "game/objects/objects.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

void ObjectMotion::SetFrictionByAngle(uint8_t angle, double amount) {
    frictionX = std::fabs(CosOf(angle)) * amount;
    frictionY = std::fabs(SinOf(angle)) * amount;
}

uint8_t TurnAngleToward(uint8_t from, uint8_t step, uint8_t target) {
    const int32_t c = from;
    const int32_t t = target;
    if (c == t) return from;
    const int32_t to = t < c ? t + 256 : t;
    int32_t n = 0;
    if (to - c >= 128) {  // shorter the other way
        n = (c - step) & 255;
        if (c >= step && c - step + 256 < to) n = t;
    } else {
        n = (c + step) & 255;
        if (c + step > to) n = t;
    }
    return static_cast<uint8_t>(n);
}

uint8_t ObjectMotion::TurnToward(uint8_t step, uint8_t target) {
    const uint8_t c = static_cast<uint8_t>(GetHeading() & 255);
    if (c == target) return c;
    const uint8_t n = TurnAngleToward(c, step, target);
    const double speed = Speed();
    vx = CosOf(n) * speed;
    vy = SinOf(n) * speed;
    return n;
}

void ObjectMotion::SetVelocity(uint8_t angle, double speed) {
    vx = CosOf(angle) * speed;
    vy = SinOf(angle) * speed;
}

void ObjectMotion::Rotate(uint8_t angle) {
    const double c = CosOf(angle);
    const double s = SinOf(angle);
    const double x = vx;
    vx = x * c - vy * s;
    vy = x * s + vy * c;
}

namespace {

void Course(CObjectBase& self, uint8_t a, double speed, double accel, double limit) {
    self.motion.SetVelocity(a, speed);
    if (accel != 0) {
        self.motion.accel = accel;
        self.motion.accelAngle = a;
        self.motion.speedLimit = limit;
    }
}

}  // namespace

void CObjectBase::SetCourse(const CObjectBase& target, double speed, double accel, double limit) {
    Course(*this, AngleOf(target.x - x, target.y - y), speed, accel, limit);
}

void CObjectBase::SetCourseOffset(const CObjectBase& target, double accel, double limit, double speed) {
    Course(*this, static_cast<uint8_t>(AngleOf(target.x - x, target.y - y) + 12), speed, accel, limit);
}

void CObjectBase::SetVelocityFromPosition(double speed) {
    const int32_t r = TruncInt(y) % 32;
    const uint8_t angle = static_cast<uint8_t>(r >= 16 ? r : r - 32);
    motion.SetVelocity(angle, speed);
}

// ---- travel

void CObjectBase::MoveToward(uint8_t stopAtEnd, double speed, double accel, double limit, double tx, double ty) {
    CObjectEnemy* self = AsEnemy();
    if (self == nullptr || (tx == x && ty == y)) return;
    if (limit <= 0) limit = 1.0;
    if (accel <= 0) accel = 1.0;
    self->moving = 1;
    self->stopAtEnd = stopAtEnd;
    self->targetX = TruncInt(tx);
    self->targetY = TruncInt(ty);

    const double dx = tx - x;
    const double dy = ty - y;
    const uint8_t a = AngleOf(dx, dy);
    motion.vx = CosOf(a) * speed;
    motion.vy = SinOf(a) * speed;
    motion.accel = accel;
    motion.speedLimit = limit;
    motion.accelAngle = a;
    motion.frictionX = motion.frictionY = 0;

    self->travelTimer = TruncInt(std::sqrt(dx * dx + dy * dy) / limit + limit / accel + 10);
    if (stopAtEnd != 0) self->travelTimer = WrapSub(self->travelTimer, -30);
    self->travelReserved = 0;
    self->travelSpeed = static_cast<float>(speed);
    self->travelAccel = static_cast<float>(accel);
    self->travelLimit = static_cast<float>(limit);
}

void CObjectBase::UpdateTravel() {
    CObjectEnemy* self = AsEnemy();
    if (self == nullptr || self->moving == 0) return;
    self->travelTimer = WrapSub(self->travelTimer, 1);
    if (self->travelTimer < 0) {
        EndTravel();
        return;
    }
    const double dx = self->targetX - x;
    const double dy = self->targetY - y;
    const double d = std::sqrt(dx * dx + dy * dy);
    double s = motion.Speed();
    if (self->stopAtEnd == 0) {
        if (s < 1.0) s = 1.0;
        if (s > d) {
            x = self->targetX;
            y = self->targetY;
            EndTravel();
            return;
        }
    }
    if (motion.frictionX != 0 || motion.frictionY != 0) return;  // braking
    motion.accel = self->travelAccel;
    motion.accelAngle = AngleOf(dx, dy);
    motion.speedLimit = self->travelLimit;
    double m = kind->mass / 10.0;
    if (m <= 0) m = 0.1;
    if (s / m * s * 0.5 > d) {  // the braking distance reaches the target
        motion.SetFrictionByAngle(static_cast<uint8_t>(-motion.GetHeading()), m);
        motion.accelAngle = 0;
        motion.accel = 0;
        motion.speedLimit = 0;
        self->travelTimer = TruncInt(s / m);
    }
}

bool CObjectBase::IsApproaching() const {
    const CObjectEnemy* self = AsEnemy();
    return self != nullptr && self->moving != 0 && motion.frictionX == 0 && motion.frictionY == 0;
}

void CObjectBase::EndTravel() {
    CObjectEnemy* self = AsEnemy();
    if (self == nullptr) return;
    self->moving = 0;
    self->targetX = self->targetY = 0;
    if (self->stopAtEnd != 0) motion.Clear();
}
