#pragma once
// Fixed-point cosine and arctangent tables, filled once while the program's
// global objects are built and read-only afterwards.
#include <cstdint>

namespace tovarineGameSDK3rd::Math {

class CSinTable {
public:
    static constexpr int32_t kCosEntries = 512;  // one turn
    static constexpr int32_t kAtanEntries = 256;

    CSinTable();

    // 16.16 cosine of entry i (i x pi / 256): i is masked to the turn.
    int32_t Cos(int32_t i) const { return cosine[i & (kCosEntries - 1)]; }
    // The sine is the cosine a quarter turn earlier.
    int32_t Sin(int32_t i) const { return cosine[(i - 128) & (kCosEntries - 1)]; }

    // cos(i x pi / 256) x 65536, truncated toward zero.
    int32_t cosine[kCosEntries];
    // atan(i / 256) x 32768 / pi, truncated: 65536 units to the turn.
    int16_t arctangent[kAtanEntries];
};

extern const CSinTable SinTable;

}  // namespace tovarineGameSDK3rd::Math
