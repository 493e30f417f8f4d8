#pragma once
// CFastPlane: the surface of the drawing core. Its pixels live in a display surface of the
// display's DirectDraw object (primary, back, off-screen) or in memory of its own (any format,
// an RGB555 one optionally as a DIB section with a device context). Every plane belongs to a
// display (CFastDraw), which lists the planes that have pixels so that it can rebuild them
// after a display change or a lost surface (Restore).
#include <cstdint>
#include <memory>
#include <vector>

#include "draw/surface.h"
#include "foundation/vtl/vtl_string.h"
#include "platform/direct_draw.h"

namespace morna::platform {
class DeviceContext;
class DibSection;
}  // namespace morna::platform

namespace tovarineGameSDK3rd::Draw {

class CFastDraw;
struct DisplayAnchor;

class CFastPlane : public ISurface {
public:
    // owner null: the calling thread's current display, looked up at each use.
    explicit CFastPlane(CFastDraw* owner = nullptr);
    ~CFastPlane() override;

    // ISurface
    int GetSize(int* width, int* height) override;  // 1 when there are no pixels
    int SetSize(int width, int height) override;    // nothing when the size is already that
    int CreateSurfaceByType(int width, int height, int32_t type) override;
    int Load(const VTL::VTLstring& fileName) override;
    int Release() override;
    void CreateInstance(VTL::smart_ptr<ISurface>& out) override;

    // A surface of the display's kind (the alpha counterpart of the display's format with
    // alpha or an alpha plane): 0; 1 no display object, a size that is not positive or an
    // alpha surface on a display of no known format; 2 the display object refused.
    virtual int CreateSurface(int width, int height, bool alpha = false);
    virtual bool IsAlpha() const { return isAlpha_; }
    // Rebuilds the plane for the display's format in force: left alone when it still fits,
    // else reloaded from its file, recreated empty, or (keepContents) recreated with its
    // pixels copied over. Called by the display for every listed plane.
    virtual int Restore();
    // A display change loses the pixels of its display surfaces before Restore runs: a plane
    // that keeps its contents copies its picture aside at the change's begin and puts it back
    // (in the new format, when the size is the same) at its end, after the rebuild.
    void KeepPicture();
    void PutBackPicture();
    // Called at the end of every rebuild; text planes render again here.
    virtual int OnRestore() { return 0; }
    virtual int InnerLoad(const VTL::VTLstring& fileName);
    virtual int InnerCreateSurface(int width, int height, bool alpha, bool direct);

    // The display's own surface: 0, 1 no display object or the object refused.
    int CreatePrimary(bool* retry, int width, int height);
    // The back surface: an off-screen plane of the primary's size (attached back buffers do
    // not exist here: *useAttached is cleared). 0 or 1.
    int CreateSecondary(CFastPlane* primary, bool* useAttached);
    // Pixels of our own: 0; 1 a type without memory surfaces (0, 1, Palette8, 9, above 13), a
    // size that is not positive or too large, or no memory.
    int CreateMemorySurface(int width, int height, int32_t type, bool clear);
    // Describes the display surface: 0; 1 its trial lock failed (with noLock the description
    // stays usable but refuses every lock).
    int UpdateSurfaceInfo();
    int ReapplyColorKey();
    void ResetColorKey();
    // A device context over the pixels: the DIB's own, or one from the display surface that
    // EndPaint gives back. Null for plain memory planes and on failure.
    morna::platform::DeviceContext* BeginPaint();
    void EndPaint();

    morna::platform::DirectDrawSurface* GetDDSurface() const { return surface_.get(); }
    // The owner, else the calling thread's current display; null when none (or gone).
    CFastDraw* GetOwner() const;
    int GetBpp();

    void SetSystemMemory(bool on) { systemMemory_ = on; }
    void SetKeepContents(bool on) { keepContents_ = on; }
    void SetUseDIB(bool on) { useDIB_ = on; }
    void SetAlphaPlane(bool on) { alphaPlane_ = on; }
    bool IsLoadedFor8Bit() const { return loadedFor8Bit_; }
    bool IsPaletteSurface() const { return paletteSurface_; }
    const VTL::VTLstring& GetFileName() const { return fileName_; }

    // Longest wait for a lost display surface while describing it, in lock attempts.
    static constexpr int kLostRetries = 16;

private:
    // A plane that never joins a display's list (the copy that Restore makes).
    struct Unlisted {};
    struct KeptPicture;
    CFastPlane(CFastDraw* owner, Unlisted);

    void FreePixels();
    void JoinOwnerList();
    void LeaveOwnerList();
    int32_t DisplayType() const;

    std::unique_ptr<morna::platform::DirectDrawSurface> surface_;
    std::unique_ptr<morna::platform::DibSection> dibBitmap_;
    std::unique_ptr<morna::platform::DeviceContext> dibDc_;
    morna::platform::DeviceContext* paintDc_ = nullptr;  // from BeginPaint on the display surface
    std::vector<uint8_t> memory_;                         // pixels of a plain memory surface
    bool loadedFor8Bit_ = false;
    int width_ = 0;
    int height_ = 0;
    VTL::VTLstring fileName_;
    bool systemMemory_ = true;
    bool isAlpha_ = false;
    bool alphaPlane_ = false;
    bool keepContents_ = false;
    bool memorySurface_ = false;
    bool paletteSurface_ = false;
    bool useDIB_ = false;
    bool noLock_ = false;
    bool restoring_ = false;
    bool unlisted_ = false;
    std::shared_ptr<DisplayAnchor> owner_;   // null: the thread's current display
    std::shared_ptr<DisplayAnchor> listed_;  // the display whose list holds the plane
    std::unique_ptr<KeptPicture> kept_;      // from KeepPicture to PutBackPicture
};

}  // namespace tovarineGameSDK3rd::Draw
