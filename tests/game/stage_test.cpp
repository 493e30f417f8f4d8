// The stage flow: map columns as objects, the event timelines, the scroll and background frame
// by frame, the ambient particles against a model of their draws, the stage and game starts,
// and the committed stage 0 played to its boss and retried from its checkpoint.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/bgm_player.h"
#include "framework/sine_table.h"
#include "platform/file_system.h"
#include "tests/game/support/play_fixture.h"

namespace {

using Obj = std::tuple<int, int, int, int, int, int>;  // type, kind, x, y, phase, hp
using Fx = std::tuple<int, int, int, uint32_t>;        // effect id, x, y, work value
using Objs = std::vector<Obj>;

// Enemies 0-65 (0 the crystal), blocks 0-23, an item, terrain: lands 0-4, puddings 5-8, the
// jelly 9; effects 1-24.
morna::test::KindTableBuilder StageKinds() {
    morna::test::KindTableBuilder k;
    for (int i = 0; i < 66; ++i) k.Object(1, i == 0 ? "クリスタル" : ("e" + std::to_string(i)).c_str());
    for (int i = 0; i < 24; ++i) k.Object(3, ("b" + std::to_string(i)).c_str());
    k.Object(4, "i0");
    for (const char* name : {"l0", "l1", "l2", "l3", "l4", "プリン", "p1", "p2", "p3", "ゼリー"}) k.Object(5, name);
    for (int i = 1; i <= 24; ++i) k.Effect(("fx" + std::to_string(i)).c_str());
    return k;
}

struct StagePlay : morna::test::PlayFixture {
    StagePlay() : PlayFixture(StageKinds()) { g.backEffects.clear(); }
    void Clear() { g.objects.clear(), g.pendingSpawns.clear(), g.landEffects.clear(); }
    // The map from parts of text: rows, an empty line, the part's table.
    void Map(int stage, std::initializer_list<const char*> parts) {
        g.progress.stage = stage, g.stageMap.Clear();
        int part = 0;
        for (const char* text : parts) ParseStagePart(text, part++, g.kinds.objectNames[1], g.stageMap);
    }
    Objs Field() {  // the object list, then the pending spawns
        Objs out;
        const auto add = [&](const CObjectBase& o) {
            out.emplace_back(o.GetType(), o.kind->index, o.x, o.y, o.phase, o.hp);
        };
        for (const auto& o : g.objects) add(*o);
        for (const auto& p : g.pendingSpawns) add(*p.object);
        return out;
    }
    std::vector<Fx> Effects() {
        std::vector<Fx> out;
        for (const auto& e : g.landEffects)
            out.emplace_back(e->kind - g.kinds.effects.data(), e->x, e->y, e->effectReserved);
        return out;
    }
    CGameResource& g = *game;
};

TEST(MapSpawner, CellsOfEachStageAndTerrainOnly) {
    StagePlay s;
    CGameResource& g = s.g;
    for (bool terrainOnly : {true, false}) {
        s.Clear(), s.Map(0, {" $\r\nb \r\nB \r\nw \r\nW \r\n3 \r\nd \r\n3+\r\n\r\n+\t1\te2\r\n"});
        g.SpawnMapColumn(0, terrainOnly);
        Objs field{{9, 0, 704, 32, 0, 0}, {9, 4, 704, 64, 0, 0}, {9, 3, 704, 64, 0, 0}};
        if (!terrainOnly) field.insert(field.begin(), {2, 0, 704, 0, 0, 0}), field.push_back({2, 2, 704, 224, 3, 0});
        EXPECT_EQ(s.Field(), field);
        EXPECT_EQ(s.Effects(), (std::vector<Fx>{{22, 704, 96, 0}, {23, 704, 128, 0}, {24, 800, 160, 3}, {19, 704, 192, 0}}));
    }
    const CObjectBase& crystal = *g.objects.front();  // "$" at column 0, row 0: angle 96
    EXPECT_EQ(std::pair(crystal.motion.vx, crystal.motion.vy),
              std::pair(KestraneGameBase2::CosOf(96) * 3.0, KestraneGameBase2::SinOf(96) * 3.0));

    // Stage 1: signs, numbered blocks, and a letter of two entries (the second delayed 16).
    s.Clear(), s.Map(1, {"u \r\n6 \r\n5 \r\n3+\r\n1-\r\n G\r\nd \r\n\r\nG\t0\te5\r\nG\t0.5\te6\r\n"});
    g.SpawnMapColumn(0, false);
    EXPECT_EQ(s.Field(), (Objs{{8, 21, 704, 96, 6, 0}, {8, 22, 704, 128, 2, 0}, {2, 5, 704, 160, 0, 0}, {2, 6, 704, 160, 0, 0}}));
    EXPECT_EQ(g.pendingSpawns.back().delay, 16);
    EXPECT_EQ(s.Effects(), (std::vector<Fx>{{7, 704, 0, 0}, {15, 708, 36, 0}, {20, 704, 64, 0}, {10, 704, 192, 0}}));

    // Stage 2 at column 1: land hp r + c, puddings at their offsets, the jelly, then block G.
    s.Clear(), s.Map(2, {"  b \r\n  p \r\n  q \r\n  P \r\n  Q \r\n  j \r\n   G\r\n\r\n1\t5\tゼリー\t3\t2\r\n"});
    g.SpawnMapColumn(1, true);
    EXPECT_EQ(s.Field(), (Objs{{9, 2, 736, 0, 0, 1}, {10, 5, 736, 16, 0, 0}, {10, 6, 736, 80, 0, 0}, {10, 7, 736, 32, 0, 0},
                               {10, 8, 736, 192, 0, 0}, {11, 9, 724, 148, 1, 0}}));
    const auto& jelly = static_cast<const CObjectJelly&>(*g.objects.back());
    EXPECT_EQ(std::tuple(jelly.cellsWide, jelly.cellsHigh, jelly.cells.size(), jelly.alpha), std::tuple(6, 4, 48u, 224));
    g.SpawnMapColumn(1, false);
    EXPECT_EQ(s.Field().back(), Obj(8, 23, 736, 192, 0, 0));
    // Without "プリン" the puddings are kinds 0-3, none past the section.
    s.Clear(), g.kinds.objectNames[5].erase("プリン"), g.kinds.objects[5].resize(3), g.SpawnMapColumn(1, true);
    EXPECT_EQ(s.Field(), (Objs{{9, 2, 736, 0, 0, 1}, {10, 0, 736, 16, 0, 0}, {10, 1, 736, 80, 0, 0}, {10, 2, 736, 32, 0, 0}}));

    // The second map part starts at the first one's end: its first column takes its own letters.
    s.Clear(), s.Map(0, {"  \r\n\r\nE\t0\te4\r\n", " E\r\n\r\nE\t0\te3\r\n"}), g.SpawnMapColumn(1, false);
    EXPECT_EQ(s.Field(), (Objs{{2, 3, 736, 0, 0, 0}}));
}

TEST(StageEvents, EveryStagesTimelineAndTheMarkersThatDriveIt) {
    StagePlay s;
    CGameResource& g = s.g;
    // speed, target, background speed, opacity step, keep, vertical, vertical target, damage
    // scale, the checkpoint's step and background speed, boss, music requested
    using Snap = std::tuple<double, double, double, int, int, int, int, int, int, double, int, int>;
    KestraneGameBase2::CBGMPlayer& music = *KestraneGameBase2::GetBGMPlayer();
    const std::vector<Snap> timelines[4] = {
        {{1, 1, 0, 0, 1, 0, -1, 100, 0, 0, -1, 1}, {1, 1, 0, 0, 1, 0, -1, 100, 0, 0, -1, 2},
         {1, 1, 1.5, 1, 0, 0, -1, 100, 2, 1.5, -1, 2}, {0, 0, .5, 1, 0, 0, -1, 100, 3, .5, 0, 2},
         {0, 0, .5, 1, 0, 0, -1, 100, 3, .5, 0, 2}},
        {{1, 1, 0, 0, 1, 0, -1, 150, 0, 0, -1, 1}, {1, 1, 0, 0, 1, 0, -1, 150, 0, 0, -1, 4},
         {1, 1.5, 1, 1, 0, 0, -1, 150, 2, 1, -1, 4}, {0, 0, 0, 1, 0, 0, -1, 100, 2, 1, 12, 4},
         {0, 1.5, 1, 1, 0, 0, -1, 100, 2, 1, 12, 4}, {0, 1, 1, 1, 0, 1, -1, 150, 5, 1, 12, 4},
         {0, 0, 0, 1, 0, 1, -1, 100, 5, 1, 12, 4}, {0, 1.5, 1, 1, 0, 1, -1, 100, 5, 1, 12, 4},
         {0, 1.5, 1, 1, 0, 0, -1, 100, 5, 1, 12, 4}, {0, 0, 0, 1, 0, 0, -1, 100, 9, 0, 1, 4},
         {0, 0, 0, 1, 0, 0, -1, 100, 9, 0, 1, 4}},
        {{1, 1, 0, 0, 1, 0, -1, 200, 0, 0, -1, 1}, {1, 1, 0, 0, 1, 0, -1, 200, 0, 0, -1, 6},
         {1, 1, .5, 1, 0, 1, -1, 200, 2, .5, -1, 6}, {1, 1, .5, 1, 0, 0, 224, 200, 2, .5, -1, 6},
         {0, 0, 0, 1, 0, 0, 224, 100, 2, .5, 14, 6}, {0, 1, .5, 1, 0, 1, -1, 200, 5, .5, 14, 6},
         {0, 2, .5, 1, 0, 1, -1, 200, 5, .5, 14, 6}, {0, 4, .5, 1, 0, 1, -1, 200, 5, .5, 14, 6},
         {0, 6, .5, 1, 0, 1, -1, 200, 5, .5, 14, 6}, {0, 8, .5, 1, 0, 1, -1, 200, 5, .5, 14, 6},
         {0, 8, .5, -2, 1, 0, -1, 200, 5, .5, 14, 6}, {0, 1, .5, -2, 1, 0, -1, 200, 5, .5, 14, 6},
         {0, 0, .5, -2, 1, 0, -1, 100, 12, .5, 2, 6}, {0, 0, .5, -2, 1, 0, -1, 100, 12, .5, 2, 6}},
        {{1, 1, 0, 0, 1, 0, -1, 100, 0, 0, -1, 6}, {0, 0, 0, 0, 1, 0, -1, 100, 0, 0, 3, 6},
         {0, 0, 0, 0, 1, 0, -1, 100, 0, 0, 3, 6}},
    };
    // Item, land, and on stage 2 event 5's enemy: the last boss's event erases all but the land.
    const std::vector<int> states[4] = {{1, 0}, {1, 0}, {1, 0, 1}, {0, 0}};
    for (int stage = 0; stage < 4; ++stage) {
        g.ResetGame(), g.progress.stage = stage;
        g.CreateItem(0, 0, 0), g.CreateLand(0, 0, 0), g.CreateEnemy(1, 0, 0, 5);
        std::vector<Snap> timeline;
        for (size_t i = 0; i < timelines[stage].size(); ++i) {
            EXPECT_FALSE(g.UpdateStageEvents(3200, 96));  // a marker at column 100, row 3
            const SStageProgress& p = g.progress;
            timeline.emplace_back(p.scrollSpeed, p.targetSpeed, p.backgroundSpeed, g.backdrop.opacityStep, g.backdrop.keepEffects,
                                  p.vertical, g.verticalScrollTarget, g.boss.damageScale, g.checkpoint.eventStep,
                                  g.checkpoint.backgroundSpeed, g.boss.bossId,
                                  music.GetPending() != -1 ? music.GetPending() : music.GetCurrent());
        }
        EXPECT_EQ(timeline, timelines[stage]) << "stage " << stage;
        std::vector<int> erased;
        for (const auto& o : g.objects) erased.push_back(o->state);
        EXPECT_EQ(std::tuple(erased, g.pendingSpawns.size(), g.progress.eventStep),
                  std::tuple(states[stage], stage == 3 ? 1u : 0u, static_cast<int>(timelines[stage].size())));
        if (stage == 2) {
            EXPECT_EQ(s.Field()[2], Obj(2, 65, 3488, 512, 0, 0));  // beside the marker
        }
    }

    // Markers are counted: the fourth of stage 0 starts boss 0, a fifth only advances.
    g.ResetGame(), s.Map(0, {"! \r\n! \r\n! \r\n!!\r\n! \r\n"});
    g.status.score = 12345;
    g.SpawnMapColumn(0, true);
    g.SpawnMapColumn(0, false);
    EXPECT_EQ(std::tuple(g.progress.eventStep, g.boss.bossId, g.checkpoint.eventStep, g.checkpoint.scoreCarry),
              std::tuple(5, 0, 3, 6172));
}

TEST(Stage, ScrollBackgroundGroundPendingSpawnsAndTheCrushedHeroFrameByFrame) {
    StagePlay s;
    CGameResource& g = s.g;
    SStageProgress& p = g.progress;
    s.Map(0, {"b b b b b \r\n"});
    p.scrollSpeed = 1.0, p.targetSpeed = 2.0;
    int frames = 0;
    while (p.scrollSpeed != 2.0) g.UpdateScroll(), ++frames;
    EXPECT_EQ(frames, 50);

    // One column a frame while 32 x next <= x, each worth 5 of gauge; none at speeds 0 and 0.
    s.Clear(), g.status.gauge = 5000;
    p.scrollX = 100, p.nextColumn = 1, p.scrollSpeed = p.targetSpeed = 1.0;
    std::vector<std::tuple<double, int, size_t, int>> columns;
    for (int i = 0; i < 5; ++i) {
        if (i == 4) p.scrollSpeed = p.targetSpeed = 0;
        g.UpdateScroll(), columns.emplace_back(p.scrollX, p.nextColumn, g.objects.size(), g.status.gauge);
    }
    EXPECT_EQ(columns, (std::vector<std::tuple<double, int, size_t, int>>{
                           {101, 2, 1, 5005}, {102, 3, 2, 5010}, {103, 4, 3, 5015}, {104, 4, 3, 5015}, {104, 4, 3, 5015}}));

    // Vertical follow 4 a frame up to the range, back toward the hero, then the target.
    p.vertical = 1, g.verticalScrollRange = 20;
    std::vector<double> ys;
    for (int i = 0; i < 11; ++i) {
        g.player->y = i < 6 ? 300 : 250;
        if (i == 10) p.vertical = 0, g.verticalScrollTarget = 13;
        g.UpdateScroll(), ys.push_back(p.scrollY);
    }
    EXPECT_EQ(ys, (std::vector<double>{4, 8, 12, 16, 20, 20, 16, 12, 10, 10, 13}));

    // The background: opacity clamps, the scroll wraps past image 41's width, y follows the hero.
    s.images.Add(41, 100, 960);
    g.verticalScrollRange = 0, g.player->y = 240;
    p.backgroundOpacity = 253, g.backdrop.opacityStep = 1, p.backgroundSpeed = 30;
    std::vector<std::tuple<int, int, double, double>> back;
    for (int i = 0; i < 5; ++i) {
        if (i == 4) p.backgroundOpacity = 1, g.backdrop.opacityStep = -2;
        g.UpdateBackground();
        back.emplace_back(p.backgroundOpacity, g.backdrop.opacityStep, g.backdrop.scrollX, g.backdrop.scrollY);
    }
    EXPECT_EQ(back, (std::vector<std::tuple<int, int, double, double>>{
                        {254, 1, 30, 1}, {255, 1, 60, 2}, {255, 0, 90, 3}, {255, 0, 0, 4}, {0, 0, 0, 4}}));

    // The ground between profile points, past the last, before a first point at 0, none.
    std::vector<std::pair<int, int>> points;
    const auto ground = [&](std::map<int32_t, int32_t> profile, double x) {
        tovarineGameSDK3rd::Draw::Point q{};
        g.stageMap.markers = profile, p.scrollX = x, g.GetGroundPoint(q), points.emplace_back(q.x, q.y);
    };
    p.scrollY = 20;
    ground({{0, 224}, {1000, 24}}, 180), ground({{0, 224}, {1000, 24}}, 1000), ground({{0, 100}}, -400), ground({}, -400);
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{500, 124}, {1320, 24}, {-80, 260}, {-80, 0}}));

    // A pending spawn joins the field after its delay + 1 frames.
    s.Clear(), g.CreateEnemy(1, 0, 0, 3);
    std::vector<size_t> joined;
    for (int i = 0; i < 4; ++i) g.UpdatePendingSpawns(), joined.push_back(g.objects.size());
    EXPECT_EQ(joined, (std::vector<size_t>{0, 0, 0, 1}));

    // Crushed: hurt and put on the ground (224 here), the view kept around it; dead, left.
    g.stageMap.Clear(), g.status.gauge = 5000, p.vertical = 1, p.scrollX = 100, p.scrollY = 1000;
    g.RescueCrushedPlayer();
    const CObjectAvatar& hero = *g.player;
    EXPECT_EQ(std::tuple(g.status.hp, g.status.gauge, hero.pose, hero.poseTimer, hero.coolTimer, p.scrollY, hero.x,
                         g.barriers[1]->y),
              std::tuple(7500, 6250, 2, 30, 120, 464.0, 420.0, 224.0));
    EXPECT_EQ(s.sounds.played.back(), (morna::test::SPlay{107, false}));
    g.status.hp = 2000, g.player->x = 0;
    g.RescueCrushedPlayer();
    EXPECT_EQ(std::pair(g.status.hp, g.player->x), std::pair(0, 0.0));
}

