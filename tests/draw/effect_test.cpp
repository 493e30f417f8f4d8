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

// ---- Worked pixels: the reference and the effect must both give them ------------------------

struct Worked {
    int32_t type;
    EffectCall call;
    uint32_t in, out;  // the pixel's bytes as a little-endian word; a fourth byte that is no pixel's stays
};

TEST(Effect, WorkedPixels) {
    InitBlendTables();
    const Worked cases[] = {
        {RGB565, {EffectFade, 255}, 0xFFFF, (28 << 11) | (58 << 5) | 28},  // level 14: 31 -> 28, 63 -> 58
        {RGB555, {EffectFade, 255}, 0xFFFF, 0x7FFF},                       // unchanged but bit 15
        {XRGB8888, {EffectFade, 255}, 0x7F123456, 0x00123456},
        {ARGB8888, {EffectFade, 128}, 0xFF102030, 0x80102030},
        {ARGB4565, {EffectFade, 128}, 0xAA0F1234, 0xAA071234},  // 240 * 128 / 255 = 120 -> 7
        {ARGB4565, {EffectFade, 128}, 0xAAF71234, 0xAA031234},  // an alpha byte above 15: its level counts
        {RGB565, {EffectSubColor, 0}, 0xA5C3, 0xA5C3},
        {ARGB8888, {EffectSubColor, 0}, 0x10203040, 0xFF203040},
        {ARGB4555, {EffectSubColor, 0}, 0x77059234, 0x77051234},  // bit 15 cleared
    };
    for (const Worked& c : cases) {
        TestSurface t(c.type, 1, 1);
        std::memcpy(t.bytes.data(), &c.in, t.bytes.size());
        const auto want = Reference(t, Rect{0, 0, 1, 1}, c.call);
        EXPECT_EQ(RunEffect(t, nullptr, c.call), 0u);
        uint32_t got = 0, ref = 0;
        std::memcpy(&got, t.bytes.data(), t.bytes.size());
        std::memcpy(&ref, want.data(), want.size());
        EXPECT_EQ(got, c.out) << FormatName(c.type) << " op " << c.call.op;
        EXPECT_EQ(ref, c.out) << "reference " << FormatName(c.type) << " op " << c.call.op;
    }
}

// A mosaic block larger than the rectangle, up to the largest size, fills it with its corner;
// block sizes below 1, and rectangles outside or inverted, touch nothing.
TEST(Effect, MosaicExtremesAndNothingToDraw) {
    TestSurface t(XRGB8888, 6, 4);
    for (int i = 0; i < 24; ++i) t.bytes[i * 4] = static_cast<uint8_t>(i);
    auto before = t.bytes;
    const Rect outside{6, 0, 12, 4}, inverted{5, 3, 2, 1};
    const uint8_t rate = 0;
    EXPECT_EQ(ApplyEffect(t.info, EffectFade, &outside, &rate), 0u);
    EXPECT_EQ(ApplyEffect(t.info, EffectNegative, &inverted, nullptr), 0u);
    for (int32_t n : {0, -5}) EXPECT_EQ(ApplyEffect(t.info, EffectMosaic, nullptr, &n), 0u);
    EXPECT_EQ(t.bytes, before);
    const int32_t huge = INT32_MAX;
    const Rect s{1, 1, 4, 3};
    EXPECT_EQ(ApplyEffect(t.info, EffectMosaic, &s, &huge), 0u);
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 4; ++x) EXPECT_EQ(t.At(x, y)[0], 7) << x << "," << y;
}

// An unknown code or a missing parameter answers 1 without locking; a refused or impossible
// lock answers 1 with nothing drawn and nothing left locked; a surface already locked throws.
TEST(Effect, Refusals) {
    std::mt19937 rng(4);
    TestSurface t(XRGB8888, 4, 4);
    t.Fill(rng);
    const auto before = t.bytes;
    auto* counter = new CountingLocker(0);
    t.info.SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(counter));
    EXPECT_EQ(ApplyEffect(t.info, static_cast<EffectOp>(6), nullptr, nullptr), 1u);
    EXPECT_EQ(ApplyEffect(t.info, static_cast<EffectOp>(0xFFFFFFFFu), nullptr, nullptr), 1u);
    for (EffectOp op : {EffectFade, EffectAddColor, EffectSubColor, EffectMosaic})
        EXPECT_EQ(ApplyEffect(t.info, op, nullptr, nullptr), 1u) << op;
    EXPECT_EQ(counter->locks, 0);

    auto* refusing = new CountingLocker(1);
    t.info.SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(refusing));
    for (EffectOp op : {EffectClear, EffectFade, EffectAddColor, EffectSubColor, EffectNegative, EffectMosaic})
        EXPECT_EQ(RunEffect(t, nullptr, {op, 2}), 1u) << op;
    EXPECT_EQ(refusing->locks, 6);
    EXPECT_EQ(refusing->unlocks, 0);
    t.info.initialised = false;
    EXPECT_EQ(ApplyEffect(t.info, EffectNegative, nullptr, nullptr), 1u);
    EXPECT_EQ(t.bytes, before);
    EXPECT_FALSE(t.info.locked);

    TestSurface locked(RGB565, 2, 2);
    ASSERT_EQ(locked.info.Lock(), 0);
    EXPECT_THROW(ApplyEffect(locked.info, EffectNegative, nullptr, nullptr), tovarineGameSDK3rd::VTL::CRuntimeException);
    locked.info.Unlock();
}

}  // namespace
