#include "platform/com.h"

namespace morna::platform {
namespace {
thread_local int32_t t_comCount = 0;
}

int32_t ComInitialize() { return t_comCount++ == 0 ? kComOk : kComAlreadyInitialized; }

void ComUninitialize() {
    if (t_comCount > 0) --t_comCount;
}

int32_t ComInitializeCount() { return t_comCount; }

}  // namespace morna::platform
