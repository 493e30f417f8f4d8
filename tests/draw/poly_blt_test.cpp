// The polygon blit against a reference walk in closed form (each row and pixel computed from
// its edge and span, no stepping) and a per-pixel reference of the operations on the byte
// layouts; the rotation against worked corners; the dispatch's answers, locks and keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "blit/polygon/poly_workers.h"
#include "blit/polygon/rotate_polygon.h"
#include "draw/base/blend_tables.h"
#include "draw/surface.h"
#include "foundation/vtl/exception.h"
#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;
using tovarineGameSDK3rd::VTL::CRuntimeException;

namespace {

constexpr int64_t K = 1 << 18, H = K / 2;

struct Poly {
    std::vector<Point> s, d;
    Rect clip{0, 0, 0, 0};
    bool clipped = false, flag = false;
    PolyBltGeometry geom() const { return {s.data(), d.data(), clipped ? &clip : nullptr, flag, static_cast<int32_t>(d.size())}; }
};

// The reference walk: fn(sx, sy, dx, dy) for each pixel drawn, in order.
struct PolyCover {
    const Poly& p;
    const CSurfaceInfo &src, &dst;
    template <class Fn>
    void operator()(Fn fn) const {
        const auto& d = p.d;
        const int n = static_cast<int>(d.size());
        int t = 0, b = 0;
        for (int i = 1; i < n; ++i) {
            if (d[i].y < d[t].y || (d[i].y == d[t].y && d[i].x < d[t].x)) t = i;
            else if (d[i].y > d[b].y || (d[i].y == d[b].y && d[i].x > d[b].x)) b = i;
        }
        if (n < 2 || d[t].y == d[b].y) return;
        const Point P = d[(t + n - 1) % n], Q = d[(t + 1) % n];
        const int right = int64_t{Q.y - d[t].y} * (P.x - d[t].x) - int64_t{P.y - d[t].y} * (Q.x - d[t].x) <= 0 ? 1 : -1;
        auto side = [&](int dir) {  // the edges from top to bottom, flat ones dropped; none if one climbs
            std::vector<std::pair<int, int>> e;
            for (int i = t, j; i != b; i = j) {
                j = (i + dir + n) % n;
                if (d[j].y < d[i].y) return decltype(e){};
                if (d[j].y > d[i].y) e.push_back({i, j});
            }
            return e;
        };
        const auto L = side(-right), R = side(right);
        if (L.empty() || R.empty()) return;
        struct At { int64_t x, u, v; };
        auto at = [&](const std::vector<std::pair<int, int>>& c, int64_t y) {
            size_t k = 0;
            while (k + 1 < c.size() && d[c[k].second].y <= y) ++k;
            const auto [i, j] = c[k];
            const int64_t h = d[j].y - d[i].y, m = y - d[i].y;
            auto walk = [&](int32_t a, int32_t e, int64_t den) { return a * K + H + m * ((int64_t{e} - a) * K / den); };
            return At{walk(d[i].x, d[j].x, h), walk(p.s[i].x, p.s[j].x, h + p.flag), walk(p.s[i].y, p.s[j].y, h + p.flag)};
        };
        Rect c = p.clipped ? p.clip : Rect{0, 0, dst.width, dst.height};
        c = {std::max(c.left, 0), std::max(c.top, 0), std::min(c.right, dst.width), std::min(c.bottom, dst.height)};
        for (int64_t y = std::max(d[t].y, c.top); y <= std::min(d[b].y, c.bottom - 1); ++y) {
            const At l = at(L, y), r = at(R, y);
            int64_t x0 = l.x >> 18, x1 = r.x >> 18, j = 0;
            const int64_t den = x1 == x0 ? 0 : x1 - x0 + p.flag;
            const int64_t su = den ? ((r.u >> 18) - (l.u >> 18)) * K / den : 0, sv = den ? ((r.v >> 18) - (l.v >> 18)) * K / den : 0;
            if (c.right * K - H < l.x || r.x < c.left * K + H) continue;
            if (c.left * K + H > l.x) j = (c.left * K + H - l.x) >> 18, x0 = c.left;
            if (r.x > c.right * K - H) x1 = c.right - 1;
            for (int64_t x = x0; x <= x1; ++x, ++j)
                fn(static_cast<int>(std::clamp<int64_t>((l.u >> 18) + ((H + j * su) >> 18), 0, src.width - 1)),
                   static_cast<int>(std::clamp<int64_t>((l.v >> 18) + ((H + j * sv) >> 18), 0, src.height - 1)),
                   static_cast<int>(x), static_cast<int>(y));
        }
    }
};

int Rand(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// A turned, zoomed sprite rectangle of a w x h source around a dw x dh destination, at times
// clipped, at times its outline reversed. run: unturned or upside down at a zoom close to 1, so
// that spans are runs of neighbouring samples.
Poly RandomSprite(std::mt19937& rng, int w, int h, int dw, int dh, bool run = false) {
    Poly p{std::vector<Point>(4), std::vector<Point>(4)};
    const int l = Rand(rng, 0, w - 1), t = Rand(rng, 0, h - 1);
    const Rect part{l, t, Rand(rng, l + 1, w), Rand(rng, t + 1, h)};
    Rect buf;
    PolyBltGeometry g;
    CSurfaceInfo s;
    s.width = w, s.height = h;
    const int angle = run ? 128 * Rand(rng, 0, 1) : Rand(rng, 0, 3) ? Rand(rng, 0, 255) : 64 * Rand(rng, 0, 3);
    MakeRotatePolygon(&g, &s, Rand(rng, -8, dw), Rand(rng, -8, dh), angle,
                      run ? Rand(rng, 60000, 72000) : Rand(rng, 20000, 160000), Rand(rng, 0, 4), Rand(rng, 0, 1) ? &part : nullptr, nullptr, &buf, p.s.data(),
                      p.d.data());
    p.clipped = Rand(rng, 0, 1), p.clip = {Rand(rng, -2, dw / 2), Rand(rng, -2, dh / 2), Rand(rng, dw / 2, dw + 2), Rand(rng, dh / 2, dh + 2)};
    if (Rand(rng, 0, 1)) std::reverse(p.s.begin(), p.s.end()), std::reverse(p.d.begin(), p.d.end());
    return p;
}

// 2 to 7 points in angle order on an ellipse (convex), mapped from any source points.
Poly RandomConvex(std::mt19937& rng, int w, int h, int dw, int dh) {
    Poly p;
    std::vector<int> a(static_cast<size_t>(Rand(rng, 2, 7)));
    for (int& x : a) x = Rand(rng, 0, 6283);
    std::sort(a.begin(), a.end());
    const int cx = Rand(rng, 0, dw), cy = Rand(rng, 0, dh), rx = Rand(rng, 0, dw), ry = Rand(rng, 0, dh);
    for (int x : a) {
        p.d.push_back({static_cast<int32_t>(cx + rx * std::cos(x / 1e3)), static_cast<int32_t>(cy + ry * std::sin(x / 1e3))});
        p.s.push_back({Rand(rng, 0, w), Rand(rng, 0, h)});  // now and then one past the edge
    }
    p.flag = Rand(rng, 0, 1);
    return p;
}

int Mul(int w, int x) { return w * x / 255; }

// One pixel of op 0, 1 or 10, as the operations are defined, on the byte layouts.
void PolyRef(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    const int32_t S = r.src, D = r.dst;
    const Layout &ls = LayoutOf(S), &ld = LayoutOf(D);
    if (r.op == EBltOp::BltKeyedCopy && KeyMatches(S, s, r.key)) return;
    if (r.op != EBltOp::BltAlpha) {  // copies: raw onto the own format, a 16-bit word opaque onto its alpha format
        if (S == D) Store(D, d, Load(S, s));
        else if (ls.bytes == 2 && ld.a.bits) Store(D, d, Load(S, s) | 15u << 16);
        else Narrow(D, d, {255, Widen(S, s).r, Widen(S, s).g, Widen(S, s).b});
    } else if (ls.r.bits < 8) {  // 16-bit colour words: only the destination's word is written
        const uint32_t ws = Load(S, s) & 0xFFFF, wd = Load(D, d) & 0xFFFF, a = ls.a.bits ? s[2] & 15u : 15u, w16 = s[2] * 16u & 255;
        const uint32_t w = !ls.a.bits ? MapColour(D, wd, ws, [](int, int c, int) { return c; })
                           : S == D  ? MapColour(D, wd, ws, [w16](int dc, int sc, int max) {
                                          const int k = max == 63 ? 2 : 3;  // widened with zero low bits, blended, narrowed
                                          return (Mul(w16, sc << k) + Mul(255 - w16, dc << k)) >> k;
                                      })
                                    : MapColour(D, wd, ws, [a](int dc, int sc, int) { return dc * (15 - a) / 15 + sc * (a & 15) / 15; });
        d[0] = static_cast<uint8_t>(w), d[1] = static_cast<uint8_t>(w >> 8);
    } else {  // 8-bit channels: an equal colour is left alone, else blended by the alpha (255: none)
        const Argb c = Widen(S, s), o = Widen(D, d);
        if (c.r == o.r && c.g == o.g && c.b == o.b) return;
        auto mix = [a = static_cast<int>(c.a)](uint32_t x, uint32_t y) { return static_cast<uint32_t>(Mul(a, x) + Mul(255 - a, y)); };
        Narrow(D, d, {255, mix(c.r, o.r), mix(c.g, o.g), mix(c.b, o.b)});
    }
}

// A surface of the tests' bytes, to draw through ISurface::PolyBlt.
struct Plane : ISurface {
    explicit Plane(TestSurface& t) : t(t) {}
    CSurfaceInfo* GetSurfaceInfo() override { return &t.info; }
    int GetSize(int*, int*) override { return 0; }
    int SetSize(int, int) override { return 0; }
    int CreateSurfaceByType(int, int, int32_t) override { return 0; }
    void CreateInstance(tovarineGameSDK3rd::VTL::smart_ptr<ISurface>&) override {}
    TestSurface& t;
};

// Half the pixels get an alpha the rules single out: 0, 15, 16, 31, 255 (4-bit), 0, 255 (8-bit).
void StampAlphas(TestSurface& t, std::mt19937& rng) {
    const Field a = LayoutOf(t.info.type).a;
    static constexpr uint8_t k4[] = {0, 15, 16, 31, 255}, k8[] = {0, 255};
    for (int y = 0; a.bits && y < t.info.height; ++y)
        for (int x = 0; x < t.info.width; ++x)
            if (rng() % 2) t.At(x, y)[a.shift / 8] = a.bits == 4 ? k4[rng() % 5] : k8[rng() % 2];
}

// p drawn by row's cell through ISurface::PolyBlt from a w x h source onto a 40 x 30
// destination, both random with random row pads; the source's alphas, keys and colours
// stamped with what the rules single out. Every byte as the references give, answer 0.
testing::AssertionResult DrawsAsReference(BlitRow row, const Poly& p, int w, int h, std::mt19937& rng, bool few,
                                         int dw = 40, int dh = 30) {
    TestSurface src(row.src, w, h, Rand(rng, 0, 3)), dst(row.dst, dw, dh, Rand(rng, 0, 3));
    src.Fill(rng), dst.Fill(rng);
    if (few) StampFewColours(src, rng), StampFewColours(dst, rng);
    StampAlphas(src, rng);
    row.key = src.info.colourKey = static_cast<uint32_t>(rng());
    if (row.op == EBltOp::BltKeyedCopy) StampKeys(src, row.key, rng);
    const PolyBltGeometry g = p.geom();
    Plane plane(dst);
    int answer = -1;
    auto same = ExpectBlit(src, dst, [&] { answer = plane.PolyBlt(static_cast<int32_t>(row.op), &src.info, &g, 0); },
                           PolyCover{p, src.info, dst.info}, [&](const uint8_t* s, uint8_t* d) { PolyRef(row, s, d); });
    return !same || answer == 0 ? same : testing::AssertionFailure() << "answer " << answer;
}

class PolyPixels : public testing::TestWithParam<BlitRow> {
protected:
    static void SetUpTestSuite() { InitBlendTables(); }
};

}  // namespace

// Each cell on turned sprites and convex outlines, both ways round, clipped or not.
TEST_P(PolyPixels, EqualReference) {
    const BlitRow& row = GetParam();
    std::mt19937 rng(static_cast<uint32_t>(static_cast<int>(row.op) * 256 + row.src * 16 + row.dst));
    for (int i = 0; i < 40; ++i) {
        const int w = Rand(rng, 1, 20), h = Rand(rng, 1, 20);
        const Poly p = i % 4 == 0 ? RandomConvex(rng, w, h, 40, 30) : RandomSprite(rng, w, h, 40, 30, i % 4 == 1);
        ASSERT_TRUE(DrawsAsReference(row, p, w, h, rng, i % 2)) << i;
    }
}
// Wide spans at zooms just above 1, whose runs of neighbouring samples end at repeated ones.
TEST_P(PolyPixels, LongRunsEqualReference) {
    const BlitRow& row = GetParam();
    std::mt19937 rng(static_cast<uint32_t>(static_cast<int>(row.op) * 256 + row.src * 16 + row.dst + 1));
    for (int i = 0; i < 6; ++i) {
        const int w = Rand(rng, 100, 300), h = Rand(rng, 1, 4);
        Poly p{std::vector<Point>(4), std::vector<Point>(4)};
        Rect buf;
        PolyBltGeometry g;
        CSurfaceInfo s;
        s.width = w, s.height = h;
        MakeRotatePolygon(&g, &s, Rand(rng, -20, 20), 0, 128 * Rand(rng, 0, 1), Rand(rng, 65537, 67600), 4, nullptr,
                          nullptr, &buf, p.s.data(), p.d.data());
        p.clipped = Rand(rng, 0, 1), p.clip = {Rand(rng, -2, 100), 0, Rand(rng, 200, 330), 12};
        ASSERT_TRUE(DrawsAsReference(row, p, w, h, rng, i % 2, 320, 12)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Op0, PolyPixels, testing::ValuesIn(RowsOf(EBltOp::BltCopy, kPolyBltPairs)), RowName);
INSTANTIATE_TEST_SUITE_P(Op1, PolyPixels, testing::ValuesIn(RowsOf(EBltOp::BltKeyedCopy, kPolyBltPairs)), RowName);
INSTANTIATE_TEST_SUITE_P(Op10, PolyPixels, testing::ValuesIn(RowsOf(EBltOp::BltAlpha, kPolyBltPairs)), RowName);

// The input the walk repairs or refuses: flat runs, two points, one row, one point, a concave
// outline whose rows are whole, one that climbs, source points off the source, coordinates
// that 32 bits cannot step.
TEST(PolyBlt, OddOutlines) {
    std::mt19937 rng(26);
    const std::vector<Poly> odd = {
        {{{0, 0}, {4, 0}, {9, 0}, {9, 4}, {9, 9}, {0, 9}}, {{0, 0}, {5, 0}, {10, 0}, {10, 5}, {10, 9}, {0, 9}}},
        {{{0, 0}, {9, 9}}, {{0, 0}, {4, 4}}},
        {{{0, 0}, {3, 3}, {5, 5}}, {{0, 2}, {3, 2}, {9, 2}}},
        {{{1, 1}}, {{1, 1}}},
        {{{0, 0}, {9, 0}, {5, 5}, {9, 9}, {0, 9}}, {{0, 0}, {20, 0}, {5, 5}, {20, 12}, {0, 12}}},
        {{{0, 0}, {9, 0}, {5, 5}, {9, 2}, {9, 9}, {0, 9}}, {{0, 0}, {20, 0}, {10, 10}, {20, 5}, {20, 12}, {0, 12}}},
        {{{-30, -5}, {40, 0}, {40, 50}, {0, 40}}, {{0, 0}, {30, 2}, {28, 20}, {3, 25}}},
        {{{0, 0}, {9, 0}, {9, 9}, {0, 9}}, {{-400000, -300000}, {500000, -200000}, {300000, 600000}, {-100000, 500000}}},
    };
    for (const Poly& p : odd) ASSERT_TRUE(DrawsAsReference({EBltOp::BltCopy, XRGB8888, XRGB8888}, p, 10, 10, rng, false)) << p.d.size();
}

// Worked pictures: a 10 x 5 rectangle covers 66 pixels; the 64 x 32 sprite turned a quarter
// about its centre fills a 33 x 65 box with its corners' samples; the span flag walks 10
// source pixels in 11 steps short of the last; a clip at each edge keeps the unclipped
// picture inside it (an unturned sprite's left edge has the fraction one half).
TEST(PolyBlt, WorkedPictures) {
    TestSurface src(XRGB8888, 64, 32), dst(XRGB8888, 160, 100), whole(XRGB8888, 160, 100);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) Store(XRGB8888, src.At(x, y), 0x1000000u | y << 8 | x);
    auto draw = [&](const PolyBltGeometry& g) {
        std::fill(dst.bytes.begin(), dst.bytes.end(), 0);
        EXPECT_EQ(DispatchPolyBlt(dst.info, 0, &src.info, &g), 0);
        int n = 0;  // pixels drawn: their pad byte is the source's 1
        for (size_t i = 3; i < dst.bytes.size(); i += 4) n += dst.bytes[i];
        return n;
    };
    auto at = [&](int x, int y) { return Load(XRGB8888, dst.At(x, y)) & 0xFFFF; };
    const Point rect[4] = {{0, 0}, {10, 0}, {10, 5}, {0, 5}};
    EXPECT_EQ(draw({rect, rect, nullptr, 0, 4}), 66);
    EXPECT_EQ(std::make_pair(at(10, 5), at(11, 5) | at(10, 6)), std::make_pair(0x050Au, 0u));
    Point sp[4], dp[4];
    Rect buf;
    PolyBltGeometry g;
    ASSERT_EQ(MakeRotatePolygon(&g, &src.info, 100, 50, 64, 65536, 4, nullptr, nullptr, &buf, sp, dp), 0);
    EXPECT_EQ(draw(g), 33 * 65);
    EXPECT_EQ(std::vector<uint32_t>({at(148, 34), at(148, 98), at(116, 98), at(116, 34)}), std::vector<uint32_t>({0, 0x3F, 0x1F3F, 0x1F00}));
    const Point span[4] = {{0, 0}, {10, 0}, {10, 1}, {0, 1}}, from[4] = {{0, 0}, {10, 0}, {10, 0}, {0, 0}};
    for (uint8_t flag : {0, 1}) {
        draw({from, span, nullptr, flag, 4});
        std::vector<uint32_t> u;
        for (int x = 0; x <= 10; ++x) u.push_back(at(x, 1));
        EXPECT_EQ(u, (flag ? std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9} : std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    }
    for (const Rect clip : {Rect{9, 0, 160, 100}, Rect{0, 7, 160, 100}, Rect{0, 0, 17, 100}, Rect{0, 0, 160, 11}}) {
        MakeRotatePolygon(&g, &src.info, 3, 2, 0, 20000, 0, nullptr, nullptr, &buf, sp, dp);
        draw(g);
        whole.bytes = dst.bytes;
        g.clipRect = &clip;
        draw(g);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 160; ++x) {
                const bool in = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                ASSERT_EQ(Load(XRGB8888, dst.At(x, y)), in ? Load(XRGB8888, whole.At(x, y)) : 0u) << x << "," << y;
            }
    }
}

namespace {
// The parameters the workers get, through a recording operation.
std::vector<uint32_t> params;
template <class S, class D>
struct RecordPixel {
    explicit RecordPixel(uint32_t p) { params.push_back(p); }
    void operator()(const uint8_t*, uint8_t*) const {}
};
const PolyBltTable kRecorded = MakePolyBltWorkers<RecordPixel>();
}  // namespace

// Op 1 hands every pair's worker the source's key in the source's format (an 8-bit alpha 255
// onto its own format, else the key's top byte); ops 0 and 10 hand 0.
TEST(PolyBlt, WorkersGetTheKey) {
    const Point pts[2] = {{0, 0}, {1, 1}};
    const PolyBltGeometry g{pts, pts, nullptr, 0, 2};
    for (const BlitRow& row : RowsOf(EBltOp::BltKeyedCopy, kPolyBltPairs)) {
        TestSurface src(row.src, 2, 2), dst(row.dst, 2, 2);
        src.info.colourKey = 0x9A123456;
        const bool own8 = row.src == row.dst && LayoutOf(row.src).a.bits == 8;
        params.clear();
        for (int32_t op : {0, 1, 10}) DispatchPolyBltWith({kRecorded, kRecorded, kRecorded}, dst.info, op, &src.info, &g);
        EXPECT_EQ(params, (std::vector<uint32_t>{0, RawOf(row.src, own8 ? 0xFF123456 : 0x9A123456), 0})) << RowName({row, 0});
    }
}

// 1 for ops without a polygon blit, a null source and refused locks (nothing left locked);
// 0 for one type without workers and a null geometry; 2 for two types without a worker; a
// self-blit throws the double-lock exception and leaves the surface unlocked.
TEST(PolyBlt, AnswersAndLocks) {
    TestSurface a(ARGB8888, 4, 4), b(ARGB8888, 4, 4), p8(Palette8, 4, 4), p8b(Palette8, 4, 4), w565(RGB565, 4, 4), w555(RGB555, 4, 4);
    const Point pts[2] = {{0, 0}, {3, 3}};
    const PolyBltGeometry g{pts, pts, nullptr, 0, 2};
    for (int32_t op : {-1, 2, 3, 9, 11, 14, 17}) EXPECT_EQ(DispatchPolyBlt(a.info, op, &b.info, &g), 1) << op;
    for (int32_t op : {0, 1, 10}) {
        EXPECT_EQ(DispatchPolyBlt(a.info, op, nullptr, &g), 1);
        EXPECT_EQ(DispatchPolyBlt(p8.info, op, &p8b.info, &g), 0);
        EXPECT_EQ(DispatchPolyBlt(w555.info, op, &w565.info, &g), 2);
        EXPECT_EQ(DispatchPolyBlt(a.info, op, &b.info, nullptr), 0);
        EXPECT_THROW(DispatchPolyBlt(a.info, op, &a.info, &g), CRuntimeException);
    }
    auto *refusing = new CountingLocker(1), *counting = new CountingLocker(0);
    a.info.SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(refusing));
    b.info.SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(counting));
    EXPECT_EQ(DispatchPolyBlt(a.info, 0, &b.info, &g), 1);
    EXPECT_EQ(counting->locks, 0);
    EXPECT_EQ(DispatchPolyBlt(b.info, 0, &a.info, &g), 1);
    EXPECT_EQ(std::make_pair(counting->locks, counting->unlocks), std::make_pair(1, 1));
    for (const TestSurface* t : {&a, &b, &p8, &p8b, &w565, &w555}) EXPECT_FALSE(t->info.locked);
}

