// The hero's damage, the barrier's energy, the skills, the cut-in start and the flash.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::SPlay;

// Section 0's hero has power 100; enemy 0 (undying 1), shot 0, boss 0 (80 x 80); effect 82
// is the spark (speed 3); cut-in records 0-14 last 10 frames a cycle.
struct SkillFixture {
    static morna::test::KindTableBuilder Kinds() {
        morna::test::KindTableBuilder k;
        k.Tables().objects[0][0].power = 100;
        k.Object(1, "enemy"), k.Object(1, "undying").undying = 1, k.Object(2, "shot");
        SObjectKind& boss = k.Object(6, "boss");
        boss.hitWidth = boss.hitHeight = 80;
        while (k.Tables().effects.size() < 83) k.Effect("e").speed = 3;
        for (int i = 0; i < 15; ++i) k.Cutin().frames = {0}, k.Tables().cutins.back().frameTime = 10;
        return k;
    }
    SkillFixture() : play(Kinds()), g(*play.game), hero(*g.player) {
        g.SetMode(Scene::kPlay), play.sounds.played.clear(), play.sounds.log.clear();
    }
    morna::test::PlayFixture play;
    CGameResource& g;
    CObjectAvatar& hero;
};

// An enemy whose hit box is the test's.
struct BoxEnemy : CObjectEnemy {
    BoxEnemy(const SObjectKind* k, tovarineGameSDK3rd::Draw::Rect r) : CObjectEnemy(k), box(r) {}
    void GetHitRect(tovarineGameSDK3rd::Draw::Rect& r) const override { r = box; }
    tovarineGameSDK3rd::Draw::Rect box;
};

TEST(PlayerStatus, DamageFillsTheGaugeAndEndsTheGameOnce) {
    SkillFixture f;
    SPlayerStatus& s = f.g.status;
    const struct { int32_t delta; bool scaled; int32_t hp, gauge; } hits[] = {
        {-1000, true, 8500, 5500}, {-3, false, 8497, 5501}, {3, false, 8500, 5500}, {50000, false, 10000, 0}};
    f.g.boss.damageScale = 150;
    for (auto h : hits) {
        f.g.DamagePlayer(h.delta, h.scaled);
        EXPECT_EQ(std::tuple(s.hp, s.gauge), std::tuple(h.hp, h.gauge));
    }

    f.g.progress.invincible = 1;
    f.g.DamagePlayer(-20000, false);
    EXPECT_EQ(std::tuple(s.hp, s.gauge, f.g.scene), std::tuple(0, 10000, Scene::kPlay));
    f.g.progress.invincible = 0, s.barrierUp = 1;
    CObjectBoss* body = f.g.CreateBoss(0, 400, 240, false);
    body->motion.vx = 2;
    f.g.DamagePlayer(-1, false);
    EXPECT_EQ(std::tuple(f.g.scene, s.barrierUp, body->motion.vx), std::tuple(Scene::kGameOver, 0, 0.0));
    f.g.DamagePlayer(2000, false);  // nothing in the game over
    EXPECT_EQ(s.hp, 0);
    // A replay fades to the title, once however often the hero is hit meanwhile.
    f.g.SetMode(Scene::kPlay), f.g.replayLog.playing = true;
    f.g.DamagePlayer(-1, false);
    f.g.screenFx.UpdateFade(), f.g.DamagePlayer(-1, false);
    EXPECT_EQ(std::tuple(f.g.scene, f.g.screenFx.fadeDuration, f.g.screenFx.fadeCounter), std::tuple(Scene::kFadeToTitle, 60, 1));
}

