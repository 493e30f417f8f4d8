// The message window: layout with fixed widths (28 a double-byte character, 14 a single byte),
// the frame timelines of typing, waiting and fading, and the box's draws on a recording surface.
#include "game/widgets/message_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "game/files/text_tables.h"
#include "tests/common/image_folder.h"
#include "tests/common/recording_surface.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using KestraneGameBase2::SKey;
using morna::test::DrawCall;
using morna::test::RecordingSurface;

int32_t Fixed(std::string_view ch) { return ch.size() == 2 ? 28 : 14; }

std::string Times(const std::string& s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

// The lines joined by "|", as their colour runs ("[8080ff:text]" unless white), a typing stop
// as "@index".
std::string Lines(std::string_view text, int32_t width) {
    std::string out;
    for (const SMessageLine& l : LayoutMessage(text, width, Fixed)) {
        if (!out.empty()) out += '|';
        for (const SColourRun& r : SplitColourRuns(l.text.view())) {
            char colour[8];
            std::snprintf(colour, sizeof colour, "%06x", r.colour);
            out += r.colour == 0xFFFFFF ? r.text.c_str() : "[" + std::string(colour) + ":" + r.text.c_str() + "]";
        }
        if (l.typingStop != CMessageWindow::kNoWait) out += "@" + std::to_string(l.typingStop);
    }
    return out;
}

TEST(MessageLayout, KinsokuColourCodesPausesAndTextEnds) {
    const std::string a19 = Times("あ", 19), a20 = Times("あ", 20), s40 = Times("a", 40);
    const struct {
        std::string text;
        int32_t width;
        std::string lines;
    } rows[] = {
        {a20 + "aa", 584, a20 + "a|a"},  // 574 fits the default usable width, 588 does not
        {a20 + "a", 574, a20 + "a"},     // a line may fill it exactly
        {a20 + "。い", 584, a20 + "。|い"},
        {a20 + "。、", 584, a20 + "。|、"},  // the second overflow ends the line
        {a20 + "'", 560, a20 + "'"},         // an apostrophe hangs after a double-byte character,
        {s40 + "'", 560, s40 + "|'"},        // not after a single byte
        {"「" + a20 + "\nい", 584, "「" + a19 + "|　あ|　い"},
        {"#r" + a20 + "あ#い", 584, "[8080ff:" + a20 + "]|[8080ff:あ]い"},
        {"#r赤#通常", 584, "[8080ff:赤]通常"},
        {"あ\\wい\\xう", 584, "あいxう@1"},
        {"ソw", 584, "ソw"},  // its trail byte 0x5C is no backslash
        {"あ#", 584, "あ"},
        {"あ\\", 584, "あ"},
        {"あ" "\x82", 584, "あ"},
        {"#赤い##y黄", 584, "い[80ffff:黄]"},  // a double-byte code is taken whole, as white
        {"あ\n\nい\n", 584, "あ||い"},
        {std::string("あ\0い", 4), 584, "あ"},
        {"", 584, ""},
    };
    for (const auto& r : rows) EXPECT_EQ(Lines(r.text, r.width), r.lines) << r.text;
}

struct WindowTest : ::testing::Test {
    WindowTest() { window.SetMeasure([](std::string_view ch, int32_t) { return Fixed(ch); }); }
    // A text from a cleared window: the frame on which Update first answers false.
    int Done(const char* text, uint32_t mask, int32_t mode = -1, int32_t lock = 0) {
        window.Clear();
        window.inputLock = lock;
        window.SetText(mode, text);
        for (int f = 1; f <= 200; ++f) {
            if (!window.Update(SKey(mask))) return f;
        }
        return -1;
    }
    morna::test::ImageFolder images;
    CMessageWindow window;
};

TEST_F(WindowTest, TypesOneCharacterAFrameWaitsForAKeyAndFades) {
    window.SetText(-1, "あい");
    // Per frame: the answer, the typed count (-1 once typed), the wait counter, the opacity.
    std::vector<std::string> trace;
    for (int f = 1; f <= 7; ++f) {
        const bool r = window.Update(SKey(f == 6 ? 0x100 : 0));
        trace.push_back(std::to_string(r) + "," + std::to_string(window.GetTyped()) + "," +
                        std::to_string(window.GetWaitCounter()) + "," + std::to_string(window.GetOpacity()));
    }
    EXPECT_EQ(trace, (std::vector<std::string>{"1,0,0,255", "1,1,0,255", "1,-1,-1,255", "1,-1,-2,255",
                                               "1,-1,-3,255", "1,-1,0,255", "0,-1,0,248"}));
    int fading = 1;
    while (!window.hidden && fading < 50) fading += !window.Update(SKey());
    EXPECT_EQ(fading, 33);
    EXPECT_TRUE(window.newPage);
}

TEST_F(WindowTest, PauseMarkInputLockFastForwardAndClear) {
    EXPECT_EQ(Done("あ\\wい", 0, 0) - Done("あい", 0, 0), 30);
    EXPECT_EQ(Done("あ", 0x100), 4);  // take, type, the key ends the wait, fade
    EXPECT_EQ(Done("あ", 0x100, -1, 15), 17);
    // Bit 15 held: each line complete on the frame after it is taken, the key wait skipped.
    EXPECT_EQ(Done("あいう\nかき\nく", 0x8000), 5);
    window.Clear();
    EXPECT_TRUE(!window.HasText() && window.hidden && !window.Update(SKey()));
}

TEST_F(WindowTest, BoxesTextRunsAndWaitMarkerWhereTheLayoutPutsThem) {
    RecordingSurface target(640, 480);
    auto draws = [&] {
        target.ClearLog();
        window.Draw(&target);
        std::vector<std::string> out;
        for (DrawCall c : target.Log()) {
            if (c.kind == "blt" && c.op == 1) continue;  // the marker helper's own blit
            // The box first, then the text: its size is the font's.
            if (c.kind == "blt" && !out.empty()) c.source = {}, c.rect.bottom = 0;
            out.push_back(c.Brief());
        }
        return out;
    };
    window.SetText(-1, "あい");
    window.Update(SKey());
    window.Update(SKey());  // one character typed: the run is cut after it
    EXPECT_EQ(draws(), (std::vector<std::string>{"14 (0,360) 640x104 =255", "14 (16,376) [0,0,28,0] =255"}));

    // The talk layout, waiting for a key: the marker bobs 4 pixels down.
    window.Clear();
    window.SetVisibleLines(4);
    window.SetWidth(600);
    window.indent = 104;
    window.SetText(-1, "あ");
    std::set<std::string> seen;
    for (int f = 0; f < 40; ++f) {
        window.Update(SKey());
        for (const std::string& d : draws()) seen.insert(d);
    }
    EXPECT_EQ(seen, (std::set<std::string>{"14 (20,336) 600x128 =255", "14 (140,352) =255",
                                           "-1 (308,448) [64,128,88,144]", "-1 (308,449) [64,128,88,144]",
                                           "-1 (308,450) [64,128,88,144]", "-1 (308,451) [64,128,88,144]",
                                           "-1 (308,452) [64,128,88,144]"}));
    // The fade reaches the text.
    window.Update(SKey(0x100));
    window.Update(SKey());
    EXPECT_EQ(draws(), (std::vector<std::string>{"14 (20,336) 600x128 =248", "14 (140,352) =248"}));
}

TEST_F(WindowTest, ColourRunsRenderInTheirColours) {
    RecordingSurface target(640, 480);
    window.SetText(-1, "#r赤#通常");
    for (int f = 0; f < 4; ++f) window.Update(SKey());
    window.Draw(&target);
    // The brightest pixel of the cells of characters [from, to) (x 16 + 28 c, row y 376).
    auto brightest = [&](int from, int to) {
        uint32_t best = 0;
        auto sum = [](uint32_t p) { return (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF); };
        for (int i = 0; i < 28 * 28 * (to - from); ++i) {
            const uint32_t p = target.Pixel(16 + 28 * from + i % (28 * (to - from)), 376 + i / (28 * (to - from)));
            if (sum(p) > sum(best)) best = p & 0xFFFFFF;
        }
        return best;
    };
    const uint32_t red = brightest(0, 1), white = brightest(1, 3);
    EXPECT_TRUE((red >> 16) > 0xC0 && (red >> 8 & 0xFF) + 0x40 < (red >> 16) && (red & 0xFF) + 0x40 < (red >> 16))
        << std::hex << red;
    EXPECT_TRUE((white >> 16) > 0xC0 && (white >> 8 & 0xFF) > 0xC0 && (white & 0xFF) > 0xC0) << std::hex << white;
}

TEST(WindowPlane, BackgroundWordsAndFrameTiles) {
    for (const auto& [display, alpha, word] :
         {std::tuple{RGB565, true, 0x00030000u}, {XRGB8888, true, 0x3F000000u}, {XRGB8888, false, 0u}}) {
        CFastDraw draw;
        draw.GetDDraw()->SetDisplayMode(display, 64, 48);
        bool retry = false;
        ASSERT_EQ(draw.GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
        CFastPlane plane(&draw);
        ASSERT_EQ(window_plane::Prepare(plane, 40, 20, alpha), 0);
        uint32_t raw = 0;
        std::memcpy(&raw, plane.GetSurfaceInfo()->pixels, 4);
        EXPECT_EQ(raw & (alpha ? 0xFFFFFFFF : 0xFFFFFF), word);
    }

    // Every border pixel comes from the tile of its place in the style's cell, once.
    const int w = 600, h = 104, style = 5, cx = 64, cy = 256;
    RecordingSurface plane(w, h);
    window_plane::DrawFrame(plane, style);
    std::vector<int> source(w * h, -1);
    for (const DrawCall& c : plane.Calls("helper")) {
        for (int y = 0; y < c.rect.bottom - c.rect.top; ++y) {
            for (int x = 0; x < c.rect.right - c.rect.left; ++x) {
                int& s = source[(c.point.y + y) * w + c.point.x + x];
                EXPECT_EQ(s, -1);
                s = (c.rect.top + y) * 1000 + c.rect.left + x;
            }
        }
    }
    auto along = [](int v, int size) { return v < 16 ? v : v >= size - 16 ? v - size + 48 : 16 + (v - 16) % 16; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool border = x < 16 || y < 16 || x >= w - 16 || y >= h - 16;
            const int want = border ? (cy + along(y, h)) * 1000 + cx + along(x, w) : -1;
            ASSERT_EQ(source[y * w + x], want) << x << "," << y;
        }
    }
}

// Every help and talk page of the data set fits the four lines of its layout: width 600 less
// two font sizes, and less the face's indent of 104 in a talk.
TEST(MessageData, HelpAndTalkPagesFitFourLines) {
    const std::string folder = MORNA_SOURCE_DIR "/data/text/";
    auto read = [&](const std::string& name) {
        std::ifstream in(folder + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    if (!std::filesystem::exists(folder + "help.txt")) GTEST_SKIP() << "the data set's text tables are not in the tree";
    std::vector<tovarineGameSDK3rd::VTL::VTLstring> help;
    ParseHelp(read("help.txt"), help);
    EXPECT_FALSE(help.empty());
    for (const auto& page : help) EXPECT_LE(LayoutMessage(page.view(), 544, Fixed).size(), 4u) << page.c_str();
    for (int id = 1; id <= 13; ++id) {
        std::vector<STalkPage> pages;
        ParseTalk(read("talk" + std::string(id < 10 ? "0" : "") + std::to_string(id) + ".txt"), pages);
        EXPECT_FALSE(pages.empty()) << id;
        for (const STalkPage& p : pages) EXPECT_LE(LayoutMessage(p.text.view(), 440, Fixed).size(), 4u) << id;
    }
}

}  // namespace
