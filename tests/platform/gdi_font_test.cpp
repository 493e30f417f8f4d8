#include "platform/gdi_font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace morna::platform {
namespace {

// Face names as the program holds them (Shift-JIS).
const std::string kMsGothic = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";              // ＭＳ ゴシック
const std::string kMsPGothic = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";     // ＭＳ Ｐゴシック
const std::string kVlPGothic = "VL P\x83\x53\x83\x56\x83\x62\x83\x4e";                            // VL Pゴシック
const std::string kA = "\x82\xa0";       // あ
const std::string kIchi = "\x88\xea";    // 一 (no vertical alternate)
const std::string kChoon = "\x81\x5b";   // ー (has one)

struct Canvas {
    int32_t w, h;
    std::vector<uint8_t> px;
    Canvas(int32_t width, int32_t height, uint8_t fill = 0) : w(width), h(height), px(size_t(width) * height * 4, fill) {}
    PixelTarget Target() { return {px.data(), w, h, w * 4, 32}; }
    const uint8_t* At(int32_t x, int32_t y) const { return &px[(size_t(y) * w + x) * 4]; }
    // Box of the pixels whose blue byte differs from `back`: x0, y0, x1, y1 (exclusive); empty: x0 > x1.
    std::vector<int32_t> Ink(uint8_t back = 0) const {
        std::vector<int32_t> b{w, h, 0, 0};
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if (At(x, y)[0] != back) {
                    b[0] = std::min(b[0], x), b[1] = std::min(b[1], y);
                    b[2] = std::max(b[2], x + 1), b[3] = std::max(b[3], y + 1);
                }
        return b;
    }
    int Count(uint8_t back = 0) const {
        int n = 0;
        for (int32_t i = 0; i < w * h; ++i) n += px[size_t(i) * 4] != back;
        return n;
    }
};

std::unique_ptr<Font> Make(const std::string& face, int32_t height = 16, int32_t quality = kQualityAntialiased,
                           int32_t weight = 400, bool underline = false, bool strike = false) {
    FontRequest r;
    r.height = height;
    r.weight = weight;
    r.quality = quality;
    r.underline = underline;
    r.strikeOut = strike;
    r.faceName = face;
    return Font::Create(r);
}

void Draw(Font& f, Canvas& c, int32_t x, int32_t y, const std::string& text, uint32_t colour = 0xFFFFFF,
          int32_t mode = kBkTransparent, uint32_t back = 0) {
    TextContext tc;
    tc.SelectFont(&f);
    tc.SetTextColor(colour);
    tc.SetBkMode(mode);
    tc.SetBkColor(back);
    ASSERT_TRUE(tc.TextOut(c.Target(), x, y, text));
}

TEST(FontMatch, JapaneseNamesResolveToJapaneseFacesOfTheWantedPitch) {
    struct Case {
        std::string name;
        int32_t charset;
        bool japanese, fixed;
        const char* family;
    } cases[] = {
        {kMsGothic, kCharsetShiftJis, true, true, "VL Gothic"},
        {kMsPGothic, kCharsetShiftJis, true, false, "VL PGothic"},
        {kVlPGothic, kCharsetShiftJis, true, false, "VL PGothic"},
        {"DejaVu Sans", kCharsetShiftJis, true, true, "VL Gothic"},  // no Japanese: falls back
    };
    for (const Case& c : cases) {
        MatchedFace m;
        ASSERT_TRUE(MatchFontFace(c.name, c.charset, m)) << c.family;
        EXPECT_EQ(m.japanese, c.japanese) << c.family;
        EXPECT_EQ(m.fixedPitch, c.fixed) << c.family;
        EXPECT_EQ(m.family, c.family) << m.file;
    }
    // Without the Japanese character set the plain match stands, Latin as it is.
    MatchedFace plain;
    ASSERT_TRUE(MatchFontFace(kMsGothic, 0, plain));
    EXPECT_FALSE(plain.japanese) << plain.family;
}

TEST(FontMetrics, CellHeightIsTheRequestedHeightAndWidthsAddUp) {
    for (int32_t size : {12, 16, 24, 31}) {
        auto f = Make(kMsGothic, size);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->Height(), size);
        EXPECT_EQ(f->Ascent() + f->Descent(), size);
        EXPECT_GT(f->Ascent(), f->Descent());
        int32_t total = 0, cx = 0, cy = 0;
        const std::string text = "Ag" + kA + "W" + kIchi + "i.";
        for (size_t i = 0; i < text.size();) {
            const size_t n = (static_cast<unsigned char>(text[i]) >= 0x81) ? 2 : 1;
            f->MeasureText(text.substr(i, n), cx, cy);
            total += cx;
            i += n;
        }
        f->MeasureText(text, cx, cy);
        EXPECT_EQ(cx, total) << size;
        EXPECT_EQ(cy, size);
        // Half-width characters of a fixed-pitch face have one width.
        int32_t wi = 0, ww = 0, wdot = 0;
        f->MeasureText("i", wi, cy);
        f->MeasureText("W", ww, cy);
        f->MeasureText(".", wdot, cy);
        EXPECT_EQ(wi, ww);
        EXPECT_EQ(wi, wdot);
    }
    auto p = Make(kVlPGothic, 16);
    int32_t wi = 0, ww = 0, cy = 0;
    p->MeasureText("i", wi, cy);
    p->MeasureText("W", ww, cy);
    EXPECT_LT(wi, ww);
}

