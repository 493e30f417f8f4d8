#include "draw/font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovarineGameSDK3rd::Draw {
namespace {

namespace pf = morna::platform;

const char kMsGothic[] = "ＭＳ ゴシック";  // Shift-JIS at run time (g++ builds)

struct Canvas {
    int w, h;
    std::vector<uint8_t> px;
    Canvas(int width, int height, uint8_t fill = 0) : w(width), h(height), px(size_t(width) * height * 4, fill) {}
    pf::PixelTarget Target() { return {px.data(), w, h, w * 4, 32}; }
    uint32_t Rgb(int x, int y) const {  // 0x00RRGGBB
        const uint8_t* p = &px[(size_t(y) * w + x) * 4];
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
};

// Width of one line as the platform font of these settings measures it.
int32_t LineWidth(const CFont& f, const std::string& line) {
    auto font = f.CreateFont();
    int32_t cx = 0, cy = 0;
    font->MeasureText(line, cx, cy);
    return cx;
}

// The vertical face is the face with "@"; a size sets the line height; quality modes 0..4 store
// default, draft, proof, antialiased, non-antialiased and others are ignored; a formatted
// text is not cut at a fixed length.
TEST(CFont, Rules) {
    CFont f;
    f.SetVertical(true);
    EXPECT_EQ(std::string(f.GetFaceName().view()), std::string("@") + kMsGothic);
    f.SetSize(24);
    EXPECT_EQ(f.GetLineHeight(), 24);
    const int expected[] = {0, 1, 2, 4, 3};
    for (int mode = 0; mode < 5; ++mode) {
        f.SetQuality(mode);
        EXPECT_EQ(f.GetQuality(), expected[mode]);
    }
    f.SetQuality(5);
    f.SetQuality(-1);
    EXPECT_EQ(f.GetQuality(), 3);
    const std::string part(700, 'x');
    f.SetTextF("%s-%d", part.c_str(), 42);
    EXPECT_EQ(std::string(f.GetText().view()), part + "-42");
}

TEST(CFont, MeasuresLinesByTheFontItMakes) {
    CFont f;
    int w = -1, h = -1;
    EXPECT_EQ(f.GetSize(&w, &h), 1);  // empty: measures 0 and draws nothing
    EXPECT_EQ(w + h, 0);
    Canvas c(20, 20, 0x55);
    f.Draw(c.Target(), 0, 0);
    EXPECT_EQ(c.px, std::vector<uint8_t>(c.px.size(), 0x55));
    f.SetText("A");
    ASSERT_EQ(f.GetSize(&w, &h), 0);
    EXPECT_EQ(w, LineWidth(f, "A") + 3);
    EXPECT_EQ(h, 16 + 3);
    f.SetText("a\nbb");
    ASSERT_EQ(f.GetSize(&w, &h), 0);
    EXPECT_EQ(w, LineWidth(f, "bb") + 3);
    EXPECT_EQ(h, 20 + 16 + 3);
    f.SetText("a\n");  // the empty last line still has its height
    ASSERT_EQ(f.GetSize(&w, &h), 0);
    EXPECT_EQ(h, 20 + 16 + 3);
    f.SetItalic(true);
    f.SetText("bb");
    ASSERT_EQ(f.GetSize(&w, &h), 0);
    EXPECT_EQ(w, LineWidth(f, "bb") + 16 / 4 + 3);
}

TEST(CFont, LongLinesAreMeasuredWholeAndNeverSplitACharacter) {
    CFont f;
    // 255 single bytes then a double-byte character across the old 256-byte limit.
    const std::string line = std::string(255, 'a') + "漢字" + std::string(100, 'b');
    f.SetText(line.c_str());
    int w = 0, h = 0;
    ASSERT_EQ(f.GetSize(&w, &h), 0);
    EXPECT_EQ(w, 355 * LineWidth(f, "a") + LineWidth(f, "漢字") + 3);
    // Drawing covers the same width: ink reaches past the old limit.
    f.SetShadowColor(CFont::kNoColour);
    Canvas c(w, h);
    f.Draw(c.Target(), 0, 0);
    int right = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (c.Rgb(x, y)) right = std::max(right, x);
    EXPECT_GT(right, 300 * LineWidth(f, "a"));
}

TEST(CFont, PassesDrawShadowThenTextWithTheBackgroundOnce) {
    struct Case {
        uint32_t colour, shadow, back;
    } cases[] = {
        {0xFFFFFF, 0x808080, CFont::kNoColour},
        {CFont::kNoColour, 0x808080, CFont::kNoColour},  // only the shadow
        {0xFFFFFF, CFont::kNoColour, CFont::kNoColour},   // only the text
        {0x0000FF, 0x808080, 0x000000},                   // background under the shadow only
        {0x0000FF, CFont::kNoColour, 0x00FF00},           // background under the text
    };
    for (const Case& k : cases) {
        CFont f;
        f.SetQuality(4);  // one-bit glyphs: every ink pixel is exactly a colour
        f.SetText("A");
        f.SetColor(k.colour);
        f.SetShadowColor(k.shadow);
        f.SetBackColor(k.back);
        int w = 0, h = 0;
        ASSERT_EQ(f.GetSize(&w, &h), 0);
        Canvas c(w + 10, h + 10, 0x55);
        f.Draw(c.Target(), 4, 4);
        auto rgbOf = [](uint32_t colorref) { return (colorref & 0xFF) << 16 | (colorref & 0xFF00) | (colorref >> 16 & 0xFF); };
        int text = 0, shadow = 0, back = 0, other = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const uint32_t p = c.Rgb(x, y);
                if (p == 0x555555) continue;
                if (k.colour != CFont::kNoColour && p == rgbOf(k.colour)) ++text;
                else if (k.shadow != CFont::kNoColour && p == rgbOf(k.shadow)) ++shadow;
                else if (k.back != CFont::kNoColour && p == rgbOf(k.back)) ++back;
                else ++other;
            }
        EXPECT_EQ(other, 0);
        EXPECT_EQ(text > 0, k.colour != CFont::kNoColour);
        EXPECT_EQ(shadow > 0, k.shadow != CFont::kNoColour);
        EXPECT_EQ(back > 0, k.back != CFont::kNoColour);
        if (k.back != CFont::kNoColour) {
            // The box sits at the first pass's position: the shadow offset when there is a shadow.
            const int at = k.shadow != CFont::kNoColour ? 6 : 4;
            EXPECT_EQ(c.Rgb(at, at), rgbOf(k.back));
            EXPECT_EQ(c.Rgb(at - 1, at - 1), 0x555555u);
        }
        if (k.shadow != CFont::kNoColour && k.colour != CFont::kNoColour && k.back == CFont::kNoColour) {
            // The shadow is the text moved by (2, 2): wherever the text alone would be, shifted.
            CFont plain = f;
            plain.SetShadowColor(CFont::kNoColour);
            Canvas t(c.w, c.h, 0x55);
            plain.Draw(t.Target(), 6, 6);
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x)
                    if (t.Rgb(x, y) != 0x555555) {
                        EXPECT_NE(c.Rgb(x, y), 0x555555u) << x << "," << y;
                    }
        }
    }
}

}  // namespace
}  // namespace tovarineGameSDK3rd::Draw
