#include "platform/thread.h"

#include <pthread.h>

#include <atomic>
#include <new>

namespace morna::platform {
namespace {

std::atomic<int32_t> g_lastThreadId{0};
thread_local int32_t t_threadId = 0;

int32_t NewThreadId() {
    // 2^31 threads would wrap into -1; a process never lives that long.
    return g_lastThreadId.fetch_add(1, std::memory_order_relaxed) + 1;
}

struct StartArgs {
    ThreadEntry entry;
    void* arg;
    int32_t id;
};

void* Trampoline(void* p) {
    StartArgs args = *static_cast<StartArgs*>(p);
    delete static_cast<StartArgs*>(p);
    t_threadId = args.id;
    const uint32_t code = args.entry(args.arg);
    return reinterpret_cast<void*>(static_cast<uintptr_t>(code));
}

}  // namespace

class Thread {
public:
    pthread_t handle{};
    bool joined = false;
};

int32_t CurrentThreadId() {
    if (t_threadId == 0) t_threadId = NewThreadId();
    return t_threadId;
}

Thread* StartThread(ThreadEntry entry, void* arg, uint32_t stackSize, int32_t* id) {
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return nullptr;
    if (stackSize != 0) {
        size_t size = stackSize;
        const size_t minimum = static_cast<size_t>(PTHREAD_STACK_MIN);
        if (size < minimum) size = minimum;
        if (pthread_attr_setstacksize(&attr, size) != 0) {
            pthread_attr_destroy(&attr);
            return nullptr;
        }
    }
    auto* thread = new (std::nothrow) Thread;
    auto* args = new (std::nothrow) StartArgs{entry, arg, NewThreadId()};
    bool ok = thread && args;
    const int32_t newId = args ? args->id : -1;
    if (ok) ok = pthread_create(&thread->handle, &attr, Trampoline, args) == 0;
    pthread_attr_destroy(&attr);
    if (!ok) {
        delete thread;
        delete args;
        return nullptr;
    }
    *id = newId;
    return thread;
}

bool JoinThread(Thread* thread) {
    if (!thread || thread->joined || pthread_equal(thread->handle, pthread_self())) return false;
    if (pthread_join(thread->handle, nullptr) != 0) return false;
    thread->joined = true;
    return true;
}

void CloseThread(Thread* thread) {
    if (!thread) return;
    if (!thread->joined) pthread_detach(thread->handle);
    delete thread;
}

}  // namespace morna::platform
