#pragma once
// The SDK's top-level window: class registration, creation (or a dialog from a
// template) on the calling thread, the hook chain every message passes through,
// and the switch between window and full screen.
#include <atomic>
#include <cstdint>

#include "foundation/vtl/vtl_string.h"
#include "foundation/window/win_hook.h"

namespace tovarineGameSDK3rd::Window {

// What the application fills before its window is created.
struct CWindowOption {
    VTL::VTLstring caption = "あぷりちゃん";
    VTL::VTLstring className = "TOVAAPPLICATION";
    int32_t dialogTemplate = 0;  // 0 = an ordinary window
    int32_t width = 640;         // client size
    int32_t height = 480;
    uint32_t style = 0x10CA0000;  // visible, caption, system menu, minimise box
    bool centering = true;
};

class IWindow {
public:
    virtual int32_t Create(const CWindowOption& options, HWND parent = 0) = 0;
    virtual HWND GetHWnd() = 0;
    virtual bool SetPos(int32_t x, int32_t y) = 0;
    virtual void ChangeScreenMode() = 0;
    virtual void SetSize(int32_t width, int32_t height) = 0;
    virtual void SetSizeLater(int32_t width, int32_t height) = 0;
    virtual void SetCursorHidden(bool hidden) = 0;
    virtual void ShowCursor(bool show) = 0;
    virtual bool IsCursorShown() = 0;
    virtual CWindowOption* GetWindowOption() = 0;
    virtual bool IsMinimized() = 0;
    virtual IWinHookList* GetHookList() = 0;
    virtual void ClearHooks() = 0;
    virtual void RequestScreenChange() = 0;
    virtual void SetFullScreen(bool fullScreen) = 0;
    virtual bool IsDialog() = 0;
    virtual void SetBackground(int32_t background) = 0;
    virtual ~IWindow() {}
};

class CWindow : public IWinHook, public IWindow {
public:
    CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    // Also destroys a window still alive (on its own thread; from another thread
    // it is only detached, and goes with its thread), so that no message reaches
    // a destroyed object.
    ~CWindow() override;

    // 0 on success, 1 when the class cannot be registered or the window not created.
    int32_t Create(const CWindowOption& options, HWND parent = 0) override;
    HWND GetHWnd() override { return m_hwnd.load(); }
    // True when the move failed.
    bool SetPos(int32_t x, int32_t y) override;
    void ChangeScreenMode() override;
    void SetSize(int32_t width, int32_t height) override;
    void SetSizeLater(int32_t width, int32_t height) override;
    void SetCursorHidden(bool hidden) override;
    void ShowCursor(bool show) override;
    bool IsCursorShown() override { return m_cursorShown; }
    CWindowOption* GetWindowOption() override { return &m_options; }
    bool IsMinimized() override { return m_minimized; }
    IWinHookList* GetHookList() override { return &m_hooks; }
    void ClearHooks() override { m_hooks.Clear(); }
    void RequestScreenChange() override { m_sizeChangePending = true; }
    // The process-wide flag; the window follows at the next Create or ChangeScreenMode.
    void SetFullScreen(bool fullScreen) override;
    bool IsDialog() override { return m_options.dialogTemplate != 0; }
    void SetBackground(int32_t background) override { m_background = background; }

    // Destroys the window on its own thread: the hooks see WM_DESTROY and
    // WM_NCDESTROY. The application thread calls it when it ends.
    bool Destroy();

    // The window's own hook, first in its list.
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) override;

    static bool IsProcessFullScreen();

private:
    static LRESULT SdkWindowProcedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static LRESULT DialogProcedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    void OuterSize(int32_t& width, int32_t& height);

    int32_t m_background = 0;
    std::atomic<HWND> m_hwnd{0};  // read by other threads (close requests)
    bool m_fullScreen = false;
    CWindowOption m_options;
    CWinHookList m_hooks;
    bool m_cursorShown = true;
    bool m_cursorForcedHidden = false;
    bool m_hasMenu = false;  // no menu resources here: stays false
    bool m_sizeChangePending = false;
    WNDPROC m_previous = nullptr;
    bool m_minimized = false;
};

}  // namespace tovarineGameSDK3rd::Window
