#include "draw/base/pixel_format.h"

namespace tovarineGameSDK3rd::Draw {

int32_t ToAlphaSurfaceType(int32_t type) {
    switch (type) {
        case Palette8: case RGB555: return ARGB4555;
        case RGB565: return ARGB4565;
        case RGB888: case XRGB8888: return ARGB8888;
        case BGR888: case XBGR8888: return ABGR8888;
        default: return type;
    }
}

uint32_t PackColorKey(int32_t srcType, uint32_t colourKey, int32_t dstType) {
    uint32_t packed = 0;
    VisitPixelFormat(srcType, [&](auto f) {
        using F = decltype(f);
        uint32_t key = colourKey;
        if (F::kExtra == PixelExtra::Alpha8 && dstType == srcType) key |= 0xFF000000u;
        packed = FromColor<F>(key);
    });
    return packed;
}

}  // namespace tovarineGameSDK3rd::Draw
