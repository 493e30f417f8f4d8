// The blend blits against references written from their per-pixel rules, by formula (no
// lookup tables) over the byte layouts.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "blit/blend/cpu_level.h"
#include "draw/base/blend_tables.h"
#include "draw/base/blt_geometry.h"
#include "draw/base/blt_pairs.h"
#include "draw/base/vector_width.h"
#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;

namespace {

int Mul(int w, int x) { return w * x / 255; }
bool Plain16(int32_t t) { return LayoutOf(t).bytes == 2; }
bool Word16(int32_t t) { return LayoutOf(t).r.bits < 8; }
int AlphaBits(int32_t t) { return LayoutOf(t).a.bits; }
// The alpha as a weight: an 8-bit alpha as it is, a 4-bit one (low four bits of its byte) x 16.
int Weight(int32_t t, const uint8_t* p) { return AlphaBits(t) == 8 ? p[3] : (p[2] & 15) * 16; }
// Each field of a 16-bit colour word at level l of 15.
uint32_t Level(int32_t t, uint32_t p, int l) {
    return MapColour(t, p, p, [l](int c, int, int) { return c * l / 15; });
}

using Rgb = std::array<int, 3>;
Rgb ColourOf(int32_t t, const uint8_t* p) {
    const Argb c = Widen(t, p);
    return {static_cast<int>(c.r), static_cast<int>(c.g), static_cast<int>(c.b)};
}
// Each channel fn(source, destination) as bytes, cut to 8 bits, into d: a 16-bit word narrowed
// with bit 15 clear and the alpha of a 4-bit-alpha destination kept, an 8-bit alpha 255, an X
// byte 0.
template <class Fn>
void MixColour(int32_t S, const uint8_t* s, int32_t D, uint8_t* d, Fn fn) {
    const Rgb sc = ColourOf(S, s), dc = ColourOf(D, d);
    const Layout& l = LayoutOf(D);
    uint32_t v = Load(D, d) & ~(Word16(D) ? 0xFFFFu : 0xFFFFFFu);
    v |= Put(l.r, (fn(sc[0], dc[0]) & 255) >> (8 - l.r.bits)) | Put(l.g, (fn(sc[1], dc[1]) & 255) >> (8 - l.g.bits)) |
         Put(l.b, (fn(sc[2], dc[2]) & 255) >> (8 - l.b.bits));
    if (AlphaBits(D) == 8) v |= 0xFF000000u;
    if (l.bytes == 4 && !AlphaBits(D)) v &= 0xFFFFFFu;
    Store(D, d, v);
}

// Ops 14 and 15: one rate.
void OneRate(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    const int32_t S = r.src, D = r.dst;
    if (Plain16(D)) {
        const uint32_t sw = Load(S, s) & 0xFFFF, dw = Load(D, d);
        int l;
        if (Plain16(S)) {
            if (sw == dw) return;
            l = (r.rate & 0xF0) >> 4;
        } else {
            l = Mul(r.rate, Weight(S, s)) >> 4;
        }
        Store(D, d, (Level(D, dw, 15 - l) + Level(D, sw, l)) & 0xFFFF);
        return;
    }
    const int w = AlphaBits(S) ? Mul(Weight(S, s), r.rate) : r.rate;
    if (!Word16(D) && ColourOf(S, s) == ColourOf(D, d)) return;
    MixColour(S, s, D, d, [w](int sc, int dc) { return Mul(w, sc) + Mul(255 - w, dc); });
}

// Ops 16 and 17: two rates, sums wrapping.
void TwoRates(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    const int32_t S = r.src, D = r.dst;
    if (Plain16(D)) {
        const bool alpha = AlphaBits(S) != 0;
        const int l1 = (alpha ? Mul(r.rate, Weight(S, s)) : r.rate) >> 4, l2 = (alpha ? Mul(r.rate2, 240) : r.rate2) >> 4;
        Store(D, d, (Level(D, Load(S, s) & 0xFFFF, l1) + Level(D, Load(D, d), l2)) & 0xFFFF);
        return;
    }
    const int ws = AlphaBits(S) ? Mul(Weight(S, s), r.rate) : r.rate, wd = AlphaBits(D) ? Mul(Weight(D, d), r.rate2) : r.rate2;
    MixColour(S, s, D, d, [&](int sc, int dc) { return Mul(ws, sc) + Mul(wd, dc); });
}

// Op 10: the source's alpha; onto the same format source over destination.
void SourceAlpha(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    const int32_t S = r.src, D = r.dst;
    if (S == D && AlphaBits(S) == 8) {
        const int sa = s[3], t = Mul(d[3], 255 - sa), a = sa + t;
        if (a == 0) return;
        MixColour(S, s, D, d, [&](int sc, int dc) { return Mul(sa * 255 / a, sc) + Mul(t * 255 / a, dc); });
        d[3] = static_cast<uint8_t>(a);
    } else if (S == D) {
        const int s16 = (s[2] & 15) * 16, t = Mul((d[2] & 15) * 16, 240 - s16), a = s16 + t;
        d[2] = static_cast<uint8_t>(a >> 4);
        if (a == 0) return;
        const uint32_t w = Level(D, Load(S, s) & 0xFFFF, s16 * 15 / a) + Level(D, Load(D, d) & 0xFFFF, t * 15 / a);
        d[0] = static_cast<uint8_t>(w);
        d[1] = static_cast<uint8_t>(w >> 8);
    } else if (Plain16(D)) {
        const int a = s[2] & 15;
        Store(D, d, (Level(D, Load(D, d), 15 - a) + Level(D, Load(S, s) & 0xFFFF, a)) & 0xFFFF);
    } else if (ColourOf(S, s) != ColourOf(D, d)) {
        MixColour(S, s, D, d, [a = s[3]](int sc, int dc) { return Mul(a, sc) + Mul(255 - a, dc); });
    }
}

void BlendRef(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    const int op = static_cast<int>(r.op);
    if ((op == 15 || op == 17) && KeyMatches(r.src, s, r.key)) return;
    (op == 10 ? SourceAlpha : op <= 15 ? OneRate : TwoRates)(r, s, d);
}

// Op 14 of XRGB8888 onto itself on processors with MMX and CMOV: per byte s * r / 256 plus
// d * (255 - r) / 256, X byte 0, nothing skipped.
void PackedRef(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>((s[i] * r.rate >> 8) + (d[i] * (255 - r.rate) >> 8));
    d[3] = 0;
}

// The packed worker's sampling from the clipper's terms: each error step after its pixel or row.
struct StepAfterCoverage {
    const CSurfaceInfo& src;
    const CSurfaceInfo& dst;
    const BltGeometry& g;
    template <class Fn>
    void operator()(Fn fn) const {
        BltClipResult c;
        if (CalcBltGeometry(dst, src, g, c) != 0) return;
        auto step = [&](int& p, int& e, int whole, int add, int sub) {
            p += c.oneToOne ? 1 : whole;
            if (!c.oneToOne && (e += add) >= 0) ++p, e -= sub;
        };
        for (int y = c.dstRect.top, sy = c.srcRect.top, ey = c.errY; y < c.dstRect.bottom; ++y) {
            for (int x = c.dstRect.left, sx = c.srcRect.left, ex = c.errX; x < c.dstRect.right; ++x) {
                fn(sx, sy, x, y);
                step(sx, ex, c.stepX, c.remX, c.denX);
            }
            step(sy, ey, c.stepY, c.remY, c.denY);
        }
    }
};

// Every pixel one of four colours (other bits random) in half of the blits, so that equal
// colours meet.
void SomeEqualColours(TestSurface& src, TestSurface& dst, std::mt19937& rng) {
    if (rng() % 2) return;
    StampFewColours(src, rng);
    StampFewColours(dst, rng);
}

const std::initializer_list<int> kRates = {0, 1, 15, 16, 127, 128, 240, 255};

// The processor level forced for one test (the table-driven workers run at 1 to 3), and the
// vector width, so that both widths' rows run.
class Blend : public testing::TestWithParam<BlitRow> {
protected:
    static void SetUpTestSuite() { InitBlendTables(); }
    void SetUp() override {
        ForceCpuLevelForTesting(1 + GetParam().rate % 3);
        ForceWideVectorsForTesting((GetParam().rate + GetParam().src) % 2);
    }
    void TearDown() override {
        ForceCpuLevelForTesting(0);
        ForceWideVectorsForTesting(-1);
    }
};

}  // namespace

