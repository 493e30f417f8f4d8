// Hit areas, contact directions, bounces and knock-backs, the classes' reactions and the
// hero's confinement, as tables and timelines.
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

SObjectKind Kind(uint16_t w, uint16_t h, uint8_t shape = 0) {
    SObjectKind k;
    k.hitWidth = w, k.hitHeight = h, k.hitShape = shape;
    return k;
}

template <class T = CObjectEnemy>
T At(const SObjectKind& kind, double x, double y) {
    T o(&kind);
    o.x = x, o.y = y;
    return o;
}

TEST(HitArea, RectanglesCirclesAndTrapezoids) {
    const SObjectKind box = Kind(32, 32), circle = Kind(16, 16, 1), tall = Kind(20, 40, 2);
    const CObjectEnemy r = At(box, 100, 100);  // [84, 116) x [84, 116)
    EXPECT_FALSE(At(box, 132, 100).Overlaps(r));  // sharing an edge
    EXPECT_TRUE(At(box, 131, 100).Overlaps(r));
    // A radius-8 circle level with the middle: half-open widened edges; a corner 6 px left
    // and above lies 8.49 away, truncated to 8, which r = 8 does not exceed.
    const std::vector<std::tuple<double, double, bool>> circles = {
        {76, 100, true}, {75, 100, false}, {123, 100, true}, {124, 100, false}, {78, 78, false}, {79, 79, true}};
    for (const auto& [x, y, hit] : circles) {
        EXPECT_EQ(At(circle, x, y).Overlaps(r), hit) << x << "," << y;
        EXPECT_EQ(r.Overlaps(At(circle, x, y)), hit) << x << "," << y;
    }
    EXPECT_TRUE(At(circle, 100, 100).Overlaps(At(circle, 116, 100)));  // 8 + 8 >= 16
    EXPECT_FALSE(At(circle, 100, 100).Overlaps(At(circle, 116.5, 100)));
    // The trapezoid's bottom corners lie at +-hh (20), beyond its +-hw (10) rectangle: a
    // circle there meets only the slanted side, and only as the circle's own test.
    const CObjectEnemy trapezoid = At(tall, 0, 0);
    EXPECT_TRUE(At(circle, -26, 20).Overlaps(trapezoid));
    EXPECT_FALSE(trapezoid.Overlaps(At(circle, -26, 20)));
    EXPECT_FALSE(At(circle, -29, 20).Overlaps(trapezoid));
}

TEST(HitArea, ContactDirectionsAndTheTerrainsDiagonals) {
    const SObjectKind k = Kind(32, 32);
    CObjectLand land = At<CObjectLand>(k, 0, 0);
    const CObjectEnemy body = At(k, 0, 0);
    // Points at angles 32, 96, 160, 224, and 252 (within 224-255).
    const std::vector<std::tuple<double, double, uint8_t, uint8_t, uint8_t>> rows = {
        // x, y, base, vertical terrain, horizontal terrain
        {10, 10, 64, 64, 0}, {-10, 10, 128, 64, 128}, {-10, -10, 192, 192, 128},
        {10, -10, 0, 192, 0}, {10, -1, 0, 0, 0}, {0, 10, 64, 64, 64}};
    for (const auto& [x, y, base, vertical, horizontal] : rows) {
        land.verticalContact = 1;
        const uint8_t v = land.GetContactDirection(x, y);
        land.verticalContact = 0;
        EXPECT_EQ(std::tuple(body.GetContactDirection(x, y), v, land.GetContactDirection(x, y)),
                  std::tuple(base, vertical, horizontal))
            << x << "," << y;
    }
}

