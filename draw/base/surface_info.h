#pragma once
// CSurfaceInfo: the plain description of a block of pixels that every blit, effect and
// polygon member works on, with its lock flag and a pluggable locker.
#include <cstdint>

#include "draw/base/blt_geometry.h"
#include "draw/base/pixel_format.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"

namespace morna::platform {
class ISurfaceDescSource;
}

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

// Codes of CSurfaceInfo::ApplyEffect; any other value is refused.
enum EffectOp : uint32_t {
    EffectClear = 0,     // parameter: none; the colour is the fill colour
    EffectFade = 1,      // parameter: uint8_t rate, 255 unchanged, 0 black (or transparent)
    EffectAddColor = 2,  // parameter: uint32_t colour 0xAARRGGBB, added with saturation
    EffectSubColor = 3,  // parameter: uint32_t colour 0xAARRGGBB, subtracted, floored at 0
    EffectNegative = 4,  // parameter: none
    EffectMosaic = 5,    // parameter: int32_t block size in pixels
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

    // Blits `src` onto this surface with operation `op`: locks this surface, then the source,
    // runs the member of the pair and unlocks in reverse order. `param` points to the rate
    // (ops 6-9, 14, 15: its first byte) or the two rates (ops 16, 17: the first bytes of two
    // 32-bit words); other ops read nothing through it. 0 done (or a pair that draws nothing),
    // 1 no operation, a missing rate or a refused lock, 2 no member for the pair. A source
    // that is this very description throws the double-lock exception, leaving both unlocked.
    // Defined by the drawing core (morna_draw), which holds the members of every family.
    int DispatchBlt(EBltOp op, CSurfaceInfo& src, const BltGeometry& geom, const void* param = nullptr);

    // Image writers (defined with the image files, in morna_draw). Both read the pixels
    // through pixels and pitch without locking. The rectangle (null: the whole surface) is
    // cut to the surface. Answer: CFile::Write's (0 written), -1 an empty rectangle, -2 no
    // pixels to read (not initialised, null pointer, a format that is never converted from:
    // Palette8 and ABGR8888, or a file beyond 4 GiB); no file is written on -1 and -2.
    // SaveBitmap: 24 bits per pixel, rows bottom-up, fill bytes 0.
    int SaveBitmap(const VTL::VTLstring& fileName, const Rect* rect = nullptr);
    // SaveTvg: ARGB8888 pixels, LZSS-packed when compress is set and the data shrinks.
    int SaveTvg(const VTL::VTLstring& fileName, const Rect* rect = nullptr, bool compress = false);

    VTL::smart_ptr<ISurfaceLocker> GetLocker() const { return locker_; }
    void SetLocker(const VTL::smart_ptr<ISurfaceLocker>& locker) { locker_ = locker; }

    // Changes the pixels of `rect` (null: the whole surface), cut to the surface, in place.
    // `param` points to what the operation takes (see EffectOp). 0 done, also for a format
    // without the effect (Palette8), an empty rectangle or a mosaic block below 1; 1 an
    // unknown code, a missing parameter or a refused lock, with nothing touched.
    // Defined by the drawing core (morna_draw).
    uint32_t ApplyEffect(EffectOp op, const Rect* rect, const void* param);

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

// Classifies a display surface by its pixel format: -1 null surface, 0 description not
// readable, 1 unrecognised, else a code 2 to 8. Failures are written to the error log.
class CDirectDrawSurfaceManager {
public:
    static int32_t GetSurfaceType(morna::platform::ISurfaceDescSource* surface);
};

}  // namespace tovarineGameSDK3rd::Draw
