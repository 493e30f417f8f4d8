#include "framework/blt_support.h"

#include <algorithm>

#include "draw/base/blt_loop.h"
#include "draw/base/pixel_format.h"
#include "draw/base/surface_lock.h"
#include "draw/fast_plane.h"
#include "framework/image_loader.h"

namespace KestraneGameBase2 {
namespace {

using namespace tovarineGameSDK3rd::Draw;

// 16-bit and 32-bit pixels as raw words: the helpers' arithmetic is on the words (or their
// bytes), the same for every format of a width.
using P16 = PixelFormat<RGB565>;
using P32 = PixelFormat<XRGB8888>;
// The bits of a 32-bit pixel that a key test compares (the colour bytes, as the keyed copy).
constexpr uint32_t kKey32Mask = PixelFormat<ARGB8888>::kKeyMask;
static_assert(kKey32Mask == PixelFormat<XRGB8888>::kKeyMask && kKey32Mask == PixelFormat<ABGR8888>::kKeyMask);

int32_t gDoubleSize = 0;
IBltSupportObserver* gObserver = nullptr;

void Notify(const char* helper, ISurface& dst, ISurface* src, int32_t x, int32_t y, const Rect* r,
            uint32_t value = 0) {
    if (!gObserver) return;
    SBltSupportCall call;
    call.helper = helper;
    call.dst = &dst;
    call.src = src;
    call.x = x;
    call.y = y;
    call.hasRect = r != nullptr;
    if (r) call.rect = *r;
    call.value = value;
    gObserver->OnBltSupport(call);
}

bool Is16(int32_t t) { return t == RGB565 || t == RGB555; }
bool Is32(int32_t t) { return t == XRGB8888 || t == XBGR8888 || t == ARGB8888 || t == ABGR8888; }

// A surface blit at (x, y) with the source rectangle, no stretching, no clip rectangle.
int SurfaceBlt(ISurface& dst, EBltOp op, ISurface& src, int32_t x, int32_t y, const Rect* r,
               const int32_t* rate = nullptr) {
    const Point at{x, y};
    BltGeometry geom;
    geom.dstPoint = &at;
    geom.srcRect = r;
    return dst.Blt(op, src.GetSurfaceInfo(), &geom, rate);
}

// What is left of a helper's blit after ClipRect: destination and source corner, and the
// size in source pixels.
struct Area {
    int32_t dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};

// Runs fn(area) with both surfaces locked. 0 drawn or nothing to draw, 1 a lock refused.
template <class Fn>
int ClippedAndLocked(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r, bool doubled, Fn fn) {
    Area a;
    a.dx = x;
    a.dy = y;
    if (CBltSupport::ClipRect(dst, src, a.dx, a.dy, a.sx, a.sy, a.w, a.h, r, doubled)) return 0;
    CSurfaceLock lockDst(*dst.GetSurfaceInfo());
    if (!lockDst) return 1;
    CSurfaceLock lockSrc(*src.GetSurfaceInfo());
    if (!lockSrc) return 1;
    fn(a);
    return 0;
}

// The draw base's worker over the area, 1:1 (the area is already clipped, so the worker's
// own clip changes nothing).
template <class S, class D, class Op>
void PlainLoop(ISurface& dst, ISurface& src, const Area& a, const Op& op) {
    const Point at{a.dx, a.dy};
    const Rect from{a.sx, a.sy, a.sx + a.w, a.sy + a.h};
    BltGeometry geom;
    geom.dstPoint = &at;
    geom.srcRect = &from;
    BltLoop<S, D>(*src.GetSurfaceInfo(), *dst.GetSurfaceInfo(), geom, op);
}

// Every source pixel of the area onto a 2 x 2 block: op(p, row0, row1) writes the block's
// two pixels in each row. col is the destination column of the first block.
template <class F, class Op>
void DoubledLoop(ISurface& dst, ISurface& src, const Area& a, int32_t col, const Op& op) {
    const CSurfaceInfo& s = *src.GetSurfaceInfo();
    CSurfaceInfo& d = *dst.GetSurfaceInfo();
    constexpr intptr_t b = F::kBytes;
    for (int32_t j = 0; j < a.h; ++j) {
        const uint8_t* sp = s.pixels + (intptr_t{a.sy} + j) * s.pitch + a.sx * b;
        uint8_t* d0 = d.pixels + (intptr_t{a.dy} + 2 * j) * d.pitch + col * b;
        uint8_t* d1 = d0 + d.pitch;
        for (int32_t i = 0; i < a.w; ++i) op(F::Load(sp + i * b), d0 + 2 * i * b, d1 + 2 * i * b);
    }
}

// p := op(p) over a rectangle of one surface (already clipped to it).
template <class F, class Op>
void InPlaceLoop(CSurfaceInfo& s, int32_t x, int32_t y, int32_t w, int32_t h, const Op& op) {
    constexpr intptr_t b = F::kBytes;
    for (int32_t j = 0; j < h; ++j) {
        uint8_t* p = s.pixels + (intptr_t{y} + j) * s.pitch + x * b;
        for (int32_t i = 0; i < w; ++i, p += b) F::Store(p, op(F::Load(p)));
    }
}

template <class F>
void StoreBlock(uint8_t* row0, uint8_t* row1, typename F::Raw v) {
    F::Store(row0, v);
    F::Store(row0 + F::kBytes, v);
    F::Store(row1, v);
    F::Store(row1 + F::kBytes, v);
}

// Red, green and blue of d + s, each saturated at 255; top byte 0.
uint32_t AddSaturated3(uint32_t d, uint32_t s) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= std::min(((d >> shift) & 0xFFu) + ((s >> shift) & 0xFFu), 0xFFu) << shift;
    }
    return out;
}

