#include "foundation/appframe/app_initializer.h"

#include <atomic>

#include "foundation/thread/callback_lists.h"
#include "foundation/thread/singleton.h"
#include "foundation/thread/thread.h"
#include "foundation/thread/thread_manager.h"
#include "foundation/vtl/exception.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::AppFrame {
namespace {
std::atomic<CAppInitializer*> g_instance{nullptr};
}  // namespace

CAppInitializer::CAppInitializer(void* instance, void* prevInstance, const char* commandLine, int32_t showCommand)
    : m_instance(instance), m_prevInstance(prevInstance), m_commandLine(commandLine), m_showCommand(showCommand) {
    g_instance.store(this);
    Thread::SetMultiThreadFlag(true);
    Thread::CurrentThreadSlot().Set(nullptr);
    try {
        Thread::RunCallbacks(Thread::CallbackList::Initializer);
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
    Thread::RunCallbacks(Thread::CallbackList::Finalizer, [](const VTL::CException& e) {
        GetErrorLog().Out("CAppInitializer::~CAppInitializerで例外 %s", e.getMessage().c_str());
    });
    CAppInitializer* self = this;
    g_instance.compare_exchange_strong(self, nullptr);
}

CAppInitializer* CAppInitializer::GetInstance() { return g_instance.load(); }

void CAppInitializer::RegisterInitializer(const VTL::smart_ptr<VTL::function_callback>& callback) {
    Thread::RegisterCallback(Thread::CallbackList::Initializer, callback);
}

void CAppInitializer::RegisterFinalizer(const VTL::smart_ptr<VTL::function_callback>& callback) {
    Thread::RegisterCallback(Thread::CallbackList::Finalizer, callback);
}

void CAppInitializer::DestroyCallbackLists() { Thread::DestroyCallbackLists(); }

}  // namespace tovarineGameSDK3rd::AppFrame