// Unturned, every anchor gives the box; a quarter turn about the centre is the worked example
// (and -192 the same turn); a half turn swaps the corners; an eighth turn rounds through the
// table's 46340, halves away from zero. MulDiv rounds halves away from zero too.
TEST(Rotation, Corners) {
    using Corners = std::vector<std::pair<int, int>>;
    const Corners box{{10, 20}, {74, 20}, {74, 52}, {10, 52}}, quarter{{148, 34}, {148, 98}, {116, 98}, {116, 34}};
    const struct { int32_t x, y, angle, zoom, anchor; Corners d; } turns[] = {
        {10, 20, 0, 65536, 0, box}, {10, 20, 256, 65536, 1, box}, {10, 20, -256, 65536, 2, box}, {10, 20, 0, 65536, 3, box},
        {10, 20, 0, 32768, 4, {{10, 20}, {42, 20}, {42, 36}, {10, 36}}}, {100, 50, 64, 65536, 4, quarter},
        {100, 50, -192, 65536, 4, quarter}, {10, 20, 128, 65536, 4, {{74, 52}, {10, 52}, {10, 20}, {74, 20}}},
        {100, 50, 32, 65536, 4, {{121, 32}, {166, 77}, {143, 100}, {98, 55}}}, {0, 0, 64, 65536, 0, {{0, 0}, {0, 20}, {-20, 20}, {-20, 0}}}};
    CSurfaceInfo source;
    source.width = 64, source.height = 32;
    Point sp[4], dp[4];
    Rect buf{}, clip{};
    const Rect part{10, 20, 30, 40};
    PolyBltGeometry g;
    auto corners = [](const Point* p) { return Corners{{p[0].x, p[0].y}, {p[1].x, p[1].y}, {p[2].x, p[2].y}, {p[3].x, p[3].y}}; };
    for (const auto& t : turns) {
        const bool whole = &t != &turns[9];  // the last takes the part (10, 20, 30, 40)
        ASSERT_EQ(MakeRotatePolygon(&g, &source, t.x, t.y, t.angle, t.zoom, t.anchor, whole ? nullptr : &part, &clip, &buf, sp, dp), 0);
        EXPECT_EQ(corners(dp), t.d) << t.angle << " " << t.anchor;
        EXPECT_EQ(corners(sp), whole ? Corners({{0, 0}, {63, 0}, {63, 31}, {0, 31}}) : Corners({{10, 20}, {29, 20}, {29, 39}, {10, 39}}));
        EXPECT_TRUE(g.srcPoints == sp && g.dstPoints == dp && g.clipRect == &clip && g.spanFlag == 0 && g.count == 4);
    }
    EXPECT_EQ(std::vector<int32_t>({MulDiv(1, 1, 2), MulDiv(-1, 1, 2), MulDiv(3, 1, -2), MulDiv(2, 1, 3), MulDiv(640, 65535, 65536),
                                    MulDiv(5, 1, 0), MulDiv(1 << 30, 8, 2)}),
              std::vector<int32_t>({1, -1, -2, 1, 640, -1, -1}));
}

