// Ops 2 to 9: every pair against a reference written from the add/subtract rules, and the
// rules' worked pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "draw/base/blt_pairs.h"
#include "draw/base/vector_width.h"
#include "draw/blt_dispatch.h"
#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;

namespace {

// One pixel. The source is weakened (8-bit channels c * w / 255, 16-bit ones c * l / 15): by
// the rate, by its own alpha onto a plain format, or by both; then each channel saturates.
void AddSubRef(const BlitRow& r, const uint8_t* s, uint8_t* d) {
    const int op = static_cast<int>(r.op);
    if ((op == 4 || op == 5 || op == 8 || op == 9) && KeyMatches(r.src, s, r.key)) return;
    const Layout &S = LayoutOf(r.src), &D = LayoutOf(r.dst);
    const uint32_t sv = Load(r.src, s), dv = Load(r.dst, d);
    const bool rated = op >= 6, sub = op % 2 == 1, byAlpha = HasAlpha(r.src) && !HasAlpha(r.dst);
    const int a = static_cast<int>(Get(S.a, sv));
    int num = 1, den = 1;
    if (S.r.bits == 8 && (rated || byAlpha)) {
        num = byAlpha ? (rated ? a * r.rate / 255 : a) : r.rate, den = 255;
    } else if (S.r.bits < 8 && (rated || byAlpha)) {
        num = byAlpha ? (rated ? r.rate * ((a & 15) * 16) / 255 >> 4 : a & 15) : r.rate >> 4, den = 15;
        if (r.src == RGB565 || r.dst == RGB565) num &= 14;  // the even levels
    }
    uint32_t out = 0;
    for (auto [sf, df] : {std::pair{S.r, D.r}, {S.g, D.g}, {S.b, D.b}}) {
        const int dc = static_cast<int>(Get(df, dv)), sc = static_cast<int>(Get(sf, sv)) * num / den, max = (1 << df.bits) - 1;
        out |= Put(df, static_cast<uint32_t>(sub ? std::max(0, dc - sc) : std::min(max, dc + sc)));
    }
    const bool raw = r.src == r.dst && den == 1;  // an unweakened source's extra bits take part
    if (r.dst == RGB555) out |= (dv ^ (raw ? sv : 0)) & 0x8000;
    if (r.dst == XRGB8888 || r.dst == XBGR8888) out |= ((dv >> 24) + (sub ? -1 : 1) * (raw ? sv >> 24 : 0)) << 24;
    if (D.a.bits == 8) out |= 0xFFu << 24;
    if (D.a.bits == 4) out |= dv & 0xFF0000;
    Store(r.dst, d, out);
}

class AddSub : public testing::TestWithParam<BlitRow> {};

// Every cell of ops 2 to 9; the rate ops at the rates where levels and weights turn.
std::vector<BlitRow> Rows() {
    std::vector<BlitRow> rows;
    const std::initializer_list<int> rates = {0, 15, 16, 0x1F, 0x20, 127, 128, 255};
    for (int op = 2; op <= 9; ++op) {
        const auto r = RowsOf(static_cast<EBltOp>(op), op >= 8 ? kBltKeyedRatePairs : kBltFamilyPairs,
                              op >= 6 ? rates : std::initializer_list<int>{0});
        rows.insert(rows.end(), r.begin(), r.end());
    }
    return rows;
}

// A row of pixels drawn 1:1 at x = `at`: the destination's bytes after the blit.
struct Worked {
    EBltOp op;
    int32_t src, dst;
    std::vector<uint8_t> s, d, want;
    int at = 0;
    uint32_t key = 0;
    uint8_t rate = 0;
};

std::vector<uint8_t> W16(std::initializer_list<uint16_t> w, size_t n = 1) {
    std::vector<uint8_t> b;
    for (size_t i = 0; i < n; ++i)
        for (uint16_t v : w) b.insert(b.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    return b;
}

}  // namespace

TEST_P(AddSub, EqualsReference) { CheckBlitRow(GetParam(), AddSubRef); }

INSTANTIATE_TEST_SUITE_P(Ops, AddSub, testing::ValuesIn(Rows()), RowName);

// Ops 2 and 3 on rows wide enough for every vector row's rounds, at both vector widths: widths
// about the multiples of 4, 8, 16 and 32 pixels, at columns 0 to 3 of rows padded by 0 to 3
// bytes (later rows start off the 4-byte grid), some clipped on both sides; or whole surfaces
// of the same size, whose rows follow each other.
TEST(AddSub, WideRowsEqualReference) {
    struct AskTheProcessorAfter {
        ~AskTheProcessorAfter() { ForceWideVectorsForTesting(-1); }
    } after;
    std::mt19937 rng(6);
    for (EBltOp op : {EBltOp::BltAdd, EBltOp::BltSub})
        for (const BlitRow& row : RowsOf(op, kBltFamilyPairs))
            for (int wide : {0, 1})
                for (int w : {3, 4, 5, 15, 16, 17, 31, 32, 33, 47, 63, 64, 65, 97, 640}) {
                    ForceWideVectorsForTesting(wide);
                    const bool whole = rng() % 3 == 0;
                    const int pad = whole ? 0 : static_cast<int>(rng() % 4);
                    TestSurface src(row.src, w, 3, pad), dst(row.dst, whole ? w : w + 6, 3, whole ? 0 : 3 - pad);
                    src.Fill(rng);
                    dst.Fill(rng);
                    const Point p{whole ? 0 : static_cast<int>(rng() % 4), 0};
                    const Rect clip{p.x + 2, 1, p.x + w - 1, 3};
                    const bool clipped = !whole && w > 4 && rng() % 2;
                    const BltGeometry g{&p, nullptr, nullptr, clipped ? &clip : nullptr, 0};
                    const auto run = [&] { DispatchRow(row, src.info, dst.info, g); };
                    ASSERT_TRUE(ExpectBlit(src, dst, run, RectCoverage{src.info, dst.info, g},
                                           [&](const uint8_t* s, uint8_t* d) { AddSubRef(row, s, d); }))
                        << testing::PrintToString(row) << " width " << w << " at " << p.x << (clipped ? " clipped" : "")
                        << (whole ? " whole" : "") << (wide ? " wide" : " narrow");
                }
}

// The rules' worked pixels, through the members and through the reference.
TEST(AddSub, WorkedPixels) {
    const auto b15 = W16({0x8000}, 9), zero = W16({0}, 9);
    const Worked rows[] = {
        // Channels saturate; the pad byte of the X formats wraps.
        {EBltOp::BltAdd, XRGB8888, XRGB8888, {0x10, 0x80, 0xF0, 0x80}, {0x20, 0x80, 0x20, 0x90}, {0x30, 0xFF, 0xFF, 0x10}},
        {EBltOp::BltSub, XRGB8888, XRGB8888, {0x10, 0x80, 0xF0, 0x20}, {0x20, 0x80, 0x20, 0x10}, {0x10, 0x00, 0x00, 0xF0}},
        {EBltOp::BltAdd, RGB565, RGB565, W16({0xFFFF}), W16({0x0001}), W16({0xFFFF})},
        {EBltOp::BltSub, RGB565, RGB565, W16({0x0821}), W16({0x0800}), W16({0x0000})},
        // Alpha 255 on 8-bit-alpha destinations; a 4-bit alpha and its pad byte kept.
        {EBltOp::BltAdd, RGB888, ARGB8888, {0, 0, 0}, {1, 2, 3, 0x40}, {1, 2, 3, 0xFF}},
        {EBltOp::BltSub, XBGR8888, ARGB8888, {0x10, 0, 0, 0x77}, {0x20, 0x20, 0x20, 0}, {0x20, 0x20, 0x10, 0xFF}},
        {EBltOp::BltAdd, RGB555, ARGB4555, W16({0x8421}), {0x21, 0x84, 0x0B, 0xEE}, {0x42, 0x08, 0x0B, 0xEE}},
        // RGB555 bit 15 is s15 XOR d15, never carried or borrowed into the next pixel, at both
        // parities of the left edge.
        {EBltOp::BltAdd, RGB555, RGB555, b15, b15, zero},
        {EBltOp::BltAdd, RGB555, RGB555, b15, b15, zero, 1},
        {EBltOp::BltSub, RGB555, RGB555, b15, zero, b15, 1},
        // Rates: RGB565 at even levels (255 adds 14/15, 0x1F nothing), RGB555 at rate >> 4;
        // onto ARGB4555 bit 15 clears even at rate 0; red meets red across byte orders.
        {EBltOp::BltAddRate, RGB565, RGB565, W16({0xFFFF, 0xFFFF}), W16({0, 0}), W16({0xE75C, 0xE75C}), 1, 0, 255},
        {EBltOp::BltAddRate, RGB565, RGB565, W16({0xFFFF}), W16({0}), W16({0}), 0, 0, 0x1F},
        {EBltOp::BltAddRate, RGB555, RGB555, W16({0x7FFF}), W16({0x8000}), W16({0x8842}), 0, 0, 0x1F},
        {EBltOp::BltAddRate, RGB555, ARGB4555, W16({0x7FFF}), {0x21, 0x84, 7, 0xEE}, {0x21, 0x04, 7, 0xEE}},
        {EBltOp::BltAddRate, XBGR8888, ARGB8888, {0x10, 0, 0, 0x55}, {0, 0, 0, 0}, {0, 0, 0x10, 0xFF}, 0, 0, 255},
        // Keys: an X pixel whose pad byte is not 0 never matches; a key pixel keeps every byte.
        {EBltOp::BltKeyedAdd, XRGB8888, XRGB8888, {0x30, 0x20, 0x10, 0, 0x30, 0x20, 0x10, 1}, {1, 1, 1, 1, 1, 1, 1, 1},
         {1, 1, 1, 1, 0x31, 0x21, 0x11, 2}, 0, 0x102030},
        {EBltOp::BltKeyedAddRate, RGB565, RGB565, W16({0xFFFF, 0x0841}), W16({0x1234, 0}), W16({0x1234, 0x0020}), 0,
         0xFFFFFF, 255},
        // Alpha sources: onto themselves the alpha is not read (and 8-bit alpha becomes 255);
        // onto plain formats the colour is weighted by the alpha, ARGB4565 at even levels.
        {EBltOp::BltAdd, ABGR8888, ABGR8888, {200, 100, 0, 0}, {100, 100, 100, 0}, {255, 200, 100, 255}},
        {EBltOp::BltSub, ABGR8888, ABGR8888, {50, 0, 255, 9}, {40, 40, 40, 17}, {0, 40, 0, 255}},
        {EBltOp::BltAdd, ARGB8888, RGB888, {255, 255, 255, 128, 9, 9, 9, 0}, {0, 0, 0, 7, 7, 7}, {128, 128, 128, 7, 7, 7}},
        {EBltOp::BltAdd, ARGB4565, RGB565, {0xE0, 0xFF, 15, 0, 0xFF, 0xFF, 1, 0}, W16({0, 0}), W16({0xE740, 0})},
        {EBltOp::BltAddRate, ARGB4555, RGB555, {0xFF, 0x7F, 15, 0}, W16({0x8000}), W16({0x8842}), 0, 0, 17},
        {EBltOp::BltAddRate, ARGB8888, ARGB8888, {255, 100, 0, 0}, {0, 0, 0, 0}, {128, 50, 0, 255}, 0, 0, 128},
        {EBltOp::BltKeyedAdd, ARGB4555, ARGB4555, {0x00, 0x7C, 3, 0, 0x00, 0x7C, 15, 0, 0x01, 0x7C, 3, 0},
         {1, 0, 5, 6, 1, 0, 5, 6, 1, 0, 5, 6}, {1, 0, 5, 6, 1, 0, 5, 6, 0x02, 0x7C, 5, 6}, 0, 0xF80000},
        // A 4-bit alpha byte above 15 is read as its low four bits: 0x1F as 15, 0xF7 as 7.
        {EBltOp::BltAdd, ARGB4555, RGB555, {0xFF, 0x7F, 0x1F, 0, 0xFF, 0x7F, 0xF7, 0}, W16({0, 0}), W16({0x7FFF, 0x39CE})},
    };
    for (const Worked& w : rows) {
        const int sb = LayoutOf(w.src).bytes, db = LayoutOf(w.dst).bytes, n = static_cast<int>(w.s.size()) / sb;
        TestSurface src(w.src, n, 1), dst(w.dst, n + w.at, 1);
        src.bytes = w.s;
        src.info.pixels = src.bytes.data();
        src.info.colourKey = w.key;
        std::copy(w.d.begin(), w.d.end(), dst.At(w.at, 0));
        std::vector<uint8_t> ref(w.d);
        const BlitRow row{w.op, w.src, w.dst, w.rate, 0, w.key};
        for (int i = 0; i < n; ++i) AddSubRef(row, &w.s[i * sb], &ref[i * db]);
        EXPECT_EQ(ref, w.want) << testing::PrintToString(row) << " (reference)";
        const Point p{w.at, 0};
        const uint32_t rate = w.rate;
        EXPECT_EQ(DispatchBlt(dst.info, w.op, src.info, BltGeometry{&p}, &rate), 0);
        EXPECT_EQ(std::vector<uint8_t>(dst.At(w.at, 0), dst.At(w.at, 0) + w.want.size()), w.want) << testing::PrintToString(row);
    }
}

// Two descriptions of one row, the destination one pixel ahead: each pixel adds the sum just
// written, as pixel-by-pixel order gives.
TEST(AddSub, OverlappingRowsGoPixelByPixel) {
    TestSurface row(XRGB8888, 21, 1), src(XRGB8888, 20, 1), dst(XRGB8888, 20, 1);
    for (int i = 0; i < 84; ++i) row.bytes[i] = static_cast<uint8_t>(i % 4 == 3 ? 0 : 1);
    src.info.pixels = row.bytes.data();
    dst.info.pixels = row.bytes.data() + 4;
    std::vector<uint8_t> want = row.bytes;
    for (int i = 0; i < 20; ++i) AddSubRef(BlitRow{EBltOp::BltAdd, XRGB8888, XRGB8888}, &want[4 * i], &want[4 * i + 4]);
    EXPECT_EQ(DispatchBlt(dst.info, EBltOp::BltAdd, src.info, BltGeometry{}), 0);
    EXPECT_EQ(row.bytes, want);
}