TEST(FontMetrics, BrokenShiftJisNeverSplitsOrCrashes) {
    auto f = Make(kMsGothic);
    int32_t whole = 0, lone = 0, cy = 0;
    f->MeasureText(kA, whole, cy);
    f->MeasureText(kA + "\x82", lone, cy);  // a lead byte at the end stands alone
    EXPECT_GT(lone, whole);
    int32_t bad = 0;
    f->MeasureText("\xA0\xFD\xFF", bad, cy);  // no characters: the missing glyph each
    EXPECT_GE(bad, 0);
    Canvas c(64, 20);
    Draw(*f, c, 0, 0, "\x80\x82");
}

TEST(TextOut, InkStaysInsideTheMeasuredBoxInTheTextColour) {
    auto f = Make(kMsGothic, 16, kQualityNonAntialiased);
    const std::string text = "Ag" + kA + kIchi;
    int32_t cx = 0, cy = 0;
    f->MeasureText(text, cx, cy);
    Canvas c(100, 40);
    Draw(*f, c, 10, 7, text, 0x00336699);
    const auto ink = c.Ink();
    EXPECT_GE(ink[0], 10);
    EXPECT_GE(ink[1], 7);
    EXPECT_LE(ink[2], 10 + cx);
    EXPECT_LE(ink[3], 7 + cy);
    EXPECT_GT(c.Count(), 40);
    // Full coverage gives the colour itself, blue first; the fourth byte is cleared.
    bool full = false;
    for (int32_t y = 0; y < c.h; ++y)
        for (int32_t x = 0; x < c.w; ++x)
            if (c.At(x, y)[2] == 0x99) {
                full = true;
                EXPECT_EQ(c.At(x, y)[0], 0x33);
                EXPECT_EQ(c.At(x, y)[1], 0x66);
            }
    EXPECT_TRUE(full);
}

TEST(TextOut, QualityThreeIsOneBitOthersAreGrey) {
    for (int32_t q : {kQualityDefault, kQualityDraft, kQualityProof, kQualityNonAntialiased, kQualityAntialiased}) {
        auto f = Make(kMsGothic, 16, q);
        EXPECT_EQ(f->Monochrome(), q == kQualityNonAntialiased);
        Canvas c(80, 20);
        Draw(*f, c, 0, 0, kA + "Ag");
        bool grey = false;
        for (int32_t i = 0; i < c.w * c.h; ++i) grey |= c.px[size_t(i) * 4] != 0 && c.px[size_t(i) * 4] != 255;
        EXPECT_EQ(grey, q != kQualityNonAntialiased) << q;
    }
}

TEST(TextOut, OpaqueModeFillsExactlyTheTextBox) {
    auto f = Make(kMsGothic, 16);
    int32_t cx = 0, cy = 0;
    f->MeasureText("ab" + kA, cx, cy);
    Canvas c(60, 30, 0x11);
    Draw(*f, c, 3, 4, "ab" + kA, 0xFFFFFF, kBkOpaque, 0x00C08040);
    for (int32_t y = 0; y < c.h; ++y)
        for (int32_t x = 0; x < c.w; ++x) {
            const bool inside = x >= 3 && x < 3 + cx && y >= 4 && y < 4 + cy;
            if (!inside) EXPECT_EQ(c.At(x, y)[0], 0x11) << x << "," << y;
            else EXPECT_NE(c.At(x, y)[0], 0x11) << x << "," << y;  // background or glyph, never left as it was
        }
    EXPECT_EQ(c.At(3, 4)[0], 0xC0);
    EXPECT_EQ(c.At(3, 4)[2], 0x40);
}

