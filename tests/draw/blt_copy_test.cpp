// Copy and keyed copy of every pair against a plain reference written from the per-pair rules:
// bytes and shifts by hand, not the format traits that generate the members.
#include "draw/blt_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/draw/base/reference_blt.h"
#include "tests/draw/base/test_surface.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::test::RandomBlt;
using morna::test::ReferenceBlt;
using morna::test::TestSurface;

namespace {

const char* Name(int32_t f) {
    static const char* const names[] = {"Palette8", "RGB565",   "RGB555",   "RGB888",   "BGR888",   "XRGB8888",
                                        "XBGR8888", "9",        "ARGB4565", "ARGB4555", "ARGB8888", "ABGR8888"};
    return names[f - Palette8];
}

int Bytes(int32_t f) {
    switch (f) {
        case Palette8: return 1;
        case RGB565: case RGB555: return 2;
        case RGB888: case BGR888: return 3;
        default: return 4;
    }
}

bool Is16(int32_t f) { return f == RGB565 || f == RGB555; }
bool Is4BitAlpha(int32_t f) { return f == ARGB4565 || f == ARGB4555; }
bool Green6(int32_t f) { return f == RGB565 || f == ARGB4565; }
bool RedFirst(int32_t f) { return f == BGR888 || f == XBGR8888 || f == ABGR8888; }
uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// A source pixel as the rules read it: channels widened to bytes by a left shift, and the
// alpha where the format has one.
struct Read {
    uint32_t r, g, b;
    int alpha = -1;   // 8-bit alpha; -1 none
    int alpha4 = -1;  // the 4-bit alpha byte as stored
};

Read ReadPixel(int32_t f, const uint8_t* p) {
    Read px{};
    if (Is16(f) || Is4BitAlpha(f)) {
        const uint32_t w = Word(p);
        if (Green6(f)) {
            px = {(w >> 11 & 31) << 3, (w >> 5 & 63) << 2, (w & 31) << 3};
        } else {
            px = {(w >> 10 & 31) << 3, (w >> 5 & 31) << 3, (w & 31) << 3};
        }
        if (Is4BitAlpha(f)) {
            px.alpha4 = p[2];
            px.alpha = (p[2] << 4) & 0xFF;
        }
    } else {
        px = RedFirst(f) ? Read{p[0], p[1], p[2]} : Read{p[2], p[1], p[0]};
        if (f == ARGB8888 || f == ABGR8888) px.alpha = p[3];
    }
    return px;
}

void WritePixel(int32_t f, const Read& px, uint8_t* p) {
    if (Is16(f) || Is4BitAlpha(f)) {
        const uint32_t w = Green6(f) ? (px.r >> 3) << 11 | (px.g >> 2) << 5 | px.b >> 3
                                     : (px.r >> 3) << 10 | (px.g >> 3) << 5 | px.b >> 3;
        p[0] = static_cast<uint8_t>(w);
        p[1] = static_cast<uint8_t>(w >> 8);
        if (Is4BitAlpha(f)) p[2] = static_cast<uint8_t>(px.alpha4 >= 0 ? px.alpha4 & 15 : px.alpha >= 0 ? px.alpha >> 4 : 15);
        return;  // byte 3 of a 4-bit-alpha pixel is never written
    }
    const uint8_t first = static_cast<uint8_t>(RedFirst(f) ? px.r : px.b);
    const uint8_t last = static_cast<uint8_t>(RedFirst(f) ? px.b : px.r);
    p[0] = first;
    p[1] = static_cast<uint8_t>(px.g);
    p[2] = last;
    if (f == XRGB8888 || f == XBGR8888) p[3] = 0;
    if (f == ARGB8888 || f == ABGR8888) p[3] = static_cast<uint8_t>(px.alpha >= 0 ? px.alpha : 255);
}

// Op 0, one pixel.
void ReferenceCopy(int32_t sf, int32_t df, const uint8_t* s, uint8_t* d) {
    if (sf == df) {
        std::memcpy(d, s, Is4BitAlpha(sf) ? 3 : Bytes(sf));  // raw: colour word and alpha byte, or the whole pixel
    } else if (df == Palette8) {
        d[0] = PaletteLookupTable[Word(s) & 0x7FFF];
    } else if (Is16(sf) && Is4BitAlpha(df)) {
        d[0] = s[0];  // the raw colour word, opaque
        d[1] = s[1];
        d[2] = 15;
    } else {
        WritePixel(df, ReadPixel(sf, s), d);
    }
}

// The colour key as it stands in a source pixel of format f; `n` bytes take part in the test.
std::vector<uint8_t> KeyBytes(int32_t f, uint32_t key) {
    const uint32_t r = key >> 16 & 0xFF, g = key >> 8 & 0xFF, b = key & 0xFF;
    if (Is16(f) || Is4BitAlpha(f)) {
        const uint32_t w = Green6(f) ? (r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3 : (r & 0xF8) << 7 | (g & 0xF8) << 2 | b >> 3;
        return {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)};
    }
    std::vector<uint8_t> v{static_cast<uint8_t>(RedFirst(f) ? r : b), static_cast<uint8_t>(g),
                           static_cast<uint8_t>(RedFirst(f) ? b : r)};
    if (f == XRGB8888 || f == XBGR8888) v.push_back(0);  // the X byte takes part and must be 0
    return v;
}

bool KeyMatches(int32_t f, const uint8_t* s, uint32_t key) {
    const auto k = KeyBytes(f, key);
    return std::memcmp(s, k.data(), k.size()) == 0;
}

struct Cell {
    int32_t op, src, dst;
};

void PrintTo(const Cell& c, std::ostream* os) { *os << "op " << c.op << " " << Name(c.src) << " onto " << Name(c.dst); }

std::string CellName(const testing::TestParamInfo<Cell>& i) {
    return std::string(i.param.op ? "Keyed_" : "Copy_") + Name(i.param.src) + "_" + Name(i.param.dst);
}

// The pairs, from the operations' tables.
std::vector<Cell> Cells() {
    const int32_t f[] = {Palette8, RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB4565, ARGB4555, ARGB8888, ABGR8888};
    const char* const copy[11] = {"...........", "-xxxxxxx---", "xxxxxxx-x--", "-xxxxxx--x-",
                                  "-xxxxxx--xx", "-xxxxxx--x-", "-xxxxxx--xx", "-xxxxxxxxxx",
                                  "-xxxxxxxxxx", "-xxxxxxxxxx", "-xxxxxxxxxx"};
    std::vector<Cell> out;
    for (int i = 0; i < 11; ++i)
        for (int j = 0; j < 11; ++j)
            if (copy[i][j] == 'x') out.push_back({0, f[i], f[j]});
    const Cell keyed[] = {
        {1, RGB565, RGB565},     {1, RGB565, ARGB4565},   {1, RGB555, RGB555},     {1, RGB555, ARGB4555},
        {1, RGB888, RGB888},     {1, RGB888, ARGB8888},   {1, RGB888, ABGR8888},   {1, BGR888, BGR888},
        {1, BGR888, ARGB8888},   {1, BGR888, ABGR8888},   {1, XRGB8888, XRGB8888}, {1, XRGB8888, ARGB8888},
        {1, XRGB8888, ABGR8888}, {1, XBGR8888, XBGR8888}, {1, XBGR8888, ARGB8888}, {1, XBGR8888, ABGR8888},
        {1, ARGB4565, RGB565},   {1, ARGB4565, ARGB4565}, {1, ARGB4555, RGB555},   {1, ARGB4555, ARGB4555},
        {1, ARGB8888, RGB888},   {1, ARGB8888, XRGB8888}, {1, ARGB8888, ARGB8888}, {1, ABGR8888, BGR888},
        {1, ABGR8888, XBGR8888}, {1, ABGR8888, ABGR8888},
    };
    out.insert(out.end(), std::begin(keyed), std::end(keyed));
    return out;
}

class CopyCell : public testing::TestWithParam<Cell> {
protected:
    static void SetUpTestSuite() {
        std::mt19937 rng(11);
        for (auto& e : PaletteLookupTable) e = static_cast<uint8_t>(rng());
    }

