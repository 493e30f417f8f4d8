#include "draw/blt_copy.h"

namespace tovarineGameSDK3rd::Draw {

constinit const std::array<BltPair, kBltCopyPairs.Count()> kBltCopyMembers = MakeBltPairs<kBltCopyPairs, CopyPixel>();
constinit const std::array<BltPair, kBltKeyedCopyPairs.Count()> kBltKeyedCopyMembers =
    MakeBltPairs<kBltKeyedCopyPairs, KeyedCopyPixel>();

}  // namespace tovarineGameSDK3rd::Draw
