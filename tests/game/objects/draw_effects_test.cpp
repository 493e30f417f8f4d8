// Effects, land effects, score numbers, cut-ins and text: effect state -> the blits logged.
#include <gtest/gtest.h>

#include "tests/game/objects/draw_log.h"

namespace {

// Image 7 is 64 x 32: four cells of 16 a row.
SEffectKind Sheet(int32_t d) {
    SEffectKind k;
    k.image = 7, k.cellWidth = k.cellHeight = 16, k.frames = {0, 1, 2}, k.frameTime = d;
    return k;
}

TEST(EffectDraw, ModesFramesAndSpecialMotions) {
    DrawFixture f;
    const std::string at = " 7 (92,42) [0,0,16,16]";  // centre (100, 50) less half a cell
    const struct {
        int32_t d;
        uint8_t blend, alpha;
        int16_t fadeCounter, fadeLength;
        uint16_t n;
        int32_t value;
        Lines log;
    } rows[] = {
        {4, 0, 255, -1, 0, 4, 0, {"BltKeyedCopy 7 (92,42) [16,0,32,16]"}},
        {4, 0, 255, -1, 0, 20, 1, {"BltKeyedCopy 7 (92,42) [0,16,16,32]"}},  // past the list: frame 0; row 1
        {-4, 0, 255, -1, 0, 0, 2, {"BltKeyedCopy 7 (92,42) [32,0,48,16]"}},
        {0, 2, 128, -1, 0, 0, 0, {"op6" + at + " =0x80"}},
        {0, 3, 255, -1, 0, 0, 0, {"op14" + at + " =0xff"}},
        {0, 3, 200, 0, 4, 0, 0, {}},  // faded out
        {-10, 0, 255, -1, 0, 0, -11, {"BltKeyedCopy 11 (92,42) [64,0,128,64]"}},
        // the spiral: q 8, radii 4 and 2 at n 12, angle 64; frame n / 4
        {-7, 0, 255, -1, 0, 12, 2052, {"BltKeyedCopy 7 (90,46) [48,0,64,16]"}},
        // the growing square: n / 32 of the width, or the fade's share
        {-8, 0, 200, -1, 0, 8, 0, {"op6 7 (98,48) [0,0,16,16] ->4x4 =0xc8"}},
        {-8, 0, 200, 3, 4, 8, 0, {"op6 7 (94,44) [0,0,16,16] ->12x12 =0x96"}},
        {-8, 0, 255, -1, 0, 40, 0, {"BltKeyedCopy" + at}},
        {-1, 0, 255, -1, 0, 0, 7, {"BltKeyedCopy 7 (92,42) [60,0,76,16]"}},  // 6 x 3 + 42 further right
    };
    for (const auto& row : rows) {
        SEffectKind k = Sheet(row.d);
        k.blend = row.blend;
        CObjectEffect e(&k);
        e.x = 100, e.y = 50, e.alpha = row.alpha, e.fadeCounter = row.fadeCounter, e.fadeLength = row.fadeLength;
        e.animCounter = row.n, e.effectReserved = static_cast<uint32_t>(row.value);
        EXPECT_EQ(f.Draw(e), row.log) << row.d << " blend " << int(row.blend) << " n " << row.n;
    }

    SEffectKind k = Sheet(0);
    k.srcX = -1, k.value7 = 3;  // the whole picture, moved by the kind's offset
    CObjectEffect e(&k);
    e.x = 100, e.y = 50;
    EXPECT_EQ(f.Draw(e), Lines{"BltKeyedCopy 7 (95,42) [0,0,64,32]"});
    e.startDelay = 1;
    EXPECT_EQ(f.Draw(e), Lines{});

    // A growing square flown out of the int range: its corner wraps, far off the screen.
    SEffectKind square = Sheet(-8);
    CObjectEffect far(&square);
    far.x = -1e10, far.y = 50, far.alpha = 200, far.fadeCounter = 8, far.fadeLength = 1;  // 8 times the cell
    EXPECT_EQ(f.Draw(far), Lines{"op6 7 (2147483592,-14) [0,0,16,16] ->128x128 =0x40"});
}

TEST(EffectDraw, BeamEndsOffScreenAfterSixCopiesAtLeast) {
    DrawFixture f;
    const struct { int16_t width; double x; uint8_t turn; size_t copies; std::string last; } rows[] = {
        {16, 100, 0, 69, "BltKeyedCopy 7 (644,42) [0,0,16,16]"},  // steps of 8 right, out past 641
        {16, -200, 128, 6, "BltKeyedCopy 7 (-256,42) [0,0,16,16]"},  // starts off screen
        {1, 100, 0, 6, "BltKeyedCopy 7 (100,42) [0,0,1,16]"},  // a zero step: six and done
    };
    for (const auto& row : rows) {
        SEffectKind k = Sheet(-9);
        k.cellWidth = row.width;
        CObjectEffect e(&k);
        e.x = row.x, e.y = 50, e.turn = row.turn;
        const Lines log = f.Draw(e);
        ASSERT_EQ(log.size(), row.copies + 1) << row.width << " " << row.x;
        EXPECT_EQ(log[row.copies - 1], row.last);
        EXPECT_EQ(log.back(), "BltKeyedCopy 7 (" + std::to_string(static_cast<int>(row.x) - row.width / 2) + ",42) [0,0," +
                                  std::to_string(row.width) + ",16]");  // the beam's head last
    }
}

TEST(EffectDraw, LandEffects) {
    DrawFixture f;
    const struct { int32_t d; uint16_t n; int32_t value; double x; Lines log; } rows[] = {
        {-1, 0, 2, 0,  // a pile of two rows: 1 then 3 middle pieces, the source a cell lower
         {"BltKeyedCopy 7 (100,18) [0,0,16,16]", "BltKeyedCopy 7 (116,18) [16,0,32,16]",
          "BltKeyedCopy 7 (132,18) [32,0,48,16]", "BltKeyedCopy 7 (84,34) [0,16,16,32]",
          "BltKeyedCopy 7 (100,34) [16,16,32,32]", "BltKeyedCopy 7 (116,34) [16,16,32,32]",
          "BltKeyedCopy 7 (132,34) [16,16,32,32]", "BltKeyedCopy 7 (148,34) [32,16,48,32]"}},
        {-2, 15, 0, 0, {"op6 7 (104,50) [0,0,16,16] ->8x16 =0xff"}},
        {-3, 5, 0, 0,
         {"op15 7 (95,45) [0,0,16,16] =0xff", "op15 7 (105,45) [16,0,32,16] =0xff",
          "op15 7 (95,55) [0,16,16,32] =0xff", "op15 7 (105,55) [16,16,32,32] =0xff"}},
        {4, 8, 0, 0, {"BltKeyedCopy 7 (100,50) [32,0,48,16]"}},
    };
    for (const auto& row : rows) {
        SEffectKind k = Sheet(row.d);
        CObjectEffectLand e(&k);
        e.screenX = 100, e.screenY = 50, e.x = row.x, e.animCounter = row.n;
        e.effectReserved = static_cast<uint32_t>(row.value);
        EXPECT_EQ(f.Draw(e), row.log) << row.d;
    }
    SEffectKind k = Sheet(-6);  // eight pieces on a circle of 60 at n 0
    CObjectEffectLand e(&k);
    e.screenX = 100, e.screenY = 50;
    EXPECT_EQ(f.Draw(e).at(4), "BltKeyedCopy 7 (40,50) [0,16,16,32]");
}

TEST(EffectDraw, NumbersCutinsAndText) {
    DrawFixture f;
    f.play.images.Add(15, 48, 48);
    SEffectKind k = Sheet(0);
    k.cellWidth = 8, k.srcY = 16;
    CObjectENumber number(&k);
    number.x = 100, number.y = 50, number.value = -120;  // the digits 1, 2, 0 and no sign
    EXPECT_EQ(f.Draw(number), (Lines{"BltKeyedCopy 7 (88,42) [8,16,16,32]", "BltKeyedCopy 7 (96,42) [16,16,24,32]",
                                     "BltKeyedCopy 7 (104,42) [0,16,8,32]"}));

    const struct { int32_t d; uint16_t n; Lines log; } cutins[] = {
        {-5, 2, {"op2 7 (0,-4) [0,0,64,32] ->48x36"}},
        {-3, 2, {"op2 7 (-177,20) [0,0,64,32] ->256x32"}},
        {-4, 50, {"BltKeyedCopy 15 (15,20) [0,0,64,32]"}},  // 7 + (50 / 3) mod 8 + 8
        {4, 4, {"BltKeyedCopy 11 (15,20) [0,0,64,64]"}},    // the list's entry 4: image 7 + 4
    };
    for (const auto& row : cutins) {
        SEffectKind ck = Sheet(row.d);
        ck.srcX = -1, ck.value7 = 5, ck.frames = {0, 4};
        CObjectCutin cutin(&ck);
        cutin.x = 10, cutin.y = 20, cutin.animCounter = row.n;
        EXPECT_EQ(f.Draw(cutin), row.log) << row.d;
        cutin.startDelay = 1;
        EXPECT_EQ(f.Draw(cutin), Lines{});
    }
    // A band flown out of the int range: its left edge wraps, far off the screen.
    SEffectKind band = Sheet(-3);
    band.srcX = -1;
    CObjectCutin far(&band);
    far.x = 1e10, far.animCounter = 2;
    EXPECT_EQ(f.Draw(far), Lines{"op2 7 (2147483456,0) [0,0,64,32] ->256x32"});

    CObjectFont text(&k);
    text.textPlane.CreateMemorySurface(20, 10, tovarineGameSDK3rd::Draw::XRGB8888, true);
    text.x = 100.7, text.y = 50.2;
    const struct { uint8_t alpha, smoothed; int16_t fadeCounter, fadeLength; Lines log; } texts[] = {
        {255, 0, -1, 0, {"BltKeyedCopy -1 (100,50)"}},
        {255, 1, -1, 0, {"op14 -1 (100,50) =0xff"}},
        {200, 0, 2, 4, {"op14 -1 (100,50) =0x64"}},
        {0, 1, -1, 0, {}},
    };
    for (const auto& row : texts) {
        text.alpha = row.alpha, text.smoothed = row.smoothed;
        text.fadeCounter = row.fadeCounter, text.fadeLength = row.fadeLength;
        EXPECT_EQ(f.Draw(text), row.log) << int(row.alpha) << " " << int(row.smoothed);
    }
}

}  // namespace
