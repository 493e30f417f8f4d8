// The in-game frame: steering from the keys, the frame's early ends, damage resolution, the
// cut-in freeze, the scripted walk and the barrier's burst particles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "game/files/replay.h"
#include "tests/game/support/play_fixture.h"

namespace {

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using KestraneGameBase2::SKey;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

constexpr uint32_t kUp = 1, kLeft = 2, kDown = 4, kRight = 8, kBarrier = 1 << 8, kPause = 1 << 14;

// A play state with the hero's walk-in already over.
struct Frame : PlayFixture {
    explicit Frame(const KindTableBuilder& kinds = KindTableBuilder()) : PlayFixture(kinds) {
        game->move.targetX = game->move.targetY = -1;
        game->scene = Scene::kPlay;
    }
    void Play(uint32_t mask, int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            SKey key(mask);
            game->PlayFrame(&key, false);
        }
    }
};

TEST(PlayFrame, KeysSteerTheHeroOrTheRaisedBarrier) {
    const struct {
        uint32_t mask;
        int32_t speedUpTimer;
        bool barrier;
        int angle;
        double limit, friction;
    } rows[] = {
        {kUp | kDown, 0, false, 192, 6.0, 0},     {kLeft | kRight, 0, false, 128, 6.0, 0},
        {kUp | kLeft | kRight, 0, false, 160, 6.0, 0}, {kDown | kRight, 0, false, 32, 6.0, 0},
        {kLeft, 10, false, 128, 7.800000000000001, 0}, {0, 0, false, 0, 0, 2.0},
        {kBarrier | kUp, 0, true, 192, 2.0, 0},   {kBarrier | kUp, 10, true, 192, 4.0, 0},
        {kBarrier, 0, true, 0, 0, 1.0},
    };
    for (const auto& row : rows) {
        Frame f;
        f.game->status.speedUpTimer = row.speedUpTimer;
        f.Play(row.mask);
        const ObjectMotion& m = row.barrier ? f.game->ActiveBarrier().motion : f.game->player->motion;
        SCOPED_TRACE(row.mask);
        EXPECT_EQ(f.game->status.barrierUp, row.barrier ? 1 : 0);
        EXPECT_EQ(std::tuple(int{m.accelAngle}, m.speedLimit, m.accel, m.frictionX),
                  std::tuple(row.angle, row.limit, row.limit / 3, row.friction));
    }
}

TEST(PlayFrame, StageThreeKeepsTheBarrierDownOutsideAFightAndPauseEndsTheFrame) {
    Frame f;
    f.game->progress.stage = 3;
    f.Play(kBarrier);
    EXPECT_EQ(f.game->status.barrierUp, 0);

    // Pause: the menu opens, except in a replay; either way nothing moves that frame.
    for (bool replay : {false, true}) {
        Frame p;
        p.game->replayLog.playing = replay;
        p.game->replayLog.keys = {PackKeys(kPause)};  // what a replay plays back
        p.game->player->motion.vx = 3;
        p.Play(kPause);
        EXPECT_EQ(p.game->scene, replay ? Scene::kPlay : Scene::kPause);
        EXPECT_EQ(p.game->player->x, 320);
    }
}

TEST(PlayFrame, DamageResolution) {
    Frame f;
    CGameResource& g = *f.game;
    g.ActiveBarrier().hp = -30;
    g.player->hp = -10;
    f.Play(0);
    // The barrier's hit costs twice its value; the hero's waits for a frame without one.
    EXPECT_EQ(std::tuple(g.status.barrierEnergy, g.player->coolTimer, g.player->hp, g.status.hp),
              std::tuple(10000 - 60, 60, -10, 10000));
    f.Play(0);
    EXPECT_EQ(std::tuple(g.player->hp, g.status.hp, g.status.gauge), std::tuple(0, 9990, 5005));

    // A boss already at HP 0 makes the hero's damage void (outside play, where its fight
    // would end).
    g.scene = Scene::kTitle;
    g.boss.bossId = 12, g.boss.hp = 0;
    g.player->hp = -500;
    f.Play(0);
    EXPECT_EQ(std::tuple(g.player->hp, g.status.hp), std::tuple(0, 9990));

    // Barrier hits: half their sum as gauge, but none during a fight.
    for (int32_t bossId : {-1, 12}) {
        g.boss.bossId = bossId;
        g.status.gauge = 100;
        g.barriers[0]->hitCount = 9, g.barriers[1]->hitCount = 8;
        f.Play(0);
        EXPECT_EQ(g.status.gauge, bossId < 0 ? 108 : 100);
        EXPECT_EQ(g.barriers[0]->hitCount + g.barriers[1]->hitCount, 0u);
    }
}

