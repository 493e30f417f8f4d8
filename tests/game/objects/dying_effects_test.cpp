// The effects' update timelines, the dying step and the death patterns counted against a
// twin of the play generator.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;
using tovarineGameSDK3rd::Math::CRand;

KindTableBuilder Kinds() {
    KindTableBuilder k;
    for (int i = 1; i < 80; ++i) {
        SEffectKind& e = k.Effect("e");
        e.speed = 2.0, e.cellWidth = 16, e.cellHeight = 16;
    }
    k.Object(1, "enemy").hitWidth = 16;
    for (int i = 0; i < 9; ++i) k.Object(4, "item");
    k.Cutin();
    return k;
}

TEST(EffectUpdate, DelaySoundFadeInLifetimeAndCulling) {
    PlayFixture play(Kinds());
    CGameResource& g = *play.game;
    g.kinds.effects[5].sound = 9, g.kinds.effects[5].speed = 0;
    CObjectEffect* e = g.CreateEffect(5, 0, 100, 100);
    e->startDelay = 2, e->fadeInCounter = e->fadeInLength = 4;
    std::vector<int> alphas;
    for (int f = 0; f < 6; ++f) {
        EXPECT_TRUE(e->Update(640, 480));
        alphas.push_back(e->alpha);
    }
    EXPECT_EQ(alphas, (std::vector<int>{255, 255, 63, 127, 191, 255}));
    EXPECT_EQ(play.TakeSoundIds(), (std::vector<int32_t>{9}));  // on the third update
    for (int f = 0; f < 1000; ++f) ASSERT_TRUE(e->Update(640, 480));  // still: never culled
    // Moving right at 2 a frame: ends once x - (16 + 32) > 640.
    CObjectEffect* m = g.CreateEffect(6, 0, 680, 100);
    int frames = 1;
    while (m->Update(640, 480)) ++frames;
    EXPECT_EQ(std::tuple(frames, m->x), std::tuple(5, 690.0));
    e->fadeCounter = e->fadeLength = 2;
    EXPECT_TRUE(e->Update(640, 480));
    EXPECT_FALSE(e->Update(640, 480));  // the fade has ended
    EXPECT_TRUE(play.TakeSoundIds().empty());
}

TEST(EffectUpdate, CutinFliesInHoldsAndFliesOut) {
    PlayFixture play(Kinds());
    CGameResource& g = *play.game;
    g.kinds.cutins[0].speed = 5;  // angle 0
    CObjectCutin* c = g.CreateCutin(0, 0, 0, 100, 0);
    std::vector<std::tuple<double, double>> seen;  // acceleration, vx
    int updates = 1;
    for (; c->Update(640, 480); ++updates) seen.emplace_back(c->motion.accel, c->motion.vx);
    EXPECT_EQ(updates, 100);
    int entry = 0, hold = 0, exit = 0;
    for (const auto& [accel, vx] : seen) entry += accel == -0.5, hold += accel == 0 && vx == 0, exit += accel == 0.5;
    EXPECT_EQ(std::tuple(entry, hold, exit), std::tuple(9, 81, 9));
    EXPECT_DOUBLE_EQ(std::get<1>(seen[8]), 5 - 9 * 0.5);
    EXPECT_EQ(std::get<1>(seen.back()), 4.5);  // 9 steps of 0.5, at most 5
    g.kinds.cutins[0].speed = 0;
    CObjectCutin* still = g.CreateCutin(0, 7, 7, 100, 0);
    for (int f = 0; f < 50; ++f) still->Update(640, 480);
    EXPECT_EQ(std::tuple(still->x, still->y), std::tuple(7.0, 7.0));
}

TEST(EffectUpdate, LandEffectsEndBeforeTheirPlacement) {
    PlayFixture play(Kinds());
    CGameResource& g = *play.game;
    g.progress.scrollX = 1000;
    g.kinds.effects[8].value7 = 3;
    CObjectEffectLand* e = g.CreateEffectLand(8, 0, 1200, 100);  // vx 2
    EXPECT_TRUE(e->CheckLand(g));
    EXPECT_EQ(std::tuple(e->x, e->screenX, e->screenY), std::tuple(1202.0, 1202 - 8 - 1000 + 3, 100 - 8));
    e->x = 1000 - 32 - 8 - 2;  // the box beyond the rectangle's left edge after its step
    e->motion.vx = -2;
    const int16_t placed = e->screenX;
    EXPECT_FALSE(e->CheckLand(g));
    EXPECT_EQ(e->screenX, placed);
}

