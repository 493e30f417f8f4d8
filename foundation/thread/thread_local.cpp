#include "foundation/thread/thread_local.h"

#include <algorithm>

#include "foundation/thread/callback_lists.h"
#include "foundation/thread/singleton.h"
#include "foundation/vtl/function_callback.h"

namespace tovarineGameSDK3rd::Thread {
namespace {
constinit CSingletonHolder<ThreadLocalBaseHelper> g_helper;
}

ThreadLocalBaseHelper::ThreadLocalBaseHelper() {
    RegisterCallback(CallbackList::Finalizer,
                     VTL::smart_ptr<VTL::function_callback>(new VTL::function_callback_vg0(&ThreadLocalBaseHelper::Finalize)));
}

ThreadLocalBaseHelper* ThreadLocalBaseHelper::GetInstance() { return g_helper.Get(); }

void ThreadLocalBaseHelper::DestroyInstance() { g_helper.Destroy(); }

void ThreadLocalBaseHelper::Add(ThreadLocalBase* tl) {
    ThreadLocalBaseHelper* self = g_helper.Get();
    CCriticalLock lock(self->m_lock);
    self->m_list.push_back(tl);
}

void ThreadLocalBaseHelper::Remove(ThreadLocalBase* tl) {
    ThreadLocalBaseHelper* self = g_helper.Peek();
    if (!self) return;
    CCriticalLock lock(self->m_lock);
    auto it = std::find(self->m_list.begin(), self->m_list.end(), tl);
    if (it != self->m_list.end()) self->m_list.erase(it);
}

void ThreadLocalBaseHelper::Finalize() {
    ThreadLocalBaseHelper* self = g_helper.Peek();
    if (!self) return;
    CCriticalLock lock(self->m_lock);
    // A detached variable is off the registry too: it may be destroyed at any
    // time after this without telling it, so it must not stay listed.
    for (ThreadLocalBase* tl : self->m_list) tl->SetDetached(true);
    self->m_list.clear();
}

}  // namespace tovarineGameSDK3rd::Thread
