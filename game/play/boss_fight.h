#pragma once
// Shared by the boss-fight helpers, the boss part layout, the skills and the boss scripts: the
// tests they make on points and the boss vector's elements, the small moves they make on the
// objects, and the frame every script runs.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/play/game_resource.h"

// left <= x < right and top <= y < bottom.
bool IsPointInRect(int32_t x, int32_t y, const tovarineGameSDK3rd::Draw::Rect& rect);

// Element i of a boss vector as the enemy-family object every boss element is; null beyond the
// vector, for an empty holder, or for an object of another family.
CObjectEnemy* BossElement(const std::vector<CGameResource::ObjectPtr>& elements, size_t i);

// A fade over length frames that starts after delay frames (below 1: at once), not repeated.
void StartFade(IObjectDraw& o, int32_t length, int32_t delay);

void SetPose(CObjectBase& o, uint8_t pose, int32_t timer = 0);
// A speed along a, braked to a stop after speed / brake frames.
void Launch(CObjectBase& o, uint8_t a, double speed, double brake);
// Ends a running steering (MoveToward); an object that has arrived keeps its motion.
void StopSteering(CObjectEnemy& o);
// The angle from the body to the hero, 256 steps a turn.
uint8_t AngleToHero(const CObjectBase& body, const CObjectBase& hero);
// The boss's power-up runs.
bool PoweredUp(const SBossFight& boss);

// A boss script's frame, the same for every stage boss: the script's every-frame work (Tick),
// nothing more while the wait runs; with the queue empty a choice (Choose), whose action starts
// in the same frame when the script says so (kStartsChoiceAtOnce); an action past its last step
// popped (Pop), else its step run (Step, false while the step holds) and the step raised.
template <class Script>
void RunBossScript(SBossFight& boss, Script& script) {
    script.Tick();
    if (boss.waitFrames > 0) return;
    if (boss.actions.empty()) {
        script.Choose();
        if (!Script::kStartsChoiceAtOnce || boss.actions.empty()) return;
    }
    if (boss.step > boss.lastStep) return script.Pop();
    if (script.Step(boss.actions.front(), boss.step)) ++boss.step;
}
