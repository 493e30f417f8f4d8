#pragma once
// The pixel format of a display surface, as the drawing core's format probe reads it.
// The display's surfaces implement ISurfaceDescSource; tests give synthetic ones.
#include <cstdint>

namespace morna::platform {

struct SurfaceDesc {
    uint32_t bitCount = 0;  // bits per pixel
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
};

class ISurfaceDescSource {
public:
    virtual ~ISurfaceDescSource() = default;
    // False when the description cannot be read (the surface is lost or released).
    virtual bool GetSurfaceDesc(SurfaceDesc& out) = 0;
};

}  // namespace morna::platform
