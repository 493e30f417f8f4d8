#include "draw/fast_plane.h"

#include <cstring>
#include <new>

#include "draw/blt_dispatch.h"
#include "draw/fast_draw.h"
#include "draw/surface_type_probe.h"
#include "foundation/vtl/scope_exit.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/dib.h"

namespace tovarineGameSDK3rd::Draw {

namespace {
namespace dd = morna::platform;

// The name that loads nothing.
const char kNotDefined[] = "#notdefined#";

// Whether a plane of `type` may stay as it is on a display of `display` after a change.
bool FitsDisplay(int32_t type, int32_t display, bool paletteSurface, bool loadedFor8BitFromFile) {
    switch (display) {
        case Palette8: return (type == Palette8 && paletteSurface) || type == RGB555 || type == ARGB4555;
        case RGB565: return type == RGB565 || type == ARGB4565;
        case RGB555: return (type == RGB555 || type == ARGB4555) && !loadedFor8BitFromFile;
        case RGB888: case BGR888: case XRGB8888: case XBGR8888:
            return type == display || type == ToAlphaSurfaceType(display);
        default: return true;
    }
}
}  // namespace

// A picture kept through a display change.
struct CFastPlane::KeptPicture {
    std::vector<uint8_t> rows;
    CSurfaceInfo info;  // describes rows
};

CFastPlane::CFastPlane(CFastDraw* owner) : owner_(owner ? owner->GetAnchor() : nullptr) {}

CFastPlane::CFastPlane(CFastDraw* owner, Unlisted) : CFastPlane(owner) { unlisted_ = true; }

CFastPlane::~CFastPlane() { Release(); }

CFastDraw* CFastPlane::GetOwner() const {
    if (owner_) return owner_->display;
    return CFastDraw::GetCurrent();
}

int32_t CFastPlane::DisplayType() const {
    CFastDraw* owner = GetOwner();
    return owner ? owner->GetPrimaryType() : 0;
}

void CFastPlane::JoinOwnerList() {
    if (restoring_ || unlisted_) return;
    CFastDraw* owner = GetOwner();
    if (!owner) return;
    // A plane is in one list at a time: the one it joined last.
    if (listed_ && listed_ != owner->GetAnchor()) LeaveOwnerList();
    owner->AddPlane(this);
    listed_ = owner->GetAnchor();
}

void CFastPlane::LeaveOwnerList() {
    if (!listed_) return;
    if (listed_->display) listed_->display->RemovePlane(this);
    listed_.reset();
}

int CFastPlane::GetBpp() {
    switch (GetSurfaceType()) {
        case Palette8: return 8;
        case RGB565: case RGB555: case ARGB4565: case ARGB4555: return 16;
        case RGB888: case BGR888: return 24;
        case XRGB8888: case XBGR8888: case ARGB8888: case ABGR8888: return 32;
        default: return 0;
    }
}

// ---- colour key

void CFastPlane::ResetColorKey() {
    keyByPosition_ = false;
    keyX_ = keyY_ = 0;
    keyColour_ = 0;
}

int CFastPlane::ReapplyColorKey() {
    CSurfaceInfo* info = GetSurfaceInfo();
    int r = 0;
    if (keyByPosition_) r = info->GetPixel(keyX_, keyY_, &keyColour_);
    info->colourKey = GetColorKey();
    return r;
}

// ---- size

int CFastPlane::GetSize(int* width, int* height) {
    if (width) *width = width_;
    if (height) *height = height_;
    return GetSurfaceInfo()->initialised ? 0 : 1;
}

int CFastPlane::SetSize(int width, int height) {
    int w = 0, h = 0;
    if (GetSize(&w, &h) == 0 && w == width && h == height) return 0;
    return CreateSurface(width, height, false);
}

int CFastPlane::CreateSurfaceByType(int width, int height, int32_t type) {
    return CreateMemorySurface(width, height, type, false);
}

void CFastPlane::CreateInstance(VTL::smart_ptr<ISurface>& out) { out = VTL::smart_ptr<ISurface>(new CFastPlane(GetOwner())); }

// ---- creation

int CFastPlane::CreateSurface(int width, int height, bool alpha) {
    ResetColorKey();
    const int r = InnerCreateSurface(width, height, alpha || alphaPlane_, false);
    if (r != 0) return r;
    ReapplyColorKey();
    return 0;
}

int CFastPlane::InnerCreateSurface(int width, int height, bool alpha, bool direct) {
    Release();
    if (width <= 0 || height <= 0) return 1;
    const int32_t display = DisplayType();

    if (alpha) {
        const int32_t type = ToAlphaSurfaceType(display);
        if (type < ARGB4565) {
            // No alpha format goes with a display of no known format.
            GetErrorLog().Out("CFastPlane::InnerCreateSurfaceで不明なディスプレイ形式のαサーフェース");
            return 1;
        }
        return CreateMemorySurface(width, height, type, true);
    }
    if (display == Palette8 && !direct) return CreateMemorySurface(width, height, RGB555, true);
    if (direct) paletteSurface_ = true;

    CFastDraw* owner = GetOwner();
    int displayWidth = 0, displayHeight = 0;
    if (owner) owner->GetDisplaySize(&displayWidth, &displayHeight);
    if (width > displayWidth || height > displayHeight) return CreateMemorySurface(width, height, display, true);

    dd::DirectDraw* ddraw = owner ? owner->GetDDraw() : nullptr;
    if (!ddraw) return 1;
    dd::SurfaceRequest request;
    request.width = width;
    request.height = height;
    request.systemMemory = systemMemory_;
    // 24-bit display surfaces are asked one pixel wider for an odd width.
    if (PixelSizeOf(display) == 3 && (width & 1)) ++request.width;
    width_ = width;
    height_ = height;
    if (ddraw->CreateSurface(request, &surface_) != dd::kDdOk) {
        GetErrorLog().Out("CFastPlane::InnerCreateSurfaceのCreateSurfaceに失敗");
        width_ = height_ = 0;
        return 2;
    }
    UpdateSurfaceInfo();
    Clear(nullptr);
    isAlpha_ = false;
    JoinOwnerList();
    return 0;
}

int CFastPlane::CreateMemorySurface(int width, int height, int32_t type, bool clear) {
    const int bytes = type == Palette8 ? 0 : PixelSizeOf(type);
    if (bytes == 0 || width <= 0 || height <= 0 || width > dd::kMaxSurfaceSide || height > dd::kMaxSurfaceSide ||
        int64_t{width} * height > dd::kMaxSurfacePixels) {
        return 1;
    }
    // Whatever held the pixels before goes; the file name and the key stay (a load ends here).
    FreePixels();
    CSurfaceInfo* info = GetSurfaceInfo();
    uint8_t* pixels = nullptr;
    int32_t pitch = width * bytes;
    if (type == RGB555 && useDIB_) {
        dibBitmap_ = dd::DibSection::Create(width, height, 16, true);
        dibDc_.reset(dibBitmap_ ? new (std::nothrow) dd::DeviceContext : nullptr);
        if (!dibDc_) {
            dibBitmap_.reset();
            return 1;
        }
        dibDc_->SelectBitmap(dibBitmap_.get());
        pixels = dibBitmap_->Bits();
        pitch = dibBitmap_->Stride();  // DIB rows are whole 32-bit words
    } else {
        try {
            memory_.assign(static_cast<size_t>(pitch) * static_cast<size_t>(height), 0);
        } catch (const std::bad_alloc&) {
            GetErrorLog().Out("CFastPlane::CreateMemorySurfaceでメモリ確保に失敗");
            return 1;
        }
        pixels = memory_.data();
    }
    width_ = width;
    height_ = height;
    info->pixels = pixels;
    info->pitch = pitch;
    info->width = width;
    info->height = height;
    info->type = type;
    info->initialised = true;
    isAlpha_ = type >= ARGB4565;
    memorySurface_ = true;
    if (clear) Clear(nullptr);
    JoinOwnerList();
    return 0;
}

int CFastPlane::UpdateSurfaceInfo() {
    CSurfaceInfo* info = GetSurfaceInfo();
    const int32_t type = CDirectDrawSurfaceManager::GetSurfaceType(surface_.get());
    dd::LockedSurface locked;
    int32_t r = dd::kDdErrGeneric;
    if (surface_) {
        // A lost surface may come back; it is not waited for without end.
        for (int i = 0; i < kLostRetries; ++i) {
            r = surface_->Lock(&locked);
            if (r != dd::kDdErrSurfaceLost) break;
        }
    }
    info->width = width_;
    info->height = height_;
    info->type = type;
    if (r == dd::kDdOk) {
        info->pixels = locked.pixels;
        info->pitch = locked.pitch;
        info->initialised = true;
        surface_->Unlock();
        return 0;
    }
    info->pixels = nullptr;
    info->pitch = 0;
    if (noLock_) {
        info->initialised = true;
        info->SetLocker(VTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker));
    } else {
        info->initialised = false;
    }
    return 1;
}

