#include "draw/surface.h"

#include <memory>

#include "draw/blt_dispatch.h"
#include "draw/dib_bitmap.h"
#include "draw/graphic_loader.h"
#include "draw/image_writer.h"
#include "foundation/auxiliary/file.h"

namespace tovarineGameSDK3rd::Draw {

ISurface::ISurface() : info_(new CSurfaceInfo) {}

ISurface::~ISurface() = default;

CSurfaceInfo* ISurface::GetSurfaceInfo() { return info_.operator->(); }

int ISurface::Blt(EBltOp op, CSurfaceInfo* src, const BltGeometry* geom, const void* param) {
    CSurfaceInfo* dst = GetSurfaceInfo();
    if (!src) return BltNotDone;
    const BltGeometry whole{};
    return DispatchBlt(*dst, op, *src, geom ? *geom : whole, param);
}

int ISurface::Effect(EffectOp op, const Rect* rect, const void* param) {
    return static_cast<int>(ApplyEffect(*GetSurfaceInfo(), op, rect, param));
}

int ISurface::FadeEffect(int rate, const Rect* rect) {
    const uint32_t r = static_cast<uint32_t>(rate) & 0xFFu;
    return Effect(EffectFade, rect, &r);  // the effect reads the word's first byte
}

int ISurface::AddColorEffect(uint32_t colour, const Rect* rect) { return Effect(EffectAddColor, rect, &colour); }

int ISurface::SubColorEffect(uint32_t colour, const Rect* rect) { return Effect(EffectSubColor, rect, &colour); }

int ISurface::MosaicEffect(int blockSize, const Rect* rect) {
    const int32_t size = blockSize;
    return Effect(EffectMosaic, rect, &size);
}

int ISurface::NegativeEffect(const Rect* rect) { return Effect(EffectNegative, rect, nullptr); }

int ISurface::Clear(const Rect* rect) { return Effect(EffectClear, rect, nullptr); }

int ISurface::PolyBlt(int32_t op, CSurfaceInfo* src, const PolyBltGeometry* geom, int32_t extra) {
    return DispatchPolyBlt(*GetSurfaceInfo(), op, src, geom, extra);
}

int ISurface::SetColorKey(uint32_t colour) {
    keyByPosition_ = false;
    keyColour_ = colour;
    GetSurfaceInfo()->colourKey = GetColorKey();
    return 0;
}

uint32_t ISurface::GetColorKey() const { return keyColour_; }

int ISurface::SetColorKeyPos(int x, int y) {
    keyByPosition_ = true;
    keyX_ = x;
    keyY_ = y;
    CSurfaceInfo* info = GetSurfaceInfo();
    const int r = info->GetPixel(x, y, &keyColour_);
    info->colourKey = GetColorKey();
    return r;
}

int ISurface::SetColorKeyRGB(int r, int g, int b) {
    return SetColorKey(static_cast<uint32_t>(r << 16 | g << 8 | b));
}

int32_t ISurface::GetSurfaceType() { return GetSurfaceInfo()->type; }

void ISurface::SetFillColor(uint32_t colour) { GetSurfaceInfo()->fillColour = colour; }

uint32_t ISurface::GetFillColor() { return GetSurfaceInfo()->fillColour; }

int ISurface::Load(const VTL::VTLstring& /*fileName*/) { return 0; }

int ISurface::Release() { return 0; }

int ISurface::SaveBitmap(const VTL::VTLstring& fileName, const Rect* rect) {
    return Draw::SaveBitmap(*GetSurfaceInfo(), fileName, rect);
}

int ISurface::SaveTvg(const VTL::VTLstring& fileName, const Rect* rect, bool compress) {
    return Draw::SaveTvg(*GetSurfaceInfo(), fileName, rect, compress);
}

int ISurface::LoadByType(const VTL::VTLstring& fileName, int32_t type) {
    std::unique_ptr<IGraphicLoader> loader(GetGraphicLoaderFactory()->CreateInstance());
    Auxiliary::CFile file;
    if (file.Read(fileName) != 0) return -1;
    if (!loader || loader->Load(&file) != 0) return -2;
    if (loader->HasAlpha()) type = ToAlphaSurfaceType(type);
    int32_t w = 0, h = 0;
    if (loader->GetSize(&w, &h) != 0 || CreateSurfaceByType(w, h, type) != 0) return -3;

    CSurfaceInfo* info = GetSurfaceInfo();
    if (info->Lock() == 0) {
        const int direct = loader->LoadToSurface(info);
        info->Unlock();
        if (direct == 0) return 0;
    }
    // No direct path: draw the picture into a 24-bit bitmap and copy that in.
    CDIBitmap bitmap;
    if (bitmap.CreateDIB(w, h, 24, false) != 0) return -4;
    if (loader->DrawToDC(bitmap.GetHDC()) != 0) {
        Clear(nullptr);
        return -5;
    }
    return DispatchBlt(*info, EBltOp::BltCopy, *bitmap.GetSurfaceInfo(), BltGeometry{}, nullptr);
}

int ISurface::ShorthandBlt(EBltOp op, ISurface* src, int x, int y, const void* param, const Size* dstSize,
                           const Rect* srcRect) {
    if (!src) return BltNotDone;
    const Point at{x, y};
    BltGeometry geom;
    geom.dstPoint = &at;
    geom.dstSize = dstSize;
    geom.srcRect = srcRect;
    return Blt(op, src->GetSurfaceInfo(), &geom, param);
}

int ISurface::AddBlt(ISurface* src, int x, int y, const Size* dstSize, const Rect* srcRect) {
    return ShorthandBlt(EBltOp::BltAdd, src, x, y, nullptr, dstSize, srcRect);
}

int ISurface::AddRateBlt(ISurface* src, int x, int y, uint8_t rate, const Size* dstSize, const Rect* srcRect) {
    return ShorthandBlt(EBltOp::BltAddRate, src, x, y, &rate, dstSize, srcRect);
}

int ISurface::BlendBlt(ISurface* src, int x, int y, uint8_t rate, const Size* dstSize, const Rect* srcRect) {
    return ShorthandBlt(EBltOp::BltBlend, src, x, y, &rate, dstSize, srcRect);
}

int ISurface::KeyedBlendBlt(ISurface* src, int x, int y, uint8_t rate, const Size* /*dstSize*/, const Rect* srcRect) {
    return ShorthandBlt(EBltOp::BltKeyedBlend, src, x, y, &rate, nullptr, srcRect);
}

}  // namespace tovarineGameSDK3rd::Draw
