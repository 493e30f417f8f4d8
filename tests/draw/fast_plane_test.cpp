#include "draw/fast_plane.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "draw/fast_draw.h"
#include "draw/graphic_loader.h"
#include "foundation/vtl/exception.h"
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

struct Made {
    int32_t type;
    int pitch;    // 0: the display surface's own, wider than the row
    int ddWidth;  // width of the display surface; 0: memory
};

void ExpectMade(CFastPlane& p, const Made& m, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(p.GetSurfaceType(), m.type);
    if (m.ddWidth) {
        ASSERT_NE(p.GetDDSurface(), nullptr);
        EXPECT_EQ(p.GetDDSurface()->Width(), m.ddWidth);
        EXPECT_EQ(p.GetSurfaceInfo()->pitch, p.GetDDSurface()->Pitch());
    } else {
        EXPECT_EQ(p.GetDDSurface(), nullptr);
        EXPECT_EQ(p.GetSurfaceInfo()->pitch, m.pitch);
    }
}

// On every display format: the display's kind (a display surface, asked one pixel wider for an
// odd width at 24 bits; RGB555 memory on a palette display), alpha memory in the display's
// alpha counterpart, memory of the display's format when larger than the display, any memory
// format by type, and an RGB555 DIB with the DIB's stride.
TEST(FastPlane, EveryCreationPath) {
    const int32_t alphaOf[] = {ARGB4555, ARGB4565, ARGB4555, ARGB8888, ABGR8888, ARGB8888, ABGR8888};
    for (int32_t format = Palette8; format <= XBGR8888; ++format) {
        SCOPED_TRACE(format);
        Display d(format);
        const int32_t memory = format == Palette8 ? RGB555 : format;
        const int bytes = format == Palette8 ? 2 : PixelSizeOf(format);
        CFastPlane plane(&d.draw), alpha(&d.draw), large(&d.draw), typed(&d.draw), dib(&d.draw);
        ASSERT_EQ(plane.CreateSurface(7, 5), 0);
        ExpectMade(plane, format == Palette8 ? Made{RGB555, 14, 0} : Made{format, 0, bytes == 3 ? 8 : 7}, "display's kind");
        ASSERT_EQ(alpha.CreateSurface(3, 2, true), 0);
        ExpectMade(alpha, {alphaOf[format - Palette8], 12, 0}, "alpha");
        ASSERT_EQ(large.CreateSurface(65, 4), 0);
        ExpectMade(large, {memory, 65 * bytes, 0}, "larger than the display");
        ASSERT_EQ(typed.CreateSurfaceByType(2, 2, ABGR8888), 0);
        ExpectMade(typed, {ABGR8888, 8, 0}, "by type");
        dib.SetUseDIB(true);
        ASSERT_EQ(dib.CreateSurface(5, 2), 0);
        if (format == Palette8) ExpectMade(dib, {RGB555, 12, 0}, "DIB");  // whole 32-bit words
        EXPECT_EQ(plane.GetSurfaceInfo()->width, 7);
        EXPECT_EQ(plane.SetSize(7, 5), 0);  // already that size: nothing happens
        // The back plane: off-screen, the primary's size, no attached buffer.
        bool attached = true;
        CFastPlane* back = d.draw.GetBackPlane();
        ASSERT_EQ(back->CreateSecondary(d.draw.GetPrimary(), &attached), 0);
        EXPECT_FALSE(attached);
        int w = 0, h = 0;
        back->GetSize(&w, &h);
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(64, 48));
        EXPECT_EQ(d.draw.GetPlaneList().size(), 6u);
        plane.Release();
        EXPECT_FALSE(d.draw.HasPlane(&plane));
        EXPECT_EQ(plane.GetSize(nullptr, nullptr), 1);
        EXPECT_EQ(std::pair(plane.GetSurfaceInfo()->width, plane.GetSurfaceInfo()->height), std::pair(0, 0));
    }
}

