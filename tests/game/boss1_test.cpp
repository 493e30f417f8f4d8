// Boss 1's script as timelines: the meters and the rage, the choices by distance and draws, the
// side step's fall-back, the shots, the slash volley, the thrust, the power-up and its finale.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

struct Boss1 : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder kinds;
        kinds.Object(6, "リュミナ").hitWidth = 64;
        for (const char* name : {"e0", "e1", "slash"}) kinds.Object(1, name);
        for (const char* name : {"s0", "trailed", "plain"}) kinds.Object(2, name);
        for (int i = 0; i < 12; ++i) kinds.Object(3, "block");
        return kinds;
    }
    // The fight past its intro: the body at (bx, by) looking at the player at (hx, hy).
    Boss1(double bx, double by, double hx, double hy) : PlayFixture(Kinds()) {
        CGameResource& g = *game;
        g.StartBossRecord(1);
        g.boss.intro = 0;
        g.move.targetX = -1;
        body = g.CreateBoss(0, TruncInt(bx), TruncInt(by), false);
        g.player->x = hx, g.player->y = hy;
        g.FaceBossToPlayer();
    }
    void Frame() {
        if (game->boss.waitFrames > 0) --game->boss.waitFrames;
        game->RunBoss1();
    }
    // Frames until the running action has been popped.
    void Finish(int limit = 400) {
        for (int i = 0; i < limit && !game->boss.actions.empty(); ++i) Frame();
    }
    // Reseeds the boss generator until its next draw passes the test.
    void SeedFor(const std::function<bool(uint32_t)>& pass) {
        for (uint32_t seed = 1;; ++seed) {
            tovarineGameSDK3rd::Math::CRand r;
            r.SetSeed(seed);
            if (pass(r.Get())) return game->bossRand.SetSeed(seed);
        }
    }
    template <class T>
    std::vector<T*> Made() {
        std::vector<T*> made;
        for (auto& o : game->objects) {
            if (T* t = dynamic_cast<T*>(o.GetNoCheck()); t != nullptr && o.GetNoCheck() != body) made.push_back(t);
        }
        return made;
    }
    int32_t Front() const { return game->boss.actions.empty() ? -1 : game->boss.actions.front(); }
    CObjectBoss* body;
};

TEST(Boss1, MetersGrowOnlyWhileCalm) {
    for (const auto& [enraged, countdown, gauge, meter] : {std::tuple{0, 0, 5, 2}, {0, 50, 10, 0}, {1, 0, 0, 0}}) {
        Boss1 b(400, 240, 300, 240);
        CGameResource& g = *b.game;
        std::tie(g.boss.enraged, g.boss.powerUpCountdown, g.boss.gauge, g.boss.secondMeter, g.boss.waitFrames) =
            std::tuple(enraged, countdown, 1000, 0, 5);
        b.Frame();
        EXPECT_EQ(std::tuple(g.boss.gauge, g.boss.secondMeter), std::tuple(1000 + gauge, meter));
    }
}

TEST(Boss1, ChoicesByRageMetersAndDistance) {
    struct Row {
        double bx, hx;
        int32_t gauge, meter, countdown, counter;
        uint8_t enraged;
        bool highDraw;  // the draw's r mod 100 is at least 20 (enraged) or 30 (calm)
        int32_t action;
    };
    for (const Row& r : {
             Row{400, 240, 4000, 0, 0, 0, 0, true, 15},      // |P - B| 160 x 6 / 8 = 120: slash volley
             Row{400, 240, 4000, 0, 0, 1, 0, true, 16},      // x 7 / 8 = 140: the thrust
             Row{400, 200, 4000, 0, 0, 3, 1, true, 12},      // 225: shots
             Row{400, 300, 2000, 10000, 0, 0, 1, true, 10},  // a full meter: the power-up
             Row{400, 300, 2000, 0, 3, 0, 1, true, 15},      // the countdown falls to 2 this frame
             Row{400, 300, 2000, 10000, 2, 0, 1, true, 7},   // ... to 1: the finale
             Row{400, 300, 799, 0, 0, 0, 1, true, -1},       // calm again, nothing chosen
             Row{400, 200, 3000, 10000, 0, 0, 0, true, 3},   // calm: the meter is never spent
             Row{400, 300, 3000, 0, 0, 0, 0, false, 0},
             Row{400, -20, 3000, 0, 0, 0, 0, true, 9},       // calm and far: evade
             Row{400, 360, 3000, 0, 0, 0, 0, true, 2},       // calm and near: drift
             Row{800, 700, 3000, 0, 0, 0, 1, true, 9},       // off the view: evade whatever else
         }) {
        Boss1 b(r.bx, 240, r.hx, 240);
        CGameResource& g = *b.game;
        std::tie(g.boss.gauge, g.boss.secondMeter, g.boss.powerUpCountdown, g.boss.actionCounter, g.boss.enraged) =
            std::tuple(r.gauge, r.meter, r.countdown, r.counter, r.enraged);
        const bool enraged = r.enraged != 0 || r.gauge >= 4000;
        b.SeedFor([&](uint32_t v) { return (v % 100 >= (enraged ? 20u : 30u)) == r.highDraw; });
        b.Frame();
        int32_t action = b.Front();
        if (action == 13 || action == 14) action = 12;
        EXPECT_EQ(action, r.action) << r.hx << " " << r.gauge << " " << r.counter;
        if (r.action == 10) {
            EXPECT_EQ(std::tuple(g.boss.secondMeter, g.boss.gauge, g.boss.powerUpCountdown, g.boss.damageScale,
                                 g.boss.waitFrames, g.boss.enraged),
                      std::tuple(0, 4000, 900, 120, 60, 1));
            EXPECT_EQ(b.TakeSoundIds(), std::vector<int32_t>{173});
        }
        if (r.action == 3) {
            EXPECT_GE(g.boss.secondMeter, 10000);
        }
    }
}

