#include "blit/polygon/poly_blt.h"

#include "blit/polygon/poly_workers.h"
#include "draw/base/surface_lock.h"

namespace tovarineGameSDK3rd::Draw {

namespace {

constinit const PolyBltTable kCopyWorkers = MakePolyBltWorkers<polygon::CopyPixel, &CopyServedBy>();
constinit const PolyBltTable kKeyedWorkers = MakePolyBltWorkers<polygon::KeyedCopyPixel, &KeyedServedBy>();
constinit const PolyBltTable kAlphaWorkers = MakePolyBltWorkers<polygon::AlphaBlendPixel>();

// Locks, picks the worker of the pair in `table` and runs it. keyed: the worker gets the
// source's key packed in its format.
int RunPolyBlt(std::span<const PolyBltPair> table, bool keyed, CSurfaceInfo* src, CSurfaceInfo& dst,
               const PolyBltGeometry* geom, uint32_t param) {
    if (!src) return BltNotDone;
    CSurfaceLock dstLock(dst);
    if (!dstLock) return BltNotDone;
    CSurfaceLock srcLock(*src);
    if (!srcLock) return BltNotDone;
    const int rank = kPolyBltPairs.Rank(src->type, dst.type);
    if (rank < 0) return src->type == dst.type ? BltDone : BltUnsupported;
    if (keyed) param = PackColorKey(src->type, src->colourKey, dst.type);
    table[static_cast<size_t>(rank)].worker(src, &dst, param, geom);  // its -1 (a null geometry) is not passed on
    return BltDone;
}

}  // namespace

const PolyBltWorkers& BuiltPolyBltWorkers() {
    static const PolyBltWorkers workers{kCopyWorkers, kKeyedWorkers, kAlphaWorkers};
    return workers;
}

int DispatchPolyBltWith(const PolyBltWorkers& workers, CSurfaceInfo& dst, int32_t op, CSurfaceInfo* src,
                        const PolyBltGeometry* geom) {
    switch (op) {
        case 0: return RunPolyBlt(workers.copy, false, src, dst, geom, 0);
        case 1: return RunPolyBlt(workers.keyed, true, src, dst, geom, 0);
        case 10: return RunPolyBlt(workers.alpha, false, src, dst, geom, 0);
        default: return BltNotDone;
    }
}

int DispatchPolyBlt(CSurfaceInfo& dst, int32_t op, CSurfaceInfo* src, const PolyBltGeometry* geom, int32_t /*extra*/) {
    return DispatchPolyBltWith(BuiltPolyBltWorkers(), dst, op, src, geom);
}

int DispatchPolyBltCopy(CSurfaceInfo* src, CSurfaceInfo* dst, const PolyBltGeometry* geom, uint8_t param) {
    return dst ? RunPolyBlt(BuiltPolyBltWorkers().copy, false, src, *dst, geom, param) : BltNotDone;
}

int DispatchPolyBltAlpha(CSurfaceInfo* src, CSurfaceInfo* dst, const PolyBltGeometry* geom, uint8_t param) {
    return dst ? RunPolyBlt(BuiltPolyBltWorkers().alpha, false, src, *dst, geom, param) : BltNotDone;
}

}  // namespace tovarineGameSDK3rd::Draw
