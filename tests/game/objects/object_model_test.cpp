// The object model and its factories: the outside test, the trail, where each factory puts
// its object and what it refuses.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;
using tovarineGameSDK3rd::Draw::Rect;
using Point = IObjectShadow::SPoint;

TEST(ObjectModel, OutsideSideIsStrictAndTestsLeftFirst) {
    const SObjectKind kind;
    CObjectItem box(&kind);  // 20 x 10 on the rectangle below
    CObjectJelly jelly(&kind);
    jelly.SetSize(2, 1);  // 32 x 16 from its top-left
    const Rect r{100, 50, 300, 200};
    const struct {
        double x, y;
        uint8_t box, jelly;
    } rows[] = {
        {90, 100, kInside, kInside},  // the box touches the left edge: inside
        {89.5, 100, kOutsideLeft, kInside},
        {80, 40, kOutsideLeft, kInside},  // wholly left and above
        {95, 46, kInside, kInside},       // over two edges
        {200, 34, kOutsideAbove, kInside},
        {200, 33, kOutsideAbove, kOutsideAbove},
        {310, 100, kInside, kOutsideRight},
        {311, 100, kOutsideRight, kOutsideRight},
        {200, 206, kOutsideBelow, kOutsideBelow},
        {68, 200, kOutsideLeft, kInside},
        {67, 200, kOutsideLeft, kOutsideLeft},
    };
    for (const auto& row : rows) {
        box.x = jelly.x = row.x, box.y = jelly.y = row.y;
        EXPECT_EQ(std::tuple(box.GetOutsideSide(r, 20, 10), jelly.GetOutsideSide(r, 20, 10)),
                  std::tuple(row.box, row.jelly))
            << row.x << "," << row.y;
    }
}

TEST(ObjectModel, TrailKeepsItsLengthAndPlacesItsPointsOnTheScreen) {
    KindTableBuilder kinds;
    kinds.Object(2, "aimed");  // shot kind 0 aims itself at the hero
    SObjectKind& shot = kinds.Object(2, "shot");
    shot.cellWidth = 16, shot.cellHeight = 9;  // halves 8 and 4
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    g.progress.scrollX = 100.7, g.screenFx.shakeX = 3, g.screenFx.shakeY = -2;  // camera (103, -2)
    CObjectShotShadow* s = g.CreateShotShadow(1, 200, 100);
    s->trailLength = 3, s->motion.vx = 2.5, s->motion.vy = -1.25;
    play.Run(5);
    // The centres before the last three moves, truncated, newest first.
    EXPECT_EQ(s->trail, (std::list<Point>{{210, 95}, {207, 96}, {205, 97}}));
    EXPECT_EQ(s->trailScreen, (std::list<Point>{{99, 93}, {96, 94}, {94, 95}}));

    s->jitter = 1;
    tovarineGameSDK3rd::Math::CRand twin = g.playRand;
    play.Run(1);
    std::list<Point> expected;
    for (const Point& p : {Point{212, 93}, Point{210, 95}, Point{207, 96}}) {
        expected.push_back({p.x - 111 + static_cast<int32_t>(twin.Get() & 7) - 4, p.y - 2});
    }
    EXPECT_EQ(s->trailScreen, expected);
}

