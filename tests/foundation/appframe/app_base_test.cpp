// The application base on its own thread: window, registration, pump, closing,
// shutdown through the thread manager; the manager and the frame.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "foundation/appframe/app_base.h"
#include "foundation/appframe/app_frame.h"
#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/thread_manager.h"
#include "platform/window.h"
#include "tests/common/log_capture.h"

namespace mp = morna::platform;
using namespace tovarineGameSDK3rd;
using AppFrame::CAppBase;
using AppFrame::CAppManager;

namespace {

// Counts signals; Wait(n) returns once n have come.
class Latch {
public:
    void Signal() {
        std::lock_guard<std::mutex> g(m_lock);
        ++m_count;
        m_cv.notify_all();
    }
    void Wait(int n = 1) {
        std::unique_lock<std::mutex> g(m_lock);
        m_cv.wait(g, [&] { return m_count >= n; });
    }
    int Count() {
        std::lock_guard<std::mutex> g(m_lock);
        return m_count;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    int m_count = 0;
};

// What the application saw on its thread; owned by the test, since the thread
// manager destroys the application itself.
struct Seen {
    Latch mainStarted, closeAsked, userMessages, minimised, mainEnded;
    std::atomic<HWND> hwnd{0};
    std::atomic<uint32_t> sdlId{0};
    int32_t width = 0, height = 0;
    std::string caption, title;
    AppFrame::IAppBase* myApp = nullptr;
    HWND myHwnd = 0;
    std::atomic<int> frames{0};
};

class TestApp : public CAppBase {
public:
    explicit TestApp(Seen* seen) : m_seen(seen) {}

    std::function<int32_t()> onInit = [] { return 0; };
    std::function<int32_t(int)> onClose = [](int) { return 0; };
    std::function<void(TestApp&)> main;  // empty: the default MainThread
    std::function<HWND(HWND)> onGetHWnd;  // runs once, on the next GetHWnd
    bool blocking = false, pause = false;

    int32_t OnInit() override {
        m_blockingPump = blocking;
        m_pauseWhileMinimized = pause;
        return onInit();
    }
    int32_t OnPreCreate(Window::CWindowOption& o) override {
        o.caption = "モルナ ver1.01";
        o.className = "MornaAppTest";
        o.width = 320;
        o.height = 240;
        return 0;
    }
    int32_t OnClose() override {
        int n = m_seen->closeAsked.Count();
        m_seen->closeAsked.Signal();
        return onClose(n);
    }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == mp::WM_USER) m_seen->userMessages.Signal();
        if (msg == mp::WM_SIZE && wp == mp::SIZE_MINIMIZED) m_seen->minimised.Signal();
        return CAppBase::WndProc(hwnd, msg, wp, lp);
    }
    void MainThread() override {
        HWND hwnd = GetHWnd();
        mp::GetClientSize(hwnd, m_seen->width, m_seen->height);
        m_seen->caption = mp::GetWindowCaption(hwnd);
        m_seen->title = SDL_GetWindowTitle(mp::GetSdlWindow(hwnd));
        m_seen->myApp = CAppManager::GetMyApp();
        m_seen->myHwnd = CAppManager::GetMyHWnd();
        m_seen->sdlId = SDL_GetWindowID(mp::GetSdlWindow(hwnd));
        m_seen->hwnd = hwnd;
        m_seen->mainStarted.Signal();
        if (main) main(*this);
        else CAppBase::MainThread();
        m_seen->mainEnded.Signal();
    }
    HWND GetHWnd() override {
        const HWND hwnd = CAppBase::GetHWnd();
        if (auto hook = std::exchange(onGetHWnd, nullptr)) return hook(hwnd);
        return hwnd;
    }
    bool StopRequested() { return !CThread::IsThreadValid(); }

    Seen* m_seen;
};

void PushClose(uint32_t sdlId) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = sdlId;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

// Runs the application the way the program's entry does: started through the
// thread manager and waited for in the initializer's destructor.
class AppTest : public ::testing::Test {
protected:
    template <class Body>
    void RunApp(TestApp* app, Body&& whileRunning) {
        {
            AppFrame::CAppInitializer init(nullptr, nullptr, "", 1);
            ASSERT_EQ(Thread::CThreadManager::StartThread(app), 0);
            whileRunning();
        }  // WaitAll: returns once the application thread has ended
    }
    Seen m_seen;
};

}  // namespace

