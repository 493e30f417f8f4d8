// The boss fights' story: each boss's first values and intro, boss 0's assembly, the defeat
// sequences as timelines of waits, and the grey-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "framework/bgm_player.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

constexpr const char* kBossNames[] = {
    "ダミー", "ポロちゃん", "ポロちゃんハンマー", "ポロちゃんパーツ", "ポロちゃん手", "ポロちゃん足", "ポロちゃん高さ",
    "ポロちゃん高さ転倒", "ポロちゃん表情", "ポロちゃんハンマー描画", "炎龍本体", "炎龍胴", "ケーキ上段", "ケーキ中段",
    "ケーキ下段", "リュミナ"};

struct Battle : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder kinds;
        for (const char* name : kBossNames) kinds.Object(6, name);
        return kinds;
    }
    explicit Battle(int32_t id) : PlayFixture(Kinds()) {
        G().StartBossRecord(id);
        G().move.targetX = -1;
    }
    ~Battle() { KestraneGameBase2::DestroyBGMPlayer(); }  // the music requests die with the fight
    CGameResource& G() { return *game; }
    // Frames as the play field runs them (wait first, then the call) until done; the waits set.
    template <class Step>
    std::vector<int32_t> Drive(Step step, int limit = 2000) {
        std::vector<int32_t> waits;
        for (int i = 0; i < limit; ++i) {
            if (G().boss.waitFrames > 0 && --G().boss.waitFrames > 0) continue;
            G().move.targetX = -1;  // every walk arrives at once
            if (step()) return waits;
            if (G().boss.waitFrames > 0) waits.push_back(G().boss.waitFrames);
        }
        ADD_FAILURE() << "never ended";
        return waits;
    }
    int32_t KindOf(size_t i) { return G().bossObjects[i]->kind->index; }
};

TEST(BossBattle, FirstTableReseedsAndAnIdWithoutIntroEndsAtOnce) {
    using Row = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t>;  // hp, max, time, gauge, floor
    for (const auto& [id, row] : {std::pair{0, Row{20000, 20000, 5400, 2000, 448}}, {1, {22500, 22500, 7200, 5000, 0}},
                                  {2, {25000, 25000, 8100, 10000, 0}}, {3, {30000, 30000, 9000, 2500, 0}},
                                  {12, {10000, 10000, 0, 2500, 0}}, {14, {15000, 15000, 0, 10000, 0}},
                                  {5, {10000, 10000, 0, 10000, 0}}}) {
        Battle b(id);
        b.G().status.hp = id == 1 ? 0 : 700;
        b.G().bossRand.Get();
        EXPECT_EQ(b.G().BeginBossFight(), id >= 5) << id;
        const SBossFight& r = b.G().boss;
        EXPECT_EQ(Row(r.hp, r.maxHp, b.G().timeLimit, r.gauge, r.floorLimit), row) << id;
        EXPECT_EQ(b.G().fightStartHp, id == 1 ? 1 : 700);
        tovarineGameSDK3rd::Math::CRand fresh;
        fresh.SetSeed(4);
        EXPECT_EQ(b.G().bossRand.Get(), fresh.Get()) << id;
    }
}