TEST(Contact, BouncesOffTerrainByMassAndPushesOut) {
    PlayFixture play;
    SObjectKind ground = Kind(64, 32), flat = Kind(64, 0), ball = Kind(16, 16);
    ball.gravity = 1, ball.reaction = 2, ball.mass = 8;
    CObjectLand land = At<CObjectLand>(ground, 0, 0), flatLand = At<CObjectLand>(flat, 0, 0);
    CObjectEnemy b = At(ball, 0, -20);  // 4 px into the top at -16
    b.motion.vy = 3;
    std::vector<std::tuple<double, double, int>> seen;  // vy, y (on the surface), contact time
    for (int i = 0; i < 4; ++i) {
        b.y = -20, b.contactTimer = 0;
        EXPECT_TRUE(b.Collide(&land));
        seen.emplace_back(b.motion.vy, b.y, b.contactTimer);
    }
    using Row = std::tuple<double, double, int>;
    EXPECT_EQ(seen, (std::vector<Row>{{-1, -24, 1}, {1.0 / 3, -24, 1}, {0, -24, 1}, {0, -24, 1}}));
    EXPECT_EQ(b.bounceCount, 4);
    // Mass 1 rebounds whole; a rebound inside the contact time counts no bounce.
    ball.mass = 1, b.y = -20, b.motion.vy = 3, b.contactTimer = 0, b.bounceCount = 0;
    b.Collide(&land);
    EXPECT_TRUE(b.Bounce(192, 1.0));
    EXPECT_EQ(std::tuple(b.motion.vy, b.bounceCount, b.contactTimer), std::tuple(3.0, 1, 60));
    b.ResolveOverlap(flatLand, false);  // a flat terrain pushes nothing
    ball.reaction = 0;
    b.Collide(&land);
    EXPECT_EQ(std::tuple(b.y, b.state), std::tuple(-20.0, kStateVanish));
}

TEST(Contact, KnockBackByTheMasses) {
    PlayFixture play;
    // mass, other's mass, other's pose, flash -> vx, along angle 0
    const std::vector<std::array<int, 5>> rows = {
        {10, 5, 0, 0, 0}, {0, 5, 0, 0, 10}, {0, 5, 10, 0, 20}, {4, 2, 0, 0, 5}, {4, 2, 0, 3, 0}};
    for (const auto& [mass, otherMass, pose, flash, vx] : rows) {
        SObjectKind self = Kind(16, 16), other = Kind(16, 16);
        self.mass = static_cast<uint8_t>(mass), other.mass = static_cast<uint8_t>(otherMass);
        CObjectEnemy a = At(self, 10, 0), b = At(other, 0, 0);
        b.pose = static_cast<uint8_t>(pose), a.flashTimer = static_cast<uint8_t>(flash);
        a.KnockBack(b);
        EXPECT_EQ(std::tuple(a.motion.vx, a.motion.frictionX), std::tuple(double(vx), vx != 0 ? mass * 0.25 : 0))
            << mass;
    }
}

struct ContactPlay : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder k;
        for (int i = 0; i < 3; ++i) k.Tables().objects[0][i].hitWidth = k.Tables().objects[0][i].hitHeight = 16;
        k.Tables().objects[0][1].power = 30;
        SObjectKind& enemy = k.Object(1, "enemy");
        enemy.hitWidth = enemy.hitHeight = 16, enemy.power = 100, enemy.life = 50;
        SObjectKind& lava = k.Object(5, "lava");
        lava.hitWidth = lava.hitHeight = 32, lava.power = 20;
        SObjectKind& jelly = k.Object(5, "ゼリー");
        jelly.hitWidth = 16, jelly.score = 10;
        k.Object(2, "shot").power = 7;
        return k;
    }
    ContactPlay() : PlayFixture(Kinds()) {}
};

TEST(Contact, TheHeroIsHurtOncePer90FramesByEnemiesAndEveryFrameByTerrain) {
    ContactPlay play;
    CGameResource& g = *play.game;
    CObjectAvatar& hero = *g.player;
    hero.x = 100, hero.y = 100, hero.hp = 0;
    CObjectEnemy* enemy = g.CreateEnemy(0, 108, 100, 0);
    int hits = 0;
    for (int f = 0; f < 181; ++f) {
        if (hero.coolTimer > 0) --hero.coolTimer;  // the update's count comes before contact
        hero.flashTimer = 0, hero.x = 100, enemy->x = 108;
        hero.Collide(enemy);
    }
    for (int32_t id : play.TakeSoundIds()) hits += id == 107;
    EXPECT_EQ(std::tuple(hits, hero.hp), std::tuple(3, -300));
    CObjectLand* lava = g.CreateLand(0, 100, 120);
    hero.hp = 0;
    for (int f = 0; f < 3; ++f) hero.y = 100, hero.Collide(lava);
    EXPECT_EQ(std::tuple(hero.hp, hero.pose, hero.poseTimer, hero.pushUp), std::tuple(-60, 2, 15, 4.0));
}

