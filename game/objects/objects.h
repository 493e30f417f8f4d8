#pragma once
// The object classes of the play field, type ids 0-15 (GetType):
//   CObjectBase: Avatar 0, Barrier 1, Enemy 2 (Crystal, EnemyShadow), Boss 3, BossParts 4,
//                Item 5, Shot 6 (ShotShadow), Reflect 7, Block 8 (BlockShadow), Land 9,
//                Pudding 10, Jelly 11
//   CObjectEffect (on IObjectDraw): Effect 12 (EffectLand, EffectLandShadow), Cutin 13,
//                ENumber 14, Font 15
// Where a body lives in another file, the declaration names it: each file holds one concern.
#include <cstdint>
#include <list>
#include <vector>

#include "draw/text_fast_plane.h"
#include "foundation/math/rand.h"
#include "game/files/global_config.h"
#include "game/objects/object_base.h"

// ---- the hero and its barriers

class CObjectAvatar : public CObjectBase {
public:
    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypeAvatar; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_actors.cpp
    // The flickering cell drawn over the hero.
    void DrawOverlay(tovarineGameSDK3rd::Draw::ISurface* target);
    // The barrier's energy under the hero; secondRow after an overload, glint after a hard one.
    void DrawBarrierGauge(tovarineGameSDK3rd::Draw::ISurface* target, int32_t energy, int32_t maxEnergy,
                          CObjectAvatar* player, bool secondRow, bool glint);
    void Update(CGameResource& game) override;
    bool Collide(CObjectBase* other) override;  // collision.cpp
    // Only records the largest distance per direction; the play state moves the hero.
    void PushOut(double distance, uint8_t direction, bool keepFalling) override;  // collision.cpp
    void SetBrake(uint8_t b) override { brake = b; }
    bool IsBraking() const override { return brake != 0; }

    // Largest push-out distance asked this frame, per direction.
    double pushUp = 0;
    double pushDown = 0;
    double pushLeft = 0;
    double pushRight = 0;
    uint8_t facing = kFacingRight;
    uint8_t brake = 0;

protected:
    // A knocked-back body stops flashing once it has come (nearly) to rest.
    void EndFlashAtRest();
};

class CObjectBarrier : public CObjectAvatar {
public:
    using CObjectAvatar::CObjectAvatar;
    int32_t GetType() const override { return kTypeBarrier; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_actors.cpp
    void Update(CGameResource& game) override;
    bool Collide(CObjectBase* other) override;  // collision.cpp
    // The type contact takes `other` for: an undying kind that hurts on contact is a block in
    // its pose 10 or when it cannot be moved (collision.cpp).
    static int32_t MetAs(const CObjectBase& other);
    // Whether contact wears `other` down, its hp falling: a live enemy or boss object in a pose
    // that can be touched, not met as a block.
    static bool WearsDown(const CObjectBase& other);

    struct SBurst {
        uint8_t angle = 0;
        uint8_t size = 0;
    };
    // The burst queue (collision.cpp): the newest entry's angle, spread by up to its size
    // with the generator; false when none.
    void PushBurst(const SBurst& burst);
    bool PopBurstAngle(uint8_t& angle, tovarineGameSDK3rd::Math::CRand& random);

    uint32_t hitCount = 0;  // 1 per enemy hit, 10 more per kill
    std::list<SBurst> burstQueue;
};

// ---- enemies and bosses

class CObjectEnemy : public CObjectBase {
public:
    explicit CObjectEnemy(const SObjectKind* kind) : CObjectBase(kind) {}
    int32_t GetType() const override { return kTypeEnemy; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_actors.cpp
    // Clearing the motion also ends a travel.
    void ResetMotion() override;
    void Update(CGameResource& game) override;
    void Think(CGameResource& game) override;  // enemy_think.cpp
    bool Collide(CObjectBase* other) override;  // collision.cpp

    uint8_t facing = kFacingLeft;
    // The travel (CObjectBase::MoveToward); the speeds are kept in single precision.
    int32_t travelTimer = 0;  // frames left before the travel gives up
    int32_t targetX = 0;
    int32_t targetY = 0;
    uint8_t moving = 0;
    uint8_t stopAtEnd = 0;  // 1 brake and stop at the end, 0 snap onto the target
    uint16_t travelReserved = 0;
    float travelSpeed = 0;
    float travelAccel = 0;
    float travelLimit = 0;
};

class CObjectCrystal : public CObjectEnemy {
public:
    using CObjectEnemy::CObjectEnemy;
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_actors.cpp
    void Think(CGameResource& game) override;  // field_think.cpp

