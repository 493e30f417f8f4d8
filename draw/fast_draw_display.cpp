// The display's change sequence, the present of each frame and its window hook.
#include <cstring>

#include "draw/base/blend_tables.h"
#include "draw/blt_dispatch.h"
#include "draw/fast_draw.h"
#include "foundation/vtl/scope_exit.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/display_mode.h"
#include "platform/system_palette.h"
#include "platform/window.h"

namespace tovarineGameSDK3rd::Draw {

namespace dd = morna::platform;

Window::IWindow* CFastDraw::AppWindow() const { return AppFrame::CAppManager::GetMyWindow(); }

void CFastDraw::SetPresenter(std::unique_ptr<dd::DisplayPresenter> presenter) { presenter_ = std::move(presenter); }

int CFastDraw::SetDisplayMode(bool fullScreen, int width, int height, int bpp) {
    if (width != 0) width_ = width;
    if (height != 0) height_ = height;
    bpp_ = bpp != 0 ? bpp : 16;
    if (GetDDraw() == nullptr) return 1;
    // The outcome of the change, not a constant: 1 tells the caller that no mode is set.
    return RunChange(fullScreen);
}

int CFastDraw::ChangeDisplay(bool fullScreen) {
    if (GetDDraw() == nullptr) return 1;
    return RunChange(fullScreen) != 0 ? 2 : 0;
}

int CFastDraw::RunChange(bool fullScreen) {
    BeginChangeDisplay();
    {
        // A test that throws ends the change here, without the restore of a change that ran.
        VTL::scope_exit abandon([this] { CloseChange(); });
        if (fullScreen) TestDisplayMode(width_, height_, true, bpp_);
        TestDisplayMode(width_, height_, false, 0);
        abandon.release();
    }
    return EndChangeDisplay();
}

void CFastDraw::CloseChange() {
    changeOpen_ = false;
    // Runs on the way out of a throw too, where a Leave that throws would end the process.
    if (lock_.IsLockedByThisThread()) lock_.Leave();
}

void CFastDraw::BeginChangeDisplay() {
    lock_.Enter();
    changeOpen_ = true;
    modeChanged_ = false;
    if (GetDDraw() == nullptr) return;
    VTL::scope_exit leave([this] { CloseChange(); });
    KeepPictures();
    palettePlane_.Release();
    primary_.Release();
    leave.release();
    // Leaving full screen needs no restoring here: the windowed test sets the desktop's
    // format again, and the window leaves full screen when it is told the state.
}

int CFastDraw::TestDisplayMode(int width, int height, bool fullScreen, int bpp) {
    dd::DirectDraw* ddraw = GetDDraw();
    if (!changeOpen_ || ddraw == nullptr) return changeOpen_ ? 1 : 0;
    modeChanged_ = modeChanged_ || fullScreen_ || fullScreen;
    Window::IWindow* window = AppWindow();
    if (modeChanged_ && window) window->RequestScreenChange();
    fullScreen_ = fullScreen;

    int32_t format = 0;
    if (!fullScreen) {
        format = dd::DesktopDisplayFormat();
        if (format < 2 || format > 8) {
            GetErrorLog().Out("CFastDraw::TestDisplayModeのSetCooperativeLevelにDDSC_NORMALで失敗");
            return 1;
        }
    } else if (!dd::SetFullScreenMode(width, height, bpp, &format)) {
        GetErrorLog().Out("CFastDraw::TestDisplayModeのSetDisplayModeに失敗");
        return 1;
    }
    ddraw->SetDisplayMode(format, width, height);

    bool retry = false;
    if (primary_.CreatePrimary(&retry, width, height) != 0) {
        GetErrorLog().Out("CFastDraw::TestDisplayModeでCreatePrimaryに失敗");
        return 1;
    }
    const bool palette = primary_.GetSurfaceType() == 2;
    if (palette) backPlane_.SetUseDIB(true);
    bool useAttached = false;
    if (backPlane_.CreateSecondary(&primary_, &useAttached) != 0) {
        GetErrorLog().Out("CFastDraw::TestDisplayModeでCreateSecondaryに失敗");
        return 1;
    }
    if (palette) palettePlane_.InnerCreateSurface(width, height, false, true);
    if (window) {
        window->SetFullScreen(fullScreen);
        window->ChangeScreenMode();
    }
    width_ = width;
    height_ = height;
    if (fullScreen) bpp_ = bpp;
    changeOpen_ = false;
    return 0;
}

int CFastDraw::EndChangeDisplay() {
    VTL::scope_exit close([this] { CloseChange(); });
    int answer = 0;
    if (GetDDraw() == nullptr) {
        answer = 1;
    } else if (changeOpen_) {
        GetErrorLog().Out("CFastDraw::BeginChangeDisplay～EndChangeDisplayに失敗");
        answer = 1;
    } else {
        if (modeChanged_) dd::DisplaySleep(500);
        // The cursor's counter is brought to the state, however often the mode changed.
        dd::ShowCursor(true);
        int32_t count = dd::ShowCursor(false);  // read without changing it
        while (fullScreen_ && count >= 0) count = dd::ShowCursor(false);
        while (!fullScreen_ && count < 0) count = dd::ShowCursor(true);
        if (Window::IWindow* window = AppWindow()) {
            window->SetSize(width_, height_);
            window->SetFullScreen(fullScreen_);
            window->ChangeScreenMode();
        }
        RestorePlanes();
        PutBackPictures();
        BuildPaletteLookup();
        hwnd_ = AppFrame::CAppManager::GetMyHWnd();
        if (!presenter_ && hwnd_ != 0) presenter_ = dd::DisplayPresenter::CreateForWindow(hwnd_);
    }
    return answer;
}

void CFastDraw::KeepPictures() {
    for (CFastPlane* plane : planes_) plane->KeepPicture();
    if (!HasPlane(&backPlane_)) backPlane_.KeepPicture();
}

void CFastDraw::PutBackPictures() {
    // The list as the rebuild left it: a plane destroyed meanwhile has left it.
    for (CFastPlane* plane : planes_) plane->PutBackPicture();
    backPlane_.PutBackPicture();
}

void CFastDraw::CopyToPrimary(CSurfaceInfo& source, const Rect& rect) {
    CSurfaceInfo* primary = primary_.GetSurfaceInfo();
    Rect r;
    primary->ClipRect(&r, &rect);
    source.ClipRect(&r, &r);
    if (r.right <= r.left || r.bottom <= r.top || source.type != primary->type) return;
    if (source.Lock() != 0) return;
    if (primary->Lock() == 0) {
        const size_t bytes = static_cast<size_t>(r.right - r.left) * primary->GetPixelSize();
        for (int32_t y = r.top; y < r.bottom; ++y)
            std::memcpy(primary->pixels + static_cast<ptrdiff_t>(y) * primary->pitch + r.left * primary->GetPixelSize(),
                        source.pixels + static_cast<ptrdiff_t>(y) * source.pitch + r.left * source.GetPixelSize(), bytes);
        primary->Unlock();
    }
    source.Unlock();
}

void CFastDraw::Present(const Rect* rect, bool drawLayers) {
    if (hwnd_ != 0 && dd::IsWindowMinimized(hwnd_)) return;
    if (reactivated_) {
        dd::DirectDrawSurface* surface = primary_.GetDDSurface();
        if (surface && surface->IsLost() != dd::kDdOk) ChangeDisplay(fullScreen_);
        reactivated_ = false;
        return;
    }
    if (primary_.GetDDSurface() == nullptr) return;

    if (drawLayers) {
        layers1_.OnDraw(static_cast<ISurface*>(&backPlane_));
        if (!layers3_.IsEmpty()) {
            if (dd::DeviceContext* dc = backPlane_.BeginPaint()) {
                layers3_.OnDraw(dc);
                backPlane_.EndPaint();
            }
        }
        layers2_.OnDraw(static_cast<ISurface*>(&backPlane_));
        if (brightness_ != 256) backPlane_.FadeEffect(brightness_ & 0xFF, nullptr);
    }

    CFastPlane* source = &backPlane_;
    if (primary_.GetSurfaceType() == 2) {
        BltGeometry all;
        palettePlane_.Blt(EBltOp::BltCopy, backPlane_.GetSurfaceInfo(), &all, nullptr);
        source = &palettePlane_;
    }
    CSurfaceInfo* src = source->GetSurfaceInfo();
    if (!src->initialised) return;
    const Rect whole{0, 0, width_, height_};
    CopyToPrimary(*src, rect ? *rect : whole);

    if (!presenter_) return;
    CSurfaceInfo* primary = primary_.GetSurfaceInfo();
    uint32_t palette[256] = {};
    if (primary->type == 2) {
        dd::PaletteEntry entries[256];
        int n = dd::GetSystemPaletteEntries(0, 256, entries);
        for (int i = 0; i < n; ++i)
            palette[i] = (uint32_t{entries[i].red} << 16) | (uint32_t{entries[i].green} << 8) | entries[i].blue;
    }
    if (primary->Lock() != 0) return;
    dd::PresentPicture picture{primary->pixels, primary->pitch, primary->width, primary->height, primary->type, palette,
                               &WritePictureAsXrgb8888};
    if (!presenter_->Present(picture))
        GetErrorLog().Out("CFastDraw::Presentで表示に失敗 %s", presenter_->LastError().c_str());
    primary->Unlock();
}

void WritePictureAsXrgb8888(const dd::PresentPicture& picture, uint8_t* out, int32_t outPitch) {
    CSurfaceInfo src, dst;
    src.initialised = dst.initialised = true;
    src.pixels = const_cast<uint8_t*>(picture.pixels);  // only read
    src.pitch = picture.pitch;
    src.type = picture.format;
    dst.pixels = out;
    dst.pitch = outPitch;
    dst.type = XRGB8888;
    src.width = dst.width = picture.width;
    src.height = dst.height = picture.height;
    DispatchBlt(dst, EBltOp::BltCopy, src, BltGeometry{});
}

LRESULT CFastDraw::WndProc(HWND, UINT msg, WPARAM wparam, LPARAM) {
    if (msg == dd::WM_ACTIVATEAPP && wparam != 0) reactivated_ = true;
    // An exposed window (a new mode's, one uncovered or restored) shows the last picture again: the
    // back plane holds it until the next frame draws, and no frame may come soon (the settings
    // dialog over full screen stops them).
    if (msg == dd::WM_PAINT && !changeOpen_) Present(nullptr, false);
    if (msg == dd::WM_PALETTECHANGED) BuildPaletteLookup();
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw
