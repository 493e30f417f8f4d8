#include "draw/base/blend_tables.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/system_palette.h"

using namespace tovarineGameSDK3rd::Draw;
namespace mp = morna::platform;

TEST(BlendTables, EveryEntryHoldsItsFormula) {
    InitBlendTables();
    for (int w = 0; w < 256; ++w) {
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(BltMulTable[w][x], w * x / 255) << w << "," << x;
            ASSERT_EQ(BltInvMulTable[w][x], (255 - w) * x / 255) << w << "," << x;
            ASSERT_LE(BltMulTable[w][x] + BltInvMulTable[w][255], 255);
        }
    }
    for (int l = 0; l < 16; ++l) {
        for (int p = 0; p < 65536; ++p) {
            const int r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            ASSERT_EQ(BltLevelTable565[l][p], (r * l / 15) << 11 | (g * l / 15) << 5 | (b * l / 15)) << l << "," << p;
            const int r5 = (p >> 10) & 31, g5 = (p >> 5) & 31;
            ASSERT_EQ(BltLevelTable555[l][p], (r5 * l / 15) << 10 | (g5 * l / 15) << 5 | (b * l / 15)) << l << "," << p;
        }
    }
}

TEST(BlendTables, KnownEntries) {
    InitBlendTables();
    EXPECT_EQ(BltMulTable[128][255], 128);
    EXPECT_EQ(BltMulTable[255][200], 200);
    EXPECT_EQ(BltMulTable[128][128], 64);
    EXPECT_EQ(BltMulTable[1][254], 0);
    EXPECT_EQ(BltMulTable[254][255], 254);
    EXPECT_EQ(BltInvMulTable[128][255], 127);
    EXPECT_EQ(BltInvMulTable[0][200], 200);
    EXPECT_EQ(BltInvMulTable[255][200], 0);
    EXPECT_EQ(BltLevelTable565[8][0xFFFF], 0x8430);
    EXPECT_EQ(BltLevelTable565[15][0x1234], 0x1234);
    EXPECT_EQ(BltLevelTable565[0][0xBEEF], 0);
    EXPECT_EQ(BltLevelTable565[7][0xFFFF], 0x73AE);
    EXPECT_EQ(BltLevelTable555[8][0x7FFF], 0x4210);
    EXPECT_EQ(BltLevelTable555[8][0xFFFF], 0x4210);
    EXPECT_EQ(BltLevelTable555[15][0x8001], 0x0001);
}

TEST(BlendTables, ConcurrentInitialisationIsHarmless) {
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([] { InitBlendTables(); });
    for (auto& t : threads) t.join();
    InitBlendTables();
    EXPECT_EQ(BltMulTable[200][100], 78);
    EXPECT_EQ(BltLevelTable555[15][0x7FFF], 0x7FFF);
}

namespace {
// Puts the system palette back to none after each test.
class PaletteLookup : public ::testing::Test {
protected:
    void TearDown() override { mp::SetSystemPaletteEntries(nullptr, 0); }
};
}  // namespace

TEST_F(PaletteLookup, NearestEntryLowerIndexOnTies) {
    std::vector<mp::PaletteEntry> pal(8);
    pal[3] = {255, 255, 255, 0};
    pal[7] = {255, 255, 255, 0};
    pal[5] = {248, 0, 0, 0};
    pal[6] = {0, 0, 200, 0};
    mp::SetSystemPaletteEntries(pal.data(), 8);
    BuildPaletteLookup();
    EXPECT_EQ(PaletteLookupTable[0x7FFF], 3);
    EXPECT_EQ(PaletteLookupTable[0x7C00], 5);          // pure red 248
    EXPECT_EQ(PaletteLookupTable[0x0000], 0);          // black: entries 0..2 and 4 are all black
    EXPECT_EQ(PaletteLookupTable[(25 << 0)], 6);       // blue 200 exactly
    // Every colour: the smallest sum of channel differences, first index on ties.
    for (int p = 0; p < 32768; ++p) {
        const int R = (p >> 10) * 8, G = ((p >> 5) & 31) * 8, B = (p & 31) * 8;
        int best = 0, bestD = 1 << 30;
        for (int i = 0; i < 8; ++i) {
            const int d = std::abs(R - pal[i].red) + std::abs(G - pal[i].green) + std::abs(B - pal[i].blue);
            if (d < bestD) bestD = d, best = i;
        }
        ASSERT_EQ(PaletteLookupTable[p], best) << p;
    }
}

TEST_F(PaletteLookup, RefilledOnEveryCallAndKeptWithoutEntries) {
    mp::PaletteEntry one[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    mp::SetSystemPaletteEntries(one, 2);
    BuildPaletteLookup();
    EXPECT_EQ(PaletteLookupTable[0x7FFF], 1);
    mp::PaletteEntry swapped[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    mp::SetSystemPaletteEntries(swapped, 2);
    BuildPaletteLookup();
    EXPECT_EQ(PaletteLookupTable[0x7FFF], 0);
    EXPECT_EQ(PaletteLookupTable[0x0000], 1);
    mp::SetSystemPaletteEntries(nullptr, 0);
    BuildPaletteLookup();
    EXPECT_EQ(PaletteLookupTable[0x7FFF], 0);
    EXPECT_EQ(PaletteLookupTable[0x0000], 1);
}