TEST(Stage, AmbientParticlesFollowTheirDrawsAcrossTheScreen) {
    StagePlay s;
    CGameResource& g = s.g;
    constexpr int kKind[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4, 3};
    for (uint32_t limit : {9000u, 4500u}) {  // 4500 while boss 3 is powered up
        g.boss.bossId = limit == 9000 ? -1 : 3, g.boss.powerUpCountdown = 1;
        g.backEffects.clear(), g.backdrop.keepEffects = 0, g.playRand.SetSeed(77);
        tovarineGameSDK3rd::Math::CRand model;
        model.SetSeed(77);
        std::vector<std::tuple<int, int, int, double, uint32_t>> want, got;
        for (int x = 0; x < 640; ++x) {
            const uint32_t r = model.Get() % limit;
            if (r > 480) continue;
            const int kind = kKind[model.Get() & 31];
            const double d = (static_cast<int>(model.Get() & 3) - 2) / 10.0;
            want.emplace_back(kind + 1, x, r, -d, kind <= 2 ? model.Get() % 14 : model.Get() & 3);
        }
        g.SpawnAmbientEffects();
        for (const auto& e : g.backEffects)
            got.emplace_back(e->kind - g.kinds.effects.data(), e->x, e->y, e->motion.vx, e->effectReserved);
        EXPECT_EQ(got, want);
        EXPECT_GT(want.size(), 20u);
    }
}

