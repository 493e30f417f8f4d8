#pragma once
// The object model: everything that moves or is drawn on the play field. IObjectDraw holds
// what the draw list and the motion code share; CObjectBase is every moving, colliding
// object; CObjectAvatar is the hero and CObjectBarrier its two barriers. Every object points
// at its kind record, owned by the play state, for its whole life.
//
// Declared here: what the play state builds and moves itself (the hero, the barriers, their
// motion, state and draw priority). The per-frame step and the drawing are overridden by the
// object classes as they come; the base versions below do nothing yet.
#include <cstdint>
#include <list>

#include "draw/surface.h"
#include "framework/blt_support.h"
#include "game/kind_tables.h"

class CGameResource;

// Velocity and its constant acceleration; directions are byte angles (256 a turn).
struct ObjectMotion {
    double vx = 0;
    double vy = 0;
    uint8_t accelAngle = 0;
    double accel = 0;       // added to the velocity each motion step; 0 none
    double speedLimit = 0;  // > 0: the velocity is scaled down to this length
    double frictionX = 0;   // > 0: abs(vx) shrinks by this much each step
    double frictionY = 0;

    void Clear() { *this = ObjectMotion(); }
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
};

class IObjectDraw : public KestraneGameBase2::CBltSupport {
public:
    virtual void Draw(tovarineGameSDK3rd::Draw::ISurface* target) = 0;
    virtual int32_t GetDrawPriority() const = 0;
    virtual void ResetMotion() { motion.Clear(); }
    virtual int32_t GetType() const = 0;

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
    double x = 0;  // the centre, in world pixels
    double y = 0;
    ObjectMotion motion;
    uint8_t flashTimer = 0;  // hit-flash frames
};

class CObjectBase : public IObjectDraw {
public:
    explicit CObjectBase(const SObjectKind* kind) : kind(kind), hp(kind->life) {}

    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;
    int32_t GetDrawPriority() const override { return kind->priority + priorityOffset; }
    virtual void Update(CGameResource& game);
    virtual void SetState(uint8_t s) { state = s; }

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
};

class CObjectAvatar : public CObjectBase {
public:
    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypeAvatar; }

    // Largest push-out distance asked this frame, per direction.
    double pushUp = 0;
    double pushDown = 0;
    double pushLeft = 0;
    double pushRight = 0;
    uint8_t facing = 0;  // 0 looking right, 128 left
    uint8_t brake = 0;
};

class CObjectBarrier : public CObjectAvatar {
public:
    using CObjectAvatar::CObjectAvatar;
    int32_t GetType() const override { return kTypeBarrier; }

    struct SBurst {
        uint8_t angle = 0;
        uint8_t size = 0;
    };
    uint32_t hitCount = 0;  // 1 per enemy hit, 10 more per kill
    std::list<SBurst> burstQueue;
};
