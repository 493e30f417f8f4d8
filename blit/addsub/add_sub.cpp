#include "blit/addsub/add_sub.h"

namespace tovarineGameSDK3rd::Draw {

namespace {

// Pairs that give the same pixels share one instance: the X formats onto themselves treat
// their three channel bytes alike (the keyed ops compare raw pixels with a key packed in the
// source's own order); op 2 of an X format onto its 8-bit alpha counterpart reads no fourth
// byte, as the alpha format onto itself, and op 3 of the alpha format onto itself reads none,
// as the X format onto it. The rate ops keep a member for each pair.
constexpr SurfacePair AddServedBy(SurfacePair p) {
    if (p.src == XBGR8888 && p.dst == XBGR8888) return {XRGB8888, XRGB8888};
    if (p.src == XRGB8888 && p.dst == ARGB8888) return {ARGB8888, ARGB8888};
    if (p.src == XBGR8888 && p.dst == ABGR8888) return {ABGR8888, ABGR8888};
    return p;
}
constexpr SurfacePair SubServedBy(SurfacePair p) {
    if (p.src == XBGR8888 && p.dst == XBGR8888) return {XRGB8888, XRGB8888};
    if (p.src == ARGB8888 && p.dst == ARGB8888) return {XRGB8888, ARGB8888};
    if (p.src == ABGR8888 && p.dst == ABGR8888) return {XBGR8888, ABGR8888};
    return p;
}
constexpr SurfacePair KeyedServedBy(SurfacePair p) {
    if (p.src == XRGB8888 && p.dst == XRGB8888) return {XBGR8888, XBGR8888};
    return p;
}

}  // namespace

constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltAddMembers =
    MakeBltPairs<kBltFamilyPairs, BltAddOp, &AddServedBy>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltSubMembers =
    MakeBltPairs<kBltFamilyPairs, BltSubOp, &SubServedBy>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedAddMembers =
    MakeBltPairs<kBltFamilyPairs, BltKeyedAddOp, &KeyedServedBy>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltKeyedSubMembers =
    MakeBltPairs<kBltFamilyPairs, BltKeyedSubOp, &KeyedServedBy>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltAddRateMembers =
    MakeBltPairs<kBltFamilyPairs, BltAddRateOp>();
constinit const std::array<BltPair, kBltFamilyPairs.Count()> kBltSubRateMembers =
    MakeBltPairs<kBltFamilyPairs, BltSubRateOp>();
constinit const std::array<BltPair, kBltKeyedRatePairs.Count()> kBltKeyedAddRateMembers =
    MakeBltPairs<kBltKeyedRatePairs, BltKeyedAddRateOp>();
constinit const std::array<BltPair, kBltKeyedRatePairs.Count()> kBltKeyedSubRateMembers =
    MakeBltPairs<kBltKeyedRatePairs, BltKeyedSubRateOp>();

}  // namespace tovarineGameSDK3rd::Draw