TEST_P(Blend, EqualsReference) {
    BlitOptions o;
    o.prepare = SomeEqualColours;
    CheckBlitRow(GetParam(), BlendRef, o);
}

INSTANTIATE_TEST_SUITE_P(Op10, Blend, testing::ValuesIn(RowsOf(EBltOp::BltAlpha, kBltAlphaPairs)), RowName);
INSTANTIATE_TEST_SUITE_P(Op14, Blend, testing::ValuesIn(RowsOf(EBltOp::BltBlend, kBltFamilyPairs, kRates)), RowName);
INSTANTIATE_TEST_SUITE_P(Op15, Blend, testing::ValuesIn(RowsOf(EBltOp::BltKeyedBlend, kBltFamilyPairs, kRates)), RowName);
INSTANTIATE_TEST_SUITE_P(Op16, Blend, testing::ValuesIn(RowsOf(EBltOp::BltBlendTwoRates, kBltFamilyPairs, kRates)), RowName);
INSTANTIATE_TEST_SUITE_P(Op17, Blend, testing::ValuesIn(RowsOf(EBltOp::BltKeyedBlendTwoRates, kBltFamilyPairs, kRates)),
                         RowName);

// The 32-byte rows, run where the processor has them, give the 16-byte rows' bytes on the same
// random pictures (keys and equal colours stamped).
TEST(BlendWidths, GiveTheSameBytes) {
    InitBlendTables();
    std::mt19937 rng(22);
    std::vector<BlitRow> rows = RowsOf(EBltOp::BltAlpha, kBltAlphaPairs);
    for (EBltOp op : {EBltOp::BltBlend, EBltOp::BltKeyedBlend, EBltOp::BltBlendTwoRates, EBltOp::BltKeyedBlendTwoRates}) {
        const auto more = RowsOf(op, kBltFamilyPairs, {0, 77, 128, 255});
        rows.insert(rows.end(), more.begin(), more.end());
    }
    for (const BlitRow& row : rows) {
        TestSurface src(row.src, 77, 3), dst(row.dst, 77, 3);
        src.Fill(rng);
        dst.Fill(rng);
        SomeEqualColours(src, dst, rng);
        src.info.colourKey = static_cast<uint32_t>(rng());
        StampKeys(src, src.info.colourKey, rng);
        const auto start = dst.bytes;
        std::vector<uint8_t> out[2];
        for (int wide : {0, 1}) {
            ForceWideVectorsForTesting(wide);
            dst.bytes = start;
            DispatchRow(row, src.info, dst.info, BltGeometry{});
            out[wide] = dst.bytes;
        }
        ForceWideVectorsForTesting(-1);
        ASSERT_EQ(out[0], out[1]) << testing::PrintToString(row);
    }
}

