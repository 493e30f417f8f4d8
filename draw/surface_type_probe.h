#pragma once
// The display surface's pixel format as a surface type code, read from the description the
// display layer gives.
#include <cstdint>

#include "platform/surface_desc.h"

namespace tovarineGameSDK3rd::Draw {

// Classifies a display surface by its pixel format: -1 null surface, 0 description not
// readable, 1 unrecognised, else a code 2 to 8. Failures are written to the error log.
class CDirectDrawSurfaceManager {
public:
    static int32_t GetSurfaceType(morna::platform::ISurfaceDescSource* surface);
};

}  // namespace tovarineGameSDK3rd::Draw
