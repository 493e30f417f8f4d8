// Places arbitrary blits, 32-bit extremes included, and runs the worker frame over surfaces
// of exactly their size: nothing may be read or written outside them, the clipped rectangles
// must lie inside both surfaces, and no destination pixel outside dstRect may change.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "draw/base/blt_loop.h"
#include "fuzz/fuzz_surface_input.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::fuzz::Describe;
using morna::fuzz::Reader;

namespace {

template <class S, class D>
struct Convert {
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, FromColor<D>(ToColor<S>(S::Load(s)))); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    const int sw = in.Byte() % 48, sh = in.Byte() % 48, dw = 1 + in.Byte() % 48, dh = 1 + in.Byte() % 48;
    const uint8_t use = in.Byte();
    Point p{in.Int(), in.Int()};
    Size z{in.Int(), in.Int()};
    Rect sr{in.Int(), in.Int(), in.Int(), in.Int()};
    Rect clip{in.Int(), in.Int(), in.Int(), in.Int()};
    const BltGeometry g{use & 1 ? &p : nullptr, use & 2 ? &z : nullptr, use & 4 ? &sr : nullptr,
                        use & 8 ? &clip : nullptr, in.Int()};

    using S = PixelFormat<XRGB8888>;
    using D = PixelFormat<RGB888>;
    std::vector<uint8_t> src(static_cast<size_t>(sw * sh * S::kBytes), 0x11);
    std::vector<uint8_t> dst(static_cast<size_t>(dw * dh * D::kBytes), 0xEE);
    const CSurfaceInfo s = Describe(src, XRGB8888, sw, sh);
    const CSurfaceInfo d = Describe(dst, RGB888, dw, dh);

    BltClipResult c;
    const int placed = CalcBltGeometry(d, s, g, c);
    const int drawn = BltLoop<S, D>(s, d, g, Convert<S, D>{});
    if (placed != drawn) std::abort();
    if (placed != 0) {
        for (uint8_t b : dst)
            if (b != 0xEE) std::abort();
        return 0;
    }
    const Rect& r = c.dstRect;
    if (r.left < 0 || r.top < 0 || r.right > dw || r.bottom > dh || r.left >= r.right || r.top >= r.bottom) std::abort();
    if (c.srcRect.left < 0 || c.srcRect.top < 0 || c.srcRect.right > sw || c.srcRect.bottom > sh) std::abort();
    if (c.oneToOne && (c.srcRect.right - c.srcRect.left != r.right - r.left)) std::abort();
    for (int y = 0; y < dh; ++y) {
        for (int x = 0; x < dw; ++x) {
            const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            const uint32_t v = D::Load(&dst[static_cast<size_t>((y * dw + x) * 3)]);
            if (v != (inside ? 0x111111u : 0xEEEEEEu)) std::abort();
        }
    }
    return 0;
}
