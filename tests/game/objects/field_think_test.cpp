// The field objects' behaviours (blocks, shots, crystal, reflector, terrain, boss parts) as
// worked timelines, and the block-group scans.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;
using morna::test::SPlay;
using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

// Every section's records numbered from 0 (the kind number is the record's index): block 0 is
// the named debris, enemy 1 the crystal; effects 1..90 run 3 frames of 2.
KindTableBuilder FieldKinds() {
    KindTableBuilder kinds;
    const int sizes[7] = {0, 80, 20, 40, 10, 6, 30};
    for (int section = 1; section < 7; ++section) {
        for (int i = 0; i < sizes[section]; ++i) {
            const char* name = section == 3 && i == 0 ? "ポロちゃん岩" : section == 1 && i == 1 ? "クリスタル" : "k";
            SObjectKind& k = kinds.Object(section, name);
            k.hitWidth = section == 6 ? 100 : 20, k.image = static_cast<int16_t>(100 + i);
            k.srcX = 4, k.srcY = 8, k.cellWidth = 16, k.cellHeight = 12;
        }
    }
    for (int i = 1; i <= 90; ++i) kinds.Effect("e").frames = {0, 1, 2}, kinds.Tables().effects.back().frameTime = 2;
    kinds.Tables().effects[82].speed = 2.0;
    return kinds;
}

void Thinks(CGameResource& g, CObjectBase* o, int n) {
    for (int i = 0; i < n; ++i) o->Think(g);
}

// "type:kind@x,y phase angle offset"; the angle is an enemy's facing or a shot's turn/angle.
std::string Row(int type, int kind, int x, int y, int phase, const std::string& angle, int offset) {
    return std::to_string(type) + ":" + std::to_string(kind) + "@" + std::to_string(x) + "," + std::to_string(y) + " " +
           std::to_string(phase) + " " + angle + " " + std::to_string(offset);
}
// The objects listed after the first `from`.
std::vector<std::string> Made(const CGameResource& g, size_t from) {
    std::vector<std::string> out;
    for (auto it = std::next(g.objects.begin(), static_cast<long>(from)); it != g.objects.end(); ++it) {
        const CObjectBase& o = **it;
        std::string angle = "-";
        if (o.GetType() == kTypeEnemy) angle = std::to_string(static_cast<const CObjectEnemy&>(o).facing);
        if (o.GetType() == kTypeShot) angle = std::to_string(o.turn) + "/" + std::to_string(static_cast<const CObjectShot&>(o).angle);
        out.push_back(Row(o.GetType(), o.kind->index, TruncInt(o.x), TruncInt(o.y), o.phase, angle, o.priorityOffset));
    }
    return out;
}

TEST(BlockGroup, ScansAndReset) {
    PlayFixture play(FieldKinds());
    CGameResource& g = *play.game;
    g.objects.clear();
    bool any = true, all = false;
    CObjectBlock* other = g.CreateBlock(12, 0, 0, 0);
    other->phase = 1;
    g.CheckBlockGroup(any, all);
    EXPECT_EQ(std::tuple(any, all, other->phase), std::tuple(false, true, 1));

    CObjectBlock *a = g.CreateBlock(13, 0, 0, 0), *b = g.CreateBlock(13, 0, 0, 0);
    CObjectEnemy* e13 = g.CreateEnemy(13, 0, 0, 0);  // an enemy of kind 13 is not in the group
    a->phase = 2, b->phase = 1;
    g.CheckBlockGroup(any, all);
    EXPECT_EQ(std::tuple(any, all, a->phase, b->phase), std::tuple(true, false, 2, 1));
    b->phase = 5;
    g.CheckBlockGroup(any, all);
    EXPECT_EQ(std::tuple(any, all, a->phase, b->phase, e13->phase), std::tuple(true, true, 3, 3, 0));

    CObjectBlock* spark = g.CreateBlock(17, 0, 0, 0);
    CObjectEnemy *e71 = g.CreateEnemy(71, 0, 0, 0), *e72 = g.CreateEnemy(72, 0, 0, 0), *e17 = g.CreateEnemy(17, 0, 0, 0);
    g.ResetBlockGroup();
    EXPECT_EQ(std::tuple(a->phase, b->phase, other->phase), std::tuple(0, 0, 1));
    EXPECT_EQ(std::tuple(spark->state, e71->state, e72->state, e17->state, other->state),
              std::tuple(kStateVanish, kStateVanish, kStateVanish, kStateAlive, kStateAlive));
}

