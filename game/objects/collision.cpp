// Contact and push-out: the hit areas of the three shapes, the terrain's contact direction,
// bounces and knock-backs, what each class does when it meets another, the barrier's burst
// queue and the confinement of the hero to the view.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/objects/objects.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::Rect;

namespace {

enum HitShape : uint8_t { kRectangle = 0, kCircle = 1, kTrapezoid = 2 };

// Directions of contact.
constexpr uint8_t kRight = kFacingRight, kDown = 64, kLeft = kFacingLeft, kUp = 192;

double SquaredDistance(double dx, double dy) { return dx * dx + dy * dy; }

// The squared distance from p to the segment from a to b.
double SquaredDistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double vx = px - ax, vy = py - ay;
    const double dot = vx * dx + vy * dy;
    const double length2 = dx * dx + dy * dy;
    if (dot < 0) return vx * vx + vy * vy;
    if (dot > length2) return SquaredDistance(px - bx, py - by);
    return vx * vx + vy * vy - dot * dot / length2;
}

// A circle of radius r at (cx, cy) against the slanted sides of the trapezoid t, whose
// bottom corners lie at +-hh from its centre, not +-hw.
bool CircleTouchesSlants(double cx, double cy, int32_t r, const CObjectBase& t) {
    const int32_t hw = t.kind->hitWidth / 2, hh = t.kind->hitHeight / 2;
    const double r2 = static_cast<double>(r) * r;
    for (const int32_t side : {-1, 1}) {
        const double d = SquaredDistanceToSegment(cx, cy, t.x + side * hh, t.y + hh, t.x + side * hw, t.y - hh);
        if (r2 > d) return true;
    }
    return false;
}

// The centres' distance.
double CentreDistance(const IObjectDraw& a, const IObjectDraw& b) {
    return std::sqrt(SquaredDistance(a.x - b.x, a.y - b.y));
}

}  // namespace

// ---- hit areas

void CObjectBase::GetHitRect(Rect& rect) const {
    rect.left = TruncInt(x - kind->hitWidth / 2);
    rect.top = TruncInt(y - kind->hitHeight / 2);
    rect.right = static_cast<int32_t>(static_cast<int64_t>(rect.left) + kind->hitWidth);
    rect.bottom = static_cast<int32_t>(static_cast<int64_t>(rect.top) + kind->hitHeight);
}

void CObjectJelly::GetHitRect(Rect& rect) const {
    rect.left = TruncInt(x);
    rect.top = TruncInt(y);
    rect.right = static_cast<int32_t>(static_cast<int64_t>(rect.left) + kCell * cellsWide);
    rect.bottom = static_cast<int32_t>(static_cast<int64_t>(rect.top) + kCell * cellsHigh);
}

bool CObjectBase::Overlaps(const CObjectBase& other) const {
    const bool circle = kind->hitShape == kCircle, otherCircle = other.kind->hitShape == kCircle;
    if (circle && otherCircle) {
        const int32_t radii = kind->hitWidth / 2 + other.kind->hitWidth / 2;
        return radii >= CentreDistance(*this, other);
    }
    if (circle) {
        if (CircleHitsRect(other)) return true;
        return other.kind->hitShape == kTrapezoid && CircleTouchesSlants(x, y, kind->hitWidth / 2, other);
    }
    if (otherCircle) return other.CircleHitsRect(*this);
    Rect a{}, b{};
    GetHitRect(a);
    other.GetHitRect(b);
    return b.top < a.bottom && a.top < b.bottom && b.left < a.right && a.left < b.right;
}