int CFastPlane::CreatePrimary(bool* retry, int width, int height) {
    noLock_ = true;
    Release();
    ResetColorKey();
    CFastDraw* owner = GetOwner();
    dd::DirectDraw* ddraw = owner ? owner->GetDDraw() : nullptr;
    if (!ddraw) return 1;
    if (retry) *retry = false;
    dd::SurfaceRequest request;
    request.primary = true;
    if (ddraw->CreateSurface(request, &surface_) != dd::kDdOk) {
        GetErrorLog().Out("CFastPlane::CreatePrimaryに失敗");
        return 1;
    }
    if (width != 0 && height != 0) {
        width_ = width;
        height_ = height;
    } else {
        owner->GetDisplaySize(&width_, &height_);
    }
    UpdateSurfaceInfo();
    if (GetSurfaceType() == Palette8) paletteSurface_ = true;
    ReapplyColorKey();
    return 0;
}

int CFastPlane::CreateSecondary(CFastPlane* primary, bool* useAttached) {
    Release();
    ResetColorKey();
    CFastDraw* owner = GetOwner();
    if (!owner || !owner->GetDDraw() || !primary) return 1;
    int w = 0, h = 0;
    primary->GetSize(&w, &h);
    if (useAttached && *useAttached) {
        dd::DirectDrawSurface* front = primary->GetDDSurface();
        if (front && front->GetAttachedSurface(&surface_) == dd::kDdOk) {
            width_ = w;
            height_ = h;
            UpdateSurfaceInfo();
            Clear(nullptr);
            ReapplyColorKey();
            return 0;
        }
        GetErrorLog().Out("CFastPlane::CreateSecondaryのGetAttachedSurfaceに失敗");
        *useAttached = false;
    }
    if (InnerCreateSurface(w, h, false, false) != 0) {
        GetErrorLog().Out("CFastPlane::CreateSecondaryに失敗");
        return 1;
    }
    ReapplyColorKey();
    return 0;
}

