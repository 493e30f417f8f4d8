#include "draw/effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "draw/base/blend_tables.h"
#include "foundation/vtl/exception.h"
#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;

namespace {

// ---- Reference: the rules per format, on the byte layouts -----------------------------------

int Mul(int w, int x) { return w * x / 255; }
bool Is16(int32_t t) { return LayoutOf(t).r.bits < 8; }
bool Alpha8(int32_t t) { return t == ARGB8888 || t == ABGR8888; }

void RefFade(int32_t t, int r, uint8_t* p) {
    const uint32_t v = Load(t, p);
    if (t == RGB565 || t == RGB555) {
        const int level = t == RGB565 ? (r & 0xE0) >> 4 : r >> 4;
        Store(t, p, MapColour(t, v, 0, [&](int d, int, int) { return d * level / 15; }));
    } else if (HasAlpha(t)) {  // alpha only
        const Field a = LayoutOf(t).a;
        const uint32_t faded = a.bits == 4 ? Mul(r, static_cast<int>(Get(a, v)) * 16) >> 4 : Mul(r, static_cast<int>(Get(a, v)));
        Store(t, p, (v & ~(0xFFu << a.shift)) | faded << a.shift);
    } else {
        Store(t, p, MapColour(t, v, 0, [&](int d, int, int) { return Mul(r, d); }));  // X byte 0
    }
}

void RefSaturate(int32_t t, uint32_t c, bool add, uint8_t* p) {
    const uint32_t v = Load(t, p);
    // Kept: RGB555 bit 15, a 4-bit alpha byte, an X byte; ARGB4555 bit 15 comes out 0.
    const uint32_t other = Alpha8(t) ? 0xFF000000u : v & ~ColourMask(t) & (t == RGB555 ? 0x8000u : 0xFFFF0000u);
    Store(t, p, other | MapColour(t, v, RawOf(t, c), [add](int d, int s, int m) {
                    return add ? std::min(m, d + s) : std::max(0, d - s);
                }));
}

void RefNegative(int32_t t, uint8_t* p) {
    const uint32_t v = Load(t, p);
    if (Is16(t)) {
        Store(t, p, v ^ (t == RGB555 ? 0x7FFFu : 0xFFFFu));
    } else {
        Store(t, p, (v ^ 0xFFFFFFu) & (Alpha8(t) ? 0x00FFFFFFu : ~0u));
    }
}

// The whole effect on a copy of the surface's bytes, pixel by pixel.
struct EffectCall {
    EffectOp op;
    uint32_t value;  // rate, colour or block size
};

std::vector<uint8_t> Reference(const TestSurface& t, const Rect& rect, EffectCall e) {
    std::vector<uint8_t> out = t.bytes;
    const CSurfaceInfo& s = t.info;
    if (s.type == Palette8) return out;
    const int bpp = s.GetPixelSize();
    const int x0 = std::max(rect.left, 0), y0 = std::max(rect.top, 0);
    const int x1 = std::min(rect.right, s.width), y1 = std::min(rect.bottom, s.height);
    const int n = static_cast<int32_t>(e.value);
    if (e.op == EffectMosaic && n < 1) return out;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            uint8_t* p = out.data() + y * s.pitch + x * bpp;
            switch (e.op) {
                case EffectClear: Store(s.type, p, RawOf(s.type, s.fillColour)); break;
                case EffectFade: RefFade(s.type, static_cast<int>(e.value), p); break;
                case EffectAddColor: RefSaturate(s.type, e.value, true, p); break;
                case EffectSubColor: RefSaturate(s.type, e.value, false, p); break;
                case EffectNegative: RefNegative(s.type, p); break;
                case EffectMosaic: {
                    const int sx = x0 + (x - x0) / n * n, sy = y0 + (y - y0) / n * n;
                    const uint8_t* q = t.bytes.data() + sy * s.pitch + sx * bpp;
                    Store(s.type, p, Load(s.type, q));
                    break;
                }
            }
        }
    }
    return out;
}