    // Random source pixels, a third of them stamped with the key colour, some of those with
    // RGB555 bit 15 or the X byte set so that they must not match.
    static void FillSource(TestSurface& s, uint32_t key, std::mt19937& rng) {
        s.Fill(rng);
        const auto k = KeyBytes(s.info.type, key);
        for (int y = 0; y < s.info.height; ++y) {
            for (int x = 0; x < s.info.width; ++x) {
                if (rng() % 3) continue;
                uint8_t* p = s.At(x, y);
                std::memcpy(p, k.data(), k.size());
                if (rng() % 4 == 0) {
                    if (s.info.type == RGB555 || s.info.type == ARGB4555) p[1] |= 0x80;
                    if (s.info.type == XRGB8888 || s.info.type == XBGR8888) p[3] = static_cast<uint8_t>(1 + rng() % 255);
                }
            }
        }
    }

    void Check(std::mt19937& rng, int sw, int sh, int dw, int dh, const BltGeometry* fixed) {
        const Cell c = GetParam();
        TestSurface src(c.src, sw, sh, static_cast<int>(rng() % 3)), dst(c.dst, dw, dh, static_cast<int>(rng() % 3));
        const uint32_t key = static_cast<uint32_t>(rng());
        src.info.colourKey = key;
        FillSource(src, key, rng);
        dst.Fill(rng);
        RandomBlt random(rng, sw, sh, dw, dh);
        const BltGeometry& g = fixed ? *fixed : random.g;
        std::vector<uint8_t> expect = dst.bytes;
        CSurfaceInfo ref = dst.info;
        ref.pixels = expect.data();
        ReferenceBlt(src.info, ref, g, Bytes(c.src), Bytes(c.dst), [&](const uint8_t* s, uint8_t* d) {
            if (c.op == 0 || !KeyMatches(c.src, s, key)) ReferenceCopy(c.src, c.dst, s, d);
        });
        ASSERT_EQ(dst.info.DispatchBlt(static_cast<EBltOp>(c.op), src.info, g), 0);
        ASSERT_EQ(dst.bytes, expect);
    }
};

}  // namespace

