// The boss fight's play field: damage into HP and the meters, the partner counter, a kill by
// the skill, and the scripts of mid-bosses 12 and 14.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;
using morna::test::SPlay;

struct Field : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder kinds;
        kinds.Object(2, "shot");
        kinds.Object(2, "shot1");
        SObjectKind& body = kinds.Object(6, "body");
        body.score = 1000, body.hitWidth = 40, body.hitHeight = 40;
        kinds.Object(6, "segment");
        return kinds;
    }
    // A fight past its intro: the body at (body x, 240), the hero at (320, 240), then parts.
    Field(int32_t id, double bodyX, int parts = 0) : PlayFixture(Kinds()) {
        CGameResource& g = *game;
        g.move.targetX = -1;
        g.boss.bossId = id, g.boss.intro = 0;
        g.boss.hp = g.boss.maxHp = 10000;
        g.boss.gaugeCap = 10000;
        body = g.CreateBoss(0, static_cast<int32_t>(bodyX), 240, false);
        for (int i = 0; i < parts; ++i) g.CreateBossParts(1, 100, 300, false);
    }
    CGameResource& G() { return *game; }
    CObjectBoss* body;
};

TEST(PlayField, DamageIntoHpGaugeAndMeters) {
    // Boss 12 feels its segments at a third; any other boss only the worst hit (5: one without a
    // script, so that only the play field acts).
    for (const auto& [id, expected] : {std::pair{12, 50}, {5, 50}}) {
        Field f(id, 500, 2);
        f.G().bossObjects[0]->hp = -30;
        f.G().bossObjects[1]->hp = id == 12 ? -30 : -50;
        f.G().bossObjects[2]->hp = -30;
        f.G().UpdatePlayField();
        EXPECT_EQ(f.G().boss.hp, 10000 - expected) << id;
        EXPECT_EQ(std::tuple(f.G().status.gauge, f.G().boss.secondMeter, f.G().boss.flinchCountdown),
                  std::tuple(5000 + expected / 10, expected + 2, 16));
        EXPECT_EQ(f.G().bossObjects[1]->hp, 0);
    }

    // The partner counter shields HP: it falls by the damage and 10, never below 1.
    Field f(5, 500);
    f.G().boss.partnerCounter = 100;
    f.body->hp = -30;
    f.G().UpdatePlayField();
    EXPECT_EQ(std::tuple(f.G().boss.hp, f.G().boss.partnerCounter, f.G().status.gauge), std::tuple(10000, 60, 5006));
    EXPECT_EQ(f.sounds.played, (std::vector<SPlay>{{112, false}}));
    f.body->hp = -300;
    f.G().UpdatePlayField();
    EXPECT_EQ(std::tuple(f.G().boss.hp, f.G().boss.partnerCounter), std::tuple(10000, 1));
}

TEST(PlayField, AKillByTheSkillPaysHalfAgainAtOnceAndEndsTheSkill) {
    for (const auto& [score, paid] : {std::pair{1000, 1500}, {-100, 300}}) {
        Field f(12, 500);  // its defeat pays no bonus on the same frame
        f.G().kinds.objects[6][0].score = score;
        f.G().progress.stage = 2;  // a negative score is stage x 50 - s
        f.G().boss.hp = 10;
        f.G().boss.skillHit = 1;
        f.G().status.skillRunning = 1;
        f.body->hp = -20;
        f.G().UpdatePlayField();
        EXPECT_EQ(std::tuple(f.G().status.score, f.G().status.skillRunning,
                             f.G().scoreChain.popups[SScoreChain::kBonusPopup]),
                  std::tuple(paid, uint8_t{0}, 180));
        EXPECT_EQ(f.body->state, kStateKilled);
    }
}

TEST(PlayField, TheDefeatFrameLaysOutTheDefeatBlock) {
    Field f(0, 500);
    f.G().bossAnimations.resize(9);
    SBossBlock& defeat = f.G().bossAnimations[8];
    defeat.totalTime = 40;
    defeat.steps = {{123, 20, {}}, {124, 40, {}}};
    f.G().boss.hp = 10;
    f.body->hp = -10;
    f.G().UpdatePlayField();
    EXPECT_EQ(std::tuple(f.body->phase, f.body->state), std::tuple(123, kStateKilled));
}

