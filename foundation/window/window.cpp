#include "foundation/window/window.h"

#include <cstring>
#include <string>

#include "foundation/vtl/text_output_stream.h"
#include "foundation/window/ime_wrapper.h"

namespace tovarineGameSDK3rd::Window {
namespace mp = morna::platform;

namespace {

std::atomic<bool> g_fullScreen{false};

// Creation is serialised process-wide.
Thread::CCriticalSection& CreationLock() {
    static Thread::CCriticalSection* lock = new Thread::CCriticalSection;
    return *lock;
}

// The system's own classes, compared exactly: only these are subclassed.
bool IsSystemClassName(const char* name) {
    for (const char* s : {"BUTTON", "COMBOBOX", "EDIT", "LISTBOX", "MDICLIENT", "SCROLLBAR", "STATIC"})
        if (std::strcmp(name, s) == 0) return true;
    return false;
}

std::string ToStd(const VTL::VTLstring& s) { return std::string(s.c_str(), s.size()); }

}  // namespace

CWindow::CWindow() = default;

CWindow::~CWindow() {
    HWND hwnd = m_hwnd.load();
    if (hwnd != 0) {
        mp::SetWindowUserData(hwnd, nullptr);  // from now on the default procedure answers
        mp::DestroyWindow(hwnd);               // refused, harmlessly, on another thread
    }
    m_hooks.Del(this);
}

bool CWindow::IsProcessFullScreen() { return g_fullScreen.load(); }

void CWindow::SetFullScreen(bool fullScreen) { g_fullScreen.store(fullScreen); }

void CWindow::OuterSize(int32_t& width, int32_t& height) {
    const uint32_t style = m_options.style;
    if (style & mp::WS_SYSMENU) {
        if (m_hasMenu) mp::AdjustWindowSize(width, height, style, true);
        else mp::AdjustWindowSize(width, height, style & ~mp::WS_SYSMENU, false);
    } else {
        mp::AdjustWindowSize(width, height, style, false);
    }
}

int32_t CWindow::Create(const CWindowOption& options, HWND parent) {
    Thread::CCriticalLock lock(CreationLock());
    m_fullScreen = g_fullScreen.load();
    m_options = options;
    HWND hwnd = 0;
    const std::string className = ToStd(m_options.className);
    const bool systemClass = IsSystemClassName(className.c_str());

    if (m_options.dialogTemplate != 0) {
        hwnd = mp::CreateDialogWindow(m_options.dialogTemplate, parent, &CWindow::DialogProcedure,
                                      reinterpret_cast<intptr_t>(this));
    } else {
        if (!systemClass && !mp::FindWindowClass(className)) {
            if (!mp::RegisterWindowClass({className, &CWindow::SdkWindowProcedure, m_background != 0})) {
                GetErrorLog().Out("CWindow::CreateでRegisterClassEx失敗");
                return 1;
            }
        }
        mp::WindowCreation c;
        c.className = className;
        c.caption = ToStd(m_options.caption);
        c.parent = parent;
        // Created hidden; shown below once placed, and only with a size.
        if (m_fullScreen) {
            c.style = mp::WS_POPUP;
            c.x = 0;
            c.y = 0;
            mp::GetScreenSize(c.width, c.height);
        } else {
            c.style = (m_options.style & ~mp::WS_VISIBLE) | (parent != 0 ? mp::WS_CHILD : 0);
            c.width = m_options.width;
            c.height = m_options.height;
            OuterSize(c.width, c.height);
        }
        hwnd = mp::CreateWindow(c);
    }
    if (hwnd == 0) {
        GetErrorLog().Out("CWindow::CreateでCreateWindowに失敗。");
        return 1;
    }
    mp::SetWindowUserData(hwnd, this);
    m_hwnd.store(hwnd);

    const bool sized = m_options.width != 0 && m_options.height != 0;
    if (!m_fullScreen && sized && m_options.centering) {
        int32_t sw = 0, sh = 0;
        if (mp::GetScreenSize(sw, sh))
            SetPos((sw - m_options.width) >> 1, (sh - m_options.height) >> 1);
    }
    if (sized) mp::ShowWindow(hwnd, true);
    mp::FocusWindow(hwnd);

    m_previous = systemClass ? mp::SetWindowProcedure(hwnd, &CWindow::SdkWindowProcedure) : nullptr;
    m_hooks.Add(this);
    return 0;
}

bool CWindow::Destroy() {
    HWND hwnd = m_hwnd.load();
    return hwnd != 0 && mp::DestroyWindow(hwnd);
}

bool CWindow::SetPos(int32_t x, int32_t y) {
    HWND hwnd = m_hwnd.load();
    if (hwnd == 0 || m_fullScreen) return false;
    return !mp::MoveWindow(hwnd, x, y);
}

void CWindow::SetSize(int32_t width, int32_t height) {
    m_options.width = width;
    m_options.height = height;
    HWND hwnd = m_hwnd.load();
    if (hwnd == 0 || m_fullScreen) return;
    if (width != 0 && height != 0) mp::ShowWindow(hwnd, true);
    OuterSize(width, height);
    mp::ResizeWindow(hwnd, width, height);
}

void CWindow::SetSizeLater(int32_t width, int32_t height) {
    if (m_options.width == width && m_options.height == height) return;
    m_options.width = width;
    m_options.height = height;
    m_sizeChangePending = true;
}

void CWindow::ChangeScreenMode() {
    const bool fullScreen = g_fullScreen.load();
    if (fullScreen == m_fullScreen && !m_sizeChangePending) return;
    m_fullScreen = fullScreen;
    m_sizeChangePending = false;
    HWND hwnd = m_hwnd.load();
    if (hwnd == 0) return;
    if (!fullScreen) {
        int32_t sw = 0, sh = 0;
        mp::GetScreenSize(sw, sh);
        uint32_t style = m_options.style;
        if (mp::IsWindowMinimized(hwnd)) style |= mp::WS_MINIMIZE;
        else if (mp::IsWindowMaximized(hwnd)) style |= mp::WS_MAXIMIZE;
        // The frame first: leaving full screen gives back the desktop-sized shape.
        mp::SetWindowStyle(hwnd, style);
        int32_t w = m_options.width, h = m_options.height;
        OuterSize(w, h);
        mp::ResizeWindow(hwnd, w, h);
        mp::MoveWindow(hwnd, (sw - m_options.width) >> 1, (sh - m_options.height) >> 1);
        mp::ShowWindow(hwnd, true);
        CIMEWrapper::GetInstance()->EnableIME();
    } else {
        mp::SetWindowStyle(hwnd, mp::WS_POPUP);
        mp::ShowWindow(hwnd, true);
        CIMEWrapper::GetInstance()->DisableIME();
    }
}

void CWindow::SetCursorHidden(bool hidden) {
    if (hidden == m_cursorForcedHidden) return;
    m_cursorForcedHidden = hidden;
    if (hidden) ShowCursor(false);
    else if (!g_fullScreen.load()) ShowCursor(true);
}

void CWindow::ShowCursor(bool show) {
    if (m_cursorForcedHidden) show = false;
    if (show == m_cursorShown) return;
    m_cursorShown = show;
    mp::ShowCursor(show);
}

LRESULT CWindow::WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM) {
    switch (msg) {
        case mp::WM_DESTROY: mp::ShowWindow(hwnd, false); break;
        case mp::WM_SIZE:
            if (wparam == mp::SIZE_RESTORED) m_minimized = false;
            else if (wparam == mp::SIZE_MINIMIZED) m_minimized = true;
            break;
        case mp::WM_ACTIVATEAPP:
            if (wparam != 0) m_minimized = false;
            break;
        case mp::WM_NCDESTROY: m_hwnd.store(0); break;
        default: break;
    }
    return 0;
}

LRESULT CWindow::SdkWindowProcedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* window = static_cast<CWindow*>(mp::GetWindowUserData(hwnd));
    if (window == nullptr) return mp::DefaultWindowProcedure(hwnd, msg, wparam, lparam);
    return window->m_hooks.Dispatch(hwnd, msg, wparam, lparam, window->m_previous);
}

LRESULT CWindow::DialogProcedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* window = static_cast<CWindow*>(mp::GetWindowUserData(hwnd));
    if (window == nullptr && msg == mp::WM_INITDIALOG) window = reinterpret_cast<CWindow*>(lparam);
    if (window == nullptr) return 0;
    return window->m_hooks.DispatchHooksOnly(hwnd, msg, wparam, lparam, window->m_previous);
}

}  // namespace tovarineGameSDK3rd::Window
