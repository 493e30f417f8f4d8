// Object drawing: the frame and cell rules, the draw-mode table, and the looks of the hero, the
// barrier, its gauge and the enemies, as tables of object state -> the blits logged.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/game/objects/draw_log.h"

namespace {

TEST(ObjectDrawHelpers, FramesCellsAndAlpha) {
    DrawFixture f;
    SObjectKind k = f.sheet;
    k.frames = {5, 6, 7};
    const struct { int16_t d; uint32_t counter; int32_t frame, reverse; } frames[] = {
        {4, 0, 5, 0}, {4, 1, 5, 7}, {4, 4, 6, 7}, {4, 11, 7, 5}, {4, 12, 0, 5}, {4, 40, 0, 0},
        {0, 5, 0, 0}, {-4, 5, 0, 0},
    };
    for (const auto& row : frames) {
        k.frameTime = row.d;
        EXPECT_EQ(FrameOf(k, row.counter), row.frame) << row.d << " " << row.counter;
        EXPECT_EQ(FrameOfReverse(k, row.counter), row.reverse) << row.d << " " << row.counter;
    }

    // Image 7 is 64 wide: four cells of 16 a row; further frames wrap and replace the row.
    const struct { uint16_t cw; int16_t srcX; int32_t f, r; bool drawn; Rect rect; } cells[] = {
        {16, 0, 2, 1, true, {32, 16, 48, 32}}, {16, 0, 5, 0, true, {16, 16, 32, 32}},
        {16, 0, 9, 0, true, {16, 32, 32, 48}}, {16, 8, 4, 0, true, {8, 16, 24, 32}},
        {100, 0, 2, 0, true, {0, 32, 100, 48}},  // wider than the image: one column
        {0, 70, 1, 0, false, {}},                // a zero cell width that wraps draws nothing
    };
    for (const auto& row : cells) {
        k.cellWidth = row.cw, k.srcX = row.srcX;
        Rect r{row.f, row.r, 0, 0};
        ASSERT_EQ(CellRect(k, r, 7), row.drawn) << row.f;
        if (row.drawn) {
            EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom),
                      std::tuple(row.rect.left, row.rect.top, row.rect.right, row.rect.bottom))
                << row.f;
        }
    }
    SEffectKind e;
    e.cellWidth = 16, e.cellHeight = 8, e.srcY = -8, e.frames = {1, 2, 3}, e.frameTime = 5;
    Rect r{6, 0, 0, 0};
    EXPECT_TRUE(EffectCellRect(e, r, 7));
    EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom), std::tuple(32, 0, 48, 8));
    EXPECT_EQ(EffectTotalFrames(e), 15);
    e.frameTime = -9;
    EXPECT_EQ(EffectTotalFrames(e), -1);

    CObjectEnemy o(&k);
    const struct { int16_t counter, length; uint8_t alpha, expected; } fades[] = {
        {16, 32, 255, 127}, {0, 32, 255, 0}, {0, 0, 200, 200}, {-1, 0, 255, 255}, {3, 4, 100, 75},
    };
    for (const auto& row : fades) {
        o.fadeCounter = row.counter, o.fadeLength = row.length, o.alpha = row.alpha;
        EXPECT_EQ(o.EffectiveAlpha(), row.expected) << row.counter << "/" << row.length;
    }
}

TEST(ObjectDrawHelpers, DrawModeTable) {
    DrawFixture f;
    SObjectKind k = f.sheet;  // frame 0: [0,0,16,16]
    CObjectEnemy o(&k);
    o.screenX = 100, o.screenY = 50;
    const std::string at = " 7 (100,50) [0,0,16,16]";
    const struct { uint8_t blend, additive, turn, alpha; std::string first; } rows[] = {
        {2, 0, 0, 255, "op2" + at},           {2, 0, 0, 128, "BltAddRate" + at + " =0x80"},
        {0, 1, 9, 255, "op2" + at},           {1, 1, 0, 128, "BltAddRate" + at + " =0x80"},
        {1, 0, 0, 255, "BltCopy" + at},       {1, 0, 9, 128, "BltBlend" + at + " =0x80"},
        {3, 0, 0, 255, "BltBlend" + at + " =0xff"}, {3, 0, 0, 128, "BltBlend" + at + " =0x80"},
        {3, 0, 9, 255, "poly10 7 [0,0,15,15]"}, {3, 0, 9, 128, "poly10 7 [0,0,15,15]"},
        {0, 0, 0, 255, "BltKeyedCopy" + at},  {0, 0, 0, 128, "BltKeyedBlend" + at + " =0x80"},
        {0, 0, 9, 255, "poly1 7 [0,0,15,15]"}, {0, 0, 9, 128, "poly10 7 [0,0,15,15]"},
    };
    for (const auto& row : rows) {
        k.blend = row.blend, o.additive = row.additive, o.turn = row.turn;
        for (uint8_t alpha : {row.alpha, uint8_t{0}}) {
            o.alpha = alpha;
            EXPECT_EQ(f.Draw(o), alpha ? Lines{row.first} : Lines{})
                << int(row.blend) << " " << int(row.additive) << " " << int(row.turn) << " " << int(alpha);
        }
    }
    k.image = -1;
    o.alpha = 255;
    EXPECT_EQ(f.Draw(o), Lines{});
}

