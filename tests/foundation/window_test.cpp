#include "foundation/window/window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "foundation/window/ime_wrapper.h"
#include "platform/window.h"
#include "tests/common/log_capture.h"

namespace mp = morna::platform;
using namespace tovarineGameSDK3rd;
using Window::CWindow;
using Window::CWindowOption;

namespace {

// Records what it sees; answers `answer` for one message number.
class RecordingHook : public Window::IWinHook {
public:
    explicit RecordingHook(std::vector<int>* log, int id, UINT claims = 0, LRESULT answer = 0)
        : m_log(log), m_id(id), m_claims(claims), m_answer(answer) {}
    LRESULT WndProc(HWND, UINT msg, WPARAM, LPARAM) override {
        if (msg == m_claims || msg == mp::WM_USER) m_log->push_back(m_id);
        return msg == m_claims ? m_answer : 0;
    }

private:
    std::vector<int>* m_log;
    int m_id;
    UINT m_claims;
    LRESULT m_answer;
};

CWindowOption SmallWindow(const char* className = "MornaWindowTest") {
    CWindowOption o;
    o.caption = "ウィンドウ";
    o.className = className;
    o.width = 320;
    o.height = 240;
    return o;
}

void PushWindowEvent(HWND hwnd, SDL_WindowEventID id) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = static_cast<uint8_t>(id);
    e.window.windowID = SDL_GetWindowID(mp::GetSdlWindow(hwnd));
    SDL_PushEvent(&e);
}

void Pump() {
    mp::WindowMessage m;
    while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
}

}  // namespace

// A hook added twice runs twice and one Del removes both; the first non-zero answer wins
// (later hooks do not run), else the previous procedure's (not for DispatchHooksOnly).
TEST(WinHookList, OrderAnswersAndRemoval) {
    std::vector<int> log;
    RecordingHook quiet(&log, 1, mp::WM_CLOSE, 0), claims(&log, 2, mp::WM_CLOSE, 5), late(&log, 3, mp::WM_CLOSE, 9);
    Window::CWinHookList list;
    list.Add(&quiet);
    list.Add(&claims);
    list.Add(&quiet);
    list.Dispatch(7, mp::WM_USER, 0, 0, nullptr);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 1}));
    list.Del(&quiet);
    list.Add(&late);
    log.clear();
    EXPECT_EQ(list.Dispatch(7, mp::WM_CLOSE, 0, 0, nullptr), 5);
    EXPECT_EQ(list.DispatchHooksOnly(7, mp::WM_CLOSE, 0, 0, nullptr), 5);
    EXPECT_EQ(log, (std::vector<int>{2, 2}));
    EXPECT_EQ(list.GetCount(), 2);

    static int previousCalls;
    previousCalls = 0;
    auto previous = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++previousCalls + 40; };
    list.Clear();
    list.Add(&quiet);
    EXPECT_EQ(list.Dispatch(7, mp::WM_CLOSE, 0, 0, previous), 41);
    EXPECT_EQ(list.DispatchHooksOnly(7, mp::WM_CLOSE, 0, 0, previous), 0);
    EXPECT_EQ(previousCalls, 1);
}

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override { CWindow().SetFullScreen(false); }
    morna::test::LogCapture m_log;
};

