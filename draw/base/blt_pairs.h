#pragma once
// The pairs of formats that each blit operation has members for, and the generator that turns
// a pair set and an operator into a family's member table.
//
// A family builds its table in one line from the set its operation accepts:
//
//   constinit const auto kBltAddMembers = MakeBltPairs<kBltFamilyPairs, BltAddOp>();
//
// The rows come out in the set's order (source code ascending, then destination code), which
// is the order the dispatch's table expects (BltPairSet::Rank).
#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "draw/base/blt_loop.h"

namespace tovarineGameSDK3rd::Draw {

struct SurfacePair {
    int32_t src;
    int32_t dst;
};

// A set of (source code, destination code) pairs over the codes 0 to 15: bit d of dsts[s],
// with each pair's position in the set's order kept beside it (a blit looks it up per call).
struct BltPairSet {
    uint16_t dsts[16] = {};
    int8_t ranks[16][16] = {};  // position of (s, d) in the set's order; -1 when not in it

    constexpr void Add(int32_t src, std::initializer_list<int32_t> dst) {
        for (int32_t d : dst) dsts[src] = static_cast<uint16_t>(dsts[src] | 1u << d);
        int n = 0;
        for (int s = 0; s < 16; ++s)
            for (int d = 0; d < 16; ++d) ranks[s][d] = static_cast<int8_t>(dsts[s] >> d & 1u ? n++ : -1);
    }
    constexpr bool Has(int32_t src, int32_t dst) const {
        return src >= 0 && src < 16 && dst >= 0 && dst < 16 && (dsts[src] >> dst & 1u);
    }
    constexpr int Count() const {
        int n = 0;
        for (uint16_t m : dsts) n += std::popcount(m);
        return n;
    }
    // Position of a pair in the set's order; -1 when it is not in the set.
    constexpr int Rank(int32_t src, int32_t dst) const {
        if (static_cast<uint32_t>(src) >= 16 || static_cast<uint32_t>(dst) >= 16) return -1;
        return ranks[src][dst];
    }
};

// The pairs of a set, in its order.
template <const BltPairSet& Set>
constexpr auto PairsOf() {
    std::array<SurfacePair, Set.Count()> out{};
    size_t i = 0;
    for (int s = 0; s < 16; ++s)
        for (int d = 0; d < 16; ++d)
            if (Set.Has(s, d)) out[i++] = SurfacePair{s, d};
    return out;
}

// The pair whose instance serves a pair: where two pairs give the same pixels, one instance
// may serve both.
using BltServedBy = SurfacePair (*)(SurfacePair);
constexpr SurfacePair ServedByItself(SurfacePair p) { return p; }

namespace detail {
template <const BltPairSet& Set, template <class, class> class Op, BltServedBy By, size_t... I>
constexpr auto MakeBltPairs(std::index_sequence<I...>) {
    constexpr auto pairs = PairsOf<Set>();
    constexpr std::array<SurfacePair, sizeof...(I)> served{By(pairs[I])...};
    return std::array<BltPair, sizeof...(I)>{
        BltPair{pairs[I].src, pairs[I].dst,
                &BltMember<static_cast<SurfaceType>(served[I].src), static_cast<SurfaceType>(served[I].dst), Op>}...};
}
}  // namespace detail

// One member per pair of the set: BltMember<S, D, Op> of the pair itself or of the pair that
// By names for it, in the set's order.
template <const BltPairSet& Set, template <class, class> class Op, BltServedBy By = &ServedByItself>
constexpr auto MakeBltPairs() {
    return detail::MakeBltPairs<Set, Op, By>(std::make_index_sequence<Set.Count()>{});
}

// Op 0 (copy): from every format but Palette8, by the conversions the formats allow.
inline constexpr BltPairSet kBltCopyPairs = [] {
    BltPairSet s;
    s.Add(RGB565, {RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB4565});
    s.Add(RGB555, {Palette8, RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB4555});
    for (int32_t src : {RGB888, XRGB8888})
        s.Add(src, {RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB8888});
    for (int32_t src : {BGR888, XBGR8888})
        s.Add(src, {RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB8888, ABGR8888});
    for (int32_t src : {ARGB4565, ARGB4555, ARGB8888, ABGR8888})
        s.Add(src, {RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB4565, ARGB4555, ARGB8888, ABGR8888});
    return s;
}();

// The 26 family pairs of ops 1 to 7 and 14 to 17: every format but Palette8 onto itself, each
// plain format onto its alpha counterparts, each alpha format onto its plain counterparts.
inline constexpr BltPairSet kBltFamilyPairs = [] {
    BltPairSet s;
    for (int32_t f : {RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB4565, ARGB4555, ARGB8888, ABGR8888})
        s.Add(f, {f});
    s.Add(RGB565, {ARGB4565});
    s.Add(RGB555, {ARGB4555});
    for (int32_t src : {RGB888, BGR888, XRGB8888, XBGR8888}) s.Add(src, {ARGB8888, ABGR8888});
    s.Add(ARGB4565, {RGB565});
    s.Add(ARGB4555, {RGB555});
    s.Add(ARGB8888, {RGB888, XRGB8888});
    s.Add(ABGR8888, {BGR888, XBGR8888});
    return s;
}();

// Op 1 (keyed copy) accepts the family pairs.
inline constexpr const BltPairSet& kBltKeyedCopyPairs = kBltFamilyPairs;

// Ops 8 and 9 (keyed add and subtract by a rate): the same-format pairs but RGB888's.
inline constexpr BltPairSet kBltKeyedRatePairs = [] {
    BltPairSet s;
    for (int32_t f : {RGB565, RGB555, BGR888, XRGB8888, XBGR8888, ARGB4565, ARGB4555, ARGB8888, ABGR8888})
        s.Add(f, {f});
    return s;
}();

// Op 10 (blend by the source's alpha): each alpha format onto itself and its plain counterparts.
inline constexpr BltPairSet kBltAlphaPairs = [] {
    BltPairSet s;
    s.Add(ARGB4565, {RGB565, ARGB4565});
    s.Add(ARGB4555, {RGB555, ARGB4555});
    s.Add(ARGB8888, {RGB888, XRGB8888, ARGB8888});
    s.Add(ABGR8888, {BGR888, XBGR8888, ABGR8888});
    return s;
}();

}  // namespace tovarineGameSDK3rd::Draw