// The half-brightness mask of a 16-bit format: each channel shifted down loses its low bit
// into the channel below, which the mask clears.
uint16_t HalfMask16(int32_t type) { return type == RGB565 ? 0x7BEF : 0x7DEF; }

// ---- per-pixel operators of the plain helpers (the draw base's worker calls them)

struct AddColorPixel {
    uint32_t key;
    uint32_t colour;
    void operator()(const uint8_t* sp, uint8_t* dp) const {
        const uint32_t s = P32::Load(sp);
        if (((s ^ key) & kKey32Mask) == 0) return;
        // Per-byte saturation without carries between bytes: carry holds each byte's carry
        // out in its top bit, mask turns it into 0xFF over that byte.
        const uint32_t c = colour;
        const uint32_t carry = ((((s ^ c) >> 1) & 0x7F7F7F7Fu) + (s & c)) & 0x80808080u;
        const uint32_t mask = carry * 2 - (carry >> 7);
        P32::Store(dp, (s + c - mask) | mask);
    }
};

// The rated add and the 8-bit alpha compositing work on the bytes of each pixel as they lie
// (red, green and blue in bytes 0-2 in either order, byte 3 the top byte). Written per byte
// with the pixel's alpha read alongside, the row loops vectorise.
struct AddRatePixel {
    uint32_t rate;
    void operator()(const uint8_t* s, uint8_t* d) const {
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(std::min(d[c] + ((s[c] * rate) >> 8), 255u));
        d[3] = 0;
    }
    void Row(const uint8_t* s, uint8_t* d, int n) const {
        for (int i = 0; i < n; ++i) (*this)(s + 4 * i, d + 4 * i);
    }
};

struct AlphaOver8Pixel {
    void operator()(const uint8_t* s, uint8_t* d) const {
        const uint32_t a = s[3], na = 255 - a;
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * a + d[c] * na) >> 8);
        d[3] = static_cast<uint8_t>(((d[3] * na) >> 8) + a);
    }
    void Row(const uint8_t* s, uint8_t* d, int n) const {
        for (int i = 0; i < n; ++i) (*this)(s + 4 * i, d + 4 * i);
    }
};

// 4-bit alpha: Load gives the three stored bytes only, so the destination alpha is bits
// 16-19 whatever the pad byte holds, and Store leaves the pad byte alone.
template <class F>
struct AlphaOver4Pixel {
    void operator()(const uint8_t* sp, uint8_t* dp) const {
        const uint32_t s = F::Load(sp);
        const uint32_t d = F::Load(dp);
        const uint32_t a = (s >> 16) & 15u;
        const uint32_t na = 15 - a;
        uint32_t out = ((((na * ((d >> 16) & 15u)) / 15) & 15u) + a) << 16;
        for (const uint32_t m : {F::Mask(F::kR), F::Mask(F::kG), F::Mask(F::kB)}) {
            out |= (((s & m) * a + (d & m) * na) / 15) & m;
        }
        F::Store(dp, out);
    }
};

