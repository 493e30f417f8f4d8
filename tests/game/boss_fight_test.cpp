// The boss-fight record, its helpers and the boss part layout, on boss tables built here.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "framework/image_loader.h"
#include "game/play/boss_fight.h"
#include "tests/game/support/play_fixture.h"

namespace {

using Point = std::tuple<double, double>;
Point At(const CObjectBase* o) { return {o->x, o->y}; }

// Section 6: 0 the body (64 wide, image 5), 1 a hurting part (20 wide), 2 an undying piece.
struct BossFixture {
    static morna::test::KindTableBuilder Kinds() {
        morna::test::KindTableBuilder k;
        k.Object(6, "body").hitWidth = 64, k.Object(6, "part").hitWidth = 20, k.Object(6, "piece").undying = 1;
        k.Tables().objects[6][0].image = 5, k.Tables().objects[6][1].power = 1;
        return k;
    }
    explicit BossFixture(int32_t id) : play(Kinds()), g(*play.game) {
        g.StartBossRecord(id);
        body = g.CreateBoss(0, 200, 200, false);
    }
    CObjectBossParts* Part(int kind) { return g.CreateBossParts(kind, 0, 0, false); }
    morna::test::PlayFixture play;
    CGameResource& g;
    CObjectBoss* body;
};

TEST(BossRecord, PointsAnimationsActionsAndHp) {
    EXPECT_EQ(std::tuple(IsPointInRect(10, 10, {10, 10, 11, 11}), IsPointInRect(11, 10, {10, 10, 11, 11})),
              std::tuple(true, false));
    BossFixture f(1);
    CGameResource& g = f.g;
    g.bossAnimations.resize(4);
    for (int i = 0; i < 4; ++i) g.bossAnimations[i].totalTime = 10 * i;
    std::vector<int32_t> chosen;
    // The second 3 wants the missing block 4: nothing, and the toggle stays.
    for (uint8_t n : {1, 1, 3, 3, 3, 9}) g.SetBossAnimation(n), chosen.push_back(g.boss.animation);
    EXPECT_EQ(chosen, (std::vector<int32_t>{1, 2, 3, 3, 3, 3}));
    std::vector<bool> running;
    for (int32_t frame : {29, 30}) g.boss.animationFrame = frame, running.push_back(g.IsBossAnimationRunning());
    EXPECT_EQ(std::tuple(g.boss.waitFrames, running), std::tuple(30, std::vector<bool>{true, false}));

    std::vector<int32_t> hp;
    for (auto [from, n] : {std::pair{300, -500}, {9000, 5000}, {0, 50}}) {
        g.boss.hp = from, g.AddBossHp(n), hp.push_back(g.boss.hp);
    }
    EXPECT_EQ(hp, (std::vector<int32_t>{1, 10000, 0}));

    g.boss.step = g.boss.lastStep = g.boss.waitFrames = 7, g.status.gauge = 9998, g.boss.idleCountdown = 40;
    g.PopBossAction();  // on an empty queue
    EXPECT_EQ(std::tuple(g.boss.step, g.boss.lastStep, g.boss.waitFrames), std::tuple(0, 0, 0));
    g.PushBossAction(4), g.PushBossAction(7), g.PopBossAction();
    EXPECT_EQ(std::tuple(g.boss.actions.front(), g.status.gauge, g.boss.idleCountdown), std::tuple(7, 10000, 0));
}

TEST(BossRecord, StartKeepsTheItemTimersOnlyForMidStageBosses) {
    morna::test::PlayFixture play;
    CGameResource& g = *play.game;
    SPlayerStatus& s = g.status;
    for (int32_t id : {12, 2}) {
        s.barrierEnergy = 100, s.energyTimer = s.magicTimer = s.speedUpTimer = 50, s.score = 1234;
        g.progress.scrollSpeed = g.progress.targetSpeed = 2, g.boss.intro = 0;
        g.player->motion.vx = g.barriers[0]->motion.vx = g.barriers[1]->motion.vx = 3;
        g.StartBossRecord(id);
        const int32_t kept = id == 12 ? 50 : 0;
        EXPECT_EQ(std::tuple(s.barrierEnergy, s.energyTimer, s.magicTimer, s.speedUpTimer),
                  std::tuple(id == 12 ? 100 : 10000, kept, kept, kept));
        EXPECT_EQ(std::tuple(g.boss.bossId, g.boss.hp, g.boss.maxHp, g.boss.gauge, g.boss.gaugeCap, g.boss.intro,
                             g.progress.scrollSpeed + g.progress.targetSpeed),
                  std::tuple(id, 10000, 10000, 10000, 10000, 1, 0.0));
        // The barrier active once the timers are settled stops.
        EXPECT_EQ(std::tuple(g.player->motion.vx, g.barriers[0]->motion.vx, g.barriers[1]->motion.vx),
                  std::tuple(0.0, 3.0 * (id == 12), 3.0 * (id != 12)));
    }
    s.gaugeMax = 9000, s.hp = 5;
    s.Reset();  // the score and the gauge maximum stay
    EXPECT_EQ(std::tuple(s.hp, s.gauge, s.score, s.gaugeMax), std::tuple(10000, 5000, 1234, 9000));
}

TEST(BossHelpers, FacingPositionsAndEvadePoint) {
    BossFixture f(1);
    CGameResource& g = f.g;
    g.bossObjects.clear();
    g.screenFx.shakeX = 3, g.progress.scrollX = 100.5, g.progress.scrollY = 10;
    double x = 0, y = 0;
    g.GetBossPosition(&x, &y);
    EXPECT_EQ(std::tuple(x, y, g.SignByBossFacing(2), g.GetBossFacing()), std::tuple(423.0, 250.0, -2.0, 0));
    EXPECT_FALSE(g.FaceBossToPlayer());
    g.bossObjects.push_back(g.objects.front());
    g.screenFx.shakeX = 0, g.progress.scrollX = g.progress.scrollY = 0;
    g.player->x = 320, g.player->y = 340, f.body->y = 240;
    std::vector<std::tuple<bool, double, int>> seen;  // boss faces right, sign, player's facing
    for (double bx : {420, 100}) {
        f.body->x = bx;
        const bool right = g.FaceBossToPlayer();
        g.FacePlayerToBoss();
        seen.emplace_back(right, g.SignByBossFacing(2), g.player->facing);
    }
    EXPECT_EQ(seen, (std::vector<std::tuple<bool, double, int>>{{false, -2.0, 0}, {true, 2.0, 128}}));
    // The boss at (420, 240) lies at -32 from the player; r = 20 - 50 + 100 = 70, rx = 87.5;
    // of (381.9, 289.5) and (258.1, 190.5) the second is farther.
    f.body->x = 420;
    int32_t ex = 0, ey = 0;
    g.GetEvadePoint(&ex, &ey, 100);
    EXPECT_EQ(std::tuple(ex, ey), std::tuple(258, 190));
}

TEST(BossHelpers, HeldAndSnappedPartsAndTheScreenMargin) {
    BossFixture f(3);
    CGameResource& g = f.g;
    CObjectBossParts* held = f.Part(1);
    EXPECT_EQ(g.GetBossPartSpacing(), 0);
    g.boss.heldPart = 1, g.boss.cooldown = 1, held->pose = 1, g.player->x = 200, g.player->y = 300;
    g.PlaceHeldPart();  // toward the player, 10 + 32 off
    EXPECT_EQ(std::tuple(held->pose, TruncInt(held->x), held->y, held->turn), std::tuple(0, 200, 242.0, 64));
    g.boss.bossId = 1;
    g.PlaceHeldPart();
    EXPECT_EQ(std::tuple(At(held), held->facing), std::tuple(Point(158, 220), 128));
    g.boss.cooldown = 0, held->poseTimer = 9;
    g.PlaceHeldPart();
    EXPECT_EQ(std::tuple(held->pose, held->poseTimer), std::tuple(1, 0));

    CObjectBossParts* second = f.Part(1);
    g.boss.bossId = 3, g.boss.snappedPart = 1;
    g.SnapPartsToBody();  // three from element 1 would pass the end
    EXPECT_NE(At(second), At(f.body));
    g.boss.bossId = 2, g.boss.hp = 0;
    g.SnapPartsToBody();
    EXPECT_EQ(std::tuple(At(held), At(second), held->phase + second->phase), std::tuple(At(f.body), At(f.body), -4));

    const auto kept = [&](int32_t id, uint16_t subStep, int32_t flinch, uint8_t pose) {
        g.boss.bossId = id, g.progress.subStep = subStep, g.boss.flinchCountdown = flinch, f.body->pose = pose;
        f.body->x = -100, f.body->y = 1000;
        g.KeepBossOnScreen();
        return At(f.body);
    };
    EXPECT_EQ(std::tuple(kept(1, 1, 5, 0), kept(0, 0, 5, 0)), std::tuple(Point(8, 472), Point(24, 456)));
    for (Point still : {kept(0, 1, 5, 0), kept(12, 0, 5, 0), kept(1, 0, 0, 0), kept(1, 0, 5, 27)}) {
        EXPECT_EQ(still, Point(-100, 1000));
    }
}

TEST(BossHelpers, ClearingReleasesWhatTheBossVectorsKeptAlive) {
    BossFixture f(0);
    CGameResource& g = f.g;
    CObjectBossParts* part = f.Part(1);
    g.CreateBossParts(2, 0, 0, false);  // undying
    g.formation.afterimageParts.push_back(g.bossObjects.back());
    g.formation.specialPart = g.bossObjects.back();
    g.formation.trail.resize(3), g.formation.coils = 2, g.formation.extension = 1.5;
    part->state = kStateRemove;
    g.objects.remove_if([](const CGameResource::ObjectPtr& o) { return o->state == kStateRemove; });
    g.UpdateBossChain(false);  // reaches the erased part through the boss vector
    g.ClearBossFight();
    EXPECT_EQ(g.objects.size(), 1u);  // the body; the undying piece went at once
    EXPECT_TRUE(g.bossObjects.empty() && g.formation.afterimageParts.empty() && !g.formation.specialPart && g.formation.trail.empty());
    EXPECT_EQ(std::tuple(g.formation.coils, g.formation.extension, g.boss.bossId), std::tuple(0, 0.0, -1));
}

TEST(BossHelpers, StagePicturesReleasedAreTheBodysAnd60To361) {
    BossFixture h(0);
    KestraneGameBase2::CImageLoader& images = KestraneGameBase2::CImageLoader::GetInstance();
    const auto load = [&](std::initializer_list<int32_t> ids) {
        for (int32_t id : ids) h.play.images.Add(id, 8, 8), images.GetImage(id);
        return images.GetBytesUsed();
    };
    const uint64_t kept = load({59, 362});
    EXPECT_GT(load({5, 60, 361}), kept);
    h.g.ReleaseStageImages();
    EXPECT_EQ(images.GetBytesUsed(), kept);
}

// Boss 12: five elements on 80 trail entries at (100, 100) and angle 0; the head at (200, 200).
TEST(BossLayout, ChainFollowsTheHead) {
    BossFixture f(12);
    CGameResource& g = f.g;
    for (int i = 0; i < 4; ++i) f.Part(1);
    const auto lay = [&](size_t entries, uint8_t coils) {
        g.formation.trail.assign(entries, {});
        g.FillBossTrail(100, 100, 0);
        g.formation.coils = coils;
        g.UpdateBossChain(false);
        std::vector<Point> at;
        for (const auto& o : g.bossObjects) at.push_back(At(o.GetNoCheck()));
        return at;
    };
    f.body->motion.vy = 5, f.body->facing = 0;  // heading down: the head turns 4 steps
    // Links of 64 x 0.75 / 16 = 3 pixels (24 when coiled at 14): the elements sit 48 apart.
    for (auto [coils, spacing] : {std::pair{0, 16}, {20, 2}}) {
        const std::vector<Point> at = lay(80, coils);
        for (size_t k = 0; k < 5; ++k) {
            const SChainTrailEntry& e = g.formation.trail[spacing * k];
            EXPECT_EQ(std::tuple(at[k], BossElement(g.bossObjects, k)->facing), std::tuple(Point(e.x, e.y), e.angle));
            EXPECT_NEAR(std::get<0>(at[k]), 200 - 48.0 * k, 1.0);
        }
    }
    // Coiled, entries from 10 on are left; the entries turn from the tail, so only entry 1 has.
    EXPECT_EQ(std::tuple(g.formation.trail[10].x, g.formation.trail[1].angle, g.formation.trail[2].angle), std::tuple(100.0, 4, 0));
    const std::vector<Point> before = lay(80, 20);
    EXPECT_EQ(lay(79, 0), before);  // fewer than 16 entries an element: nothing moves
}

// Boss 0 on block 1: anchor (50, 60), part 1 on, part 2 off; nine steps of 10 frames (step 4
// of 20); part 1 hidden in step 1, moving from (12, 22) to (32, 42) in step 4; part 2 at (30, 40).
struct SkeletonFixture : BossFixture {
    SkeletonFixture() : BossFixture(0) {
        SBossBlock b{50, 60, 110, {true, false}, {}};
        const int32_t p[9] = {10, -1, 12, 12, 32, 32, 32, 32, 32};
        for (int32_t i = 0, end = 0; i < 9; ++i) {
            end += i == 4 ? 20 : 10;
            b.steps.push_back({300 + i, end, {{p[i], i == 1 ? 0 : p[i] + 10}, {30, 40}}});
        }
        g.bossAnimations = {SBossBlock(), b};
        g.boss.animation = 1;
        parts[0] = Part(1), parts[1] = Part(1);
        for (CObjectBossParts*& a : afterimages) a = Part(2), g.formation.afterimageParts.push_back(g.bossObjects.back());
    }
    void At(int32_t frame) { g.boss.animationFrame = frame, g.UpdateBossChain(false); }
    CObjectBossParts* parts[2];
    CObjectBossParts* afterimages[4];
};

TEST(BossLayout, SkeletonPosesTheBodyAndItsPartsStepByStep) {
    SkeletonFixture f;  // base = (200, 200) - anchor = (150, 140); the body looks left
    f.At(0);
    EXPECT_EQ(std::tuple(f.body->phase, f.g.boss.displayOffsetX, f.g.boss.displayOffsetY), std::tuple(300, 50, 60));
    EXPECT_EQ(std::tuple(At(f.parts[0]), At(f.parts[1])), std::tuple(Point(160, 160), Point(180, 180)));
    EXPECT_EQ(std::tuple(f.parts[0]->pose, f.parts[1]->pose), std::tuple(0, 8));  // running: on and off
    f.g.boss.enraged = 1;
    f.At(10);
    EXPECT_EQ(std::tuple(f.body->phase, f.parts[0]->pose, f.afterimages[2]->pose), std::tuple(301, 1, 1));
    f.At(20);  // shown again where step 2 puts it
    EXPECT_EQ(std::tuple(f.parts[0]->pose, At(f.parts[0])), std::tuple(8, Point(162, 162)));
    f.At(21);
    EXPECT_EQ(f.parts[0]->pose, 10);
    f.At(50);  // halfway through step 4: (22, 32); the afterimages from (32, 42) toward it
    std::vector<std::tuple<Point, int, int, int>> trail;
    for (auto* a : f.afterimages) trail.emplace_back(At(a), a->pose, a->alpha, a->phase);
    EXPECT_EQ(std::tuple(At(f.parts[0]), trail),
              std::tuple(Point(172, 172), std::vector<std::tuple<Point, int, int, int>>{
                                              {{182, 182}, 8, 255, 4}, {{180, 180}, 8, 155, 4},
                                              {{177, 177}, 8, 55, 4}, {{175, 175}, 8, 211, 4}}));
    f.At(105);  // step 8: only the first afterimage stays
    EXPECT_EQ(std::tuple(f.afterimages[0]->alpha, f.afterimages[1]->alpha, f.afterimages[3]->alpha),
              std::tuple(255, 0, 0));
    f.At(110);  // over: every hurting part harmless
    EXPECT_EQ(std::tuple(f.parts[0]->pose, f.parts[1]->pose), std::tuple(8, 8));

    // A quarter turn about (10, 10) of a 40 x 20 picture takes (10, 20) to (0, 10); looking
    // right mirrors about the anchor (150 + 100 - x) and turns the picture the other way.
    f.play.images.Add(300, 40, 20);
    std::vector<std::tuple<Point, int>> seen;
    for (auto [facing, tilt] : {std::pair{0, 0}, {0, 0x4000}, {128, 0x4000}}) {
        f.body->facing = static_cast<uint8_t>(facing), f.g.boss.tilt = static_cast<uint16_t>(tilt);
        f.At(0);
        seen.emplace_back(At(f.parts[0]), f.body->turn);
    }
    EXPECT_EQ(seen, (std::vector<std::tuple<Point, int>>{{{240, 160}, 0}, {{250, 150}, 192}, {{150, 150}, 64}}));
}

TEST(BossLayout, SpecialPartFlinchesAndADefeatedBossKeepsStill) {
    SkeletonFixture f;
    f.g.formation.specialPart = f.g.bossObjects.back();
    CObjectBossParts* special = f.afterimages[3];
    f.g.formation.afterimageParts.pop_back();
    f.g.boss.flinchCountdown = 3;
    std::vector<std::tuple<int, int, Point>> seen;
    for (auto [facing, flinch] : {std::pair{128, 3}, {0, 3}, {0, 0}}) {
        f.body->facing = static_cast<uint8_t>(facing), f.g.boss.flinchCountdown = flinch;
        f.At(30);
        seen.emplace_back(special->pose, special->phase, At(special));
    }
    EXPECT_EQ(seen,
              (std::vector<std::tuple<int, int, Point>>{{8, 3, {206, 206}}, {8, 19, {200, 206}}, {1, 19, {200, 206}}}));
    f.g.boss.hp = 0;
    f.At(0);
    EXPECT_EQ(f.body->phase, 303);
    f.g.UpdateBossChain(true);
    EXPECT_EQ(f.body->phase, 300);
}

}  // namespace
