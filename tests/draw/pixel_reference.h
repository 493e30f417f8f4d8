#pragma once
// The one byte-layout reference of the drawing tests, and the harness that checks a blit
// operation against a per-pixel reference, every byte of the destination (pad bytes and
// bytes outside the drawn rectangle included).
//
// The layouts below are written by hand from the formats' bytes, not through the format
// traits of draw/base, which are what the tests test.
//
// A blit family's tests are rows, not loops:
//   1. A reference functor per operation, from its per-pixel rules:
//        void BlendRef(const BlitRow& row, const uint8_t* s, uint8_t* d);  // d changed in place
//      through Load/Store (raw bits), Get/Put (a channel), Widen/Narrow (8-bit channels),
//      MapColour (colour channels at their widths); row.rate, row.rate2, row.key (the source's
//      0x00RRGGBB key; KeyMatches is the keyed rule).
//   2. class Blend : public testing::TestWithParam<BlitRow> {};
//      TEST_P(Blend, EqualsReference) { CheckBlitRow(GetParam(), BlendRef); }
//      INSTANTIATE_TEST_SUITE_P(Op14, Blend, testing::ValuesIn(RowsOf(EBltOp::BltBlend,
//          kBltFamilyPairs, {0, 1, 15, 16, 127, 128, 240, 255})), RowName);
//      Each row runs through the dispatch (the rates in the first bytes of two 32-bit words of
//      the parameter) over source widths 1, 7, 8, 9, 17 drawn 1:1, stretched and shrunk across
//      each edge of the destination and of a clip, then random placements. Keyed operations
//      get a third of their source pixels stamped with the key, some near misses (RGB555 bit
//      15, an X byte). BlitOptions::prepare stamps more (StampFewColours: colours shared with
//      differing X or alpha bytes); BlitOptions::run calls a member directly.
//   3. A polygon family writes a coverage functor, cover(fn) calling fn(sx, sy, dx, dy) for
//      each pixel its reference rasterizer draws, and calls ExpectBlit with it over its own
//      polygons (RectCoverage is the rectangle's).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "draw/base/blt_pairs.h"
#include "draw/base/surface_info.h"
#include "draw/blt_dispatch.h"
#include "tests/draw/base/test_surface.h"

