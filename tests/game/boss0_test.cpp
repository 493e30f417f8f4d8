// Boss 0's script as timelines: the choice by meters, view and position with the steps and their
// idle frames, the rock, the fall through a world without gravity and back, the hammer.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

struct Boss0 : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder kinds;
        kinds.Object(6, "ポロちゃん").hitWidth = 64;
        kinds.Object(6, "ポロちゃんハンマー");
        kinds.Object(6, "ポロちゃん高さ転倒");
        kinds.Object(3, "ポロちゃん岩");
        kinds.Object(3, "ポロちゃん岩逆");
        for (const char* name : {"ポロちゃん土埃左", "ポロちゃん土埃右", "ポロちゃん衝撃"}) kinds.Effect(name);
        return kinds;
    }
    // The fight past its intro: the body at (400, 240), its hammer, two height segments, the
    // player (scripted by hand) at (hx, hy).
    Boss0(double hx, double hy) : PlayFixture(Kinds()) {
        CGameResource& g = *game;
        g.StartBossRecord(0);
        g.boss.intro = 0;
        g.move.targetX = -1;
        body = g.CreateBoss(0, 400, 240, false);
        g.CreateBossParts(1, 420, 250, false);
        for (int i = 0; i < 2; ++i) g.formation.segments.push_back(CGameResource::ObjectPtr(new CObjectBoss(&g.kinds.objects[6][2])));
        g.player->x = hx, g.player->y = hy;
    }
    // One frame of the script as the play field runs it, without the meters' growth.
    void Frame() {
        if (game->boss.waitFrames > 0) --game->boss.waitFrames;
        if (game->boss.animation != 0) ++game->boss.animationFrame;
        game->RunBoss0();
    }
    int32_t Front() const { return game->boss.actions.empty() ? -1 : game->boss.actions.front(); }
    CObjectBoss* body;
};

TEST(Boss0, ChoiceByViewMetersDrawsAndPosition) {
    struct Row {
        double bodyX, hx;
        int32_t gauge, meter, flinch;
        uint8_t toggle;
        int32_t draws, action;  // draws: boss generator draws made; -1: as the reference draw says
    };
    for (const Row& r : {Row{-10, 100, 10000, 10000, 5, 0, 0, 2},  // off the view: always toward the player
                         Row{700, 100, 10000, 10000, 0, 1, 0, 2}, Row{400, 101, 0, 10000, 0, 0, 0, 7},
                         Row{400, 100, 1990, 10000, 0, 0, 0, 2}, Row{400, 101, 1990, 9999, 0, 0, 0, 2},
                         Row{400, 102, 2501, 0, 0, 0, -1, 3}, Row{400, 102, 2500, 0, 0, 0, 0, 3},
                         Row{400, 102, 2001, 0, 0, 1, -1, 3}, Row{400, 102, 2000, 0, 0, 1, 0, 3},
                         Row{400, 102, 1990, 0, 3, 0, 0, 8}}) {
        Boss0 b(r.hx, r.bodyX < 0 ? 200 : 240);
        CGameResource& g = *b.game;
        b.body->x = r.bodyX;
        std::tie(g.boss.gauge, g.boss.secondMeter, g.boss.flinchCountdown, g.boss.animationToggle) =
            std::tuple(r.gauge, r.meter, r.flinch, r.toggle);
        tovarineGameSDK3rd::Math::CRand reference = g.bossRand;
        const bool even = r.draws < 0 && reference.Get() % 2 == 0;
        b.Frame();
        const int32_t action = even ? 4 : r.action;
        EXPECT_EQ(b.Front(), action) << r.bodyX << " " << r.gauge;
        EXPECT_EQ(g.bossRand.Get(), reference.Get()) << r.gauge;
        EXPECT_EQ(g.boss.secondMeter, action == 7 ? 0 : r.meter);
        EXPECT_EQ(g.boss.gauge, r.gauge - (action == 4 ? (r.toggle != 0 ? 2000 : 2500) : 0));
        EXPECT_EQ(b.body->facing, r.hx < r.bodyX ? 128 : 0);
        if (action != 2 && action != 3 && action != 8) continue;
        // A step: it lands the next frame with a shake and rests by the gauge (not after a flinch).
        const double speed = action == 2 ? 2.0 : action == 3 ? -1.0 : -0.5;
        EXPECT_EQ(b.body->motion.vx, b.body->facing == 0 ? speed : -speed);
        b.Frame();
        EXPECT_EQ(std::tuple(b.Front(), g.boss.idleCountdown, g.screenFx.shakeCounterY, b.TakeSoundIds()),
                  std::tuple(-1, action == 8 ? 0 : r.gauge / 10 % 30 + (action == 2 ? 30 : 45), 30, std::vector<int32_t>{151}));
    }
}

