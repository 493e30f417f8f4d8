// A small player for the headless runs: it reads the play state (hero, barrier, enemies, shots,
// boss, energy, gauge) and answers the keys held in the frame. It uses no random number and no wall
// clock, so a run is the same every time.
//
// On the title it waits for the snapshot frame, then starts a game; in talks it pushes the
// decide key every other frame; in play it keeps the hero near the view's left third, raises
// the barrier and drives it into the nearest enemy (in a boss fight, the nearest of the boss's
// objects that the barrier can hurt) while the energy lasts, and fires the skill
// whenever the gauge allows and a target is on screen. How far inside its target's edge it aims
// the barrier's rim and how near a boss it engages are parameters: the whole-game tests play a
// neighbourhood of them.
#pragma once

#include <cmath>
#include <cstdint>

#include "tests/game/e2e/game_driver.h"

namespace morna::e2e {

struct PlayPolicy {
    int titleFrames = 130;  // the title stays this long (its frame 120 is the snapshot)
    bool useSkill = true;
    double rimAim = 8;        // px inside the target's edge that the barrier's rim is aimed at
    double fightReach = 400;  // px: in a boss fight the hero engages a target this near

    // The neighbourhood of both that the whole-game tests play.
    static constexpr double kMinRimAim = 6, kMaxRimAim = 10, kMinFightReach = 380, kMaxFightReach = 420;

    // Another way to play for a retry. A game starts from fixed seeds, so a fight lost from a
    // checkpoint would be lost again frame for frame: like a player, the policy aims otherwise,
    // stepping both parameters through their neighbourhood.
    void Vary() {
        rimAim = rimAim + 1 > kMaxRimAim ? kMinRimAim : rimAim + 1;
        fightReach = fightReach + 20 > kMaxFightReach ? kMinFightReach : fightReach + 20;
    }

    uint32_t operator()(const GameDriver& run, int frame) const {
        const CGameResource& g = run.Game();
        switch (g.scene) {
            case Scene::kTitle: return frame >= titleFrames && frame % 2 == 0 ? keys::kDecide : 0;
            case Scene::kTalk:
            case Scene::kGameOver:  // the ranking, then "リトライする"
            case Scene::kEnding: return frame % 2 == 0 ? keys::kDecide : 0;
            case Scene::kPlay: return Play(g, frame);
            default: return 0;
        }
    }

    // The eight directions toward (dx, dy), nothing inside the dead zone.
    static uint32_t Toward(double dx, double dy, double dead = 6) {
        uint32_t mask = 0;
        if (dx > dead) mask |= keys::kRight;
        if (dx < -dead) mask |= keys::kLeft;
        if (dy > dead) mask |= keys::kDown;
        if (dy < -dead) mask |= keys::kUp;
        return mask;
    }

    uint32_t Play(const CGameResource& g, int frame) const {
        if (g.player.isNull()) return 0;
        const CObjectBase& hero = *g.player.GetNoCheck();
        const double viewX = g.progress.scrollX, viewY = g.progress.scrollY;
        const bool bossFight = g.boss.bossId >= 0 && g.boss.hp > 0 && !g.bossObjects.empty();

        // The nearest target: the boss's body in a fight, else an enemy in the view.
        const CObjectBase* target = nullptr;
        double best = 1e18;
        const auto consider = [&](const CObjectBase& o) {
            if (o.state != kStateAlive || o.pose == 1) return;
            if (o.x < viewX || o.x > viewX + 640 || o.y < viewY || o.y > viewY + 480) return;
            const double d = std::hypot(o.x - hero.x, o.y - hero.y);
            if (d < best) best = d, target = &o;
        };
        if (bossFight) {
            for (const auto& o : g.bossObjects)
                if (!o.isNull() && CObjectBarrier::WearsDown(*o.GetNoCheck())) consider(*o.GetNoCheck());
        } else {
            for (const auto& o : g.objects) {
                if (!o.isNull() && o->GetType() == kTypeEnemy) consider(*o.GetNoCheck());
            }
        }

        uint32_t mask = 0;
        const SPlayerStatus& s = g.status;
        if (useSkill && target != nullptr && s.gauge >= 2800 && frame % 2 == 0) return keys::kSkill;
        const bool canBarrier = s.overload == 0 && hero.flashTimer == 0;
        const bool holding = s.barrierUp != 0;
        const bool keep = holding ? s.barrierEnergy > 1500 : s.barrierEnergy >= 6000;
        if (target != nullptr && canBarrier && keep && best < (bossFight ? fightReach : 260)) {
            mask |= keys::kDecide;
            const CObjectBase* barrier = holding && !g.barriers[0].isNull() ? g.barriers[0].GetNoCheck() : &hero;
            if (holding && s.magicTimer > 0 && !g.barriers[1].isNull()) barrier = g.barriers[1].GetNoCheck();
            // The barrier's rim presses on the target, the hero inside it out of the target's reach:
            // the point a little less than the barrier's radius beyond the target's edge.
            const double dx = barrier->x - target->x, dy = barrier->y - target->y;
            const double d = std::max(std::hypot(dx, dy), 1.0);
            const double edge = std::fabs(dx / d) * target->kind->hitWidth / 2 + std::fabs(dy / d) * target->kind->hitHeight / 2;
            const double reach = edge + barrier->kind->hitWidth / 2 - rimAim;
            mask |= Toward(target->x + dx / d * reach - barrier->x, target->y + dy / d * reach - barrier->y, 2);
            return mask;
        }

        // Home: the third of the view away from the boss (the left one outside fights), level with
        // the target or the middle; away from the nearest shot.
        double homeX = viewX + 160, homeY = viewY + 240;
        if (bossFight && !g.bossObjects.front().isNull() && g.bossObjects.front()->x < viewX + 320) homeX = viewX + 480;
        if (target != nullptr) homeY = std::clamp(target->y, viewY + 80, viewY + 400);
        for (const auto& o : g.objects) {
            if (o.isNull() || o->GetType() != kTypeShot || o->state != kStateAlive) continue;
            if (std::hypot(o->x - hero.x, o->y - hero.y) < 80) homeY = hero.y + (o->y > hero.y ? -60 : 60);
        }
        return mask | Toward(homeX - hero.x, homeY - hero.y);
    }
};

}  // namespace morna::e2e