TEST(HeroDraw, PosesRowsMarksAndOverlay) {
    DrawFixture f;
    SObjectKind k;
    k.image = 5, k.cellWidth = 32, k.cellHeight = 16, k.frames = {0, 1}, k.frameTime = 8;
    CObjectAvatar hero(&k);
    hero.screenX = 200, hero.screenY = 100, hero.animCounter = 8;  // frame 1: left 32
    const std::string right = "op14 11 (208,102) [0,32,32,64]";
    const struct { uint8_t pose, cool, facing, alpha; int32_t t; Lines log; } rows[] = {
        {0, 0, 0, 255, 0, {"BltKeyedCopy 5 (200,100) [32,0,64,16]", right + " =0xff"}},
        {0, 5, 0, 255, 0, {}},  // the cool-down hides two frames of four
        {0, 6, 0, 255, 0, {"BltKeyedCopy 5 (200,100) [32,16,64,32]", right + " =0xff"}},
        {0, 6, 128, 255, 0, {"BltKeyedCopy 5 (200,100) [32,48,64,64]", "op14 11 (220,102) [0,0,32,32] =0xff"}},
        {16, 0, 128, 255, 0, {"BltKeyedCopy 0 (240,64) [144,288,168,320]", "BltKeyedCopy 5 (200,100) [32,0,64,16]",
                              "op14 11 (220,102) [0,0,32,32] =0xff"}},
        {14, 0, 0, 255, 0, {"BltKeyedCopy 0 (240,64) [96,288,120,320]", "BltKeyedCopy 5 (200,100) [32,0,64,16]",
                            right + " =0xff"}},
        {2, 0, 0, 255, 0, {"AddColor 5 (200,100) [32,0,64,16] =0x800000", right + " =0xff"}},
        {3, 0, 0, 255, 0, {"AddColor 5 (200,100) [32,0,64,16] =0x404000", right + " =0xff"}},
        {4, 0, 0, 255, 70, {"AddColor 5 (200,100) [32,0,64,16] =0x180000", right + " =0xff"}},
        {19, 0, 0, 255, 70, {"AddColor 5 (200,100) [32,0,64,16] =0x181800", right + " =0xff"}},
        {5, 6, 0, 100, 0, {"BltBlend 1 (168,80) [0,111,108,131] =0xff", "BltKeyedBlend 5 (200,100) [32,16,64,32] =0x64",
                           right + " =0x64"}},
        {1, 0, 0, 255, 0, {}},
        {0, 0, 0, 0, 0, {}},
    };
    for (const auto& row : rows) {
        hero.pose = row.pose, hero.coolTimer = row.cool, hero.facing = row.facing, hero.alpha = row.alpha;
        hero.poseTimer = row.t;
        EXPECT_EQ(f.Draw(hero), row.log) << int(row.pose) << " " << int(row.cool) << " " << int(row.facing);
    }
    hero.pose = 0, hero.coolTimer = 0, hero.facing = 0, hero.alpha = 255, hero.animCounter = 2;
    EXPECT_EQ(f.Draw(hero).at(1), "op14 11 (208,102) [32,32,64,64] =0xff");  // the overlay's other cell

    SObjectKind bk;
    bk.image = 7, bk.cellWidth = bk.cellHeight = 24, bk.srcX = 8, bk.srcY = 4;
    CObjectBarrier barrier(&bk);
    barrier.screenX = 10, barrier.screenY = 20, barrier.animCounter = 7, barrier.alpha = 77;
    EXPECT_EQ(f.Draw(barrier), (Lines{"op14 7 (10,20) [8,4,32,28] =0x80", "op14 7 (10,20) [72,48,96,72] =0x4d"}));
}