// The launchers' rows against a model of the row: its places, angles, pattern and shell.
TEST(BossParts, LauncherRowsOnTheirTimeline) {
    const struct {
        int kind, count, block, spacing, offset, dy, first, period;
    } rows[] = {{14, 5, 26, 24, -2, 16, 182, 291}, {15, 7, 27, 26, 0, -8, 302, 391}, {16, 9, 28, 28, 2, -8, 382, 491}};
    for (const auto& r : rows) {
        PlayFixture play(FieldKinds());
        CGameResource& g = *play.game;
        g.objects.clear();
        CObjectBossParts* part = g.CreateBossParts(r.kind, 1000, 300, false);  // 100 wide
        part->phase = 1;  // a shell armed
        for (int row = 0; row < 2; ++row) {
            Thinks(g, part, row == 0 ? r.first - 1 : r.period - 1);
            ASSERT_EQ(g.objects.size(), 1u) << r.kind;
            tovarineGameSDK3rd::Math::CRand twin = g.bossRand;
            const uint32_t p = ((twin.Get() & 3) + 1) % 4;
            const int slot = row == 0 && p != 0 ? 2 * static_cast<int>(twin.Get(r.count / 2)) + 1 : -1;
            const int step = 2 + row, wait = r.period - 1 - 60;
            std::vector<std::string> expected;
            for (int i = 0; i < r.count; ++i) {
                const int x = 1000 - 50 + 16 + r.spacing * i, y = 300 + r.dy;
                const std::string a = std::to_string(168 + i * (48 / (r.count - 1)));
                const auto add = [&](int type, int kind, int phase, const std::string& angle) {
                    expected.push_back(Row(type, kind, x, y, phase, angle, r.offset));
                };
                if (i == slot) add(kTypeEnemy, 62, r.count / 2 + 2, a);
                else if (i % 2 == 0) add(kTypeBlock, r.block, wait, "-");
                else if (p == 0) add(kTypeEnemy, 61, 0, a);
                else if (p == 1) add(kTypeShot, 13 + (step & 1), 0, a + "/0");
                else if (p == 2) add(kTypeShot, 17 + ((step + 1) & 1), 0, "0/" + a);
                else add(kTypeBlock, 31 + (step & 1), wait, "-");
            }
            play.sounds.played.clear();
            Thinks(g, part, 1);
            EXPECT_EQ(Made(g, 1), expected) << r.kind << " row " << row;
            EXPECT_EQ(g.bossRand.Get(), twin.Get()) << "one draw, and Get(count / 2) for an armed shell";
            EXPECT_EQ(play.sounds.played, (std::vector<SPlay>{{158, false}}));
            EXPECT_EQ(part->phase, 0);
            g.objects.resize(1);
        }
    }
}

TEST(BossParts, SpecialsArmsAndFades) {
    PlayFixture play(FieldKinds());
    CGameResource& g = *play.game;
    CObjectBossParts* arm = g.CreateBossParts(21, 100, 200, false);
    arm->facing = 0, arm->phase = -1, arm->state = kStateKilledBySpecial;
    std::vector<std::tuple<int, int, int>> seen;  // x, y, pose after each Think
    for (int i = 0; i < 8; ++i) arm->Think(g), seen.emplace_back(TruncInt(arm->x), TruncInt(arm->y), arm->pose);
    // Effect 41's cycle is 6 frames: six steps of step + 36, then pose 1.
    EXPECT_EQ(seen, (std::vector<std::tuple<int, int, int>>{{137, 188, 10}, {175, 176, 10}, {214, 164, 10}, {254, 152, 10},
                                                             {295, 140, 10}, {337, 128, 10}, {337, 128, 1}, {337, 128, 1}}));
    EXPECT_EQ(std::tuple(arm->state, g.landEffects.size()), std::tuple(kStateAlive, 1u));
    CObjectBossParts* fade = g.CreateBossParts(24, 0, 0, false);
    fade->alpha = 0;
    Thinks(g, fade, 30);
    const uint8_t before = fade->alpha;
    Thinks(g, fade, 1);
    EXPECT_EQ(std::tuple(before, fade->alpha), std::tuple(240, 255));
}

