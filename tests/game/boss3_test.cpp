// Boss 3's script as timelines of play-field frames: its choices, the finisher's freeze, the
// ice rain against a generator seeded as the script seeds it, the ice circle's ring and the
// finale on a scrolled view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <list>
#include <tuple>
#include <vector>

#include "framework/bgm_player.h"
#include "framework/sine_table.h"
#include "game/play/boss_fight.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

struct Fight : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder kinds;
        for (const char* name : {"ダミー", "セレスタ", "セレスタ剣", "アイスファーント", "クイーンズレイジ改", "ギロチンスカイ", "アイスミラー"}) {
            kinds.Object(6, name).hitWidth = 32;
        }
        kinds.Tables().objects[6][6].life = 3000;
        for (int i = 0; i <= 20; ++i) kinds.Object(1, "e"), kinds.Object(2, "s"), kinds.Object(3, "b");
        for (int i = 1; i <= 91; ++i) kinds.Effect("fx").frameTime = i == 90 ? -8 : 4;
        return kinds;
    }
    Fight() : PlayFixture(Kinds()) {
        G().StartBossRecord(3);
        G().boss.intro = 0;
        G().boss.hp = G().boss.maxHp = 30000;
        G().progress.scrollX = 5000;
        G().CreateBoss(1, 5480, 240, false);
        for (int32_t k = 2; k <= 6; ++k) G().CreateBossParts(k, 0, 0, false)->pose = 1;
        G().boss.snappedPart = 2;
        G().boss.heldPart = 5;  // the mirror
        G().player->x = 5160, G().player->y = 240;
    }
    ~Fight() { KestraneGameBase2::DestroyBGMPlayer(); }
    CGameResource& G() { return *game; }
    CObjectBoss& Body() { return static_cast<CObjectBoss&>(*G().bossObjects[0]); }
    // One play frame of the fight: the play field, the pending spawns, the objects.
    void Frame() {
        G().UpdatePlayField();
        G().UpdatePendingSpawns();
        Run(1);
    }
    // Runs action a from its start until it leaves the front of the queue.
    void Act(int32_t a) {
        G().boss.actions = {a};
        for (int i = 0; i < 3000 && !G().boss.actions.empty() && G().boss.actions.front() == a; ++i) Frame();
    }
    // What a choice pushes first on an empty queue (-1 nothing).
    int32_t Choice() {
        G().boss.actions.clear();
        G().boss.waitFrames = G().boss.idleCountdown = 0;
        G().RunBoss3();
        return G().boss.actions.empty() ? -1 : G().boss.actions.front();
    }
    // The spawned objects of one type: (delay, x, y, heading of the velocity), those on the
    // object list first (delay 0).
    std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t>> Spawned(int32_t type) {
        std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t>> rows;
        const auto add = [&](int32_t delay, const CObjectBase& o) {
            if (o.GetType() != type) return;
            rows.emplace_back(delay, o.x, o.y, std::lround(std::atan2(o.motion.vy, o.motion.vx) * 128 / M_PI));
        };
        for (const auto& o : G().objects) add(0, *o);
        for (const SPendingSpawn& p : G().pendingSpawns) add(p.delay, *p.object);
        return rows;
    }
    // Play-field frames alone (nothing moves, no spawn joins) until the action reaches step.
    void RunTo(int32_t a, int32_t step) {
        G().boss.actions = {a};
        for (int i = 0; i < 1000 && G().boss.step < step; ++i) G().UpdatePlayField();
    }
};

TEST(Boss3, ChoicesPowerUpOncePer5000LostAndTheWornMirrorBurstsOnce) {
    Fight f;
    SBossFight& b = f.G().boss;
    b.hp -= 4999;
    EXPECT_NE(f.Choice(), 10);
    b.hp -= 1;
    EXPECT_EQ(f.Choice(), 10);
    f.Frame();
    EXPECT_EQ(std::tuple(b.actionCounter, b.powerUpCountdown, f.Body().pose, f.TakeSoundIds()),
              std::tuple(1, 1200, 26, std::vector<int32_t>{174}));
    f.Act(10);
    b.hp -= 5000;
    EXPECT_NE(f.Choice(), 10);  // one power-up at a time
    b.powerUpCountdown = 0;
    EXPECT_EQ(f.Choice(), 10);
    EXPECT_EQ(b.actionCounter, 2);

    b.partnerCounter = 999;
    EXPECT_EQ(f.Choice(), 32);
    EXPECT_EQ(b.partnerCounter, 65535);
    EXPECT_NE(f.Choice(), 32);  // parked until the burst clears it
    f.Act(32);
    EXPECT_EQ(b.partnerCounter, 0);
}