TEST(DyingStep, ScoreGaugeDropsAndTheEffectNearTheView) {
    PlayFixture play(Kinds());
    CGameResource& g = *play.game;
    SObjectKind& k = g.kinds.objects[1][0];
    k.score = 100, k.effect = 40, k.drop = 10;
    const auto kill = [&](uint8_t state, double x) {
        CObjectEnemy e(&k);
        e.x = x, e.y = 240, e.state = state;
        e.CObjectBase::Think(g);
        EXPECT_EQ(e.state, kStateRemove);
    };
    g.status.gauge = 9998;
    kill(kStateKilledBySpecial, 320);
    EXPECT_EQ(std::tuple(g.status.gauge, g.scoreChain.kills.size(), g.effects.size(), g.objects.size()),
              std::tuple(10000, 1u, 1u, 0u));
    for (int i = 0; i < 4; ++i) kill(kStateKilled, 700);  // 8 + 640 + 8 < 700: no effect
    EXPECT_EQ(std::tuple(g.effects.size(), g.objects.size(), g.progress.dropCounter), std::tuple(1u, 1u, 0));
    kill(kStateVanish, 320);  // the effect alone
    EXPECT_EQ(std::tuple(g.effects.size(), g.scoreChain.kills.size(), g.objects.size()), std::tuple(2u, 5u, 1u));
    kill(5, 320);  // the skill blast's kill: 150 at once
    EXPECT_EQ(std::tuple(g.status.score, g.scoreChain.kills.size()), std::tuple(150, 5u));
    k.score = 0;
    for (uint8_t drop : {251, 252, 253, 254, 255}) k.drop = drop, kill(kStateKilled, 320);
    std::vector<int> kinds;
    for (const auto& o : g.objects) kinds.push_back(o->kind->index);
    EXPECT_EQ(kinds, (std::vector<int>{2, 4, 5, 8, 7}));  // the drop list's first, then the fixed ones
}

// (effect id, entries in the effect table) -> (effects made, generator draws).
class DeathPattern : public testing::TestWithParam<std::tuple<int, int, int, int>> {};

TEST_P(DeathPattern, CountsEffectsAndDraws) {
    const auto [id, tableSize, effects, draws] = GetParam();
    PlayFixture play(Kinds());
    CGameResource& g = *play.game;
    g.effects.clear();
    g.kinds.effects.resize(tableSize);
    g.kinds.objects[1][0].effect = static_cast<uint16_t>(id);
    CObjectEnemy* enemy = g.CreateEnemy(0, 300, 200, 0);
    CRand twin = g.playRand;
    enemy->SpawnDeathEffect(g);
    EXPECT_EQ(g.effects.size() + g.landEffects.size(), static_cast<size_t>(effects));
    for (int i = 0; i < draws; ++i) twin.Get();
    EXPECT_EQ(twin.Get(), g.playRand.Get());
    if (effects == 0) return;
    const CObjectEffect& last = *(g.effects.empty() ? g.landEffects : g.effects).back();
    if (id == 53) {
        EXPECT_EQ(std::tuple(last.effectReserved, last.fadeCounter, last.fadeDelay), std::tuple(7u, 16, 16));
    } else if (id == 61) {
        EXPECT_EQ(last.startDelay, 56);
    }
    if (id == 63) {  // angles 48 to 78 at speed 1, delays i / 4
        EXPECT_EQ(std::tuple(last.startDelay, g.effects.front()->motion.vx, last.motion.vy),
                  std::tuple(3, KestraneGameBase2::CosOf(48), KestraneGameBase2::SinOf(78)));
    }
    if (id == 66) {
        const auto& shadow = dynamic_cast<const IObjectShadow&>(last);
        EXPECT_EQ(std::tuple(shadow.trailSpacing, shadow.trailLength, last.fadeCounter, last.lifetime),
                  std::tuple(2, 9, 32, 48));
    }
}

INSTANTIATE_TEST_SUITE_P(Patterns, DeathPattern,
                         testing::Values(std::tuple(34, 80, 2, 0), std::tuple(35, 80, 1, 0), std::tuple(47, 80, 8, 8),
                                         std::tuple(53, 80, 8, 8), std::tuple(77, 80, 8, 8), std::tuple(61, 80, 8, 48),
                                         std::tuple(61, 61, 0, 48), std::tuple(63, 80, 16, 96), std::tuple(64, 80, 5, 6),
                                         std::tuple(66, 80, 4, 5), std::tuple(73, 80, 4, 4), std::tuple(73, 73, 0, 0),
                                         std::tuple(40, 80, 1, 0)));

}  // namespace
