// The mouse layer on a window of SDL's dummy driver, frame by frame: SDL mouse events pushed
// for the window go through the pump and the platform's messages to the layer's hook, and the
// pointer is a fake position source.
#include "framework/mouse_layer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "framework/app_frame.h"
#include "platform/mouse.h"
#include "tests/common/app_thread.h"

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
using morna::test::BodyApp;
using Layer = KB::CMouseInner;
using Ints = std::vector<int32_t>;

struct MouseRun {
    BodyApp& app;
    Layer layer;
    int32_t x = 0, y = 0, originX = 0, originY = 0;  // the pointer in client coordinates; the client's corner
    uint32_t held = 0;                                 // SDL's button mask
    std::vector<std::string> warps;                    // in client coordinates

    explicit MouseRun(BodyApp& a) : app(a) {
        KB::GetSystemConfig().width = 640;  // the picture the window was made for
        KB::GetSystemConfig().height = 480;
        mp::ClientToScreen(app.GetHWnd(), originX, originY);
        mp::SetCursorSourceForTests({[this](int32_t& gx, int32_t& gy) { return gx = originX + x, gy = originY + y, true; },
                                     [this](int32_t gx, int32_t gy) {
                                         x = gx - originX, y = gy - originY;
                                         return warps.push_back(std::to_string(x) + "," + std::to_string(y)), true;
                                     }});
        layer.SetIdleLimit(1000);
    }
    ~MouseRun() { mp::SetCursorSourceForTests({}); }

    // "@x,y" moves, "+L"/"-R" press and release ("+L2": a second click), "w2" two notches up
    // ("w2f": SDL's flipped wheel); "keep" and "double" switch the layer's options.
    void Act(const std::string& a) {
        const uint32_t id = SDL_GetWindowID(mp::GetSdlWindow(app.GetHWnd()));
        SDL_Event e{};
        if (a[0] == '@') {
            std::sscanf(a.c_str(), "@%d,%d", &x, &y);
            e.motion = {SDL_MOUSEMOTION, 0, id, 0, held, x, y, 0, 0};
        } else if (a[0] == '+' || a[0] == '-') {
            const uint8_t button = a[1] == 'L' ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT, down = a[0] == '+';
            held = down ? (held | SDL_BUTTON(button)) : (held & ~SDL_BUTTON(button));
            e.button = {down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, 0, id, 0, button, down, uint8_t(a.size() > 2 ? 2 : 1), 0, x, y};
        } else if (a[0] == 'w') {
            const int n = std::atoi(a.c_str() + 1);
            e.wheel = {SDL_MOUSEWHEEL, 0, id, 0, 0, n, a.back() == 'f' ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL, 0, float(n), x, y};
        }
        if (a == "keep") layer.SetKeepWhenOutside(true);
        if (a == "double") layer.SetDoubleClick(Layer::kLeft, true);
        if (e.type != 0) SDL_PushEvent(&e);
    }
    // Acts, pumps, ticks; answers the buttons held ("L"), double clicks held ("2L"), and the
    // frame's results: drag started ">L", dragging "~L", drag ended "<L", click "!L".
    std::string Frame(const std::string& actions = "") {
        std::istringstream in(actions);
        for (std::string a; in >> a;) Act(a);
        app.IsThreadValid();
        layer.OnFrame();
        std::string out;
        auto add = [&](bool on, std::string what) { out += on ? (out.empty() ? "" : " ") + what : ""; };
        add(layer.IsLButton(), "L");
        add(layer.IsRButton(), "R");
        add(layer.IsDoubleClickHeld(Layer::kLeft), "2L");
        for (Layer::Button b : {Layer::kLeft, Layer::kRight}) {
            const std::string n = b == Layer::kLeft ? "L" : "R";
            add(layer.IsDragStarted(b), ">" + n);
            add(layer.IsDragging(b), "~" + n);
            add(layer.IsDragEnded(b), "<" + n);
            add(layer.IsClick(b), "!" + n);
        }
        return out;
    }
};