TEST(Contact, BarrierHitsRecoilAndQueueBursts) {
    ContactPlay play;
    CGameResource& g = *play.game;
    CObjectBarrier& barrier = *g.barriers[0];
    barrier.x = 100, barrier.y = 100;
    CObjectEnemy* enemy = g.CreateEnemy(0, 104, 100, 0);
    EXPECT_FALSE(barrier.Collide(enemy));  // 50 - 30: survives, sound 111
    EXPECT_EQ(std::tuple(barrier.hitCount, enemy->hp, barrier.x, enemy->x), std::tuple(1u, 20, 94.0, 104.5));
    barrier.x = 100;
    barrier.Collide(enemy);  // killed: 10 more
    EXPECT_EQ(std::tuple(barrier.hitCount, enemy->state), std::tuple(12u, kStateKilled));
    EXPECT_EQ(play.TakeSoundIds(), (std::vector<int32_t>{111}));
    ASSERT_EQ(barrier.burstQueue.size(), 2u);
    EXPECT_EQ(barrier.burstQueue.back().size, 2);  // (16 + 16) / 2 >> 3
    // Size 0 spreads nothing and draws nothing.
    barrier.PushBurst({40, 0});
    tovarineGameSDK3rd::Math::CRand twin = g.playRand;
    uint8_t a = 0;
    EXPECT_TRUE(barrier.PopBurstAngle(a, g.playRand));
    EXPECT_EQ(std::tuple(a, g.playRand.Get()), std::tuple(40, twin.Get()));
    EXPECT_TRUE(barrier.PopBurstAngle(a, g.playRand));
    EXPECT_EQ(a, static_cast<uint8_t>(twin.Get() % 4 - 2));
}

TEST(Contact, ReflectorsSpendThemselvesAndBarriersEatJelly) {
    ContactPlay play;
    CGameResource& g = *play.game;
    SObjectKind undying = g.kinds.objects[1][0];
    undying.undying = 1;
    CObjectEnemy boss = At(undying, 100, 100);
    boss.hp = 1000;
    CObjectReflect* reflector = g.CreateReflect(&g.kinds.objects[2][0], 100, 100);
    EXPECT_TRUE(reflector->Collide(&boss));
    EXPECT_EQ(std::tuple(boss.hp, boss.state, reflector->state), std::tuple(500, kStateKilledBySpecial, kStateKilledBySpecial));
    EXPECT_EQ(play.TakeSoundIds(), (std::vector<int32_t>{114}));

    CObjectJelly* jelly = g.CreateJelly(0, 0);
    jelly->SetSize(3, 2);
    g.barriers[0]->x = 16, g.barriers[0]->y = 16;  // radius 8 from the corner of four cells
    EXPECT_TRUE(jelly->Collide(g.barriers[0].GetNoCheck()));
    int eaten = 0;
    for (size_t i = 0; i < jelly->cells.size(); i += 2) eaten += jelly->cells[i] == CObjectJelly::kEaten;
    EXPECT_EQ(std::tuple(eaten, jelly->eatenScore), std::tuple(4, 40));
    EXPECT_EQ(play.TakeSoundIds(), (std::vector<int32_t>{57, 57, 57, 57}));
    // The hero only brakes, on a cell still there.
    g.player->x = 40, g.player->y = 8;
    EXPECT_FALSE(jelly->Collide(g.player.GetNoCheck()));
    EXPECT_TRUE(g.player->IsBraking());
}

