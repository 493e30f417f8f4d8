// The blit helpers' own loops against per-channel references; the helpers that end in a
// surface blit against the call that reaches the surface.
#include "framework/blt_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

#include "tests/common/recording_surface.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using KestraneGameBase2::CBltSupport;
using morna::test::RecordingSurface;

// Raw 16- or 32-bit words (the 4-bit-alpha pad byte too) of a plane of any format.
uint8_t* At(ISurface& s, int x, int y) {
    const CSurfaceInfo& i = *s.GetSurfaceInfo();
    return i.pixels + y * i.pitch + x * i.GetPixelSize();
}
void Put(ISurface& s, int x, int y, uint32_t v) { std::memcpy(At(s, x, y), &v, s.GetSurfaceInfo()->GetPixelSize()); }
uint32_t Get(ISurface& s, int x, int y) {
    uint32_t v = 0;
    std::memcpy(&v, At(s, x, y), s.GetSurfaceInfo()->GetPixelSize());
    return v;
}
std::unique_ptr<CFastPlane> Plane(int32_t type, int w, int h, uint32_t fill = 0) {
    auto p = std::make_unique<CFastPlane>();
    EXPECT_EQ(p->CreateMemorySurface(w, h, type, true), 0);
    for (int i = 0; i < w * h; ++i) Put(*p, i % w, i / w, fill);
    return p;
}
uint32_t Byte(uint32_t v, int n) { return (v >> (8 * n)) & 0xFF; }

TEST(BltSupport, CheckFormatClassifiesPairsAndSetsTheSixteenBitKey) {
    struct Row { int32_t dst, src; int answer; uint32_t key; };
    for (const Row& r : {Row{RGB565, RGB565, 0, 0xF81F}, {RGB565, RGB555, 0, 0xF81F}, {RGB555, RGB565, 0, 0x7C1F},
                         {XRGB8888, ABGR8888, 1, 7}, {ARGB8888, XBGR8888, 1, 7}, {RGB565, XRGB8888, -1, 0xF81F},
                         {XRGB8888, RGB565, -1, 7}, {RGB888, RGB888, -1, 7}, {ARGB4565, ARGB4565, -1, 7}}) {
        uint32_t key = 7;
        EXPECT_EQ(CBltSupport::CheckFormat(*Plane(r.dst, 1, 1), *Plane(r.src, 1, 1), key), r.answer) << r.dst << r.src;
        EXPECT_EQ(key, r.key) << r.dst << " " << r.src;
    }
}

// One axis: the source clip, then the source pixels whose block of `scale` pixels lies
// wholly inside the destination: (first, count).
std::pair<int, int> ReferenceAxis(int d, int s, int n, int srcSize, int dstSize, int scale) {
    if (s < 0) n += s, s = 0;
    int first = -1, count = 0;
    for (int i = 0; i < std::min(n, srcSize - s); ++i) {
        if (d + scale * i >= 0 && d + scale * (i + 1) <= dstSize) first = first < 0 ? i : first, ++count;
    }
    return {s + first, count};
}

TEST(BltSupport, ClipRectKeepsTheBlocksWhollyInsideAtEveryEdge) {
    auto dst = Plane(XRGB8888, 8, 6), src = Plane(XRGB8888, 5, 4);
    const Rect rects[] = {{0, 0, 5, 4}, {1, -1, 6, 3}, {-2, 0, 9, 2}, {3, 1, 3, 4}, {0, 2, 5, 5}};
    for (int scale = 1; scale <= 2; ++scale)
        for (int r = 0; r < 5; ++r)
            for (int x = -12; x <= 10; ++x)
                for (int y = -9; y <= 8; ++y) {
                    const Rect& rc = rects[r];
                    int dx = x, dy = y, sx = 0, sy = 0, w = 0, h = 0;
                    const bool empty = CBltSupport::ClipRect(*dst, *src, dx, dy, sx, sy, w, h, r ? &rc : nullptr, scale == 2);
                    const auto [rx, rw] = ReferenceAxis(x, rc.left, rc.right - rc.left, 5, 8, scale);
                    const auto [ry, rh] = ReferenceAxis(y, rc.top, rc.bottom - rc.top, 4, 6, scale);
                    SCOPED_TRACE(testing::Message() << "scale " << scale << " rect " << r << " at " << x << "," << y);
                    ASSERT_EQ(empty, rw == 0 || rh == 0);
                    if (empty) continue;
                    EXPECT_EQ(std::tuple(sx, w, sy, h), std::tuple(rx, rw, ry, rh));
                    // The block of source pixel sx lies scale * (sx - first source pixel) from x.
                    EXPECT_EQ(std::pair(dx, dy), std::pair(x + scale * (sx - std::max(rc.left, 0)),
                                                           y + scale * (sy - std::max(rc.top, 0))));
                }
}