    int32_t heldImage = -1;  // the item picture it shows; -1 none
    tovarineGameSDK3rd::Draw::Rect heldRect{};
    uint8_t heldFlag = 0;
};

class CObjectEnemyShadow : public CObjectEnemy, public IObjectShadow {
public:
    using CObjectEnemy::CObjectEnemy;
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    void Update(CGameResource& game) override;
};

class CObjectBoss : public CObjectEnemy, public IObjectShadow {
public:
    using CObjectEnemy::CObjectEnemy;
    int32_t GetType() const override { return kTypeBoss; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_bosses.cpp
    void Update(CGameResource& game) override;
    void Think(CGameResource& game) override;  // field_think.cpp
    bool Collide(CObjectBase* other) override;  // collision.cpp
    // The character bodies' arm piece by weapon mode (< 0 none), and the held weapon piece
    // (< 0 none; 20 and above from the picture's lower half).
    void DrawArm(tovarineGameSDK3rd::Draw::ISurface* target, int32_t mode);
    void DrawWeapon(tovarineGameSDK3rd::Draw::ISurface* target, int32_t piece, bool facingRight);

private:
    void DrawCharacterBody(tovarineGameSDK3rd::Draw::ISurface* target);
};

class CObjectBossParts : public CObjectBoss {
public:
    using CObjectBoss::CObjectBoss;
    int32_t GetType() const override { return kTypeBossParts; }
    bool Collide(CObjectBase* other) override;  // collision.cpp
};

// ---- items, shots, blocks, terrain

class CObjectItem : public CObjectBase {
public:
    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypeItem; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_actors.cpp
    // Applies a collected item, and bounces off the view's edges five times.
    void Update(CGameResource& game) override;
};

class CObjectShot : public CObjectBase {
public:
    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypeShot; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    void Update(CGameResource& game) override;
    void Think(CGameResource& game) override;  // field_think.cpp

    uint8_t angle = 0;  // the reflector's direction
};

class CObjectShotShadow : public CObjectShot, public IObjectShadow {
public:
    using CObjectShot::CObjectShot;
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    void Update(CGameResource& game) override;
};

class CObjectReflect : public CObjectShot {
public:
    using CObjectShot::CObjectShot;
    int32_t GetType() const override { return kTypeReflect; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    void Think(CGameResource& game) override;  // field_think.cpp
    bool Collide(CObjectBase* other) override;  // collision.cpp
};

class CObjectBlock : public CObjectBase {
public:
    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypeBlock; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    void Update(CGameResource& game) override;
    void Think(CGameResource& game) override;  // field_think.cpp
};

class CObjectBlockShadow : public CObjectBlock, public IObjectShadow {
public:
    using CObjectBlock::CObjectBlock;
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    void Update(CGameResource& game) override;
};

class CObjectLand : public CObjectBase {
public:
    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypeLand; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_actors.cpp
    void Update(CGameResource& game) override;
    void Think(CGameResource& game) override;  // field_think.cpp
    bool Collide(CObjectBase* other) override;  // collision.cpp
    uint8_t GetContactDirection(double px, double py) const override;  // collision.cpp

    uint8_t verticalContact = 0;  // exact diagonal contacts count as vertical
};

class CObjectPudding : public CObjectBase {
public:
    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypePudding; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    bool Collide(CObjectBase* other) override;  // collision.cpp
};

// A grid of 16-pixel cells whose top-left corner is (x, y); barriers eat cells, which grow
// back after 120 frames.
class CObjectJelly : public CObjectBase {
public:
    static constexpr int32_t kCell = 16;
    static constexpr uint8_t kEaten = 'x';  // also the frames until the cell is back