// A zoom of 0 or an empty zoomed size gives a geometry of no points (drawn: nothing) before
// the anchor is looked at; then an anchor outside 0..4 throws; a null source writes nothing.
TEST(Rotation, EmptyAndRefused) {
    TestSurface src(XRGB8888, 64, 32), dst(XRGB8888, 8, 8);
    const auto before = dst.bytes;
    Point sp[4], dp[4];
    Rect buf;
    PolyBltGeometry g{nullptr, nullptr, nullptr, 7, 9};
    EXPECT_EQ(MakeRotatePolygon(&g, nullptr, 0, 0, 0, 65536, 4, nullptr, nullptr, &buf, sp, dp), -1);
    EXPECT_EQ(g.count, 9);
    for (int32_t zoom : {0, 1, 1000})
        for (int32_t anchor : {0, 5, -1}) {
            EXPECT_EQ(MakeRotatePolygon(&g, &src.info, 0, 0, 0, zoom, anchor, nullptr, nullptr, &buf, sp, dp), 0);
            EXPECT_EQ(g.count, 0);
            EXPECT_EQ(DispatchPolyBlt(dst.info, 0, &src.info, &g), 0);
        }
    EXPECT_EQ(dst.bytes, before);
    EXPECT_THROW(MakeRotatePolygon(&g, &src.info, 0, 0, 0, 65536, -1, nullptr, nullptr, &buf, sp, dp), CRuntimeException);
    try {
        MakeRotatePolygon(&g, &src.info, 0, 0, 0, 65536, 5, nullptr, nullptr, &buf, sp, dp);
        ADD_FAILURE() << "no exception";
    } catch (const CRuntimeException& e) {
        EXPECT_EQ(e.getMessage(), tovarineGameSDK3rd::VTL::VTLstring("回転中心の指定が範囲外"));
    }
}

