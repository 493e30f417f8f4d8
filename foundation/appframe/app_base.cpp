#include "foundation/appframe/app_base.h"

#include <algorithm>
#include <vector>

#include "foundation/window/ime_wrapper.h"

namespace tovarineGameSDK3rd::AppFrame {
namespace mp = morna::platform;

namespace {

struct ModelessDialogs {
    Thread::CCriticalSection lock;
    std::vector<HWND> dialogs;
};

ModelessDialogs& Dialogs() {
    static ModelessDialogs* d = new ModelessDialogs;
    return *d;
}

}  // namespace

CAppBase::CAppBase() { CAppManager::IncrementAppCount(); }

CAppBase::~CAppBase() {
    StopThread();
    CAppManager::DecrementAppCount();
}

void CAppBase::AddModelessDialog(HWND dialog) {
    Thread::CCriticalLock lock(Dialogs().lock);
    Dialogs().dialogs.push_back(dialog);
}

void CAppBase::RemoveModelessDialog(HWND dialog) {
    Thread::CCriticalLock lock(Dialogs().lock);
    std::erase(Dialogs().dialogs, dialog);
}

LRESULT CAppBase::WndProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case mp::WM_DESTROY:
            if (m_quitOnExit.load()) mp::PostQuitMessage(0);
            return 0;
        case mp::WM_CLOSE:
            if (!m_forcedClose.load() && OnClose() != 0) return 1;
            // The stop request alone: the waking close that Close posts would come
            // back here and ask OnClose again. A close sent from another thread is
            // served inside a pump's wait, which only a posted message ends.
            CThread::Interrupt();
            if (m_blockingPump.load() || m_pauseWhileMinimized.load())
                mp::PostWindowMessage(hwnd, mp::WM_NULL, 0, 0);
            return 1;
        default: return 0;
    }
}

void CAppBase::MainThread() {
    while (IsThreadValid()) CThread::sleep(20);
}

int32_t CAppBase::OnPreCreate(Window::CWindowOption& options) {
    options.caption = "テストアプリケーション";
    options.className = "TESTAPPLICATION";
    options.width = 640;
    options.height = 480;
    options.style = 0x00CA0000;
    return 0;
}

void CAppBase::ProcessMessage(const mp::WindowMessage& message) {
    // No accelerator table on this platform: nothing to translate first. A copy
    // of the dialog list, since a dialog's message may open or close dialogs.
    std::vector<HWND> dialogs;
    {
        Thread::CCriticalLock lock(Dialogs().lock);
        dialogs = Dialogs().dialogs;
    }
    for (HWND d : dialogs)
        if (mp::IsDialogMessage(d, message)) return;
    mp::DispatchWindowMessage(message);
}

int32_t CAppBase::PumpMessages(bool peek) {
    mp::WindowMessage message;
    if (peek) {
        while (mp::PeekWindowMessage(message)) ProcessMessage(message);
        return 0;
    }
    int32_t result = mp::GetWindowMessage(message);
    if (result == -1) {
        Close();
        return -1;
    }
    ProcessMessage(message);
    return result;
}

bool CAppBase::IsThreadValid() {
    m_intervalTimer.Check();
    // Once a stop was requested nothing more is waited for: the thread is ending.
    PumpMessages(!m_blockingPump.load() || !CThread::IsThreadValid());
    if (m_pauseWhileMinimized.load()) {
        while (m_window.IsMinimized() && CThread::IsThreadValid()) {
            mp::WindowMessage message;
            int32_t result = mp::GetWindowMessage(message);
            if (result == -1) {
                Close();
                break;
            }
            ProcessMessage(message);
            if (result != 0) break;  // one frame per message; only the quit waits again
        }
    }
    return CThread::IsThreadValid();
}

void CAppBase::Close() {
    // A pump may be waiting for a message: a close wakes it. Only for the first
    // stop request, so that no close keeps coming back while the thread ends.
    const bool first = CThread::IsThreadValid();
    CThread::Interrupt();
    // The handle only after the stop request: a pump that decided to wait before
    // it had its window by then, so the close reaches it.
    const HWND hwnd = GetHWnd();
    if (first && (m_blockingPump.load() || m_pauseWhileMinimized.load()) && hwnd != 0)
        mp::PostWindowMessage(hwnd, mp::WM_CLOSE, 0, 0);
}

LRESULT CAppBase::ForceClose() {
    m_forcedClose.store(true);
    return mp::SendWindowMessage(GetHWnd(), mp::WM_CLOSE, 0, 0);
}

void CAppBase::SetStartResult(int32_t result) {
    std::lock_guard<std::mutex> guard(m_progressLock);
    m_startResult.store(result);
    m_progress.notify_all();
}

void CAppBase::MarkProgress(std::atomic<bool>& flag) {
    std::lock_guard<std::mutex> guard(m_progressLock);
    flag.store(true);
    m_progress.notify_all();
}

int32_t CAppBase::Run() {
    m_startResult.store(-1);
    {
        std::lock_guard<std::mutex> guard(m_progressLock);
        m_mainEntered.store(false);
        m_procEnded.store(false);
    }
    if (CreateThread() != 0) return 1;
    // Until MainThread was entered, a start result was given, or the thread ended
    // without either (a start step refused): then the start failed.
    std::unique_lock<std::mutex> guard(m_progressLock);
    m_progress.wait(guard, [this] {
        return m_mainEntered.load() || m_startResult.load() >= 0 || m_procEnded.load();
    });
    return (m_mainEntered.load() || m_startResult.load() >= 0) ? 0 : 1;
}

void CAppBase::TearDown(HWND hwnd) {
    // The window is not destroyed by this message: its own hook hides it, and
    // ours posts the quit when the quit-on-exit flag is set.
    mp::PostWindowMessage(hwnd, mp::WM_DESTROY, 0, 0);
    PumpMessages(true);
    CAppManager::Unhook(this);
    CAppManager::Remove(this);
    m_window.Destroy();
    Window::CHWndManager::GetInstance()->SetHWnd(0);
}

void CAppBase::ThreadProc() {
    struct Ended {
        CAppBase* self;
        ~Ended() { self->MarkProgress(self->m_procEnded); }
    } ended{this};

    if (OnInit() != 0) return;
    Window::CWindowOption options;
    if (OnPreCreate(options) != 0) return;
    if (m_window.Create(options, 0) != 0) return;
    if (OnCreate() != 0) {
        m_window.Destroy();
        return;
    }
    const HWND hwnd = m_window.GetHWnd();
    Window::CHWndManager::GetInstance()->SetHWnd(hwnd);
    CAppManager::Add(this);
    CAppManager::Hook(this);

    m_mainRunning.store(true);
    MarkProgress(m_mainEntered);
    try {
        MainThread();
    } catch (...) {
        // Not past the manager with a window and an entry left behind.
        m_mainRunning.store(false);
        TearDown(hwnd);
        throw;
    }
    m_mainRunning.store(false);
    OnExit();
    TearDown(hwnd);

    if (m_quitOnExit.load()) CAppManager::RunExitCallbacks();
    CThread::Interrupt();
}

}  // namespace tovarineGameSDK3rd::AppFrame
