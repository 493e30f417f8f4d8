// Trails, shots, blocks, puddings and jellies: object state -> the blits logged.
#include <gtest/gtest.h>

#include "tests/game/objects/draw_log.h"

namespace {

using Point = IObjectShadow::SPoint;

TEST(TrailDraw, FadeSpacingFramesAndTheChain) {
    DrawFixture f;
    SObjectKind k = f.sheet;  // frames {0, 1, 2}, 4 counts each
    CObjectEnemyShadow e(&k);
    e.screenX = 100, e.screenY = 50;
    e.trailScreen = {{10, 0}, {20, 0}, {30, 0}, {40, 0}};
    const struct { uint16_t length, spacing; uint8_t alpha; uint32_t counter; Lines log; } rows[] = {
        // step 200 / 4 = 50 at every point; a copy every second point, one frame further back
        {3, 1, 200, 8, {"op15 7 (20,0) [16,0,32,16] =0x64", "op15 7 (40,0) [0,0,16,16]",
                        "BltKeyedBlend 7 (100,50) [32,0,48,16] =0xc8"}},
        // alpha below length + 1: no step; frame index 0 - 1 wraps to the list's end
        {3, 0, 3, 0, {"op15 7 (10,0) [32,0,48,16] =0x3", "op15 7 (20,0) [16,0,32,16] =0x3",
                      "op15 7 (30,0) [0,0,16,16] =0x3", "op15 7 (40,0) [32,0,48,16] =0x3",
                      "BltKeyedBlend 7 (100,50) [0,0,16,16] =0x3"}},
        {0, 0, 255, 0, {"BltKeyedCopy 7 (100,50) [0,0,16,16]"}},
    };
    for (const auto& row : rows) {
        e.trailLength = row.length, e.trailSpacing = row.spacing, e.alpha = row.alpha, e.animCounter = row.counter;
        EXPECT_EQ(f.Draw(e), row.log) << row.length << " " << row.spacing;
    }

    k.frameTime = -3, e.trailSpacing = 1;  // the chain: body, a segment per second point, head
    EXPECT_EQ(f.Draw(e), (Lines{"op2 7 (100,50) [16,0,32,16]", "op2 7 (20,0) [32,0,48,16]",
                                "op2 7 (40,0) [48,0,64,16]", "op15 7 (100,50) [0,0,16,16] =0x7f"}));

    SEffectKind ek;  // the effect trail lowers alpha only at its copies
    ek.image = 7, ek.cellWidth = ek.cellHeight = 16, ek.frames = {1}, ek.frameTime = 4;
    RecordingSurface target(640, 480);
    e.trailLength = 3, e.trailSpacing = 1;
    e.DrawEffectTrail(&target, &ek, 0, 200, false);
    EXPECT_EQ(Summary(target), (Lines{"op15 7 (20,0) [16,0,32,16] =0x96", "op15 7 (40,0) [16,0,32,16] =0x64"}));
}

TEST(FieldDraw, ShotsBlocksPuddingsAndJellies) {
    DrawFixture f;
    SObjectKind k = f.sheet;
    CObjectShot shot(&k);
    shot.screenX = 100, shot.screenY = 50, shot.animCounter = 8;
    const struct { uint8_t index; int16_t d; double vx, vy; Lines log; } shots[] = {
        {6, 4, -1, 0, {"BltKeyedCopy 7 (100,50) [32,0,48,16]"}},  // flying left: unturned
        {6, 4, 0, 1, {"poly1 7 [32,0,47,15]"}},
        {3, 4, 0, 1, {"BltKeyedCopy 7 (100,50) [32,0,48,16]"}},
        {0, -1, 1, 1, {"BltKeyedCopy 7 (100,50) [16,16,32,32]"}},  // heading 32: column 1, row 1
    };
    for (const auto& row : shots) {
        k.index = row.index, k.frameTime = row.d, shot.motion.vx = row.vx, shot.motion.vy = row.vy;
        EXPECT_EQ(f.Draw(shot), row.log) << int(row.index) << " " << row.vx << "," << row.vy;
    }

    k = f.sheet, k.frameTime = -1;
    CObjectBlock block(&k);
    block.screenX = 100, block.screenY = 50, block.animCounter = 3;  // 24 mod 16 up
    EXPECT_EQ(f.Draw(block), Lines{"BltKeyedCopy 7 (100,42) [0,0,16,16]"});
    k.cellHeight = 0;  // no height to wrap at: no scroll, and no division by it
    EXPECT_EQ(f.Draw(block), Lines{"BltKeyedCopy 7 (100,50) [0,0,16,0]"});

    k = f.sheet;
    CObjectPudding pudding(&k);
    pudding.screenX = 100, pudding.screenY = 50, pudding.pose = 20, pudding.poseTimer = 2;  // frame 8
    EXPECT_EQ(f.Draw(pudding), Lines{"BltKeyedCopy 7 (100,50) [0,32,16,48]"});

    CObjectJelly jelly(&k);
    jelly.screenX = 100, jelly.screenY = 50;
    jelly.SetSize(1, 1);
    EXPECT_EQ(f.Draw(jelly), (Lines{"BltKeyedCopy 7 (100,50) [0,0,8,8]", "BltKeyedCopy 7 (100,58) [0,8,8,16]",
                                    "BltKeyedCopy 7 (108,58) [8,8,16,16]", "BltKeyedCopy 7 (108,50) [8,0,16,8]"}));
    jelly.SetSize(3, 3);
    const Lines all = f.Draw(jelly);
    ASSERT_EQ(all.size(), 36u);
    EXPECT_EQ((Lines{all[16], all[17], all[18], all[19]}),  // the middle cell: variant 4
              (Lines{"BltKeyedCopy 7 (116,66) [64,0,72,8]", "BltKeyedCopy 7 (116,74) [64,8,72,16]",
                     "BltKeyedCopy 7 (124,74) [72,8,80,16]", "BltKeyedCopy 7 (124,66) [72,0,80,8]"}));
}

}  // namespace
