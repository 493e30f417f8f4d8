#include "draw/text_dib_bitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovarineGameSDK3rd::Draw {
namespace {

constexpr uint32_t kNone = CFont::kNoColour;

struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;  // 0xAARRGGBB
    uint32_t At(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h ? px[size_t(y) * w + x] : 0; }
    uint32_t Alpha(int x, int y) const { return At(x, y) >> 24; }
};

Picture Take(CDIBitmap& bm) {
    Picture p;
    EXPECT_EQ(bm.GetSize(&p.w, &p.h), 0);
    const auto* src = static_cast<const uint32_t*>(bm.GetPtr());
    p.px.assign(src, src + size_t(p.w) * p.h);
    return p;
}

// Renders `text` in `mode`, with the given colours, horizontal or vertical.
Picture Render(int mode, const char* text, uint32_t colour, uint32_t shadow, bool vertical = false,
               uint32_t fill = 0, int quality = 2) {
    CTextDIBitmap bm;
    bm.GetFont()->SetQuality(quality);
    bm.GetFont()->SetText(text);
    bm.GetFont()->SetColor(colour);
    bm.GetFont()->SetShadowColor(shadow);
    bm.SetVertical(vertical);
    bm.GetSurfaceInfo()->fillColour = fill;
    EXPECT_EQ(bm.Render(mode), 0);
    return Take(bm);
}

// Mode 1 draws text and shadow on the fill colour at the font's size; the smooth modes colour
// the coverage with the text colour, grey at the edges; empty text makes nothing.
TEST(CTextDIBitmap, Modes) {
    CFont f;
    f.SetText("A");
    int w = 0, h = 0;
    ASSERT_EQ(f.GetSize(&w, &h), 0);
    const Picture p = Render(1, "A", 0xFFFFFF, 0x808080, false, 0x00203040, 4);  // one-bit
    ASSERT_EQ(std::make_pair(p.w, p.h), std::make_pair(w, h));
    int white = 0, grey = 0;
    for (uint32_t v : p.px) {
        white += (v & 0xFFFFFF) == 0xFFFFFF;
        grey += (v & 0xFFFFFF) == 0x808080;
    }
    EXPECT_GT(white, 5);
    EXPECT_GT(grey, 0);
    EXPECT_EQ(p.At(0, 0) & 0xFFFFFF, 0x203040u);
    for (int mode : {2, 3}) {
        const Picture s = Render(mode, "A", 0x0000FF, kNone);  // COLORREF red
        int partial = 0, ink = 0;
        for (uint32_t v : s.px) {
            if ((v >> 24) == 0) continue;  // the rim beyond the reduced picture stays clear
            EXPECT_EQ(v & 0xFFFFFF, 0xFF0000u);
            ++ink;
            partial += (v >> 24) < 255;
        }
        EXPECT_GT(ink, 5) << mode;
        EXPECT_GT(partial, 0) << mode;
    }
    for (int mode : {1, 2, 3}) {
        CTextDIBitmap bm;
        EXPECT_EQ(bm.Render(mode), 1);
        EXPECT_EQ(bm.GetSize(&w, &h), 1);
    }
}

TEST(CTextDIBitmap, ShadowLiesAtItsOffsetUnderTheText) {
    for (bool vertical : {false, true}) {
        for (int mode : {1, 2, 3}) {
            const char* text = "漢字A";
            const Picture text_only = Render(mode, text, 0xFFFFFF, kNone, vertical);
            const Picture shadow_only = Render(mode, text, kNone, 0x808080, vertical);
            const Picture both = Render(mode, text, 0xFFFFFF, 0x808080, vertical);
            ASSERT_EQ(text_only.w, both.w);
            ASSERT_EQ(shadow_only.h, both.h);
            auto inked = [mode](const Picture& p, int x, int y) {
                return mode == 1 ? (p.At(x, y) & 0xFFFFFF) != 0 : p.Alpha(x, y) != 0;
            };
            int shadowInk = 0;
            for (int y = 0; y < both.h; ++y)
                for (int x = 0; x < both.w; ++x) {
                    // The shadow is the text moved by (2, 2).
                    EXPECT_EQ(inked(shadow_only, x, y), inked(text_only, x - 2, y - 2))
                        << mode << " " << vertical << " " << x << "," << y;
                    shadowInk += inked(shadow_only, x, y);
                    if (mode == 1) continue;
                    // Text over shadow.
                    const uint32_t t = text_only.At(x, y), s = shadow_only.At(x, y);
                    const uint32_t at = t >> 24, as = (s >> 24) * (255 - at) / 255;
                    if (as == 0) {
                        EXPECT_EQ(both.At(x, y), t);
                    } else {
                        const uint32_t a = as + at;
                        const uint32_t g = (0x80 * as + 0xFF * at) / a;
                        EXPECT_EQ(both.At(x, y), a << 24 | g << 16 | g << 8 | g) << x << "," << y;
                    }
                }
            EXPECT_GT(shadowInk, 10);
        }
    }
}

TEST(CTextDIBitmap, VerticalTurnsThePictureClockwise) {
    for (int mode : {1, 2}) {
        const Picture h = Render(mode, "AB", 0xFFFFFF, kNone, false);
        const Picture v = Render(mode, "AB", 0xFFFFFF, kNone, true);
        ASSERT_EQ(v.w, h.h);
        ASSERT_EQ(v.h, h.w);
        // Half-width characters stay upright in the "@" face: the turned picture is the
        // horizontal one turned clockwise, pixel for pixel.
        for (int r = 0; r < h.h; ++r)
            for (int c = 0; c < h.w; ++c) ASSERT_EQ(v.At(h.h - 1 - r, c), h.At(c, r)) << mode;
    }
    // Full-width characters come out upright after the turn: 一 is a flat stroke.
    const Picture v = Render(2, "一", 0xFFFFFF, kNone, true);
    int x0 = v.w, x1 = 0, y0 = v.h, y1 = 0;
    for (int y = 0; y < v.h; ++y)
        for (int x = 0; x < v.w; ++x)
            if (v.Alpha(x, y) > 64) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    EXPECT_GT(x1 - x0, 3 * (y1 - y0 + 1));
}

}  // namespace
}  // namespace tovarineGameSDK3rd::Draw
