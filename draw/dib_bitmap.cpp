#include "draw/dib_bitmap.h"

#include <climits>
#include <new>

#include "draw/effect.h"
#include "draw/graphic_loader.h"
#include "draw/image_writer.h"
#include "foundation/auxiliary/file.h"

namespace tovarineGameSDK3rd::Draw {

CDIBitmap::CDIBitmap() : info_(new CSurfaceInfo) {}

CDIBitmap::~CDIBitmap() { Release(); }

int CDIBitmap::Release() {
    dc_.reset();
    bitmap_.reset();
    pixels_ = nullptr;
    if (info_) {
        info_->initialised = false;
        info_->pixels = nullptr;
    }
    return 0;
}

int CDIBitmap::CreateDIB(int width, int height, int bpp, bool alpha) {
    Release();
    if (width <= 0 || height <= 0) return 1;
    if (alpha) bpp = 32;
    morna::platform::RgbQuad table[256];
    if (bpp == 8) CGraphicLoader::FillColourTable(table);
    bitmap_ = morna::platform::DibSection::Create(width, height, bpp, true, bpp == 8 ? table : nullptr, 256);
    if (!bitmap_) return 1;
    dc_.reset(new (std::nothrow) morna::platform::DeviceContext);
    if (!dc_) {
        bitmap_.reset();
        return 1;
    }
    dc_->SelectBitmap(bitmap_.get());
    width_ = width;
    height_ = height;
    bpp_ = bpp;
    pixels_ = bitmap_->Bits();

    CSurfaceInfo& s = *info_;
    int bytes = 0;
    switch (bpp) {
        case 8: s.type = 1, bytes = 1; break;  // an index has no pixel format of its own
        case 15: case 16: s.type = RGB555, bytes = 2; break;
        case 24: s.type = RGB888, bytes = 3; break;
        case 32: s.type = alpha ? ARGB8888 : XRGB8888, bytes = 4; break;
        default: s.type = 0; break;
    }
    s.pixels = pixels_;
    s.pitch = (bytes * width + 3) & ~3;
    s.width = width;
    s.height = height;
    s.initialised = true;
    return 0;
}

int CDIBitmap::Load(const VTL::VTLstring& fileName, int bpp) {
    Auxiliary::CFile file;
    if (file.Read(fileName) != 0) return 1;
    std::unique_ptr<IGraphicLoader> loader(GetGraphicLoaderFactory()->CreateInstance());
    if (!loader || loader->Load(&file) != 0) return 1;
    int32_t w = 0, h = 0;
    if (loader->GetSize(&w, &h) != 0) return 2;
    if (CreateDIB(w, h, bpp, false) != 0) return 3;
    return loader->DrawToDC(GetHDC()) == 0 ? 0 : 4;
}

int CDIBitmap::CopyFromDC(morna::platform::DeviceContext* dc, const Rect* rect, int bpp) {
    // Our own context goes with the bitmap that CreateDIB replaces.
    if (!dc || !rect || dc == dc_.get()) return 1;
    const int64_t w = int64_t{rect->right} - rect->left, h = int64_t{rect->bottom} - rect->top;
    if (w > INT32_MAX || h > INT32_MAX || CreateDIB(static_cast<int>(w), static_cast<int>(h), bpp, false) != 0) return 1;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const uint32_t c = dc->GetPixel(rect->left + x, rect->top + y);
            if (c != morna::platform::DeviceContext::kInvalidColour) dc_->SetPixel(x, y, c);
        }
    }
    return 0;
}

int CDIBitmap::Clear(const Rect* rect) {
    if (!bitmap_) return 1;
    return static_cast<int>(ApplyEffect(*info_, EffectClear, rect, nullptr));
}

int CDIBitmap::SaveBitmap(const VTL::VTLstring& fileName) { return Draw::SaveBitmap(*info_, fileName, nullptr); }

int CDIBitmap::GetSize(int* width, int* height) {
    if (!dc_) return 1;
    if (width) *width = width_;
    if (height) *height = height_;
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw
