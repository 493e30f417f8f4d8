#pragma once
// CFastDraw: the display of one application thread. It owns the DirectDraw object, the
// primary, back and conversion planes and the list of every plane with pixels created for it,
// and it is the calling thread's current display from its construction on.
#include <cstdint>
#include <memory>
#include <vector>

#include "draw/fast_plane.h"
#include "draw/layer_list.h"
#include "foundation/appframe/app_manager.h"
#include "foundation/window/win_hook.h"
#include "platform/display_present.h"
#include "foundation/thread/critical_section.h"
#include "foundation/vtl/smart_ptr.h"
#include "platform/direct_draw.h"

namespace tovarineGameSDK3rd::Draw {

// The DirectDraw object with its start-up status.
class CDirectDraw {
public:
    enum Status : int32_t {
        Ready = 0,
        NotCreated = 1,        // no object
        HardwareOnly = 3,      // emulation refused, the hardware object serves
        InitialiseFailed = 4,  // no object
    };
    explicit CDirectDraw(bool emulationOnly);
    ~CDirectDraw();
    CDirectDraw(const CDirectDraw&) = delete;
    CDirectDraw& operator=(const CDirectDraw&) = delete;

    morna::platform::DirectDraw* Get() const { return object_.get(); }
    int32_t GetStatus() const { return status_; }

private:
    std::unique_ptr<morna::platform::DirectDraw> object_;
    int32_t status_ = NotCreated;
    bool com_ = false;
};

// The present's converting pass: the picture (a display format) copied into XRGB8888 rows by
// the copy blit (PresentPicture::writeXrgb8888).
void WritePictureAsXrgb8888(const morna::platform::PresentPicture& picture, uint8_t* out, int32_t outPitch);

// What planes and factories hold of a display: it outlives the display, which clears it.
struct DisplayAnchor {
    CFastDraw* display = nullptr;
};

class CFastDraw : public Window::IWinHook, public AppFrame::IAppDraw {
public:
    CFastDraw();
    ~CFastDraw() override;
    CFastDraw(const CFastDraw&) = delete;
    CFastDraw& operator=(const CFastDraw&) = delete;

    // A display, made the calling thread's current one, together with a plane factory bound
    // to it that becomes the thread's factory (replacing an earlier one).
    static VTL::smart_ptr<CFastDraw> CreateWithPlaneFactory();
    // The calling thread's current display; null when it has none or it is gone.
    static CFastDraw* GetCurrent();

    CDirectDraw& GetDirectDraw() { return directDraw_; }
    // The DirectDraw object; null when it could not be made.
    morna::platform::DirectDraw* GetDDraw() const { return directDraw_.Get(); }

    CFastPlane* GetPrimary() { return &primary_; }
    CFastPlane* GetPalettePlane() { return &palettePlane_; }
    CFastPlane* GetBackPlane() { return &backPlane_; }
    // The display's format: the primary plane's type (0 while there is no primary).
    int32_t GetPrimaryType() { return primary_.GetSurfaceType(); }
    void GetDisplaySize(int* width, int* height) const;
    bool IsFullScreen() const { return fullScreen_; }
    int GetBpp() const { return bpp_; }

    // The plane list: every plane with pixels of its own made for this display, each once,
    // in the order they joined.
    void AddPlane(CFastPlane* plane);
    void RemovePlane(CFastPlane* plane);
    bool HasPlane(const CFastPlane* plane) const;
    const std::vector<CFastPlane*>& GetPlaneList() const { return planes_; }
    // Restore of every listed plane in list order. The walk is over the list as it was: planes
    // that join meanwhile are not visited, planes that leave (or are destroyed) are skipped.
    void RestorePlanes();

    const std::shared_ptr<DisplayAnchor>& GetAnchor() const { return anchor_; }
    Thread::CCriticalSection& GetLock() { return lock_; }

    // A whole change: stores a non-zero size and the depth (0 means 16), tries full screen
    // when asked, then the window. 0 when a mode was set, 1 when none was (or no object).
    int SetDisplayMode(bool fullScreen, int width, int height, int bpp);
    // The same with the stored size and depth: 1 without an object, 2 when no mode was set.
    int ChangeDisplay(bool fullScreen);
    // The three steps of a change; the display's lock is held from Begin to End, and End
    // closes the change and leaves the lock also when it throws.
    void BeginChangeDisplay();
    // 0 when the mode is set (later tests of the same change do nothing and answer 0), 1 when
    // a step failed or no change is open.
    int TestDisplayMode(int width, int height, bool fullScreen, int bpp);
    // 0 when a test succeeded (planes restored), else 1.
    int EndChangeDisplay();

    // Draws the layers and the brightness onto the back plane, copies it (or `rect` of it)
    // onto the primary and shows the primary in the window.
    virtual void Present(const Rect* rect = nullptr, bool drawLayers = true);
    // Activation marks the display for a check of its primary at the next present; a paint
    // message presents the back plane again; a palette change rebuilds the palette lookup.
    // Answers 0: other hooks still see every message.
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) override;

    CLayerList& GetLayers1() { return layers1_; }
    CLayerList& GetLayers2() { return layers2_; }
    CLayerList& GetLayers3() { return layers3_; }
    int GetBrightness() const { return brightness_; }
    void SetBrightness(int brightness) { brightness_ = brightness; }
    bool IsChangeOpen() const { return changeOpen_; }
    // What shows the primary: made for the application window when a mode is set; tests put
    // an offscreen one.
    morna::platform::DisplayPresenter* GetPresenter() { return presenter_.get(); }
    void SetPresenter(std::unique_ptr<morna::platform::DisplayPresenter> presenter);

protected:
    std::shared_ptr<DisplayAnchor> anchor_;
    CDirectDraw directDraw_;
    bool fullScreen_ = false;
    int width_ = 640;
    int height_ = 480;
    int bpp_ = 16;
    std::vector<CFastPlane*> planes_;  // declared before the planes: they leave it when destroyed
    CFastPlane primary_;
    CFastPlane palettePlane_;
    CFastPlane backPlane_;
    Thread::CCriticalSection lock_;
    bool changeOpen_ = false;
    bool modeChanged_ = false;
    int brightness_ = 256;
    bool reactivated_ = false;
    HWND hwnd_ = 0;
    CLayerList layers1_, layers2_, layers3_;
    std::unique_ptr<morna::platform::DisplayPresenter> presenter_;

private:
    // Begin, the tests (full screen when asked, then the window) and End; a test that throws
    // closes the change and leaves the lock on its way out.
    int RunChange(bool fullScreen);
    void CloseChange();
    Window::IWindow* AppWindow() const;
    void CopyToPrimary(CSurfaceInfo& source, const Rect& rect);
    // The pictures of the planes that keep their contents through a change of the display:
    // kept at its begin and put back at its end. The back plane is one: the change's test makes
    // it anew as the new primary's secondary, and a window shown before the next frame shows
    // the last picture.
    void KeepPictures();
    void PutBackPictures();
};

}  // namespace tovarineGameSDK3rd::Draw
