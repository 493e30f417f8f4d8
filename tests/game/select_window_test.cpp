// The select window: the cursor keys with their sound, the opening and closing animation, and
// the box and the cursor bar on a recording surface.
#include "game/widgets/select_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/image_folder.h"
#include "tests/common/recording_sounds.h"
#include "tests/common/recording_surface.h"

namespace {

using KestraneGameBase2::SKey;
using morna::test::DrawCall;
using morna::test::RecordingSurface;

constexpr uint32_t kUp = 1, kLeft = 2, kDown = 4;

struct SelectTest : ::testing::Test {
    std::vector<std::string> Draws(bool cursor) {
        target.ClearLog();
        cursor ? window.DrawCursor(&target) : window.Draw(&target);
        std::vector<std::string> out;
        for (const DrawCall& c : target.Calls("blt")) out.push_back(c.Brief());
        return out;
    }
    morna::test::ImageFolder images;
    RecordingSurface target{640, 480};
    morna::test::RecordingSE sounds{images.Path()};
    CSelectWindow window;
};

TEST_F(SelectTest, CursorKeysWrapAndSoundOnlyWhenTheCursorMoves) {
    const struct {
        int32_t from;
        uint32_t keys;
        int32_t to;
    } rows[] = {{0, kUp, 2},   {2, kDown, 0}, {1, 0, 1}, {3, kUp, 2},
                {3, kDown, 0}, {3, kLeft, 0}, {3, 0, 3}, {-1, kUp, 2}};
    for (const auto& r : rows) {
        window.Open(208, 256, 224, r.from, "始める\nランキング\t終了");
        window.Render(true);
        sounds.played.clear();
        EXPECT_EQ(window.Update(SKey(r.keys)), r.to != r.from) << r.from << " " << r.keys;
        EXPECT_EQ(window.cursor, r.to);
        const std::vector<morna::test::SPlay> cursorSound{{100, false}};
        EXPECT_EQ(sounds.played, r.to != r.from ? cursorSound : std::vector<morna::test::SPlay>());
    }
}

TEST_F(SelectTest, OpensAndClosesInSixteenFramesAndStaysClosedUntilOpened) {
    window.Open(208, 256, 224, 0, "a\nb\nc");
    window.Render(false);
    std::vector<int32_t> settled;  // frames on which the animation ended
    for (int f = 1; f <= 40 && settled.size() < 2; ++f) {
        const int32_t before = window.fade;
        EXPECT_FALSE(window.Update(SKey(kDown)));
        // Half grown: the top 56 of 112 rows, the bottom edge right under them.
        if (f == 8) {
            EXPECT_EQ(Draws(false), (std::vector<std::string>{"14 (208,256) 224x112 [0,0,224,56] =255",
                                                              "14 (208,312) 224x112 [0,104,224,112] =255"}));
        }
        if (before == 0 || window.fade != 0) continue;
        settled.push_back(f);
        window.Render(false);
        window.fade = -255;
    }
    EXPECT_EQ(settled, (std::vector<int32_t>{16, 32}));
    EXPECT_EQ(window.cursor, 0);  // keys do nothing while animating or closed
    for (int f = 0; f < 3; ++f) EXPECT_FALSE(window.Update(SKey(kDown)));
    EXPECT_TRUE(window.closed);
    window.Open(208, 256, 224, 0, "a\nb\nc");
    EXPECT_FALSE(window.closed);
}

TEST_F(SelectTest, CursorBarPiecesAndBlink) {
    window.Open(100, 50, 224, 3, "a\nb\nc");
    EXPECT_TRUE(Draws(true).empty());  // no item chosen
    window.Update(SKey(kDown));        // item 0, blink 0
    std::vector<std::string> bars;
    for (int blink = 0; blink < 32; ++blink) {
        if (blink == 0 || blink == 15 || blink == 16 || blink == 31) bars.push_back(Draws(true).at(0));
        window.Update(SKey());
    }
    EXPECT_EQ(bars, (std::vector<std::string>{"15 (116,57) [0,192,4,216] =127", "15 (116,57) [0,192,4,216] =247",
                                              "15 (116,57) [0,192,4,216] =255", "15 (116,57) [0,192,4,216] =135"}));
    // 4 + 184 + 4 columns at 224; at 320 the middle repeats, its last piece cut.
    window.Open(100, 50, 224, 1, "a\nb");
    EXPECT_EQ(Draws(true), (std::vector<std::string>{"15 (116,89) [0,192,4,216] =127",
                                                     "15 (120,89) [4,192,188,216] =127",
                                                     "15 (304,89) [188,192,192,216] =127"}));
    window.Open(100, 50, 320, 1, "a\nb");
    EXPECT_EQ(Draws(true), (std::vector<std::string>{"15 (116,89) [0,192,4,216] =127",
                                                     "15 (120,89) [4,192,188,216] =127",
                                                     "15 (304,89) [4,192,100,216] =127",
                                                     "15 (400,89) [188,192,192,216] =127"}));
}

}  // namespace
