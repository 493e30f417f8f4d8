#include "foundation/appframe/app_frame.h"

#include "foundation/timer/timer.h"

namespace tovarineGameSDK3rd::AppFrame {

void CAppFrame::Start() {
    m_app = CAppManager::GetMyApp();
    MainLoop();
}

void CAppFrame::FrameWait(uint32_t ms) {
    Timer::CTimer timer(m_clock);
    while (IsThreadValid() && timer.Get() < ms) m_app->GetThread()->sleep(10);
}

void CAppFrame::Close() {
    if (m_app != nullptr) m_app->Close();
}

bool CAppFrame::IsThreadValid() { return m_app != nullptr && m_app->IsThreadValid(); }

bool CAppFrame::IsQuitOnExit() { return m_app != nullptr && m_app->IsQuitOnExit(); }

void CAppFrame::SetQuitOnExit(bool quit) {
    if (m_app != nullptr) m_app->SetQuitOnExit(quit);
}

}  // namespace tovarineGameSDK3rd::AppFrame