// Level 4: the packed worker, with its own sampling, over the same placements.
TEST(BlendPacked, EqualsReferenceAtLevelFour) {
    InitBlendTables();
    ForceCpuLevelForTesting(4);
    std::mt19937 rng(4);
    for (int rate : kRates) {
        ForceWideVectorsForTesting(rate % 2);
        const BlitRow row{EBltOp::BltBlend, XRGB8888, XRGB8888, static_cast<uint8_t>(rate)};
        ForEachPlacement(rng, 40, [&](const Placement& q) {
            TestSurface src(XRGB8888, q.sw, q.sh), dst(XRGB8888, q.dw, q.dh, 4);
            src.Fill(rng);
            dst.Fill(rng);
            const auto run = [&] { DispatchRow(row, src.info, dst.info, q.g); };
            ASSERT_TRUE(ExpectBlit(src, dst, run, StepAfterCoverage{src.info, dst.info, q.g},
                                   [&](const uint8_t* s, uint8_t* d) { PackedRef(row, s, d); }))
                << "rate " << rate << " source " << q.sw << "x" << q.sh << " drawn " << q.z.cx << "x" << q.z.cy;
        });
    }
    ForceCpuLevelForTesting(0);
    ForceWideVectorsForTesting(-1);
    EXPECT_NE(EnsureCpuInfoInstance(), nullptr);
    EXPECT_EQ(EnsureCpuInfoInstance(), EnsureCpuInfoInstance());
#if defined(__x86_64__)
    EXPECT_EQ(GetCPUType(), 4);  // every x86-64 processor has MMX and CMOV
#endif
}