bool CObjectBase::CircleHitsRect(const CObjectBase& other) const {
    // 64 bits: the widened edges of a far-off rectangle must not wrap.
    const int64_t cx = TruncInt(x), cy = TruncInt(y), r = kind->hitWidth / 2;
    Rect rect{};
    other.GetHitRect(rect);
    const int64_t left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    if (left - r <= cx && cx < right + r && top <= cy && cy < bottom) return true;
    if (left <= cx && cx < right && top - r <= cy && cy < bottom + r) return true;
    const int64_t corners[4][2] = {{left, top}, {left, bottom}, {right, top}, {right, bottom}};
    for (const auto& c : corners) {
        const double d = std::sqrt(SquaredDistance(static_cast<double>(c[0] - cx), static_cast<double>(c[1] - cy)));
        if (static_cast<double>(r) > std::trunc(d)) return true;
    }
    return false;
}

uint8_t CObjectBase::GetContactDirection(double px, double py) const {
    const uint8_t a = AngleOf(px - x, py - y);
    return static_cast<uint8_t>((a + 32) & ~63);
}

uint8_t CObjectLand::GetContactDirection(double px, double py) const {
    // The exact diagonals go to the vertical or the horizontal side as the piece says.
    switch (AngleOf(px - x, py - y)) {
        case 32: return verticalContact != 0 ? kDown : kRight;
        case 96: return verticalContact != 0 ? kDown : kLeft;
        case 160: return verticalContact != 0 ? kUp : kLeft;
        case 224: return verticalContact != 0 ? kUp : kRight;
        default: return CObjectBase::GetContactDirection(px, py);
    }
}

// ---- push-out, bounce, knock-back

void CObjectBase::PushOut(double distance, uint8_t direction, bool keepFalling) {
    contact = 1;
    switch (direction) {
        case kUp:
            y -= distance;
            if (kind->gravity != 0 && !keepFalling) motion.vy = 0;
            break;
        case kDown: y += distance; break;
        case kLeft: x -= distance; break;
        case kRight: x += distance; break;
        default: break;
    }
}

void CObjectAvatar::PushOut(double distance, uint8_t direction, bool) {
    double* stored = nullptr;
    switch (direction) {
        case kUp: stored = &pushUp; break;
        case kDown: stored = &pushDown; break;
        case kLeft: stored = &pushLeft; break;
        case kRight: stored = &pushRight; break;
        default: return;
    }
    if (distance > *stored) *stored = distance;
}

void CObjectBase::ResolveOverlap(CObjectBase& terrain, bool keepFalling) {
    const uint8_t dir = terrain.GetContactDirection(x, y);
    int32_t tw = terrain.kind->hitWidth / 2, th = terrain.kind->hitHeight / 2;
    if (terrain.GetType() == kTypePudding && th < tw) std::swap(tw, th);
    if (tw == 0 || th == 0) return;
    const int32_t ownW = kind->hitWidth / 2, ownH = kind->hitHeight / 2;
    double depth = 0;
    switch (dir) {
        case kUp: depth = (y + ownH) - (terrain.y - th); break;
        case kDown: depth = (terrain.y + th) - (y - ownH); break;
        case kLeft: depth = (x + ownW) - (terrain.x - tw); break;
        case kRight: depth = (terrain.x + tw) - (x - ownW); break;
        default: return;
    }
    PushOut(depth, dir, keepFalling);
}

bool CObjectBase::Bounce(uint8_t direction, double restitution) {
    contact = 1;
    bool moving = true;
    // The axis across the contact reverses, damped; the position dips 4 pixels into the
    // terrain so that the push-out that follows sets it on the surface.
    const auto reverse = [&](double& v, double& position, double dip) {
        if (std::fabs(v * restitution) <= 0.1225) {
            v = 0;
            moving = false;
        } else {
            v = -(v * restitution);
        }
        position += dip;
    };
    switch (direction) {
        case kLeft: reverse(motion.vx, x, 4); break;
        case kRight: reverse(motion.vx, x, -4); break;
        case kUp: reverse(motion.vy, y, 4); break;
        case kDown: reverse(motion.vy, y, -4); break;
        default: break;
    }
    if (contactTimer == 0) ++bounceCount;
    contactTimer = 60;
    return moving;
}