// Every refusal leaves the plane empty and unlisted.
TEST(FastPlane, RefusedCreations) {
    morna::test::LogCapture log;
    Display d(XRGB8888);
    CFastPlane plane(&d.draw);
    for (int32_t type : {2, 9, 0}) EXPECT_EQ(plane.CreateSurfaceByType(2, 2, type), 1) << type;
    EXPECT_EQ(plane.CreateSurfaceByType(0, 2, RGB565), 1);
    EXPECT_EQ(plane.CreateSurface(0, 4), 1);
    d.draw.GetDDraw()->InjectCreateSurfaceFailures(1);
    EXPECT_EQ(plane.CreateSurface(4, 4), 2);
    EXPECT_EQ(plane.GetSize(nullptr, nullptr), 1);
    EXPECT_FALSE(d.draw.HasPlane(&plane));
    d.draw.GetDDraw()->InjectCreateSurfaceFailures(1);
    bool retry = true;
    EXPECT_EQ(d.draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 1);
    EXPECT_FALSE(retry);

    // An alpha plane on a display of no known format.
    CFastDraw odd;
    odd.GetDDraw()->SetDisplayMode(dd::SurfaceDesc{16, 0x0F00, 0x00F0, 0x000F}, 640, 480);
    ASSERT_EQ(odd.GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
    EXPECT_EQ(odd.GetPrimaryType(), 1);
    CFastPlane alpha(&odd);
    EXPECT_EQ(alpha.CreateSurface(4, 4, true), 1);
    EXPECT_FALSE(odd.HasPlane(&alpha));

    // No display object at all.
    dd::DirectDraw::InjectCreateFailures(1);
    CFastDraw none;
    EXPECT_EQ(none.GetDirectDraw().GetStatus(), CDirectDraw::NotCreated);
    EXPECT_EQ(none.GetPrimary()->CreatePrimary(&retry, 0, 0), 1);
    CFastPlane orphan(&none);
    EXPECT_EQ(orphan.CreateSurface(4, 4), 1);
    bool attached = false;
    EXPECT_EQ(none.GetBackPlane()->CreateSecondary(none.GetPrimary(), &attached), 1);
}

// A DIB plane paints through its own context as often as asked; a display surface lends one
// context at a time; a plain memory plane has none.
TEST(FastPlane, PaintingThroughAContext) {
    morna::test::LogCapture log;
    Display d(RGB565);
    CFastPlane dib(&d.draw), plane(&d.draw), memory(&d.draw);
    dib.SetUseDIB(true);
    ASSERT_EQ(dib.CreateSurfaceByType(5, 2, RGB555), 0);
    dd::DeviceContext* dc = dib.BeginPaint();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dib.BeginPaint(), dc);
    dc->SetPixel(4, 1, 0x0000FF);  // red
    dib.EndPaint();
    EXPECT_EQ(Pixel(dib, 4, 1), 0xF80000u);

    ASSERT_EQ(plane.CreateSurface(4, 4), 0);
    dc = plane.BeginPaint();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(plane.BeginPaint(), nullptr);
    dc->SetPixel(1, 2, 0x00FF00);
    plane.EndPaint();
    EXPECT_EQ(Pixel(plane, 1, 2), 0x00FC00u);
    plane.EndPaint();  // the log is the only sign of the unmatched call
    EXPECT_TRUE(log.Contains("CFastPlane::BeginPaintが呼び出されていないのにEndPaintが呼び出された"));
    ASSERT_EQ(memory.CreateSurfaceByType(2, 2, ARGB8888), 0);
    EXPECT_EQ(memory.BeginPaint(), nullptr);
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

// The effects reach the surface with their arguments; the polygon blit reaches its family,
// whose self-blit throws the double-lock exception and leaves the plane unlocked.
TEST(FastPlane, EffectsAndThePolygonBlit) {
    Display d(RGB565);
    CFastPlane plane(&d.draw);
    ASSERT_EQ(plane.CreateSurface(4, 4), 0);
    plane.SetFillColor(0x00400000);
    const Rect one{0, 0, 1, 1};
    EXPECT_EQ(plane.Clear(nullptr) | plane.NegativeEffect(nullptr) | plane.SubColorEffect(0x00FFFFFF, &one), 0);
    EXPECT_EQ(std::make_pair(Pixel(plane, 0, 0), Pixel(plane, 1, 0)), std::make_pair(0u, 0xB8FCF8u));
    EXPECT_THROW(plane.PolyBlt(0, plane.GetSurfaceInfo(), nullptr, 0), tovarineGameSDK3rd::VTL::CRuntimeException);
    EXPECT_FALSE(plane.GetSurfaceInfo()->locked);
}

// ---- loading

struct Folder : ::testing::Test {
    morna::test::TempBaseFolder folder{"morna-plane"};
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        morna::test::WriteBytes(folder.Path() + "/" + name, bytes);
    }
};

using PlaneLoad = Folder;

// A picture takes the display's format (RGB555 memory on a palette display), a tvg or an alpha
// plane the display's alpha counterpart; an 8-bit BMP, which has no direct path, is drawn
// into a bitmap first; the name that loads nothing empties the plane.
TEST_F(PlaneLoad, PicturesTakeTheDisplayFormat) {
    Write("a.bmp", Bmp24(3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x000000, 0xFFFFFF}));
    Write("b.tvg", morna::test::MakeTvg(1, 1, 0, 4, {0x10, 0x20, 0x30, 0xFF}));
    Write("c.bmp", morna::test::MakeBmp(2, 1, 8, 0, {0x0000FF, 0xFF0000}, {1, 0, 0, 0}));
    Display palette(Palette8);
    CFastPlane p(&palette.draw);
    ASSERT_EQ(p.Load("a.bmp"), 0);
    EXPECT_EQ(p.GetSurfaceType(), RGB555);
    EXPECT_TRUE(p.IsLoadedFor8Bit());
    EXPECT_EQ(Pixel(p, 2, 0), 0x0000F8u);
    EXPECT_EQ(Pixel(p, 0, 1), 0x808080u);

    Display d(RGB565);
    CFastPlane a(&d.draw), b(&d.draw), c(&d.draw), alpha(&d.draw);
    ASSERT_EQ(a.Load("a.bmp"), 0);
    EXPECT_EQ(a.GetSurfaceType(), RGB565);
    EXPECT_FALSE(a.IsLoadedFor8Bit());
    EXPECT_EQ(Pixel(a, 1, 0), 0x00FC00u);
    ASSERT_EQ(b.Load("b.tvg"), 0);
    EXPECT_EQ(b.GetSurfaceType(), ARGB4565);
    ASSERT_EQ(c.Load("c.bmp"), 0);
    EXPECT_EQ(Pixel(c, 0, 0), 0xF80000u);
    EXPECT_EQ(Pixel(c, 1, 0), 0x0000F8u);
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