TEST(PlayerStatus, BarrierEnergyTimeline) {
    SkillFixture f;
    SPlayerStatus& s = f.g.status;
    std::vector<int32_t> energy;
    for (int frame = 1; frame <= 199; ++frame) {
        if (frame == 199) f.g.barriers[0]->motion.vx = 1.5;  // the hero takes the barrier's motion
        f.g.StartBarrier();
        energy.push_back(s.barrierEnergy);
    }
    EXPECT_EQ(std::tuple(energy[0], energy[1], energy[197], energy[198]), std::tuple(9850, 9800, 0, 0));
    EXPECT_EQ(
        std::tuple(s.overload, f.hero.pose, f.hero.poseTimer, f.hero.coolTimer, f.hero.flashTimer, f.hero.motion.vx),
        std::tuple(1, 4, 64, 60, 15, 1.5));
    EXPECT_EQ(std::tuple(f.g.screenFx.flashR, f.g.screenFx.flashG, f.g.screenFx.flashB, f.g.screenFx.flashCounter), std::tuple(128, 0, 0, 30));
    EXPECT_EQ(f.play.sounds.played, (std::vector<SPlay>{{104, true}, {105, false}}));

    // Released: 30 frames of rest, then 40 a frame after the overload.
    std::vector<int32_t> seen;
    for (int i = 0; i < 31; ++i) f.g.UpdateBarrierEnergy(), seen.push_back(s.barrierEnergy);
    EXPECT_EQ(std::tuple(seen[29], seen[30], s.barrierUp), std::tuple(0, 40, 0));
    EXPECT_EQ(f.play.sounds.log.back(), "104 stop");
    const struct { uint8_t overload, hard; int32_t timer, gain; } gains[] = {
        {0, 0, 0, 100}, {1, 0, 0, 40}, {1, 1, 0, 20}, {0, 0, 5, 200}, {1, 1, 5, 120}};
    for (auto r : gains) {
        s.overload = r.overload, s.hardOverload = r.hard, s.energyTimer = r.timer, s.barrierEnergy = 500;
        f.g.UpdateBarrierEnergy();
        EXPECT_EQ(s.barrierEnergy, 500 + r.gain);
    }
    s.barrierEnergy = 9980, s.overload = 1, s.hardOverload = s.energyTimer = 0;  // 10020 passes the maximum
    f.g.UpdateBarrierEnergy();
    EXPECT_EQ(std::tuple(s.barrierEnergy, s.overload, f.hero.pose, f.hero.poseTimer, f.play.sounds.played.back()),
              std::tuple(10000, 0, 19, 30, SPlay{106, false}));

    // Against the boss in pose 27 the barrier breaks at once.
    f.g.CreateBoss(0, 400, 240, false)->pose = 27;
    f.g.StartBarrier();
    EXPECT_EQ(std::tuple(s.barrierEnergy, s.hardOverload, f.hero.flashTimer, f.g.screenFx.flashR, f.g.screenFx.flashG, f.g.screenFx.flashB),
              std::tuple(0, 1, 20, 0, 128, 255));
}

TEST(PlayerStatus, SkillChoiceAndCost) {
    SkillFixture f;
    SPlayerStatus& s = f.g.status;
    s.gauge = 5000;
    EXPECT_FALSE(f.g.CanUseSkill());  // nothing to hit
    f.g.CreateEnemy(0, 100, 100, 0);
    s.gauge = 2799;
    EXPECT_FALSE(f.g.CanUseSkill());
    s.gauge = 2800;
    EXPECT_TRUE(f.g.CanUseSkill());
    f.g.UseSkill(false);
    EXPECT_EQ(std::tuple(s.gauge, s.skillRunning, f.g.screenFx.flashR + f.g.screenFx.flashG, f.g.cutinScreen.zoom), std::tuple(0, 1, 510, 0));
    f.g.progress.stage = 3;
    for (int32_t gauge : {9999, 10000}) {
        s.gauge = gauge, f.g.cutinScreen.id = -1, f.hero.coolTimer = 9;
        f.g.UseSkill(true);
        EXPECT_EQ(std::tuple(s.gauge, f.g.cutinScreen.id, s.finisherCounter, f.hero.coolTimer),
                  gauge == 10000 ? std::tuple(0, 4, 150, 0) : std::tuple(7199, 0, 0, 0));
    }
}

