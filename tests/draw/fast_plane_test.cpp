#include "draw/fast_plane.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/fast_draw.h"
#include "draw/graphic_loader.h"
#include "platform/dib.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/draw/image_test_files.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
namespace dd = morna::platform;

// The display's size is set by a display change; the tests set it directly.
struct SizedDraw : CFastDraw {
    void SetSize(int w, int h) { width_ = w, height_ = h; }
};

// A display whose DirectDraw object shows `format`, with its primary made.
struct Display {
    explicit Display(int32_t format, int w = 64, int h = 48) {
        draw.GetDDraw()->SetDisplayMode(format, w, h);
        draw.SetSize(w, h);
        bool retry = false;
        EXPECT_EQ(draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
    }
    SizedDraw draw;
};

// A 24-bit BMP of w x h pixels, colours 0x00RRGGBB given top row first.
std::vector<uint8_t> Bmp24(int w, int h, const std::vector<uint32_t>& colours) {
    std::vector<uint8_t> bits;
    for (int y = h - 1; y >= 0; --y) {
        size_t start = bits.size();
        for (int x = 0; x < w; ++x) morna::test::PutLe(bits, colours[static_cast<size_t>(y * w + x)], 3);
        while ((bits.size() - start) % 4) bits.push_back(0);
    }
    return morna::test::MakeBmp(w, h, 24, 0, {}, bits);
}

uint32_t Pixel(ISurface& s, int x, int y) {
    uint32_t c = 0xDEADBEEF;
    EXPECT_EQ(s.GetSurfaceInfo()->GetPixel(x, y, &c), 0);
    return c & 0x00FFFFFF;
}

// ---- creation paths

class PlaneOnDisplay : public ::testing::TestWithParam<int32_t> {};

TEST_P(PlaneOnDisplay, EveryCreationPath) {
    const int32_t format = GetParam();
    Display d(format);
    EXPECT_EQ(d.draw.GetPrimaryType(), format);

    // The display's kind: a display surface, or RGB555 memory on a palette display.
    CFastPlane plane(&d.draw);
    ASSERT_EQ(plane.CreateSurface(7, 5), 0);
    CSurfaceInfo* info = plane.GetSurfaceInfo();
    EXPECT_EQ(info->width, 7);
    EXPECT_EQ(info->height, 5);
    if (format == Palette8) {
        EXPECT_EQ(plane.GetDDSurface(), nullptr);
        EXPECT_EQ(plane.GetSurfaceType(), RGB555);
        EXPECT_EQ(info->pitch, 14);
    } else {
        ASSERT_NE(plane.GetDDSurface(), nullptr);
        EXPECT_EQ(plane.GetSurfaceType(), format);
        EXPECT_EQ(info->pitch, plane.GetDDSurface()->Pitch());
        EXPECT_GT(info->pitch, 7 * PixelSizeOf(format));
    }
    EXPECT_TRUE(d.draw.HasPlane(&plane));
    EXPECT_EQ(plane.SetSize(7, 5), 0);  // already that size: nothing happens
    EXPECT_TRUE(d.draw.HasPlane(&plane));

    // Alpha: memory in the display's alpha counterpart, rows without a gap.
    CFastPlane alpha(&d.draw);
    ASSERT_EQ(alpha.CreateSurface(3, 2, true), 0);
    EXPECT_EQ(alpha.GetSurfaceType(), ToAlphaSurfaceType(format));
    EXPECT_TRUE(alpha.IsAlpha());
    EXPECT_EQ(alpha.GetSurfaceInfo()->pitch, 12);

    // Larger than the display: memory of the display's format (RGB555 for a palette).
    CFastPlane large(&d.draw);
    ASSERT_EQ(large.CreateSurface(65, 4), 0);
    EXPECT_EQ(large.GetDDSurface(), nullptr);
    const int32_t memoryType = format == Palette8 ? RGB555 : format;
    EXPECT_EQ(large.GetSurfaceType(), memoryType);
    EXPECT_EQ(large.GetSurfaceInfo()->pitch, 65 * PixelSizeOf(memoryType));

    // Any memory format by type.
    CFastPlane typed(&d.draw);
    ASSERT_EQ(typed.CreateSurfaceByType(2, 2, ABGR8888), 0);
    EXPECT_EQ(typed.GetSurfaceType(), ABGR8888);
    EXPECT_EQ(typed.CreateSurfaceByType(2, 2, Palette8), 1);
    EXPECT_EQ(typed.CreateSurfaceByType(2, 2, 9), 1);
    EXPECT_EQ(typed.CreateSurfaceByType(0, 2, RGB565), 1);

    plane.Release();
    EXPECT_FALSE(d.draw.HasPlane(&plane));
    EXPECT_EQ(plane.GetSize(nullptr, nullptr), 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, PlaneOnDisplay, ::testing::Range<int32_t>(Palette8, XBGR8888 + 1));

TEST(FastPlane, OddWidthsOnA24BitDisplayAreAskedOneWider) {
    for (int32_t format : {RGB888, BGR888}) {
        Display d(format);
        CFastPlane odd(&d.draw), even(&d.draw);
        ASSERT_EQ(odd.CreateSurface(5, 3), 0);
        ASSERT_EQ(even.CreateSurface(6, 3), 0);
        EXPECT_EQ(odd.GetDDSurface()->Width(), 6);
        EXPECT_EQ(even.GetDDSurface()->Width(), 6);
        EXPECT_EQ(odd.GetSurfaceInfo()->width, 5);
        EXPECT_EQ(odd.GetBpp(), 24);
    }
}

TEST(FastPlane, DibPlaneUsesTheDibStrideAndPaintsThroughItsContext) {
    Display d(Palette8);
    CFastPlane plane(&d.draw);
    plane.SetUseDIB(true);
    ASSERT_EQ(plane.CreateSurface(5, 2), 0);
    CSurfaceInfo* info = plane.GetSurfaceInfo();
    EXPECT_EQ(info->type, RGB555);
    EXPECT_EQ(info->pitch, 12);  // 5 x 2 bytes rounded up to whole words
    dd::DeviceContext* dc = plane.BeginPaint();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(plane.BeginPaint(), dc);
    dc->SetPixel(4, 1, 0x0000FF);  // red
    plane.EndPaint();
    EXPECT_EQ(Pixel(plane, 4, 1), 0xF80000u);
}

TEST(FastPlane, DisplaySurfacePaintsThroughAContextOnce) {
    morna::test::LogCapture log;
    Display d(RGB565);
    CFastPlane plane(&d.draw);
    ASSERT_EQ(plane.CreateSurface(4, 4), 0);
    dd::DeviceContext* dc = plane.BeginPaint();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(plane.BeginPaint(), nullptr);
    EXPECT_TRUE(log.Contains("CFastPlane::EndPaintが呼び出されていないのにBeginPaintが呼び出された"));
    dc->SetPixel(1, 2, 0x00FF00);
    plane.EndPaint();
    EXPECT_EQ(Pixel(plane, 1, 2), 0x00FC00u);
    plane.EndPaint();
    EXPECT_TRUE(log.Contains("CFastPlane::BeginPaintが呼び出されていないのにEndPaintが呼び出された"));
    CFastPlane memory(&d.draw);
    ASSERT_EQ(memory.CreateSurfaceByType(2, 2, ARGB8888), 0);
    EXPECT_EQ(memory.BeginPaint(), nullptr);
}

TEST(FastPlane, AlphaOnAnUnrecognisedDisplayFails) {
    morna::test::LogCapture log;
    CFastDraw draw;
    draw.GetDDraw()->SetDisplayMode(dd::SurfaceDesc{16, 0x0F00, 0x00F0, 0x000F}, 640, 480);
    bool retry = false;
    ASSERT_EQ(draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
    EXPECT_EQ(draw.GetPrimaryType(), 1);
    CFastPlane plane(&draw);
    EXPECT_EQ(plane.CreateSurface(4, 4, true), 1);
    EXPECT_EQ(plane.GetSize(nullptr, nullptr), 1);
    EXPECT_FALSE(draw.HasPlane(&plane));
}

TEST(FastPlane, RefusedCreationLeavesThePlaneEmpty) {
    morna::test::LogCapture log;
    Display d(XRGB8888);
    CFastPlane plane(&d.draw);
    d.draw.GetDDraw()->InjectCreateSurfaceFailures(1);
    EXPECT_EQ(plane.CreateSurface(4, 4), 2);
    EXPECT_TRUE(log.Contains("CFastPlane::InnerCreateSurfaceのCreateSurfaceに失敗"));
    EXPECT_EQ(plane.GetSize(nullptr, nullptr), 1);
    EXPECT_FALSE(d.draw.HasPlane(&plane));
    EXPECT_EQ(plane.CreateSurface(0, 4), 1);

    d.draw.GetDDraw()->InjectCreateSurfaceFailures(1);
    bool retry = true;
    EXPECT_EQ(d.draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 1);
    EXPECT_FALSE(retry);
    EXPECT_TRUE(log.Contains("CFastPlane::CreatePrimaryに失敗"));
}

TEST(FastPlane, WithoutADirectDrawObjectNothingIsCreated) {
    dd::DirectDraw::InjectCreateFailures(1);
    CFastDraw draw;
    EXPECT_EQ(draw.GetDirectDraw().GetStatus(), CDirectDraw::NotCreated);
    bool retry = false;
    EXPECT_EQ(draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 1);
    CFastPlane plane(&draw);
    EXPECT_EQ(plane.CreateSurface(4, 4), 1);
    bool attached = false;
    EXPECT_EQ(draw.GetBackPlane()->CreateSecondary(draw.GetPrimary(), &attached), 1);
}

// The primary must not be locked: when its trial lock fails it refuses every operation; a
// lost surface is waited for a bounded number of times only.
TEST(FastPlane, PrimaryWhoseTrialLockFails) {
    Display d(RGB565);
    CFastPlane* primary = d.draw.GetPrimary();
    CFastPlane src(&d.draw);
    ASSERT_EQ(src.CreateSurfaceByType(2, 2, RGB565), 0);

    d.draw.GetDDraw()->InjectLockFailures(1000, dd::kDdErrSurfaceLost);
    bool retry = false;
    ASSERT_EQ(primary->CreatePrimary(&retry, 0, 0), 0);
    d.draw.GetDDraw()->InjectLockFailures(0, dd::kDdOk);
    EXPECT_TRUE(primary->GetSurfaceInfo()->initialised);
    EXPECT_EQ(primary->GetSurfaceInfo()->pixels, nullptr);
    EXPECT_EQ(primary->Blt(EBltOp::BltCopy, src.GetSurfaceInfo(), nullptr, nullptr), 1);
    EXPECT_EQ(primary->Clear(nullptr), 1);

    // A few losses are waited out.
    d.draw.GetDDraw()->InjectLockFailures(CFastPlane::kLostRetries - 1, dd::kDdErrSurfaceLost);
    ASSERT_EQ(primary->CreatePrimary(&retry, 0, 0), 0);
    EXPECT_NE(primary->GetSurfaceInfo()->pixels, nullptr);
    EXPECT_EQ(primary->Blt(EBltOp::BltCopy, src.GetSurfaceInfo(), nullptr, nullptr), 0);

    // The refusal goes with the surface: the plane as memory works again.
    d.draw.GetDDraw()->InjectLockFailures(1, dd::kDdErrGeneric);
    ASSERT_EQ(primary->CreatePrimary(&retry, 0, 0), 0);
    primary->Release();
    ASSERT_EQ(primary->CreateSurfaceByType(2, 2, RGB565), 0);
    EXPECT_EQ(primary->Clear(nullptr), 0);
}

TEST(FastPlane, BackPlaneIsAnOffscreenPlaneOfThePrimarySize) {
    morna::test::LogCapture log;
    Display d(XRGB8888, 32, 24);
    bool attached = true;
    CFastPlane* back = d.draw.GetBackPlane();
    ASSERT_EQ(back->CreateSecondary(d.draw.GetPrimary(), &attached), 0);
    EXPECT_FALSE(attached);
    EXPECT_TRUE(log.Contains("CFastPlane::CreateSecondaryのGetAttachedSurfaceに失敗"));
    int w = 0, h = 0;
    back->GetSize(&w, &h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 24);
    EXPECT_NE(back->GetDDSurface(), nullptr);
    EXPECT_TRUE(d.draw.HasPlane(back));
}

// ---- blits between planes of different formats

struct Pair {
    int32_t src, dst;
};
class PlaneBlt : public ::testing::TestWithParam<Pair> {};

// A colour every format holds exactly; the source's top-left pixel is the key colour.
constexpr uint32_t kColour = 0xF88008, kKey = 0x0800F8;

void MakeSource(CFastPlane& src, int32_t type) {
    if (type == XRGB8888) {
        ASSERT_EQ(src.CreateSurface(4, 3), 0);  // a display surface
    } else {
        ASSERT_EQ(src.CreateSurfaceByType(4, 3, type), 0);
    }
    src.SetFillColor(0xFF000000 | kColour);
    src.Clear(nullptr);
    const Rect corner{0, 0, 1, 1};
    src.SetFillColor(0xFF000000 | kKey);
    src.Clear(&corner);
    ASSERT_EQ(src.SetColorKeyPos(0, 0), 0);
    EXPECT_EQ(src.GetColorKey() & 0x00FFFFFF, kKey);  // an alpha format's key has its alpha
}

TEST_P(PlaneBlt, CopiesThroughTheDispatch) {
    Display d(XRGB8888);
    CFastPlane src(&d.draw), dst(&d.draw);
    MakeSource(src, GetParam().src);
    ASSERT_EQ(dst.CreateSurfaceByType(6, 5, GetParam().dst), 0);
    dst.SetFillColor(0xFF000000);
    dst.Clear(nullptr);
    const Point at{2, 2};
    BltGeometry geom;
    geom.dstPoint = &at;
    ASSERT_EQ(dst.Blt(EBltOp::BltCopy, src.GetSurfaceInfo(), &geom, nullptr), 0);
    EXPECT_EQ(Pixel(dst, 2, 2), kKey);
    EXPECT_EQ(Pixel(dst, 5, 4), kColour);
    EXPECT_EQ(Pixel(dst, 1, 1), 0u);
    EXPECT_EQ(dst.Blt(EBltOp::BltCopy, nullptr, nullptr, nullptr), 1);
}

INSTANTIATE_TEST_SUITE_P(Pairs, PlaneBlt,
                         ::testing::Values(Pair{RGB565, XRGB8888}, Pair{XRGB8888, RGB555}, Pair{BGR888, ABGR8888},
                                           Pair{ARGB8888, RGB565}, Pair{XBGR8888, BGR888},
                                           Pair{ARGB4555, XRGB8888}),
                         [](const auto& info) {
                             return std::to_string(info.param.src) + "_" + std::to_string(info.param.dst);
                         });

// The key set on the source plane reaches the keyed copy of the dispatch.
TEST(FastPlane, KeyedCopySkipsTheSourceKey) {
    Display d(XRGB8888);
    for (Pair p : {Pair{XRGB8888, ARGB8888}, Pair{RGB565, ARGB4565}, Pair{ARGB8888, RGB888}}) {
        CFastPlane src(&d.draw), dst(&d.draw);
        MakeSource(src, p.src);
        ASSERT_EQ(dst.CreateSurfaceByType(4, 3, p.dst), 0);
        ASSERT_EQ(dst.Blt(EBltOp::BltKeyedCopy, src.GetSurfaceInfo(), nullptr, nullptr), 0);
        EXPECT_EQ(Pixel(dst, 0, 0), 0u) << p.src << " " << p.dst;
        EXPECT_EQ(Pixel(dst, 1, 0), kColour) << p.src << " " << p.dst;
    }
}

TEST(FastPlane, EffectsAndThePolygonBlitWithoutItsFamily) {
    Display d(RGB565);
    CFastPlane plane(&d.draw);
    ASSERT_EQ(plane.CreateSurface(4, 4), 0);
    plane.SetFillColor(0x00400000);
    EXPECT_EQ(plane.Clear(nullptr), 0);
    EXPECT_EQ(plane.NegativeEffect(nullptr), 0);
    EXPECT_EQ(Pixel(plane, 3, 3), 0xB8FCF8u);
    const Rect one{0, 0, 1, 1};
    EXPECT_EQ(plane.SubColorEffect(0x00FFFFFF, &one), 0);
    EXPECT_EQ(Pixel(plane, 0, 0), 0u);
    EXPECT_EQ(Pixel(plane, 1, 0), 0xB8FCF8u);
    EXPECT_EQ(plane.PolyBlt(0, plane.GetSurfaceInfo(), nullptr, 0), 1);
}

// ---- loading

struct Folder : ::testing::Test {
    morna::test::TempBaseFolder folder{"morna-plane"};
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        morna::test::WriteBytes(folder.Path() + "/" + name, bytes);
    }
};

using PlaneLoad = Folder;

TEST_F(PlaneLoad, OnAPaletteDisplayAPictureBecomesRGB555Memory) {
    Display d(Palette8);
    Write("a.bmp", Bmp24(3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x000000, 0xFFFFFF}));
    CFastPlane plane(&d.draw);
    ASSERT_EQ(plane.Load("a.bmp"), 0);
    EXPECT_EQ(plane.GetSurfaceType(), RGB555);
    EXPECT_TRUE(plane.IsLoadedFor8Bit());
    EXPECT_EQ(plane.GetDDSurface(), nullptr);
    EXPECT_EQ(plane.GetFileName(), "a.bmp");
    EXPECT_EQ(Pixel(plane, 0, 0), 0xF80000u);
    EXPECT_EQ(Pixel(plane, 2, 0), 0x0000F8u);
    EXPECT_EQ(Pixel(plane, 0, 1), 0x808080u);
    EXPECT_TRUE(d.draw.HasPlane(&plane));
}

TEST_F(PlaneLoad, PicturesTakeTheDisplayFormatAndTvgItsAlphaCounterpart) {
    Display d(RGB565);
    Write("a.bmp", Bmp24(2, 1, {0xFF0000, 0x00FF00}));
    Write("b.tvg", morna::test::MakeTvg(1, 1, 0, 4, {0x10, 0x20, 0x30, 0xFF}));
    // An 8-bit BMP has no direct path: it is drawn into a bitmap first.
    Write("c.bmp", morna::test::MakeBmp(2, 1, 8, 0, {0x0000FF, 0xFF0000}, {1, 0, 0, 0}));
    CFastPlane a(&d.draw), b(&d.draw), c(&d.draw);
    ASSERT_EQ(a.Load("a.bmp"), 0);
    EXPECT_EQ(a.GetSurfaceType(), RGB565);
    EXPECT_FALSE(a.IsLoadedFor8Bit());
    EXPECT_EQ(Pixel(a, 1, 0), 0x00FC00u);
    ASSERT_EQ(b.Load("b.tvg"), 0);
    EXPECT_EQ(b.GetSurfaceType(), ARGB4565);
    ASSERT_EQ(c.Load("c.bmp"), 0);
    EXPECT_EQ(Pixel(c, 0, 0), 0xF80000u);
    EXPECT_EQ(Pixel(c, 1, 0), 0x0000F8u);

    CFastPlane alpha(&d.draw);
    alpha.SetAlphaPlane(true);
    ASSERT_EQ(alpha.Load("a.bmp"), 0);
    EXPECT_EQ(alpha.GetSurfaceType(), ARGB4565);

    ASSERT_EQ(a.Load("#notdefined#"), 0);
    EXPECT_EQ(a.GetSize(nullptr, nullptr), 1);
}

// A picture that has no direct path and will not draw.
struct BrokenLoader : IGraphicLoader {
    int Load(tovarineGameSDK3rd::Auxiliary::IFile*) override { return 0; }
    int GetSize(int32_t* w, int32_t* h) override { return *w = 2, *h = 2, 0; }
    int HasAlpha() override { return 0; }
    int DrawToDC(dd::DeviceContext*) override { return 1; }
    int LoadToSurface(CSurfaceInfo*) override { return -1; }
    int Release() override { return 0; }
    int GetPalette(dd::PaletteEntry*) override { return 1; }
};

// A picture wider than any bitmap, and a plane that makes a surface of any size regardless.
struct WideLoader : BrokenLoader {
    int GetSize(int32_t* w, int32_t* h) override { return *w = dd::kMaxPictureSide + 1, *h = 1, 0; }
};
struct AnySizePlane : CFastPlane {
    using CFastPlane::CFastPlane;
    int CreateSurfaceByType(int, int, int32_t type) override { return CFastPlane::CreateSurfaceByType(1, 1, type); }
};

TEST_F(PlaneLoad, EveryAnswerOfALoad) {
    Display d(XRGB8888);
    Write("text.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
    Write("a.bmp", Bmp24(2, 2, {1, 2, 3, 4}));
    CFastPlane plane(&d.draw);
    EXPECT_EQ(plane.Load("missing.bmp"), -1);
    EXPECT_EQ(plane.Load("text.bmp"), -2);
    EXPECT_EQ(plane.LoadByType("a.bmp", Palette8), -3);
    EXPECT_EQ(plane.Load("a.bmp"), 0);

    auto& factory = GetGraphicLoaderFactory();
    const auto saved = factory;
    factory = new factory_i2<IGraphicLoader, BrokenLoader>;
    plane.SetFillColor(0xFF123456);
    const int broken = plane.Load("a.bmp");
    factory = new factory_i2<IGraphicLoader, WideLoader>;
    AnySizePlane any(&d.draw);
    const int noBitmap = any.Load("a.bmp");
    factory = saved;
    EXPECT_EQ(noBitmap, -4);
    EXPECT_EQ(broken, -5);
    int w = 0, h = 0;
    ASSERT_EQ(plane.GetSize(&w, &h), 0);
    EXPECT_EQ(Pixel(plane, 1, 1), 0x123456u);  // cleared with the fill colour
}

// Pictures are memory planes: a loss leaves them and recreates the display surfaces empty.
TEST_F(PlaneLoad, ALossRecreatesDisplaySurfaces) {
    Display d(XRGB8888);
    Write("a.bmp", Bmp24(2, 1, {0x112233, 0x445566}));
    CFastPlane pic(&d.draw), blank(&d.draw);
    ASSERT_EQ(pic.Load("a.bmp"), 0);
    ASSERT_EQ(blank.CreateSurface(3, 3), 0);
    EXPECT_EQ(Pixel(blank, 1, 1), 0u);
    blank.SetFillColor(0x00FFFFFF);  // for the next clear
    const std::vector<CFastPlane*> listed = d.draw.GetPlaneList();

    d.draw.GetDDraw()->LoseAllSurfaces();
    d.draw.RestorePlanes();
    EXPECT_EQ(d.draw.GetPlaneList(), listed);
    ASSERT_NE(blank.GetDDSurface(), nullptr);
    EXPECT_EQ(blank.GetDDSurface()->IsLost(), dd::kDdOk);
    EXPECT_EQ(Pixel(blank, 1, 1), 0xFFFFFFu);  // made again and cleared with its fill colour
    EXPECT_EQ(Pixel(pic, 1, 0), 0x445566u);
}

// A display change reloads the pictures in the new format; a key by position follows the
// picture that is read again.
TEST_F(PlaneLoad, ADisplayChangeReloadsThePicturesAndTheKeyFollows) {
    Display d(XRGB8888);
    Write("a.bmp", Bmp24(2, 2, {0x112233, 0x445566, 0x778899, 0xF8FCF8}));
    Write("b.tvg", morna::test::MakeTvg(1, 1, 0, 4, {0x10, 0x20, 0x30, 0x80}));
    CFastPlane pic(&d.draw), alpha(&d.draw);
    ASSERT_EQ(pic.Load("a.bmp"), 0);
    ASSERT_EQ(pic.SetColorKeyPos(0, 0), 0);
    EXPECT_EQ(pic.GetColorKey(), 0x112233u);
    ASSERT_EQ(alpha.Load("b.tvg"), 0);
    EXPECT_EQ(alpha.GetSurfaceType(), ARGB8888);
    CFastPlane* back = d.draw.GetBackPlane();
    bool attached = false;
    ASSERT_EQ(back->CreateSecondary(d.draw.GetPrimary(), &attached), 0);
    const std::vector<CFastPlane*> listed = d.draw.GetPlaneList();

    Write("a.bmp", Bmp24(2, 2, {0x0000F8, 0x445566, 0x778899, 0xF8FCF8}));
    d.draw.GetDDraw()->SetDisplayMode(RGB565, 64, 48);
    bool retry = false;
    ASSERT_EQ(d.draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
    d.draw.RestorePlanes();

    EXPECT_EQ(d.draw.GetPlaneList(), listed);
    EXPECT_EQ(pic.GetSurfaceType(), RGB565);
    EXPECT_EQ(Pixel(pic, 1, 1), 0xF8FCF8u);
    EXPECT_EQ(pic.GetColorKey(), 0x0000F8u);
    EXPECT_EQ(pic.GetSurfaceInfo()->colourKey, 0x0000F8u);
    EXPECT_EQ(alpha.GetSurfaceType(), ARGB4565);
    EXPECT_EQ(back->GetSurfaceType(), RGB565);
    EXPECT_EQ(back->GetDDSurface()->IsLost(), dd::kDdOk);
}

TEST(FastPlane, KeepContentsCarriesMemoryPixelsAcrossAFormatChange) {
    Display d(Palette8);
    CFastPlane plane(&d.draw);
    plane.SetKeepContents(true);
    ASSERT_EQ(plane.CreateSurface(4, 2), 0);
    ASSERT_EQ(plane.GetSurfaceType(), RGB555);
    plane.SetFillColor(0x0000F8F8);
    plane.Clear(nullptr);
    const size_t listed = d.draw.GetPlaneList().size();

    d.draw.GetDDraw()->SetDisplayMode(XRGB8888, 64, 48);
    bool retry = false;
    ASSERT_EQ(d.draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
    d.draw.RestorePlanes();
    EXPECT_EQ(plane.GetSurfaceType(), XRGB8888);
    EXPECT_EQ(Pixel(plane, 3, 1), 0x00F8F8u);
    EXPECT_EQ(d.draw.GetPlaneList().size(), listed);
}

// A plane whose rebuild destroys another listed plane and makes a new one: the walk skips
// the first and does not visit the second.
struct Greedy : CFastPlane {
    using CFastPlane::CFastPlane;
    int OnRestore() override {
        ++restores;
        victim.reset();
        made = std::make_unique<Counting>(GetOwner());
        made->CreateSurface(2, 2);
        return 0;
    }
    struct Counting : CFastPlane {
        using CFastPlane::CFastPlane;
        int OnRestore() override { return ++restores, 0; }
        int restores = 0;
    };
    int restores = 0;
    std::unique_ptr<Counting> victim;
    std::unique_ptr<Counting> made;
};

TEST(FastPlane, RestoreWalkSurvivesPlanesComingAndGoing) {
    Display d(RGB565);
    Greedy greedy(&d.draw);
    ASSERT_EQ(greedy.CreateSurface(2, 2), 0);
    greedy.victim = std::make_unique<Greedy::Counting>(&d.draw);
    ASSERT_EQ(greedy.victim->CreateSurface(2, 2), 0);
    d.draw.GetDDraw()->LoseAllSurfaces();
    d.draw.RestorePlanes();
    EXPECT_EQ(greedy.restores, 1);
    EXPECT_FALSE(greedy.victim);
    ASSERT_TRUE(greedy.made);
    EXPECT_EQ(greedy.made->restores, 0);
    EXPECT_TRUE(d.draw.HasPlane(greedy.made.get()));
    EXPECT_EQ(d.draw.GetPlaneList().size(), 2u);
}

}  // namespace