    using CObjectBase::CObjectBase;
    int32_t GetType() const override { return kTypeJelly; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    uint8_t GetOutsideSide(const tovarineGameSDK3rd::Draw::Rect& rect, int32_t width, int32_t height) const override;
    void Update(CGameResource& game) override;
    bool Collide(CObjectBase* other) override;  // collision.cpp
    void GetHitRect(tovarineGameSDK3rd::Draw::Rect& rect) const override;  // collision.cpp

    // Sizes the grid, every cell present.
    void SetSize(uint8_t wide, uint8_t high);
    // The second byte of every present cell: one bit per present neighbour (0 up, 1 up-left,
    // 2 left, 3 down-left, 4 down, 5 down-right, 6 right, 7 up-right).
    void UpdateNeighbours();
    uint8_t* Cell(int32_t column, int32_t row) { return &cells[2 * (row * cellsWide + column)]; }

    std::vector<uint8_t> cells;  // two bytes a cell, row by row: 0 present ('x' eaten), neighbours
    uint8_t cellsWide = 0;
    uint8_t cellsHigh = 0;
    uint16_t eatenScore = 0;  // the kind's score per cell eaten, paid by the next Update
};

// ---- effects: screen pixels, their own lists, no state (Update answers false at the end)

class CObjectEffect : public IObjectDraw {
public:
    // The velocity starts at the kind's speed along its angle.
    explicit CObjectEffect(const SEffectKind* kind);

    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_effects.cpp
    int32_t GetDrawPriority() const override { return kind->priority + priorityOffset; }
    int32_t GetType() const override { return kTypeEffect; }
    // source of image (-1: the kind's) at (x, y) by the effect kind's draw mode and the faded
    // alpha; effects are never turned.
    void DrawSprite(tovarineGameSDK3rd::Draw::ISurface* target, int32_t x, int32_t y,
                    const tovarineGameSDK3rd::Draw::Rect* source, int32_t image = -1);
    // One frame; false when the effect has ended (effect_update.cpp).
    virtual bool Update(int32_t width, int32_t height);
    // The land effects' world motion and placement; false when it has ended.
    virtual bool CheckLand(CGameResource&) { return true; }
    // Keeps the cell inside the screen (effect_update.cpp).
    virtual void KeepOnScreen();
    // The kind's speed along its angle, as at construction (effect_update.cpp).
    void ResetVelocity();

    const SEffectKind* kind;  // not owned
    int16_t lifetime = -1;  // 0 or less never runs out
    uint16_t fullLifetime = 0;  // what the factory set
    uint32_t effectReserved = 0;  // by kind: a row, an image id, a count (read signed)
    int16_t startDelay = 0;
    int16_t fadeInCounter = 0;
    int16_t fadeInLength = 0;

protected:
    int32_t Value() const;
    // The whole kind image when its origin x is -1, else the cell of frame f, row r.
    bool CommonSource(int32_t f, int32_t r, tovarineGameSDK3rd::Draw::Rect& source) const;
};

// World pixels; moves, culls and places itself in CheckLand.
class CObjectEffectLand : public CObjectEffect {
public:
    using CObjectEffect::CObjectEffect;
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_effects.cpp
    bool Update(int32_t width, int32_t height) override;  // effect_update.cpp
    bool CheckLand(CGameResource& game) override;         // effect_update.cpp
};

class CObjectEffectLandShadow : public CObjectEffectLand, public IObjectShadow {
public:
    using CObjectEffectLand::CObjectEffectLand;
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_field.cpp
    bool CheckLand(CGameResource& game) override;                    // effect_update.cpp
};

class CObjectCutin : public CObjectEffect {
public:
    using CObjectEffect::CObjectEffect;
    int32_t GetType() const override { return kTypeCutin; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_effects.cpp
    bool Update(int32_t width, int32_t height) override;  // effect_update.cpp
};

class CObjectENumber : public CObjectEffect {
public:
    using CObjectEffect::CObjectEffect;
    int32_t GetType() const override { return kTypeENumber; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_effects.cpp
    void KeepOnScreen() override;  // effect_update.cpp

    int32_t value = 0;  // the number shown
};

class CObjectFont : public CObjectEffect {
public:
    using CObjectEffect::CObjectEffect;
    int32_t GetType() const override { return kTypeFont; }
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;  // draw_effects.cpp

    // Renders text into the text plane: the settings' proportional face or the fixed
    // gothic one, shadowed and smoothed as the settings say (effect_update.cpp).
    void SetText(const SGlobalConfig& config, int32_t size, uint32_t colour, bool proportional,
                 const tovarineGameSDK3rd::VTL::VTLstring& text);

    tovarineGameSDK3rd::Draw::CTextFastPlane textPlane;
    uint8_t smoothed = 0;  // the text was rendered smoothed
};
