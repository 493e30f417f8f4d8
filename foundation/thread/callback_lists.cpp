#include "foundation/thread/callback_lists.h"

#include <vector>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/singleton.h"

namespace tovarineGameSDK3rd::Thread {
namespace {

using Callback = VTL::smart_ptr<VTL::function_callback>;

struct CCallbackLists {
    CCriticalSection m_lock;
    std::vector<Callback> m_lists[2];
};

constinit CSingletonHolder<CCallbackLists> g_lists;

}  // namespace

void RegisterCallback(CallbackList list, const Callback& callback) {
    CCallbackLists* lists = g_lists.Get();
    CCriticalLock lock(lists->m_lock);
    lists->m_lists[static_cast<int>(list)].push_back(callback);
}

// By index, so the list may grow under the loop. The holders' counts are plain integers, so
// the list is only touched under its lock.
void RunCallbacks(CallbackList list, void (*onError)(const VTL::CException&)) {
    CCallbackLists* lists = g_lists.Get();
    CCriticalLock lock(lists->m_lock);
    std::vector<Callback>& callbacks = lists->m_lists[static_cast<int>(list)];
    for (size_t i = 0; i < callbacks.size(); ++i) {
        if (!onError) {
            callbacks[i]->run();
            continue;
        }
        try {
            callbacks[i]->run();
        } catch (const VTL::CException& e) {
            onError(e);
        }
    }
}

void DestroyCallbackLists() { g_lists.Destroy(); }

}  // namespace tovarineGameSDK3rd::Thread
