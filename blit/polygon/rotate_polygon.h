#pragma once
// A sprite rectangle turned and zoomed into the four-point polygon that the polygon blit
// draws, and the two small arithmetic helpers it is written with.
#include <cstdint>

#include "blit/polygon/poly_blt.h"
#include "draw/base/blt_geometry.h"
#include "draw/base/surface_info.h"

namespace tovarineGameSDK3rd::Draw {

// a * b / c from a 64-bit product, rounded to the nearest integer, halves away from zero;
// -1 when c is 0 or the result does not fit 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

inline void SetRect(Rect* r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    *r = Rect{left, top, right, bottom};
}

// The source rectangle (srcRect, or the whole source written into rectBuffer) drawn with its
// top-left corner at (x, y), zoomed by zoom / 65536 and turned by angle / 256 of a turn
// (clockwise on the screen) about an anchor: 0 top-left, 1 top-right, 2 bottom-left,
// 3 bottom-right, 4 centre of the zoomed rectangle. Writes the source corners (inclusive
// pixels) into srcPoints[4], the turned destination corners (exclusive edges, so an unturned
// box is one pixel wider and taller than the zoomed size) into dstPoints[4], and a geometry
// over them with the given clip and span flag 0.
// -1 when source (or an output) is null, nothing written. 0 otherwise; a zoom of 0 or an
// empty zoomed size gives a geometry of no points, which draws nothing. An anchor outside
// 0..4 throws VTL::CRuntimeException.
int MakeRotatePolygon(PolyBltGeometry* geometry, const CSurfaceInfo* source, int32_t x, int32_t y, int32_t angle,
                      int32_t zoom, int32_t anchor, const Rect* srcRect, const Rect* clipRect, Rect* rectBuffer,
                      Point* srcPoints, Point* dstPoints);

}  // namespace tovarineGameSDK3rd::Draw