uint32_t RunEffect(TestSurface& t, const Rect* rect, EffectCall e) {
    const uint8_t rate = static_cast<uint8_t>(e.value);
    const int32_t size = static_cast<int32_t>(e.value);
    const void* param = e.op == EffectFade ? static_cast<const void*>(&rate)
                        : e.op == EffectMosaic ? static_cast<const void*>(&size)
                        : e.op == EffectAddColor || e.op == EffectSubColor ? static_cast<const void*>(&e.value)
                                                                           : nullptr;
    return ApplyEffect(t.info, e.op, rect, param);
}

class EffectOnFormat : public ::testing::TestWithParam<std::tuple<int32_t, EffectOp>> {
protected:
    void SetUp() override { InitBlendTables(); }
};

std::string Name(const ::testing::TestParamInfo<std::tuple<int32_t, EffectOp>>& i) {
    static const char* const ops[] = {"Clear", "Fade", "AddColor", "SubColor", "Negative", "Mosaic"};
    return std::string(FormatName(std::get<0>(i.param))) + "_" + ops[std::get<1>(i.param)];
}

// Random pixels and random rectangles (odd and even edges, partly or wholly outside, null),
// on a surface whose rows end in pad bytes that must survive.
TEST_P(EffectOnFormat, MatchesPerPixelReference) {
    const auto [type, op] = GetParam();
    std::mt19937 rng(type * 31 + op);
    for (int round = 0; round < 120; ++round) {
        const int w = 1 + static_cast<int>(rng() % 37), h = 1 + static_cast<int>(rng() % 9);
        TestSurface t(type, w, h, static_cast<int>(rng() % 7));
        t.Fill(rng);
        t.info.fillColour = rng();
        Rect r{static_cast<int32_t>(rng() % (w + 6)) - 3, static_cast<int32_t>(rng() % (h + 4)) - 2, 0, 0};
        r.right = r.left + static_cast<int32_t>(rng() % (w + 4));
        r.bottom = r.top + static_cast<int32_t>(rng() % (h + 3));
        const bool whole = round % 10 == 0;
        uint32_t value = rng();
        if (op == EffectFade) value &= 0xFF;
        if (op == EffectMosaic) value = 1 + rng() % 6;
        if (round % 7 == 0 && op == EffectFade) value = round % 14 == 0 ? 255 : 0;
        const EffectCall e{op, value};
        const auto want = Reference(t, whole ? Rect{0, 0, w, h} : r, e);
        ASSERT_EQ(RunEffect(t, whole ? nullptr : &r, e), 0u);
        ASSERT_EQ(t.bytes, want) << "round " << round << " " << w << "x" << h << " pitch " << t.info.pitch
                                 << " rect " << r.left << "," << r.top << "," << r.right << "," << r.bottom
                                 << " value " << std::hex << value;
        EXPECT_FALSE(t.info.locked);
    }
}

INSTANTIATE_TEST_SUITE_P(All, EffectOnFormat,
                         ::testing::Combine(::testing::ValuesIn(AllFormats()),
                                            ::testing::Values(EffectClear, EffectFade, EffectAddColor, EffectSubColor,
                                                              EffectNegative, EffectMosaic)),
                         Name);

// ---- Worked cases -------------------------------------------------------------------------

class EffectCases : public ::testing::Test {
protected:
    void SetUp() override { InitBlendTables(); }
};

template <class T>
T PixelAt(TestSurface& t, int x, int y) {
    T v = 0;
    std::memcpy(&v, t.At(x, y), std::min<size_t>(sizeof v, t.info.GetPixelSize()));
    return v;
}

