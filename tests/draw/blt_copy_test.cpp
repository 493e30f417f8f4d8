// Copy and keyed copy of every pair against the byte-layout reference.
#include "draw/blt_copy.h"
#include "draw/blt_dispatch.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;

namespace {

// Ops 0 and 1, one pixel.
void CopyRef(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    if (r.op == EBltOp::BltKeyedCopy && KeyMatches(r.src, s, r.key)) return;
    if (r.src == r.dst) {
        Store(r.dst, d, Load(r.src, s));  // raw: bit 15, the X byte, all eight bits of a 4-bit alpha byte
    } else if (r.dst == Palette8) {
        d[0] = PaletteLookupTable[Load(r.src, s) & 0x7FFF];
    } else if (LayoutOf(r.src).bytes == 2 && HasAlpha(r.dst)) {
        Store(r.dst, d, Load(r.src, s) | 15u << 16);  // the raw colour word, opaque
    } else {
        Narrow(r.dst, d, Widen(r.src, s));
    }
}

class CopyRows : public testing::TestWithParam<BlitRow> {
protected:
    static void SetUpTestSuite() {
        std::mt19937 rng(11);
        for (auto& e : PaletteLookupTable) e = static_cast<uint8_t>(rng());
    }
};

}  // namespace

TEST_P(CopyRows, EqualReference) { CheckBlitRow(GetParam(), CopyRef); }

INSTANTIATE_TEST_SUITE_P(Copy, CopyRows, testing::ValuesIn(RowsOf(EBltOp::BltCopy, kBltCopyPairs)), RowName);
INSTANTIATE_TEST_SUITE_P(Keyed, CopyRows, testing::ValuesIn(RowsOf(EBltOp::BltKeyedCopy, kBltKeyedCopyPairs)),
                         RowName);

// Wide rows holding no key pixel or one at a vector's edge, over unaligned pitches: the vector
// rows keep the destination's pixel exactly where the key is.
TEST(KeyedCopyRows, RowsWithAndWithoutKeysEqualReference) {
    std::mt19937 rng(31);
    for (const BlitRow& row : RowsOf(EBltOp::BltKeyedCopy, kBltKeyedCopyPairs)) {
        for (int w : {15, 16, 33, 77}) {
            TestSurface src(row.src, w, 8, static_cast<int>(rng() % 4)), dst(row.dst, w, 8, static_cast<int>(rng() % 4));
            src.Fill(rng);
            dst.Fill(rng);
            const uint32_t key = static_cast<uint32_t>(rng());
            src.info.colourKey = key;
            const auto k = KeyBytes(row.src, key);
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < w; ++x) {
                    if (KeyMatches(row.src, src.At(x, y), key)) src.At(x, y)[0] ^= 1;
                }
                const int at[] = {-1, 0, 7, 8, 15, 16, w / 2, w - 1};
                if (at[y] >= 0) std::memcpy(src.At(at[y], y), k.data(), k.size());
            }
            std::vector<uint8_t> want = dst.bytes;
            const BlitRow r{row.op, row.src, row.dst, 0, 0, key};
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < w; ++x) CopyRef(r, src.At(x, y), want.data() + (dst.At(x, y) - dst.bytes.data()));
            ASSERT_EQ(DispatchBlt(dst.info, row.op, src.info, BltGeometry{}), 0);
            ASSERT_TRUE(SameBytes(dst, want)) << FormatName(row.src) << " onto " << FormatName(row.dst) << " width " << w;
        }
    }
}

namespace {

struct Example {
    int32_t op, src, dst;
    std::vector<uint8_t> in;
    uint32_t key;
    std::vector<uint8_t> out;  // the destination pixel after the blit; it starts as 0xEE bytes
};

void PrintTo(const Example& e, std::ostream* os) { *os << e.op << " " << FormatName(e.src) << " onto " << FormatName(e.dst); }

class CopyExample : public testing::TestWithParam<Example> {};

std::vector<uint8_t> Le16(uint16_t w) { return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)}; }
std::vector<uint8_t> Le16A(uint16_t w, uint8_t a) { return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8), a, 0xEE}; }

const std::vector<uint8_t> kX = {0x01, 0x80, 0xFF, 0x5A};  // XRGB8888 bytes B, G, R, X

}  // namespace

// Worked pixels: both the members and the reference must give them.
TEST_P(CopyExample, GivesTheWorkedPixel) {
    const Example& e = GetParam();
    TestSurface src(e.src, 1, 1), dst(e.dst, 1, 1);
    ASSERT_EQ(e.in.size(), src.bytes.size());
    ASSERT_EQ(e.out.size(), dst.bytes.size());
    src.bytes = e.in;
    src.info.pixels = src.bytes.data();
    src.info.colourKey = e.key;
    dst.bytes.assign(dst.bytes.size(), 0xEE);
    std::vector<uint8_t> ref = dst.bytes;
    CopyRef(BlitRow{static_cast<EBltOp>(e.op), e.src, e.dst, 0, 0, e.key}, e.in.data(), ref.data());
    EXPECT_EQ(ref, e.out) << "reference";
    EXPECT_EQ(DispatchBlt(dst.info, static_cast<EBltOp>(e.op), src.info, BltGeometry{}), 0);
    EXPECT_EQ(dst.bytes, e.out);
}