namespace {

std::vector<uint8_t> W(uint16_t w) { return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)}; }
std::vector<uint8_t> W(uint16_t w, uint8_t a, uint8_t pad) { return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8), a, pad}; }

constexpr EBltOp k10 = EBltOp::BltAlpha, k14 = EBltOp::BltBlend, k15 = EBltOp::BltKeyedBlend, k16 = EBltOp::BltBlendTwoRates;

// A source row drawn onto a destination row as wide as `want`.
struct Worked {
    EBltOp op;
    int32_t src, dst;
    std::vector<uint8_t> s, d, want;
    uint8_t rate = 0, rate2 = 0;
    uint32_t key = 0;
    int level = 3;  // 4: the packed worker of XRGB8888 onto itself
};

}  // namespace

// The rules' own examples; the reference gives the single pixels too.
TEST(BlendWorked, GivesThePixels) {
    InitBlendTables();
    const Worked table[] = {
        // One rate: 255 copies an opaque colour; X 0 and alpha 255 where drawn; equal colours,
        // red and blue by colour, stay whole.
        {k14, XRGB8888, XRGB8888, {16, 32, 48, 0x77}, {1, 2, 3, 0x55}, {16, 32, 48, 0}, 255},
        {k14, ARGB8888, ARGB8888, {1, 2, 3, 0}, {9, 8, 7, 16}, {9, 8, 7, 255}, 255},
        {k14, RGB888, ABGR8888, {2, 5, 1}, {1, 5, 2, 16}, {1, 5, 2, 16}, 128},
        {k14, RGB888, ABGR8888, {2, 5, 1}, {2, 5, 1, 16}, {1, 5, 2, 255}, 255},
        // 16-bit levels: below 16 keeps, bit 15 cleared; a 4-bit alpha 15 at rate 128 is level
        // 7; an alpha byte of 31 counts as 15.
        {k14, RGB555, RGB555, W(0x1234), W(0x8421), W(0x0421), 15},
        {k14, ARGB4565, RGB565, W(0xFFFF, 15, 0), W(0x0000), W(0x73AE), 128},
        {k14, ARGB4565, RGB565, W(0xABCD, 0x1F, 0), W(0x1234), W(0xABCD), 255},
        // Onto 4-bit alpha alpha 15 weighs 240/255 (white -> 29); alpha and pad kept.
        {k14, ARGB4555, ARGB4555, W(0x7FFF, 15, 1), W(0x0000, 7, 0xEE), W(0x77BD, 7, 0xEE), 255},
        // Keys: left at any rate, also under the 16-bit packing; an X byte or bit 15 is no key.
        {k15, RGB565, RGB565, W(0xF81F), W(0x1234), W(0x1234), 255, 0, 0xFA03FA},
        {k15, XRGB8888, XRGB8888, {255, 0, 255, 1}, {0, 0, 0, 0x33}, {255, 0, 255, 0}, 255, 0, 0xFF00FF},
        {k15, RGB555, RGB555, W(0xFC1F), W(0x0000), W(0x7C1F), 255, 0, 0xFF00FF},
        // The packed worker: 255 gives s - 1, white onto white at 128 gives 253.
        {k14, XRGB8888, XRGB8888, {255, 255, 255, 9}, {255, 255, 255, 9}, {254, 254, 254, 0}, 255, 0, 0, 4},
        {k14, XRGB8888, XRGB8888, {255, 255, 255, 9}, {255, 255, 255, 9}, {253, 253, 253, 0}, 128, 0, 0, 4},
        // Two rates wrap: 200 + 100 at 255, 255 is 44; an equal pixel at 128, 127 is written.
        {k16, XRGB8888, XRGB8888, {200, 200, 200, 9}, {100, 100, 100, 7}, {44, 44, 44, 0}, 255, 255},
        {k16, XRGB8888, XRGB8888, {100, 100, 100, 9}, {100, 100, 100, 7}, {99, 99, 99, 0}, 128, 127},
        {k16, RGB555, RGB555, W(0x7FFF), W(0x7FFF), W(0xFFFE), 255, 255},
        {k16, ARGB4555, RGB555, W(0xFBCD, 15, 0), W(0x1234), W(0x7BCD), 255, 0},
        {k16, ARGB4565, ARGB4565, W(0xFFFF, 15, 1), W(0x0000, 3, 0xEE), W(0xEF7D, 3, 0xEE), 255, 0},
        // Source alpha onto the same format: combined alpha and weights 170, 84; 4-bit levels
        // 10 and 4 with alpha 11.
        {k10, ARGB8888, ARGB8888, {200, 100, 50, 128}, {100, 200, 250, 128}, {165, 131, 115, 191}},
        {k10, ARGB4565, ARGB4565, W(0xFFFF, 8, 0x55), W(0x0000, 8, 0xEE), W(0xA554, 11, 0xEE)},
        {k10, ARGB4565, ARGB4565, W(0x1234, 0, 0x55), W(0xABCD, 15, 0xEE), W(0xABCD, 14, 0xEE)},
        // A 2-pixel source drawn 4 wide: the table-driven worker reads 0, 0, 1, 1, the packed one
        // 0, 0, 0, 1.
        {k14, XRGB8888, XRGB8888, {10, 10, 10, 0, 200, 200, 200, 0}, std::vector<uint8_t>(16),
         {10, 10, 10, 0, 10, 10, 10, 0, 200, 200, 200, 0, 200, 200, 200, 0}, 255},
        {k14, XRGB8888, XRGB8888, {10, 10, 10, 0, 200, 200, 200, 0}, std::vector<uint8_t>(16),
         {9, 9, 9, 0, 9, 9, 9, 0, 9, 9, 9, 0, 199, 199, 199, 0}, 255, 0, 0, 4},
    };
    for (const Worked& w : table) {
        SCOPED_TRACE(testing::Message() << "op " << static_cast<int>(w.op) << " " << FormatName(w.src) << " onto "
                                        << FormatName(w.dst) << " rates " << int{w.rate} << "," << int{w.rate2});
        const int sb = LayoutOf(w.src).bytes, db = LayoutOf(w.dst).bytes, sw = static_cast<int>(w.s.size()) / sb;
        TestSurface src(w.src, sw, 1), dst(w.dst, static_cast<int>(w.want.size()) / db, 1);
        src.bytes = w.s;
        dst.bytes = w.d;
        src.info.pixels = src.bytes.data();
        dst.info.pixels = dst.bytes.data();
        src.info.colourKey = w.key;
        const BlitRow row{w.op, w.src, w.dst, w.rate, w.rate2, w.key};
        if (sw == 1) {
            std::vector<uint8_t> byRef = w.d;
            (w.level == 4 ? PackedRef : BlendRef)(row, w.s.data(), byRef.data());
            EXPECT_EQ(byRef, w.want) << "reference";
        }
        const Size size{dst.info.width, 1};
        ForceCpuLevelForTesting(w.level);
        EXPECT_EQ(DispatchRow(row, src.info, dst.info, BltGeometry{nullptr, &size}), 0);
        ForceCpuLevelForTesting(0);
        EXPECT_EQ(dst.bytes, w.want);
    }
}