// A cut-in layer that ends after a number of updates.
struct Layer : CObjectCutin {
    Layer(const SEffectKind* kind, int updates) : CObjectCutin(kind), left(updates) {}
    bool Update(int32_t, int32_t) override { return --left > 0; }
    int left;
};

TEST(PlayFrame, CutinFourLoopsItsSoundFromTheZoomsEndToTheLastLayersEnd) {
    KindTableBuilder kinds;
    kinds.Object(1, "enemy");
    Frame f(kinds);
    CGameResource& g = *f.game;
    CObjectEnemy* enemy = g.CreateEnemy(0, 400, 240, 0);
    enemy->motion.vx = 1;
    g.cutinScreen.zoom = 2, g.cutinScreen.id = 4;
    g.cutins.push_back(CGameResource::EffectPtr(new Layer(&g.kinds.effects[0], 2)));
    g.cutins.push_back(CGameResource::EffectPtr(new Layer(&g.kinds.effects[0], 3)));
    std::vector<std::string> timeline;  // the frames' starts and stops of sound 117
    for (int i = 0; i < 6; ++i) {
        f.Play(kRight);
        timeline.push_back("frame " + std::to_string(i));
        for (const std::string& line : f.sounds.log) {
            if (line == "117 play" || line == "117 stop") timeline.push_back(line);
        }
        f.sounds.log.clear();
    }
    const std::vector<std::string> expected = {"frame 0", "frame 1", "117 play", "frame 2", "frame 3",
                                               "frame 4", "117 stop", "frame 5"};
    EXPECT_EQ(timeline, expected);
    // The world stood still for five frames and moved on the sixth.
    EXPECT_EQ(enemy->x, 401);
}

TEST(PlayFrame, ScriptedWalkArrivesExactlyAndBrakesWithinThirtySixPixels) {
    Frame f;
    CGameResource& g = *f.game;
    g.player->x = 100, g.player->y = 100;
    g.MovePlayerTo(103, 104, 6.0, 1.0);
    f.Play(0);
    EXPECT_EQ(std::tuple(g.player->x, g.player->y, g.move.targetX), std::tuple(103.0, 104.0, -1));

    // Braking begins on the first frame that starts less than 36 pixels short.
    g.MovePlayerTo(203, 104, 6.0, 1.0);
    std::vector<double> shortBy;
    while (g.move.brakeStarted == 0 && shortBy.size() < 100) {
        shortBy.push_back(203 - g.player->x);
        f.Play(kLeft);  // ignored while the walk runs
    }
    ASSERT_GE(shortBy.size(), 2u);
    EXPECT_LT(shortBy.back(), 36);
    EXPECT_GE(shortBy[shortBy.size() - 2], 36);
    for (int i = 0; i < 100 && g.move.targetX != -1; ++i) f.Play(0);
    EXPECT_EQ(std::tuple(g.player->x, g.player->y, g.move.targetX), std::tuple(203.0, 104.0, -1));
}

// The skeleton body's screen place moves by the animation table's display offsets, whole 32-bit
// values of a data file: any offsets alike in their low 16 bits place it alike.
TEST(PlayFrame, TheSkeletonBodyIsPlacedByItsOffsetsLow16Bits) {
    KindTableBuilder kinds;
    kinds.Object(6, "body");
    const std::pair<int32_t, int32_t> offsets[] = {
        {5, -1}, {5 + 7 * 65536, -1 - 100 * 65536}, {INT32_MIN + 5, INT32_MAX}};
    for (uint8_t facing : {kFacingLeft, kFacingRight}) {
        std::vector<std::pair<int, int>> places;
        for (auto [dx, dy] : offsets) {
            Frame f(kinds);
            f.images.Add(0, 40, 20);
            CObjectBoss* body = f.game->CreateBoss(0, 300, 200, false);
            body->facing = facing;
            f.game->boss.displayOffsetX = dx, f.game->boss.displayOffsetY = dy;
            f.Play(0);
            places.emplace_back(body->screenX, body->screenY);
        }
        SCOPED_TRACE(int{facing});
        EXPECT_EQ(places[1], places[0]);
        EXPECT_EQ(places[2], places[0]);
    }
}

