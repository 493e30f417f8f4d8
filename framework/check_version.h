#pragma once
// The update check: once per start, on a thread of its own, asks a web server for the newest
// version number and, when it is newer than the last one offered, offers to open the download
// page in the browser. Network failures end it silently. Closing the game lets a request that
// still waits go at once.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "foundation/thread/thread.h"
#include "foundation/vtl/vtl_string.h"
#include "foundation/window/win_hook.h"
#include "platform/http.h"

namespace KestraneGameBase2 {

class CCheckVersion : public tovarineGameSDK3rd::Thread::CThread {
public:
    // The answer's bytes that are read; the rest is never asked for.
    static constexpr size_t kAnswerBytes = 500;

    CCheckVersion() = default;
    // Stops the thread (a waiting request goes at once) and joins it.
    ~CCheckVersion() override;

    // Runs the check when a last version (not -1) and an owner window were given, then ends.
    void ThreadProc() override;
    // The stop request also lets the request go.
    void Interrupt() override;
    void CheckVersion();

    void SetLastVersion(int32_t version) { lastVersion_ = version; }
    void SetOwnerWindow(tovarineGameSDK3rd::HWND owner) { owner_ = owner; }
    void SetVersionAddress(const tovarineGameSDK3rd::VTL::VTLstring& address) { versionAddress_ = address; }
    void SetDownloadAddress(const tovarineGameSDK3rd::VTL::VTLstring& address) { downloadAddress_ = address; }
    // How long the request may take (10 s at start).
    void SetRequestTimeout(uint32_t ms) { timeoutMs_ = ms; }
    // The newer version that was offered (its low 32 bits), -1 when none was.
    int32_t GetResult() const { return result_.load(); }

    // The number that an answer's text starts with (at most its first kAnswerBytes bytes), 0
    // when it starts with none.
    static int64_t ParseVersion(const char* data, size_t size);

private:
    int32_t lastVersion_ = -1;
    std::atomic<int32_t> result_{-1};
    tovarineGameSDK3rd::HWND owner_ = 0;
    tovarineGameSDK3rd::VTL::VTLstring versionAddress_;
    tovarineGameSDK3rd::VTL::VTLstring downloadAddress_;
    uint32_t timeoutMs_ = 10000;
    morna::platform::HttpCancel cancel_;
};

}  // namespace KestraneGameBase2
