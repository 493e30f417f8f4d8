#pragma once
// Process-wide lookup tables of the software blitter: weighted channel values and 16-bit
// pixels scaled by a level, so that the pixel loops multiply and divide nothing, and the
// nearest system-palette index of every RGB555 colour.
#include <cstdint>

namespace tovarineGameSDK3rd::Draw {

// [w][x] = floor(w * x / 255): row 255 is the identity, row 0 all zero.
extern uint8_t BltMulTable[256][256];
// [w][x] = floor((255 - w) * x / 255); BltMulTable[w][s] + BltInvMulTable[w][d] <= 255.
extern uint8_t BltInvMulTable[256][256];
// [l][p]: the RGB565 pixel p with each field f replaced by floor(f * l / 15), l 0..15.
extern uint16_t BltLevelTable565[16][65536];
// [l][p]: the same for RGB555; bit 15 of p is ignored and bit 15 of every entry is 0.
extern uint16_t BltLevelTable555[16][65536];
// [p]: index of the system palette entry nearest to the RGB555 colour p (bit 15 clear).
extern uint8_t PaletteLookupTable[32768];

// Fills the four blend tables. Every call after the first finds them filled and returns;
// safe to call from several threads at once.
void InitBlendTables();

// Refills PaletteLookupTable from the system palette: for each RGB555 colour the entry with
// the smallest sum of absolute channel differences, the lower index on ties. Without a system
// palette (no entry read) the table keeps what it held.
void BuildPaletteLookup();

}  // namespace tovarineGameSDK3rd::Draw
