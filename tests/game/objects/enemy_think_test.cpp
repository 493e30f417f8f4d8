// The enemies' behaviour frame and bodies: the kind table's dispatch, the frame's pre-steps,
// and worked timelines of the bodies (their inputs, then their state at chosen Thinks).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
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

// 75 enemy kinds (number = record; 74 stands for any number above 73), shots, blocks, terrain.
KindTableBuilder Kinds() {
    KindTableBuilder k;
    for (int i = 0; i < 75; ++i) {
        SObjectKind& e = k.Object(1, "enemy");
        e.index = static_cast<uint8_t>(i == 74 ? 200 : i), e.hitWidth = e.hitHeight = 32, e.life = 100;
        e.frames = {0, 1, 2}, e.frameTime = 10;
    }
    for (int s : {2, 3, 5}) {
        for (int i = 0; i < 18; ++i) k.Object(s, "piece");
    }
    return k;
}

struct Field {
    explicit Field(int32_t stage = 0) : play(kinds) {
        g.progress.stage = stage;
        g.player->x = 300, g.player->y = 200;
    }
    CObjectEnemy* Enemy(int32_t kind, double x = 500, double y = 200, int32_t phase = 0) {
        CObjectEnemy* e = g.CreateEnemy(kind, 0, 0, 0);
        e->x = x, e->y = y, e->phase = phase;
        return e;
    }
    void Think(CObjectEnemy* e, int n) {
        for (int i = 0; i < n; ++i) e->Think(g);
    }
    // Objects of a type made since the enemy under test (the list's first).
    std::vector<CObjectBase*> Made(int32_t type) {
        std::vector<CObjectBase*> out;
        for (auto it = std::next(g.objects.begin()); it != g.objects.end(); ++it) {
            if ((*it)->GetType() == type) out.push_back(it->GetNoCheck());
        }
        return out;
    }
    KindTableBuilder kinds = Kinds();
    PlayFixture play;
    CGameResource& g = *play.game;
};

TEST(EnemyFrame, EveryKindDispatchesToItsBodyAndTheBodilessStayPut) {
    Field f;
    for (int32_t kind = 0; kind < 75; ++kind) {
        CObjectEnemy* e = f.Enemy(kind);
        e->Think(f.g);
        const bool none = kind == 1 || kind == 6 || (kind >= 42 && kind <= 44) || kind == 74;
        const bool acted = e->step != 0 || e->wait != 0 || e->pose != 0 || e->state != kStateAlive;
        EXPECT_EQ(acted, !none) << "kind " << kind;
    }
    f.g.player = nullptr;  // only a damaged table leaves the field without one: nothing runs
    CObjectEnemy* alone = f.Enemy(9);
    alone->Think(f.g);
    EXPECT_EQ(std::tuple(alone->step, alone->motion.vx), std::tuple(0, 0.0));
}

