#include "blit/blend/blend.h"

#include "blit/blend/blend_pixel.h"

namespace tovarineGameSDK3rd::Draw {

constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltBlendMembers =
    MakeBltPairs<kBltFamilyPairs, BlendPixel>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedBlendMembers =
    MakeBltPairs<kBltFamilyPairs, KeyedBlendPixel>();

}  // namespace tovarineGameSDK3rd::Draw