TEST(Stage, StartsRebuildColumnsAndGamesKeepTheScoreTheirRecordAllows) {
    StagePlay s;
    CGameResource& g = s.g;
    morna::test::TempBaseFolder folder("morna-stage");  // after the fixture's image folder
    std::filesystem::create_directories(folder.Path() + "/data/text/stage");
    std::string rows[2];
    for (int c = 0; c < 40; ++c) rows[0] += "b ", rows[1] += " E";
    std::ofstream(folder.Path() + "/data/text/stage/00.txt", std::ios::binary)
        << rows[0] + "\r\n" + rows[1] + "\r\n\r\nE\t0\te1\r\n";
    const auto columns = [&] {  // of the lands, of the enemies, and the next
        std::vector<int> lands, enemies;
        for (const auto& o : g.objects) (o->GetType() == kTypeLand ? lands : enemies).push_back((TruncInt(o->x) - 704) / 32);
        return std::tuple(lands, enemies, g.progress.nextColumn);
    };
    SStageProgress record;
    record.stage = 0, record.nextColumn = 30, record.scrollX = 928, record.scoreCarry = 3000;
    record.dropCounter = 7, record.itemLevel1 = 1, record.invincible = 1;
    std::vector<std::tuple<int, int, uint32_t>> starts;  // score, checkpoint carry, the first draw
    for (int32_t score : {9000, 4000}) {
        g.status.score = score, g.playRand.SetSeed(score);
        g.StartGame(record);
        starts.emplace_back(g.status.score, g.checkpoint.scoreCarry, g.playRand.Get());
    }
    const uint32_t draw = std::get<2>(starts[0]);  // the same from either seed
    EXPECT_EQ(starts, (std::vector<std::tuple<int, int, uint32_t>>{{3000, 1500, draw}, {2000, 1000, draw}}));
    std::vector<int> rebuilt{29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 30};
    EXPECT_EQ(columns(), std::tuple(rebuilt, std::vector<int>{30}, 31));
    const SStageProgress& p = g.progress;
    EXPECT_EQ(std::tuple(p.dropCounter, p.itemLevel1, p.invincible, g.replayLog.header.nextColumn, g.replayLog.header.itemLevel1),
              std::tuple(0, 0, 0, 30, 0));
    EXPECT_EQ(std::tuple(g.player->x, g.player->y, g.barriers[0]->x, g.move.targetX, g.move.targetY),
              std::tuple(1248.0, 224.0, 1248.0, 1248, 208));

    // A replay starts from the title's score of 0 with its record's carry; its log stays.
    g.replayLog.playing = true, g.status.score = 0, g.replayLog.keys = {1, 2}, record.nextColumn = 5;
    g.StartGame(record);
    EXPECT_EQ(std::tuple(g.status.score, g.replayLog.header.nextColumn, g.replayLog.keys.size()), std::tuple(3000, 30, 2u));

    // A stage reset keeps the stage, the hero's place on the screen and, when asked, the
    // ambient particles.
    g.player->x = 1500.7, g.player->y = 300, g.progress.scrollY = 20, g.backdrop.keepEffects = 1;
    const size_t ambient = g.backEffects.size();
    g.ResetStageProgress();
    EXPECT_EQ(std::tuple(g.player->x, g.player->y, p.stage, p.scrollX, p.nextColumn, p.backgroundOpacity, p.scoreCarry,
                         g.objects.size(), g.backEffects.size()),
              std::tuple(572.0, 280.0, 0, 0.0, 0, -1, 0, 0u, ambient));
}