INSTANTIATE_TEST_SUITE_P(
    Worked, CopyExample,
    testing::Values(
        Example{0, RGB555, RGB565, Le16(0x7FFF), 0, Le16(0xFFDF)}, Example{0, RGB565, RGB555, Le16(0xFFFF), 0, Le16(0x7FFF)},
        Example{0, RGB565, XRGB8888, Le16(0xFFFF), 0, {0xF8, 0xFC, 0xF8, 0x00}},
        Example{0, RGB555, ARGB4555, Le16(0xFC1F), 0, Le16A(0xFC1F, 15)},
        Example{0, XRGB8888, RGB565, kX, 0, Le16(0xFC00)}, Example{0, XRGB8888, RGB555, kX, 0, Le16(0x7E00)},
        Example{0, XRGB8888, BGR888, kX, 0, {0xFF, 0x80, 0x01}}, Example{0, XRGB8888, RGB888, kX, 0, {0x01, 0x80, 0xFF}},
        Example{0, XRGB8888, XBGR8888, kX, 0, {0xFF, 0x80, 0x01, 0x00}},
        Example{0, XRGB8888, ARGB8888, kX, 0, {0x01, 0x80, 0xFF, 0xFF}}, Example{0, XRGB8888, XRGB8888, kX, 0, kX},
        Example{0, BGR888, RGB565, {0xF8, 0x0C, 0x07}, 0, Le16(0xF860)},
        Example{0, RGB888, RGB555, {0x07, 0x0C, 0xF8}, 0, Le16(0x7C20)},
        Example{0, BGR888, RGB555, {0xFF, 0xFF, 0xFF}, 0, Le16(0x7FFF)},
        Example{0, ABGR8888, ARGB4555, {0xFF, 0x80, 0x01, 0x9F}, 0, Le16A(0x7E00, 9)},
        Example{0, ABGR8888, ARGB4565, {0xFF, 0x80, 0x01, 0x9F}, 0, Le16A(0xFC00, 9)},
        Example{0, ARGB4555, ARGB8888, {0x00, 0x7E, 0x09, 0x33}, 0, {0x00, 0x80, 0xF8, 0x90}},
        Example{0, ARGB4565, ABGR8888, {0xFF, 0xFF, 0x0F, 0x33}, 0, {0xF8, 0xFC, 0xF8, 0xF0}},
        Example{0, ARGB8888, ARGB4565, {0, 0, 0, 0x8F}, 0, Le16A(0, 8)},
        Example{0, ARGB4565, RGB555, {0x00, 0xFC, 0x09, 0x33}, 0, Le16(0x7E00)},
        Example{0, ARGB4555, RGB565, {0x00, 0x7E, 0x09, 0x33}, 0, Le16(0xFC00)},
        Example{0, ARGB4555, RGB555, {0x00, 0xFE, 0x09, 0x33}, 0, Le16(0x7E00)},
        Example{0, ARGB4555, ARGB4555, {0x00, 0xFE, 0xF9, 0x33}, 0, Le16A(0xFE00, 0xF9)},
        Example{0, ARGB4555, ARGB4565, {0x00, 0xFE, 0xF9, 0x33}, 0, Le16A(0xFC00, 0x09)},
        Example{0, ARGB8888, XRGB8888, {0x01, 0x02, 0x03, 0x04}, 0, {0x01, 0x02, 0x03, 0x00}},
        Example{0, ARGB8888, ABGR8888, {0x01, 0x02, 0x03, 0x04}, 0, {0x03, 0x02, 0x01, 0x04}},
        // Keys: X byte and RGB555 bit 15 take part, a 24-bit key's top byte does not.
        Example{1, XRGB8888, ARGB8888, {0xFF, 0x00, 0xFF, 0x00}, 0x00FF00FF, {0xEE, 0xEE, 0xEE, 0xEE}},
        Example{1, XRGB8888, ARGB8888, {0xFF, 0x00, 0xFF, 0x01}, 0x00FF00FF, {0xFF, 0x00, 0xFF, 0xFF}},
        Example{1, XRGB8888, XRGB8888, {0xFF, 0x00, 0xFF, 0x01}, 0x00FF00FF, {0xFF, 0x00, 0xFF, 0x01}},
        Example{1, XRGB8888, XRGB8888, {0xFF, 0x00, 0xFF, 0x00}, 0x7FFF00FF, {0xEE, 0xEE, 0xEE, 0xEE}},
        Example{1, BGR888, BGR888, {0xFF, 0x00, 0xFF}, 0x7FFF00FF, {0xEE, 0xEE, 0xEE}},
        Example{1, RGB888, ARGB8888, {0xFF, 0x00, 0xFF}, 0x7FFF00FF, {0xEE, 0xEE, 0xEE, 0xEE}},
        Example{1, ARGB4555, ARGB4555, Le16A(0x7C1F, 3), 0x00FF00FF, {0xEE, 0xEE, 0xEE, 0xEE}},
        Example{1, ARGB4555, ARGB4555, Le16A(0xFC1F, 3), 0x00FF00FF, Le16A(0xFC1F, 3)},
        Example{1, RGB555, ARGB4555, Le16(0x7C1F), 0x00FF00FF, {0xEE, 0xEE, 0xEE, 0xEE}},
        Example{1, RGB565, RGB565, Le16(0xF81F), 0x00FF00FF, {0xEE, 0xEE}},
        Example{1, ARGB8888, XRGB8888, {0xFF, 0x00, 0xFF, 0x12}, 0x00FF00FF, {0xEE, 0xEE, 0xEE, 0xEE}},
        Example{1, ARGB8888, XRGB8888, {0xFE, 0x00, 0xFF, 0x12}, 0x00FF00FF, {0xFE, 0x00, 0xFF, 0x00}}));
