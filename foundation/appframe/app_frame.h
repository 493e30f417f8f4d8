#pragma once
// The application frame: the object a game's main loop derives from. It finds
// its application through the application manager.
#include <cstdint>

#include "foundation/appframe/app_base.h"
#include "foundation/timer/clock.h"

namespace tovarineGameSDK3rd::AppFrame {

class IAppFrame {
public:
    // Registers the frame with the calling thread's application entry.
    IAppFrame() { CAppManager::AddFrame(this); }
    IAppFrame(const IAppFrame&) = delete;
    IAppFrame& operator=(const IAppFrame&) = delete;

    virtual void Start() = 0;
    virtual void FrameWait(uint32_t ms) = 0;
    virtual void Close() = 0;
    virtual IAppBase* GetMyApp() = 0;
    virtual bool IsThreadValid() = 0;
    virtual void MainLoop() = 0;
    virtual bool IsQuitOnExit() = 0;
    virtual void SetQuitOnExit(bool quit) = 0;
    virtual ~IAppFrame() { CAppManager::DelFrame(this); }
};

class CAppFrame : public IAppFrame {
public:
    // The clock paces FrameWait; it must outlive the frame.
    explicit CAppFrame(Timer::IClock& clock = Timer::SystemClock()) : m_clock(clock) {}

    // Takes the calling thread's application, then runs MainLoop.
    void Start() override;
    // Sleeps in steps of 10 ms until ms have passed or a stop is requested.
    void FrameWait(uint32_t ms) override;
    void Close() override;
    IAppBase* GetMyApp() override { return m_app; }
    // The application's IsThreadValid (so it pumps); false without an application.
    bool IsThreadValid() override;
    void MainLoop() override {}
    bool IsQuitOnExit() override;
    void SetQuitOnExit(bool quit) override;

private:
    Timer::IClock& m_clock;
    IAppBase* m_app = nullptr;
};

}  // namespace tovarineGameSDK3rd::AppFrame
