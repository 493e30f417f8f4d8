#pragma once
// The polygon blit: a polygon of a source surface mapped pixel by pixel onto a polygon of a
// destination surface with a copy (op 0), a keyed copy (op 1) or the source's alpha (op 10).
//
// DispatchPolyBlt is the op switch of a destination description (ISurface::PolyBlt forwards
// to it): it locks the destination, then the source, packs the source's colour key for op 1,
// runs the worker of the pair from the polygon pair table and unlocks in reverse order.
// Answers: 0 a worker ran (whatever it answered), or the two types are equal and have no
// worker; 1 an op other than 0, 1 and 10, a null source (nothing locked) or a refused lock;
// 2 two different types without a worker. The double-lock exception (source and destination
// one description) leaves the call after the scoped locks have unlocked.
#include <array>
#include <cstdint>
#include <span>

#include "draw/base/blt_geometry.h"
#include "draw/base/blt_pairs.h"
#include "draw/base/surface_info.h"

namespace tovarineGameSDK3rd::Draw {

// One polygon blit, owned by the caller; nothing here keeps it or the arrays it points to.
struct PolyBltGeometry {
    const Point* srcPoints = nullptr;  // vertex i of the source maps onto vertex i of the destination
    const Point* dstPoints = nullptr;
    const Rect* clipRect = nullptr;    // null: the whole destination; always cut to it
    // 0: the source steps of an edge or a span land on its end points; non-zero: they are one
    // step shorter, so the walk stops one step before them.
    uint8_t spanFlag = 0;
    int32_t count = 0;                 // vertices in each array
};

// A worker: one instance of the rasterizer (poly_raster.h) for a source format, a destination
// format and a pixel operation. param is op 1's packed key (ops 0 and 10 read nothing). Both
// surfaces are locked by the caller. -1 when a surface, the geometry or a point array is
// null, else 0 (also when nothing is drawn).
using PolyBltWorker = int (*)(const CSurfaceInfo* src, const CSurfaceInfo* dst, uint32_t param,
                              const PolyBltGeometry* geom);

struct PolyBltPair {
    int32_t src;
    int32_t dst;
    PolyBltWorker worker;
};

// The 26 pairs that every polygon op serves: each format but Palette8 onto itself, each
// alpha format onto its plain counterparts and back.
inline constexpr const BltPairSet& kPolyBltPairs = kBltFamilyPairs;

using PolyBltTable = std::array<PolyBltPair, kPolyBltPairs.Count()>;

// The workers of ops 0, 1 and 10, one row per pair in kPolyBltPairs' order.
struct PolyBltWorkers {
    std::span<const PolyBltPair> copy, keyed, alpha;
};
const PolyBltWorkers& BuiltPolyBltWorkers();

int DispatchPolyBlt(CSurfaceInfo& dst, int32_t op, CSurfaceInfo* src, const PolyBltGeometry* geom, int32_t extra = 0);
// The same over other workers (the tests' recording ones).
int DispatchPolyBltWith(const PolyBltWorkers& workers, CSurfaceInfo& dst, int32_t op, CSurfaceInfo* src,
                        const PolyBltGeometry* geom);

// Ops 0 and 10 on their own; param is handed to the worker unchanged.
int DispatchPolyBltCopy(CSurfaceInfo* src, CSurfaceInfo* dst, const PolyBltGeometry* geom, uint8_t param);
int DispatchPolyBltAlpha(CSurfaceInfo* src, CSurfaceInfo* dst, const PolyBltGeometry* geom, uint8_t param);

}  // namespace tovarineGameSDK3rd::Draw
