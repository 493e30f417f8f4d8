#include "blit/blend/blend.h"

#include "blit/blend/blend_pixel.h"
#include "blit/blend/cpu_level.h"

namespace tovarineGameSDK3rd::Draw {

namespace {

// XRGB8888 onto itself by one rate: the packed worker where the processor has MMX and
// conditional moves (level 4), else the table-driven one.
int BltBlendXrgb8888(const CSurfaceInfo& src, const CSurfaceInfo& dst, const BltParam& param, const BltGeometry& geom) {
    EnsureCpuInfoInstance();
    if (GetCPUType() & 4) return BltMember<XRGB8888, XRGB8888, PackedBlendPixel>(src, dst, param, geom);
    return BltMember<XRGB8888, XRGB8888, BlendPixel>(src, dst, param, geom);
}

}  // namespace

constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltBlendMembers = [] {
    auto t = MakeBltPairs<kBltFamilyPairs, BlendPixel>();
    t[kBltFamilyPairs.Rank(XRGB8888, XRGB8888)].member = &BltBlendXrgb8888;
    return t;
}();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedBlendMembers =
    MakeBltPairs<kBltFamilyPairs, KeyedBlendPixel>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltBlendTwoRatesMembers =
    MakeBltPairs<kBltFamilyPairs, BlendTwoRatesPixel>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedBlendTwoRatesMembers =
    MakeBltPairs<kBltFamilyPairs, KeyedBlendTwoRatesPixel>();
constinit const std::array<BltPair, kBltAlphaPairs.Count()> kBltAlphaMembers = MakeBltPairs<kBltAlphaPairs, AlphaPixel>();

}  // namespace tovarineGameSDK3rd::Draw
