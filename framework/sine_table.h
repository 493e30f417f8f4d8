#pragma once
// The game's sine table: 1024 doubles, entry i = sin(i x 3.14159265 / 512), so that entry 4a
// is the sine of a byte angle a (256 steps a turn, 0 right, 64 down). The short constant is
// part of the behaviour: replays repeat only with these exact values. The SDK's fixed-point
// table (tovarineGameSDK3rd::Math::SinTable) is another table.
#include <cstdint>

namespace KestraneGameBase2 {

constexpr int32_t kSineTableSize = 1024;

// Filled before main as well, so that nothing ever reads zeros; BuildSineTable fills it again
// with the same values.
extern double SinTable[kSineTableSize];

void BuildSineTable();

// Sine and cosine of a byte angle, the only reads of the table by angle.
inline double SinOf(uint8_t angle) { return SinTable[4 * angle]; }
inline double CosOf(uint8_t angle) { return SinOf(static_cast<uint8_t>(angle + 64)); }

}  // namespace KestraneGameBase2
