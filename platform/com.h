#pragma once
// Per-thread COM initialisation. Nothing here needs COM itself; what callers
// rely on is the per-thread count of initialisations.
#include <cstdint>

namespace morna::platform {

inline constexpr int32_t kComOk = 0;                  // first initialisation on the thread
inline constexpr int32_t kComAlreadyInitialized = 1;  // initialised before; still to be paired

// Raises the calling thread's count.
int32_t ComInitialize();
// Lowers it; does nothing at 0.
void ComUninitialize();
// The calling thread's count.
int32_t ComInitializeCount();

}  // namespace morna::platform