TEST(EnemyFrame, FadeInUndyingWaitAndHeldTerrain) {
    Field f;
    std::vector<int> alpha;
    for (int32_t kind : {5, 67, 68, 69, 70, 71, 72, 73}) {
        CObjectEnemy* e = f.Enemy(kind);
        e->Think(f.g);
        alpha.push_back(e->alpha);
    }
    EXPECT_EQ(alpha, (std::vector<int>{8, 8, 8, 8, 8, 8, 255, 8}));
    CObjectEnemy* fading = f.Enemy(5);  // waits 30 after its first step: the fade goes on
    f.Think(fading, 30);
    EXPECT_EQ(fading->alpha, 240);
    f.Think(fading, 1);
    EXPECT_EQ(fading->alpha, 255);

    f.g.kinds.objects[1][38].undying = f.g.kinds.objects[1][40].undying = 1;
    CObjectEnemy* mortal = f.Enemy(38);
    CObjectEnemy* kept = f.Enemy(40);
    mortal->hp = kept->hp = 0;
    mortal->Think(f.g), kept->Think(f.g);
    // Killed, then removed by the dying step of the same run.
    EXPECT_EQ(std::tuple(mortal->state, kept->state), std::tuple(kStateRemove, kStateAlive));

    CObjectEnemy* waiting = f.Enemy(0);
    waiting->wait = 3;
    f.Think(waiting, 3);
    EXPECT_EQ(waiting->step, 0);
    f.Think(waiting, 1);
    EXPECT_EQ(std::tuple(waiting->step, waiting->wait), std::tuple(1, 30));

    // Kind 70 waits for the kind-13 block group to be struck whole; dying, it resets the group.
    CObjectEnemy* watcher = f.Enemy(70);
    CObjectBlock* block = f.g.CreateBlock(13, 600, 100, 0);
    f.Think(watcher, 3);
    EXPECT_EQ(std::tuple(watcher->step, watcher->state), std::tuple(1, kStateAlive));
    block->phase = 2;
    watcher->Think(f.g);
    EXPECT_EQ(std::tuple(watcher->step, watcher->pose, block->phase), std::tuple(2, 3, 3));
    watcher->SetState(kStateKilled);
    watcher->Think(f.g);
    EXPECT_EQ(block->phase, 0);

    // A dying kind 59 (60) takes the kind-5 (6) terrain whose centre lies in its hit box.
    for (int32_t kind : {59, 60}) {
        f.g.objects.clear();
        CObjectEnemy* holder = f.Enemy(kind, 500, 200);
        const int32_t held = kind == 59 ? 5 : 6, other = 11 - held;
        CObjectLand* in = f.g.CreateLand(held, 515, 184);
        CObjectLand* edge = f.g.CreateLand(held, 516, 200);  // right edge: outside
        CObjectLand* otherKind = f.g.CreateLand(other, 500, 200);
        holder->SetState(kStateKilled);
        holder->Think(f.g);
        EXPECT_EQ(std::tuple(in->state, edge->state, otherKind->state), std::tuple(kStateRemove, kStateAlive, kStateAlive));
    }
}

// One row of a trace: after `thinks` Thinks of an enemy, its velocity, step, wait and pose.
struct Trace {
    int32_t kind, stage, phase, thinks;
    double vx, vy;
    int step, wait, pose;
};

TEST(EnemyBodies, DifficultyPlansOfTheFieldEnemies) {
    const double c = CosOf(128) * 6.0, s = SinOf(128) * 6.0;  // toward the player, to the left
    const Trace rows[] = {
        // a carrier's launch drifts down for 40 frames, then its plan starts afresh
        {9, 0, -1, 1, 1.0, 4.0, 1, 40, 8},
        {9, 0, -1, 42, 1.0, 4.0, 0, 0, 0},
        {9, 0, -1, 43, -2.0, 0, 1, 0, 0},
        {9, 0, 0, 1, -2.0, 0, 1, 0, 0},
        {9, 1, 0, 1, -3.0, 0, 1, 90, 0},
        {9, 1, 0, 92, 0, 3.0, 2, 0, 0},  // above the middle: down
        {9, 2, 0, 1, c, s, 1, 45, 0},
        {9, 2, 0, 47, 0, 0, 2, 20, 0},
        {9, 2, 0, 68, -c, -s, 3, 30, 0},  // away from the player
        {10, 0, 0, 91, -2.0, 0, 91, 0, 3},
        {11, 0, 0, 1, CosOf(128) * 3.0, SinOf(128) * 3.0, 1, 0, 0},
        {11, 1, 0, 92, -8.0, 0, 2, 30, 0},
        {11, 1, 0, 123, 0, 0, 3, 0, 0},
        {12, 2, 0, 1, -6.0, 0.5, 1, 90, 0},
        {12, 2, 0, 92, -6.0, 0.5, 2, 30, 3},
        {13, 0, 0, 1, -3.5, 0, 1, 0, 0},
        {14, 1, 0, 62, CosOf(32) * 4.0, SinOf(32) * 4.0, 2, 0, 0},
        {15, 1, 0, 1, -3.0, 3.0, 1, 60, 11},
        {16, 0, 0, 1, 0, 0, 1, 0, 11},
        {17, 0, 0, 1, -0.5, 0, 1, 90, 0},
        {17, 0, 0, 92, -0.5, 0, 4, 120, 0},
        {18, 0, 0, 92, -0.5, 0, 2, 40, 0},
        {19, 1, 0, 1, 8.0, 0, 1, 60, 8},
        {20, 2, 0, 32, -8.0, 0, 2, 30, 3},
    };
    for (const Trace& t : rows) {
        Field f(t.stage);
        CObjectEnemy* e = f.Enemy(t.kind, 500, 200, t.phase);
        f.Think(e, t.thinks);
        EXPECT_EQ(std::tuple(e->motion.vx, e->motion.vy, e->step, e->wait, e->pose),
                  std::tuple(t.vx, t.vy, t.step, t.wait, t.pose))
            << "kind " << t.kind << " difficulty " << t.stage << " think " << t.thinks;
    }
}