// A plane that counts its rebuilds.
struct Counting : CFastPlane {
    using CFastPlane::CFastPlane;
    int OnRestore() override { return ++restores, 0; }
    int restores = 0;
};

// A loss recreates the display surfaces, cleared with their fill colour; memory planes that
// still fit the display stay as they are: pictures, and on a palette display RGB555 memory
// and its alpha counterpart ARGB4555.
TEST_F(PlaneLoad, ALossRecreatesDisplaySurfacesOnly) {
    Write("a.bmp", Bmp24(2, 1, {0x112233, 0x445566}));
    for (int32_t format : {XRGB8888, Palette8}) {
        Display d(format);
        Counting pic(&d.draw), blank(&d.draw), alpha(&d.draw);
        ASSERT_EQ(pic.Load("a.bmp"), 0);
        ASSERT_EQ(blank.CreateSurface(3, 3), 0);
        ASSERT_EQ(alpha.CreateSurface(2, 2, true), 0);
        for (Counting* p : {&blank, &alpha}) {
            p->SetFillColor(0xFF0000F8);
            p->Clear(nullptr);
        }
        blank.SetFillColor(0x00FFFFFF);  // for the next clear
        const std::vector<CFastPlane*> listed = d.draw.GetPlaneList();
        d.draw.GetDDraw()->LoseAllSurfaces();
        d.draw.RestorePlanes();
        EXPECT_EQ(d.draw.GetPlaneList(), listed);
        EXPECT_EQ(Pixel(pic, 1, 0), format == Palette8 ? 0x405060u : 0x445566u);
        EXPECT_EQ(pic.restores + alpha.restores, 0) << format;
        EXPECT_EQ(Pixel(alpha, 1, 1), 0x0000F8u);
        if (format == Palette8) {
            EXPECT_EQ(blank.restores, 0);  // RGB555 memory
            EXPECT_EQ(Pixel(blank, 1, 1), 0x0000F8u);
        } else {
            EXPECT_EQ(blank.restores, 1);
            EXPECT_EQ(blank.GetDDSurface()->IsLost(), dd::kDdOk);
            EXPECT_EQ(Pixel(blank, 1, 1), 0xFFFFFFu);
        }
    }
}

// A display change reloads the pictures in the new format (a key by position follows the
// picture that is read again), recreates the display surfaces, and carries the pixels of a
// memory plane that keeps its contents.
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
    CFastPlane kept(&d.draw);
    kept.SetKeepContents(true);
    ASSERT_EQ(kept.CreateSurfaceByType(4, 2, XRGB8888), 0);  // memory: its pixels survive the change
    kept.SetFillColor(0x0000F8F8);
    kept.Clear(nullptr);
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
    EXPECT_EQ(kept.GetSurfaceType(), RGB565);
    EXPECT_EQ(Pixel(kept, 3, 1), 0x00F8F8u);
}

TEST(FastPlane, ARestoreLeftByAThrowEndsAndTheReleasedPlaneLeavesTheList) {
    struct Throwing : CFastPlane {
        using CFastPlane::CFastPlane;
        int OnRestore() override { throw std::runtime_error("restore"); }
    };
    Display d(RGB565);
    Throwing plane(&d.draw);
    ASSERT_EQ(plane.CreateSurface(2, 2), 0);
    d.draw.GetDDraw()->LoseAllSurfaces();
    EXPECT_THROW(plane.Restore(), std::runtime_error);
    plane.Release();
    EXPECT_FALSE(d.draw.HasPlane(&plane));
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
    int restores = 0;
    std::unique_ptr<Counting> victim;
    std::unique_ptr<Counting> made;
};

TEST(FastPlane, RestoreWalkSurvivesPlanesComingAndGoing) {
    Display d(RGB565);
    Greedy greedy(&d.draw);
    ASSERT_EQ(greedy.CreateSurface(2, 2), 0);
    greedy.victim = std::make_unique<Counting>(&d.draw);
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