TEST_F(EffectCases, FadeOfRate255DarkensOnlyRgb565) {
    TestSurface a(RGB565, 1, 1), b(RGB555, 1, 1), c(XRGB8888, 1, 1);
    Store(RGB565, a.At(0, 0), 0xFFFF);
    Store(RGB565, b.At(0, 0), 0xFFFF);
    const uint32_t x = 0x7F123456;
    std::memcpy(c.At(0, 0), &x, 4);
    const uint8_t rate = 255;
    for (TestSurface* t : {&a, &b, &c}) EXPECT_EQ(ApplyEffect(t->info, EffectFade, nullptr, &rate), 0u);
    EXPECT_EQ(Load(RGB565, a.At(0, 0)), (28 << 11) | (58 << 5) | 28);  // level 14: 31 -> 28, 63 -> 58
    EXPECT_EQ(Load(RGB565, b.At(0, 0)), 0x7FFF);                       // unchanged but bit 15
    EXPECT_EQ(PixelAt<uint32_t>(c, 0, 0), 0x00123456u);        // colour kept, pad byte 0
}

TEST_F(EffectCases, FadeOnAlphaFormatsFadesAlphaOnly) {
    TestSurface a(ARGB8888, 1, 1), b(ARGB4565, 2, 1);
    const uint32_t px = 0xFF102030;
    std::memcpy(a.At(0, 0), &px, 4);
    const uint8_t b0[] = {0x34, 0x12, 0x0F, 0xAA}, b1[] = {0x34, 0x12, 0xF7, 0xAA};
    std::memcpy(b.At(0, 0), b0, 4);
    std::memcpy(b.At(1, 0), b1, 4);  // alpha byte above 15: only its level counts
    const uint8_t rate = 128;
    EXPECT_EQ(ApplyEffect(a.info, EffectFade, nullptr, &rate), 0u);
    EXPECT_EQ(ApplyEffect(b.info, EffectFade, nullptr, &rate), 0u);
    EXPECT_EQ(PixelAt<uint32_t>(a, 0, 0), 0x80102030u);
    EXPECT_EQ(PixelAt<uint32_t>(b, 0, 0), 0xAA071234u);  // 240 * 128 / 255 = 120 -> 7
    EXPECT_EQ(PixelAt<uint32_t>(b, 1, 0), 0xAA031234u);  // 112 * 128 / 255 = 56 -> 3
}

TEST_F(EffectCases, SubtractingNothing) {
    const uint32_t none = 0;
    // Subtracting black: RGB565 unchanged, ARGB8888 alpha 255, ARGB4555 loses bit 15.
    TestSurface a(RGB565, 1, 1), b(ARGB8888, 1, 1), d(ARGB4555, 1, 1);
    Store(RGB565, a.At(0, 0), 0xA5C3);
    const uint32_t px = 0x10203040;
    std::memcpy(b.At(0, 0), &px, 4);
    const uint8_t q[] = {0x34, 0x92, 0x05, 0x77};
    std::memcpy(d.At(0, 0), q, 4);
    for (TestSurface* t : {&a, &b, &d}) EXPECT_EQ(ApplyEffect(t->info, EffectSubColor, nullptr, &none), 0u);
    EXPECT_EQ(Load(RGB565, a.At(0, 0)), 0xA5C3);
    EXPECT_EQ(PixelAt<uint32_t>(b, 0, 0), 0xFF203040u);
    EXPECT_EQ(PixelAt<uint32_t>(d, 0, 0), 0x77051234u);
}

TEST_F(EffectCases, MosaicGridStartsAtTheRectangle) {
    TestSurface t(XRGB8888, 12, 12);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const uint32_t v = static_cast<uint32_t>(y << 8 | x);
            std::memcpy(t.At(x, y), &v, 4);
        }
    }
    const Rect r{3, 5, 12, 12};
    const int32_t n = 4;
    EXPECT_EQ(ApplyEffect(t.info, EffectMosaic, &r, &n), 0u);
    EXPECT_EQ(PixelAt<uint32_t>(t, 6, 8), 0x0503u);
    EXPECT_EQ(PixelAt<uint32_t>(t, 7, 9), 0x0907u);
    EXPECT_EQ(PixelAt<uint32_t>(t, 11, 11), 0x0907u + 4);  // last block of the row is 1 wide
    EXPECT_EQ(PixelAt<uint32_t>(t, 2, 8), 0x0802u);        // left of the rectangle: untouched
    // A block larger than the rectangle, up to the largest size, fills it with its corner.
    const int32_t huge = INT32_MAX;
    const Rect s{1, 1, 4, 3};
    EXPECT_EQ(ApplyEffect(t.info, EffectMosaic, &s, &huge), 0u);
    for (int y = 1; y < 3; ++y) {
        for (int x = 1; x < 4; ++x) EXPECT_EQ(PixelAt<uint32_t>(t, x, y), 0x0101u);
    }
}

