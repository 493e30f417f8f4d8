#pragma once
// The application base: an object that owns a window and runs on a thread of its
// own. Its thread creates the window, registers with the application manager,
// runs MainThread and tears down in a fixed order; IsThreadValid, called once a
// frame, pumps the thread's messages.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "foundation/appframe/app_manager.h"
#include "foundation/thread/thread.h"
#include "foundation/timer/interval_timer.h"
#include "foundation/window/window.h"

namespace tovarineGameSDK3rd::AppFrame {

class IAppBase {
public:
    // Runs the interval timer, pumps messages; false once a stop was requested.
    virtual bool IsThreadValid() = 0;
    virtual void Close() = 0;
    virtual Window::IWindow* GetWindow() = 0;
    virtual HWND GetHWnd() = 0;
    // Starts the thread and waits until MainThread runs: 0, else 1.
    virtual int32_t Run() = 0;
    virtual LRESULT ForceClose() = 0;
    virtual Timer::IIntervalTimer* GetIntervalTimer() = 0;
    virtual bool IsQuitOnExit() = 0;
    virtual void SetQuitOnExit(bool quit) = 0;
    virtual Thread::IThread* GetThread() = 0;
    virtual ~IAppBase() {}
};

class CAppBase : public Window::IWinHook, public IAppBase, public Thread::CThread {
public:
    CAppBase();
    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;
    ~CAppBase() override;

    // The application's hook on its own window: asks OnClose on a close, stops
    // the thread when the close is accepted, and never lets the default
    // procedure destroy the window.
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) override;

    // The application's main function; by default idles until stopped.
    virtual void MainThread();
    // Each start step answers non-zero to end the thread before registration.
    virtual int32_t OnInit() { return 0; }
    // Fills the window options before the window is created (the game's main
    // window sets its caption, class, size and style here).
    virtual int32_t OnPreCreate(Window::CWindowOption& options);
    virtual int32_t OnCreate() { return 0; }
    virtual int32_t OnExit() { return 0; }
    // Non-zero refuses a close that the program did not force.
    virtual int32_t OnClose() { return 0; }

    bool IsThreadValid() override;
    void Close() override;
    Window::IWindow* GetWindow() override { return &m_window; }
    HWND GetHWnd() override { return m_window.GetHWnd(); }
    int32_t Run() override;
    LRESULT ForceClose() override;
    Timer::IIntervalTimer* GetIntervalTimer() override { return &m_intervalTimer; }
    bool IsQuitOnExit() override { return m_quitOnExit.load(); }
    void SetQuitOnExit(bool quit) override { m_quitOnExit.store(quit); }
    Thread::IThread* GetThread() override { return this; }

    // A stop request also wakes a pump that waits for a message.
    void Interrupt() override { Close(); }

    // Modeless dialogs whose messages the pump offers to them first (process-wide).
    static void AddModelessDialog(HWND dialog);
    static void RemoveModelessDialog(HWND dialog);

protected:
    void ThreadProc() override;
    // peek: drains the queue, answers 0. Else waits for one message and answers
    // GetMessage's result (0 for the quit message, -1 on failure, then Close).
    int32_t PumpMessages(bool peek);
    // A start result of 0 or more ends Run's wait (nothing in the SDK sets one).
    void SetStartResult(int32_t result);

    Window::CWindow m_window;
    Timer::CIntervalTimer m_intervalTimer;
    std::atomic<bool> m_mainRunning{false};
    // When set, a minimised application runs one frame per arriving message.
    std::atomic<bool> m_pauseWhileMinimized{false};
    std::atomic<bool> m_forcedClose{false};
    // When set, each pump waits for one message instead of draining the queue.
    std::atomic<bool> m_blockingPump{false};
    std::atomic<bool> m_quitOnExit{false};
    std::atomic<int32_t> m_startResult{-1};

private:
    void ProcessMessage(const morna::platform::WindowMessage& message);
    void TearDown(HWND hwnd);
    void MarkProgress(std::atomic<bool>& flag);

    // What Run waits for: MainThread entered, or the thread body ended.
    std::mutex m_progressLock;
    std::condition_variable m_progress;
    std::atomic<bool> m_mainEntered{false};
    std::atomic<bool> m_procEnded{false};
};

}  // namespace tovarineGameSDK3rd::AppFrame
