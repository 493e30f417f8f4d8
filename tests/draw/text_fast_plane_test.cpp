#include "draw/text_fast_plane.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "draw/fast_draw.h"
#include "draw/image_writer.h"
#include "draw/text_dib_bitmap.h"

namespace tovarineGameSDK3rd::Draw {
namespace {

// A display of the given format with its primary made; its size is set directly.
struct TextDisplay : CFastDraw {
    explicit TextDisplay(int32_t format, int w = 64, int h = 48) {
        GetDDraw()->SetDisplayMode(format, w, h);
        width_ = w, height_ = h;
        bool retry = false;
        EXPECT_EQ(GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
    }
};

std::vector<uint32_t> Pixels(ISurface& s) {
    int w = 0, h = 0;
    EXPECT_EQ(s.GetSize(&w, &h), 0);
    std::vector<uint32_t> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = 0;
            EXPECT_EQ(s.GetSurfaceInfo()->GetPixel(x, y, &c), 0);
            out.push_back(c);
        }
    return out;
}

void Prepare(CTextFastPlane& p, const char* text) {
    p.GetFont()->SetText(text);
    p.GetFont()->SetColor(0x0000FF);  // COLORREF red
}

TEST(CTextFastPlane, ModesMakeSurfacesOfTheMeasuredSizeAndRenderAgainAfterRestore) {
    for (int mode : {1, 2, 3}) {
        for (bool vertical : {false, true}) {
            TextDisplay d(XRGB8888);
            CTextFastPlane plane(&d);
            Prepare(plane, "文字A");
            plane.SetVertical(vertical);
            const int r = mode == 1 ? plane.UpdateText() : mode == 2 ? plane.UpdateTextAA() : plane.UpdateTextAA2();
            ASSERT_EQ(r, 0);
            EXPECT_EQ(plane.GetRenderMode(), mode);
            int fw = 0, fh = 0, w = 0, h = 0;
            plane.GetFont()->GetSize(&fw, &fh);
            ASSERT_EQ(plane.GetSize(&w, &h), 0);
            EXPECT_EQ(w, vertical ? fh : fw);
            EXPECT_EQ(h, vertical ? fw : fh);
            EXPECT_EQ(plane.IsAlpha(), mode != 1);

            // The plane holds what the bitmap renders.
            CTextDIBitmap bm;
            *bm.GetFont() = *plane.GetFont();
            bm.SetVertical(vertical);
            ASSERT_EQ(bm.Render(mode), 0);
            const std::vector<uint32_t> before = Pixels(plane);
            int red = 0;
            for (size_t i = 0; i < before.size(); ++i) {
                const uint32_t want = static_cast<const uint32_t*>(bm.GetPtr())[i];
                if (mode == 1) {
                    EXPECT_EQ(before[i] & 0xFFFFFF, want & 0xFFFFFF);
                } else {
                    EXPECT_EQ(before[i], want);
                }
                red += (before[i] >> 16 & 0xFF) > 0x80 && (before[i] & 0xFFFF) == 0 && (mode == 1 || before[i] >> 24);
            }
            EXPECT_GT(red, 5);

            // A lost surface comes back with the same picture, by the same mode.
            d.GetDDraw()->LoseAllSurfaces();
            d.RestorePlanes();
            EXPECT_EQ(Pixels(plane), before) << mode << " " << vertical;
            EXPECT_EQ(plane.GetRenderMode(), mode);
        }
    }
}

// Empty text makes no surface and keeps the mode; mode 1's background is the fill colour.
TEST(CTextFastPlane, EmptyTextAndModeOneBackground) {
    TextDisplay d(XRGB8888);
    CTextFastPlane plane(&d);
    EXPECT_EQ(plane.OnRestore(), 0);  // never rendered
    EXPECT_EQ(plane.UpdateTextAA(), 1);
    EXPECT_EQ(plane.GetRenderMode(), 0);
    Prepare(plane, "A");
    plane.SetFillColor(0x00123456);
    ASSERT_EQ(plane.UpdateText(), 0);
    EXPECT_EQ(Pixels(plane)[0] & 0xFFFFFF, 0x123456u);
    plane.GetFont()->SetText("");
    EXPECT_EQ(plane.UpdateTextAA2(), 1);
    EXPECT_EQ(plane.GetRenderMode(), 1);
}

// A sample for a person to look at: Japanese text with its shadow, horizontal and vertical,
// rendered by text planes and laid over a dark plane by their alpha, written as
// build/text_sample.bmp.
TEST(CTextFastPlane, JapaneseSampleWithShadowHorizontalAndVertical) {
    TextDisplay d(XRGB8888, 320, 240);
    CFastPlane canvas(&d);
    ASSERT_EQ(canvas.CreateSurface(320, 240), 0);
    canvas.SetFillColor(0x00203050);
    canvas.Clear(nullptr);
    CSurfaceInfo* dst = canvas.GetSurfaceInfo();
    for (auto [vertical, px0, py0] : {std::tuple{false, 10, 10}, std::tuple{true, 260, 60}}) {
        CTextFastPlane text(&d);
        text.GetFont()->SetText("日本語の文字、影つき。\nかなカナ漢字 ABC");
        text.GetFont()->SetSize(20);
        text.GetFont()->SetColor(0x00FFFF);  // yellow
        text.SetVertical(vertical);
        ASSERT_EQ(text.UpdateTextAA2(), 0);
        int w = 0, h = 0;
        ASSERT_EQ(text.GetSize(&w, &h), 0);
        const std::vector<uint32_t> px = Pixels(text);
        int ink = 0, shadowInk = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t s = px[size_t(y) * w + x], a = s >> 24;
                ink += a > 128 && (s & 0xFFFFFF) == 0xFFFF00;
                shadowInk += a > 128 && (s & 0xFFFFFF) == 0x808080;
                uint8_t* d8 = dst->pixels + size_t(py0 + y) * dst->pitch + size_t(px0 + x) * 4;
                for (int k = 0; k < 3; ++k)
                    d8[k] = static_cast<uint8_t>(((s >> (8 * k) & 0xFF) * a + d8[k] * (255 - a)) / 255);
            }
        EXPECT_GT(ink, 200);
        EXPECT_GT(shadowInk, 50);
    }
    const std::string file = std::string(MORNA_BUILD_DIR) + "/text_sample.bmp";
    std::filesystem::remove(file);
    std::string name = "Z:" + file;  // the file layer's form of an absolute path
    for (char& c : name) c = c == '/' ? '\\' : c;
    EXPECT_EQ(SaveBitmap(*dst, name.c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace tovarineGameSDK3rd::Draw
