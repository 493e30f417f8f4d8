#include "draw/base/blend_tables.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/system_palette.h"

using namespace tovarineGameSDK3rd::Draw;
namespace mp = morna::platform;

// Every entry against its formula, after several threads filled the tables at once.
TEST(BlendTables, EveryEntryHoldsItsFormula) {
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([] { InitBlendTables(); });
    for (auto& t : threads) t.join();
    for (int w = 0; w < 256; ++w) {
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(BltMulTable[w][x], w * x / 255) << w << "," << x;
            ASSERT_EQ(BltInvMulTable[w][x], (255 - w) * x / 255) << w << "," << x;
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

// Every colour: the smallest sum of channel differences, the first index on ties; refilled on
// each call, kept when the system has no palette.
TEST(PaletteLookup, NearestEntryLowerIndexOnTies) {
    std::vector<mp::PaletteEntry> pal(8);
    pal[3] = pal[7] = {255, 255, 255, 0};
    pal[5] = {248, 0, 0, 0};
    pal[6] = {0, 0, 200, 0};
    for (int round = 0; round < 2; ++round) {
        mp::SetSystemPaletteEntries(pal.data(), 8);
        BuildPaletteLookup();
        for (int p = 0; p < 32768; ++p) {
            const int R = (p >> 10) * 8, G = ((p >> 5) & 31) * 8, B = (p & 31) * 8;
            int best = 0, bestD = 1 << 30;
            for (int i = 0; i < 8; ++i) {
                const int d = std::abs(R - pal[i].red) + std::abs(G - pal[i].green) + std::abs(B - pal[i].blue);
                if (d < bestD) bestD = d, best = i;
            }
            ASSERT_EQ(PaletteLookupTable[p], best) << p;
        }
        std::swap(pal[0], pal[3]);
    }
    mp::SetSystemPaletteEntries(nullptr, 0);
    BuildPaletteLookup();
    EXPECT_EQ(PaletteLookupTable[0x7FFF], 0);
}
