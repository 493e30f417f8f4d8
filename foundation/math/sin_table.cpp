#include "foundation/math/sin_table.h"

#include <cmath>
#include <numbers>

namespace tovarineGameSDK3rd::Math {

CSinTable::CSinTable() {
    constexpr double pi = std::numbers::pi;
    for (int32_t i = 0; i < kCosEntries; ++i)
        cosine[i] = static_cast<int32_t>(std::cos(i * pi / 256.0) * 65536.0);
    for (int32_t i = 0; i < kAtanEntries; ++i)
        arctangent[i] = static_cast<int16_t>(std::atan(i / 256.0) * 32768.0 / pi);
}

const CSinTable SinTable;

}  // namespace tovarineGameSDK3rd::Math