// One frame's confinement after the hero met the pieces around him: 32-pixel ground tiles, a
// boss's solid part (100 x 100, mass 10, no power, undying) and a pudding cup (56 x 40, which
// sets him on a surface 28 px over its centre), in a 640 x 480 view. At the top and bottom he is
// held only where pieces pushing him up or down would carry his whole box (24 px high) out of
// the view; walls at his sides hold nothing there. A rescue hurts him by 2500 and puts him on
// the ground point (the view's middle column, y 0 without a map); nothing else hurts him. On
// the last stage no push carries his centre past an edge.
TEST(Confine, RescuedWhereHeldOutsideTheViewOtherwisePushedByBoth) {
    ContactPlay play;
    CGameResource& g = *play.game;
    CObjectAvatar& hero = *g.player;
    SObjectKind tile = Kind(32, 32), part = Kind(100, 100), pudding = Kind(56, 40);
    part.mass = 10, part.undying = 1;
    SObjectKind body = *hero.kind;
    body.hitWidth = 20, body.hitHeight = 24;
    const SObjectKind* const own = hero.kind;
    hero.kind = &body;
    struct Piece {
        const SObjectKind* kind;
        double x, y;
    };
    // Stage 0's ground at the view's bottom right: an ice row over a dirt row, the bounds
    // ending halfway down the dirt.
    std::vector<Piece> ground;
    for (double x : {560.0, 592.0, 624.0}) ground.push_back({&tile, x, 448}), ground.push_back({&tile, x, 480});
    struct Row {
        const char* what;
        std::vector<Piece> pieces;
        double x, y;
        uint8_t pose;
        bool crushCheck;
        double scrollX, scrollY, pushUp, pushDown, pushLeft, pushRight;  // pushes met before the pieces
        bool rescued;
        double endX, endY;
    };
    const std::vector<Row> rows = {
        {"under the floor, the dirt pushing down", ground, 634, 497, 0, true, 0, 0, 0, 0, 0, 0, true, 320, 0},
        {"the same on the last stage", ground, 634, 497, 0, false, 0, 0, 0, 0, 0, 0, false, 634, 480},
        {"the same in the walk-off", ground, 634, 497, 16, true, 0, 0, 0, 0, 0, 0, false, 634, 508},
        {"over the top, a part below", {{&part, 300, 50}}, 300, -3, 0, true, 0, 0, 0, 0, 0, 0, true, 320, 0},
        {"the same on the last stage", {{&part, 300, 50}}, 300, -3, 0, false, 0, 0, 0, 0, 0, 0, false, 300, 0},
        {"a part lifting him to a box just inside the top", {{&part, 300, 50.5}}, 300, -3, 0, true, 0, 0, 0, 0, 0, 0,
         false, 300, -8.5},
        {"the same on the last stage", {{&part, 300, 50.5}}, 300, -3, 0, false, 0, 0, 0, 0, 0, 0, false, 300, -8.5},
        {"a part pressing him to a box just inside the bottom", {{&part, 300, 429.5}}, 300, 483, 0, true, 0, 0, 0, 0, 0, 0,
         false, 300, 488.5},
        {"the same on the last stage", {{&part, 300, 429.5}}, 300, 483, 0, false, 0, 0, 0, 0, 0, 0, false, 300, 488.5},
        {"a part pressing him wholly under the bottom", {{&part, 300, 430}}, 300, 483, 0, true, 0, 0, 0, 0, 0, 0,
         true, 320, 0},
        {"the same on the last stage", {{&part, 300, 430}}, 300, 483, 0, false, 0, 0, 0, 0, 0, 0, false, 300, 480},
        // A ledge sets his feet on its surface: inside the view, the edge only pushes against it.
        {"landed on a ledge 10 px under the top", {{&tile, 300, 26}}, 300, -1.5, 0, true, 0, 0, 0, 0, 0, 0,
         false, 300, -0.5},
        {"down at 7.8 a frame onto a ledge 2 px under the top", {{&tile, 300, 18}}, 300, -10 + 7.8, 0, true, 0, 0, 0, 0, 0, 0,
         false, 300, -7.8},
        {"the top edge scrolled 4 px past him on a ledge", {{&tile, 300, 27.5}}, 300, 0, 0, true, 0, 4, 0, 0, 0, 0,
         false, 300, 3.5},
        {"a part at the right edge", {{&part, 634, 240}}, 664, 240, 0, true, 0, 0, 0, 0, 0, 0, false, 640, 240},
        {"the same on the last stage", {{&part, 634, 240}}, 664, 240, 0, false, 0, 0, 0, 0, 0, 0, false, 640, 240},
        {"the same in the walk-off", {{&part, 634, 240}}, 664, 240, 16, true, 0, 0, 0, 0, 0, 0, false, 694, 240},
        {"sums exactly on the bottom edge", {}, 300, 490, 0, true, 0, 0, 16, 6, 0, 0, false, 300, 480},
        {"sums exactly on the top edge", {}, 300, -10, 0, true, 0, 0, 6, 16, 0, 0, false, 300, 0},
        {"on the floor, a part pressing less", {{&tile, 300, 448}, {&part, 300, 370}}, 300, 430, 0, true, 0, 0, 0, 0, 0, 0,
         false, 300, 422},
        {"between two walls", {{&tile, 282, 240}, {&tile, 320, 240}}, 300, 240, 0, true, 0, 0, 0, 0, 0, 0, false, 302, 240},
        {"between a wall and the scrolling left edge", {{&tile, 120, 240}}, 97, 240, 0, true, 100, 0, 0, 0, 0, 0,
         true, 420, 0},
        // Held on the edge, not 3 px past it where the wall's push would leave him (97).
        {"the same on the last stage", {{&tile, 120, 240}}, 97, 240, 0, false, 100, 0, 0, 0, 0, 0, false, 100, 240},
        {"a part 30 px into him past the scrolling left edge, last stage", {{&part, 125, 240}}, 95, 240, 0, false,
         100, 0, 0, 0, 0, 0, false, 100, 240},
        {"the same from inside the view", {{&part, 135, 240}}, 105, 240, 0, false, 100, 0, 0, 0, 0, 0, false, 100, 240},
        // Past the edge, where the edge's push on the next frame finds him crushed.
        {"the same on another stage", {{&part, 135, 240}}, 105, 240, 0, true, 100, 0, 0, 0, 0, 0, false, 75, 240},
        {"squeezed only sideways under the bottom", {}, 300, 495, 0, true, 0, 0, 0, 0, 2, 2, false, 300, 480},
        {"the same on the last stage", {}, 300, 495, 0, false, 0, 0, 0, 0, 2, 2, false, 300, 480},
        {"squeezed only sideways over the top", {}, 300, -13, 0, true, 0, 0, 0, 0, 2, 2, false, 300, 0},
        // The top edge scrolling down presses him onto a harmless pudding cup whose surface it
        // has passed: crushed, as between a wall and the left edge.
        {"the view scrolled down onto him on a pudding cup", {{&pudding, 300, 125}}, 300, 98, 0, true, 0, 100, 0, 0,
         0, 0, true, 320, 0},
        {"pushed from the left edge only", {}, -5, 240, 0, true, 0, 0, 0, 0, 10, 0, true, 320, 0},
        {"pushed in the view", {}, 300, 240, 0, true, 0, 0, 2, 0, 3, 4, false, 301, 238},
        {"beyond the right and bottom edges", {}, 650, 500, 0, true, 0, 0, 0, 0, 0, 0, false, 640, 480},
    };
    for (const Row& r : rows) {
        g.progress.scrollX = r.scrollX, g.progress.scrollY = r.scrollY;
        hero.x = r.x, hero.y = r.y, hero.pose = r.pose, hero.coolTimer = 0;
        hero.pushUp = r.pushUp, hero.pushDown = r.pushDown, hero.pushLeft = r.pushLeft, hero.pushRight = r.pushRight;
        g.status.hp = 10000;
        for (const Piece& p : r.pieces) {
            if (p.kind == &tile) {
                CObjectLand land = At<CObjectLand>(tile, p.x, p.y);
                hero.Collide(&land);
            } else if (p.kind == &pudding) {
                CObjectPudding cup = At<CObjectPudding>(pudding, p.x, p.y);
                hero.Collide(&cup);
            } else {
                CObjectBossParts solid(&part);
                solid.x = p.x, solid.y = p.y;
                hero.Collide(&solid);
            }
        }
        g.ConfinePlayer(&hero, r.crushCheck);
        EXPECT_EQ(std::tuple(g.status.hp, hero.x, hero.y), std::tuple(r.rescued ? 7500 : 10000, r.endX, r.endY)) << r.what;
        EXPECT_EQ(std::tuple(hero.pushUp, hero.pushDown, hero.pushLeft, hero.pushRight), std::tuple(0.0, 0.0, 0.0, 0.0)) << r.what;
        if (r.rescued) {
            EXPECT_EQ(std::tuple(hero.pose, hero.poseTimer, hero.coolTimer), std::tuple(2, 30, 120)) << r.what;
        }
    }
    hero.kind = own;
}

}  // namespace
