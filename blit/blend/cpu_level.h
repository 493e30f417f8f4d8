#pragma once
// The processor's level, which picks the worker of the one-rate blend of XRGB8888 onto itself:
// 1 no CPUID instruction (or not an x86 processor), 2 CPUID without MMX, 3 MMX without
// conditional moves, 4 MMX and conditional moves. Found on first use and kept for the process.

namespace tovarineGameSDK3rd::Draw {

// The process-wide CPU-information object, created on first use and never destroyed; null when
// it could not be allocated (the next call tries again).
struct CpuInfo {
    int reserved = 0;
};
CpuInfo* EnsureCpuInfoInstance();

// The level, 1 to 4; the first call asks the processor.
int GetCPUType();

// Tests only: GetCPUType answers `level` from now on; 0 makes the next call ask the processor.
void ForceCpuLevelForTesting(int level);

}  // namespace tovarineGameSDK3rd::Draw
