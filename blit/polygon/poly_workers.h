#pragma once
// The polygon workers by name, and the generator of a table of workers over the pair set.
//
//   PolyBltCopy<XRGB8888, XRGB8888>      the op-0 worker of that pair (a PolyBltWorker)
//   MakePolyBltWorkers<Op, By>()         one worker per pair of kPolyBltPairs: the rasterizer
//                                        with Op<S, D> over the pair that By names for it
// Where two pairs give the same pixels one worker serves both (By), as the copies of the
// 32-bit formats onto themselves share one that moves whole words.
#include <utility>

#include "blit/polygon/poly_blt.h"
#include "blit/polygon/poly_pixel.h"
#include "blit/polygon/poly_raster.h"

namespace tovarineGameSDK3rd::Draw {

template <SurfaceType S, SurfaceType D, template <class, class> class Op>
int PolyBltMember(const CSurfaceInfo* src, const CSurfaceInfo* dst, uint32_t param, const PolyBltGeometry* geom) {
    using SF = PixelFormat<S>;
    using DF = PixelFormat<D>;
    return polygon::PolyRaster<SF, DF, Op<SF, DF>>(src, dst, param, geom);
}

template <SurfaceType S, SurfaceType D>
inline constexpr PolyBltWorker PolyBltCopy = &PolyBltMember<S, D, polygon::CopyPixel>;
template <SurfaceType S, SurfaceType D>
inline constexpr PolyBltWorker PolyBltKeyedCopy = &PolyBltMember<S, D, polygon::KeyedCopyPixel>;
template <SurfaceType S, SurfaceType D>
inline constexpr PolyBltWorker PolyBltAlpha = &PolyBltMember<S, D, polygon::AlphaBlendPixel>;

// The pair whose worker serves a pair of op 0: one word copy for each 16-bit format onto
// itself, one for the 4-bit alpha formats onto themselves and one for a 16-bit format onto
// its 4-bit alpha format, one 32-bit word copy for the 32-bit formats onto themselves.
constexpr SurfacePair CopyServedBy(SurfacePair p) {
    if (p.src == RGB565 && p.dst == RGB565) return {RGB555, RGB555};
    if (p.src == ARGB4565 && p.dst == ARGB4565) return {ARGB4555, ARGB4555};
    if (p.src == RGB565 && p.dst == ARGB4565) return {RGB555, ARGB4555};
    if (p.src == p.dst && (p.src == XBGR8888 || p.src == ARGB8888 || p.src == ABGR8888)) return {XRGB8888, XRGB8888};
    return p;
}

// The pair whose worker serves a pair of op 1: the word formats as for op 0; one worker keys
// the 32-bit words of both pad formats onto themselves, one the three colour bytes of both
// 8-bit alpha formats onto themselves.
constexpr SurfacePair KeyedServedBy(SurfacePair p) {
    if (p.src == XBGR8888 && p.dst == XBGR8888) return {XRGB8888, XRGB8888};
    if (p.src == ABGR8888 && p.dst == ABGR8888) return {ARGB8888, ARGB8888};
    if (p.src == p.dst && (p.src == XRGB8888 || p.src == ARGB8888)) return p;
    return CopyServedBy(p);
}

namespace polygon {
template <template <class, class> class Op, BltServedBy By, size_t... I>
constexpr PolyBltTable MakeWorkers(std::index_sequence<I...>) {
    constexpr auto pairs = PairsOf<kBltFamilyPairs>();
    constexpr std::array<SurfacePair, sizeof...(I)> served{By(pairs[I])...};
    return {PolyBltPair{pairs[I].src, pairs[I].dst,
                        &PolyBltMember<static_cast<SurfaceType>(served[I].src), static_cast<SurfaceType>(served[I].dst), Op>}...};
}
}  // namespace polygon

// One worker per pair, in kPolyBltPairs' order.
template <template <class, class> class Op, BltServedBy By = &ServedByItself>
constexpr PolyBltTable MakePolyBltWorkers() {
    return polygon::MakeWorkers<Op, By>(std::make_index_sequence<kPolyBltPairs.Count()>{});
}

}  // namespace tovarineGameSDK3rd::Draw
