// Draws arbitrary polygons (any count, 32-bit extremes, concave, flat, off both surfaces) and
// arbitrary turned sprites through every cell of the polygon blit, over surfaces of exactly
// their size: nothing may be read or written outside them, nor a destination pixel outside
// the clip changed, nor the source changed.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "blit/polygon/poly_blt.h"
#include "blit/polygon/rotate_polygon.h"
#include "draw/base/blend_tables.h"
#include "foundation/vtl/exception.h"
#include "fuzz/fuzz_surface_input.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::fuzz::Describe;
using morna::fuzz::Reader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InitBlendTables();
    Reader in{data, size};
    const auto pairs = PairsOf<kBltFamilyPairs>();
    const SurfacePair pair = pairs[in.Byte() % pairs.size()];
    static constexpr int32_t kOps[] = {0, 1, 10};
    const int32_t op = kOps[in.Byte() % 3];
    const int sw = in.Byte() % 40, sh = in.Byte() % 40, dw = 1 + in.Byte() % 40, dh = 1 + in.Byte() % 40;
    const uint8_t mode = in.Byte();
    std::vector<uint8_t> src(static_cast<size_t>(sw * sh * PixelSizeOf(pair.src))), dst(static_cast<size_t>(dw * dh * PixelSizeOf(pair.dst)));
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 37 + 11);
    for (size_t i = 0; i < dst.size(); ++i) dst[i] = static_cast<uint8_t>(i * 91 + 5);
    CSurfaceInfo s = Describe(src, pair.src, sw, sh), d = Describe(dst, pair.dst, dw, dh);
    s.colourKey = static_cast<uint32_t>(in.Int());
    const std::vector<uint8_t> srcBefore = src, dstBefore = dst;

    Rect clip{in.Int(), in.Int(), in.Int(), in.Int()};
    PolyBltGeometry g;
    std::vector<Point> sp, dp;
    if (mode & 1) {  // a turned sprite
        sp.resize(4), dp.resize(4);
        Rect part{in.Int(), in.Int(), in.Int(), in.Int()}, buf;
        const int32_t x = in.Int(), y = in.Int(), angle = in.Int(), zoom = in.Int(), anchor = in.Int() % 6;
        try {
            if (MakeRotatePolygon(&g, &s, x, y, angle, zoom, anchor, mode & 2 ? &part : nullptr, mode & 4 ? &clip : nullptr, &buf,
                                  sp.data(), dp.data()) != 0)
                return 0;
        } catch (const tovarineGameSDK3rd::VTL::CRuntimeException&) {
            return 0;
        }
    } else {
        const int n = in.Byte() % 9;
        for (int i = 0; i < n; ++i) {
            const bool wide = mode & 8;  // 32-bit extremes, else near the surfaces
            sp.push_back({wide ? in.Int() : in.Byte() % 48 - 4, wide ? in.Int() : in.Byte() % 48 - 4});
            dp.push_back({wide ? in.Int() : in.Byte() % 48 - 4, wide ? in.Int() : in.Byte() % 48 - 4});
        }
        g = {sp.data(), dp.data(), mode & 4 ? &clip : nullptr, static_cast<uint8_t>(mode & 16), n};
    }
    if (DispatchPolyBlt(d, op, &s, &g) != 0) std::abort();
    if (src != srcBefore) std::abort();
    // Only pixels inside the clip (cut to the destination) may change.
    const Rect k = g.clipRect ? *g.clipRect : Rect{0, 0, dw, dh};
    const int bpp = PixelSizeOf(pair.dst);
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x)
            if ((x < k.left || x >= k.right || y < k.top || y >= k.bottom) &&
                std::memcmp(&dst[static_cast<size_t>((y * dw + x) * bpp)], &dstBefore[static_cast<size_t>((y * dw + x) * bpp)], bpp) != 0)
                std::abort();
    return 0;
}
