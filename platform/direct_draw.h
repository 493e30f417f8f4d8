#pragma once
// Display surfaces: what the drawing core asks of a DirectDraw object and its surfaces, over
// memory of our own. A surface is a buffer in the display's pixel format with a pitch that may
// be wider than its rows, locked to be drawn on, described for the format probe, lost when the
// display changes, and drawn on through the software device context.
//
// The object keeps the display's format and size: the desktop's while windowed, the mode's in
// full screen. The primary surface is a buffer of the display's size; whatever shows it on
// screen (a streaming texture of the same format) reads it after a present. Tests choose the
// format and inject failed creations, failed locks and lost surfaces.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/surface_desc.h"

namespace morna::platform {

class DeviceContext;
class DibSection;

// Result codes (their Windows values: callers compare them).
inline constexpr int32_t kDdOk = 0;
inline constexpr int32_t kDdErrGeneric = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t kDdErrOutOfMemory = static_cast<int32_t>(0x8007000Eu);
inline constexpr int32_t kDdErrInvalidParams = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t kDdErrNotFound = static_cast<int32_t>(0x887600FFu);
inline constexpr int32_t kDdErrSurfaceBusy = static_cast<int32_t>(0x887601AEu);
inline constexpr int32_t kDdErrSurfaceLost = static_cast<int32_t>(0x8876021Cu);

// The pixel format of a display by the drawing core's format code: 2 the 8-bit palette,
// 3 and 4 the 5-6-5 and 5-5-5 words, 5 and 6 the 24-bit red-first and blue-first (in the
// word) layouts, 7 and 8 their 32-bit forms. Any other code gives a bit count of 0.
SurfaceDesc DescribeDisplayFormat(int32_t code);

// The largest surface: this many pixels a side and in all.
inline constexpr int32_t kMaxSurfaceSide = 16384;
inline constexpr int64_t kMaxSurfacePixels = int64_t{1} << 24;

struct SurfaceRequest {
    bool primary = false;       // the display itself; width and height are not read
    int32_t width = 0;          // off-screen surfaces
    int32_t height = 0;
    bool systemMemory = false;  // recorded only: every surface lives in memory here
};

struct LockedSurface {
    uint8_t* pixels = nullptr;  // row 0, rows top to bottom
    int32_t pitch = 0;          // bytes from one row to the next
};

class DirectDraw;

class DirectDrawSurface : public ISurfaceDescSource {
public:
    ~DirectDrawSurface() override;
    DirectDrawSurface(const DirectDrawSurface&) = delete;
    DirectDrawSurface& operator=(const DirectDrawSurface&) = delete;

    // The format the surface was made in; true even while lost.
    bool GetSurfaceDesc(SurfaceDesc& out) override;

    // The size asked of the object (an odd 24-bit width arrives here one larger).
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t Pitch() const { return pitch_; }
    bool IsPrimary() const { return primary_; }
    bool InSystemMemory() const { return systemMemory_; }

    // kDdOk and the pixels; kDdErrSurfaceLost while lost; kDdErrSurfaceBusy while locked or
    // while a device context is out; an injected failure's code.
    int32_t Lock(LockedSurface* out);
    int32_t Unlock();
    // kDdOk, or kDdErrSurfaceLost.
    int32_t IsLost() const;
    // Makes a lost surface usable again, its pixels cleared (their contents went with the
    // loss). The buffer stays where it is for the surface's whole life.
    int32_t Restore();
    // Marks the surface lost and clears its pixels: what a display change does to every
    // surface of the object, and what tests do to one.
    void MarkLost();

    // A device context over a copy of the pixels (8 bits with the system palette for
    // Palette8, 32 bits otherwise); ReleaseDC writes back the pixels that were drawn. The
    // surface is busy in between. kDdErrSurfaceBusy, kDdErrSurfaceLost, kDdErrGeneric (no
    // bitmap for the copy) or kDdOk.
    int32_t GetDC(DeviceContext** out);
    // kDdErrInvalidParams for a context that is not this surface's.
    int32_t ReleaseDC(DeviceContext* dc);

    // Back buffers of a flipping chain do not exist here: kDdErrNotFound.
    int32_t GetAttachedSurface(std::unique_ptr<DirectDrawSurface>* out);

private:
    friend class DirectDraw;
    struct Shared;
    DirectDrawSurface(std::shared_ptr<Shared> shared, const SurfaceDesc& format, int32_t width, int32_t height,
                      bool primary, bool systemMemory);

    std::shared_ptr<Shared> shared_;
    SurfaceDesc format_;
    int32_t bytesPerPixel_;
    int32_t width_, height_, pitch_;
    bool primary_, systemMemory_;
    bool lost_ = false;
    bool locked_ = false;
    std::vector<uint8_t> pixels_;
    // While a device context is out: its bitmap and the pixels it was given.
    std::unique_ptr<DibSection> dcBitmap_;
    std::unique_ptr<DeviceContext> dc_;
    std::vector<uint32_t> dcOriginal_;
};

class DirectDraw {
public:
    DirectDraw();
    ~DirectDraw();
    DirectDraw(const DirectDraw&) = delete;
    DirectDraw& operator=(const DirectDraw&) = delete;

    // The object, or null when creation was refused (InjectCreateFailures).
    static std::unique_ptr<DirectDraw> Create();
    // Emulation only always succeeds: every surface is software here.
    int32_t Initialize(bool emulationOnly);

    // kDdOk and a new surface in the display's format; kDdErrInvalidParams for an off-screen
    // size that is not positive or above the limits, or a display format of no whole bytes;
    // kDdErrOutOfMemory; kDdErrGeneric for an injected failure.
    int32_t CreateSurface(const SurfaceRequest& request, std::unique_ptr<DirectDrawSurface>* out);

    const SurfaceDesc& GetDisplayFormat() const;
    int32_t GetDisplayWidth() const;
    int32_t GetDisplayHeight() const;
    // Changes the display's format and size; every surface of the object is lost.
    void SetDisplayMode(const SurfaceDesc& format, int32_t width, int32_t height);
    void SetDisplayMode(int32_t code, int32_t width, int32_t height) {
        SetDisplayMode(DescribeDisplayFormat(code), width, height);
    }
    // Marks every surface of the object lost.
    void LoseAllSurfaces();
    // Surfaces of the object that exist now.
    int32_t SurfaceCount() const;

    // Fault injection for tests. The next `count` surface creations fail with kDdErrGeneric;
    // the next `count` locks of any surface of the object fail with `code`.
    void InjectCreateSurfaceFailures(int32_t count);
    void InjectLockFailures(int32_t count, int32_t code);
    // The next `count` calls of Create answer null (process-wide).
    static void InjectCreateFailures(int32_t count);

private:
    std::shared_ptr<DirectDrawSurface::Shared> shared_;
};

}  // namespace morna::platform
