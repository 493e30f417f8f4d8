// Boss bodies and parts: boss state -> the blits logged.
#include <gtest/gtest.h>

#include "tests/game/objects/draw_log.h"

namespace {

TEST(BossDraw, PicturesByDurationAndKindLooks) {
    DrawFixture f;
    const struct {
        int16_t d, srcX;
        uint8_t index, pose, facing;
        int32_t t, phase;
        Lines log;
    } rows[] = {
        {4, 0, 0, 1, 128, 0, 0, {}},
        {-1, 0, 0, 0, 128, 0, 11, {"BltKeyedCopy 11 (100,50) [0,0,32,64]"}},  // the picture's halves
        {-1, 0, 0, 0, 0, 0, 11, {"BltKeyedCopy 11 (100,50) [32,0,64,64]"}},
        {-2, 0, 0, 0, 128, 0, 9, {"BltKeyedCopy 7 (100,50) [16,16,32,32]"}},
        {-3, 0, 0, 0, 0, 0, 4, {"BltKeyedCopy 11 (100,50) [16,0,32,16]"}},
        {-7, 0, 0, 0, 128, 0, 0, {}},
        {4, 0, 12, 0, 64, 0, 0, {"BltKeyedCopy 7 (100,50) [16,96,32,112]"}},  // row 6 of eight directions
        {4, 0, 12, 2, 64, 0, 0, {"BltKeyedCopy 7 (100,50) [0,96,16,112]"}},
        {4, 0, 17, 0, 0, 0, 0, {"BltKeyedCopy 7 (100,50) [16,16,32,32]"}},
        {4, 16, 24, 19, 128, 1, 0, {"BltKeyedCopy 7 (100,50) [32,0,48,16]", "op14 7 (100,50) [0,0,16,16] =0xff"}},
        {4, 16, 24, 19, 128, 2, 0, {"BltKeyedCopy 7 (100,50) [32,0,48,16]"}},
    };
    for (const auto& row : rows) {
        SObjectKind k = f.sheet;
        k.frameTime = row.d, k.srcX = row.srcX, k.index = row.index;
        CObjectBoss boss(&k);
        boss.screenX = 100, boss.screenY = 50, boss.animCounter = 4;
        boss.pose = row.pose, boss.facing = row.facing, boss.poseTimer = row.t, boss.phase = row.phase;
        EXPECT_EQ(f.Draw(boss), row.log) << row.d << " kind " << int(row.index) << " pose " << int(row.pose);
    }
    SObjectKind k = f.sheet;
    k.image = 0;  // a part without a picture
    CObjectBossParts part(&k);
    EXPECT_EQ(f.Draw(part), Lines{});

    k = f.sheet, k.frameTime = -6;  // four motes under the body
    CObjectBoss swarm(&k);
    swarm.screenX = 100, swarm.screenY = 50;
    const Lines motes = f.Draw(swarm);
    ASSERT_EQ(motes.size(), 5u);
    EXPECT_EQ(motes[0], "op2 7 (67,50) [0,0,16,16]");
    EXPECT_EQ(motes[4], "BltKeyedCopy 7 (100,50) [0,0,16,16]");
}

TEST(BossDraw, CharacterBodiesArmsAndWeapons) {
    DrawFixture f;
    f.play.images.Add(89, 256, 128);
    const std::string body24 = "BltKeyedCopy 5 (100,47) [48,32,64,48]";
    const std::string arm1 = "op14 11 (130,52) [128,0,160,32] =0xff";
    const struct {
        uint8_t index, pose, facing;
        int32_t t, phase;
        Lines log;
    } rows[] = {
        {3, 24, 128, 4, 0, {body24, arm1, "BltKeyedCopy 89 (72,60) [32,0,64,32]"}},
        {3, 24, 128, 5, 0, {body24, arm1}},  // the weapon is gone after 4 frames
        {3, 25, 128, 30, 0, {body24, arm1, "BltKeyedCopy 89 (72,60) [32,0,64,32]"}},
        {3, 25, 128, 31, 0, {body24, arm1}},
        {3, 24, 128, 0, 1, {body24, arm1, "BltKeyedCopy 89 (72,60) [32,64,64,96]"}},  // piece 25: lower half
        // facing right: the weapon behind, the arm before the body, the mirrored rows
        {3, 24, 0, 0, 0, {"BltKeyedCopy 89 (112,60) [32,32,64,64]", "op14 11 (98,52) [128,32,160,64] =0xff",
                          "BltKeyedCopy 5 (100,47) [48,112,64,128]"}},
        {3, 2, 128, 0, 0, {"op14 11 (131,67) [64,0,96,32] =0xff", "BltKeyedCopy 5 (100,50) [48,0,64,16]",
                           "BltKeyedCopy 89 (113,89) [0,0,32,32]"}},
        {3, 23, 128, 2, 0, {"op14 11 (130,52) [128,0,160,32] =0xff", "AddColor 5 (100,47) [0,16,16,32] =0x60c18",
                            "BltKeyedCopy 89 (112,81) [0,0,32,32]"}},
        {3, 5, 128, 0, 0, {"BltBlend 1 (68,30) [0,111,108,131] =0xff", "BltKeyedCopy 5 (100,50) [48,0,64,16]"}},
        {1, 19, 128, 1, 0, {"AddColor 5 (100,50) [0,16,16,32] =0xf70000"}},
        {1, 18, 0, 30, 0, {"BltKeyedCopy 5 (100,50) [0,48,16,64]"}},
        {2, 15, 0, 0, 0, {"BltKeyedCopy 0 (140,14) [120,288,144,320]", "BltKeyedCopy 5 (100,50) [0,32,16,48]"}},
    };
    for (const auto& row : rows) {
        SObjectKind k;
        k.image = 5, k.cellWidth = k.cellHeight = 16, k.frames = {0, 1}, k.frameTime = 8, k.index = row.index;
        CObjectBoss boss(&k);
        boss.screenX = 100, boss.screenY = 50;
        boss.pose = row.pose, boss.facing = row.facing, boss.poseTimer = row.t, boss.phase = row.phase;
        EXPECT_EQ(f.Draw(boss), row.log) << "kind " << int(row.index) << " pose " << int(row.pose) << " t " << row.t;
    }

    // The turned body: a cell on its side, the trail shifted with it.
    SObjectKind k;
    k.image = 5, k.cellWidth = 16, k.cellHeight = 24, k.frames = {0, 1}, k.frameTime = 8, k.index = 3;
    CObjectBoss boss(&k);
    boss.screenX = 100, boss.screenY = 50, boss.pose = 7;
    boss.trailLength = 1, boss.trailScreen = {{10, 10}};
    EXPECT_EQ(f.Draw(boss), (Lines{"op15 5 (14,6) [0,216,24,232] =0x80", "op14 11 (122,33) [192,0,224,32] =0xff",
                                   "BltKeyedCopy 5 (104,46) [0,216,24,232]"}));
    boss.pose = 27, boss.poseTimer = 16, boss.facing = 0, boss.trailLength = 0;  // held as if facing left
    EXPECT_EQ(f.Draw(boss), (Lines{"op14 11 (128,33) [192,32,224,64] =0xff", "BltKeyedCopy 5 (104,46) [0,96,24,112]",
                                   "BltKeyedCopy 89 (145,61) [128,0,160,32]"}));
}

}  // namespace
