// The blend blits against references written from their per-pixel rules, by formula (no
// lookup tables) over the byte layouts.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "draw/base/blend_tables.h"
#include "draw/base/blt_pairs.h"
#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;

namespace {

int Mul(int w, int x) { return w * x / 255; }
int Inv(int w, int x) { return (255 - w) * x / 255; }
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
// The channels (bytes, cut to 8 bits) into d: a 16-bit word narrowed with bit 15 clear, the
// alpha of a 4-bit-alpha destination kept, an 8-bit alpha 255, an X byte 0.
void PutColour(int32_t t, uint8_t* d, Rgb c) {
    const Layout& l = LayoutOf(t);
    uint32_t v = Load(t, d) & ~(Word16(t) ? 0xFFFFu : 0xFFFFFFu);
    v |= Put(l.r, (c[0] & 255) >> (8 - l.r.bits)) | Put(l.g, (c[1] & 255) >> (8 - l.g.bits)) |
         Put(l.b, (c[2] & 255) >> (8 - l.b.bits));
    if (AlphaBits(t) == 8) v |= 0xFF000000u;
    if (l.bytes == 4 && !AlphaBits(t)) v &= 0xFFFFFFu;
    Store(t, d, v);
}
template <class Fn>
void MixColour(int32_t S, const uint8_t* s, int32_t D, uint8_t* d, Fn fn) {
    const Rgb sc = ColourOf(S, s), dc = ColourOf(D, d);
    PutColour(D, d, {fn(sc[0], dc[0]), fn(sc[1], dc[1]), fn(sc[2], dc[2])});
}

// Ops 14 and 15: one rate.
void OneRate(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    const int32_t S = r.src, D = r.dst;
    if (r.op == EBltOp::BltKeyedBlend && KeyMatches(S, s, r.key)) return;
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
    MixColour(S, s, D, d, [w](int sc, int dc) { return Mul(w, sc) + Inv(w, dc); });
}

// Every pixel one of four colours (other bits random) in half of the blits, so that equal
// colours meet.
void SomeEqualColours(TestSurface& src, TestSurface& dst, std::mt19937& rng) {
    if (rng() % 2) return;
    StampFewColours(src, rng);
    StampFewColours(dst, rng);
}

const std::initializer_list<int> kRates = {0, 1, 15, 16, 127, 128, 240, 255};

class BlendOneRate : public testing::TestWithParam<BlitRow> {
protected:
    static void SetUpTestSuite() { InitBlendTables(); }
};

}  // namespace

TEST_P(BlendOneRate, EqualsReference) {
    BlitOptions o;
    o.prepare = SomeEqualColours;
    CheckBlitRow(GetParam(), OneRate, o);
}

INSTANTIATE_TEST_SUITE_P(Op14, BlendOneRate, testing::ValuesIn(RowsOf(EBltOp::BltBlend, kBltFamilyPairs, kRates)), RowName);
INSTANTIATE_TEST_SUITE_P(Op15, BlendOneRate, testing::ValuesIn(RowsOf(EBltOp::BltKeyedBlend, kBltFamilyPairs, kRates)),
                         RowName);

namespace {

struct Worked {
    EBltOp op;
    int32_t src, dst;
    std::vector<uint8_t> s, d, want;
    uint8_t rate = 0, rate2 = 0;
    uint32_t key = 0;
};

void PrintTo(const Worked& w, std::ostream* os) {
    *os << "op " << static_cast<int>(w.op) << " " << FormatName(w.src) << " onto " << FormatName(w.dst);
}

std::vector<uint8_t> W(uint16_t w) { return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)}; }
std::vector<uint8_t> W(uint16_t w, uint8_t a, uint8_t pad) { return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8), a, pad}; }

// The rules' own examples: the reference and the blit give the same pixel.
class BlendWorked : public testing::TestWithParam<Worked> {
protected:
    static void SetUpTestSuite() { InitBlendTables(); }
    template <class Ref>
    void Check(Ref ref) {
        const Worked& w = GetParam();
        TestSurface src(w.src, 1, 1), dst(w.dst, 1, 1);
        ASSERT_EQ(w.s.size(), src.bytes.size());
        ASSERT_EQ(w.d.size(), dst.bytes.size());
        std::memcpy(src.bytes.data(), w.s.data(), w.s.size());
        std::memcpy(dst.bytes.data(), w.d.data(), w.d.size());
        src.info.colourKey = w.key;
        std::vector<uint8_t> byRef = w.d;
        ref(BlitRow{w.op, w.src, w.dst, w.rate, w.rate2, w.key}, src.bytes.data(), byRef.data());
        EXPECT_EQ(byRef, w.want) << "reference";
        EXPECT_EQ(DispatchRow(BlitRow{w.op, w.src, w.dst, w.rate, w.rate2}, src.info, dst.info, BltGeometry{}), 0);
        EXPECT_EQ(dst.bytes, w.want);
    }
};

}  // namespace

