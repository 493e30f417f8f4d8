#include "draw/base/blend_tables.h"

#include <cstdlib>
#include <mutex>

#include "platform/system_palette.h"

namespace tovarineGameSDK3rd::Draw {

alignas(64) uint8_t BltMulTable[256][256];
alignas(64) uint8_t BltInvMulTable[256][256];
alignas(64) uint16_t BltLevelTable565[16][65536];
alignas(64) uint16_t BltLevelTable555[16][65536];
alignas(64) uint8_t PaletteLookupTable[32768];

namespace {

void FillBlendTables() {
    for (int w = 0; w < 256; ++w) {
        for (int x = 0; x < 256; ++x) {
            BltMulTable[w][x] = static_cast<uint8_t>(w * x / 255);
            BltInvMulTable[w][x] = static_cast<uint8_t>((255 - w) * x / 255);
        }
    }
    for (int l = 0; l < 16; ++l) {
        for (int p = 0; p < 65536; ++p) {
            const int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
            BltLevelTable565[l][p] = static_cast<uint16_t>((r * l / 15) << 11 | (g * l / 15) << 5 | (b * l / 15));
            const int r5 = (p >> 10) & 31, g5 = (p >> 5) & 31;
            BltLevelTable555[l][p] = static_cast<uint16_t>((r5 * l / 15) << 10 | (g5 * l / 15) << 5 | (b * l / 15));
        }
    }
}

}  // namespace

void InitBlendTables() {
    // The contents never change, so filling them once is the same as filling them on every
    // display object; and no reader ever sees a table being rewritten.
    static std::once_flag once;
    std::call_once(once, FillBlendTables);
}

void BuildPaletteLookup() {
    morna::platform::PaletteEntry entries[256];
    const int n = morna::platform::GetSystemPaletteEntries(0, 256, entries);
    if (n <= 0) return;
    for (int p = 0; p < 32768; ++p) {
        const int R = (p >> 10) * 8, G = ((p >> 5) & 31) * 8, B = (p & 31) * 8;
        int best = 0, bestDist = 0x7FFFFFFF;
        for (int i = 0; i < n; ++i) {
            const int dist = std::abs(R - entries[i].red) + std::abs(G - entries[i].green) + std::abs(B - entries[i].blue);
            if (dist < bestDist) {
                bestDist = dist;
                best = i;
            }
        }
        PaletteLookupTable[p] = static_cast<uint8_t>(best);
    }
}

}  // namespace tovarineGameSDK3rd::Draw
