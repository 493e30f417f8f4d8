#pragma once
// Blit operation codes, the placement record of a blit and the common clipper that every
// blit member runs first.
#include <cstdint>

namespace tovarineGameSDK3rd::Draw {

class CSurfaceInfo;

struct Point {
    int32_t x, y;
};
struct Size {
    int32_t cx, cy;
};
// Right and bottom are exclusive.
struct Rect {
    int32_t left, top, right, bottom;
};

// Operation codes of ISurface::Blt and DispatchBlt. 11 to 13, codes above 17
// and negative codes carry no operation.
enum class EBltOp : int32_t {
    BltCopy = 0,
    BltKeyedCopy = 1,
    BltAdd = 2,
    BltSub = 3,
    BltKeyedAdd = 4,
    BltKeyedSub = 5,
    BltAddRate = 6,
    BltSubRate = 7,
    BltKeyedAddRate = 8,
    BltKeyedSubRate = 9,
    BltAlpha = 10,
    BltBlend = 14,
    BltKeyedBlend = 15,
    BltBlendTwoRates = 16,
    BltKeyedBlendTwoRates = 17,
};

// Result codes of a blit.
enum BltResult : int {
    BltDone = 0,         // a member ran (or the pair answers 0 without drawing)
    BltNotDone = 1,      // no operation, or a lock failed
    BltUnsupported = 2,  // no member for the pair of formats
};

// Where and how a blit draws. Every pointer may be null: an all-zero record draws the whole
// source, unscaled, at the destination's origin.
struct BltGeometry {
    const Point* dstPoint = nullptr;  // null: (0, 0)
    const Size* dstSize = nullptr;    // null: the source rectangle's size (no scaling)
    const Rect* srcRect = nullptr;    // null: the whole source
    const Rect* clipRect = nullptr;   // in destination pixels; null: the whole destination
    int32_t basePoint = 0;            // 0..8: which point of the drawn rectangle dstPoint names
};

// What CalcBltGeometry hands a worker. The eight stepping terms are written only when
// oneToOne is false.
struct BltClipResult {
    bool oneToOne;
    Rect srcRect;   // source pixels to read
    Rect dstRect;   // destination pixels to write
    Rect clipRect;  // the clip applied, cut to the destination
    int32_t errX;   // horizontal error term at the start of every row
    int32_t remX;   // source width mod unclipped destination width
    int32_t denX;   // unclipped destination width
    int32_t stepX;  // whole source pixels per destination pixel
    int32_t errY, remY, denY, stepY;
};

// Places and clips a blit of src onto dst. 0: something to draw, `out` filled; 1: nothing to
// draw, `out` must not be used. Reads only the two surfaces' width and height.
int CalcBltGeometry(const CSurfaceInfo& dst, const CSurfaceInfo& src, const BltGeometry& geom,
                    BltClipResult& out);

}  // namespace tovarineGameSDK3rd::Draw
