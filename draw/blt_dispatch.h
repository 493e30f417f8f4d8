#pragma once
// DispatchBlt: the one door of every blit of one surface onto another.
#include "draw/base/blt_geometry.h"
#include "draw/base/surface_info.h"

namespace tovarineGameSDK3rd::Draw {

// Blits `src` onto `dst` with operation `op`: locks `dst`, then the source, runs the member of
// the pair and unlocks in reverse order. `param` points to the rate (ops 6-9, 14, 15: its first
// byte) or the two rates (ops 16, 17: the first bytes of two 32-bit words); other ops read
// nothing through it. 0 done (or a pair that draws nothing), 1 no operation, a missing rate or
// a refused lock, 2 no member for the pair. A source that is `dst` itself throws the
// double-lock exception, leaving both unlocked.
int DispatchBlt(CSurfaceInfo& dst, EBltOp op, CSurfaceInfo& src, const BltGeometry& geom,
                const void* param = nullptr);

}  // namespace tovarineGameSDK3rd::Draw
