#pragma once
// Vector rows of the blend operators: 4-byte pixels and plain 16-bit destinations many at a
// time, with the same bytes as the operator's pixel-by-pixel form, which does the rest of a
// row and whole rows whose source and destination share bytes. The kernels are written once
// (blend_rows_impl.h) and made for 16-byte vectors (SSE2) and, run where the processor has
// them, 32-byte vectors (AVX2).
#include "blit/blend/blend_pixel.h"
#include "draw/base/vector_width.h"

#if defined(__SSE2__)
#include <type_traits>

namespace tovarineGameSDK3rd::Draw::blend {

#define MORNA_ROWS_IMPL "blit/blend/blend_rows_impl.h"
#include "draw/base/rows_at_both_widths.h"

}  // namespace tovarineGameSDK3rd::Draw::blend

namespace tovarineGameSDK3rd::Draw {

template <class Op>
void blend::VectorRow(const Op& op, const uint8_t* s, uint8_t* d, int n) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    int i = 0;
    if (!BltRowsOverlap(s, static_cast<size_t>(n) * S::kBytes, d, static_cast<size_t>(n) * D::kBytes)) {
        if constexpr (Op::kLevels) {
            i = UseWideVectors() ? avx2::Row16(op, s, d, n) : sse2::Row16(op, s, d, n);
        } else {
            i = UseWideVectors() ? avx2::Row4(op, s, d, n) : sse2::Row4(op, s, d, n);
        }
    }
    for (; i < n; ++i) op(s + i * S::kBytes, d + i * D::kBytes);
}

}  // namespace tovarineGameSDK3rd::Draw

#endif

namespace tovarineGameSDK3rd::Draw {

// Where source and destination share bytes, pairs read both pixels before they write.
template <class S, class D>
void PackedBlendPixel<S, D>::Row(const uint8_t* s, uint8_t* d, int n) const {
    int i = 0;
#if defined(__SSE2__)
    if (!BltRowsOverlap(s, 4 * static_cast<size_t>(n), d, 4 * static_cast<size_t>(n))) {
        i = UseWideVectors() ? blend::avx2::PackedRow(rate, s, d, n) : blend::sse2::PackedRow(rate, s, d, n);
    }
#endif
    if ((n - i) & 1) {
        (*this)(s + 4 * i, d + 4 * i);
        ++i;
    }
    for (; i < n; i += 2) {
        const uint32_t s0 = S::Load(s + 4 * i), s1 = S::Load(s + 4 * i + 4);
        const uint32_t d0 = D::Load(d + 4 * i), d1 = D::Load(d + 4 * i + 4);
        D::Store(d + 4 * i, Blend(s0, d0));
        D::Store(d + 4 * i + 4, Blend(s1, d1));
    }
}

}  // namespace tovarineGameSDK3rd::Draw