TEST_P(BlendWorked, OneRate) { Check(OneRate); }

INSTANTIATE_TEST_SUITE_P(
    Rules, BlendWorked,
    testing::Values(
        // Rate 255 copies an opaque colour; rate 0 keeps it; X 0 and alpha 255 where drawn.
        Worked{EBltOp::BltBlend, XRGB8888, XRGB8888, {16, 32, 48, 0x77}, {1, 2, 3, 0x55}, {16, 32, 48, 0}, 255},
        Worked{EBltOp::BltBlend, XRGB8888, XRGB8888, {1, 2, 3, 4}, {9, 8, 7, 6}, {9, 8, 7, 0}, 0},
        Worked{EBltOp::BltBlend, RGB888, ARGB8888, {1, 2, 3}, {9, 8, 7, 16}, {9, 8, 7, 255}, 0},
        Worked{EBltOp::BltBlend, ARGB8888, ARGB8888, {1, 2, 3, 0}, {9, 8, 7, 16}, {9, 8, 7, 255}, 255},
        // Equal colours stay whole, X and alpha bytes included; red and blue by colour.
        Worked{EBltOp::BltBlend, XBGR8888, XBGR8888, {100, 100, 100, 7}, {100, 100, 100, 9}, {100, 100, 100, 9}, 128},
        Worked{EBltOp::BltBlend, RGB888, ABGR8888, {2, 5, 1}, {1, 5, 2, 16}, {1, 5, 2, 16}, 128},
        Worked{EBltOp::BltBlend, RGB888, ABGR8888, {2, 5, 1}, {2, 5, 1, 16}, {1, 5, 2, 255}, 255},
        // 16-bit levels: rates below 16 keep, from 240 copy; RGB555 leaves bit 15 clear.
        Worked{EBltOp::BltBlend, RGB555, RGB555, W(0x1234), W(0x8421), W(0x0421), 15},
        Worked{EBltOp::BltBlend, RGB555, RGB555, W(0x9234), W(0x0001), W(0x1234), 240},
        Worked{EBltOp::BltBlend, ARGB4565, RGB565, W(0xFFFF, 15, 0), W(0x0000), W(0x73AE), 128},  // level 7
        Worked{EBltOp::BltBlend, ARGB4565, RGB565, W(0xFFFF, 15, 0), W(0x1234), W(0x1234), 16},   // level 0
        Worked{EBltOp::BltBlend, ARGB4565, RGB565, W(0xABCD, 0x1F, 0), W(0x1234), W(0xABCD), 255},  // alpha 31 read as 15
        // Onto 4-bit alpha: alpha 15 weighs 240/255 (red 233 -> 29); alpha and pad kept.
        Worked{EBltOp::BltBlend, ARGB4555, ARGB4555, W(0x7FFF, 15, 1), W(0x0000, 7, 0xEE), W(0x77BD, 7, 0xEE), 255},
        Worked{EBltOp::BltBlend, RGB565, ARGB4565, W(0xFFFF), W(0x0000, 3, 0xEE), W(0xFFFF, 3, 0xEE), 255},
        // Keys: a key-coloured pixel is left at any rate, also under the 16-bit packing; a
        // non-zero X byte or RGB555 bit 15 is no key; an alpha is never compared.
        Worked{EBltOp::BltKeyedBlend, RGB565, RGB565, W(0xF81F), W(0x1234), W(0x1234), 255, 0, 0xFA03FA},
        Worked{EBltOp::BltKeyedBlend, ARGB8888, XRGB8888, {255, 0, 255, 0}, {1, 2, 3, 4}, {1, 2, 3, 4}, 255, 0, 0xFF00FF},
        Worked{EBltOp::BltKeyedBlend, XRGB8888, XRGB8888, {255, 0, 255, 1}, {0, 0, 0, 0x33}, {255, 0, 255, 0}, 255, 0, 0xFF00FF},
        Worked{EBltOp::BltKeyedBlend, RGB555, RGB555, W(0xFC1F), W(0x0000), W(0x7C1F), 255, 0, 0xFF00FF}));
