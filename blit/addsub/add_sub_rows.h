#pragma once
// The vector row of ops 2 and 3 where source and destination are 4-byte pixels in one byte
// order and the source is neither weakened nor keyed (an X format onto itself or onto its
// 8-bit alpha counterpart, an alpha format onto itself): the colour bytes saturate where they
// stand and the fourth is summed as the top of a 32-bit lane or set to 255, four or two
// operations a vector, four vectors a round. Written once (add_sub_rows_impl.h) and made for
// 16-byte vectors (SSE2) and, run where the processor has them, 32-byte vectors (AVX2).
#include <algorithm>
#include <cstdint>

#include "draw/base/vector_width.h"

#if defined(__SSE2__)

namespace tovarineGameSDK3rd::Draw::addsub {

#define MORNA_ROWS_IMPL "blit/addsub/add_sub_rows_impl.h"
#include "draw/base/rows_at_both_widths.h"

// The pixels [first, last) of a row of n, done at the processor's width; the caller does the
// others. The stores are aligned where the destination's pixels are (a vector access that
// straddles two cache lines costs more): from the first 16-byte boundary, and the 32-byte
// vectors from the first 32-byte boundary after it, with one 16-byte vector between; a source
// off that boundary is read in 16-byte halves.
struct PixelSpan {
    int first, last;
};
template <bool Sub, bool Opaque>
PixelSpan SaturateRow4(const uint8_t* s, uint8_t* d, int n) {
    const auto at = reinterpret_cast<uintptr_t>(d);
    const int first = at % 4 ? 0 : std::min(n, static_cast<int>((0 - at) % 16 / 4));
    if (!UseWideVectors()) return {first, sse2::SaturateRow4<Sub, Opaque, false>(s, d, n, first)};
    const int wide = at % 4 || (at + 4 * first) % 32 == 0 ? first : std::min(n, first + 4);
    if (sse2::SaturateRow4<Sub, Opaque, false>(s, d, wide, first) < wide) return {first, first};
    const bool halves = reinterpret_cast<uintptr_t>(s + 4 * wide) % 32 != 0;
    return {first, halves ? avx2::SaturateRow4<Sub, Opaque, true>(s, d, n, wide)
                          : avx2::SaturateRow4<Sub, Opaque, false>(s, d, n, wide)};
}

}  // namespace tovarineGameSDK3rd::Draw::addsub

#endif
