// The sine table by angle, the frame-rate overlay's two texts on its rendered plane, the
// bounded formatting, and the width of Japanese text.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>

#include "framework/font_measure.h"
#include "framework/fps_view.h"
#include "framework/sine_table.h"
#include "tests/common/image_folder.h"

namespace {

namespace KB = KestraneGameBase2;

TEST(SineTable, ShortPiConstantShowsOnlyWhereSineIsFlat) {
    KB::BuildSineTable();
    // Rounding hides the short constant at the peaks; at the half turn it shows.
    EXPECT_EQ(std::tuple(KB::SinTable[256], KB::SinTable[512], KB::SinTable[768]),
              std::tuple(1.0, 3.5897930298416118e-09, -1.0));
    // Byte angles: 192 is straight up, 64 down; the cosine is a quarter turn on.
    EXPECT_EQ(std::tuple(KB::CosOf(192), KB::SinOf(192), KB::CosOf(64), KB::SinOf(64), KB::CosOf(0)),
              std::tuple(0.0, -1.0, 3.5897930298416118e-09, 1.0, 1.0));
    EXPECT_EQ(KB::SinOf(32), KB::SinTable[128]);
}

TEST(FpsView, ShortAndLongTextsRenderIntoThePlane) {
    morna::test::ImageFolder display;
    KB::CFPSView view;
    tovarineGameSDK3rd::Draw::CTextFastPlane& plane = view.GetPlane();
    const auto rendered = [&](const char* text) {
        EXPECT_STREQ(plane.GetFont()->GetText().c_str(), text);
        int w = 0, h = 0, fw = 0, fh = 0;
        plane.GetSize(&w, &h);
        plane.GetFont()->GetSize(&fw, &fh);
        EXPECT_EQ(std::tuple(w, h), std::tuple(fw, fh)) << text;
        // White text with a black shadow on the key colour 0.
        uint32_t c = 0, white = 0;
        for (int i = 0; i < w * h; ++i) white += plane.GetSurfaceInfo()->GetPixel(i % w, i / w, &c) == 0 && (c & 0xFFFFFF) == 0xFFFFFF;
        EXPECT_GT(white, 0u) << text;
    };
    view.framesShown = 5;
    view.Update();
    rendered("FPS: 5");

    view.framesShown = 59;
    view.mode = 7;
    view.Update();
    const std::string text = plane.GetFont()->GetText().c_str();
    unsigned kb = 0;
    char tail = 0;
    ASSERT_EQ(std::sscanf(text.c_str(), "FPS( 59/  7) MEM(%uKB%c", &kb, &tail), 2) << text;
    EXPECT_EQ(tail, ')');
    EXPECT_LE(kb, 4194303u);  // the free memory is read as 32 bits
    rendered(text.c_str());
}

TEST(FpsView, FormattingIsCutToItsBuffer) {
    char s[16];
    char l[32];
    KB::FormatShort(s, "%s", "0123456789abcdefXYZ");
    KB::FormatLong(l, "FPS(%3d/%3d) MEM(%dKB)", -999, -999, -2147483647);
    EXPECT_EQ(std::tuple(std::string(s), std::string(l)),
              std::tuple(std::string("0123456789abcde"), std::string("FPS(-999/-999) MEM(-2147483647K")));
}

TEST(FontMeasure, WidthIsTheSumOfTheAdvances) {
    KB::CFontMeasure measure("VL ゴシック", 28);
    const int32_t one = measure.GetTextWidth("あ");
    EXPECT_GT(one, 0);
    EXPECT_EQ(measure.GetTextWidth("あいう"), 3 * one);
    EXPECT_EQ(measure.GetTextWidth(""), 0);
}

}  // namespace