// The shield is raised a part's spacing before the body (toward the hero, who stands left); the
// burst and the worn mirror's end start there, wherever the ice rain last left the mirror.
TEST(Boss3, TheMirrorIsRaisedBurstsAndEndsBeforeTheBody) {
    Fight f;
    SBossFight& b = f.G().boss;
    CObjectEnemy& mirror = *BossElement(f.G().bossObjects, 5);
    mirror.x = -9, mirror.y = -1;
    f.Act(31);
    // The mirror's life, worn by 10 a frame over the 30 the raised shield is held.
    EXPECT_EQ(std::tuple(b.partnerCounter, mirror.alpha), std::tuple(2700, 0));
    f.RunTo(32, 2);
    using Row = std::tuple<int32_t, int32_t, int32_t, int32_t>;
    EXPECT_EQ(f.Spawned(kTypeBlock), std::vector<Row>{Row(0, 5448, 236, 128)});
    b.partnerCounter = 1;
    const size_t effects = f.G().effects.size();
    f.G().RunBoss3();
    EXPECT_EQ(std::tuple(mirror.x, mirror.y, b.partnerCounter), std::tuple(5448.0, 236.0, 0));
    EXPECT_GT(f.G().effects.size(), effects);
}

TEST(Boss3, TheFinisherFreezesChoicesAndEndsSwordActionsAtOnce) {
    Fight f;
    SBossFight& b = f.G().boss;
    f.G().status.finisherCounter = 150;
    b.partnerCounter = 500, b.waitFrames = 40;
    f.Body().motion.vx = 3;
    EXPECT_EQ(f.Choice(), -1);
    EXPECT_EQ(std::tuple(b.partnerCounter, b.waitFrames, f.Body().motion.vx), std::tuple(0, 0, 0.0));
    // Frames of each action (its early end, then the pop; the ice circle jumps to its fade
    // and, never started, has no last step beyond) and the damage scale left after it.
    for (const auto& [a, frames, scale] : {std::tuple{26, 2, 115}, {27, 2, 115}, {30, 2, 115}, {32, 2, 115},
                                           {29, 2, 130}, {28, 2, 115}}) {
        b.damageScale = 130, b.weaponOffset = 0;
        int n = 0;
        b.actions = {a}, b.step = b.lastStep = 0;
        while (!b.actions.empty() && n < 50) ++n, f.G().RunBoss3();
        EXPECT_EQ(std::tuple(n, b.damageScale, f.Body().pose), std::tuple(frames, scale, 0)) << a;
        EXPECT_TRUE(a == 28 || b.weaponOffset == (a == 26 || a == 29 ? -1 : 0)) << a;
    }
}

TEST(Boss3, BackStepComesToRestShortOfTheViewEdgeBehind) {
    // Facing left toward the player, the edge behind is the view's right edge at 5640: a full
    // reach of 60 x 7 / 2, a halved one that stops 32 short of the edge, and a forward one.
    for (const auto& [x, end] : {std::pair{5300.0, 5510.0}, {5480.0, 5608.0}, {5625.0, 5608.0}}) {
        Fight f;
        f.Body().x = x;
        f.RunTo(3, 1);
        f.Run(80);
        EXPECT_EQ(f.Body().motion.vx, 0.0) << x;
        EXPECT_NEAR(f.Body().x, end, 5.0) << x;
    }
}