TEST_F(AppTest, WindowOnItsOwnThreadRegisteredThenUnregistered) {
    const int32_t apps = CAppManager::GetAppCount();
    auto* app = new TestApp(&m_seen);
    EXPECT_EQ(CAppManager::GetAppCount(), apps + 1);
    RunApp(app, [&] {
        m_seen.mainStarted.Wait();
        EXPECT_EQ(m_seen.width, 320);
        EXPECT_EQ(m_seen.height, 240);
        EXPECT_EQ(m_seen.caption, std::string("モルナ ver1.01"));  // Shift-JIS inside
        EXPECT_EQ(m_seen.title, reinterpret_cast<const char*>(u8"モルナ ver1.01"));
        EXPECT_EQ(m_seen.myApp, app);
        EXPECT_EQ(m_seen.myHwnd, m_seen.hwnd.load());
        EXPECT_EQ(CAppManager::GetEntryCount(), 1);
        EXPECT_EQ(CAppManager::GetMyApp(), nullptr);  // this thread has no application
        EXPECT_EQ(AppFrame::GetMainHWnd(), 0u);
        PushClose(m_seen.sdlId);
    });
    EXPECT_EQ(m_seen.closeAsked.Count(), 1);
    EXPECT_EQ(CAppManager::GetEntryCount(), 0);
    EXPECT_EQ(CAppManager::GetAppCount(), apps);  // destroyed inside WaitAll
    EXPECT_FALSE(mp::IsWindow(m_seen.hwnd));
}

TEST_F(AppTest, CloseRefusedByOnCloseThenAccepted) {
    auto* app = new TestApp(&m_seen);
    app->onClose = [](int n) { return n == 0 ? 1 : 0; };  // refuses the first only
    RunApp(app, [&] {
        m_seen.mainStarted.Wait();
        PushClose(m_seen.sdlId);
        m_seen.closeAsked.Wait(1);
        // Asked and refused: thread and window stay.
        mp::SendWindowMessage(m_seen.hwnd, mp::WM_USER, 0, 0);  // served after the close
        EXPECT_FALSE(app->StopRequested());
        EXPECT_TRUE(mp::IsWindow(m_seen.hwnd));
        PushClose(m_seen.sdlId);
        m_seen.closeAsked.Wait(2);
    });
    EXPECT_EQ(m_seen.closeAsked.Count(), 2);
    EXPECT_EQ(m_seen.mainEnded.Count(), 1);
}

// Also from a pump that waits for a message: it serves the sent close inside its wait,
// which a send alone does not end.
TEST_F(AppTest, ForceCloseDoesNotAskOnCloseAndEndsAWaitingPump) {
    for (bool blocking : {false, true}) {
        Seen seen;
        auto* app = new TestApp(&seen);
        app->blocking = blocking;
        app->onClose = [](int) { return 1; };
        RunApp(app, [&] {
            seen.mainStarted.Wait();
            EXPECT_EQ(app->ForceClose(), 1);
        });
        EXPECT_EQ(seen.closeAsked.Count(), 0);
        EXPECT_EQ(seen.mainEnded.Count(), 1);
    }
}

TEST_F(AppTest, BlockingPumpWakesOnCloseAndShutsDown) {
    auto* app = new TestApp(&m_seen);
    app->blocking = true;
    RunApp(app, [&] {
        m_seen.mainStarted.Wait();
        mp::SendWindowMessage(m_seen.hwnd, mp::WM_USER, 0, 0);  // the pump serves while waiting
        app->Close();  // the posted close wakes the waiting pump; the drain must end
        app->Close();
    });
    EXPECT_EQ(m_seen.mainEnded.Count(), 1);
    EXPECT_EQ(m_seen.userMessages.Count(), 1);
}

// A Close whose look at the window handle came before the window, while the pump began to
// wait before the stop request (the served send shows it waits).
TEST_F(AppTest, CloseDuringTheStartEndsAPumpThatBeganToWait) {
    auto* app = new TestApp(&m_seen);
    app->blocking = true;
    Latch created;
    app->onInit = [&] {
        created.Wait();
        return 0;
    };
    RunApp(app, [&] {
        app->onGetHWnd = [&](HWND hwnd) {
            created.Signal();
            m_seen.mainStarted.Wait();
            mp::SendWindowMessage(m_seen.hwnd, mp::WM_USER, 0, 0);
            return hwnd;
        };
        app->Close();
    });
    EXPECT_EQ(m_seen.mainEnded.Count(), 1);
}