// Created centred, shown, with its caption; a hook claiming the close keeps the window; with
// only the window's own hook the default procedure destroys it and WM_NCDESTROY clears the
// handle; a zero size is created but not shown.
TEST_F(WindowTest, CreatesCentredAndClosesThroughItsHooks) {
    CWindow window;
    ASSERT_EQ(window.Create(SmallWindow()), 0);
    HWND hwnd = window.GetHWnd();
    ASSERT_NE(hwnd, 0u);
    int32_t w = 0, h = 0, x = 0, y = 0, sw = 0, sh = 0;
    ASSERT_TRUE(mp::GetClientSize(hwnd, w, h));
    ASSERT_TRUE(mp::GetScreenSize(sw, sh));
    ASSERT_TRUE(mp::GetWindowPosition(hwnd, x, y));
    EXPECT_EQ(std::vector<int32_t>({w, h, x, y}), std::vector<int32_t>({320, 240, (sw - 320) >> 1, (sh - 240) >> 1}));
    EXPECT_TRUE(mp::IsWindowVisible(hwnd));
    EXPECT_EQ(mp::GetWindowCaption(hwnd), std::string("ウィンドウ"));

    std::vector<int> log;
    RecordingHook keeper(&log, 1, mp::WM_CLOSE, 1);
    window.GetHookList()->Add(&keeper);
    EXPECT_EQ(mp::SendWindowMessage(hwnd, mp::WM_CLOSE, 0, 0), 1);
    EXPECT_TRUE(mp::IsWindow(hwnd));
    window.GetHookList()->Del(&keeper);
    mp::SendWindowMessage(hwnd, mp::WM_CLOSE, 0, 0);
    EXPECT_FALSE(mp::IsWindow(hwnd));
    EXPECT_EQ(window.GetHWnd(), 0u);

    CWindowOption o = SmallWindow();
    o.width = o.height = 0;
    CWindow hidden;
    ASSERT_EQ(hidden.Create(o), 0);
    EXPECT_FALSE(mp::IsWindowVisible(hidden.GetHWnd()));
    EXPECT_TRUE(hidden.Destroy());
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(WindowTest, OnlyTheExactSystemClassNameIsSubclassed) {
    std::vector<int> log;
    RecordingHook hook(&log, 1);
    CWindow exact, otherCase;
    ASSERT_EQ(exact.Create(SmallWindow("STATIC")), 0);
    ASSERT_EQ(otherCase.Create(SmallWindow("Static")), 0);
    exact.GetHookList()->Add(&hook);
    otherCase.GetHookList()->Add(&hook);
    mp::SendWindowMessage(exact.GetHWnd(), mp::WM_USER, 0, 0);
    EXPECT_EQ(log.size(), 1u);
    mp::SendWindowMessage(otherCase.GetHWnd(), mp::WM_USER, 0, 0);
    EXPECT_EQ(log.size(), 1u);  // the system's procedure kept the message
    // Neither was registered as a class of ours.
    mp::WindowClass cls;
    ASSERT_TRUE(mp::FindWindowClass("static", &cls));
    EXPECT_EQ(cls.procedure, &mp::DefaultWindowProcedure);
}

TEST_F(WindowTest, FailuresAreReportedAndAnswerOne) {
    CWindow noClass;
    EXPECT_EQ(noClass.Create(SmallWindow("")), 1);
    CWindowOption dialog = SmallWindow();
    dialog.dialogTemplate = 31999;  // no such template
    CWindow noDialog;
    EXPECT_EQ(noDialog.Create(dialog), 1);
}

TEST_F(WindowTest, DialogTemplateGivesADialogWhoseHooksSeeItsMessages) {
    mp::RegisterDialogTemplate(31001, {"設定", 200, 100, mp::WS_POPUP | mp::WS_CAPTION});
    CWindowOption o = SmallWindow();
    o.dialogTemplate = 31001;
    CWindow dialog;
    ASSERT_EQ(dialog.Create(o), 0);
    EXPECT_TRUE(dialog.IsDialog());
    std::vector<int> log;
    RecordingHook hook(&log, 1, mp::WM_USER + 1, 3);
    dialog.GetHookList()->Add(&hook);
    EXPECT_EQ(mp::SendWindowMessage(dialog.GetHWnd(), mp::WM_USER + 1, 0, 0), 3);
    EXPECT_EQ(mp::SendWindowMessage(dialog.GetHWnd(), mp::WM_USER + 2, 0, 0), 0);
    // A close is not claimed and a dialog's default handling destroys nothing.
    mp::SendWindowMessage(dialog.GetHWnd(), mp::WM_CLOSE, 0, 0);
    EXPECT_TRUE(mp::IsWindow(dialog.GetHWnd()));
}

TEST_F(WindowTest, MinimisedFlagFollowsSizeAndActivation) {
    CWindow window;
    ASSERT_EQ(window.Create(SmallWindow()), 0);
    Pump();
    PushWindowEvent(window.GetHWnd(), SDL_WINDOWEVENT_MINIMIZED);
    Pump();
    EXPECT_TRUE(window.IsMinimized());
    PushWindowEvent(window.GetHWnd(), SDL_WINDOWEVENT_RESTORED);
    Pump();
    EXPECT_FALSE(window.IsMinimized());
    PushWindowEvent(window.GetHWnd(), SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(window.GetHWnd(), SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_TRUE(window.IsMinimized());
    PushWindowEvent(window.GetHWnd(), SDL_WINDOWEVENT_FOCUS_GAINED);
    Pump();
    EXPECT_FALSE(window.IsMinimized());
}

TEST_F(WindowTest, ScreenModeSwitchesOnlyOnAChangeAndSwitchesTheInputMethod) {
    CWindow window;
    ASSERT_EQ(window.Create(SmallWindow()), 0);
    HWND hwnd = window.GetHWnd();
    Window::CHWndManager::GetInstance()->SetHWnd(hwnd);

    window.ChangeScreenMode();  // no change, nothing pending
    EXPECT_FALSE(mp::IsFullScreenWindow(hwnd));

    window.SetFullScreen(true);
    EXPECT_FALSE(mp::IsFullScreenWindow(hwnd));  // only at the next ChangeScreenMode
    window.ChangeScreenMode();
    EXPECT_TRUE(mp::IsFullScreenWindow(hwnd));
    EXPECT_EQ(Window::CIMEWrapper::GetInstance()->GetState(), 2);
    EXPECT_FALSE(mp::IsInputMethodEnabled(hwnd));
    EXPECT_FALSE(window.SetPos(10, 10));  // full screen: nothing moves

    window.SetSizeLater(400, 300);
    window.SetFullScreen(false);
    window.ChangeScreenMode();
    EXPECT_FALSE(mp::IsFullScreenWindow(hwnd));
    int32_t w = 0, h = 0;
    mp::GetClientSize(hwnd, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    EXPECT_EQ(Window::CIMEWrapper::GetInstance()->GetState(), 1);
    EXPECT_TRUE(mp::IsInputMethodEnabled(hwnd));

    // Enabling again does not call the system: text input switched off behind the
    // wrapper's back stays off.
    mp::EnableInputMethod(hwnd, false);
    Window::CIMEWrapper::GetInstance()->EnableIME();
    EXPECT_FALSE(mp::IsInputMethodEnabled(hwnd));
    Window::CHWndManager::GetInstance()->SetHWnd(0);

    // Created while the process is in full screen: it covers the screen.
    CWindow().SetFullScreen(true);
    CWindow full;
    ASSERT_EQ(full.Create(SmallWindow()), 0);
    EXPECT_TRUE(mp::IsFullScreenWindow(full.GetHWnd()));
}

TEST_F(WindowTest, CursorCallsTheSystemOnlyOnChanges) {
    CWindow window;
    const int32_t base = mp::ShowCursor(true) - 1;
    mp::ShowCursor(false);
    window.ShowCursor(true);  // already shown: no call
    EXPECT_EQ(mp::ShowCursor(true) - 1, base);
    mp::ShowCursor(false);
    window.SetCursorHidden(true);
    EXPECT_FALSE(window.IsCursorShown());
    window.ShowCursor(true);  // forced hidden: stays hidden
    EXPECT_FALSE(window.IsCursorShown());
    window.SetCursorHidden(false);
    EXPECT_TRUE(window.IsCursorShown());
    EXPECT_EQ(mp::ShowCursor(true) - 1, base);  // one hide, one show
    mp::ShowCursor(false);
}

TEST_F(WindowTest, DestroyingTheObjectDestroysItsWindow) {
    HWND hwnd;
    {
        CWindow window;
        ASSERT_EQ(window.Create(SmallWindow()), 0);
        hwnd = window.GetHWnd();
        mp::PostWindowMessage(hwnd, mp::WM_USER, 0, 0);
    }
    EXPECT_FALSE(mp::IsWindow(hwnd));
    Pump();  // the message left in the queue reaches nobody
}
