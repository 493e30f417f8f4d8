#pragma once
// The machine's memory figures, as the SDK reads them for seeding and for its
// low-memory warning.
#include <cstdint>

namespace morna::platform {

struct MemoryStatus {
    uint64_t totalPhysical = 0;      // bytes of RAM
    uint64_t availablePhysical = 0;  // bytes that can be had without swapping
};

// Reads the kernel's figures. Answers false (and zeroes) when none can be read.
bool QueryMemoryStatus(MemoryStatus& out);

}  // namespace morna::platform
