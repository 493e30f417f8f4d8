#include "foundation/appframe/app_initializer.h"

#include <atomic>
#include <vector>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/singleton.h"
#include "foundation/thread/thread.h"
#include "foundation/thread/thread_manager.h"
#include "foundation/vtl/exception.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::AppFrame {
namespace {

using Callback = VTL::smart_ptr<VTL::function_callback>;

class CCallbackLists {
public:
    Thread::CCriticalSection m_lock;
    std::vector<Callback> m_initializers;
    std::vector<Callback> m_finalizers;
};

constinit Thread::CSingletonHolder<CCallbackLists> g_lists;
std::atomic<CAppInitializer*> g_instance{nullptr};

// Runs a list in registration order; a callback may append to it (by index,
// so the list may grow under the loop). The holders' counts are plain
// integers, so the list is only touched under its lock.
template <class OnError>
void RunList(std::vector<Callback> CCallbackLists::*list, OnError onError) {
    CCallbackLists* lists = g_lists.Get();
    Thread::CCriticalLock lock(lists->m_lock);
    for (size_t i = 0; i < (lists->*list).size(); ++i) {
        try {
            (lists->*list)[i]->run();
        } catch (const VTL::CException& e) {
            onError(e);
        }
    }
}

void Append(std::vector<Callback> CCallbackLists::*list, const Callback& callback) {
    CCallbackLists* lists = g_lists.Get();
    Thread::CCriticalLock lock(lists->m_lock);
    (lists->*list).push_back(callback);
}

}  // namespace

CAppInitializer::CAppInitializer(void* instance, void* prevInstance, const char* commandLine, int32_t showCommand)
    : m_instance(instance), m_prevInstance(prevInstance), m_commandLine(commandLine), m_showCommand(showCommand) {
    g_instance.store(this);
    Thread::SetMultiThreadFlag(true);
    Thread::CurrentThreadSlot().Set(nullptr);
    try {
        RunList(&CCallbackLists::m_initializers, [](const VTL::CException&) { throw; });
    } catch (...) {
        // No destructor runs for a constructor that throws: undo what it set.
        Thread::SetMultiThreadFlag(false);
        g_instance.store(nullptr);
        throw;
    }
}

CAppInitializer::~CAppInitializer() {
    Thread::CThreadManager::GetInstance()->WaitAll();
    Thread::SetMultiThreadFlag(false);
    // Nothing may leave a destructor; the other callbacks still run.
    RunList(&CCallbackLists::m_finalizers, [](const VTL::CException& e) {
        GetErrorLog().Out("CAppInitializer::~CAppInitializerで例外 %s", e.getMessage().c_str());
    });
    CAppInitializer* self = this;
    g_instance.compare_exchange_strong(self, nullptr);
}

CAppInitializer* CAppInitializer::GetInstance() { return g_instance.load(); }

void CAppInitializer::RegisterInitializer(const Callback& callback) { Append(&CCallbackLists::m_initializers, callback); }

void CAppInitializer::RegisterFinalizer(const Callback& callback) { Append(&CCallbackLists::m_finalizers, callback); }

void CAppInitializer::DestroyCallbackLists() { g_lists.Destroy(); }

}  // namespace tovarineGameSDK3rd::AppFrame