// The Thinks on which shots (or launched enemies) appear, and their kinds.
struct Volleys {
    int32_t kind, stage;
    double playerX;
    std::vector<int> counts;  // objects made after each Think in `at`
    std::vector<int> at;
};

TEST(EnemyBodies, ShotsAndLaunchesComeOnTheirFrames) {
    const Volleys rows[] = {
        {10, 0, 300, {0, 1}, {120, 121}},           // aimed shot at step 120
        {12, 2, 300, {0, 1, 2, 3}, {122, 123, 139, 155}},  // three aimed shots 16 frames apart
        {19, 2, 300, {1, 1, 2, 8}, {63, 64, 65, 78}},  // kind 19 fires on odd steps
        {20, 2, 300, {1, 2, 3, 16, 16}, {63, 64, 65, 78, 90}},
        {26, 0, 600, {0}, {500}},                    // the player never passed it
        {27, 0, 300, {0, 3, 6, 9, 9}, {152, 153, 305, 457, 1000}},  // three volleys of three
        {21, 0, 300, {0, 1, 2, 3, 4}, {271, 272, 363, 454, 545}},
        {21, 1, 300, {0, 1, 2, 6, 6}, {241, 242, 363, 847, 1000}},
        {21, 2, 300, {1, 10, 10}, {62, 611, 800}},
        {17, 2, 300, {1, 2, 3, 4, 5, 6, 7, 7}, {32, 73, 216, 263, 310, 357, 389, 1000}},  // drops and shots
    };
    for (const Volleys& v : rows) {
        Field f(v.stage);
        f.g.player->x = v.playerX;
        CObjectEnemy* e = f.Enemy(v.kind, 500, 200);
        std::vector<int> counts;
        for (int n = 1, next = 0; next < static_cast<int>(v.at.size()); ++n) {
            e->Think(f.g);
            if (n == v.at[next]) counts.push_back(static_cast<int>(f.g.objects.size()) - 1), ++next;
        }
        EXPECT_EQ(counts, v.counts) << "kind " << v.kind;
    }
}

TEST(EnemyBodies, CarrierLaunchesEnteringEnemiesOnlyInTheView) {
    Field f;
    CObjectEnemy* carrier = f.Enemy(21, 500, 200);
    f.Think(carrier, 545);
    std::vector<std::tuple<int, int32_t>> launched;
    for (CObjectBase* o : f.Made(kTypeEnemy)) launched.emplace_back(o->kind->index, o->phase);
    EXPECT_EQ(launched, (std::vector<std::tuple<int, int32_t>>{{11, -1}, {11, -1}, {12, -1}, {11, -1}}));
    EXPECT_EQ(f.play.sounds.played, (std::vector<SPlay>(4, SPlay{61, false})));

    Field away;
    CObjectEnemy* hidden = away.Enemy(21, 500, 200);
    hidden->Think(away.g);
    hidden->x = 700;  // beyond the view's right edge
    away.Think(hidden, 400);
    EXPECT_EQ(std::tuple(away.g.objects.size(), hidden->step), std::tuple(1u, 1));
}