TEST(HeroDraw, BarrierGauge) {
    DrawFixture f;
    SObjectKind k;
    k.cellWidth = 32, k.cellHeight = 16;
    CObjectAvatar hero(&k);
    hero.screenX = 200;
    const struct { int16_t y; uint8_t pose; int energy, max; bool second, glint; Lines log; } rows[] = {
        {100, 0, 5000, 10000, false, false,
         {"BltKeyedCopy 0 (190,120) [64,148,116,160]", "BltKeyedCopy 0 (242,120) [166,148,168,160]",
          "BltKeyedCopy 0 (190,120) [64,160,89,172]"}},
        {470, 0, 5000, 13000, true, true,
         {"BltKeyedCopy 0 (183,450) [64,148,131,160]", "BltKeyedCopy 0 (250,450) [166,148,168,160]",
          "BltKeyedCopy 0 (183,450) [64,172,89,184]", "effect2 -1 (0,0) [185,452,250,460] =0x2f5f"}},
        {100, 0, 10000, 10000, false, true, {}},
        {100, 5, 5000, 10000, false, true, {}},
    };
    for (const auto& row : rows) {
        hero.screenY = row.y, hero.pose = row.pose;
        RecordingSurface target(640, 480);
        hero.DrawBarrierGauge(&target, row.energy, row.max, &hero, row.second, row.glint);
        EXPECT_EQ(Summary(target), row.log) << row.y << " " << row.max;
    }
}