TEST(Boss0, RockRollsInFromTheEdgeBehindTheBoss) {
    for (const auto& [hx, toggle] : {std::pair{100.0, 0}, {100.0, 1}, {600.0, 0}}) {
        Boss0 b(hx, 240);
        CGameResource& g = *b.game;
        g.boss.animationToggle = static_cast<uint8_t>(toggle);
        g.FaceBossToPlayer();
        g.PushBossAction(4);
        b.Frame();
        const bool right = hx > 400;
        const double d = right ? 400 + 64 : 640 - 400 + 32, v = std::sqrt(0.2 * d) * (right ? 1 : -1);
        const int32_t wait = static_cast<int32_t>(std::fabs(v / 0.1));
        EXPECT_EQ(std::tuple(g.boss.waitFrames, g.boss.actions.back()), std::tuple(wait, toggle != 0 ? 5 : 6));
        const CObjectBase& rock = *g.objects.back();
        EXPECT_EQ(std::tuple(rock.kind->index, rock.x, rock.y, rock.motion.vx, rock.motion.frictionX, rock.phase, rock.wait),
                  std::tuple(right ? 1 : 0, right ? -32.0 : 640.0, static_cast<double>(static_cast<int32_t>(384 - d / 2)),
                             v, 0.1, toggle, wait + (toggle != 0 ? 10 : -10)));
    }
}

TEST(Boss0, FallTiltsLiesWithoutGravityAndComesBackFromTheEdge) {
    Boss0 b(600, 240);
    CGameResource& g = *b.game;
    g.FaceBossToPlayer();
    g.PushBossAction(6);
    b.Frame();
    EXPECT_EQ(std::tuple(b.body->motion.vx, g.boss.waitFrames), std::tuple(2.0, 15));
    for (int i = 0; i < 16; ++i) b.Frame();
    EXPECT_EQ(std::tuple(b.body->motion.vx, b.body->motion.vy, g.boss.damageScale, g.boss.heightSegment, g.screenFx.shakeCounterX),
              std::tuple(6.0, -5.0, 0, 1, 20));
    for (int i = 0; i < 200; ++i) b.Frame();  // no ground, no animation: it keeps falling
    EXPECT_EQ(std::tuple(g.boss.step, g.boss.tilt, g.boss.damageScale, g.boss.enraged, g.gravity),
              std::tuple(3, 49152, 400, 1, CGameResource::kGravity));
    g.formation.segments[1]->contact = 1;
    b.Frame();
    EXPECT_EQ(std::tuple(g.gravity, b.body->motion.vx, g.screenFx.shakeCounterY, g.landEffects.size()), std::tuple(0.0, 4.0, 80, 2u));
    EXPECT_EQ(g.landEffects.front()->x, 400 - 64.0);
    for (int i = 0; i < 100; ++i) b.Frame();  // slides out of the view: 30 frames at a time
    EXPECT_EQ(std::tuple(g.boss.step, g.boss.waitFrames, g.boss.damageScale, g.boss.enraged), std::tuple(4, 21, 0, 0));
    b.body->x = 991;
    for (int i = 0; i < 22; ++i) b.Frame();
    EXPECT_EQ(std::tuple(g.gravity, b.body->x, b.body->y, g.boss.tilt, g.boss.heightSegment, g.boss.damageScale),
              std::tuple(CGameResource::kGravity, 704.0, 132.0, 0, 0, 100));
    b.Frame(), b.Frame(), b.Frame();  // pop the fall, the one-frame pause, pop it
    EXPECT_EQ(b.TakeSoundIds(), (std::vector<int32_t>{153, 154}));
    EXPECT_EQ(b.Front(), -1);
}

TEST(Boss0, HammerLungesToWhereThePlayerWillBeAndStrikesTwice) {
    for (const auto& [hx, v] : {std::pair{550.0, 10.0}, {900.0, 12.0}}) {
        Boss0 b(hx, 240);
        CGameResource& g = *b.game;
        g.player->motion.vx = 0;
        g.status.gauge = 1000;
        g.FaceBossToPlayer();
        g.PushBossAction(7);
        std::vector<int32_t> waits;
        while (b.Front() == 7) {
            const int32_t step = g.boss.step;
            b.Frame();
            if (g.boss.step != step && g.boss.waitFrames > 0) waits.push_back(g.boss.waitFrames);
            if (g.boss.step == 3) {
                EXPECT_EQ(std::tuple(b.body->motion.vx, b.body->motion.frictionX), std::tuple(v, v / 30));
            }
        }
        EXPECT_EQ(waits, (std::vector<int32_t>{70, 25, 10, 80}));
        EXPECT_EQ(std::tuple(g.landEffects.size(), g.landEffects.back()->y, g.landEffects.back()->fadeDelay),
                  std::tuple(2u, 290.0, 15));
        EXPECT_EQ(std::tuple(g.boss.idleCountdown, g.status.gauge, g.boss.damageScale), std::tuple(90, 1255, 100));
        EXPECT_EQ(b.TakeSoundIds(), (std::vector<int32_t>{116, 156}));
    }
}

}  // namespace