TEST(EnemyBodies, BurstAndPopper) {
    Field f;
    CObjectEnemy* burst = f.Enemy(2);  // one cycle: 3 frames x 10
    CObjectEnemy* popper = f.Enemy(32);
    std::vector<std::tuple<int, int, size_t>> seen;  // the burst's pose and state, the shots
    for (int n = 1; n <= 123; ++n) {
        burst->Think(f.g), popper->Think(f.g);
        if (n == 19 || n == 20 || n == 29 || n == 30 || n == 122) {
            seen.emplace_back(burst->pose, burst->state, f.Made(kTypeShot).size());
        }
    }
    EXPECT_EQ(seen, (std::vector<std::tuple<int, int, size_t>>{{0, 0, 0}, {8, 0, 0}, {8, 0, 0}, {8, 1, 0}, {8, 1, 0}}));
    ASSERT_EQ(f.Made(kTypeShot).size(), 1u);
    const CObjectBase* shot = f.Made(kTypeShot)[0];
    EXPECT_EQ(std::tuple(shot->kind->index, shot->motion.vx, shot->motion.vy, popper->state),
              std::tuple(11, CosOf(104) * 8.0, SinOf(104) * 8.0, kStateRemove));
}

TEST(EnemyBodies, SplitterMineGateAndThrower) {
    Field f;
    CObjectEnemy* whole = f.Enemy(55);
    CObjectEnemy* last = f.Enemy(58);
    whole->hp = 50, last->hp = 0;  // half of 100 is not below half
    whole->Think(f.g), last->Think(f.g);
    EXPECT_EQ(std::tuple(whole->state, last->state), std::tuple(kStateAlive, kStateAlive));
    whole->hp = 49;
    whole->Think(f.g);
    EXPECT_EQ(whole->state, kStateRemove);
    std::vector<std::tuple<int, double, double, double, double>> parts;
    for (CObjectBase* o : f.Made(kTypeEnemy)) {
        if (o != last) parts.emplace_back(o->kind->index, o->motion.vx, o->motion.vy, o->motion.frictionX, o->motion.frictionY);
    }
    std::vector<std::tuple<int, double, double, double, double>> expected;
    for (uint8_t a : {32, 96, 160, 224}) {
        expected.emplace_back(56, CosOf(a) * 4.0, SinOf(a) * 4.0, std::fabs(0.1 * CosOf(a)), std::fabs(0.1 * SinOf(a)));
    }
    EXPECT_EQ(parts, expected);
    EXPECT_EQ(f.play.sounds.played, (std::vector<SPlay>{{55, false}}));

    // The mine bursts on step n - n/3 = 20 of its 30-frame cycle.
    Field m;
    CObjectEnemy* mine = m.Enemy(41, 500, 200, 2);
    m.Think(mine, 79);
    EXPECT_EQ(std::tuple(mine->x, mine->motion.vx, mine->state), std::tuple(468.0, 8.0, kStateAlive));
    m.Think(mine, 1);
    std::vector<std::tuple<double, double, int>> shots;
    for (CObjectBase* o : m.Made(kTypeShot)) {
        shots.emplace_back(o->motion.vx, o->motion.vy, dynamic_cast<IObjectShadow&>(*o).trailLength);
    }
    std::vector<std::tuple<double, double, int>> ring;
    for (int i = 0; i < 8; ++i) ring.emplace_back(CosOf(32 * i) * 4.0, SinOf(32 * i) * 4.0, 6);
    EXPECT_EQ(std::tuple(shots, mine->state), std::tuple(ring, kStateRemove));
    EXPECT_EQ(m.play.sounds.played, (std::vector<SPlay>{{203, false}}));

    for (double px : {301.0, 300.0}) {  // 199 and 200 pixels away
        Field g;
        CObjectEnemy* gate = g.Enemy(60, 500, 200);
        gate->Think(g.g);
        g.g.player->x = px, g.g.player->y = 152;
        gate->Think(g.g);
        const bool closes = px == 301.0;
        EXPECT_EQ(std::tuple(g.Made(kTypeLand).size(), g.play.sounds.played.size()),
                  std::tuple(closes ? 4u : 0u, closes ? 1u : 0u));
    }

    for (int32_t phase : {0, 2}) {
        Field t;
        t.g.player->motion.vx = 2.0;  // 30 frames ahead: (360, 200)
        CObjectEnemy* thrower = t.Enemy(68, 500, 200, phase);
        t.Think(thrower, 120);
        const std::vector<CObjectBase*> blocks = t.Made(kTypeBlock);
        ASSERT_EQ(blocks.size(), phase == 0 ? 1u : 3u);
        EXPECT_EQ(std::tuple(blocks[0]->x, blocks[0]->y, blocks[0]->motion.vx, blocks[0]->motion.vy),
                  std::tuple(476.0, 192.0, -140.0 / 60, 0.0 / 60 - 3.675));
        EXPECT_EQ(thrower->state, kStateAlive);
        t.Think(thrower, 1);
        EXPECT_EQ(thrower->state, kStateVanish);
    }
}