TEST(BltSupport, BltDoubleAndBltDoubleBlendDrawTwoByTwoBlocks) {
    // 16-bit: 0xF81F is transparent whatever the source's key; an odd x takes the even column.
    auto d16 = Plane(RGB565, 8, 5, 0x0101), s16 = Plane(RGB565, 3, 1);
    s16->SetColorKey(0);
    Put(*s16, 0, 0, 0x1234), Put(*s16, 1, 0, 0xF81F);
    d16->GetSurfaceInfo()->width = 7;  // rows stay 8 pixels long: the pitch is wider than the row
    EXPECT_EQ(CBltSupport::BltDouble(*d16, *s16, 1, 2), 0);
    const uint32_t row16[8] = {0x1234, 0x1234, 0x0101, 0x0101, 0, 0, 0x0101, 0x0101};
    for (int i = 0; i < 40; ++i) EXPECT_EQ(Get(*d16, i % 8, i / 8), i / 8 == 2 || i / 8 == 3 ? row16[i % 8] : 0x0101) << i;
    // 32-bit: magenta is skipped in every format, alpha or not.
    for (int32_t type : {XRGB8888, XBGR8888, ARGB8888, ABGR8888}) {
        auto d = Plane(XRGB8888, 6, 2, 7), s = Plane(type, 2, 1);
        s->SetColorKey(0xFF00FF);
        Put(*s, 0, 0, 0x80112233), Put(*s, 1, 0, 0x80FF00FF);
        CBltSupport::BltDouble(*d, *s, 1, 0);
        for (int x = 0; x < 6; ++x) EXPECT_EQ(Get(*d, x, 1), x == 1 || x == 2 ? 0x80112233u : 7u) << type << " " << x;
    }
    RecordingSurface target(8, 8);
    CBltSupport::BltDouble(target, *Plane(RGB565, 2, 2), 3, 4);
    const auto b = target.Calls("blt").at(0);
    EXPECT_EQ(std::tuple(b.op, b.point.x, b.point.y, b.hasSize), std::tuple(1, 3, 4, false));
    // BltDoubleBlend: 16-bit halves (the destination's mask), 32-bit adds into each pixel of the block.
    auto b16 = Plane(RGB555, 4, 2, 0x1111), b32 = Plane(ARGB8888, 2, 2, 0xAAF01010);
    CBltSupport::BltDoubleBlend(*b16, *Plane(RGB565, 1, 1, 0xFFFF), 0, 0);
    CBltSupport::BltDoubleBlend(*b32, *Plane(XRGB8888, 1, 1, 0x55203040), 0, 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(std::pair(Get(*b16, i % 2, i / 2), Get(*b32, i % 2, i / 2)), std::pair(0x7DEFu, 0x00FF4050u));
    EXPECT_EQ(Get(*b16, 2, 0), 0x1111u);
}

// The helpers with per-pixel arithmetic of their own against a per-channel reference
// (destination before, source) -> destination after, over 100,000 random pixel pairs.
TEST(BltSupport, PixelHelpersMatchPerChannelReferences) {
    using Ref = std::function<uint32_t(uint32_t, uint32_t)>;
    auto addRate = [](int rate) {
        const uint32_t eff = (rate & 0xFF) + ((rate & 0xFF) >= 1 && (rate & 0xFF) <= 254);
        return Ref([=](uint32_t d, uint32_t s) {
            uint32_t out = 0;
            for (int b = 0; b < 3; ++b) out |= std::min(Byte(d, b) + ((Byte(s, b) * eff) >> 8), 255u) << (8 * b);
            return out;
        });
    };
    auto over4 = [](uint32_t red, uint32_t green) {
        return Ref([=](uint32_t d, uint32_t s) {
            const uint32_t a = (s >> 16) & 15;  // the pad byte of d stays; it lends nothing to the alpha
            uint32_t out = (d & 0xFF000000) | ((((15 - a) * ((d >> 16) & 15)) / 15 + a) << 16);
            for (uint32_t m : {red, green, 0x1Fu}) out |= (((s & m) * a + (d & m) * (15 - a)) / 15) & m;
            return out;
        });
    };
    const Ref over8 = [](uint32_t d, uint32_t s) {
        const uint32_t a = s >> 24;
        uint32_t out = ((((d >> 24) * (255 - a)) >> 8) + a) << 24;
        for (int b = 0; b < 3; ++b) out |= ((Byte(s, b) * a + Byte(d, b) * (255 - a)) >> 8) << (8 * b);
        return out;
    };
    const Ref addColor = [](uint32_t d, uint32_t s) {
        uint32_t out = 0;
        for (int b = 0; b < 4; ++b) out |= std::min(Byte(s, b) + Byte(0x40C08010, b), 255u) << (8 * b);
        return (s & 0xFFFFFF) == 0xFF00FF ? d : out;
    };
    struct Row { int32_t dst, src; std::function<void(ISurface&, ISurface&)> helper; Ref ref; };
    const Row rows[] = {
        {XRGB8888, ARGB8888, [](ISurface& d, ISurface& s) { CBltSupport::AddColor(d, s, 0x40C08010, 0, 0); }, addColor},
        {ARGB4565, ARGB4565, [](ISurface& d, ISurface& s) { CBltSupport::BltAlphaOver(d, s, 0, 0); }, over4(0xF800, 0x07E0)},
        {ARGB4555, ARGB4555, [](ISurface& d, ISurface& s) { CBltSupport::BltAlphaOver(d, s, 0, 0); }, over4(0x7C00, 0x03E0)},
        {ARGB8888, ABGR8888, [](ISurface& d, ISurface& s) { CBltSupport::BltAlphaOver(d, s, 0, 0); }, over8},
    };
    std::vector<Row> all(std::begin(rows), std::end(rows));
    for (int rate : {0, 1, 128, 254, 255, 0x1FF})
        all.push_back({XRGB8888, XBGR8888, [rate](ISurface& d, ISurface& s) { CBltSupport::BltAddRate(d, s, 0, 0, rate); }, addRate(rate)});
    std::mt19937 rng(5);
    for (const Row& row : all) {
        auto d = Plane(row.dst, 1000, 100), s = Plane(row.src, 1000, 100);
        s->SetColorKey(0xFF00FF);
        std::vector<uint32_t> before(100000);
        for (int i = 0; i < 100000; ++i) {
            Put(*d, i % 1000, i / 1000, before[i] = rng());
            Put(*s, i % 1000, i / 1000, i % 97 ? rng() : (rng() & 0xFF000000) | 0xFF00FF);
        }
        row.helper(*d, *s);
        for (int i = 0; i < 100000; ++i)
            ASSERT_EQ(Get(*d, i % 1000, i / 1000), row.ref(before[i], Get(*s, i % 1000, i / 1000))) << row.dst << " " << i;
    }
}

TEST(BltSupport, DarkenRectHalvesTheClippedRectangleInPlace) {
    auto d = Plane(RGB565, 6, 4, 0xFFFF);
    d->GetSurfaceInfo()->width = 5;  // the sixth column lies beyond the row: untouched
    CBltSupport::DarkenRect(*d, 0, 0, 0, 4);
    CBltSupport::DarkenRect(*d, -10, 0, 10, 4);
    CBltSupport::DarkenRect(*d, 3, -1, 10, 3);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(Get(*d, i % 6, i / 6), i % 6 >= 3 && i % 6 < 5 && i < 12 ? 0x7BEFu : 0xFFFFu) << i;
    auto d32 = Plane(ABGR8888, 1, 1, 0xFF8181FF);
    CBltSupport::DarkenRect(*d32, 0, 0, 1, 1);
    d32->GetSurfaceInfo()->SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker));
    EXPECT_EQ(CBltSupport::DarkenRect(*d32, 0, 0, 1, 1), 1);  // a refused lock draws nothing
    EXPECT_EQ(Get(*d32, 0, 0), 0x0040407Fu);
}