namespace {
struct Worked {
    int32_t op, src, dst;
    std::vector<uint8_t> s, d, want;  // one pixel each
};
void PrintTo(const Worked& w, std::ostream* os) { *os << w.op << " " << FormatName(w.src) << " onto " << FormatName(w.dst); }
class PolyWorked : public testing::TestWithParam<Worked> {
protected:
    static void SetUpTestSuite() { InitBlendTables(); }
};
}  // namespace

// The worked pixels of the operations: the reference and the blit both give them.
TEST_P(PolyWorked, GiveThePixel) {
    const Worked& w = GetParam();
    TestSurface src(w.src, 1, 1), dst(w.dst, 1, 1);
    src.bytes = w.s, dst.bytes = w.d;
    src.info.pixels = src.bytes.data(), dst.info.pixels = dst.bytes.data();
    src.info.colourKey = 0x00FF00FF;
    std::vector<uint8_t> ref = w.d;
    PolyRef({static_cast<EBltOp>(w.op), w.src, w.dst, 0, 0, 0x00FF00FF}, w.s.data(), ref.data());
    EXPECT_EQ(ref, w.want) << "reference";
    const Point s[2] = {{0, 0}, {0, 0}}, d[2] = {{0, 0}, {0, 1}};
    const PolyBltGeometry g{s, d, nullptr, 0, 2};
    EXPECT_EQ(DispatchPolyBlt(dst.info, w.op, &src.info, &g), 0);
    EXPECT_EQ(dst.bytes, w.want);
}