TEST(EnemyBodies, ColumnMembersLeaveEightyFramesApart) {
    Field f;
    f.Enemy(50, 500, 200, 3);
    std::vector<int> departures(4, 0);
    for (int frame = 1; frame <= 400; ++frame) {
        size_t i = 0;  // the members join the list's end and think in the frame they are made
        for (auto it = f.g.objects.begin(); it != f.g.objects.end(); ++it, ++i) {
            (*it)->Think(f.g);
            if ((*it)->motion.vy == -2.0 && departures[i] == 0) departures[i] = frame;
        }
    }
    EXPECT_EQ(departures, (std::vector<int>{82, 162, 242, 322}));
    std::vector<double> ys;
    for (auto& o : f.g.objects) ys.push_back(o->y);
    EXPECT_EQ(ys, (std::vector<double>{72, 104, 136, 168}));

    Field big;  // a huge phase from the map makes at most a screen's height of members
    big.Enemy(50, 500, 200, 100000)->Think(big.g);
    EXPECT_EQ(big.g.objects.size(), 16u);
}

// Frames until the enemy has left, counting the distinct objects of a kind it made.
int RunUntilGone(Field& f, CObjectEnemy* e, int32_t type, uint8_t kind, int limit = 2000) {
    std::set<const CObjectBase*> seen;
    for (int frame = 0; frame < limit && e->state == kStateAlive; ++frame) {
        f.play.Run(1);
        for (auto& o : f.g.objects) {
            if (o->GetType() == type && o->kind->index == kind) seen.insert(o.GetNoCheck());
        }
    }
    return static_cast<int>(seen.size());
}

TEST(EnemyBodies, WallBuilderAndSpiralCaster) {
    for (int32_t phase : {0, 1}) {
        Field f;
        CObjectEnemy* builder = f.Enemy(69, 500, 200, phase);
        EXPECT_EQ(RunUntilGone(f, builder, kTypeBlock, 12), phase == 0 ? 9 : 18) << "phase " << phase;
        EXPECT_EQ(builder->state, kStateVanish);
    }

    Field f;
    tovarineGameSDK3rd::Math::CRand twin = f.g.playRand;
    CObjectEnemy* caster = f.Enemy(73, 500, 200);
    while (f.Made(kTypeEnemy).size() < 8) f.play.Run(1);
    std::vector<int32_t> phases, drawn;
    for (CObjectBase* o : f.Made(kTypeEnemy)) phases.push_back(o->phase), drawn.push_back(twin.Get() & 3);
    EXPECT_EQ(phases, drawn);
    RunUntilGone(f, caster, kTypeEnemy, 3);
    for (int i = 8; i < 64; ++i) twin.Get();  // one draw for each of the 64
    EXPECT_EQ(f.g.playRand.Get(), twin.Get());
    EXPECT_EQ(caster->state, kStateVanish);
}

}  // namespace