// ---- loading

int CFastPlane::Load(const VTL::VTLstring& fileName) {
    Release();
    ResetColorKey();
    const int r = InnerLoad(fileName);
    fileName_ = fileName;
    return r;
}

int CFastPlane::InnerLoad(const VTL::VTLstring& fileName) {
    // Release forgets the name; the key stays as it is.
    const VTL::VTLstring name = fileName;
    Release();
    fileName_ = name;
    if (name == kNotDefined) return 0;
    const int32_t display = DisplayType();
    loadedFor8Bit_ = false;
    int32_t type = display;
    if (alphaPlane_) {
        type = ToAlphaSurfaceType(display);
    } else if (display == Palette8) {
        type = RGB555;
        loadedFor8Bit_ = true;
    }
    const int r = LoadByType(name, type);
    if (r != 0) return r;
    ReapplyColorKey();
    return 0;
}

// ---- release and restore

void CFastPlane::FreePixels() {
    if (paintDc_ && surface_) surface_->ReleaseDC(paintDc_);
    paintDc_ = nullptr;
    dibDc_.reset();
    dibBitmap_.reset();
    memory_.clear();
    memory_.shrink_to_fit();
    memorySurface_ = false;
    surface_.reset();
    CSurfaceInfo* info = GetSurfaceInfo();
    info->initialised = false;
    info->pixels = nullptr;
    info->pitch = 0;
    // A surface that refused its trial lock must not leave its refusal to the next one.
    info->SetLocker(VTL::smart_ptr<ISurfaceLocker>(new INullSurfaceLocker));
}

