#include "foundation/thread/singleton.h"

namespace tovarineGameSDK3rd::Thread {
namespace {
std::atomic<bool> g_multiThread{false};
}

bool GetMultiThreadFlag() { return g_multiThread.load(std::memory_order_acquire); }
void SetMultiThreadFlag(bool on) { g_multiThread.store(on, std::memory_order_release); }

}  // namespace tovarineGameSDK3rd::Thread