namespace morna::test {

using tovarineGameSDK3rd::Draw::BltGeometry;
using tovarineGameSDK3rd::Draw::BltPairSet;
using tovarineGameSDK3rd::Draw::CSurfaceInfo;
using tovarineGameSDK3rd::Draw::EBltOp;
using tovarineGameSDK3rd::Draw::Point;
using tovarineGameSDK3rd::Draw::Rect;
using tovarineGameSDK3rd::Draw::Size;

// ---- Byte layouts -----------------------------------------------------------------------

// A channel in the little-endian value of a pixel's bytes; bits 0: the format has none.
struct Field {
    int shift, bits;
};

struct Layout {
    int32_t type;
    const char* name;
    int bytes;  // address step
    int owned;  // bytes that belong to the pixel (a 4-bit alpha format's fourth byte does not)
    Field r, g, b, a;
};

// clang-format off
inline constexpr Layout kLayouts[] = {
    {2,  "Palette8", 1, 1, {0, 0},  {0, 0}, {0, 0},  {0, 0}},   // an index
    {3,  "RGB565",   2, 2, {11, 5}, {5, 6}, {0, 5},  {0, 0}},
    {4,  "RGB555",   2, 2, {10, 5}, {5, 5}, {0, 5},  {0, 0}},   // bit 15 is no colour
    {5,  "RGB888",   3, 3, {16, 8}, {8, 8}, {0, 8},  {0, 0}},   // bytes B G R
    {6,  "BGR888",   3, 3, {0, 8},  {8, 8}, {16, 8}, {0, 0}},   // bytes R G B
    {7,  "XRGB8888", 4, 4, {16, 8}, {8, 8}, {0, 8},  {0, 0}},   // byte 3 is X
    {8,  "XBGR8888", 4, 4, {0, 8},  {8, 8}, {16, 8}, {0, 0}},
    {10, "ARGB4565", 4, 3, {11, 5}, {5, 6}, {0, 5},  {16, 4}},  // alpha in byte 2's low four bits
    {11, "ARGB4555", 4, 3, {10, 5}, {5, 5}, {0, 5},  {16, 4}},
    {12, "ARGB8888", 4, 4, {16, 8}, {8, 8}, {0, 8},  {24, 8}},
    {13, "ABGR8888", 4, 4, {0, 8},  {8, 8}, {16, 8}, {24, 8}},
};
// clang-format on

inline const Layout& LayoutOf(int32_t type) {
    for (const Layout& l : kLayouts)
        if (l.type == type) return l;
    ADD_FAILURE() << "no layout for type " << type;
    return kLayouts[0];
}
inline const char* FormatName(int32_t type) { return LayoutOf(type).name; }
inline const std::vector<int32_t>& AllFormats() {
    static const std::vector<int32_t> all = [] {
        std::vector<int32_t> v;
        for (const Layout& l : kLayouts) v.push_back(l.type);
        return v;
    }();
    return all;
}

// The pixel's own bytes as one little-endian value, and back (other bytes untouched).
inline uint32_t Load(int32_t type, const uint8_t* p) {
    uint32_t v = 0;
    for (int i = LayoutOf(type).owned; i-- > 0;) v = v << 8 | p[i];
    return v;
}
inline void Store(int32_t type, uint8_t* p, uint32_t v) {
    for (int i = 0; i < LayoutOf(type).owned; ++i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}
inline uint32_t Get(Field f, uint32_t v) { return f.bits ? v >> f.shift & ((1u << f.bits) - 1) : 0; }
inline uint32_t Put(Field f, uint32_t x) { return f.bits ? (x & ((1u << f.bits) - 1)) << f.shift : 0; }
inline uint32_t Mask(Field f) { return Put(f, ~0u); }
inline uint32_t ColourMask(int32_t type) {
    const Layout& l = LayoutOf(type);
    return Mask(l.r) | Mask(l.g) | Mask(l.b);
}
inline bool HasAlpha(int32_t type) { return LayoutOf(type).a.bits > 0; }

struct Argb {
    uint32_t a, r, g, b;  // 0..255 each
};

// Channels widened to bytes with zero low bits; alpha 255 where the format has none.
inline Argb Widen(int32_t type, const uint8_t* p) {
    const Layout& l = LayoutOf(type);
    const uint32_t v = Load(type, p);
    auto w = [&](Field f) { return Get(f, v) << (8 - f.bits) & 0xFF; };
    return {l.a.bits ? w(l.a) : 255u, w(l.r), w(l.g), w(l.b)};
}
// Channels narrowed to their top bits; X byte, RGB555 bit 15 and a 4-bit alpha byte's top
// bits written 0; a 4-bit alpha format's fourth byte untouched.
inline void Narrow(int32_t type, uint8_t* p, Argb c) {
    const Layout& l = LayoutOf(type);
    auto n = [](Field f, uint32_t x) { return Put(f, x >> (8 - f.bits)); };
    Store(type, p, n(l.a, c.a) | n(l.r, c.r) | n(l.g, c.g) | n(l.b, c.b));
}
// Each colour channel through fn(d, s, max), d and s its values in raw pixels d and s at the
// channel's width; the other bits 0.
template <class Fn>
uint32_t MapColour(int32_t type, uint32_t d, uint32_t s, Fn fn) {
    const Layout& l = LayoutOf(type);
    uint32_t out = 0;
    for (Field f : {l.r, l.g, l.b})
        out |= Put(f, static_cast<uint32_t>(fn(static_cast<int>(Get(f, d)), static_cast<int>(Get(f, s)), (1 << f.bits) - 1)));
    return out;
}
// The raw pixel of a colour 0xAARRGGBB, narrowed as Narrow does.
inline uint32_t RawOf(int32_t type, uint32_t c) {
    uint8_t px[4] = {};
    Narrow(type, px, {c >> 24, c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF});
    return Load(type, px);
}

// A colour key (0x00RRGGBB) as it stands in a source pixel: the bytes a keyed rule compares.
// The word of the 16-bit and 4-bit alpha formats (RGB555 bit 15 included, so a set bit 15
// never matches), three bytes of the 24-bit and 8-bit alpha formats, all four of the X
// formats (the X byte must be 0).
inline std::vector<uint8_t> KeyBytes(int32_t type, uint32_t key) {
    uint8_t px[4] = {};
    Store(type, px, RawOf(type, key & 0xFFFFFF));
    const Layout& l = LayoutOf(type);
    const size_t n = l.r.bits < 8 ? 2 : l.bytes == 4 && !l.a.bits ? 4 : 3;
    return {px, px + n};
}
inline bool KeyMatches(int32_t type, const uint8_t* s, uint32_t key) {
    const auto k = KeyBytes(type, key);
    return std::memcmp(s, k.data(), k.size()) == 0;
}

// Every pixel one of four colours, its other bits (X byte, alpha, bit 15) left random, so
// that source and destination share colours that differ outside them.
inline void StampFewColours(TestSurface& t, std::mt19937& rng) {
    static constexpr uint32_t kColours[4] = {0x000000, 0xFFFFFF, 0x80FF10, 0x3060C0};
    const int32_t type = t.info.type;
    for (int y = 0; y < t.info.height; ++y)
        for (int x = 0; x < t.info.width; ++x) {
            uint8_t* p = t.At(x, y);
            Store(type, p, (Load(type, p) & ~ColourMask(type)) | RawOf(type, kColours[rng() % 4]));
        }
}

// ---- Geometry ---------------------------------------------------------------------------

inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Source offset of drawn pixel j of n when `span` source pixels are drawn n wide; written from
// the nearest-pixel rule, independent of the worker's error terms.
inline int64_t SourceOffset(int64_t j, int64_t span, int64_t n) {
    return j * (span / n) + std::max<int64_t>(0, FloorDiv((j + 1) * (span % n) - 1, n));
}

// The rectangle's coverage: fn(sx, sy, dx, dy) for every destination pixel inside the drawn
// rectangle, the clip and the destination, with the source pixel it gets.
struct RectCoverage {
    const CSurfaceInfo& src;
    const CSurfaceInfo& dst;
    const BltGeometry& g;

    template <class Fn>
    void operator()(Fn fn) const {
        int64_t sl = 0, st = 0, sr = src.width, sb = src.height;
        if (g.srcRect) {
            sl = std::max<int64_t>(sl, g.srcRect->left);
            st = std::max<int64_t>(st, g.srcRect->top);
            sr = std::min<int64_t>(sr, g.srcRect->right);
            sb = std::min<int64_t>(sb, g.srcRect->bottom);
        }
        const int64_t sw = sr - sl, sh = sb - st;
        if (sw <= 0 || sh <= 0) return;
        int64_t x = g.dstPoint ? g.dstPoint->x : 0, y = g.dstPoint ? g.dstPoint->y : 0;
        const int64_t w = g.dstSize ? g.dstSize->cx : sw, h = g.dstSize ? g.dstSize->cy : sh;
        if (w <= 0 || h <= 0) return;
        const int b = g.basePoint >= 0 && g.basePoint <= 8 ? g.basePoint : 0;
        x -= (b % 3 == 1) ? (w >> 1) : (b % 3 == 2) ? w : 0;
        y -= (b / 3 == 1) ? (h >> 1) : (b / 3 == 2) ? h : 0;
        const Rect k = g.clipRect ? *g.clipRect : Rect{0, 0, dst.width, dst.height};
        const int64_t x0 = std::max<int64_t>({x, k.left, 0}), x1 = std::min<int64_t>({x + w, k.right, dst.width});
        const int64_t y0 = std::max<int64_t>({y, k.top, 0}), y1 = std::min<int64_t>({y + h, k.bottom, dst.height});
        for (int64_t Y = y0; Y < y1; ++Y)
            for (int64_t X = x0; X < x1; ++X)
                fn(static_cast<int>(sl + SourceOffset(X - x, sw, w)), static_cast<int>(st + SourceOffset(Y - y, sh, h)),
                   static_cast<int>(X), static_cast<int>(Y));
    }
};

// A blit's placement: the surfaces' sizes and the geometry record, which points into it.
struct Placement {
    int sw = 0, sh = 0, dw = 0, dh = 0;
    Point p{};
    Size z{};
    Rect sr{}, clip{};
    BltGeometry g;

    Placement() = default;
    Placement(const Placement&) = delete;
    Placement& operator=(const Placement&) = delete;
};

// fn(const Placement&) for the standard set: source widths 1, 7, 8, 9, 17 drawn 1:1,
// stretched and shrunk, inside, crossing each edge of the destination and each edge of a clip
// rectangle; then `random` placements with points around and beyond the destination, sizes
// equal, larger, smaller, zero or negative, source and clip rectangles partly outside and
// every base-point code.
template <class Fn>
void ForEachPlacement(std::mt19937& rng, int random, Fn fn) {
    for (int w : {1, 7, 8, 9, 17})
        for (int scale = 0; scale < 3; ++scale)
            for (int edge = 0; edge < 9; ++edge) {
                Placement q;
                q.sw = w, q.sh = 5, q.dw = 24, q.dh = 12;
                q.z = scale == 0 ? Size{w, 5} : scale == 1 ? Size{2 * w + 1, 11} : Size{(w + 1) / 2, 3};
                const bool clipped = edge > 4;
                q.clip = clipped ? Rect{3, 2, 19, 9} : Rect{0, 0, q.dw, q.dh};
                const Rect& k = q.clip;
                q.p = {(k.left + k.right - q.z.cx) / 2, (k.top + k.bottom - q.z.cy) / 2};
                switch (edge == 0 ? 0 : (edge - 1) % 4 + 1) {
                    case 1: q.p.x = k.left - q.z.cx / 2; break;
                    case 2: q.p.x = k.right - (q.z.cx + 1) / 2; break;
                    case 3: q.p.y = k.top - q.z.cy / 2; break;
                    case 4: q.p.y = k.bottom - (q.z.cy + 1) / 2; break;
                }
                q.g = BltGeometry{&q.p, &q.z, nullptr, clipped ? &q.clip : nullptr, 0};
                fn(static_cast<const Placement&>(q));
            }
    auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < random; ++i) {
        Placement q;
        q.sw = r(1, 24), q.sh = r(1, 24), q.dw = r(1, 32), q.dh = r(1, 32);
        q.p = {r(-q.dw, q.dw + 5), r(-q.dh, q.dh + 5)};
        q.sr = {r(-3, q.sw), r(-3, q.sh), r(0, q.sw + 3), r(0, q.sh + 3)};
        const bool useSrc = r(0, 2) == 0;
        const int cw = useSrc ? std::min(q.sr.right, q.sw) - std::max(q.sr.left, 0) : q.sw;
        const int ch = useSrc ? std::min(q.sr.bottom, q.sh) - std::max(q.sr.top, 0) : q.sh;
        switch (r(0, 4)) {
            case 0: q.z = {cw, ch}; break;                          // given but unscaled
            case 1: q.z = {r(1, 3 * q.dw), r(1, 3 * q.dh)}; break;  // any stretch
            case 2: q.z = {cw * 2, ch}; break;                      // one axis doubled
            case 3: q.z = {r(-2, 2), r(-2, 2)}; break;              // degenerate
            default: q.z = {cw, r(1, 2 * q.dh)}; break;             // one axis unscaled
        }
        q.clip = {r(-5, q.dw), r(-5, q.dh), r(0, q.dw + 5), r(0, q.dh + 5)};
        q.g = BltGeometry{r(0, 5) ? &q.p : nullptr, r(0, 2) ? &q.z : nullptr, useSrc ? &q.sr : nullptr,
                          r(0, 1) ? &q.clip : nullptr, r(-1, 9)};
        fn(static_cast<const Placement&>(q));
    }
}

// ---- Comparing ----------------------------------------------------------------------------

// Equal bytes, or where the first difference lies: pixel, byte of the pixel, or row padding.
inline testing::AssertionResult SameBytes(const TestSurface& t, const std::vector<uint8_t>& want) {
    if (t.bytes == want) return testing::AssertionSuccess();
    size_t i = 0;
    while (i < want.size() && t.bytes[i] == want[i]) ++i;
    const int bpp = LayoutOf(t.info.type).bytes;
    const int y = static_cast<int>(i / t.info.pitch), col = static_cast<int>(i % t.info.pitch);
    std::ostringstream m;
    if (col >= t.info.width * bpp) {
        m << "pad byte " << col - t.info.width * bpp << " of row " << y;
    } else {
        m << "byte " << col % bpp << " of pixel (" << col / bpp << "," << y << ")";
    }
    m << std::hex << ": want 0x" << int{want[i]} << ", got 0x" << int{t.bytes[i]};
    return testing::AssertionFailure() << m.str();
}

// The expected destination: a copy of its bytes with ref(source pixel, destination pixel)
// applied over the coverage; then run(), and every byte of both surfaces compared.
template <class Run, class Cover, class Ref>
testing::AssertionResult ExpectBlit(TestSurface& src, TestSurface& dst, Run run, Cover cover, Ref ref) {
    std::vector<uint8_t> want = dst.bytes;
    const std::vector<uint8_t> srcBefore = src.bytes;
    const int bpp = LayoutOf(dst.info.type).bytes;
    cover([&](int sx, int sy, int dx, int dy) {
        ref(static_cast<const uint8_t*>(src.At(sx, sy)), want.data() + dy * dst.info.pitch + dx * bpp);
    });
    run();
    if (src.bytes != srcBefore) return testing::AssertionFailure() << "the source changed";
    return SameBytes(dst, want);
}

// ---- Rows -------------------------------------------------------------------------------

// One row of a blit family: an operation on a pair of formats, with its rates.
struct BlitRow {
    EBltOp op;
    int32_t src, dst;
    uint8_t rate = 0, rate2 = 0;
    uint32_t key = 0;  // set by the harness for each blit
};

inline void PrintTo(const BlitRow& r, std::ostream* os) {
    *os << "op " << static_cast<int>(r.op) << " " << FormatName(r.src) << " onto " << FormatName(r.dst) << " rates "
        << int{r.rate} << "," << int{r.rate2};
}
inline std::string RowName(const testing::TestParamInfo<BlitRow>& i) {
    const BlitRow& r = i.param;
    std::string s = "Op" + std::to_string(static_cast<int>(r.op)) + "_" + FormatName(r.src) + "_" + FormatName(r.dst);
    if (r.rate || r.rate2) s += "_r" + std::to_string(r.rate) + "_" + std::to_string(r.rate2);
    return s;
}

// One row per pair of the set (in its order) and per rate; rate2 takes the rates reversed.
inline std::vector<BlitRow> RowsOf(EBltOp op, const BltPairSet& set, std::initializer_list<int> rates = {0}) {
    std::vector<BlitRow> out;
    const std::vector<int> rs(rates);
    for (int32_t s = 0; s < 16; ++s)
        for (int32_t d = 0; d < 16; ++d)
            if (set.Has(s, d))
                for (size_t i = 0; i < rs.size(); ++i)
                    out.push_back({op, s, d, static_cast<uint8_t>(rs[i]), static_cast<uint8_t>(rs[rs.size() - 1 - i])});
    return out;
}

inline bool IsKeyedOp(EBltOp op) {
    const int o = static_cast<int>(op);
    return o == 1 || o == 4 || o == 5 || o == 8 || o == 9 || o == 15 || o == 17;
}

struct BlitOptions {
    int random = 40;  // random placements after the standard ones
    // Called on the filled surfaces before each blit, to stamp what the rule singles out.
    std::function<void(TestSurface& src, TestSurface& dst, std::mt19937& rng)> prepare;
    // Draws the row; default: the dispatch with the row's rates. Answers the blit's code.
    std::function<int(const BlitRow&, CSurfaceInfo& src, CSurfaceInfo& dst, const BltGeometry&)> run;
};

inline int DispatchRow(const BlitRow& r, CSurfaceInfo& src, CSurfaceInfo& dst, const BltGeometry& g) {
    const uint32_t rates[2] = {r.rate, r.rate2};
    return DispatchBlt(dst, r.op, src, g, rates);
}

// Random source pixels, about a third of them the key's bytes, a quarter of those near misses.
inline void StampKeys(TestSurface& s, uint32_t key, std::mt19937& rng) {
    const auto k = KeyBytes(s.info.type, key);
    const Layout& l = LayoutOf(s.info.type);
    for (int y = 0; y < s.info.height; ++y)
        for (int x = 0; x < s.info.width; ++x) {
            if (rng() % 3) continue;
            uint8_t* p = s.At(x, y);
            std::memcpy(p, k.data(), k.size());
            if (rng() % 4) continue;
            if (l.r.shift == 10) p[1] |= 0x80;                                         // RGB555 bit 15
            if (k.size() == 4) p[3] = static_cast<uint8_t>(1 + rng() % 255);           // an X byte
        }
}

// The row over the standard placements: each blit answers 0 and leaves exactly the bytes the
// reference gives.
template <class Ref>
void CheckBlitRow(BlitRow row, Ref ref, const BlitOptions& o = {}) {
    std::mt19937 rng(static_cast<uint32_t>(static_cast<int>(row.op) * 4099 + row.src * 257 + row.dst * 17 + row.rate));
    ForEachPlacement(rng, o.random, [&](const Placement& q) {
        TestSurface src(row.src, q.sw, q.sh, static_cast<int>(rng() % 4));
        TestSurface dst(row.dst, q.dw, q.dh, static_cast<int>(rng() % 4));
        src.Fill(rng);
        dst.Fill(rng);
        row.key = static_cast<uint32_t>(rng());
        src.info.colourKey = row.key;
        if (IsKeyedOp(row.op)) StampKeys(src, row.key, rng);
        if (o.prepare) o.prepare(src, dst, rng);
        int answer = -1;
        const auto run = [&] { answer = o.run ? o.run(row, src.info, dst.info, q.g) : DispatchRow(row, src.info, dst.info, q.g); };
        const auto result = ExpectBlit(src, dst, run, RectCoverage{src.info, dst.info, q.g},
                                       [&](const uint8_t* s, uint8_t* d) { ref(row, s, d); });
        ASSERT_TRUE(result) << "source " << q.sw << "x" << q.sh << " drawn " << q.z.cx << "x" << q.z.cy << " at "
                            << q.p.x << "," << q.p.y << (q.g.clipRect ? " clipped" : "") << (q.g.srcRect ? " part" : "");
        ASSERT_EQ(answer, 0);
    });
}

}  // namespace morna::test