namespace {

// The impulse of a knock: force along angle, then braking along the new heading by a
// quarter of the mass, the acceleration cleared and the hit flash started.
void Knock(CObjectBase& self, uint8_t angle, int32_t force) {
    ObjectMotion& m = self.motion;
    m.vx += CosOf(angle) * force;
    m.vy += SinOf(angle) * force;
    const double f = self.kind->mass * 0.25;
    const uint8_t heading = AngleOf(m.vx, m.vy);
    m.frictionX = std::fabs(CosOf(heading) * f);
    m.frictionY = std::fabs(SinOf(heading) * f);
    m.accelAngle = 0;
    m.accel = 0;
    m.speedLimit = 0;
    self.flashTimer = 15;
}

}  // namespace

void CObjectBase::KnockBack(const CObjectBase& other) {
    if (flashTimer > 0) return;
    const int32_t m = kind->mass;
    int32_t force = m == 10 ? 0 : m == 0 ? 10 : other.kind->mass * 10 / m;
    if (other.pose == 10) force *= 2;
    if (force == 0) return;
    Knock(*this, AngleOf(x - other.x, y - other.y), force);
}

void CObjectBase::KnockUp(const CObjectBase& other) {
    const int32_t force = 3 * kind->mass;
    const double below = other.y + other.kind->hitHeight / 4;  // from a point low in the other
    if (flashTimer == 0 && force != 0) Knock(*this, AngleOf(x - other.x, y - below), force);
    PlaySe(Se::kPuddingBounce);
}

// ---- what each class does on contact

bool CObjectBase::Collide(CObjectBase* other) {
    if (state != kStateAlive || pose == 1 || pose == 11 || other->GetType() != kTypeLand) return false;
    if (!Overlaps(*other)) return true;
    switch (kind->reaction) {
        case 0: SetState(kStateVanish); break;
        case 1:
        case 2:
            if (contactTimer == 0) {
                const uint8_t dir = other->GetContactDirection(x, y);
                if (kind->reaction == 1) {
                    Bounce(dir, 1.0);
                } else {
                    // Masses 0 and 1 would divide by 0: they rebound whole.
                    const int32_t divisor = std::max(1, (kind->mass + 1) / 3);
                    if (Bounce(dir, 1.0 / divisor)) {
                        const uint8_t index = kind->index;
                        if (GetType() == kTypeEnemy && index == 46) motion.vx /= 3;
                        const bool ringing = index == 1 || index == 2 || index == 5 || index == 6;
                        if (GetType() == kTypeBlock && ringing) PlaySe(Se::kRockBounce);
                    }
                }
                contactTimer = 1;
            }
            ResolveOverlap(*other, true);
            break;
        case 3: ResolveOverlap(*other, false); break;
        default: break;
    }
    return true;
}

bool CObjectLand::Collide(CObjectBase*) { return false; }
bool CObjectBossParts::Collide(CObjectBase*) { return false; }
bool CObjectPudding::Collide(CObjectBase*) { return false; }

bool CObjectEnemy::Collide(CObjectBase* other) {
    if (pose == 12) return false;
    if (CObjectBase::Collide(other)) return true;
    const int32_t t = other->GetType();
    const uint8_t index = kind->index;
    const bool meltsOnShot = (index == 34 || index == 36 || index == 37) && t == kTypeShot;
    const bool breaksOnBlock = index == 3 && t == kTypeBlock && other->pose != 1 && other->pose != 9;
    if ((meltsOnShot || breaksOnBlock) && Overlaps(*other)) {
        SetState(kStateVanish);
        return true;
    }
    return false;
}

bool CObjectBoss::Collide(CObjectBase* other) {
    if (CObjectBase::Collide(other)) return true;
    if (kind->index != 2) return false;
    const int32_t t = other->GetType();
    if ((t == kTypeEnemy || t == kTypeShot || t == kTypeBlock) && other->kind->power >= 1 && coolTimer == 0 &&
        Overlaps(*other)) {
        hp -= 100;
        coolTimer = 60;
        PlaySe(Se::kBarrierHitsEnemy);
        return true;
    }
    return false;
}