TEST(EnemyDraw, LooksByKindAndPose) {
    DrawFixture f;
    SObjectKind k = f.sheet;
    CObjectEnemy e(&k);
    const struct {
        uint8_t index, pose;
        int32_t t, phase;
        uint8_t facing;
        double vx;
        uint32_t counter;
        Lines log;
    } rows[] = {
        {6, 0, 0, 0, 0, 0, 4, {"BltKeyedCopy 7 (100,50) [16,16,32,32]"}},
        {6, 0, 0, 0, 128, 0, 4, {"BltKeyedCopy 7 (100,50) [16,0,32,16]"}},
        {9, 3, 5, 0, 128, 0, 4, {"BltKeyedCopy 7 (100,50) [48,0,64,16]"}},
        {9, 3, 6, 0, 128, 0, 4, {"BltKeyedCopy 7 (100,50) [16,0,32,16]"}},
        {11, 3, 0, 0, 128, 0, 4, {"BltKeyedCopy 7 (100,50) [16,16,32,32]"}},
        {13, 3, 31, 0, 128, 0, 4, {"AddColor 7 (100,50) [16,0,32,16] =0x3f3fff"}},
        {14, 3, 31, 0, 128, 0, 4, {"AddColor 7 (100,50) [16,0,32,16] =0xff3f3f"}},
        {13, 3, 0, 0, 128, 0, 4, {"AddColor 7 (100,50) [16,0,32,16] =0x3f3fff"}},
        {17, 3, 1, 0, 128, 0, 4, {"AddColor 7 (100,50) [16,0,32,16] =0x3d3df7"}},
        {18, 3, 2, 0, 128, 0, 4, {"AddColor 7 (100,50) [16,0,32,16] =0xef3b3b"}},
        {19, 3, 30, 0, 128, 0, 4, {"AddColor 7 (100,50) [16,0,32,16] =0x3030f"}},
        {20, 8, 0, 0, 128, 0, 4, {"BltKeyedCopy 7 (100,50) [0,16,16,32]"}},
        {26, 3, 20, 0, 128, 0, 4, {"BltKeyedCopy 7 (100,50) [0,0,16,16]", "op14 7 (100,50) [32,0,48,16] =0xd7"}},
        {27, 3, 14, 0, 128, 0, 4, {"BltKeyedCopy 7 (100,50) [16,0,32,16]"}},
        {48, 0, 0, 0, 128, 1.0, 1, {"BltKeyedCopy 7 (100,50) [32,0,48,16]"}},
        {48, 0, 0, 0, 128, 0.0, 1, {"BltKeyedCopy 7 (100,50) [0,0,16,16]"}},
        {60, 0, 0, 0, 128, 0, 0, {"BltKeyedCopy 7 (100,42) [0,0,16,16]", "BltKeyedCopy 7 (100,58) [16,0,32,16]"}},
        {60, 3, 8, 0, 128, 0, 0, {"BltKeyedCopy 7 (100,52) [0,0,16,16]", "BltKeyedCopy 7 (100,68) [16,0,32,6]"}},
        {60, 3, 12, 0, 128, 0, 0, {"BltKeyedCopy 7 (100,62) [0,0,16,12]"}},
        {60, 3, 8, 1, 128, 0, 0, {"BltKeyedCopy 7 (100,48) [16,0,32,16]", "BltKeyedCopy 7 (100,42) [0,10,16,16]"}},
        {60, 3, 12, 1, 128, 0, 0, {"BltKeyedCopy 7 (100,42) [16,4,32,16]"}},
        {63, 23, 10, 0, 128, 0, 4, {"AddColor 7 (100,50) [0,0,16,16] =0x282828"}},
        {70, 0, 0, 1, 0, 0, 0, {"BltKeyedCopy 7 (100,50) [16,16,32,32]"}},
        {70, 3, 1, 0, 128, 0, 4, {"AddColor 7 (100,50) [16,0,32,16] =0xf7f700"}},
        {73, 0, 0, 0, 200, 0, 4, {"BltKeyedCopy 7 (100,50) [48,0,64,16]"}},
        {73, 3, 0, 0, 10, 0, 4, {"AddColor 7 (100,50) [16,16,32,32] =0xff"}},
        {99, 1, 0, 0, 128, 0, 4, {}},
    };
    for (const auto& row : rows) {
        k.index = row.index;
        e.pose = row.pose, e.poseTimer = row.t, e.phase = row.phase, e.facing = row.facing, e.motion.vx = row.vx;
        e.animCounter = row.counter, e.screenX = 100, e.screenY = 50;
        EXPECT_EQ(f.Draw(e), row.log) << int(row.index) << " pose " << int(row.pose) << " t " << row.t;
    }

    k.index = 42, e.pose = 0;  // sixteen copies on a ring of 16
    const Lines ring = f.Draw(e);
    ASSERT_EQ(ring.size(), 16u);
    EXPECT_EQ((Lines{ring[0], ring[1], ring[4], ring[8]}),
              (Lines{"BltKeyedCopy 7 (116,50) [16,0,32,16]", "BltKeyedCopy 7 (114,56) [16,0,32,16]",
                     "BltKeyedCopy 7 (100,66) [16,0,32,16]", "BltKeyedCopy 7 (84,50) [16,0,32,16]"}));

    k.index = 47, e.phase = 2, e.turn = 64;  // two turned pieces, whatever the alpha
    e.alpha = 90;
    EXPECT_EQ(f.Draw(e), (Lines{"poly1 7 [32,0,47,15]", "poly1 7 [0,0,15,15]"}));

    k.frameTime = -4, k.index = 13, e.pose = 3;  // a still picture by the phase, opaque
    EXPECT_EQ(f.Draw(e), Lines{"BltKeyedCopy 7 (100,50) [32,0,48,16]"});
    k.blend = 2;
    EXPECT_EQ(f.Draw(e), Lines{"op2 7 (100,50) [32,0,48,16]"});
}

TEST(EnemyDraw, CrystalItemAndLandAddToTheCommonDraw) {
    DrawFixture f;
    SObjectKind k = f.sheet;
    CObjectCrystal crystal(&k);
    crystal.screenX = 100, crystal.screenY = 50, crystal.heldImage = 1, crystal.heldRect = {0, 0, 10, 6};
    EXPECT_EQ(f.Draw(crystal),
              (Lines{"BltKeyedCopy 1 (103,55) [0,0,10,6]", "BltKeyedBlend 7 (100,50) [0,0,16,16] =0xc0"}));

    k.index = 6;
    CObjectItem item(&k);
    item.screenX = 100, item.screenY = 50, item.animCounter = 20;
    EXPECT_EQ(f.Draw(item), (Lines{"BltKeyedCopy 7 (100,50) [0,0,16,16]", "BltKeyedCopy 7 (99,53) [80,96,96,112]",
                                   "BltKeyedCopy 7 (123,77) [112,112,128,128]"}));

    k.frameTime = -1;
    CObjectLand land(&k);
    land.screenX = 100, land.screenY = 50, land.hp = 8;
    EXPECT_EQ(f.Draw(land), Lines{"BltKeyedCopy 7 (100,50) [32,0,48,16]"});
    k.image = 0;
    EXPECT_EQ(f.Draw(land), Lines{});
}

}  // namespace
