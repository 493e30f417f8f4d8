// Keys held as a player holds them, through the game's key control as the main loop reads it:
// in play every key acts on each frame it is held, so the barrier stays up while the decide key
// is held, until its energy is spent.
#include <gtest/gtest.h>

#include "tests/game/e2e/game_driver.h"

namespace morna::e2e {
namespace {

TEST(HeldKeys, TheBarrierStaysUpWhileDecideIsHeldUntilItsEnergyIsSpent) {
    GameDriver run;
    CGameResource& g = run.Game();
    g.StartGame(SStageProgress());
    g.SetMode(Scene::kPlay);
    for (int f = 0; f < 600 && (f == 0 || g.move.targetX != -1); ++f) run.Frame(0);  // the hero walks in
    ASSERT_EQ(g.status.barrierEnergy, 10000);
    // 150 for the first frame, 50 for each after it: the 199th frame overloads.
    int held = 0;
    for (; held < 400 && g.status.overload == 0; ++held) {
        run.Frame(keys::kDecide);
        ASSERT_NE(run.Pushes() & keys::kDecide, 0u) << "frame " << held;
        ASSERT_NE(g.status.barrierUp, 0) << "frame " << held;
    }
    EXPECT_EQ(held, 199);
    run.Frame(keys::kDecide);
    EXPECT_EQ(g.status.barrierUp, 0);  // overloaded: down though still held
}

}  // namespace
}  // namespace morna::e2e
