#include "draw/blt_dispatch.h"

#include "draw/base/surface_lock.h"
#include "draw/blt_table.h"

namespace tovarineGameSDK3rd::Draw {

int DispatchBlt(CSurfaceInfo& dst, EBltOp op, CSurfaceInfo& src, const BltGeometry& geom, const void* param) {
    const BltOpRow* row = FindBltOp(static_cast<int32_t>(op));
    if (!row) return BltNotDone;
    // A rate operation without its rate does nothing rather than read through null.
    if (row->rates && !param) return BltNotDone;

    CSurfaceLock dstLock(dst);
    if (!dstLock) return BltNotDone;
    CSurfaceLock srcLock(src);
    if (!srcLock) return BltNotDone;

    const BltCell cell = FindBltCell(*row, src.type, dst.type);
    switch (cell.kind) {
        case BltCellKind::NoDraw: return BltDone;
        case BltCellKind::NotBuilt:
        case BltCellKind::Unsupported: return BltUnsupported;
        case BltCellKind::Member: break;
    }
    BltParam p;
    if (row->keyed) p.key = PackColorKey(src.type, src.colourKey, dst.type);
    if (row->rates >= 1) p.rate = static_cast<const uint8_t*>(param)[0];
    if (row->rates >= 2) p.rate2 = static_cast<const uint8_t*>(param)[4];
    cell.member(src, dst, p, geom);  // its own answer (1: nothing inside the clip) is not passed on
    return BltDone;
}

}  // namespace tovarineGameSDK3rd::Draw
