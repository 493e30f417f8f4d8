#include "blit/blend/cpu_level.h"

#include <atomic>
#include <mutex>
#include <new>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace tovarineGameSDK3rd::Draw {

namespace {

// Concurrent first calls find and store the same value.
std::atomic<int> gLevel{0};

int AskProcessor() {
#if defined(__i386__) || defined(__x86_64__)
    // The helper answers 0 where the flags' ID bit cannot be flipped, that is without CPUID.
    if (__get_cpuid_max(0, nullptr) < 1) return 1;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 1;
    if (!(edx & bit_MMX)) return 2;
    return (edx & bit_CMOV) ? 4 : 3;
#else
    return 1;
#endif
}

}  // namespace

CpuInfo* EnsureCpuInfoInstance() {
    static std::atomic<CpuInfo*> instance{nullptr};
    static std::mutex creating;
    if (CpuInfo* p = instance.load(std::memory_order_acquire)) return p;
    std::lock_guard<std::mutex> lock(creating);
    if (!instance.load(std::memory_order_relaxed)) instance.store(new (std::nothrow) CpuInfo, std::memory_order_release);
    return instance.load(std::memory_order_relaxed);
}

int GetCPUType() {
    int level = gLevel.load(std::memory_order_relaxed);
    if (level == 0) {
        level = AskProcessor();
        gLevel.store(level, std::memory_order_relaxed);
    }
    return level;
}

void ForceCpuLevelForTesting(int level) { gLevel.store(level, std::memory_order_relaxed); }

}  // namespace tovarineGameSDK3rd::Draw
