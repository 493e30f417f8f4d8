#pragma once
// The object model: everything that moves or is drawn on the play field. IObjectDraw holds
// what the draw list and the motion code share; CObjectBase is every moving, colliding
// object; IObjectShadow is the after-image trail that some classes add as a second base.
// Every object points at its kind record, owned by the play state, for its whole life.
// The classes themselves are in game/objects/objects.h.
#include <algorithm>
#include <cstdint>
#include <list>

#include "draw/base/blt_geometry.h"
#include "draw/surface.h"
#include "framework/blt_support.h"
#include "game/files/kind_tables.h"

class CGameResource;
class CObjectEnemy;

// int(v) as the machine's conversion answers it: NaN and values beyond 32 bits give INT32_MIN
// (what the original's x86 conversion gives), without undefined behaviour.
inline int32_t TruncInt(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// a + b and a - b in 32 bits with the machine's wrap-around.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// (u8)(-m t - 1): a tint level that rises to 255 as a counting-down timer t ends.
inline uint32_t RisingLevel(int32_t m, int32_t t) {
    return static_cast<uint8_t>(WrapSub(-1, static_cast<int32_t>(static_cast<uint32_t>(m) * static_cast<uint32_t>(t))));
}

// The direction of a vector, int(atan2(dy, dx) x 128 / 3.14159265): -128..128 unreduced, and
// as a byte angle (256 steps a turn, 0 right, 64 down). The short constant is behaviour.
int32_t HeadingOf(double dx, double dy);
inline uint8_t AngleOf(double dx, double dy) { return static_cast<uint8_t>(HeadingOf(dx, dy)); }

// The facing byte of an object that looks sideways: the angle it looks along.
constexpr uint8_t kFacingRight = 0;
constexpr uint8_t kFacingLeft = 128;

// from turned toward target by at most step, the shorter way round (the angle rule of
// ObjectMotion::TurnToward).
uint8_t TurnAngleToward(uint8_t from, uint8_t step, uint8_t target);

// Velocity and its constant acceleration; directions are byte angles.
struct ObjectMotion {
    double vx = 0;
    double vy = 0;
    uint8_t accelAngle = 0;
    double accel = 0;       // added to the velocity each motion step; 0 none
    double speedLimit = 0;  // > 0: the velocity is scaled down to this length
    double frictionX = 0;   // > 0: abs(vx) shrinks by this much each step
    double frictionY = 0;

    void Clear() { *this = ObjectMotion(); }
    double Speed() const;
    // Acceleration along accelAngle, then the speed limit.
    void Step();
    // Each axis toward 0 by its friction; the step that would cross 0 stops the axis and
    // clears its friction.
    void ApplyFriction();

    // ---- steering
    void SetFrictionByAngle(uint8_t angle, double amount);
    // Turns the velocity by at most step toward target, keeping its speed; the new heading.
    uint8_t TurnToward(uint8_t step, uint8_t target);
    int32_t GetHeading() const { return HeadingOf(vx, vy); }
    void Rotate(uint8_t angle);
    // A velocity of speed along the angle.
    void SetVelocity(uint8_t angle, double speed);
};

enum ObjectTypeId : int32_t {
    kTypeAvatar = 0,
    kTypeBarrier = 1,
    kTypeEnemy = 2,
    kTypeBoss = 3,
    kTypeBossParts = 4,
    kTypeItem = 5,
    kTypeShot = 6,
    kTypeReflect = 7,
    kTypeBlock = 8,
    kTypeLand = 9,
    kTypePudding = 10,
    kTypeJelly = 11,
    kTypeEffect = 12,
    kTypeCutin = 13,
    kTypeENumber = 14,
    kTypeFont = 15,
};

enum ObjectState : uint8_t {
    kStateAlive = 0,
    kStateRemove = 1,      // the owning list erases the object at its next pass
    kStateVanish = 2,      // dies with its effect only
    kStateKilled = 3,      // dies with score, item drop and effect
    kStateKilledBySpecial = 4,  // as killed, by the player's special; the gauge grows
    kStateKilledByBlast = 5,    // as killed, by the skill blast: paid at once, half again, outside the chain
};

// GetOutsideSide's answers: the one side of the rectangle that the box lies wholly beyond.
enum OutsideSide : uint8_t {
    kInside = 0,
    kOutsideAbove = 1,
    kOutsideLeft = 4,
    kOutsideBelow = 16,
    kOutsideRight = 64,
};

class IObjectDraw : public KestraneGameBase2::CBltSupport {
public:
    virtual void Draw(tovarineGameSDK3rd::Draw::ISurface* target) = 0;
    virtual int32_t GetDrawPriority() const = 0;
    virtual void ResetMotion() { motion.Clear(); }
    // The box centred on (x, y), halves by integer division, against rect: left is tested
    // first, then above, right, below; strict comparisons, so touching is inside.
    virtual uint8_t GetOutsideSide(const tovarineGameSDK3rd::Draw::Rect& rect, int32_t width, int32_t height) const;
    virtual int32_t GetType() const = 0;

    // The position moves by the velocity divided by parts (the passes' sub-steps).
    void Move(int32_t parts = 1) {
        x += motion.vx / parts;
        y += motion.vy / parts;
    }
    // The effects' whole motion: step, move, friction.
    void StepMotion() {
        motion.Step();
        Move();
        motion.ApplyFriction();
    }

    // alpha after the fade: alpha x fadeCounter / fadeLength, 0 at a fade counter of 0.
    uint8_t EffectiveAlpha() const {
        if (fadeLength == 0) return alpha;
        if (fadeCounter == 0) return 0;
        return static_cast<uint8_t>(alpha * fadeCounter / fadeLength);
    }

    uint16_t animCounter = 0;  // frame counter of effects; objects count in their own 32 bits
    int16_t fadeCounter = -1;
    int16_t fadeLength = 0;  // 0: no fade; else alpha x fadeCounter / fadeLength
    int16_t fadeDelay = 0;
    uint8_t fadeRepeat = 0;
    int16_t screenX = 0;  // the sprite's top-left on the screen, set every frame
    int16_t screenY = 0;
    uint8_t alpha = 255;
    uint8_t additive = 0;
    uint8_t jitter = 0;  // the screen x shakes by a random offset each frame
    uint8_t turn = 0;    // drawing angle; 0 not turned
    int8_t priorityOffset = 0;
    double x = 0;  // the centre, in world pixels (effects: screen pixels)
    double y = 0;
    ObjectMotion motion;
    uint8_t flashTimer = 0;  // hit-flash frames
};

// The after-image trail: past centres, newest first, and the same points on the screen.
class IObjectShadow {
public:
    struct SPoint {
        int32_t x = 0;
        int32_t y = 0;
        bool operator==(const SPoint&) const = default;
    };

    virtual ~IObjectShadow() = default;

    // The centre, truncated, at the front; the oldest points go beyond trailLength.
    void PushTrail(double x, double y);
    // trailScreen anew from trail: each point less the camera and half the cell, with the
    // 16-bit wrap; jitter shakes each x from the play generator.
    void UpdateTrailScreen(CGameResource& game, int32_t width, int32_t height, bool jitter);
    void OffsetTrailScreen(int32_t dx, int32_t dy);

    // The after-images along trailScreen (game/objects/draw_field.cpp): a copy at every
    // (spacing + 1)-th point, fading by alpha / (length + 1) a point toward the end. Cut from
    // the object kind's frames stepping back one a copy, from one fixed rectangle, or from the
    // effect kind's frames (which fade only where a copy is drawn).
    void DrawTrail(tovarineGameSDK3rd::Draw::ISurface* target, const SObjectKind* kind, int32_t counter,
                   uint8_t alpha, bool advance);
    void DrawTrailRect(tovarineGameSDK3rd::Draw::ISurface* target, const SObjectKind* kind, uint8_t alpha,
                       const tovarineGameSDK3rd::Draw::Rect* source);
    void DrawEffectTrail(tovarineGameSDK3rd::Draw::ISurface* target, const SEffectKind* kind, int32_t counter,
                         uint8_t alpha, bool advance);
    // Room for `images` copies, one every (spacing + 1)-th point; the stored points go.
    void ResetNodeList(uint16_t images, uint16_t spacing) {
        trailSpacing = spacing;
        trailLength = static_cast<uint16_t>((spacing + 1) * images);
        trail.clear();
        trailScreen.clear();
    }
    // Both halves, as the trail classes run them each frame.
    void StepTrail(CGameResource& game, double x, double y, int32_t width, int32_t height, bool jitter) {
        PushTrail(x, y);
        UpdateTrailScreen(game, width, height, jitter);
    }

    std::list<SPoint> trail;
    std::list<SPoint> trailScreen;
    uint16_t trailLength = 0;  // 0: no trail is recorded
    uint16_t trailSpacing = 0;  // a copy is drawn at every (spacing + 1)-th point
    uint8_t trailRow = 0;
    uint8_t trailTurn = 0;
};

// ---- the drawing helpers (game/objects/draw_actors.cpp): frames and cells of a kind record,
// object or effect alike (the effect kind's fields are read as signed 16-bit, its frame list
// holds 32-bit entries).

// The frame shown at counter: frame list entry counter / frameTime; 0 for a duration below 1
// and past the list (the animation does not hold its last frame).
template <class Kind>
int32_t FrameOf(const Kind& kind, uint32_t counter) {
    const int32_t d = kind.frameTime;
    if (d < 1) return 0;
    const int32_t i = static_cast<int32_t>(counter) / d;
    if (static_cast<uint32_t>(i) >= kind.frames.size()) return 0;
    return static_cast<int32_t>(kind.frames[static_cast<uint32_t>(i)]);
}

// The same running backwards from the end of the list.
template <class Kind>
int32_t FrameOfReverse(const Kind& kind, uint32_t counter) {
    const int32_t d = kind.frameTime;
    if (d < 1) return 0;
    const int32_t len = static_cast<int32_t>(kind.frames.size());
    const int32_t i = WrapSub(static_cast<int32_t>(static_cast<uint32_t>(len) * static_cast<uint32_t>(d)),
                              static_cast<int32_t>(counter)) / d;
    if (static_cast<uint32_t>(i) >= kind.frames.size()) return 0;
    return static_cast<int32_t>(kind.frames[static_cast<uint32_t>(i)]);
}

// An effect's animation length in frames; -1 for the special durations.
int32_t EffectTotalFrames(const SEffectKind& kind);

// The width of an image of the list.
int32_t ImageWidth(int32_t image);

// rect comes holding frame f in its left and row r in its top and leaves as the frame's source
// rectangle in image. Frames past the image's width wrap into further rows of cells, the wrap
// row replacing r. False (nothing to draw) when they wrap on a cell width of 0.
template <class Kind>
bool CellRect(const Kind& kind, tovarineGameSDK3rd::Draw::Rect& rect, int32_t image) {
    const int32_t cw = kind.cellWidth;
    const int32_t ch = kind.cellHeight;
    const int32_t f = rect.left;
    int32_t r = rect.top;
    int32_t x = static_cast<int32_t>(static_cast<uint32_t>(f) * static_cast<uint32_t>(cw) + static_cast<uint32_t>(kind.srcX));
    const int32_t w = ImageWidth(image);
    if (static_cast<int64_t>(w) < static_cast<int64_t>(x) + cw) {
        if (cw == 0) return false;
        const int32_t columns = std::max(w / cw, 1);
        r = f / columns;
        x = static_cast<int32_t>(static_cast<uint32_t>(cw) * static_cast<uint32_t>(f % columns) +
                                 static_cast<uint32_t>(kind.srcX));
    }
    rect.top = static_cast<int32_t>(static_cast<uint32_t>(ch) * static_cast<uint32_t>(r) + static_cast<uint32_t>(kind.srcY));
    rect.left = x;
    rect.right = static_cast<int32_t>(static_cast<uint32_t>(x) + static_cast<uint32_t>(cw));
    rect.bottom = static_cast<int32_t>(static_cast<uint32_t>(rect.top) + static_cast<uint32_t>(ch));
    return true;
}
inline bool EffectCellRect(const SEffectKind& kind, tovarineGameSDK3rd::Draw::Rect& rect, int32_t image) {
    return CellRect(kind, rect, image);
}

// The turned draws of a source rectangle of plane at (x, y), turned about its centre: keyed
// (op 1) or by the source's own alpha (op 10). 1 when no polygon could be made.
int RotateKeyedBlt(tovarineGameSDK3rd::Draw::ISurface* target, tovarineGameSDK3rd::Draw::ISurface& plane,
                   int32_t x, int32_t y, uint8_t angle, const tovarineGameSDK3rd::Draw::Rect* source);
int RotateAlphaBlt(tovarineGameSDK3rd::Draw::ISurface* target, tovarineGameSDK3rd::Draw::ISurface& plane,
                   int32_t x, int32_t y, uint8_t angle, const tovarineGameSDK3rd::Draw::Rect* source);

class CObjectBase : public IObjectDraw {
public:
    explicit CObjectBase(const SObjectKind* kind) : kind(kind), hp(kind->life) {}

    // Drawing is per class (game/objects/draw_*.cpp).
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;
    int32_t GetDrawPriority() const override { return kind->priority + priorityOffset; }
    // The counters, the fade and the keep-alive culling; the classes add their own steps.
    virtual void Update(CGameResource& game);
    // vy += the play state's gravity while alive, for kinds with gravity.
    virtual void ApplyGravity(const CGameResource& game);
    // The sprite's top-left on the screen from the centre and the kind's cell.
    virtual void UpdateScreenPosition(CGameResource& game);
    // The behaviour; the base is the dying step (game/objects/dying_step.cpp).
    virtual void Think(CGameResource& game);
    // The burst of the kind's death effect (game/objects/dying_step.cpp).
    void SpawnDeathEffect(CGameResource& game);
    virtual void SetState(uint8_t s) { state = s; }
    // Contact and push-out (game/objects/collision.cpp).
    virtual bool Collide(CObjectBase* other);
    virtual void PushOut(double distance, uint8_t direction, bool keepFalling);
    virtual void SetBrake(uint8_t) {}
    virtual bool IsBraking() const { return false; }
    virtual void GetHitRect(tovarineGameSDK3rd::Draw::Rect& rect) const;
    // The side of this object that the point lies beyond: 0 right, 64 down, 128 left, 192 up.
    virtual uint8_t GetContactDirection(double px, double py) const;

    // ---- contact (game/objects/collision.cpp)
    // The hit test by the kinds' shapes: rectangles (touching edges apart), circles, and a
    // circle against a trapezoid's slanted sides too.
    bool Overlaps(const CObjectBase& other) const;
    // This object as a circle against the other's hit rectangle.
    bool CircleHitsRect(const CObjectBase& other) const;
    // Pushes this object out of a terrain piece across the side it met.
    void ResolveOverlap(CObjectBase& terrain, bool keepFalling);
    // Reverses the velocity across the contact, damped by restitution; false when that axis
    // stopped instead.
    bool Bounce(uint8_t direction, double restitution);
    // Impulses away from the other, by the masses; nothing while the hit flash runs.
    void KnockBack(const CObjectBase& other);
    void KnockUp(const CObjectBase& other);

    // ---- drawing (game/objects/draw_actors.cpp)
    // source of image (-1: the kind's) at (x, y) by the kind's draw mode, the effective alpha
    // and the turn.
    void DrawSprite(tovarineGameSDK3rd::Draw::ISurface* target, int32_t x, int32_t y,
                    const tovarineGameSDK3rd::Draw::Rect* source, int32_t image = -1);
    // CellRect of frame f, row r of the kind's image; false when there is nothing to draw.
    bool KindCell(int32_t f, int32_t r, tovarineGameSDK3rd::Draw::Rect& rect) const;

    // ---- steering
    // Velocity toward the other's centre; a nonzero accel also sets the acceleration.
    void SetCourse(const CObjectBase& target, double speed, double accel, double limit);
    // The same, turned 12 steps clockwise.
    void SetCourseOffset(const CObjectBase& target, double accel, double limit, double speed);
    // A direction within 32 steps of right, chosen by the height without a random draw.
    void SetVelocityFromPosition(double speed);

    // Beyond the screen's edges it is sent back in (a slow component stops); out of the
    // contact cool-down that counts a bounce. The items and the crystal keep inside so.
    void BounceOffScreenEdge(CGameResource& game);

    // ---- travel of the enemy family (types 2-4); nothing for other objects
    // Accelerates toward (tx, ty); stopAtEnd 1 brakes and stops there, 0 snaps on when close.
    void MoveToward(uint8_t stopAtEnd, double speed, double accel, double limit, double tx, double ty);
    // One frame of the travel, run by the enemy family's Update before Think.
    void UpdateTravel();
    // Travelling and not yet braking.
    bool IsApproaching() const;
    void EndTravel();

    const SObjectKind* kind;  // not owned
    uint8_t state = kStateAlive;
    int32_t hp;  // the hero, barriers and bosses: the change of HP recorded this frame
    uint8_t coolTimer = 0;
    int32_t phase = 0;
    uint16_t step = 0;
    uint16_t wait = 0;
    uint8_t bounceCount = 0;
    uint8_t contactTimer = 0;
    uint8_t contact = 0;
    uint32_t animCounter = 0;  // the objects' own frame counter (frame = counter / frameTime)
    uint8_t pose = 0;
    int32_t poseTimer = 0;  // > 0 counts down; at 0 the pose returns to 0

protected:
    // Types 2-4 are all of the enemy family.
    CObjectEnemy* AsEnemy();
    const CObjectEnemy* AsEnemy() const;
};