TEST(PlayerStatus, BlastSweepsTheScreenAndHitsTheBoss) {
    SkillFixture f;
    CGameResource& g = f.g;
    g.progress.scrollX = 1000;
    const SObjectKind* enemy = &g.kinds.objects[1][0];
    const auto boxed = [&](const SObjectKind* k, int32_t left) {
        auto* e = new BoxEnemy(k, {left, 100, left + 20, 120});
        g.objects.push_back(CGameResource::ObjectPtr(e));
        return e;
    };
    CObjectEnemy* in = boxed(enemy, 985);  // overlaps the view's left edge
    CObjectEnemy* out = boxed(enemy, 980);
    CObjectEnemy* undying = boxed(&g.kinds.objects[1][1], 1100);
    CObjectShot* shot = g.CreateShot(0, 1639, 479, 0);
    CObjectShot* shotOut = g.CreateShot(0, 1640, 100, 0);
    tovarineGameSDK3rd::Math::CRand draws = g.playRand;
    g.SkillBlast();
    EXPECT_EQ(std::tuple(in->state, out->state, undying->state, shot->state, shotOut->state),
              std::tuple(5, 0, 0, 2, 0));
    ASSERT_EQ(g.effects.size(), 24u);
    for (int i = 0; i < 24; ++i) {
        const CObjectEffect& e = **std::next(g.effects.begin(), i);
        const uint8_t angle =
            static_cast<uint8_t>(2 * (i % 12) + static_cast<int32_t>(draws.Get() % 6) + 64 * (i / 12) - 115);
        const double speed = (100 + static_cast<int32_t>(draws.Get() % 100)) * 3.0 / 100;
        const int32_t delay = 16 * (i / 12) + static_cast<int32_t>(draws.Get() & 7);
        EXPECT_EQ(std::tuple(e.x, e.y, e.motion.vx, e.motion.vy, e.motion.frictionX, e.startDelay),
                  std::tuple(320.0, 272.0, KestraneGameBase2::CosOf(angle) * speed,
                             KestraneGameBase2::SinOf(angle) * speed, speed / 60, delay))
            << i;
    }
    EXPECT_EQ(f.play.sounds.played.back(), (SPlay{125, false}));

    // With a boss: the hit, and the sparks under the body's centre.
    for (int32_t id : {1, 0}) {
        g.effects.clear(), g.bossObjects.clear(), g.boss.actions.clear();
        g.StartBossRecord(id);
        CObjectBoss* body = g.CreateBoss(0, 1200, 200, false);
        g.SkillBlast();
        EXPECT_EQ(std::tuple(body->hp, g.boss.secondMeter, g.boss.skillHit, g.boss.flinchCountdown, body->pose),
                  std::tuple(-100, 1000, 1, 20, id == 0 ? 0 : 2));
        EXPECT_EQ(std::tuple(g.effects.front()->x, g.effects.front()->y), std::tuple(200.0, 232.0));
    }
    EXPECT_EQ(g.boss.actions, std::list<int32_t>{8});
    g.boss.bossId = 2, g.boss.actions = {7}, g.bossObjects[0]->pose = 0;
    g.SkillBlast();  // the boss's special is not interrupted
    EXPECT_EQ(g.bossObjects[0]->pose, 0);
}