TEST(PlayField, Boss12ChasesWhileFlinchingAndPicksItsMovesWhenNot) {
    Field f(12, 500);
    f.G().boss.secondMeter = 5000, f.G().boss.gauge = 5000;
    f.G().boss.flinchCountdown = 5;
    f.G().UpdatePlayField();
    EXPECT_TRUE(f.G().boss.actions.empty());
    EXPECT_EQ(std::tuple(int{f.body->motion.accelAngle}, f.body->motion.accel, f.body->motion.speedLimit),
              std::tuple(128, 0.1, 4.0));

    // Not flinching: the second meter pays 2000 for the move the positions pick
    // (320 x 240 + 240 x 500 = 196800, mod 3 = 0: the lash).
    f.G().boss.flinchCountdown = 0;
    f.G().UpdatePlayField();
    EXPECT_EQ(f.G().boss.actions, std::list<int32_t>{5});
    EXPECT_EQ(f.G().boss.secondMeter, 5000 + 4 - 2000);
}

TEST(PlayField, Boss12DiveReentersAndFiresThreeShots) {
    Field f(12, 500);
    CGameResource& g = f.G();
    g.formation.trail.resize(4);
    g.boss.actions = {6};
    g.boss.step = 1, g.boss.lastStep = 2;
    g.boss.savedX = 123.5;
    f.body->y = -300;
    g.UpdatePlayField();
    EXPECT_EQ(std::tuple(f.body->x, f.body->y, f.body->motion.vy, f.body->motion.frictionY, int{f.body->facing}),
              std::tuple(123.5, -64.0, 16.0, 16.0 / 75, 64));
    EXPECT_EQ(std::tuple(g.boss.waitFrames, g.boss.step, g.formation.trail[3].x, g.formation.trail[3].y), std::tuple(75, 2, 123.0, -64.0));
    EXPECT_EQ(f.sounds.played, (std::vector<SPlay>{{150, false}}));

    // Fire, step 15: three shots 16 steps apart from 32 pixels out, toward the hero.
    Field s(12, 500);
    s.G().boss.actions = {4};
    s.G().boss.step = 15, s.G().boss.lastStep = 45;
    s.G().player->y = 240 - 180;  // the hero up and to the left: a = 160
    s.G().UpdatePlayField();
    const uint8_t a = AngleOf(320 - 500, -180);
    std::vector<std::tuple<double, double, double, double>> shots, expected;
    for (const auto& o : s.G().objects) {
        if (o->GetType() == kTypeShot) shots.emplace_back(o->x, o->y, o->motion.vx, o->motion.vy);
    }
    for (int spread : {-16, 0, 16}) {
        const uint8_t b = static_cast<uint8_t>(a + spread);
        expected.emplace_back(int(500 + 32 * CosOf(a)), int(240 + 32 * SinOf(a)), CosOf(b) * 6.0, SinOf(b) * 6.0);
    }
    EXPECT_EQ(shots, expected);
    EXPECT_EQ(s.G().boss.step, 16);
}

TEST(PlayField, Boss14RisesAsAGroupAndPicksABodyWithTheBossGenerator) {
    Field f(14, 500, 2);
    CGameResource& g = f.G();
    g.boss.actions = {1};
    g.UpdatePlayField();
    std::vector<double> rise;
    for (const auto& e : g.bossObjects) rise.push_back(e->motion.vy);
    EXPECT_EQ(rise, (std::vector<double>{-235 / 180.0, -170 / 180.0, -80 / 180.0}));
    EXPECT_EQ(std::tuple(g.boss.waitFrames, int{g.bossObjects[2]->pose}, int{g.bossObjects[2]->jitter}), std::tuple(180, 11, 1));

    Field p(14, 500, 2);
    p.G().boss.hp = 4000, p.G().boss.gauge = 6000;
    tovarineGameSDK3rd::Math::CRand model = p.G().bossRand;
    p.G().UpdatePlayField();
    EXPECT_EQ(p.G().bossObjects[model.Get(3)]->phase, 1);
    EXPECT_EQ(p.G().boss.gauge, 0);
}

}  // namespace
