// Motion, the per-frame updates with their culling, steering and travel, and the fixture's
// repeatable frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/common/recording_surface.h"
#include "tests/game/support/play_fixture.h"

namespace {

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using morna::test::BarePass;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

TEST(Motion, StepLimitsAndFrictionStopsTheAxisThatWouldCrossZero) {
    ObjectMotion m;
    m.vx = 3, m.vy = 3, m.accel = 1, m.speedLimit = 2.5;
    m.Step();  // (4, 3) scaled to 2.5
    EXPECT_EQ(std::tuple(m.vx, m.vy), std::tuple(2.0, 1.5));

    m = ObjectMotion();
    m.vx = 1.2, m.frictionX = 0.5, m.vy = -0.5, m.frictionY = 0.25;
    std::vector<std::tuple<double, double>> seen;
    for (int i = 0; i < 3; ++i) m.ApplyFriction(), seen.emplace_back(m.vx, m.vy);
    EXPECT_EQ(seen, (std::vector<std::tuple<double, double>>{{0.7, -0.25}, {0.19999999999999996, 0}, {0, 0}}));
    // Crossing zero clears the friction; landing on it does not.
    EXPECT_EQ(std::tuple(m.frictionX, m.frictionY), std::tuple(0.0, 0.25));
}

TEST(Motion, GravityIsThePlayStatesAndAGameStartsWithItsOwn) {
    KindTableBuilder kinds;
    kinds.Object(4, "falls").gravity = 1;
    kinds.Object(4, "floats");
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    CObjectItem* falls = g.CreateItem(0, 100, 100);
    CObjectItem* floats = g.CreateItem(1, 100, 100);
    BarePass(g, *falls), BarePass(g, *floats);
    EXPECT_EQ(std::tuple(falls->motion.vy, floats->motion.vy), std::tuple(0.1225, 0.0));
    g.gravity = 0;
    g.ResetGame();
    EXPECT_EQ(g.gravity, 0.1225);
}

TEST(Update, KeepAliveRectanglesByType) {
    KindTableBuilder kinds;
    for (int section : {1, 2, 3, 6}) kinds.Object(section, "x").hitWidth = 20;
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    g.progress.scrollX = 1000;
    // The offset of the box's left edge beyond the view's right edge (1640).
    const struct {
        CObjectBase* (*create)(CGameResource&, int32_t x);
        int32_t offset;
        bool culled;
    } rows[] = {
        {[](CGameResource& game, int32_t x) -> CObjectBase* { return game.CreateEnemy(0, x, 240, 0); }, 300, true},
        {[](CGameResource& game, int32_t x) -> CObjectBase* { return game.CreateEnemy(0, x, 240, 0); }, 200, false},
        {[](CGameResource& game, int32_t x) -> CObjectBase* { return game.CreateShot(0, x, 240, 0); }, 50, true},
        {[](CGameResource& game, int32_t x) -> CObjectBase* { return game.CreateBlock(0, x, 240, 0); }, 50, false},
        {[](CGameResource& game, int32_t x) -> CObjectBase* { return game.CreateBoss(0, x, 240, false); }, 5000, false},
    };
    for (const auto& row : rows) {
        CObjectBase* object = row.create(g, 1640 + row.offset + 10);
        EXPECT_EQ(BarePass(g, *object), !row.culled) << object->GetType() << " at " << row.offset;
    }
}

TEST(Update, AnItemBouncesOffTheViewFiveTimesThenLeaves) {
    KindTableBuilder kinds;
    SObjectKind& item = kinds.Object(4, "item");
    item.gravity = 1, item.hitWidth = item.hitHeight = 8;
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    g.progress.scrollX = 2000;
    CObjectItem* thrown = g.CreateItem(0, 2010, 300);
    thrown->motion.vx = -3;
    std::vector<int> bounces;  // frames on which the count rose
    int frame = 0;
    for (uint8_t count = 0; !g.objects.empty() && frame < 5000; ++frame) {
        play.Run(1);
        if (!g.objects.empty() && thrown->bounceCount != count) count = thrown->bounceCount, bounces.push_back(frame);
    }
    ASSERT_EQ(bounces.size(), 5u);
    EXPECT_EQ(bounces[0], 4);  // x 1998 after four moves: off the left edge
    EXPECT_LT(frame, 5000);    // then culled
}

TEST(Update, JellyGrowsBackAndPaysItsEatenScoreOnce) {
    KindTableBuilder kinds;
    kinds.Object(5, "ゼリー").score = 30;
    PlayFixture play(kinds);
    CGameResource& g = *play.game;
    CObjectJelly* jelly = g.CreateJelly(400, 200);
    jelly->SetSize(3, 2);
    jelly->Cell(1, 0)[0] = CObjectJelly::kEaten, jelly->eatenScore = 30;  // eaten on frame 0
    std::vector<int> back, paid;
    for (int frame = 1; frame <= 121; ++frame) {
        play.Run(1);
        if (jelly->Cell(1, 0)[0] == 0 && back.empty()) back.push_back(frame);
        paid.push_back(g.status.score);
    }
    EXPECT_EQ(back, std::vector<int>{120});
    EXPECT_EQ(std::tuple(paid.front(), paid.back()), std::tuple(30, 30));
    jelly->Cell(0, 1)[0] = 5;
    jelly->UpdateNeighbours();  // (0, 0) loses its neighbour below (bit 4): right and down-right remain
    EXPECT_EQ(std::tuple(jelly->Cell(0, 0)[1], jelly->Cell(1, 1)[1]), std::tuple(0b01100000, 0b11000011));
}

TEST(Update, BarriersFlickerOnOneDrawEachAndTheHeroFadesInPose5) {
    PlayFixture play;
    CGameResource& g = *play.game;
    tovarineGameSDK3rd::Math::CRand twin = g.playRand;
    g.player->pose = 5, g.player->alpha = 5;
    for (int frame = 0; frame < 3; ++frame) {
        for (CObjectBarrier* b : {g.barriers[0].GetNoCheck(), g.barriers[1].GetNoCheck()}) {
            BarePass(g, *b);
            EXPECT_EQ(b->alpha, twin.Get() % 30 == 0 ? 255 : 128);
        }
        BarePass(g, *g.player);
    }
    EXPECT_EQ(std::tuple(g.playRand.Get(), g.player->alpha), std::tuple(twin.Get(), uint8_t{0}));  // 5, 3, 0
}

TEST(Steering, TurningAndHeadingsFromPositions) {
    ObjectMotion m;
    m.vx = CosOf(250) * 2, m.vy = SinOf(250) * 2;
    // A velocity set at angle a reads back as a - 1 for 2 and 9.
    std::vector<int> turns;
    for (int i = 0; i < 3; ++i) turns.push_back(m.TurnToward(8, 10));
    EXPECT_EQ(turns, (std::vector<int>{2, 9, 10}));

    const SObjectKind kind;
    CObjectItem item(&kind);
    const std::pair<double, int> cases[] = {{40.0, 232}, {20.0, 20}, {-8.0, 216}};
    for (const auto& [y, angle] : cases) {
        item.y = y;
        item.SetVelocityFromPosition(3.0);
        const uint8_t a = static_cast<uint8_t>(angle);
        EXPECT_EQ(std::tuple(item.motion.vx, item.motion.vy), std::tuple(CosOf(a) * 3.0, SinOf(a) * 3.0)) << y;
    }
}

TEST(Steering, TravelTimerBrakingAndSnap) {
    KindTableBuilder kinds;
    kinds.Object(1, "e").mass = 5;
    PlayFixture play(kinds);
    CObjectEnemy& e = *play.game->CreateEnemy(0, 100, 100, 0);
    e.MoveToward(1, 3.0, 0.5, 4.0, 100, 100);  // its own centre
    EXPECT_EQ(std::tuple(e.moving, e.motion.accel), std::tuple(uint8_t{0}, 0.0));
    const auto timer = [&e](uint8_t stop, double accel, double limit) {
        e.MoveToward(stop, 2.0, accel, limit, 130, 140);  // 50 away
        return e.travelTimer;
    };
    EXPECT_EQ(std::tuple(timer(0, 0.5, 4.0), timer(1, 0.5, 4.0), timer(0, 0, -1)), std::tuple(30, 60, 61));

    // Mode 1, mass 5, speed 3: braking starts below 9 px to go, for int(3 / 0.5) frames.
    e.MoveToward(1, 3.0, 0.5, 3.0, 200, 100);
    e.x = 191, e.UpdateTravel();
    EXPECT_TRUE(e.IsApproaching());
    e.x = 191.5, e.UpdateTravel();
    EXPECT_EQ(std::tuple(e.IsApproaching(), e.travelTimer, e.motion.frictionX, e.motion.accel),
              std::tuple(false, 6, 0.5, 0.0));
    for (int i = 0; i < 7; ++i) e.UpdateTravel();  // the timer runs out: stopped
    EXPECT_EQ(std::tuple(e.moving, e.motion.vx, e.motion.frictionX), std::tuple(uint8_t{0}, 0.0, 0.0));

    // Mode 0 at 6 px a frame brakes too, and snaps on within 6 px, keeping its velocity.
    e.MoveToward(0, 6.0, 0.5, 6.0, 300, 100);
    e.x = 293.5, e.UpdateTravel();
    EXPECT_EQ(std::tuple(e.moving, e.x, e.motion.frictionX > 0), std::tuple(uint8_t{1}, 293.5, true));
    e.x = 294.5, e.UpdateTravel();
    EXPECT_EQ(std::tuple(e.moving, e.x, e.y, e.motion.vx), std::tuple(uint8_t{0}, 300.0, 100.0, 6.0));
}

// Every field a frame changes, doubles as their bits.
std::vector<uint8_t> Snapshot(CGameResource& g) {
    std::vector<uint8_t> bytes;
    const auto put = [&bytes](const auto& v) {
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        bytes.insert(bytes.end(), p, p + sizeof v);
    };
    std::vector<CObjectBase*> all{g.barriers[0].GetNoCheck()};
    for (const auto& o : g.objects) all.push_back(o.GetNoCheck());
    for (CObjectBase* o : all) {
        put(o->GetType()), put(o->x), put(o->y), put(o->motion.vx), put(o->motion.vy), put(o->motion.frictionX);
        put(o->state), put(o->alpha), put(o->screenX), put(o->screenY), put(o->animCounter), put(o->bounceCount);
        if (auto* s = dynamic_cast<IObjectShadow*>(o)) {
            for (const auto& p : s->trailScreen) put(p);
        }
    }
    put(g.playRand.Get());
    return bytes;
}

TEST(PlayFixture, FramesRepeatWithTheSeedsAndDrawsAreRecorded) {
    KindTableBuilder kinds;
    SObjectKind& enemy = kinds.Object(1, "enemy");
    enemy.mass = 3, enemy.frames = {0, 1}, enemy.frameTime = 4, enemy.cellWidth = enemy.cellHeight = 16;
    kinds.Object(4, "item").gravity = 1;
    const auto run = [&kinds](bool draw) {
        PlayFixture play(kinds);
        play.images.Add(7, 64, 32);
        CGameResource& g = *play.game;
        g.CreateEnemy(0, 600, 100, 0)->MoveToward(1, 1.0, 0.2, 3.0, 200, 300);
        CObjectEnemyShadow* shadow = g.CreateEnemyShadow(0, 300, 200, 0);
        shadow->trailLength = 4, shadow->jitter = 1, shadow->motion.vx = -0.7;
        for (int i = 0; i < 3; ++i) g.CreateItem(0, 100 + 150 * i, 50)->SetVelocityFromPosition(2.0 + i);
        for (int frame = 0; frame < 100; ++frame) play.Run(1), BarePass(g, *g.barriers[0]);
        if (draw) {
            morna::test::RecordingSurface target(640, 480);
            const CObjectBase& e = *g.objects.front();
            const tovarineGameSDK3rd::Draw::Rect cell{16, 0, 32, 16};
            KestraneGameBase2::CBltSupport::BltKeyedCopy(target, KestraneGameBase2::CImageLoader::GetImage(7),
                                                         e.screenX, e.screenY, &cell);
            const std::vector<morna::test::DrawCall> blits = target.Calls("blt");
            EXPECT_EQ(blits.size(), 1u);
            char brief[64];
            std::snprintf(brief, sizeof brief, "1 (%d,%d) 64x32 [16,0,32,16]", e.screenX, e.screenY);
            EXPECT_EQ(std::tuple(blits.at(0).image, blits.at(0).Brief()), std::tuple(7, std::string(brief)));
            // A turned draw logs its polygon: the destination points, then the source's.
            const tovarineGameSDK3rd::Draw::Point dst[4] = {{10, 0}, {26, 10}, {16, 26}, {0, 16}};
            const tovarineGameSDK3rd::Draw::Point src[4] = {{16, 0}, {32, 0}, {32, 16}, {16, 16}};
            const tovarineGameSDK3rd::Draw::PolyBltGeometry poly{src, dst, nullptr, 0, 4};
            target.PolyBlt(1, KestraneGameBase2::CImageLoader::GetImage(7).GetSurfaceInfo(), &poly, 0);
            const std::vector<morna::test::DrawCall> polys = target.Calls("polyblt");
            EXPECT_EQ(polys.size(), 1u);
            const std::vector<tovarineGameSDK3rd::Draw::Point>& points = polys.at(0).polygon;
            EXPECT_EQ(std::tuple(polys[0].image, points.size(), points.at(1).x, points.at(5).x), std::tuple(7, 8u, 26, 32));
        }
        return Snapshot(g);
    };
    EXPECT_EQ(run(true), run(false));
}

}  // namespace
