#pragma once
// The blend blits: the member tables of ops 10 and 14 to 17, in the order of their pair sets, for
// the drawing core's table of operations.
#include <array>

#include "draw/base/blt_pairs.h"

namespace tovarineGameSDK3rd::Draw {

extern const std::array<BltPair, kBltFamilyPairs.Count()> kBltBlendMembers;       // op 14
extern const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedBlendMembers;  // op 15
extern const std::array<BltPair, kBltFamilyPairs.Count()> kBltBlendTwoRatesMembers;       // op 16
extern const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedBlendTwoRatesMembers;  // op 17
extern const std::array<BltPair, kBltAlphaPairs.Count()> kBltAlphaMembers;                // op 10

}  // namespace tovarineGameSDK3rd::Draw