int CFastPlane::Release() {
    FreePixels();
    fileName_ = VTL::VTLstring();
    width_ = height_ = 0;
    // A released plane describes no pixels: blits and logs must not read the old size.
    GetSurfaceInfo()->width = GetSurfaceInfo()->height = 0;
    loadedFor8Bit_ = false;
    if (!restoring_) LeaveOwnerList();
    return 0;
}

int CFastPlane::Restore() {
    restoring_ = true;
    VTL::scope_exit done([this] { restoring_ = false; });
    int r = 0;
    CSurfaceInfo* info = GetSurfaceInfo();
    const int32_t type = info->type;
    if (type != 0) {
        const bool lost = surface_ && surface_->IsLost() != dd::kDdOk;
        const bool fits = (surface_ || memorySurface_) && !lost &&
                          FitsDisplay(type, DisplayType(), paletteSurface_, loadedFor8Bit_ && !fileName_.empty());
        if (!fits) {
            const int w = width_, h = height_;
            bool rebuilt = false;
            if (keepContents_ && w != 0 && h != 0) {
                CFastPlane copy(GetOwner(), Unlisted{});
                if (copy.CreateSurface(w, h, IsAlpha()) == 0 &&
                    copy.Blt(EBltOp::BltCopy, info, nullptr, nullptr) == BltDone) {
                    r = InnerCreateSurface(w, h, isAlpha_, paletteSurface_);
                    if (r == 0) Blt(EBltOp::BltCopy, copy.GetSurfaceInfo(), nullptr, nullptr);
                    rebuilt = true;
                }
            }
            if (!rebuilt) {
                const VTL::VTLstring name = fileName_;
                if (!name.empty()) {
                    r = InnerLoad(name);
                } else if (w != 0 && h != 0) {
                    r = InnerCreateSurface(w, h, isAlpha_, paletteSurface_);
                }
            }
            ReapplyColorKey();
            r |= OnRestore();
        }
    }
    return r;
}

// ---- a picture through a display change

void CFastPlane::KeepPicture() {
    kept_.reset();
    CSurfaceInfo* info = GetSurfaceInfo();
    if (!keepContents_ || !info->initialised || info->GetPixelSize() == 0 || info->Lock() != 0) return;
    VTL::scope_exit unlock([info] { info->Unlock(); });
    kept_ = std::make_unique<KeptPicture>();
    const size_t row = static_cast<size_t>(info->width) * info->GetPixelSize();
    kept_->rows.resize(row * info->height);
    for (int32_t y = 0; y < info->height; ++y)
        std::memcpy(kept_->rows.data() + row * y, info->pixels + static_cast<ptrdiff_t>(y) * info->pitch, row);
    CSurfaceInfo& k = kept_->info;
    k.pixels = kept_->rows.data();
    k.pitch = static_cast<int32_t>(row);
    k.width = info->width;
    k.height = info->height;
    k.type = info->type;
    k.initialised = true;
}

void CFastPlane::PutBackPicture() {
    if (!kept_) return;
    CSurfaceInfo* info = GetSurfaceInfo();
    if (info->initialised && info->width == kept_->info.width && info->height == kept_->info.height &&
        DispatchBlt(*info, EBltOp::BltCopy, kept_->info, BltGeometry{}) != 0)
        GetErrorLog().Out("CFastPlane::PutBackPictureで画像を戻せない(%d→%d)", static_cast<int>(kept_->info.type),
                          static_cast<int>(info->type));
    kept_.reset();
}

// ---- painting

dd::DeviceContext* CFastPlane::BeginPaint() {
    if (dibDc_) return dibDc_.get();
    if (!surface_) return nullptr;
    if (paintDc_) {
        GetErrorLog().Out("CFastPlane::EndPaintが呼び出されていないのにBeginPaintが呼び出された");
        return nullptr;
    }
    dd::DeviceContext* dc = nullptr;
    if (surface_->GetDC(&dc) != dd::kDdOk) return nullptr;
    paintDc_ = dc;
    return dc;
}

void CFastPlane::EndPaint() {
    if (dibDc_) return;
    if (!paintDc_) {
        GetErrorLog().Out("CFastPlane::BeginPaintが呼び出されていないのにEndPaintが呼び出された");
        return;
    }
    if (surface_ && surface_->ReleaseDC(paintDc_) == dd::kDdOk) paintDc_ = nullptr;
}

}  // namespace tovarineGameSDK3rd::Draw