TEST(BossBattle, MidBossesAreBuiltInOneCall) {
    for (const uint8_t vertical : {0, 1}) {
        Battle b(12);
        b.G().progress.vertical = vertical;
        b.G().progress.scrollX = 100;
        ASSERT_TRUE(b.G().BeginBossFight());
        const size_t segments = vertical != 0 ? 11 : 8;
        ASSERT_EQ(b.G().bossObjects.size(), segments + 1);
        EXPECT_EQ(std::tuple(b.KindOf(0), b.KindOf(segments), b.G().bossObjects[1]->pose), std::tuple(10, 11, 11));
        ASSERT_EQ(b.G().formation.trail.size(), (segments + 1) * 16);
        const SChainTrailEntry& e = b.G().formation.trail.back();
        EXPECT_EQ(std::tuple(e.x, e.y, e.angle), std::tuple(420.0, 512.0, 192));
        EXPECT_EQ(std::tuple(b.G().player->pose, b.G().player->poseTimer), std::tuple(14, 60));
    }
    Battle b(14);
    ASSERT_TRUE(b.G().BeginBossFight());
    ASSERT_EQ(b.G().bossObjects.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(std::tuple(b.KindOf(i), b.G().bossObjects[i]->y), std::tuple(12 + i, 768.0));
}

TEST(BossBattle, Boss0IntroWalksInThreeTimesAroundTheAssembledBoss) {
    Battle b(0);
    EXPECT_EQ(b.Drive([&] { return b.G().BeginBossFight(); }), (std::vector<int32_t>{60, 60, 60}));
    EXPECT_EQ(b.TakeSoundIds(), (std::vector<int32_t>{151, 151, 151}));
    EXPECT_EQ(b.G().boss.step, 11);  // the intro's last step
    // Body, hammer, four parts, hand, two feet, the two height segments, face, three hammer pictures.
    std::vector<int32_t> kinds;
    for (size_t i = 0; i < b.G().bossObjects.size(); ++i) kinds.push_back(b.KindOf(i));
    EXPECT_EQ(kinds, (std::vector<int32_t>{1, 2, 3, 3, 3, 3, 4, 5, 5, 6, 7, 8, 9, 9, 9}));
    EXPECT_EQ(b.G().formation.segments.size(), 2u);
    EXPECT_EQ(b.G().formation.segments[1].GetNoCheck(), b.G().bossObjects[10].GetNoCheck());
    EXPECT_EQ(b.G().formation.specialPart.GetNoCheck(), b.G().bossObjects[11].GetNoCheck());
    EXPECT_EQ(b.G().formation.afterimageParts.size(), 3u);
    EXPECT_EQ(b.G().bossObjects[0]->pose, 9);
    b.G().ResetGame();  // a game lost in the fight: the next one's boss 0 starts without these
    EXPECT_TRUE(b.G().formation.segments.empty() && b.G().formation.afterimageParts.empty() && b.G().formation.specialPart.isNull());
}

TEST(BossBattle, DefeatsWaitThenMoveOnToTheNextStageOrTheEnding) {
    Battle b0(0);
    b0.G().gravity = 0;  // beaten during its fall
    b0.G().CreateBoss(1, 300, 200, false);
    EXPECT_EQ(b0.Drive([&] { return b0.G().EndBossFight(); }), (std::vector<int32_t>{30, 255, 90}));
    EXPECT_EQ(std::tuple(b0.G().gravity, b0.G().progress.stage, b0.G().status.regenerating, b0.G().screenFx.hudSlideSpeed),
              std::tuple(CGameResource::kGravity, 1, 1, 1));

    for (const auto& [score, replay, scene, stage] : {std::tuple{999999, false, Scene::kEnding, -1},
                                                      {999999, true, Scene::kFadeToTitle, -1},
                                                      {1000000, false, Scene::kScriptedWait, 3}}) {
        // the scripted wait: the talks without files went there
        Battle b(2);
        b.G().CreateBoss(15, 300, 200, false);
        b.G().replayLog.playing = replay;
        b.G().scene = static_cast<Scene>(-1);
        EXPECT_FALSE(b.G().EndBossFight());
        b.G().status.score = score;  // after the defeat bonus
        b.Drive([&] { return b.G().EndBossFight(); });
        EXPECT_EQ(std::tuple(b.G().scene, b.G().progress.stage), std::tuple(scene, stage)) << score << replay;
    }

    Battle b3(3);
    b3.G().CreateBoss(15, 300, 200, false);
    b3.G().scene = static_cast<Scene>(-1);
    EXPECT_EQ(b3.Drive([&] { return b3.G().EndBossFight(); }), (std::vector<int32_t>{30, 60, 255}));
    EXPECT_EQ(std::tuple(b3.settings.config.extrasUnlocked, b3.G().scene), std::tuple(1, Scene::kEnding));
}

// After the defeat the hero walks back to the view's left side at the 6.0 its frame budget is
// worked out from (bosses 1 and 3 accelerate by 1.0, boss 2 at once), so that even a long walk
// arrives by walking: the last frame's step is no longer than a walk's.
TEST(BossBattle, DefeatWalksBackAndArrivesByWalking) {
    for (const int32_t id : {1, 2, 3}) {
        for (int32_t from = 100; from <= 600; from += 50) {
            Battle b(id);
            b.G().CreateBoss(15, 300, 200, false);
            b.G().scene = static_cast<Scene>(-1);
            CObjectAvatar& hero = *b.G().player;
            hero.x = 64 + from, hero.y = 240;
            EXPECT_FALSE(b.G().EndBossFight());
            b.G().boss.waitFrames = 0;
            EXPECT_FALSE(b.G().EndBossFight());  // the walk back starts
            ASSERT_EQ(b.G().move.targetX, 64) << id;
            EXPECT_EQ(b.G().move.frameBudget, from / 6 + 60) << id;
            double step = 0;
            for (int f = 0; f < 400; ++f) {
                const double x = hero.x;
                if (b.G().UpdateScriptedMove()) {
                    hero.motion.Step();
                    hero.Move();
                    hero.motion.ApplyFriction();
                }
                step = std::fabs(hero.x - x);
                if (b.G().move.targetX == -1) break;
            }
            EXPECT_EQ(hero.x, 64.0) << id << " from " << from;
            EXPECT_LE(step, 6.0) << id << " from " << from;
        }
    }
}

// The HUD slides out while the beaten boss fades and is back within its 48-frame slide once
// the next stage has started.
TEST(BossBattle, TheHudSlidesBackInForTheNextStage) {
    for (const int32_t id : {0, 1}) {
        Battle b(id);
        b.G().gravity = 0;
        b.G().CreateBoss(1, 300, 200, false);
        SScreenEffects& fx = b.G().screenFx;
        fx.hudOffset = 0, fx.hudSlideSpeed = 0;
        int32_t lowest = 0;
        bool started = false;
        for (int f = 0; f < 2000 && !started; ++f) {
            fx.UpdateHudSlide();
            lowest = std::min(lowest, fx.hudOffset);
            if (b.G().boss.waitFrames > 0 && --b.G().boss.waitFrames > 0) continue;
            b.G().move.targetX = -1;
            started = b.G().EndBossFight();
        }
        ASSERT_TRUE(started);
        EXPECT_EQ(std::tuple(lowest, b.G().progress.stage), std::tuple(-48, id + 1));
        for (int f = 0; f < 48; ++f) fx.UpdateHudSlide();
        EXPECT_EQ(fx.hudOffset, 0) << id;
    }
}

TEST(BossBattle, DefeatGreysTheBossOut) {
    for (const auto& [id, frames, sound] : {std::tuple{1, 255, 121}, {12, 90, 122}}) {
        Battle b(id);
        b.G().CreateBoss(1, 300, 200, false);
        b.G().CreateBossParts(2, 300, 200, false);
        b.G().ShowBossDefeat(frames);
        EXPECT_EQ(b.TakeSoundIds(), std::vector<int32_t>{sound});
        const CObjectBase& body = *b.G().bossObjects[0];
        EXPECT_EQ(std::tuple(body.pose, body.additive, body.jitter, body.fadeCounter, body.fadeLength, body.fadeDelay),
                  std::tuple(5, 1, 1, frames, frames, -1));
        EXPECT_EQ(b.G().bossObjects[1]->pose, id == 1 ? 1 : 5);
    }
}

}  // namespace
