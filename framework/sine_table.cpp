#include "framework/sine_table.h"

#include <cmath>

namespace KestraneGameBase2 {

double SinTable[kSineTableSize];

void BuildSineTable() {
    for (int32_t i = 0; i < kSineTableSize; ++i) SinTable[i] = std::sin(i * 3.14159265 * 0.5 * 0.00390625);
}

namespace {
const bool kBuiltAtStart = (BuildSineTable(), true);
}  // namespace

}  // namespace KestraneGameBase2