TEST(PlayerStatus, FinisherTimeline) {
    SkillFixture f;
    CGameResource& g = f.g;
    g.progress.stage = 3, g.status.gauge = 10000, g.status.hp = 4000, f.hero.facing = 128;
    g.StartBossRecord(3);
    CObjectBoss* body = g.CreateBoss(0, 400, 300, false);
    CObjectEnemy* enemy = g.CreateEnemy(0, 100, 100, 0);
    CObjectEnemy* undying = g.CreateEnemy(1, 100, 100, 0);
    g.CreateShot(0, 100, 100, 3);  // pending
    g.UseSkill(true);
    const double x0 = f.hero.x;
    std::vector<std::tuple<int32_t, double, double>> frames;  // display value, hero x, body x
    while (g.status.finisherCounter > 0) g.SkillFinisher(), frames.emplace_back(g.finisherDisplay, f.hero.x, body->x);
    // m = 4000 - 300 - 10000; pushes of 1, 1, 1, 2 ... 8 to the right (the hero looks left).
    ASSERT_EQ(frames.size(), 150u);
    EXPECT_EQ(std::tuple(enemy->state, undying->state, g.pendingSpawns.size(), f.hero.y), std::tuple(2, 0, 0u, 300.0));
    EXPECT_EQ(frames[0], std::tuple(0, x0 + 1, 400.0));
    EXPECT_EQ(frames[1], std::tuple(-6300 / 150, x0 + 2, 400.0));
    EXPECT_EQ(std::get<1>(frames[28]) - std::get<1>(frames[27]), 8.0);
    EXPECT_EQ(std::get<1>(frames[148]), g.progress.scrollX + 640);  // held at the view's edge
    EXPECT_EQ(std::get<2>(frames[148]) - std::get<2>(frames[147]), -2.0);
    EXPECT_EQ(std::tuple(frames.back(), body->hp, g.boss.secondMeter, g.status.skillRunning, g.screenFx.shakeCounterX),
              std::tuple(std::tuple(0, std::get<1>(frames[148]), std::get<2>(frames[148])), -6300, 63, 0, 60));
    EXPECT_EQ(std::tuple(g.screenFx.flashR, g.screenFx.flashG, g.screenFx.flashB, f.hero.pose), std::tuple(255, 0, 255, 0));
    std::vector<SPlay> played = f.play.sounds.played;
    played.erase(played.begin(), played.begin() + 1);  // the cut-in's 116
    EXPECT_EQ(played, (std::vector<SPlay>{{119, true}, {118, false}, {127, false}}));
    EXPECT_EQ(std::count(f.play.sounds.log.begin(), f.play.sounds.log.end(), "119 stop"), 1);
}

TEST(Cutin, LayersZoomSnapshotAndFlash) {
    SkillFixture f;
    CGameResource& g = f.g;
    g.StartCutin(0, false);
    std::vector<std::tuple<int, int, int, int, int>> layers;  // lifetime, delay, fade length, counter, delay
    for (const auto& c : g.cutins) {
        layers.emplace_back(c->lifetime, c->startDelay, c->fadeLength, c->fadeCounter, c->fadeDelay);
    }
    EXPECT_EQ(layers, (std::vector<std::tuple<int, int, int, int, int>>{
                          {40, 0, 15, 15, 25}, {60, 40, 15, 15, 45}, {10, 0, 0, -1, 0}, {10, 40, 0, -1, 0}}));
    int w = 0, h = 0;
    EXPECT_EQ(std::tuple(g.cutinScreen.zoom, g.cutinScreen.id, g.cutinScreen.snapshot.GetSize(&w, &h), w, h),
              std::tuple(32, 0, 0, 640, 480));
    const uint8_t* pixels = g.cutinScreen.snapshot.GetSurfaceInfo()->pixels;
    g.cutinScreen.zoom = 5;
    g.StartCutin(1, false);  // no layer, the zoom and the sounds still
    g.StartCutin(13, false);  // appended
    EXPECT_EQ(std::tuple(g.cutinScreen.zoom, g.cutinScreen.id, g.cutins.size(), g.cutinScreen.snapshot.GetSurfaceInfo()->pixels),
              std::tuple(32, 13, 6u, pixels));
    EXPECT_EQ(f.play.sounds.played, (std::vector<SPlay>(3, SPlay{116, false})));
    EXPECT_EQ(std::count(f.play.sounds.log.begin(), f.play.sounds.log.end(), "104 stop"), 3);

    g.screenFx.StartFlash(1, 2, 3);
    g.screenFx.flashCounter = 7;
    g.screenFx.StartFlash(4, 5, 6);
    EXPECT_EQ(std::tuple(g.screenFx.flashCounter, g.screenFx.flashDuration, g.screenFx.flashR, g.screenFx.flashG, g.screenFx.flashB), std::tuple(30, 30, 4, 5, 6));
}

}  // namespace
