// The play field of a boss fight: the damage the boss objects took into HP and meters, the
// defeat, the intro and defeat sequences of the boss battle frame, and the scripts of the
// two mid-bosses, 12 (a chain of segments) and 14 (a group of bodies).
#include <algorithm>
#include <cmath>

#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/boss_fight.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

namespace {

// ---- boss scripts as tables of (action, steps) rows; a step without a row only moves on

struct SScript {
    CGameResource& game;
    SBossFight& boss;
    CObjectEnemy& body;
    const CObjectAvatar& hero;

    void Next() { ++boss.step; }
    void Friction(double f) { body.motion.frictionX = body.motion.frictionY = f; }
    void Stop() {
        body.motion.accel = 0;
        body.motion.speedLimit = 0;
        body.motion.accelAngle = 0;
    }
    void Steer(uint8_t angle, double accel, double limit) {
        body.motion.accelAngle = angle;
        body.motion.accel = accel;
        body.motion.speedLimit = limit;
    }
};

struct SScriptRow {
    int32_t action;
    int32_t firstStep;
    int32_t lastStep;
    void (*run)(SScript&);
};

void RunScriptStep(SScript& s, const SScriptRow* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const SScriptRow& row = rows[i];
        if (row.action == s.boss.actions.front() && row.firstStep <= s.boss.step && s.boss.step <= row.lastStep) {
            row.run(s);
            return;
        }
    }
    s.Next();
}

// The dive re-enters from beyond the far edge: from the top falling, or from the bottom rising.
void ReenterDive(SScript& s, double vy, int32_t y, uint8_t facing) {
    s.body.motion.Clear();
    s.body.motion.vy = vy;
    s.body.motion.frictionY = 16.0 / 75;
    s.body.x = s.boss.savedX;
    s.body.y = y;
    s.body.facing = facing;
    s.game.FillBossTrail(TruncInt(s.boss.savedX), y, facing);
    s.Next();
    s.boss.waitFrames = 75;
    PlaySe(Se::kDragonDash);
}

const SScriptRow kBoss12Script[] = {
    {1, 0, 0, [](SScript& s) {
         PlaySe(Se::kRoarSlash);
         s.Next();
     }},
    // dive
    {6, 0, 0, [](SScript& s) {
         s.boss.lastStep = 2;
         const bool low = s.body.y >= (s.game.verticalScrollRange + 480) / 2;
         s.Steer(low ? 64 : 192, 0.1, 6.0);
         s.body.motion.frictionX = 0.5;
         s.body.motion.frictionY = 0;
         s.boss.savedX = s.hero.x;
         s.Next();
     }},
    {6, 1, 1, [](SScript& s) {
         const int32_t range = s.game.verticalScrollRange;
         if (s.body.y < -288) {
             ReenterDive(s, 16.0, -64, 64);
         } else if (s.body.y > range + 768) {
             ReenterDive(s, -16.0, range + 544, 192);
         } else if (0 < s.body.y && s.body.y < range + 480) {
             s.boss.savedX = s.hero.x;
         }
     }},
    // coil
    {2, 0, 0, [](SScript& s) {
         s.boss.lastStep = 68;
         s.boss.savedX = s.body.x + 1.0;
         s.boss.savedY = s.body.y + 1.0;
         s.boss.savedAngle = s.game.formation.trail.empty() ? 0 : s.game.formation.trail[0].angle;
         s.Friction(0.2);
         s.Next();
     }},
    {2, 1, 1, [](SScript& s) {
         ++s.game.formation.coils;
         s.boss.waitFrames = 4;
         s.game.formation.extension -= 1.0;
         if (s.game.formation.coils == 14) {
             PlaySe(Se::kRoarSlash);
             s.Next();
         }
     }},
    {2, 2, 66, [](SScript& s) {
         if (s.game.formation.extension < 3.0) s.game.formation.extension += 0.5;
         s.Steer(static_cast<uint8_t>(64 + s.body.motion.GetHeading()), 0.4, 4.0);
         s.Next();
         s.boss.waitFrames = 1;
     }},
    {2, 67, 67, [](SScript& s) {
         std::vector<SChainTrailEntry>& trail = s.game.formation.trail;
         for (size_t i = 1; i < trail.size(); ++i) trail[i].angle = trail[i / 8].angle;
         s.game.formation.coils = 0;
         s.Friction(0);
         s.Next();
     }},
    {2, 68, 68, [](SScript& s) {
         s.Steer(AngleToHero(s.body, s.hero), 0.1, 4.0);
         s.game.formation.extension -= 0.5;
         if (s.game.formation.extension <= 0) {
             s.Next();
             s.game.formation.extension = 0;
         }
     }},
    // lash
    {5, 0, 0, [](SScript& s) {
         s.Next();
         s.boss.lastStep = 105;
     }},
    {5, 1, 100, [](SScript& s) {
         s.Steer(static_cast<uint8_t>(64 + AngleToHero(s.body, s.hero)), 0.3, 3.0);
         s.Next();
         s.game.formation.extension -= 0.3;
     }},
    {5, 101, 101, [](SScript& s) {
         const uint8_t a = AngleToHero(s.body, s.hero);
         s.boss.savedX = s.hero.x;
         s.boss.savedY = s.hero.y;
         s.boss.savedAngle = a;
         for (SChainTrailEntry& e : s.game.formation.trail) e = {s.body.x, s.body.y, a};
         s.body.motion.Clear();
         s.Steer(a, 0.6, 12.0);
         s.body.motion.vx = CosOf(a);
         s.body.motion.vy = SinOf(a);
         s.boss.actionCounter = 0;
         PlaySe(Se::kDragonDash);
         s.Next();
     }},
    {5, 102, 102, [](SScript& s) {
         ++s.boss.actionCounter;
         if (s.game.formation.extension < 0) s.game.formation.extension += s.boss.actionCounter * 0.0625;
         const uint8_t toSaved = AngleOf(s.boss.savedX - s.body.x, s.boss.savedY - s.body.y);
         if (std::abs(toSaved - s.boss.savedAngle) > 79) {
             s.Next();
             s.game.formation.extension = 0;
         }
     }},
    {5, 103, 103, [](SScript& s) {
         s.boss.waitFrames = 30;
         s.Stop();
         s.Friction(0.3);
         s.Next();
     }},
    // fire
    {4, 0, 0, [](SScript& s) {
         s.boss.lastStep = 45;
         s.Stop();
         s.Friction(0.2);
         s.Next();
     }},
    {4, 1, 14, [](SScript& s) {
         s.body.facing = AngleToHero(s.body, s.hero);
         s.Next();
         s.boss.waitFrames = 2;
     }},
    {4, 15, 15, [](SScript& s) {
         const uint8_t a = AngleToHero(s.body, s.hero);
         const double px = s.body.x + 32 * CosOf(a);
         const double py = s.body.y + 32 * SinOf(a);
         for (int32_t spread : {-16, 0, 16}) s.game.FireShots(1, px, py, static_cast<uint8_t>(a + spread), 2, 6.0);
         s.Friction(0.5);
         PlaySe(Se::kShot3);
         s.Next();
     }},
    {4, 16, 44, [](SScript& s) {
         s.body.animCounter = 0;
         s.Next();
     }},
    {4, 45, 45, [](SScript& s) {
         s.Friction(0);
         s.Next();
     }},
};