TEST(Boss1, SideStepTakesTheNearerPointInViewOrEvades) {
    Boss1 b(600, 240, 400, 240);  // both points in view, equally near: the one at a - 64 (up)
    b.game->PushBossAction(3);
    b.Frame();
    EXPECT_EQ(std::tuple(b.body->motion.vy, b.game->boss.waitFrames), std::tuple(SinOf(192) * 2.0, 160));
    Boss1 e(600, 400, 529, 329);  // across the corner: both points beyond the view
    e.game->PushBossAction(3);
    e.Frame();
    EXPECT_EQ(std::tuple(e.Front(), e.game->boss.actions.size()), std::tuple(9, 1u));
}

TEST(Boss1, ShotsVolleyAndThrustMakeTheirObjects) {
    using Shot = std::tuple<int32_t, double, double, uint8_t>;  // kind, velocity, acceleration angle
    const auto shot = [](uint8_t a, double v, uint8_t accel) { return Shot{1, CosOf(a) * v, SinOf(a) * v, accel}; };
    for (const auto& [action, shots] : {std::pair{12, std::vector<Shot>{shot(128, 6.0, 0)}},
                                        {13, {shot(96, 7.0, 160), shot(160, 7.0, 96)}},
                                        {14, {shot(104, 0, 104), shot(128, 0, 128), shot(152, 0, 152)}}}) {
        Boss1 b(400, 240, 200, 240);
        b.game->PushBossAction(action);
        b.Finish();
        std::vector<Shot> made;
        for (CObjectShot* s : b.Made<CObjectShot>()) {
            made.emplace_back(s->kind->index, s->motion.vx, s->motion.vy, s->motion.accelAngle);
        }
        EXPECT_EQ(made, shots) << action;
        EXPECT_EQ(b.TakeSoundIds(), std::vector<int32_t>{159});
    }
    for (const int32_t countdown : {0, 500}) {
        Boss1 v(400, 240, 200, 240);
        v.game->boss.powerUpCountdown = countdown;
        v.game->PushBossAction(15);
        v.Finish();
        EXPECT_EQ(v.Made<CObjectEnemy>().size(), countdown != 0 ? 18u : 12u);
        Boss1 t(400, 240, 200, 240);
        t.game->boss.powerUpCountdown = countdown;
        t.game->PushBossAction(16);
        t.Finish();
        const std::vector<CObjectBlock*> blocks = t.Made<CObjectBlock>();
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(std::tuple(blocks[0]->kind->index, blocks[0]->turn, blocks[0]->motion.vx),
                  std::tuple(countdown != 0 ? 9 : 7, 128, CosOf(128) * (countdown != 0 ? 8.0 : 6.0)));
    }
}

TEST(Boss1, FinaleSweepsFourTimesAndEndsThePowerUp) {
    Boss1 b(400, 240, 200, 300);
    CGameResource& g = *b.game;
    g.boss.enraged = 1, g.boss.powerUpCountdown = 1, g.boss.damageScale = 120, g.boss.gauge = 3000;
    g.status.gauge = 0;
    g.PushBossAction(7);
    for (int i = 0; i < 2000 && b.Front() == 7; ++i) {
        b.Frame();
        b.body->moving = 0;  // every steering arrives at once
    }
    EXPECT_EQ(b.Made<CObjectBlock>().size(), 0u);  // all on the pending list
    EXPECT_EQ(g.pendingSpawns.size(), 4u * 16);
    EXPECT_EQ(std::tuple(g.boss.powerUpCountdown, g.boss.enraged, g.boss.damageScale, g.boss.gauge, g.status.gauge),
              std::tuple(0, 0, 100, 5, 5 + 2 * (5 + 500)));  // a calm frame pops it; each push gives 5
    EXPECT_EQ(std::vector<int32_t>(g.boss.actions.begin(), g.boss.actions.end()), (std::vector<int32_t>{0, 0}));
}

}  // namespace