TEST(Boss3, IceRainIsTheSameWithinOneBandOf1000) {
    const auto rain = [](int32_t hp, bool powered) {
        Fight f;
        f.G().boss.hp = hp;
        f.G().boss.powerUpCountdown = powered ? 2000 : 0;
        f.RunTo(27, 20);
        EXPECT_EQ(f.Spawned(kTypeEnemy).size(), 17u);
        return std::pair(f.Spawned(kTypeShot), f.G().boss.cooldown);
    };
    for (const bool powered : {false, true}) {
        const auto [shots, cooldown] = rain(25999, powered);
        tovarineGameSDK3rd::Math::CRand r;
        r.SetSeed(25);
        std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t>> model;
        for (int wave = 0; wave < (powered ? 2 : 1); ++wave) {
            for (int32_t i = 0; i < 16; ++i) {
                model.emplace_back((wave ? 240 : 120) + r.Get() % 64, 5000 + 80 * wave + 40 * i, -24, wave ? 72 : 56);
            }
        }
        EXPECT_EQ(shots, model);
        EXPECT_EQ(cooldown, powered ? 272 : 152);
        EXPECT_EQ(rain(25000, powered).first, shots);
        EXPECT_NE(rain(24999, powered).first, shots);
    }
}

TEST(Boss3, IceCircleRingsThePlayer) {
    for (const bool powered : {false, true}) {
        Fight f;
        f.G().boss.powerUpCountdown = powered ? 2000 : 0;
        f.RunTo(28, 2);
        const int32_t n = powered ? 9 : 6;
        const double radius = powered ? 160 : 128;
        std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t>> model;
        std::vector<int32_t> facings;
        for (int32_t k = 0; k < n; ++k) {
            const uint8_t a = static_cast<uint8_t>(192 + k * (255 / n));
            model.emplace_back(k * (60 / n), TruncInt(5160 + KestraneGameBase2::CosOf(a) * radius),
                               TruncInt(240 + KestraneGameBase2::SinOf(a) * radius), 0);
            facings.push_back(static_cast<uint8_t>(a + 128));
        }
        EXPECT_EQ(f.Spawned(kTypeEnemy), model);
        std::vector<int32_t> made;  // the facings, and each one's pose and trail
        for (const auto& o : f.G().objects) {
            if (const auto* e = dynamic_cast<const CObjectEnemyShadow*>(o.GetNoCheck())) made.push_back(e->facing);
        }
        for (const SPendingSpawn& p : f.G().pendingSpawns) {
            const auto& e = dynamic_cast<const CObjectEnemyShadow&>(*p.object);
            made.push_back(e.pose == 9 && e.trailLength == 6 ? e.facing : -1);
        }
        EXPECT_EQ(made, facings);
    }
}

TEST(Boss3, FinaleOnAScrolledViewSweepsItsLinesAway) {
    Fight f;
    f.G().AddGauge(-f.G().status.gauge);
    f.G().boss.actions = {7};
    for (int i = 0; i < 1000 && f.G().boss.step < 8; ++i) f.Frame();
    // The lines' anchors on the screen, the player's height less 48 at the sides.
    std::vector<std::pair<double, double>> marks;
    for (const auto& e : f.G().effects) {
        if (e->kind == &f.G().kinds.effects[91]) marks.emplace_back(e->x, e->y);
    }
    EXPECT_EQ(marks, (std::vector<std::pair<double, double>>{{160, 0}, {0, 192}, {160, 480}, {480, 480}, {640, 192}, {480, 0}}));
    size_t line = 0;
    for (const auto& [delay, x, y, heading] : f.Spawned(kTypeEnemy)) line += x >= 5000 - 32 && x <= 5672 ? 1 : 0;
    EXPECT_GE(line, 6u * 5);
    for (int i = 0; i < 1000 && f.G().boss.actions.front() == 7; ++i) f.Frame();
    for (const auto& o : f.G().objects) EXPECT_FALSE(o->GetType() == kTypeEnemy && o->state == kStateAlive);
    EXPECT_TRUE(f.G().pendingSpawns.empty());
    EXPECT_EQ(f.G().boss.actions, (std::list<int32_t>{9, 0, 0, 0}));
    EXPECT_EQ(f.G().status.gauge, 500 + 4 * 5);  // each push adds 5
    const std::vector<int32_t> sounds = f.TakeSoundIds();
    EXPECT_NE(std::find(sounds.begin(), sounds.end(), 175), sounds.end());
}

}  // namespace