void RunBoss12(SScript& s) {
    s.body.pose = 11;
    s.body.poseTimer = 0;
    if (s.game.IsBossOnScreen(32)) s.game.FacePlayerToBoss();
    if (s.boss.waitFrames > 0) return;

    if (s.boss.actions.empty()) {
        const double dx = s.hero.x - s.body.x;
        const double dy = s.hero.y - s.body.y;
        const double dist = std::sqrt(dx * dx + dy * dy);
        const int32_t a = HeadingOf(dx, dy);
        if (s.game.IsBossOnScreen(0) && s.boss.flinchCountdown == 0) {
            if (s.boss.secondMeter > 2000) {
                s.boss.secondMeter -= 2000;
                static constexpr int32_t kSpecials[] = {5, 2, 6};
                s.game.PushBossAction(kSpecials[s.game.PositionRandom(3)]);
                return;
            }
            if (s.boss.gauge > 3000 && std::abs(s.body.facing - static_cast<uint8_t>(a)) < 32 && dist >= 64) {
                s.boss.gauge -= 3000;
                s.game.PushBossAction(4);
                return;
            }
        }
        if (dist > 80) {
            s.Steer(static_cast<uint8_t>(a), 0.1, 4.0);
            s.Friction(0);
        }
        return;
    }
    if (s.boss.step <= s.boss.lastStep) {
        RunScriptStep(s, kBoss12Script, std::size(kBoss12Script));
    } else {
        s.game.PopBossAction();
    }
}

// Boss 14 rises as a group: each body its own height (215, 150, then 60) plus 20 in 180 frames.
const SScriptRow kBoss14Script[] = {
    {1, 0, 0, [](SScript& s) {
         s.boss.lastStep = 2;
         for (size_t i = 0; i < s.game.bossObjects.size(); ++i) {
             CObjectBase& e = *s.game.bossObjects[i];
             const int32_t h = i == 0 ? 215 : i == 1 ? 150 : 60;
             e.jitter = 1;
             e.motion.vx = 0;
             e.motion.vy = -(h + 20) / 180.0;
             e.pose = 11;
             e.poseTimer = 0;
         }
         s.boss.waitFrames = 180;
         PlaySe(Se::kCakeRises);
         s.Next();
     }},
    {1, 1, 1, [](SScript& s) {
         for (auto& element : s.game.bossObjects) {
             element->motion.Clear();
             element->jitter = 0;
             element->pose = 0;
             element->poseTimer = 0;
         }
         s.Next();
     }},
};