template <bool RedLow, bool Alpha>
struct GrayPixel {
    uint32_t key;
    uint32_t operator()(uint32_t p) const {
        if (((p ^ key) & kKey32Mask) == 0) return 0;
        const uint32_t r = RedLow ? p & 0xFFu : (p >> 16) & 0xFFu;
        const uint32_t g = (p >> 8) & 0xFFu;
        const uint32_t b = RedLow ? (p >> 16) & 0xFFu : p & 0xFFu;
        const uint32_t grey = (r >> 4) + (r >> 2) + ((g >> 4) + (g >> 1)) + (b >> 3);
        if constexpr (Alpha) {
            const uint32_t alpha = p >> 24;
            if (alpha == 0) return 0;
            return 0xFF000000u | ((grey * (alpha + 1)) >> 8) * 0x010101u;
        } else {
            return grey * 0x010101u;
        }
    }
};

int DoKeyedCopy(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r) {
    return SurfaceBlt(dst, EBltOp::BltKeyedCopy, src, x, y, r);
}

int DoDouble(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r) {
    uint32_t key = src.GetColorKey();
    const int kind = CBltSupport::CheckFormat(dst, src, key);
    if (kind < 0) return DoKeyedCopy(dst, src, x, y, r);
    if (kind == 0) {
        return ClippedAndLocked(dst, src, x, y, r, true, [&](const Area& a) {
            // One 32-bit word per block row, so an odd x is taken as the even column below it.
            DoubledLoop<P16>(dst, src, a, a.dx & ~1, [&](uint16_t p, uint8_t* row0, uint8_t* row1) {
                if (p != key) StoreBlock<P16>(row0, row1, p);
            });
        });
    }
    const uint32_t packed = PackColorKey(src.GetSurfaceType(), key, dst.GetSurfaceType());
    return ClippedAndLocked(dst, src, x, y, r, true, [&](const Area& a) {
        DoubledLoop<P32>(dst, src, a, a.dx, [&](uint32_t p, uint8_t* row0, uint8_t* row1) {
            if (((p ^ packed) & kKey32Mask) != 0) StoreBlock<P32>(row0, row1, p);
        });
    });
}

ISurface& DarkenScratch() {
    static CFastPlane scratch;
    return scratch;
}

}  // namespace

CBltSupport::~CBltSupport() = default;

void CBltSupport::SetDoubleSize(int32_t scale) { gDoubleSize = scale; }
int32_t CBltSupport::GetDoubleSize() { return gDoubleSize; }

IBltSupportObserver* CBltSupport::SetObserver(IBltSupportObserver* observer) {
    IBltSupportObserver* old = gObserver;
    gObserver = observer;
    return old;
}

int CBltSupport::BltCopy(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r) {
    Notify("BltCopy", dst, &src, x, y, r);
    return SurfaceBlt(dst, EBltOp::BltCopy, src, x, y, r);
}

int CBltSupport::BltKeyedCopy(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r) {
    Notify("BltKeyedCopy", dst, &src, x, y, r);
    return DoKeyedCopy(dst, src, x, y, r);
}

int CBltSupport::BltBlend(ISurface& dst, ISurface& src, int32_t x, int32_t y, int32_t rate, const Rect* r) {
    Notify("BltBlend", dst, &src, x, y, r, static_cast<uint32_t>(rate));
    return SurfaceBlt(dst, EBltOp::BltBlend, src, x, y, r, &rate);
}

int CBltSupport::BltKeyedBlend(ISurface& dst, ISurface& src, int32_t x, int32_t y, int32_t rate, const Rect* r) {
    Notify("BltKeyedBlend", dst, &src, x, y, r, static_cast<uint32_t>(rate));
    return SurfaceBlt(dst, EBltOp::BltKeyedBlend, src, x, y, r, &rate);
}

int CBltSupport::BltImageZero(ISurface& dst, int32_t x, int32_t y, const Rect* r) {
    ISurface& image = CImageLoader::GetImage(0);
    Notify("BltImageZero", dst, &image, x, y, r);
    return gDoubleSize >= 1 ? DoDouble(dst, image, x, y, r) : DoKeyedCopy(dst, image, x, y, r);
}

int CBltSupport::BltDouble(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r) {
    Notify("BltDouble", dst, &src, x, y, r);
    return DoDouble(dst, src, x, y, r);
}

