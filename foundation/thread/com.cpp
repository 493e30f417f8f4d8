#include "foundation/thread/com.h"

#include "foundation/thread/critical_section.h"
#include "foundation/thread/thread_local.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/com.h"

namespace tovarineGameSDK3rd::Thread {
namespace {

CCriticalSection& ComLock() {
    static CCriticalSection* lock = new CCriticalSection;  // outlives every thread
    return *lock;
}

ThreadLocal<int32_t>& ComCounts() {
    static ThreadLocal<int32_t> counts;
    return counts;
}

}  // namespace

int32_t AddRefCOM() {
    CCriticalLock lock(ComLock());
    ThreadLocal<int32_t>& counts = ComCounts();
    int32_t* count = counts.Get();
    if (*count == 0) {
        if (morna::platform::ComInitialize() != morna::platform::kComOk) {
            // Someone else started COM on this thread; its start is paired here
            // since this count will not end it.
            morna::platform::ComUninitialize();
            GetErrorLog().Out("CoInitializeに失敗...");
            return 1;
        }
    }
    ++*count;
    return 0;
}

bool ReleaseCOM() {
    CCriticalLock lock(ComLock());
    ThreadLocal<int32_t>& counts = ComCounts();
    if (counts.IsEmpty()) return true;
    int32_t* count = counts.Get();
    if (*count > 0 && --*count == 0) morna::platform::ComUninitialize();
    return false;
}

}  // namespace tovarineGameSDK3rd::Thread