TEST_F(AppTest, PausedWhileMinimisedRunsOneFramePerMessage) {
    auto* app = new TestApp(&m_seen);
    app->pause = true;
    app->main = [this](TestApp& self) {
        while (self.IsThreadValid()) ++m_seen.frames;
    };
    RunApp(app, [&] {
        m_seen.mainStarted.Wait();
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_MINIMIZED;
        e.window.windowID = m_seen.sdlId;
        SDL_PushEvent(&e);
        m_seen.minimised.Wait();
        const int before = m_seen.frames;
        for (int i = 1; i <= 5; ++i) {
            mp::PostWindowMessage(m_seen.hwnd, mp::WM_USER, 0, 0);
            m_seen.userMessages.Wait(i);
        }
        // Five messages: at most five more frames (and the one in flight).
        EXPECT_LE(m_seen.frames - before, 6);
        app->Close();  // must wake the paused pump
    });
    EXPECT_EQ(m_seen.mainEnded.Count(), 1);
}

TEST_F(AppTest, QuitOnExitRunsTheExitCallbacksOnce) {
    static std::atomic<int> calls{0};
    calls = 0;
    struct Count : VTL::function_callback {
        void run() override { ++calls; }
    };
    CAppManager::AddExitCallback(VTL::smart_ptr<VTL::function_callback>(new Count));
    auto* app = new TestApp(&m_seen);
    app->SetQuitOnExit(true);
    app->main = [](TestApp& self) {
        self.Close();
        while (self.IsThreadValid()) {
        }
    };
    RunApp(app, [] {});
    EXPECT_EQ(calls.load(), 1);
}

TEST(AppRun, AnswersFailureWhenTheThreadEndsBeforeMainThread) {
    Seen seen;
    TestApp refused(&seen);
    refused.onInit = [] { return 1; };
    EXPECT_EQ(refused.Run(), 1);  // and returns: no endless polling
    EXPECT_EQ(seen.mainStarted.Count(), 0);

    TestApp quick(&seen);
    quick.main = [](TestApp&) {};  // MainThread returns at once
    EXPECT_EQ(quick.Run(), 0);
    quick.StopThread();
    EXPECT_EQ(seen.mainEnded.Count(), 1);

    Seen seen2;
    TestApp running(&seen2);
    EXPECT_EQ(running.Run(), 0);
    seen2.mainStarted.Wait();  // MainThread runs until the close
    EXPECT_EQ(seen2.mainEnded.Count(), 0);
    running.Close();
    running.StopThread();
    EXPECT_EQ(seen2.mainEnded.Count(), 1);
}

TEST(AppManager, RefusesASecondThreadAndADisplayWithoutApplication) {
    morna::test::LogCapture log;
    Seen seen;
    TestApp app(&seen);
    struct Draw : AppFrame::IAppDraw {} draw, other;
    CAppManager::Add(&app);
    CAppManager::AddDraw(&draw);
    EXPECT_EQ(CAppManager::GetMyApp(), &app);
    EXPECT_EQ(CAppManager::GetMyDraw(), &draw);
    CAppManager::DelDraw(&other);  // not the recorded one
    EXPECT_EQ(CAppManager::GetMyDraw(), &draw);
    std::thread([&] {
        CAppManager::Add(&app);        // already bound to a thread
        CAppManager::AddDraw(&other);  // no application on this thread
        EXPECT_EQ(CAppManager::GetMyApp(), nullptr);
    }).join();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"CAppManager::Addするのに空きが無い",
                                                     "CAppManager::Addするのに空きが無い"}));
    CAppManager::DelDraw(&draw);
    EXPECT_EQ(CAppManager::GetMyDraw(), nullptr);
    EXPECT_EQ(CAppManager::GetMyHWnd(), 0u);  // not created: no window
    CAppManager::Remove(&app);
    EXPECT_EQ(CAppManager::GetMyApp(), nullptr);
}

namespace {

class TestFrame : public AppFrame::CAppFrame {
public:
    explicit TestFrame(Seen* seen) : m_seen(seen) {}
    void MainLoop() override {
        FrameWait(0);  // returns at once
        m_seen->minimised.Signal();
        FrameWait(600000);  // returns when the stop comes
    }
    Seen* m_seen;
};

}  // namespace

TEST_F(AppTest, FrameFindsItsApplicationAndItsWaitEndsOnStop) {
    auto* app = new TestApp(&m_seen);
    AppFrame::IAppFrame* registered = nullptr;
    AppFrame::IAppBase* frameApp = nullptr;
    app->main = [&](TestApp&) {
        TestFrame frame(&m_seen);
        registered = CAppManager::GetMyFrame();
        frame.Start();
        frameApp = frame.GetMyApp();
    };
    RunApp(app, [&] {
        m_seen.minimised.Wait();
        app->Close();
    });
    EXPECT_NE(registered, nullptr);
    EXPECT_EQ(frameApp, static_cast<AppFrame::IAppBase*>(app));
}