// AlphaPixel at alpha 15 weighs 240/255 (white onto black 29 and 59, black onto white 1 and
// 3), at 8 half, at 16 nothing (0); the level blend is exact at 15 (31 too) and 16/33/16 at 8;
// op 10 drops RGB555 bit 15, a copy keeps it; a 16-bit word onto its 4-bit alpha format gets
// alpha 15 from ops 0 and 1 and keeps it in op 10; a keyed word with bit 15 set is drawn; an
// 8-bit blend leaves an equal colour (alpha 0 too), red and blue exchanged counting as other,
// and writes alpha 255 or pad 0; a pad byte keeps an XBGR8888 key pixel drawn.
INSTANTIATE_TEST_SUITE_P(
    Parts, PolyWorked,
    testing::Values(Worked{10, ARGB4555, ARGB4555, {0xFF, 0x7F, 15, 9}, {0, 0x80, 7, 8}, {0xBD, 0x77, 7, 8}},
                    Worked{10, ARGB4555, ARGB4555, {0, 0, 15, 9}, {0xFF, 0x7F, 7, 8}, {0x21, 0x04, 7, 8}},
                    Worked{10, ARGB4565, ARGB4565, {0xFF, 0xFF, 31, 9}, {0, 0, 7, 8}, {0x7D, 0xEF, 7, 8}},
                    Worked{10, ARGB4565, ARGB4565, {0, 0, 15, 9}, {0xFF, 0xFF, 7, 8}, {0x61, 0x08, 7, 8}},
                    Worked{10, ARGB4565, ARGB4565, {0xFF, 0xFF, 8, 9}, {0, 0, 7, 8}, {0xEF, 0x7B, 7, 8}},
                    Worked{10, ARGB4565, ARGB4565, {0xFF, 0xFF, 16, 9}, {0x34, 0x12, 7, 8}, {0x34, 0x12, 7, 8}},
                    Worked{10, ARGB4565, RGB565, {0xFF, 0xFF, 8, 9}, {0, 0}, {0x30, 0x84}},
                    Worked{10, ARGB4555, RGB555, {0xFF, 0xFF, 0x1F, 9}, {0, 0}, {0xFF, 0x7F}},
                    Worked{10, RGB555, RGB555, {0x34, 0x92}, {0, 0}, {0x34, 0x12}}, Worked{0, RGB555, RGB555, {0x34, 0x92}, {0, 0}, {0x34, 0x92}},
                    Worked{0, RGB565, ARGB4565, {0x34, 0x92}, {0, 0, 0, 8}, {0x34, 0x92, 15, 8}},
                    Worked{10, RGB555, ARGB4555, {0x34, 0x92}, {0, 0, 0, 8}, {0x34, 0x12, 0, 8}},
                    Worked{1, ARGB4555, RGB555, {0x1F, 0xFC, 3, 9}, {0, 0}, {0x1F, 0x7C}},
                    Worked{10, ARGB8888, ARGB8888, {1, 2, 3, 255}, {1, 2, 3, 0}, {1, 2, 3, 0}},
                    Worked{10, BGR888, ARGB8888, {1, 2, 3}, {1, 2, 3, 0}, {3, 2, 1, 255}},
                    Worked{10, ABGR8888, XBGR8888, {200, 100, 50, 128}, {0, 0, 0, 9}, {100, 50, 25, 0}},
                    Worked{1, XBGR8888, XBGR8888, {0xFF, 0, 0xFF, 1}, {0, 0, 0, 0}, {0xFF, 0, 0xFF, 1}}));