int CBltSupport::BltDoubleBlend(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r) {
    Notify("BltDoubleBlend", dst, &src, x, y, r);
    uint32_t key = 0;
    const int kind = CheckFormat(dst, src, key);
    if (kind < 0) return SurfaceBlt(dst, EBltOp::BltAdd, src, x, y, r);
    if (kind == 0) {
        const uint16_t mask = HalfMask16(dst.GetSurfaceType());
        return ClippedAndLocked(dst, src, x, y, r, true, [&](const Area& a) {
            DoubledLoop<P16>(dst, src, a, a.dx & ~1, [&](uint16_t p, uint8_t* row0, uint8_t* row1) {
                StoreBlock<P16>(row0, row1, static_cast<uint16_t>((p >> 1) & mask));
            });
        });
    }
    return ClippedAndLocked(dst, src, x, y, r, true, [&](const Area& a) {
        DoubledLoop<P32>(dst, src, a, a.dx, [](uint32_t p, uint8_t* row0, uint8_t* row1) {
            for (uint8_t* q : {row0, row0 + 4, row1, row1 + 4}) P32::Store(q, AddSaturated3(P32::Load(q), p));
        });
    });
}

int CBltSupport::AddColor(ISurface& dst, ISurface& src, uint32_t colour, int32_t x, int32_t y, const Rect* r) {
    Notify("AddColor", dst, &src, x, y, r, colour);
    uint32_t key = src.GetColorKey();
    if (CheckFormat(dst, src, key) != 1) return SurfaceBlt(dst, EBltOp::BltKeyedCopy, src, x, y, r);
    const AddColorPixel op{PackColorKey(src.GetSurfaceType(), key, dst.GetSurfaceType()), colour};
    return ClippedAndLocked(dst, src, x, y, r, false, [&](const Area& a) { PlainLoop<P32, P32>(dst, src, a, op); });
}

int CBltSupport::DarkenRect(ISurface& dst, int32_t x, int32_t y, int32_t w, int32_t h) {
    const Rect area{x, y, x + w, y + h};
    Notify("DarkenRect", dst, nullptr, x, y, &area);
    const int32_t type = dst.GetSurfaceType();
    if (!Is16(type) && !Is32(type)) {
        if (w < 1 || h < 1) return 0;
        ISurface& scratch = DarkenScratch();
        int sw = 0, sh = 0;
        scratch.GetSize(&sw, &sh);
        if (sw < w || sh < h) scratch.SetSize(std::max(sw, w), std::max(sh, h));
        const Rect from{0, 0, w, h};
        const int32_t rate = 0;
        return SurfaceBlt(dst, EBltOp::BltBlend, scratch, x, y, &from, &rate);
    }
    CSurfaceInfo& info = *dst.GetSurfaceInfo();
    int64_t left = x, top = y, width = w, height = h;
    if (left < 0) width += left, left = 0;
    if (top < 0) height += top, top = 0;
    width = std::min<int64_t>(width, info.width - left);
    height = std::min<int64_t>(height, info.height - top);
    if (width < 1 || height < 1) return 0;
    CSurfaceLock lock(info);
    if (!lock) return 1;
    const int32_t lx = static_cast<int32_t>(left), ly = static_cast<int32_t>(top);
    const int32_t lw = static_cast<int32_t>(width), lh = static_cast<int32_t>(height);
    if (Is16(type)) {
        const uint16_t mask = HalfMask16(type);
        InPlaceLoop<P16>(info, lx, ly, lw, lh, [mask](uint16_t p) { return static_cast<uint16_t>((p >> 1) & mask); });
    } else {
        InPlaceLoop<P32>(info, lx, ly, lw, lh, [](uint32_t p) { return (p >> 1) & 0x7F7F7Fu; });
    }
    return 0;
}

int CBltSupport::BltAlphaOver(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r) {
    Notify("BltAlphaOver", dst, &src, x, y, r);
    const int32_t dt = dst.GetSurfaceType(), st = src.GetSurfaceType();
    auto run = [&](auto op) {
        using Op = decltype(op);
        return ClippedAndLocked(dst, src, x, y, r, false, [&](const Area& a) { PlainLoop<P32, P32>(dst, src, a, Op{}); });
    };
    if (dt == ARGB4565 && st == ARGB4565) return run(AlphaOver4Pixel<PixelFormat<ARGB4565>>{});
    if (dt == ARGB4555 && st == ARGB4555) return run(AlphaOver4Pixel<PixelFormat<ARGB4555>>{});
    if ((dt == ARGB8888 || dt == ABGR8888) && (st == ARGB8888 || st == ABGR8888)) return run(AlphaOver8Pixel{});
    const int32_t rate = 255;
    return SurfaceBlt(dst, EBltOp::BltBlend, src, x, y, r, &rate);
}