TEST(Stage, CommittedStageZeroRunsToItsBossAndRetriesFromTheCheckpoint) {
    std::string base;
    ASSERT_TRUE(morna::platform::NameFromSystemPath(MORNA_SOURCE_DIR, base));
    const tovarineGameSDK3rd::VTL::VTLstring saved = tovarineGameSDK3rd::Auxiliary::CFile::GetBaseDirectory();
    tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(base.c_str());
    CGameResource g(tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl));
    SStageProgress fresh, at40;
    const auto play = [&](const SStageProgress& start) {  // the step, then the columns of the events
        g.StartGame(start);
        std::vector<int> events{g.progress.eventStep};
        for (int frame = 0; frame < 5000 && g.boss.bossId < 0; ++frame) {
            const int step = g.progress.eventStep;
            g.UpdateScroll();
            if (g.progress.eventStep != step) events.push_back(g.progress.nextColumn - 1);
            if (step == 2 && g.progress.eventStep == 3 && at40.stage < 0) at40 = g.checkpoint;
        }
        return std::tuple(events, g.boss.bossId);
    };
    fresh.stage = 0;
    EXPECT_EQ(play(fresh), std::tuple(std::vector<int>{1, 4, 40, 80}, 0));
    EXPECT_EQ(play(at40), std::tuple(std::vector<int>{3, 80}, 0));
    tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(saved);
}

}  // namespace