TEST_F(EffectCases, NothingToDrawAnswersZeroAndTouchesNothing) {
    std::mt19937 rng(3);
    TestSurface t(RGB565, 8, 4);
    t.Fill(rng);
    const auto before = t.bytes;
    const Rect outside{8, 0, 12, 4}, inverted{5, 3, 2, 1};
    const int32_t zero = 0, negative = -5;
    const uint8_t rate = 0;
    EXPECT_EQ(ApplyEffect(t.info, EffectFade, &outside, &rate), 0u);
    EXPECT_EQ(ApplyEffect(t.info, EffectNegative, &inverted, nullptr), 0u);
    EXPECT_EQ(ApplyEffect(t.info, EffectMosaic, nullptr, &zero), 0u);
    EXPECT_EQ(ApplyEffect(t.info, EffectMosaic, nullptr, &negative), 0u);
    EXPECT_EQ(t.bytes, before);
    EXPECT_FALSE(t.info.locked);
}

// ---- Refusals: unknown code, missing parameter, refused lock -------------------------------

TEST_F(EffectCases, RefusalsAnswerOneAndTouchNothing) {
    std::mt19937 rng(4);
    TestSurface t(XRGB8888, 4, 4);
    t.Fill(rng);
    const auto before = t.bytes;
    auto* counter = new CountingLocker(0);
    t.info.SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(counter));
    EXPECT_EQ(ApplyEffect(t.info, static_cast<EffectOp>(6), nullptr, nullptr), 1u);
    EXPECT_EQ(ApplyEffect(t.info, static_cast<EffectOp>(0xFFFFFFFFu), nullptr, nullptr), 1u);
    for (EffectOp op : {EffectFade, EffectAddColor, EffectSubColor, EffectMosaic}) {
        EXPECT_EQ(ApplyEffect(t.info, op, nullptr, nullptr), 1u) << op;
    }
    EXPECT_EQ(counter->locks, 0);
    EXPECT_EQ(t.bytes, before);

    // A locker that refuses: every effect answers 1, nothing drawn, nothing left locked.
    auto* refusing = new CountingLocker(1);
    t.info.SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(refusing));
    for (EffectOp op : {EffectClear, EffectFade, EffectAddColor, EffectSubColor, EffectNegative, EffectMosaic}) {
        EXPECT_EQ(RunEffect(t, nullptr, {op, 2}), 1u) << op;
    }
    EXPECT_EQ(refusing->locks, 6);
    EXPECT_EQ(refusing->unlocks, 0);
    EXPECT_EQ(t.bytes, before);
    EXPECT_FALSE(t.info.locked);

    // Not initialised: the lock answers -1, the effect 1.
    t.info.initialised = false;
    EXPECT_EQ(ApplyEffect(t.info, EffectNegative, nullptr, nullptr), 1u);
    EXPECT_EQ(t.bytes, before);
}

TEST_F(EffectCases, AlreadyLockedSurfaceThrowsTheDoubleLock) {
    TestSurface t(RGB565, 2, 2);
    ASSERT_EQ(t.info.Lock(), 0);
    EXPECT_THROW(ApplyEffect(t.info, EffectNegative, nullptr, nullptr), tovarineGameSDK3rd::VTL::CRuntimeException);
    EXPECT_TRUE(t.info.locked);
    t.info.Unlock();
}

}  // namespace
