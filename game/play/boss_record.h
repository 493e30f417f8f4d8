#pragma once
// The boss fight's record in the play state.
#include <cstdint>
#include <list>

// The boss animation a defeat runs from its frame 0; boss 0's body keeps that frame's picture.
constexpr int32_t kDefeatAnimation = 8;

// The boss fight.
struct SBossFight {
    uint8_t intro = 1;  // the boss intro runs: the player's input is ignored
    int32_t bossId = -1;  // -1 none
    int32_t hp = 0;
    int32_t maxHp = 0;
    int32_t gauge = 0;
    int32_t gaugeCap = 0;
    int32_t secondMeter = 0;
    int32_t damageScale = 100;  // per cent of the damage the player takes
    int32_t powerUpCountdown = 0;
    uint8_t enraged = 0;
    int32_t partnerCounter = 0;  // > 0: the boss takes no HP damage
    int32_t weaponOffset = -1;
    std::list<int32_t> actions;  // front: the running action
    int32_t step = 0;
    int32_t lastStep = 0;
    int32_t waitFrames = 0;
    int32_t actionCounter = 0;
    int32_t cooldown = 0;
    int32_t idleCountdown = 0;
    int32_t animation = 0;  // entry of the animation table; 0 none
    int32_t animationFrame = 0;
    int32_t flinchCountdown = 0;
    int32_t holdTimer = 0;
    int32_t phase = 0;
    uint16_t tilt = 0;  // high byte: the body picture's angle
    int32_t displayOffsetX = 0;
    int32_t displayOffsetY = 0;
    uint8_t skillHit = 0;
    uint8_t specialKill = 0;
    int32_t workValue5 = 0;
    uint8_t heightSegment = 0;
    uint8_t animationToggle = 0;
    int32_t floorLimit = 0;  // 0 none
    uint8_t heldPart = 0;    // first selected part; 0 none
    uint8_t snappedPart = 0;  // second selected part; 0 none
    double savedX = 0;
    double savedY = 0;
    uint8_t savedAngle = 0;
};