TEST(MouseLayer, ClicksDragsBlockingLeavingTheWindowDoubleClicksAndTheWheel) {
    const std::vector<std::pair<std::string, std::string>> timeline = {
        {"@100,100", ""}, {"+L", "L"}, {"@105,100", "L >L ~L"}, {"-L", "<L"},  // 5 pixels: a drag, whose end is no click
        {"+L", "L"}, {"-L", "!L"}, {"+R", "R"}, {"-R", "!R"},                   // a left click blocks nothing after it
        {"+L", "L"}, {"@103,103", "L"}, {"+R", "L R"}, {"-R", "L"}, {"-L", ""},  // a chord clicks neither
        {"+L @-5,50", ""}, {"-L @50,50", ""}, {"keep +L @-5,50", "L"}, {"-L @50,50", "!L"},  // outside: let go, unless kept
        {"+L2", "L"}, {"-L", "!L"}, {"double +L2", "2L"}, {"-L", ""},  // a double click is a press, or reported apart
    };
    morna::test::RunOnAppThread([&](BodyApp& app) {
        MouseRun run(app);
        for (size_t i = 0; i < timeline.size(); ++i) EXPECT_EQ(run.Frame(timeline[i].first), timeline[i].second) << i;
        run.Frame("w2");
        EXPECT_EQ(Ints({run.layer.TakeWheelUp(), run.layer.TakeWheelUp()}), Ints({2, 0}));
        run.Frame("w-2f w-1");  // flipped: two notches up; then one down
        std::vector<bool> edges;
        for (int i = 0; i < 3; ++i) {
            bool middle = true, up = false, down = false;
            run.layer.GetMiddleAndWheelEdges(middle, up, down);
            edges.insert(edges.end(), {middle, up, down});
        }
        EXPECT_EQ(edges, std::vector<bool>({false, true, true, false, true, false, false, false, false}));
    });
}

TEST(MouseLayer, RestingHidesAfterTheIdleLimitAMoveBringsItBackAndTheCountStaysAtZeroOrMinusOne) {
    morna::test::RunOnAppThread([&](BodyApp& app) {
        auto count = [] { return mp::ShowCursor(true), mp::ShowCursor(false); };
        while (count() != 0) mp::ShowCursor(count() < 0);
        KB::CursorShown() = 1;
        MouseRun run(app);
        run.layer.SetHideSystemCursor(false);
        run.layer.SetIdleLimit(60);
        Ints alphas;
        auto frames = [&](int n, int step, int from) {  // n frames moving `step` pixels each
            for (int i = 0; i < n; ++i) {
                run.Frame(step == 0 ? "" : "@" + std::to_string(from + step * (i % 100)) + ",100");
                alphas.push_back(run.layer.GetAlpha());
                EXPECT_EQ(count(), KB::CursorShown() == 1 ? 0 : -1);
                EXPECT_EQ(KB::CursorShown() == 0, run.layer.IsHidden());
            }
        };
        frames(201, 3, 100);  // 3 pixels a frame never rest
        frames(61, 0, 0);     // the 61st still frame hides, the next fades
        EXPECT_EQ(alphas, Ints(262, 255));
        frames(40, 0, 0);
        EXPECT_EQ(Ints(alphas.end() - 40, alphas.end() - 36), Ints({247, 239, 231, 223}));
        EXPECT_EQ(alphas.back(), 0);
        frames(1, 1, 400);  // faded out: back at once
        frames(63, 0, 0);   // hidden, then two frames of fading
        frames(2, 1, 300);  // still fading: fades back in from the next frame
        EXPECT_EQ(alphas[302], 255);
        EXPECT_EQ(Ints(alphas.end() - 4, alphas.end()), Ints({247, 239, 231, 239}));
    });
}

