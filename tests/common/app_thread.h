// Test helper: runs a body on an application thread that owns a window (SDL's
// dummy video), started and waited for the way the program's entry does it.
#pragma once

#include <SDL2/SDL.h>

#include <functional>

#include "foundation/appframe/app_base.h"
#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/thread_manager.h"
#include "platform/window.h"

namespace morna::test {

class BodyApp : public tovarineGameSDK3rd::AppFrame::CAppBase {
public:
    explicit BodyApp(std::function<void(BodyApp&)> body) : body_(std::move(body)) {}
    void MainThread() override { body_(*this); }

    // Queues an SDL window event for this window; the next pump takes it.
    void PushWindowEvent(uint8_t event) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = event;
        e.window.windowID = SDL_GetWindowID(morna::platform::GetSdlWindow(GetHWnd()));
        SDL_PushEvent(&e);
    }
    static void PushKey(SDL_Scancode code, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = code;
        SDL_PushEvent(&e);
    }

private:
    std::function<void(BodyApp&)> body_;
};

inline void RunOnAppThread(std::function<void(BodyApp&)> body) {
    tovarineGameSDK3rd::AppFrame::CAppInitializer init(nullptr, nullptr, "", 1);
    tovarineGameSDK3rd::Thread::CThreadManager::StartThread(new BodyApp(std::move(body)));
}  // the initializer waits for the thread

}  // namespace morna::test