TEST(Factories, IndicesDelaysNamesAndTheBossVector) {
    KindTableBuilder kinds;
    kinds.Object(1, "enemy");
    kinds.Object(1, "クリスタル");
    kinds.Object(3, "block0");
    kinds.Object(3, "block1");
    kinds.Object(6, "boss");
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    const SKindTables& k = g.kinds;

    EXPECT_EQ(std::tuple(g.CreateEnemy(2, 0, 0, 0), g.CreateEnemy(-1, 0, 0, 0), g.CreateBlock(2, 0, 0, 0)),
              std::tuple(nullptr, nullptr, nullptr));
    EXPECT_TRUE(g.objects.empty() && g.pendingSpawns.empty());
    EXPECT_EQ(g.CreateCrystal(0, 0)->kind, &k.objects[1][1]);
    g.objects.clear();

    CObjectEnemy* now = g.CreateEnemy(0, 10, 20, 0);
    CObjectEnemy* later = g.CreateEnemy(0, 30, 40, 30);
    ASSERT_EQ(std::tuple(g.objects.size(), g.pendingSpawns.size()), std::tuple(1u, 1u));
    EXPECT_EQ(std::tuple(g.objects.front().GetNoCheck(), now->x, now->y),
              std::tuple(static_cast<CObjectBase*>(now), 10.0, 20.0));
    EXPECT_EQ(std::tuple(g.pendingSpawns.front().delay, g.pendingSpawns.front().object.GetNoCheck()),
              std::tuple(30, static_cast<CObjectBase*>(later)));

    EXPECT_EQ(g.CreateBlockByName("none", 0, 0, 0)->kind, &k.objects[3][0]);
    EXPECT_EQ(g.CreateBlockByName("block1", 0, 0, 0)->kind, &k.objects[3][1]);

    CObjectBoss* boss = g.CreateBoss(0, 1, 2, true);
    CObjectBossParts* part = g.CreateBossParts(0, 3, 4, false);
    ASSERT_EQ(g.bossObjects.size(), 2u);
    EXPECT_EQ(std::tuple(g.bossObjects[0].GetNoCheck(), g.bossObjects[1].GetNoCheck(), g.objects.back().GetNoCheck(),
                         g.bossObjects[0].GetRefCount(), boss->pose, part->pose),
              std::tuple(static_cast<CObjectBase*>(boss), static_cast<CObjectBase*>(part),
                         static_cast<CObjectBase*>(part), 2u, uint8_t{9}, uint8_t{0}));
}

TEST(Factories, EffectLifetimesAndKinds) {
    KindTableBuilder kinds;
    SEffectKind& cycle = kinds.Effect("cycle");
    cycle.frames = {0, 1, 2, 3}, cycle.frameTime = 6, cycle.angle = 64, cycle.speed = 2.0;
    kinds.Cutin();
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    g.backEffects.clear();  // the new game's ambient particles, of effect 1

    // No enemies, no terrain: no crystal, no jelly.
    EXPECT_EQ(std::tuple(g.CreateCrystal(0, 0), g.CreateJelly(0, 0), g.objects.size()), std::tuple(nullptr, nullptr, 0u));

    const CObjectEffect* one = g.CreateEffect(1, -1, 0, 0);
    EXPECT_EQ(std::tuple(one->lifetime, one->fullLifetime, g.CreateEffect(1, 0, 0, 0)->lifetime,
                         g.CreateBackEffect(1, -1, 0, 0)->lifetime, g.CreateEffectLandByName("cycle", -1, 0, 0)->lifetime),
              std::tuple(int16_t{24}, uint16_t{24}, int16_t{0}, int16_t{-1}, int16_t{24}));
    EXPECT_EQ(std::tuple(one->motion.vx, one->motion.vy), std::tuple(KestraneGameBase2::CosOf(64) * 2.0, 2.0));
    EXPECT_EQ(g.CreateEffect(2, -1, 0, 0), nullptr);
    EXPECT_EQ(std::tuple(g.effects.size(), g.backEffects.size(), g.landEffects.size()), std::tuple(2u, 1u, 1u));

    const CObjectCutin* cutin = g.CreateCutin(0, 320, 240, 100, 5);
    EXPECT_EQ(std::tuple(cutin->lifetime, cutin->fullLifetime, cutin->startDelay, g.cutins.size()),
              std::tuple(int16_t{100}, uint16_t{100}, int16_t{5}, 1u));

    // The score number needs effect entry 6.
    EXPECT_EQ(g.CreateScoreNumber(0, 0), nullptr);
    while (g.kinds.effects.size() < 7) g.kinds.effects.emplace_back();
    const CObjectENumber* number = g.CreateScoreNumber(5, 6);
    EXPECT_EQ(std::tuple(number->kind, number->value, number->lifetime), std::tuple(&g.kinds.effects[6], 0, int16_t{48}));

    g.textKind[0].priority = 3;
    CObjectFont* text = g.CreateFont(-1, 0, 0);
    EXPECT_EQ(std::tuple(text->kind, text->GetDrawPriority(), text->lifetime, g.effects.back().GetNoCheck()),
              std::tuple(&g.textKind[0], 12, int16_t{0}, static_cast<CObjectEffect*>(text)));
}

}  // namespace
