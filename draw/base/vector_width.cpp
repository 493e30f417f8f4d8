#include "draw/base/vector_width.h"

#include <atomic>

namespace tovarineGameSDK3rd::Draw {

namespace {

bool ProcessorHasAvx2() {
#if defined(__i386__) || defined(__x86_64__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

std::atomic<int> gWide{-1};

}  // namespace

bool UseWideVectors() {
    int wide = gWide.load(std::memory_order_relaxed);
    if (wide < 0) {
        wide = ProcessorHasAvx2() ? 1 : 0;
        gWide.store(wide, std::memory_order_relaxed);
    }
    return wide == 1;
}

void ForceWideVectorsForTesting(int wide) { gWide.store(wide == 1 ? (ProcessorHasAvx2() ? 1 : 0) : wide, std::memory_order_relaxed); }

}  // namespace tovarineGameSDK3rd::Draw
