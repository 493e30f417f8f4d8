#pragma once
// The process-wide registry of applications: which application, frame and
// display belong to which thread, so that code on an application thread finds
// its own without passing them around.
#include <cstdint>
#include <vector>

#include "foundation/thread/critical_section.h"
#include "foundation/vtl/function_callback.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/window/window.h"

namespace tovarineGameSDK3rd::AppFrame {

class IAppBase;
class IAppFrame;

// What the display registers for its thread; the display's own interface lives
// with the drawing code.
class IAppDraw {
public:
    virtual ~IAppDraw() {}
};

// Every operation takes the manager's lock and looks the caller up by the calling
// thread's id. The lock is taken before a window's hook-list lock.
class CAppManager {
public:
    struct CAppManageInfo {
        IAppBase* app = nullptr;
        IAppFrame* frame = nullptr;
        IAppDraw* draw = nullptr;
        int32_t threadId = 0;
    };

    static CAppManager* GetInstance();
    static void EnsureInstance() { GetInstance(); }
    static void DestroyInstance();

    static void Add(IAppBase* app);
    static void Remove(IAppBase* app);
    static void AddFrame(IAppFrame* frame);
    static void DelFrame(IAppFrame* frame);
    static void AddDraw(IAppDraw* draw);
    static void DelDraw(IAppDraw* draw);
    static IAppBase* GetMyApp();
    static IAppFrame* GetMyFrame();
    static IAppDraw* GetMyDraw();
    static Window::IWindow* GetMyWindow();
    static HWND GetMyHWnd();
    static void Hook(Window::IWinHook* hook);
    static void Unhook(Window::IWinHook* hook);
    static bool IsFullScreen();
    static void AddExitCallback(const VTL::smart_ptr<VTL::function_callback>& callback);
    // Runs the exit callbacks when this caller is the first to stop all threads.
    static void RunExitCallbacks();

    // Applications constructed and not yet destroyed; registered entries.
    static int32_t GetAppCount();
    static int32_t GetEntryCount();
    static void IncrementAppCount();
    static void DecrementAppCount();

private:
    CAppManageInfo* FindMineLocked();

    std::vector<VTL::smart_ptr<CAppManageInfo>> m_entries;
    std::vector<VTL::smart_ptr<VTL::function_callback>> m_exitCallbacks;
    Thread::CCriticalSection m_lock;
    int32_t m_appCount = 0;
};

// The window of the calling thread's application, 0 when it has none.
HWND GetMainHWnd();

}  // namespace tovarineGameSDK3rd::AppFrame