// A source one pixel left of its destination in the same memory: the table-driven worker goes
// pixel by pixel (each reads what the one before wrote), the packed one runs the odd pixel,
// then pairs that read both pixels before writing.
TEST(BlendPacked, OverlappingRowsKeepTheWorkersOrder) {
    InitBlendTables();
    for (int level : {3, 4}) {
        TestSurface mem(XRGB8888, 8, 1);
        std::mt19937 rng(level);
        mem.Fill(rng);
        TestSurface src(XRGB8888, 7, 1), dst(XRGB8888, 7, 1);
        src.info.pixels = mem.bytes.data();
        dst.info.pixels = mem.bytes.data() + 4;
        std::vector<uint8_t> want = mem.bytes;
        const BlitRow row{k14, XRGB8888, XRGB8888, 100};
        for (int i = 0; i < 7; i += (level == 4 && i > 0) ? 2 : 1) {
            const int n = (level == 4 && i > 0) ? 2 : 1;
            const std::vector<uint8_t> before(want.begin() + 4 * i, want.begin() + 4 * (i + n));
            for (int k = 0; k < n; ++k) (level == 4 ? PackedRef : BlendRef)(row, before.data() + 4 * k, want.data() + 4 * (i + k + 1));
        }
        ForceCpuLevelForTesting(level);
        ASSERT_EQ(DispatchRow(row, src.info, dst.info, BltGeometry{}), 0);
        EXPECT_EQ(mem.bytes, want) << level;
    }
    ForceCpuLevelForTesting(0);
}