TEST(PlayFrame, BurstParticlesDrawFromThePlayGeneratorInOrder) {
    KindTableBuilder kinds;
    while (kinds.Tables().effects.size() < 82) kinds.Effect(std::to_string(kinds.Tables().effects.size()).c_str());
    kinds.Tables().objects[0][1].hitWidth = 96, kinds.Tables().objects[0][1].hitHeight = 80;
    Frame f(kinds);
    CGameResource& g = *f.game;
    g.backdrop.keepEffects = 0;  // no ambient particle draws
    CObjectBarrier& b = g.ActiveBarrier();
    g.player->x = 200.7, g.player->y = 100.2;  // the barrier is kept on the hero
    b.burstQueue = {{10, 0}, {64, 4}};
    tovarineGameSDK3rd::Math::CRand model = g.playRand;
    f.Play(0);

    // Newest first: the size-4 burst spreads its angle by one draw, the other by none.
    ASSERT_EQ(g.landEffects.size(), 2u);
    auto it = g.landEffects.begin();
    for (const auto& burst : {CObjectBarrier::SBurst{64, 4}, CObjectBarrier::SBurst{10, 0}}) {
        const uint8_t a = static_cast<uint8_t>(burst.angle + (burst.size ? model.Get(8) : 0) - burst.size);
        const uint32_t r1 = model.Get() % 12, r2 = model.Get() & 3;
        const double s = (10 + model.Get() % 400) / 100.0;
        const uint8_t d = static_cast<uint8_t>(model.Get() & 255);
        const bool clockwise = (model.Get() & 1) == 1;
        const uint8_t turn = static_cast<uint8_t>(clockwise ? d + 32 + (model.Get() & 31) : d - 32 - (model.Get() & 31));
        const double accel = (10 + model.Get() % 400) / 400.0;
        const auto& spark = static_cast<const CObjectEffectLandShadow&>(**it++);
        EXPECT_EQ(spark.kind, &g.kinds.effects[78 + r2]);
        EXPECT_EQ(spark.lifetime, static_cast<int16_t>(12 + r1));
        EXPECT_EQ(std::tuple(spark.x, spark.y), std::tuple(double(int(48 * CosOf(a) + 200)), double(int(40 * SinOf(a) + 100))));
        EXPECT_EQ(std::tuple(spark.motion.vx, spark.motion.vy, spark.motion.accelAngle, spark.motion.accel,
                             spark.motion.speedLimit, spark.trailLength),
                  std::tuple(CosOf(d) * s, SinOf(d) * s, turn, accel, s, uint16_t{3}));
    }
    EXPECT_EQ(g.playRand.Get(), model.Get());
}

// A shot met by the raised barrier comes back as a reflector: first drifting toward the hero,
// then thrown outward, it spends itself on the enemy behind the shot with a special kill.
TEST(PlayFrame, TheBarrierTurnsAShotBackIntoTheEnemyBehindIt) {
    KindTableBuilder kinds;
    for (int i = 0; i < 3; ++i) kinds.Tables().objects[0][i].hitWidth = kinds.Tables().objects[0][i].hitHeight = 24;
    SObjectKind& enemy = kinds.Object(1, "enemy");
    enemy.hitWidth = enemy.hitHeight = 16, enemy.life = 50;
    SObjectKind& shot = kinds.Object(2, "shot");
    shot.hitWidth = shot.hitHeight = 8, shot.power = 80;
    Frame f(kinds);
    CGameResource& g = *f.game;
    g.CreateEnemy(0, 440, 240, 0);
    const CGameResource::ObjectPtr target = g.objects.back();  // kept past its removal
    target->hp = 50;
    g.CreateShot(0, 380, 240, 0);  // kind 0 aims at the hero at 5.0
    const int32_t gauge = g.status.gauge;
    CObjectReflect* reflector = nullptr;
    std::vector<int32_t> sounds;
    for (int frame = 0; frame < 120 && target->state == kStateAlive; ++frame) {
        f.Play(kBarrier);
        for (const int32_t id : f.TakeSoundIds()) sounds.push_back(id);
        for (auto& o : g.objects)
            if (reflector == nullptr && o->GetType() == kTypeReflect) {
                reflector = static_cast<CObjectReflect*>(o.GetNoCheck());
                // Out from the hero's centre: angle 0 here, first moving back toward the hero.
                EXPECT_EQ(std::tuple(int{reflector->angle}, int{reflector->motion.accelAngle}, reflector->motion.accel,
                                     reflector->motion.speedLimit),
                          std::tuple(0, 0, 0.5, 13.0));
                EXPECT_LT(reflector->motion.vx, 0);
            }
    }
    ASSERT_NE(reflector, nullptr) << "the shot was never turned back";
    EXPECT_EQ(target->state, kStateKilledBySpecial);
    EXPECT_EQ(target->hp, -30);
    f.Play(kBarrier);  // the enemy's own update pays the special kill
    EXPECT_EQ(g.status.gauge, gauge + 5);
    for (auto& o : g.objects) EXPECT_NE(o->GetType(), kTypeReflect);  // spent
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 113), 1);  // turned back
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 114), 1);  // the hit
}

}  // namespace
