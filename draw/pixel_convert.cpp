#include "draw/pixel_convert.h"

namespace tovarineGameSDK3rd::Draw {

uint32_t ConvertPixelRun(const void* src, int32_t srcType, void* dst, int32_t dstType, int32_t count) {
    if (!HasPixelConverter(srcType, dstType)) return 1;
    // The type switch is paid once per run; only the listed pairs are instantiated.
    VisitPixelFormat(srcType, [&](auto s) {
        VisitPixelFormat(dstType, [&](auto d) {
            constexpr SurfaceType S = decltype(s)::kType;
            constexpr SurfaceType D = decltype(d)::kType;
            if constexpr (HasPixelConverter(S, D))
                ConvertPixels<S, D>(static_cast<const uint8_t*>(src), static_cast<uint8_t*>(dst), count);
        });
    });
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw
