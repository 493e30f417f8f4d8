#pragma once
// Pixel-row converters: a run of pixels of one SurfaceType into the same number of pixels of
// another. The image writers store any surface as RGB888 or ARGB8888 through them, and the
// image reader puts ARGB8888, RGB888 or RGB555 pixels into a surface of any format.
//
// One template serves every pair: the source pixel becomes a colour word and the colour word
// the destination pixel (ToColor / FromColor of the pixel-format traits), so widening leaves
// the low bits 0, narrowing keeps the top bits, a source without alpha gives alpha 255 (15 in
// the 4-bit formats) and every pad byte written is 0. Same-format pairs copy the bytes.
#include <cstdint>
#include <cstring>

#include "draw/base/pixel_format.h"

namespace tovarineGameSDK3rd::Draw {

// The pairs that have a converter: RGB555, RGB888 and ARGB8888 convert to every format but
// Palette8; RGB565, BGR888, XRGB8888, XBGR8888, ARGB4565 and ARGB4555 only to RGB888 and
// ARGB8888. ABGR8888 and Palette8 are never sources.
constexpr bool HasPixelConverter(int32_t src, int32_t dst) {
    const bool dstAny = dst >= RGB565 && dst <= ABGR8888 && dst != 9;
    switch (src) {
        case RGB555: case RGB888: case ARGB8888:
            return dstAny;
        case RGB565: case BGR888: case XRGB8888: case XBGR8888: case ARGB4565: case ARGB4555:
            return dst == RGB888 || dst == ARGB8888;
        default:
            return false;
    }
}

// Converts count pixels from src (format S) to dst (format D). Source and destination do not
// overlap. The 4-bit alpha formats leave their fourth byte alone.
template <SurfaceType S, SurfaceType D>
void ConvertPixels(const uint8_t* src, uint8_t* dst, int32_t count) {
    using FS = PixelFormat<S>;
    using FD = PixelFormat<D>;
    if (count <= 0) return;
    if constexpr (S == D && FS::kWholePixelStore) {
        std::memcpy(dst, src, static_cast<size_t>(count) * FS::kBytes);
    } else {
        for (int32_t i = 0; i < count; ++i, src += FS::kBytes, dst += FD::kBytes)
            FD::Store(dst, FromColor<FD>(ToColor<FS>(FS::Load(src))));
    }
}

// 0: count pixels converted (none for count <= 0); 1: the pair has no converter, nothing
// written.
uint32_t ConvertPixelRun(const void* src, int32_t srcType, void* dst, int32_t dstType, int32_t count);

}  // namespace tovarineGameSDK3rd::Draw
