// Keys held as a player holds them, through the game's key control as the main loop reads it:
// in play every key acts on each frame it is held, so the barrier stays up while the decide key
// is held, until its energy is spent; a key held on into a scene that counts presses acts there
// only once it is pressed again.
#include <gtest/gtest.h>

#include <functional>

#include "tests/game/e2e/game_driver.h"

namespace morna::e2e {
namespace {

constexpr uint32_t kPauseKey = Bit(KeyBit::kPause);

// A game in play after the hero's walk-in.
void StartPlaying(GameDriver& run) {
    CGameResource& g = run.Game();
    g.StartGame(SStageProgress());
    g.SetMode(Scene::kPlay);
    for (int f = 0; f < 600 && (f == 0 || g.move.targetX != -1); ++f) run.Frame(0);
}

TEST(HeldKeys, TheBarrierStaysUpWhileDecideIsHeldUntilItsEnergyIsSpent) {
    GameDriver run;
    CGameResource& g = run.Game();
    StartPlaying(run);
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

// Decide (the barrier) or back (the skill) held in play, on into each scene that play leaves for:
// the pause menu opened with its key, the game over, the ending and a talk. For 120 frames the
// held key pushes nothing there (the pause menu stays up); released and pressed again, it pushes,
// and the pause menu's decide resumes play.
// Unless the key control counts a key held across a change of its repeat as pushed at the change,
// the held key pushes once, on the new scene's first frame. Only the pause row with decide held
// then meets a fault a player sees: the opening menu takes that push as its first item (resume)
// and closes. The other rows guard the key control's push mask alone: the pause menu does nothing
// with back, the game over reads no key before frame 420 (its ranking or retry menu), the ending
// none before frame 180, and a talk's message window drops keys for its first 15 frames.
TEST(HeldKeys, AKeyHeldFromPlayIntoAMenuPushesOnlyWhenPressedAgain) {
    struct Entry {
        const char* name;
        Scene scene;
        std::function<void(GameDriver&, uint32_t held)> enter;
    };
    const Entry entries[] = {
        {"pause", Scene::kPause, [](GameDriver& run, uint32_t held) { run.Frame(held | kPauseKey); }},
        {"game over", Scene::kGameOver, [](GameDriver& run, uint32_t) { run.Game().DamagePlayer(-run.Game().status.hp, false); }},
        {"ending", Scene::kEnding, [](GameDriver& run, uint32_t) { run.Game().SetMode(Scene::kEnding); }},
        {"talk", Scene::kTalk, [](GameDriver& run, uint32_t) { run.Game().LoadTalk(Talk::kBoss0Before, false); }},
    };
    for (const Entry& e : entries) {
        for (const uint32_t held : {keys::kDecide, keys::kSkill}) {
            SCOPED_TRACE(testing::Message() << e.name << (held == keys::kDecide ? ", decide" : ", back"));
            GameDriver run;
            CGameResource& g = run.Game();
            StartPlaying(run);
            for (int f = 0; f < 3; ++f) run.Frame(held, false);
            ASSERT_NE(run.Pushes() & held, 0u) << "held in play";
            e.enter(run, held);
            ASSERT_EQ(g.scene, e.scene);
            for (int f = 0; f < 120; ++f) {
                run.Frame(held, false);
                ASSERT_EQ(run.Pushes() & held, 0u) << "frame " << f;
                ASSERT_EQ(g.scene, e.scene) << "frame " << f;
            }
            run.Frame(0, false);
            run.Frame(held, false);
            EXPECT_NE(run.Pushes() & held, 0u) << "pressed again";
            if (e.scene == Scene::kPause && held == keys::kDecide) {
                run.Run([](const GameDriver&, int) { return 0u; },
                        [](const CGameResource& game) { return game.scene == Scene::kPause; }, 120, 0);
                EXPECT_EQ(g.scene, Scene::kPlay) << "resumed";
            }
        }
    }
}

}  // namespace
}  // namespace morna::e2e
