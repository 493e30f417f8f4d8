#pragma once
// The loader behind every image a surface or a DIB bitmap loads. A picture is recognised in
// four ways, in this order: a BMP in memory, a tvg file, a standard picture (PNG, JPEG, GIF),
// and a picture that an image plug-in in the "SPI" folder reads.
#include <cstdint>
#include <memory>

#include "foundation/auxiliary/file.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"
#include "platform/dib.h"
#include "platform/image_plugin.h"
#include "platform/picture.h"
#include "platform/system_palette.h"

namespace tovarineGameSDK3rd::Draw {

class CSurfaceInfo;

class IGraphicLoader {
public:
    // Recognises the picture in a file whose contents are in memory; the file must outlive
    // the loader's use of it. 0 recognised, 1 not.
    virtual int Load(Auxiliary::IFile* file) = 0;
    // 0 and the picture's size; 1 nothing loaded (or a plug-in that cannot describe it).
    virtual int GetSize(int32_t* width, int32_t* height) = 0;
    // Non-zero for a picture with alpha (only a tvg).
    virtual int HasAlpha() = 0;
    // Draws the picture at (0, 0) on the context's bitmap: 0 drawn, 1 not.
    virtual int DrawToDC(morna::platform::DeviceContext* dc) = 0;
    // Writes the pixels into a locked description of the picture's size: 0 done; -1 the
    // picture has no direct path (standard pictures, plug-ins); other codes on failure.
    virtual int LoadToSurface(CSurfaceInfo* info) = 0;
    virtual int Release() = 0;
    // A palette for an 8-bit display: 0, 1 no BMP loaded, 2 a BMP of more than 8 bits.
    virtual int GetPalette(morna::platform::PaletteEntry* entries) = 0;
    virtual ~IGraphicLoader() = default;
};

class CGraphicLoader : public IGraphicLoader {
public:
    CGraphicLoader() = default;
    ~CGraphicLoader() override;
    CGraphicLoader(const CGraphicLoader&) = delete;
    CGraphicLoader& operator=(const CGraphicLoader&) = delete;

    int Load(Auxiliary::IFile* file) override;
    int GetSize(int32_t* width, int32_t* height) override;
    int HasAlpha() override { return tvg_ ? 1 : 0; }
    int DrawToDC(morna::platform::DeviceContext* dc) override;
    int LoadToSurface(CSurfaceInfo* info) override;
    int Release() override;
    int GetPalette(morna::platform::PaletteEntry* entries) override;

    // 0 a readable BMP (at least 54 bytes, "BM", a header and pixel data that fit the file);
    // 1 otherwise (a damaged one is written to the error log).
    virtual int CheckBmp(Auxiliary::IFile* file);
    // 0 a tvg, now loaded; 1 the extension is not "tvg" (any case); 2 the extension is, but the
    // file is not one: short header, wrong magic, a size of 0, a flag other than 0 and 1, or
    // more pixels than the data after the header holds (raw) or can unpack to (packed).
    virtual int CheckTvg(Auxiliary::IFile* file);
    // 0 a standard picture, decoded; 1 no contents; 2 not one, or refused (too large, damaged).
    virtual int LoadOlePicture(Auxiliary::IFile* file);
    // 0 a plug-in for the extension accepted the data; 1 otherwise (fewer than 2,048 bytes, no
    // library, a missing export, not accepted).
    virtual int LoadSpi(Auxiliary::IFile* file);
    // 0 done; 2 a compressed BMP; 3 neither 16 nor 24 bits; 4 the destination cannot take the
    // pixels (not initialised, too small, a format without converter).
    virtual int LoadBmpToSurface(CSurfaceInfo* info);
    // 0 done; -1 no tvg loaded; 3 the data is damaged (short, unpacked size not width x height
    // x 4, LZSS stream that does not unpack); 4 the destination cannot take the pixels.
    virtual int LoadTvg(CSurfaceInfo* info);
    virtual int FreeSpiBuffers();

    // The plug-in folder, "SPI".
    static VTL::VTLstring GetPlugInDir();
    // The fixed colour table of 8-bit DIB bitmaps: entries 0-9 and 246-255 hold their own index
    // in byte 0 and 0 in bytes 1 and 2, entries 10-245 hold 0, 0, 0; byte 3 is left alone.
    // Nothing for a null table; answers 0.
    static int FillColourTable(morna::platform::RgbQuad* table);

private:
    const uint8_t* Data() const;
    uint32_t DataSize() const;

    Auxiliary::IFile* file_ = nullptr;
    bool bmp_ = false;
    morna::platform::DibView bmpDib_;  // the BMP's header, table and bits, in the file's memory
    const uint8_t* bmpInfo_ = nullptr;
    size_t bmpInfoSize_ = 0;
    const uint8_t* bmpBits_ = nullptr;
    size_t bmpBitsSize_ = 0;
    bool tvg_ = false;
    int32_t tvgWidth_ = 0, tvgHeight_ = 0;
    std::unique_ptr<morna::platform::Picture> picture_;
    std::unique_ptr<morna::platform::ImagePlugin> plugin_;
    std::unique_ptr<morna::platform::ImagePlugin::Output> spiBuffers_;
};

// Creators of a loader through an interface, so that the global factory can be replaced.
template <class I>
class factory_i {
public:
    virtual I* CreateInstance() = 0;
    virtual ~factory_i() = default;
};
template <class I, class C>
class factory_i2 : public factory_i<I> {
public:
    I* CreateInstance() override { return new C; }
};

// The one factory that serves every surface (a factory_i2<IGraphicLoader, CGraphicLoader>).
VTL::smart_ptr<factory_i<IGraphicLoader>>& GetGraphicLoaderFactory();

}  // namespace tovarineGameSDK3rd::Draw