bool CObjectReflect::Collide(CObjectBase* other) {
    // Spent by its first hit: the frame's later sub-steps must not hit again with it.
    if (state != kStateAlive) return false;
    const int32_t t = other->GetType();
    if (t >= kTypeBlock && other->pose != 9 && other->pose != 1 && Overlaps(*other)) {
        SetState(kStateVanish);
        return true;
    }
    if (t != kTypeEnemy && t != kTypeShot && t != kTypeBoss && t != kTypeBossParts) return false;
    if (!Overlaps(*other)) return true;
    int32_t damage = kind->power;
    if (other->kind->undying != 0) {
        damage = 500;
        other->SetState(kStateKilledBySpecial);
    }
    other->hp = WrapSub(other->hp, damage);
    if (other->hp < 1 && other->kind->undying == 0) other->SetState(kStateKilledBySpecial);
    PlaySe(Se::kReflectorHit);
    SetState(kStateKilledBySpecial);  // spent
    return true;
}

namespace {

// Set on the pudding and sprung up off it; the pudding wobbles in pose for frames.
void SpringOffPudding(CObjectBase& self, CObjectBase& pudding, uint8_t pose, int32_t frames) {
    self.ResolveOverlap(pudding, false);
    self.KnockUp(pudding);
    pudding.pose = pose;
    pudding.poseTimer = frames;
}

}  // namespace

bool CObjectAvatar::Collide(CObjectBase* other) {
    if (pose == 5 || pose == 1 || other->state != kStateAlive || other->pose == 1 || other->pose == 9) return false;
    const int32_t t = other->GetType();
    if (t == kTypeItem) {
        // The pick-up reaches twice the item's width, not half.
        if (!(CentreDistance(*this, *other) < 2.0 * other->kind->hitWidth)) return false;
        other->SetState(kStateKilled);
        PlaySe(Se::kItemTaken);
        return true;
    }
    if (!Overlaps(*other)) return false;
    switch (t) {
        case kTypeShot:
            other->hp = WrapSub(other->hp, kind->power);
            if (other->hp <= 0 && other->pose != 8 && other->kind->reaction == 0) other->SetState(kStateVanish);
            [[fallthrough]];
        case kTypeEnemy:
            if (other->pose == 12) return false;
            if (other->pose == 22) {
                ResolveOverlap(*other, false);
                return false;
            }
            [[fallthrough]];
        case kTypeBoss:
        case kTypeBossParts:
        case kTypeBlock:
            if (coolTimer == 0 && other->pose != 8) {
                if (other->kind->mass == 10) {
                    ResolveOverlap(*other, false);
                } else {
                    KnockBack(*other);
                }
                if (other->kind->power > 0) {
                    hp -= other->kind->power;
                    coolTimer = 90;
                    PlaySe(Se::kHeroHit);
                    if (other->GetType() == kTypeEnemy && other->kind->index == 5) other->phase = 1;
                }
            } else if (other->kind->undying != 0) {
                KnockBack(*other);
            }
            break;
        case kTypeLand:
            ResolveOverlap(*other, false);
            if (other->kind->power != 0 && other->pose != 8) {
                pose = 2;
                poseTimer = 15;
                hp -= other->kind->power;
            }
            break;
        case kTypePudding: SpringOffPudding(*this, *other, 20, 30); break;
        case kTypeJelly: other->Collide(this); break;
        default: break;
    }
    return false;
}

int32_t CObjectBarrier::MetAs(const CObjectBase& other) {
    const SObjectKind& k = *other.kind;
    return k.undying != 0 && k.power > 0 && (other.pose == 10 || k.mass > 9) ? kTypeBlock : other.GetType();
}

