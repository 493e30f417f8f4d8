// Standard pictures (PNG, JPEG, GIF) and image plug-ins, loaded into a 24-bit DIB bitmap.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "draw/dib_bitmap.h"
#include "draw/graphic_loader.h"
#include "platform/picture.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/draw/image_test_files.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;

uint32_t PixelOf(CDIBitmap& dib, int x, int y) {
    uint32_t c = 0;
    EXPECT_EQ(dib.GetSurfaceInfo()->GetPixel(x, y, &c), 0);
    return c;
}

// An ARGB8888 SDL surface whose pixel (x, y) is f(x, y).
template <class F>
SDL_Surface* MakeSurface(int w, int h, F f) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x] = f(x, y);
    return s;
}

uint32_t PngColour(int x, int y) {
    const uint32_t a = y == 0 ? 0x80 : 0xFF;  // the top row is half transparent
    return a << 24 | uint32_t(x * 37 & 0xFF) << 16 | uint32_t(y * 53 & 0xFF) << 8 | uint32_t((x + y) * 11 & 0xFF);
}

TEST(StandardPicture, PngDecodesExactlyAndAlphaLiesOverBlack) {
    morna::test::TempBaseFolder folder("morna-pic");
    SDL_Surface* s = MakeSurface(7, 5, PngColour);
    ASSERT_EQ(IMG_SavePNG(s, (folder.Path() + "/p.png").c_str()), 0);
    SDL_FreeSurface(s);
    CDIBitmap dib;
    ASSERT_EQ(dib.Load("p.png", 24), 0);
    int w = 0, h = 0;
    dib.GetSize(&w, &h);
    ASSERT_EQ(w, 7);
    ASSERT_EQ(h, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            uint32_t want = PngColour(x, y) & 0xFFFFFF;
            if (y == 0) {
                uint32_t blended = 0;
                for (int sh = 0; sh < 24; sh += 8) blended |= (((want >> sh & 0xFF) * 0x80 + 127) / 255) << sh;
                want = blended;
            }
            EXPECT_EQ(PixelOf(dib, x, y), want) << x << "," << y;
        }
}

// ---- GIF

struct GifFrame {
    int left, top, w, h;
    bool interlaced;
    int colours;      // of a local table; 0: the global table of 16
    int transparent;  // -1: none
};

int GifIndex(const GifFrame& f, int x, int y) { return (x * 3 + y * 5 + f.left) % (f.colours ? f.colours : 16); }
GifColorType GifColour(bool local, int i) { return {uint8_t(i * 13 + local * 100), uint8_t(255 - i * 7), uint8_t(i * 31)}; }

// Each frame has its control block; an animation has a long comment first.
std::vector<uint8_t> WriteGif(int sw, int sh, const std::vector<GifFrame>& frames) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* g = EGifOpen(&out, [](GifFileType* f, const GifByteType* d, int n) {
        auto* v = static_cast<std::vector<uint8_t>*>(f->UserData);
        v->insert(v->end(), d, d + n);
        return n;
    }, &error);
    GifColorType colours[2][16];
    for (int i = 0; i < 16; ++i) colours[0][i] = GifColour(false, i), colours[1][i] = GifColour(true, i);
    ColorMapObject* global = GifMakeMapObject(16, colours[0]);
    EGifSetGifVersion(g, true);
    EGifPutScreenDesc(g, sw, sh, 8, 0, global);
    if (frames.size() > 1) EGifPutComment(g, std::string(300, 'c').c_str());  // two sub-blocks
    for (const GifFrame& f : frames) {
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 10, f.transparent};
        GifByteType ext[4];
        EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(EGifGCBToExtension(&gcb, ext)), ext);
        ColorMapObject* local = f.colours ? GifMakeMapObject(f.colours, colours[1]) : nullptr;
        EGifPutImageDesc(g, f.left, f.top, f.w, f.h, f.interlaced, local);
        // Interlaced rows are stored by pass: every 8th from 0, every 8th from 4, every 4th from 2, the odd ones.
        auto pass = [&f](int y) { return !f.interlaced || y % 8 == 0 ? 0 : y % 8 == 4 ? 1 : y % 4 == 2 ? 2 : 3; };
        std::vector<int> rows(f.h);
        std::iota(rows.begin(), rows.end(), 0);
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return pass(a) < pass(b); });
        for (int y : rows) {
            std::vector<GifPixelType> line(f.w);
            for (int x = 0; x < f.w; ++x) line[x] = static_cast<GifPixelType>(GifIndex(f, x, y));
            EGifPutLine(g, line.data(), f.w);
        }
        GifFreeMapObject(local);
    }
    EGifCloseFile(g, &error);
    GifFreeMapObject(global);
    return out;
}