TEST_P(CopyCell, RandomPlacementsEqualReference) {
    std::mt19937 rng(1000 + GetParam().op * 256 + GetParam().src * 16 + GetParam().dst);
    for (int i = 0; i < 60; ++i) {
        SCOPED_TRACE(i);
        Check(rng, 1 + static_cast<int>(rng() % 24), 1 + static_cast<int>(rng() % 24), 1 + static_cast<int>(rng() % 32),
              1 + static_cast<int>(rng() % 32), nullptr);
    }
}

// 1:1, doubled and halved, crossing each edge of the destination and of a clip rectangle, for
// widths around the groups of eight.
TEST_P(CopyCell, EachEdgeOneToOneAndStretchedEqualsReference) {
    std::mt19937 rng(7 + GetParam().src * 16 + GetParam().dst);
    for (int sw : {1, 7, 8, 9, 17}) {
        const int sh = 5, dw = 20, dh = 12;
        const Size sizes[] = {{sw, sh}, {2 * sw, 2 * sh}, {(sw + 1) / 2, 3}, {sw + 3, sh - 1}};
        const Point points[] = {{-3, 2}, {2, -3}, {dw - 4, 2}, {2, dh - 2}, {0, 0}, {dw, 0}};
        const Rect clips[] = {{0, 0, dw, dh}, {3, 0, dw, dh}, {0, 3, dw, dh}, {0, 0, 5, dh}, {0, 0, dw, 4}};
        for (const Size& z : sizes)
            for (const Point& p : points)
                for (const Rect& k : clips) {
                    SCOPED_TRACE(testing::Message() << "w " << sw << " size " << z.cx << "x" << z.cy << " at " << p.x
                                                    << "," << p.y << " clip " << k.left << "," << k.top << ","
                                                    << k.right << "," << k.bottom);
                    const BltGeometry g{&p, &z, nullptr, &k};
                    Check(rng, sw, sh, dw, dh, &g);
                }
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, CopyCell, testing::ValuesIn(Cells()), CellName);

namespace {

struct Example {
    int32_t op, src, dst;
    std::vector<uint8_t> in;
    uint32_t key;
    std::vector<uint8_t> out;  // the destination pixel after the blit; it starts as 0xEE bytes
};

void PrintTo(const Example& e, std::ostream* os) { *os << e.op << " " << Name(e.src) << " onto " << Name(e.dst); }

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
    if (e.op == 0 || !KeyMatches(e.src, e.in.data(), e.key)) ReferenceCopy(e.src, e.dst, e.in.data(), ref.data());
    EXPECT_EQ(ref, e.out) << "reference";
    EXPECT_EQ(dst.info.DispatchBlt(static_cast<EBltOp>(e.op), src.info, BltGeometry{}), 0);
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

// The 8-bit present: each RGB555 colour becomes its palette index.
TEST(CopyToPalette, MapsThroughTheLookupTable) {
    for (int i = 0; i < 32768; ++i) PaletteLookupTable[i] = static_cast<uint8_t>(i * 7 + 3);
    TestSurface src(RGB555, 4, 1), dst(Palette8, 4, 1);
    const uint16_t w[4] = {0x0000, 0x7FFF, 0x8001, 0x1234};
    std::memcpy(src.bytes.data(), w, 8);
    EXPECT_EQ((BltCopy<RGB555, Palette8>(src.info, dst.info, BltGeometry{})), 0);
    EXPECT_EQ(dst.bytes, (std::vector<uint8_t>{3, static_cast<uint8_t>(0x7FFF * 7 + 3), 10, static_cast<uint8_t>(0x1234 * 7 + 3)}));
}