TEST(Crystal, EntersBouncesFiveTimesAndLeaves) {
    KindTableBuilder kinds = FieldKinds();
    kinds.Tables().objects[1][1].hitWidth = 0;
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    g.objects.clear();
    g.itemDropList = {1, 2, 3};
    CObjectCrystal* c = g.CreateCrystal(700, 100);
    c->y = 100.7, c->motion.vx = -40;
    std::vector<int> bounces;
    for (int f = 1; f <= 130 && !g.objects.empty(); ++f) {
        const uint8_t before = c->bounceCount;
        play.Run(1);
        if (!g.objects.empty() && c->bounceCount != before) bounces.push_back(f);
        if (f == 1 || f == 122) {
            EXPECT_EQ(std::tuple(c->step, c->heldImage, c->heldRect.right),
                      f == 1 ? std::tuple(101, 103, 20) : std::tuple(102, 101, 20));  // list[step % 3]
        }
    }
    EXPECT_EQ(bounces, (std::vector<int>{19, 36, 53, 70, 87}));
    EXPECT_TRUE(g.objects.empty()) << "gone after its sixth exit";
}

TEST(FieldThinks, ReflectorTerrainAndShots) {
    PlayFixture play(FieldKinds());
    CGameResource& g = *play.game;
    g.objects.clear();
    CObjectReflect* r = g.CreateReflect(&g.kinds.objects[2][5], 150, 90);
    r->angle = 100, r->state = kStateKilledBySpecial;
    tovarineGameSDK3rd::Math::CRand twin = g.playRand;
    r->Think(g);
    ASSERT_EQ(g.effects.size(), 16u);
    int i = 0;
    for (const auto& e : g.effects) {
        const uint32_t r1 = twin.Get(), r2 = twin.Get(), r3 = twin.Get();
        const uint8_t a = static_cast<uint8_t>(4 * i++ - 6 + 68 + r1 % 12);
        const double speed = (100 + r2 % 100) * 2.0 / 100;
        EXPECT_EQ(std::tuple(e->x, e->y, e->motion.vx, e->motion.vy, e->motion.frictionX, e->startDelay),
                  std::tuple(150.0, 90.0, CosOf(a) * speed, SinOf(a) * speed, speed / 60, static_cast<int16_t>(r3 & 7)));
    }
    EXPECT_EQ(std::tuple(r->state, r->angle, g.playRand.Get()), std::tuple(kStateRemove, 68, twin.Get()));

    CObjectLand* land4 = g.CreateLand(4, 0, 0);
    CObjectLand* land3 = g.CreateLand(3, 0, 0);
    land4->Think(g);
    g.boss.actions = {1, 2};
    land3->Think(g);
    EXPECT_EQ(std::tuple(land4->state, land3->state), std::tuple(kStateAlive, kStateAlive));
    land4->Think(g);
    EXPECT_EQ(land4->state, kStateVanish);

    g.objects.clear();
    CObjectShot* turned = g.CreateShot(5, 10, 20, 0);
    turned->pose = 6;
    turned->Think(g);
    EXPECT_EQ(Made(g, 0), (std::vector<std::string>{Row(6, 5, 10, 20, 0, "0/0", 0), Row(7, 5, 10, 20, 0, "-", 0)}));
    EXPECT_EQ(turned->state, kStateRemove);

    CObjectShot* splitter = g.CreateShot(13, 10, 20, 0);
    Thinks(g, splitter, 107);
    EXPECT_EQ(std::tuple(splitter->state, splitter->step, play.sounds.played.empty()), std::tuple(kStateAlive, 2, true));
    Thinks(g, splitter, 1);
    EXPECT_EQ(std::tuple(splitter->state, play.sounds.played), std::tuple(kStateRemove, std::vector<SPlay>{{200, false}}));
}