TEST(StandardPicture, GifFirstImageComposedOverItsScreen) {
    struct Case {
        int sw, sh;
        std::vector<GifFrame> frames;
        int cw, ch;
    };
    const Case cases[] = {
        {3, 11, {{0, 0, 3, 11, true, 0, -1}}, 3, 11},                                 // interlaced, global table
        {7, 6, {{2, 1, 3, 4, false, 4, 2}}, 7, 6},                                    // offset, local table, transparency
        {4, 4, {{0, 0, 4, 4, false, 0, 1}, {1, 1, 2, 2, false, 2, 0}}, 4, 4},         // animated: the first frame
        {2, 2, {{1, 1, 3, 2, false, 0, -1}}, 4, 3},                                   // the screen grows to hold it
    };
    for (const Case& c : cases) {
        const GifFrame& f = c.frames[0];
        std::vector<uint32_t> want(size_t(c.cw) * c.ch, 0);
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x) {
                const int i = GifIndex(f, x, y);
                const GifColorType k = GifColour(f.colours != 0, i);
                if (i != f.transparent) want[(f.top + y) * c.cw + f.left + x] = 0xFF000000u | k.Red << 16 | k.Green << 8 | k.Blue;
            }
        const std::vector<uint8_t> bytes = WriteGif(c.sw, c.sh, c.frames);
        int32_t w = 0, h = 0;
        EXPECT_TRUE(morna::platform::PeekPictureSize(bytes.data(), bytes.size(), w, h) && w == c.cw && h == c.ch) << w << "x" << h;
        std::string why;
        const auto p = morna::platform::Picture::Decode(bytes.data(), bytes.size(), &why);
        ASSERT_TRUE(p) << why;
        EXPECT_EQ(p->Width() * 100 + p->Height(), c.cw * 100 + c.ch);
        EXPECT_EQ(p->Pixels(), want) << c.cw << "x" << c.ch;
    }
}

// A header declaring 20000 x 20000 is refused before decoding; cut or broken files fail.
TEST(StandardPicture, OversizedAndDamagedFail) {
    morna::test::TempBaseFolder folder("morna-pic");
    const std::vector<uint8_t> big = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                      0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20, 8, 6, 0, 0, 0, 0, 0, 0, 0};
    SDL_Surface* s = MakeSurface(16, 16, PngColour);
    ASSERT_EQ(IMG_SavePNG(s, (folder.Path() + "/p.png").c_str()), 0);
    SDL_FreeSurface(s);
    auto cutPng = morna::test::ReadBytes(folder.Path() + "/p.png");
    cutPng.resize(cutPng.size() / 2);
    std::vector<uint8_t> cutGif = WriteGif(40, 40, {{0, 0, 40, 40, false, 0, -1}});
    cutGif.resize(cutGif.size() / 2);
    // A GIF87a with a broken image block that once made a GIF reader free a pointer it never allocated.
    std::vector<uint8_t> badFree;
    const char* hex = "474946383761000000002700002c000102030405060304050607ff3700002801000f07";
    for (const char* h = hex; *h; h += 2) badFree.push_back(uint8_t(std::stoi(std::string(h, 2), nullptr, 16)));
    badFree.resize(badFree.size() + 50, 0xAE);
    for (const auto& bytes : {big, cutPng, cutGif, badFree}) {
        morna::test::WriteBytes(folder.Path() + "/p.bmp", bytes);
        morna::test::LogCapture log;
        CDIBitmap dib;
        EXPECT_EQ(dib.Load("p.bmp", 24), 1) << bytes.size();
        EXPECT_TRUE(log.Contains("CGraphicLoader::LoadOlePicture")) << bytes.size();
    }
}

// ---- plug-ins

std::vector<uint8_t> TspiFile(uint32_t w, uint32_t h, size_t padTo) {
    std::vector<uint8_t> f = {'T', 'S', 'P', 'I'};
    morna::test::PutLe(f, w, 4);
    morna::test::PutLe(f, h, 4);
    for (uint32_t y = 0; y < h && w < 4096; ++y)
        for (uint32_t x = 0; x < w; ++x) morna::test::PutLe(f, x * 0x10 << 16 | y * 0x20 << 8 | 0x42, 4);
    if (f.size() < padTo) f.resize(padTo, 0);
    return f;
}

