#pragma once
// CSurfaceInfo: the plain description of a block of pixels that every blit, effect and
// polygon member works on, with its lock flag and a pluggable locker. What runs on a
// description with the members of every family (the blit dispatch, the effects, the image
// writers) is a function of the drawing core taking it: draw/blt_dispatch.h, draw/effect.h,
// draw/image_writer.h.
#include <cstdint>

#include "draw/base/blt_geometry.h"
#include "draw/base/pixel_format.h"
#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::Draw {

// Grants or refuses access to a description's pixels; 0 is success.
class ISurfaceLocker {
public:
    virtual int Lock() = 0;
    virtual int Unlock() = 0;
    virtual ~ISurfaceLocker() = default;
};

// Always grants: memory surfaces, DIB sections, display surfaces whose pointer is known.
class INullSurfaceLocker : public ISurfaceLocker {
public:
    int Lock() override { return 0; }
    int Unlock() override { return 0; }
};

// Always refuses: a display surface that must not be locked and could not be described.
class IDisableSurfaceLocker : public ISurfaceLocker {
public:
    int Lock() override { return 1; }
    int Unlock() override { return 1; }
};

class CSurfaceInfo : public ISurfaceLocker {
public:
    CSurfaceInfo();
    ~CSurfaceInfo() override;

    // -1 when not initialised; else the locker's answer, and a refused lock leaves the
    // description unlocked. A second Lock throws VTL::CRuntimeException.
    int Lock() override;
    // -1 when not initialised; else the locker's answer. Throws when not locked.
    int Unlock() override;

    // Reads the pixel at (x, y) as 0xAARRGGBB (alpha 0 for formats without one) into *colour.
    // 0 read (a Palette8 pixel reads as 0); -1 outside the surface; -2 a code without pixels;
    // 1 the description's own lock failed. On every answer but 0 *colour is left as it was.
    int GetPixel(int x, int y, uint32_t* colour);

    // The given rectangle, or the whole surface, cut to the surface. An empty or inverted
    // result is returned as it is.
    Rect ClipRect(Rect* out, const Rect* rect = nullptr) const;

    int GetPixelSize() const { return PixelSizeOf(type); }

    VTL::smart_ptr<ISurfaceLocker> GetLocker() const { return locker_; }
    void SetLocker(const VTL::smart_ptr<ISurfaceLocker>& locker) { locker_ = locker; }

    // Plain data: the blit workers read these directly.
    bool initialised = false;
    uint8_t* pixels = nullptr;  // row 0; rows run top to bottom
    int32_t pitch = 0;          // bytes from one row to the next
    int32_t width = 0;
    int32_t height = 0;
    bool locked = false;
    int32_t type = 0;            // SurfaceType code
    uint32_t colourKey = 0;      // 0x00RRGGBB skipped by keyed operations from this surface
    uint32_t fillColour = 0;     // 0xAARRGGBB of the clear effect

private:
    VTL::smart_ptr<ISurfaceLocker> locker_;
};

}  // namespace tovarineGameSDK3rd::Draw