int CBltSupport::BltAddRate(ISurface& dst, ISurface& src, int32_t x, int32_t y, int32_t rate, const Rect* r) {
    Notify("BltAddRate", dst, &src, x, y, r, static_cast<uint32_t>(rate));
    uint32_t key = 0;
    if (CheckFormat(dst, src, key) != 1) return SurfaceBlt(dst, EBltOp::BltAdd, src, x, y, r);
    uint32_t rate8 = static_cast<uint32_t>(rate) & 0xFFu;
    if (rate8 >= 1 && rate8 <= 254) ++rate8;
    const AddRatePixel op{rate8};
    return ClippedAndLocked(dst, src, x, y, r, false, [&](const Area& a) { PlainLoop<P32, P32>(dst, src, a, op); });
}

int CBltSupport::MakeGray(ISurface& surface) {
    Notify("MakeGray", surface, nullptr, 0, 0, nullptr);
    const int32_t type = surface.GetSurfaceType();
    int w = 0, h = 0;
    surface.GetSize(&w, &h);
    if (type == 0 || w < 0 || h < 0) return 1;
    if (!Is32(type)) return 0;
    CSurfaceInfo& info = *surface.GetSurfaceInfo();
    const uint32_t key = PackColorKey(type, surface.GetColorKey(), type);
    CSurfaceLock lock(info);
    if (!lock) return 1;
    auto run = [&](auto op) { InPlaceLoop<P32>(info, 0, 0, info.width, info.height, op); };
    switch (type) {
        case XRGB8888: run(GrayPixel<false, false>{key}); break;
        case XBGR8888: run(GrayPixel<true, false>{key}); break;
        case ARGB8888: run(GrayPixel<false, true>{key}); break;
        default: run(GrayPixel<true, true>{key}); break;
    }
    return 0;
}

int CBltSupport::CheckFormat(ISurface& dst, ISurface& src, uint32_t& key) {
    const int32_t dt = dst.GetSurfaceType(), st = src.GetSurfaceType();
    if (dt == RGB565) key = 0xF81F;
    if (dt == RGB555) key = 0x7C1F;
    if (Is16(dt) && Is16(st)) return 0;
    if (Is32(dt) && Is32(st)) return 1;
    return -1;
}

namespace {
// One axis of ClipRect, in 64 bits so that no position can overflow.
void ClipAxis(int64_t& d, int64_t& s, int64_t& n, int64_t srcSize, int64_t dstSize, bool doubled) {
    if (s < 0) n += s, s = 0;
    if (s + n > srcSize) n = srcSize - s;
    if (!doubled) {
        if (d < 0) s -= d, n += d, d = 0;
        if (d + n > dstSize) n = dstSize - d;
        return;
    }
    if (d + n > dstSize) n = dstSize - d;
    if (d < 0) s -= d >> 1, n += d >> 1, d &= 1;
    if (d + 2 * n > dstSize) n = (dstSize - d) >> 1;
}
}  // namespace

bool CBltSupport::ClipRect(ISurface& dst, ISurface& src, int32_t& dx, int32_t& dy, int32_t& sx, int32_t& sy,
                           int32_t& w, int32_t& h, const Rect* r, bool doubled) {
    // The sizes of the pixels themselves, so that a clipped area always lies inside them.
    const CSurfaceInfo& d = *dst.GetSurfaceInfo();
    const CSurfaceInfo& s = *src.GetSurfaceInfo();
    int64_t x = dx, y = dy, left = sx, top = sy, width = s.width, height = s.height;
    if (r) {
        left = r->left, top = r->top;
        width = int64_t{r->right} - r->left, height = int64_t{r->bottom} - r->top;
    }
    ClipAxis(x, left, width, s.width, d.width, doubled);
    ClipAxis(y, top, height, s.height, d.height, doubled);
    dx = static_cast<int32_t>(x), dy = static_cast<int32_t>(y);
    sx = static_cast<int32_t>(left), sy = static_cast<int32_t>(top);
    w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    return width < 1 || height < 1;
}

}  // namespace KestraneGameBase2