// A plug-in in the SPI folder, chosen by the extension, decodes files of 2048 bytes or more;
// an oversized description is refused, a picture it cannot decode fails at drawing.
TEST(ImagePlugIn, AnswersOfALoad) {
    morna::test::TempBaseFolder folder("morna-spi");
    std::filesystem::create_directories(folder.Path() + "/SPI");
    std::filesystem::copy_file(MORNA_TEST_IMAGE_PLUGIN, folder.Path() + "/SPI/iftspi.spi");
    std::vector<uint8_t> undecodable = {'T', 'S', 'P', 'I', 64, 0, 0, 0, 64, 0, 0, 0};  // no pixels
    undecodable.resize(2048, 0);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        int answer;
    } cases[] = {
        {"a.tspi", TspiFile(5, 3, 2048), 0},       {"short.tspi", TspiFile(5, 3, 2047), 1},
        {"a.xyz", TspiFile(5, 3, 2048), 1},        {"big.tspi", TspiFile(20000, 20000, 2048), 2},
        {"bad.tspi", undecodable, 4},
    };
    morna::test::LogCapture log;
    for (const auto& c : cases) {
        morna::test::WriteBytes(folder.Path() + "/" + c.name, c.bytes);
        CDIBitmap dib;
        EXPECT_EQ(dib.Load(c.name, 24), c.answer) << c.name;
        if (c.answer != 0) continue;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelOf(dib, x, y), uint32_t(x * 0x10 << 16 | y * 0x20 << 8 | 0x42));
        tovarineGameSDK3rd::Auxiliary::CFile file;
        ASSERT_EQ(file.Read(c.name), 0);
        CGraphicLoader loader;
        ASSERT_EQ(loader.Load(&file), 0);
        EXPECT_EQ(loader.LoadToSurface(nullptr), -1);  // no direct path
    }
}

// ---- DIB bitmaps

TEST(DIBitmap, DescriptionFollowsTheBitDepth) {
    struct Want {
        int bpp;
        bool alpha;
        int32_t type, pitch;
    };
    for (const Want& c : {Want{8, false, 1, 8}, Want{15, false, RGB555, 12}, Want{16, false, RGB555, 12},
                          Want{24, false, RGB888, 16}, Want{32, false, XRGB8888, 20}, Want{24, true, ARGB8888, 20}}) {
        CDIBitmap dib;
        ASSERT_EQ(dib.CreateDIB(5, 3, c.bpp, c.alpha), 0) << c.bpp;
        const CSurfaceInfo& s = *dib.GetSurfaceInfo();
        EXPECT_TRUE(s.initialised);
        EXPECT_EQ(s.type, c.type) << c.bpp;
        EXPECT_EQ(s.pitch, c.pitch) << c.bpp;
    }
    CDIBitmap dib;
    EXPECT_EQ(dib.Clear(nullptr), 1);
    EXPECT_EQ(dib.CreateDIB(0, 3, 24, false), 1);
    EXPECT_EQ(dib.CreateDIB(4, 3, 12, false), 1);
    int w = 0, h = 0;
    EXPECT_EQ(dib.GetSize(&w, &h), 1);
    EXPECT_FALSE(dib.GetSurfaceInfo()->initialised);
}

TEST(DIBitmap, CopyFromDCTakesTheRectangle) {
    CDIBitmap from;
    ASSERT_EQ(from.CreateDIB(6, 4, 32, false), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) from.GetHDC()->SetPixel(x, y, uint32_t(x * 20) | uint32_t(y * 40) << 8 | 0x990000);
    CDIBitmap to;
    const Rect r{2, 1, 7, 3};  // one column beyond the source
    ASSERT_EQ(to.CopyFromDC(from.GetHDC(), &r, 24), 0);
    int w = 0, h = 0;
    to.GetSize(&w, &h);
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelOf(to, x, y), uint32_t(0x99 | (y + 1) * 40 << 8 | (x + 2) * 20 << 16));
    EXPECT_EQ(PixelOf(to, 4, 0), 0u);
    EXPECT_EQ(to.CopyFromDC(from.GetHDC(), nullptr, 24), 1);
}

TEST(DIBitmap, SavesAndLoadsBackABmp) {
    morna::test::TempBaseFolder folder("morna-pic");
    CDIBitmap a;
    ASSERT_EQ(a.CreateDIB(3, 2, 24, false), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) a.GetHDC()->SetPixel(x, y, uint32_t(0x10 * x + 0x40 * y + 1) * 0x010203u & 0xFFFFFF);
    ASSERT_EQ(a.SaveBitmap("s.bmp"), 0);
    EXPECT_EQ(morna::test::ReadBytes(folder.Path() + "/s.bmp").size(), 78u);
    CDIBitmap b;
    ASSERT_EQ(b.Load("s.bmp", 32), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(b, x, y), PixelOf(a, x, y));
}

}  // namespace
