#pragma once
// The blend blits: the member tables of ops 14 and 15, in the order of their pair sets, for
// the drawing core's table of operations.
#include <array>

#include "draw/base/blt_pairs.h"

namespace tovarineGameSDK3rd::Draw {

extern const std::array<BltPair, kBltFamilyPairs.Count()> kBltBlendMembers;       // op 14
extern const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedBlendMembers;  // op 15

}  // namespace tovarineGameSDK3rd::Draw