bool CObjectBarrier::WearsDown(const CObjectBase& other) {
    if (other.state != kStateAlive || other.pose == 1 || other.pose == 9) return false;
    const int32_t t = MetAs(other);
    return t == kTypeEnemy || t == kTypeBoss || t == kTypeBossParts;
}

bool CObjectBarrier::Collide(CObjectBase* other) {
    if (other->state != kStateAlive || other->pose == 1 || other->pose == 9 || !Overlaps(*other)) return false;
    const SObjectKind& ok = *other->kind;
    switch (MetAs(*other)) {
        case kTypeEnemy:
        case kTypeBoss:
        case kTypeBossParts: {
            ++hitCount;
            other->hp = WrapSub(other->hp, kind->power);
            if (other->hp < 1 && ok.undying == 0) {
                other->SetState(kStateKilled);
                hitCount += 10;
            } else {
                PlaySe(Se::kBarrierHitsEnemy);
            }
            const uint8_t a = AngleOf(other->x - x, other->y - y);
            const double recoil = std::max(1.0, 10 - CentreDistance(*this, *other));
            x -= CosOf(a) * recoil;
            y -= SinOf(a) * recoil;
            if (other->pose != 13 && ok.mass != 10) {
                other->x += CosOf(a) * 0.5;
                other->y += SinOf(a) * 0.5;
            }
            PushBurst({a, static_cast<uint8_t>(std::min(48, ((ok.hitHeight + ok.hitWidth) / 2) >> 3))});
            break;
        }
        case kTypeItem:
            other->KnockBack(*this);
            other->coolTimer = 60;
            PlaySe(Se::kItemSwatted);
            break;
        case kTypeShot:
            other->pose = 6;
            other->poseTimer = 0;
            PlaySe(Se::kShotTurnedBack);
            break;
        case kTypeBlock:
            if (coolTimer == 0 && other->pose != 8) {
                if (ok.power > 0) {
                    hp -= ok.power;
                    coolTimer = 60;
                    KnockBack(*other);
                    PlaySe(Se::kBarrierHitByBlock);
                } else {
                    ResolveOverlap(*other, false);
                }
            }
            break;
        case kTypePudding: SpringOffPudding(*this, *other, 23, 60); break;
        case kTypeJelly: other->Collide(this); break;
        default: break;
    }
    return false;
}

bool CObjectJelly::Collide(CObjectBase* other) {
    const int32_t t = other->GetType();
    if (t != kTypeAvatar && t != kTypeBarrier) return false;
    if (cells.size() < 2u * cellsWide * cellsHigh) return false;
    // The hero reaches the jelly's whole width, a barrier its own half width.
    const int32_t r = t == kTypeAvatar ? kind->hitWidth : other->kind->hitWidth / 2;
    const int64_t span = r / 8;
    const auto range = [span](double from, int32_t cells, int32_t& begin, int32_t& end) {
        const int64_t first = TruncInt(from / kCell);
        begin = static_cast<int32_t>(std::clamp<int64_t>(first, 0, cells));
        end = static_cast<int32_t>(std::clamp<int64_t>(first + span + 1, 0, cells));
    };
    int32_t col0 = 0, col1 = 0, row0 = 0, row1 = 0;
    range(other->x - x - r, cellsWide, col0, col1);
    range(other->y - y - r, cellsHigh, row0, row1);
    if (row0 >= row1) return false;
    const double r2 = static_cast<double>(r) * r;
    static constexpr int32_t kCorners[4][2] = {{0, 0}, {0, kCell}, {kCell, 0}, {kCell, kCell}};
    bool ate = false;
    for (int32_t row = row0; row < row1; ++row) {
        for (int32_t col = col0; col < col1; ++col) {
            uint8_t* cell = Cell(col, row);
            if (cell[0] != 0) continue;
            for (const auto& c : kCorners) {
                const double cx = x + kCell * col + c[0], cy = y + kCell * row + c[1];
                if (!(r2 >= SquaredDistance(other->x - cx, other->y - cy))) continue;
                if (t == kTypeAvatar) {
                    other->SetBrake(1);
                    return false;
                }
                cell[0] = kEaten;
                eatenScore = static_cast<uint16_t>(eatenScore + kind->score);
                PlaySe(Se::kJellyEaten);
                ate = true;
                break;
            }
        }
    }
    return ate;
}

