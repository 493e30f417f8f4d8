// Long runs for the sanitizer builds (label soak): random keys on stage 0 for 20,000 frames, and
// each boss left alone for 3,000 frames, end without an exception and with bounded lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "tests/game/e2e/game_driver.h"

namespace morna::e2e {
namespace {

constexpr size_t kMaxObjects = 1000, kMaxEffects = 2000;

struct Sizes {
    size_t objects = 0, effects = 0;
    void Note(const CGameResource& g) {
        objects = std::max(objects, g.objects.size() + g.pendingSpawns.size() + g.bossObjects.size());
        effects = std::max(effects, g.effects.size() + g.backEffects.size() + g.landEffects.size() +
                                        g.frontEffects.size() + g.cutins.size());
    }
};

void StartAt(CGameResource& g, int32_t stage) {
    SStageProgress start;
    start.stage = stage;
    g.StartGame(start);
    g.SetMode(Scene::kPlay);
}

TEST(Soak, RandomKeysOnStageZero) {
    GameDriver run(5);
    CGameResource& g = run.Game();
    StartAt(g, 0);
    std::mt19937 random(20260607);
    Sizes sizes;
    int playing = 0;
    for (int f = 0; f < 20000; ++f) {
        // Directions, barrier and skill at random in play; elsewhere (talks, the game over's
        // menu, the title after it) the decide key only, so the run goes on playing.
        const uint32_t mask = g.scene == Scene::kPlay ? random() & (0xFu | keys::kDecide | keys::kSkill)
                                                       : (f % 2 == 0 ? keys::kDecide : 0);
        ASSERT_NO_THROW(run.Frame(mask, f % 4 == 0)) << "frame " << f;
        sizes.Note(g);
        playing += g.scene == Scene::kPlay;
    }
    std::printf("%d frames in play; at most %zu objects and %zu effects\n", playing, sizes.objects, sizes.effects);
    EXPECT_GT(playing, 10000);
    EXPECT_LT(sizes.objects, kMaxObjects);
    EXPECT_LT(sizes.effects, kMaxEffects);
}

TEST(Soak, EveryBossLeftAlone) {
    constexpr struct {
        int32_t boss, stage;
    } kBosses[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {12, 1}, {14, 2}};
    for (const auto& b : kBosses) {
        GameDriver run(b.boss + 10);
        CGameResource& g = run.Game();
        StartAt(g, b.stage);
        g.talkState.shown = ~0u;  // no talk waits for a key
        g.StartBossRecord(b.boss);
        Sizes sizes;
        for (int f = 0; f < 3000; ++f) {
            ASSERT_NO_THROW(run.Frame(0, f % 4 == 0)) << "boss " << b.boss << ", frame " << f;
            sizes.Note(g);
        }
        std::printf("boss %d: at most %zu objects and %zu effects\n", b.boss, sizes.objects, sizes.effects);
        EXPECT_LT(sizes.objects, kMaxObjects) << "boss " << b.boss;
        EXPECT_LT(sizes.effects, kMaxEffects) << "boss " << b.boss;
    }
}

}  // namespace
}  // namespace morna::e2e