TEST(TextOut, UnderlineStrikeOutAndWeightAddInk) {
    auto plain = Make(kMsGothic, 16);
    auto under = Make(kMsGothic, 16, kQualityAntialiased, 400, true);
    auto strike = Make(kMsGothic, 16, kQualityAntialiased, 400, false, true);
    auto bold = Make(kMsGothic, 16, kQualityAntialiased, 700);
    Canvas a(40, 20), b(40, 20), s(40, 20);
    Draw(*plain, a, 0, 0, "   ");
    Draw(*under, b, 0, 0, "   ");
    Draw(*strike, s, 0, 0, "   ");
    EXPECT_EQ(a.Count(), 0);
    const auto ub = b.Ink(), sb = s.Ink();
    int32_t cx = 0, cy = 0;
    under->MeasureText("   ", cx, cy);
    EXPECT_EQ(ub[0], 0);
    EXPECT_EQ(ub[2], cx);
    EXPECT_GE(ub[1], under->Ascent());  // below the baseline
    EXPECT_LT(sb[3], strike->Ascent());  // above it
    Canvas r(80, 20), k(80, 20);
    Draw(*plain, r, 0, 0, kA + "Ag");
    Draw(*bold, k, 0, 0, kA + "Ag");
    EXPECT_GT(k.Count(), r.Count());
}

TEST(TextOut, VerticalFaceTurnsFullWidthCharactersOnly) {
    auto h = Make(kMsGothic, 24);
    auto v = Make("@" + kMsGothic, 24);
    ASSERT_TRUE(v->Vertical());
    EXPECT_EQ(v->Face().file, h->Face().file);
    auto box = [](Font& f, const std::string& text) {
        Canvas c(60, 40);
        Draw(f, c, 10, 5, text);
        auto b = c.Ink();
        return std::make_pair(b[2] - b[0], b[3] - b[1]);  // ink width, height
    };
    // 漢 has no vertical form: turned, it is the upright glyph turned counter-clockwise about
    // the centre of its cell (advance A by height H), pixel for pixel, every row in place.
    const std::string kan = "\x8a\xbf";
    int32_t a = 0, ht = 0;
    h->MeasureText(kan, a, ht);
    Canvas up(60, 60), turned(60, 60);
    Draw(*h, up, 10, 10, kan);
    Draw(*v, turned, 10, 10, kan);
    auto half = [](int32_t n) { return n >= 0 ? n / 2 : -((1 - n) / 2); };  // toward minus infinity
    ASSERT_GT(up.Count(), 10);
    EXPECT_EQ(up.Count(), turned.Count());
    for (int32_t j = 0; j < ht; ++j)
        for (int32_t i = 0; i < a; ++i)
            ASSERT_EQ(*up.At(10 + i, 10 + j), *turned.At(10 + j + half(a - ht), 10 + half(a + ht) - 1 - i)) << i << "," << j;
    // ー has one (a vertical stroke), which the turn lays flat again.
    auto [cw, ch] = box(*v, kChoon);
    EXPECT_GT(cw, ch);
    // Half-width characters stay upright.
    auto [dw, dh] = box(*v, "-");
    EXPECT_GT(dw, dh);
    // Widths are the same sums either way.
    int32_t hx = 0, vx = 0, cy = 0;
    h->MeasureText(kIchi + "-" + kA, hx, cy);
    v->MeasureText(kIchi + "-" + kA, vx, cy);
    EXPECT_EQ(hx, vx);
}

TEST(TextOut, RefusesWithoutFontOrWithAnUnknownTarget) {
    TextContext tc;
    Canvas c(8, 8);
    EXPECT_FALSE(tc.TextOut(c.Target(), 0, 0, "a"));
    auto f = Make(kMsGothic);
    tc.SelectFont(f.get());
    PixelTarget t = c.Target();
    t.bitCount = 16;
    EXPECT_FALSE(tc.TextOut(t, 0, 0, "a"));
    // Far outside: clipped, no writes.
    EXPECT_TRUE(tc.TextOut(c.Target(), -1000, 1000, "abc"));
    EXPECT_EQ(c.Count(), 0);
}

}  // namespace
}  // namespace morna::platform