// ---- the barrier's bursts

void CObjectBarrier::PushBurst(const SBurst& burst) { burstQueue.push_back(burst); }

bool CObjectBarrier::PopBurstAngle(uint8_t& angle, tovarineGameSDK3rd::Math::CRand& random) {
    if (burstQueue.empty()) return false;
    const SBurst burst = burstQueue.back();
    burstQueue.pop_back();
    const uint32_t spread = burst.size == 0 ? 0 : random.Get(2u * burst.size);
    angle = static_cast<uint8_t>(burst.angle + spread - burst.size);
    return true;
}

// ---- the hero in the view

void CGameResource::ConfinePlayer(CObjectAvatar* hero, bool crushCheck) {
    Rect bounds{};
    GetScrollBounds(bounds);
    const double width = static_cast<double>(bounds.right) - bounds.left;
    const double height = static_cast<double>(bounds.bottom) - bounds.top;
    const bool edges = hero->pose != 16;  // the walk-off leaves the view
    // Where the pieces he met would put him, before the edges push back.
    const double placed = hero->y - hero->pushUp + hero->pushDown;
    bool fromLeft = false, fromRight = false;
    if (edges) {
        const double dx = hero->x - bounds.left, dy = hero->y - bounds.top;
        if (dx < 0) hero->PushOut(-dx, kRight, false), fromLeft = true;
        if (dx > width) hero->PushOut(dx - width, kLeft, false), fromRight = true;
        if (dy < 0) hero->PushOut(-dy, kDown, false);
        if (dy > height) hero->PushOut(dy - height, kUp, false);
    }
    const bool upAndDown = hero->pushUp != 0 && hero->pushDown != 0;
    const bool squeezed = upAndDown || (hero->pushLeft != 0 && hero->pushRight != 0 && !fromRight);
    // Pieces that would carry his whole body out of sight, against the bottom or top edge, hold
    // him there where no key moves him: squeezed so, he is crushed too. A ledge sets his feet on
    // its surface, so one inside the view never holds him, however far he sank into it. Walls
    // at his sides hold nothing up or down: there the edge alone brings him back.
    const int32_t half = hero->kind->hitHeight / 2;
    const bool above = placed + half <= bounds.top, below = placed - half >= bounds.bottom;
    const bool heldOutside = edges && upAndDown && (above || below);
    if (crushCheck && ((squeezed && fromLeft) || heldOutside)) {
        RescueCrushedPlayer();
    } else {
        hero->y -= hero->pushUp;
        hero->y += hero->pushDown;
        hero->x -= hero->pushLeft;
        hero->x += hero->pushRight;
        // Where nothing crushes him (the last stage), the edges hold him in sight; nor does a
        // push at the right edge carry him past it anywhere. Elsewhere the left edge lets him
        // past, since its push on the next frame is what finds him crushed there. These put-backs
        // do not look at the pieces: one he met may still overlap him where the edge puts him (a
        // part 30 px into him past the scrolling left edge leaves him inside it), which is kept,
        // since there is nowhere else in sight to put him and nothing crushes him on that stage.
        if (heldOutside) hero->y = above ? bounds.top : bounds.bottom;
        if (edges && hero->x - bounds.left > width) hero->x = bounds.right;
        if (edges && !crushCheck && hero->x < bounds.left) hero->x = bounds.left;
    }
    hero->pushUp = hero->pushDown = hero->pushLeft = hero->pushRight = 0;
}