void RunBoss14(SScript& s) {
    s.body.pose = 11;
    s.body.poseTimer = 0;
    s.body.facing = s.hero.x > s.body.x ? kFacingRight : kFacingLeft;
    if (s.boss.waitFrames > 0) return;

    if (s.boss.actions.empty()) {
        if (s.boss.hp < s.boss.maxHp / 2) {
            if (s.boss.gauge > s.boss.gaugeCap / 2) {
                const uint32_t pick = s.game.bossRand.Get(static_cast<uint32_t>(s.game.bossObjects.size()));
                s.game.bossObjects[pick]->phase = 1;
            }
            s.boss.gauge = 0;
        }
        return;
    }
    if (s.boss.step <= s.boss.lastStep) {
        RunScriptStep(s, kBoss14Script, std::size(kBoss14Script));
    } else {
        s.game.PopBossAction();
    }
}

}  // namespace

void CGameResource::UpdatePlayField() {
    if (boss.waitFrames > 0) --boss.waitFrames;
    if (boss.animation != 0) ++boss.animationFrame;
    if (boss.flinchCountdown > 0) --boss.flinchCountdown;

    if (boss.intro != 0) {
        if (BeginBossFight()) {
            PopBossAction();
            PushBossAction(1);
            boss.intro = 0;
        }
        return;
    }
    FacePlayerToBoss();

    if (boss.hp > 0) {
        // Boss 12's segments pass a third of their hits to the body; other bosses feel only
        // the worst hit of the frame.
        boss.specialKill = 0;
        int32_t d = 0;
        for (size_t i = 0; i < bossObjects.size(); ++i) {
            CObjectBase* e = bossObjects[i].GetNoCheck();
            if (e == nullptr) continue;
            if (boss.bossId == 12) {
                d += i == 0 ? e->hp : e->hp / 3;
            } else {
                d = std::min(d, e->hp);
            }
            e->hp = 0;
            if (e->state == kStateKilledBySpecial) boss.specialKill = 1;
        }
        const int32_t g = boss.skillHit != 0 ? 0 : -d;
        if (boss.partnerCounter > 0) {
            if (d < 0) {
                AddGauge(g / 5);
                PlaySe(Se::kShieldHit);
            }
            boss.partnerCounter = std::max(boss.partnerCounter + d - 10, 1);
        } else {
            if (d < 0) {
                AddGauge(g / 10);
                boss.secondMeter -= d;
                boss.flinchCountdown = 16;
            }
            boss.hp += d;
        }

        if (boss.hp <= 0) {
            if (bossAnimations.size() > kDefeatAnimation) {
                boss.animation = kDefeatAnimation;
                boss.animationFrame = 0;
                boss.waitFrames = bossAnimations[kDefeatAnimation].totalTime;
            }
            boss.tilt = 0;
            // Lays the defeat pose out now: every later call stays still while HP <= 0.
            UpdateBossChain(true);
            if (!boss.actions.empty()) boss.actions.pop_front();
            boss.step = boss.lastStep = boss.waitFrames = boss.powerUpCountdown = 0;
            for (auto& element : bossObjects) {
                if (element.isNull()) continue;
                element->SetState(kStateKilled);
                element->ResetMotion();
            }
            if (!bossObjects.empty() && !bossObjects[0].isNull()) {
                const CObjectBase& body = *bossObjects[0];
                int32_t s = body.kind->score;
                const int32_t x = TruncInt(body.x), y = TruncInt(body.y);
                if (boss.skillHit == 0) {
                    QueueKillScore(s, boss.specialKill != 0 ? kStateKilledBySpecial : kStateKilled, x, y);
                } else {
                    status.skillRunning = 0;
                    if (s < 0) s = progress.stage * 50 - s;
                    AddScore(TruncInt(s * 1.5), x, y);
                    scoreChain.popups[SScoreChain::kBonusPopup] = 180;
                }
            }
        }
    }

    boss.skillHit = 0;
    PlaceHeldPart();
    SnapPartsToBody();

    if (boss.hp <= 0) {
        if (EndBossFight()) {
            ClearBossFight();
            progress.scrollSpeed = progress.targetSpeed = 1.0;  // the stage scrolls on
            FacePlayerToBoss();
        }
        return;
    }

    boss.gauge = std::min(boss.gauge + 5, boss.gaugeCap);
    boss.secondMeter = std::min(boss.secondMeter + 2, 10000);
    if (timeLimit > -10000000) --timeLimit;

    if (bossObjects.empty() || bossObjects[0].isNull()) return;
    switch (boss.bossId) {
        case 0: RunBoss0(); break;
        case 1: RunBoss1(); break;
        case 2: RunBoss2(); break;
        case 3: RunBoss3(); break;
        case 12:
        case 14: {
            auto* body = dynamic_cast<CObjectEnemy*>(bossObjects[0].GetNoCheck());
            if (body == nullptr) break;
            SScript script{*this, boss, *body, *player};
            if (boss.bossId == 12) {
                RunBoss12(script);
            } else {
                RunBoss14(script);
            }
            break;
        }
        default: break;
    }
}