// Worked timelines of the block kinds: after the n-th Think, what changed.
TEST(Blocks, StepMachines) {
    PlayFixture play(FieldKinds());
    CGameResource& g = *play.game;
    g.objects.clear();
    g.player->x = 100, g.player->y = 300, g.player->motion.Clear();
    CObjectBlock* spawner = g.CreateBlock(1, 50, 60, 0);
    spawner->wait = 1, spawner->phase = 7;
    spawner->Think(g);
    EXPECT_EQ(Made(g, 0), (std::vector<std::string>{Row(8, 1, 50, 60, 7, "-", 0), Row(8, 3, 50, 60, 7, "-", 0)}));
    EXPECT_EQ(spawner->state, kStateRemove);

    g.objects.clear();
    CObjectBlock *thrown = g.CreateBlock(3, 500, 300, 0), *crumbling = g.CreateBlock(4, 500, 300, 0);
    thrown->phase = 1;  // the hero at angle 128: thrown at 144
    Thinks(g, thrown, 40), Thinks(g, crumbling, 40);
    EXPECT_EQ(std::tuple(g.objects.size(), thrown->state, crumbling->state), std::tuple(2u, kStateAlive, kStateAlive));
    thrown->Think(g), crumbling->Think(g);
    ASSERT_EQ(std::tuple(g.objects.size(), thrown->state), std::tuple(4u, kStateRemove));
    const CObjectBase& rock = **std::next(g.objects.begin(), 2);
    const CObjectBase& debris = *g.objects.back();
    EXPECT_EQ(std::tuple(rock.kind->index, rock.motion.vx, rock.motion.vy), std::tuple(5, 10.0 * CosOf(144), 10.0 * SinOf(144)));
    EXPECT_EQ(std::tuple(debris.kind->index, debris.motion.vx, debris.motion.vy, debris.motion.accel, debris.fadeCounter),
              std::tuple(0, 2.0, -2.0, 0.1225, static_cast<int16_t>(60)));
    EXPECT_EQ(play.sounds.played, (std::vector<SPlay>{{153, false}}));

    g.objects.clear();
    CObjectBlock* mine = g.CreateBlock(7, 200, 100, 0);
    Thinks(g, mine, 45);
    EXPECT_EQ(std::tuple(mine->state, mine->pose, g.pendingSpawns.size()), std::tuple(kStateRemove, 1, 7u));
    EXPECT_EQ(Made(g, 1), (std::vector<std::string>{Row(8, 8, 220, 100, 0, "-", 0)}));
    EXPECT_EQ(std::tuple(g.pendingSpawns.front().delay, TruncInt(g.pendingSpawns.front().object->y), g.pendingSpawns.back().delay),
              std::tuple(1, 114, 7));

    CObjectBlock* wall = g.CreateBlock(12, 0, 0, 0);
    std::string poses;
    for (int n = 1; n <= 182 && wall->state == kStateAlive; ++n) {
        wall->Think(g);
        poses += n == 31 || n == 32 || n == 149 || n == 150 || n == 181 ? std::to_string(wall->pose) + "@" + std::to_string(n) + " " : "";
        if (wall->state != kStateAlive) poses += "gone@" + std::to_string(n);
    }
    EXPECT_EQ(poses, "8@31 0@32 0@149 8@150 8@181 gone@182");

    g.objects.clear();
    CObjectBlock* nest = g.CreateBlock(21, 300, 200, 0);
    nest->phase = 3;
    std::vector<int> released;
    for (int n = 1; n <= 260; ++n) {
        if (const size_t before = g.objects.size(); nest->Think(g), g.objects.size() != before) released.push_back(n);
    }
    EXPECT_EQ(released, (std::vector<int>{152, 183, 214}));
    EXPECT_EQ(g.objects.back()->kind->index, 24);

    CObjectBlock* vanishing = g.CreateBlock(17, 0, 0, 0);
    vanishing->state = kStateVanish;
    vanishing->Think(g);
    EXPECT_EQ(vanishing->step, 0) << "a block told to leave runs no step";
}

// Kind 13: an arc onto the hero, then the group's phases send it back.
TEST(Blocks, ThrownBlockArcAndGroupPhases) {
    PlayFixture play(FieldKinds());
    CGameResource& g = *play.game;
    g.player->x = 440, g.player->y = 300, g.player->motion.Clear();
    CObjectBlock* b = g.CreateBlock(13, 200, 300, 0);
    Thinks(g, b, 17);
    EXPECT_EQ(std::tuple(b->step, b->wait, b->motion.vx, b->motion.vy, b->motion.accel, b->motion.accelAngle),
              std::tuple(2, 15, 12.0, -(240.0 / 20 * 1.4), 240.0 / 20 * 1.4 / 20 * 0.7, 64));
    b->phase = 3;
    Thinks(g, b, 16);
    EXPECT_EQ(std::tuple(b->phase, b->wait), std::tuple(4, 30));
    Thinks(g, b, 31);
    EXPECT_EQ(std::tuple(b->phase, b->pose, b->motion.vx, g.landEffects.size()), std::tuple(5, 0, 8.0, 1u));
    EXPECT_EQ(play.sounds.played, (std::vector<SPlay>{{166, false}, {167, false}}));

    b->phase = 1, b->x = 10;  // within 24 pixels of the view's edge: it stops there
    b->Think(g);
    EXPECT_EQ(std::tuple(b->step, b->phase, b->pose, b->motion.vx), std::tuple(3, 2, 9, 0.0));
    b->phase = 0;  // the group was reset: off, away from the view's centre
    b->Think(g);
    EXPECT_EQ(std::tuple(b->step, b->motion.vx, b->motion.vy), std::tuple(4, CosOf(AngleOf(-310, 60)) * 5.0, SinOf(AngleOf(-310, 60)) * 5.0));
}

}  // namespace