TEST(MouseLayer, FullScreenAndAResizedWindowMapThroughTheLetterboxAndASmoothMoveStepsThenLands) {
    morna::test::RunOnAppThread([&](BodyApp& app) {
        MouseRun run(app);
        run.Frame("@100,100");
        run.layer.StartSmoothMove(200, 50, 10);
        for (int i = 0; i < 7; ++i) run.Frame();
        EXPECT_EQ(run.warps, (std::vector<std::string>{"116,91", "133,83", "150,75", "166,66", "183,58", "200,50"}));

        // A window the manager sized to 1012 x 703 shows the picture 937 wide at x 37: the same
        // mapping, and a band is off the picture.
        ASSERT_TRUE(mp::ResizeWindow(app.GetHWnd(), 1012, 703));
        KB::SPoint p;
        run.layer.SetXY(500, 250);
        EXPECT_EQ(run.warps.back(), "770,367");
        run.layer.GetXY(p);
        EXPECT_EQ(Ints({p.x, p.y, run.layer.IsOutside()}), Ints({500, 250, 0}));
        EXPECT_EQ(run.Frame("+L @20,100"), "");  // pressed on the left band: let go
        run.layer.GetXY(p);
        EXPECT_EQ(Ints({p.x, p.y, run.layer.IsOutside()}), Ints({-12, 68, 1}));
        run.Frame("-L");
        // A window 1 pixel wide shows none of it: outside, at the place on the client area, the
        // buttons let go unless kept, and a warp moves nothing.
        ASSERT_TRUE(mp::ResizeWindow(app.GetHWnd(), 1, 480));
        EXPECT_EQ(run.Frame("+L @0,100"), "");
        run.layer.GetXY(p);
        EXPECT_EQ(Ints({p.x, p.y, run.layer.IsOutside()}), Ints({0, 100, 1}));
        EXPECT_EQ(run.Frame("-L keep +R @3,-7"), "R");
        run.layer.GetXY(p);
        EXPECT_EQ(Ints({p.x, p.y, run.layer.IsOutside()}), Ints({3, -7, 1}));
        run.layer.SetXY(500, 250);
        run.layer.StartSmoothMove(10, 10, 3);
        run.Frame("-R");
        EXPECT_EQ(Ints({run.x, run.y}), Ints({3, -7}));
        EXPECT_EQ(run.warps.back(), "770,367");
        run.layer.SetKeepWhenOutside(false);
        ASSERT_TRUE(mp::ResizeWindow(app.GetHWnd(), 640, 480));

        // The dummy desktop is 1024 x 768: a 640 x 480 picture fills it, 640 x 400 has bars.
        ASSERT_TRUE(mp::SetWindowStyle(app.GetHWnd(), mp::WS_POPUP));
        app.GetWindow()->SetFullScreen(true);
        KB::GetSystemConfig().width = 640;
        KB::GetSystemConfig().height = 480;
        run.originX = run.originY = 0;
        run.x = 800, run.y = 400;
        run.layer.GetXY(p);
        EXPECT_EQ(Ints({p.x, p.y, run.layer.IsOutside()}), Ints({500, 250, 0}));
        run.layer.SetXY(500, 250);
        EXPECT_EQ(run.warps.back(), "800,400");
        for (int32_t x = 0; x < 640; ++x) {  // each picture pixel comes back from where it is shown
            int32_t px = x, py = 399 - x % 400;
            ASSERT_TRUE(mp::PictureToScreen(app.GetHWnd(), 640, 400, px, py));
            mp::ScreenToPicture(app.GetHWnd(), 640, 400, px, py);
            ASSERT_EQ(Ints({px, py}), Ints({x, 399 - x % 400}));
        }
        int32_t bx = -3, by = 10;  // on the bar above the picture, left of the screen
        mp::ScreenToPicture(app.GetHWnd(), 640, 400, bx, by);
        EXPECT_EQ(Ints({bx, by}), Ints({0, 0}));
        app.GetWindow()->SetFullScreen(false);
    });
}

}  // namespace