TEST(BltSupport, MakeGrayWeighsTheChannelsOfEachFormat) {
    struct Row { int32_t type; uint32_t in, out; };
    for (const Row& r : {Row{XRGB8888, 0x00FFFFFF, 0x00FBFBFB}, {XRGB8888, 0x000000FF, 0x001F1F1F},
                         {XBGR8888, 0x000000FF, 0x004E4E4E}, {XRGB8888, 0x00FF00FF, 0}, {ARGB8888, 0x80FFFFFF, 0xFF7E7E7E},
                         {ARGB8888, 0x00FFFFFF, 0}, {ARGB8888, 0x40FF00FF, 0}, {ABGR8888, 0xFF0000FF, 0xFF4E4E4E},
                         {RGB565, 0xFFFF, 0xFFFF}}) {
        auto p = Plane(r.type, 1, 1, r.in);
        p->SetColorKey(0xFF00FF);
        EXPECT_EQ(CBltSupport::MakeGray(*p), 0);
        EXPECT_EQ(Get(*p, 0, 0), r.out) << r.type << " " << std::hex << r.in;
    }
    CFastPlane none;
    EXPECT_EQ(CBltSupport::MakeGray(none), 1);
}

// Helpers that end in a surface blit: the operation and rate that reach the surface.
TEST(BltSupport, SurfaceBlitsCarryTheirOperationAndRate) {
    using Call = std::function<int(ISurface&, ISurface&, const Rect*)>;
    struct Row { int32_t dst, src; Call call; int32_t op; uint32_t rate; };
    const Row rows[] = {
        {XRGB8888, XRGB8888, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltCopy(d, s, 5, 6, r); }, 0, 0},
        {XRGB8888, XRGB8888, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltKeyedCopy(d, s, 5, 6, r); }, 1, 0},
        {XRGB8888, XRGB8888, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltBlend(d, s, 5, 6, 0x1C0, r); }, 14, 0xC0},
        {XRGB8888, XRGB8888, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltKeyedBlend(d, s, 5, 6, 77, r); }, 15, 77},
        {RGB565, XRGB8888, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltDoubleBlend(d, s, 5, 6, r); }, 2, 0},
        {RGB565, RGB565, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltAddRate(d, s, 5, 6, 9, r); }, 2, 0},
        {RGB565, RGB565, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::AddColor(d, s, 9, 5, 6, r); }, 1, 0},
        {XRGB8888, ARGB8888, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltAlphaOver(d, s, 5, 6, r); }, 14, 255},
        {ARGB4565, ARGB8888, [](ISurface& d, ISurface& s, const Rect* r) { return CBltSupport::BltAlphaOver(d, s, 5, 6, r); }, 14, 255},
        {RGB888, RGB888, [](ISurface& d, ISurface&, const Rect*) { return CBltSupport::DarkenRect(d, 5, 6, 2, 3); }, 14, 0},
    };
    const Rect r{0, 0, 2, 3};
    for (const Row& row : rows) {
        RecordingSurface target(8, 8, row.dst);
        const int answer = row.call(target, *Plane(row.src, 4, 4), &r);
        const auto b = target.Calls("blt").at(0);  // DarkenRect: its scratch over (0, 0, w, h)
        EXPECT_EQ(std::tuple(b.op, b.value, b.point.x, b.point.y, b.hasSize, b.rect.right, b.rect.bottom, b.result),
                  std::tuple(row.op, row.rate, 5, 6, false, 2, 3, answer));
    }
}

}  // namespace
