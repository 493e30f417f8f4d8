#pragma once
// ISurface: the drawable surface of the whole system. The game and the framework draw only
// through it: blits through the dispatch, rectangle effects, the colour key, image loading
// and saving. CFastPlane (draw/fast_plane.h) is its implementation; code that needs one asks
// the thread's plane factory (draw/plane_factory.h).
#include <cstdint>

#include "blit/polygon/poly_blt.h"
#include "draw/base/surface_info.h"
#include "draw/effect.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd::Draw {

class ISurface {
public:
    ISurface();
    virtual ~ISurface();
    ISurface(const ISurface&) = delete;
    ISurface& operator=(const ISurface&) = delete;

    // Blits src onto this surface through DispatchBlt: 0 done, 1 no operation or
    // a refused lock (also a null source), 2 no member for the pair. A null geometry is the
    // all-zero one: the whole source, unscaled, at the origin.
    virtual int Blt(EBltOp op, CSurfaceInfo* src, const BltGeometry* geom, const void* param);
    // A rectangle effect through ApplyEffect (rect null: the whole surface).
    virtual int Effect(EffectOp op, const Rect* rect, const void* param);
    virtual int FadeEffect(int rate, const Rect* rect);
    virtual int AddColorEffect(uint32_t colour, const Rect* rect);
    virtual int SubColorEffect(uint32_t colour, const Rect* rect);
    virtual int MosaicEffect(int blockSize, const Rect* rect);
    virtual int NegativeEffect(const Rect* rect);
    // The polygon blit (ops 0, 1, 10) of src onto this surface through DispatchPolyBlt; the
    // last argument is not read.
    virtual int PolyBlt(int32_t op, CSurfaceInfo* src, const PolyBltGeometry* geom, int32_t extra);

    // The key is a colour value: keyed blits from this surface skip it. Answers 0.
    virtual int SetColorKey(uint32_t colour);
    virtual uint32_t GetColorKey() const;
    // The key is the colour of the pixel at (x, y), read now and again after every load or
    // creation. Answers the pixel reader's code (0, -1 outside, -2 no reader; 1 a refused
    // lock, the key then unchanged).
    virtual int SetColorKeyPos(int x, int y);
    // SetColorKey((r << 16) | (g << 8) | b); the arguments are not masked.
    virtual int SetColorKeyRGB(int r, int g, int b);

    virtual int GetSize(int* width, int* height) = 0;
    virtual int SetSize(int width, int height) = 0;
    virtual int32_t GetSurfaceType();
    virtual int CreateSurfaceByType(int width, int height, int32_t type) = 0;
    // Loads an image into a new surface of the given type (the alpha counterpart for a picture
    // with alpha): 0; -1 the file cannot be read; -2 not a picture; -3 no surface; -4 no
    // bitmap to draw through; -5 the picture would not draw (the surface is cleared).
    virtual int LoadByType(const VTL::VTLstring& fileName, int32_t type);
    virtual int Clear(const Rect* rect);
    virtual void SetFillColor(uint32_t colour);
    virtual uint32_t GetFillColor();
    virtual int Load(const VTL::VTLstring& fileName);
    virtual int SaveBitmap(const VTL::VTLstring& fileName, const Rect* rect);
    virtual int SaveTvg(const VTL::VTLstring& fileName, const Rect* rect, bool compress);
    virtual int Release();
    // The description (throws CNullPointerException when there is none).
    virtual CSurfaceInfo* GetSurfaceInfo();
    // A new empty surface of the same kind and display.
    virtual void CreateInstance(VTL::smart_ptr<ISurface>& out) = 0;

    // Blit shorthands: src (its whole picture or *srcRect) at (x, y), onto dstSize when given.
    int AddBlt(ISurface* src, int x, int y, const Size* dstSize = nullptr, const Rect* srcRect = nullptr);
    int AddRateBlt(ISurface* src, int x, int y, uint8_t rate, const Size* dstSize = nullptr,
                   const Rect* srcRect = nullptr);
    int BlendBlt(ISurface* src, int x, int y, uint8_t rate, const Size* dstSize = nullptr,
                 const Rect* srcRect = nullptr);
    // Never stretches: the size argument is not read.
    int KeyedBlendBlt(ISurface* src, int x, int y, uint8_t rate, const Size* dstSize = nullptr,
                      const Rect* srcRect = nullptr);

protected:
    int ShorthandBlt(EBltOp op, ISurface* src, int x, int y, const void* param, const Size* dstSize,
                     const Rect* srcRect);

    VTL::smart_ptr<CSurfaceInfo> info_;
    bool keyByPosition_ = false;  // the key is the colour at (keyX_, keyY_)
    int keyX_ = 0;
    int keyY_ = 0;
    uint32_t keyColour_ = 0;  // 0x00RRGGBB, the key in force
};

}  // namespace tovarineGameSDK3rd::Draw
