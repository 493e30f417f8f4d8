#pragma once
// CDIBitmap: a device-independent bitmap with its own memory device context and a
// CSurfaceInfo that describes its pixels (rows top down), so that it can be drawn on by the
// device context (image loaders, text) and blitted like any surface.
#include <cstdint>
#include <memory>

#include "draw/base/surface_info.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"
#include "platform/dib.h"

namespace tovarineGameSDK3rd::Draw {

class IDIBitmap {
public:
    // Reads an image file and draws it into a new bitmap of its size: 0, 1 load failed, 2 size
    // unreadable, 3 bitmap not created, 4 drawing failed.
    virtual int Load(const VTL::VTLstring& fileName, int bpp) = 0;
    // A bitmap of the rectangle's size holding the context's pixels there: 0, 1 no rectangle
    // or no bitmap. Pixels outside the context's bitmap stay 0.
    virtual int CopyFromDC(morna::platform::DeviceContext* dc, const Rect* rect, int bpp) = 0;
    // The pixels as a 24-bit BMP (SaveBitmap's answer).
    virtual int SaveBitmap(const VTL::VTLstring& fileName) = 0;
    // 0 created; 1 a size that is not positive, an unsupported bpp (8, 15, 16, 24, 32 are), or
    // no memory. alpha makes a 32-bit ARGB8888 bitmap whatever bpp says.
    virtual int CreateDIB(int width, int height, int bpp, bool alpha) = 0;
    // Fills the rectangle (null: everything) with the description's fill colour (the clear
    // effect); 0, or 1 without a bitmap.
    virtual int Clear(const Rect* rect) = 0;
    virtual int Release() = 0;
    virtual morna::platform::DeviceContext* GetHDC() = 0;
    virtual morna::platform::DibSection* GetHBITMAP() = 0;
    // 1 without a bitmap; else the size and 0.
    virtual int GetSize(int* width, int* height) = 0;
    virtual void* GetPtr() = 0;
    // The description (throws CNullPointerException when there is none).
    virtual CSurfaceInfo* GetSurfaceInfo() = 0;
    virtual ~IDIBitmap() = default;
};

class CDIBitmap : public IDIBitmap {
public:
    CDIBitmap();
    ~CDIBitmap() override;
    CDIBitmap(const CDIBitmap&) = delete;
    CDIBitmap& operator=(const CDIBitmap&) = delete;

    int Load(const VTL::VTLstring& fileName, int bpp) override;
    int CopyFromDC(morna::platform::DeviceContext* dc, const Rect* rect, int bpp) override;
    int SaveBitmap(const VTL::VTLstring& fileName) override;
    int CreateDIB(int width, int height, int bpp, bool alpha) override;
    int Clear(const Rect* rect) override;
    int Release() override;
    morna::platform::DeviceContext* GetHDC() override { return dc_.get(); }
    morna::platform::DibSection* GetHBITMAP() override { return bitmap_.get(); }
    int GetSize(int* width, int* height) override;
    void* GetPtr() override { return pixels_; }
    CSurfaceInfo* GetSurfaceInfo() override { return info_.operator->(); }

protected:
    uint8_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int bpp_ = 0;
    std::unique_ptr<morna::platform::DibSection> bitmap_;
    std::unique_ptr<morna::platform::DeviceContext> dc_;
    VTL::smart_ptr<CSurfaceInfo> info_;
};

}  // namespace tovarineGameSDK3rd::Draw
