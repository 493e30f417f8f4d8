#include "draw/graphic_loader.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "draw/base/surface_info.h"
#include "draw/image_file.h"
#include "draw/pixel_convert.h"
#include "foundation/auxiliary/lzss.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/charset.h"

namespace tovarineGameSDK3rd::Draw {
namespace {

using morna::platform::DibView;

uint32_t U32(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | uint32_t{p[3]} << 24; }

// The extension in lower case; the bytes of double-byte characters are left alone.
std::string LowerSuffix(const VTL::VTLstring& suffix) {
    std::string s(suffix.c_str(), suffix.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (morna::platform::IsSjisLeadByte(c)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            s[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

// A description that rows of width x height pixels of a converter's destination may go to.
bool CanTake(const CSurfaceInfo* info, int32_t width, int32_t height, int32_t from, const char* who) {
    if (info && info->initialised && info->pixels && info->width >= width && info->height >= height &&
        HasPixelConverter(from, info->type))
        return true;
    GetErrorLog().Out("CGraphicLoader::%sで書き込めない転送先", who);
    return false;
}

uint8_t* DestinationRow(CSurfaceInfo* info, int32_t y) { return info->pixels + static_cast<intptr_t>(y) * info->pitch; }

}  // namespace

CGraphicLoader::~CGraphicLoader() { Release(); }

const uint8_t* CGraphicLoader::Data() const {
    return file_ ? static_cast<const uint8_t*>(file_->GetMemory()) : nullptr;
}
uint32_t CGraphicLoader::DataSize() const { return Data() ? file_->GetSize() : 0; }

int CGraphicLoader::Load(Auxiliary::IFile* file) {
    Release();
    file_ = file;
    if (CheckBmp(file) == 0 || CheckTvg(file) == 0 || LoadOlePicture(file) == 0 || LoadSpi(file) == 0) return 0;
    return 1;
}

int CGraphicLoader::CheckBmp(Auxiliary::IFile* file) {
    if (!file || !file->GetMemory()) return 1;
    const auto* d = static_cast<const uint8_t*>(file->GetMemory());
    const uint32_t size = file->GetSize();
    if (size < kBmpHeadersSize || d[0] != 'B' || d[1] != 'M') return 1;
    const uint32_t bitsAt = U32(d + 10);
    std::string why = "pixel offset beyond the file";
    if (bitsAt <= size &&
        bmpDib_.Parse(d + kBmpFileHeaderSize, size - kBmpFileHeaderSize, d + bitsAt, size - bitsAt, &why)) {
        file_ = file;
        bmp_ = true;
        bmpInfo_ = d + kBmpFileHeaderSize;
        bmpInfoSize_ = size - kBmpFileHeaderSize;
        bmpBits_ = d + bitsAt;
        bmpBitsSize_ = size - bitsAt;
        return 0;
    }
    GetErrorLog().Out("CGraphicLoader::CheckBmpで壊れたBMP(%s)", why.c_str());
    return 1;
}

int CGraphicLoader::CheckTvg(Auxiliary::IFile* file) {
    if (!file || LowerSuffix(file->GetSuffix()) != "tvg") return 1;
    const auto* d = static_cast<const uint8_t*>(file->GetMemory());
    const uint32_t size = d ? file->GetSize() : 0;
    if (size < kTvgHeaderSize || std::memcmp(d, "tvg", 4) != 0) return 2;
    const uint32_t w = U32(d + 4), h = U32(d + 8), packed = U32(d + 12);
    const uint64_t pixelBytes = uint64_t{w} * h * 4;
    const uint32_t stored = size - kTvgHeaderSize;
    const char* why = nullptr;
    if (w == 0 || h == 0 || w > INT32_MAX || h > INT32_MAX) {
        why = "大きさが不正";
    } else if (packed > 1) {
        why = "圧縮フラグが不正";
    } else if (pixelBytes > (packed ? Auxiliary::CLZSS::MaxUnpackedSize(stored) : stored)) {
        why = "データが足りない";
    }
    if (why) {
        GetErrorLog().Out("CGraphicLoader::CheckTvgで壊れたtvg(%s %ux%u)", why, w, h);
        return 2;
    }
    file_ = file;
    tvg_ = true;
    tvgWidth_ = static_cast<int32_t>(w);
    tvgHeight_ = static_cast<int32_t>(h);
    return 0;
}

int CGraphicLoader::LoadOlePicture(Auxiliary::IFile* file) {
    if (!file || !file->GetMemory()) return 1;
    const auto* d = static_cast<const uint8_t*>(file->GetMemory());
    int32_t w = 0, h = 0;
    if (!morna::platform::PeekPictureSize(d, file->GetSize(), w, h)) return 2;
    std::string why;
    picture_ = morna::platform::Picture::Decode(d, file->GetSize(), &why);
    if (picture_) return 0;
    GetErrorLog().Out("CGraphicLoader::LoadOlePictureで画像を読めない(%s)", why.c_str());
    return 2;
}

VTL::VTLstring CGraphicLoader::GetPlugInDir() { return VTL::VTLstring("SPI"); }

int CGraphicLoader::LoadSpi(Auxiliary::IFile* file) {
    if (!file || !file->GetMemory() || file->GetSize() < 0x800) return 1;
    const VTL::VTLstring name =
        Auxiliary::CFile::GetFullName(GetPlugInDir() + VTL::VTLstring("/if") + file->GetSuffix() + VTL::VTLstring(".spi"));
    plugin_ = morna::platform::ImagePlugin::Open(std::string(name.c_str(), name.size()));
    if (plugin_ && plugin_->IsSupported(file->GetMemory())) return 0;
    Release();
    return 1;
}

int CGraphicLoader::GetSize(int32_t* width, int32_t* height) {
    int32_t w = 0, h = 0;
    if (bmp_) {
        w = bmpDib_.Width(), h = bmpDib_.Height();
    } else if (tvg_) {
        w = tvgWidth_, h = tvgHeight_;
    } else if (picture_) {
        // At the screen's 96 pixels per inch the size in hundredths of a millimetre turns
        // back into the same pixels, so the pixel size is answered directly.
        w = picture_->Width(), h = picture_->Height();
    } else if (plugin_) {
        MornaSpiPictureInfo info;
        if (!plugin_->GetPictureInfo(file_->GetMemory(), file_->GetSize(), info)) return 1;
        if (!morna::platform::PictureSizeAllowed(info.width, info.height)) {
            GetErrorLog().Out("CGraphicLoader::GetSizeでプラグインの画像の大きさが不正(%dx%d)", info.width, info.height);
            return 1;
        }
        w = info.width, h = info.height;
    } else {
        return 1;
    }
    if (width) *width = w;
    if (height) *height = h;
    return 0;
}

int CGraphicLoader::DrawToDC(morna::platform::DeviceContext* dc) {
    if (!dc) return 1;
    std::string why;
    if (bmp_) {
        if (morna::platform::DrawDibBits(*dc, 0, 0, bmpInfo_, bmpInfoSize_, bmpBits_, bmpBitsSize_, &why) > 0) return 0;
        GetErrorLog().Out("CGraphicLoader::DrawToDCでBMPを描けない(%s)", why.c_str());
        return 1;
    }
    if (picture_) return picture_->Render(*dc, 0, 0) ? 0 : 1;
    if (!plugin_) return 1;

    FreeSpiBuffers();
    int32_t w = 0, h = 0;
    spiBuffers_.reset(new (std::nothrow) morna::platform::ImagePlugin::Output);
    bool drawn = false;
    if (spiBuffers_ && GetSize(&w, &h) == 0 &&
        plugin_->GetPicture(file_->GetMemory(), file_->GetSize(), *spiBuffers_)) {
        // The blocks hold what their header says (the plug-in's contract); check that header
        // against the size the plug-in described before anything is read.
        const auto* info = static_cast<const uint8_t*>(spiBuffers_->info);
        morna::platform::BitmapInfoHeader header;
        std::memcpy(&header, info, sizeof header);
        const int64_t rows = header.height < 0 ? -int64_t{header.height} : header.height;
        const bool masks = header.compression == morna::platform::kDibBitfields;
        const uint32_t colours = header.bitCount <= 8 ? (header.clrUsed ? header.clrUsed : 1u << header.bitCount) : 0;
        if (header.size != sizeof header || header.width != w || rows != h ||
            (header.compression != morna::platform::kDibRgb && !masks) || colours > 256) {
            why = "plug-in picture header does not match its description";
        } else {
            const size_t infoSize = sizeof header + (masks ? 12 : 0) + size_t{colours} * 4;
            const size_t bitsSize = morna::platform::DibStride(w, header.bitCount) * static_cast<uint64_t>(h);
            drawn = morna::platform::DrawDibBits(*dc, 0, 0, info, infoSize, static_cast<const uint8_t*>(spiBuffers_->bits),
                                                 bitsSize, &why) > 0;
        }
    } else {
        why = "the plug-in could not decode the picture";
    }
    FreeSpiBuffers();
    if (drawn) return 0;
    GetErrorLog().Out("CGraphicLoader::DrawToDCでプラグインの画像を描けない(%s)", why.c_str());
    Release();
    return 1;
}

int CGraphicLoader::FreeSpiBuffers() {
    spiBuffers_.reset();
    return 0;
}

int CGraphicLoader::LoadToSurface(CSurfaceInfo* info) {
    if (bmp_) return LoadBmpToSurface(info);
    if (tvg_) return LoadTvg(info);
    return -1;
}

int CGraphicLoader::LoadBmpToSurface(CSurfaceInfo* info) {
    if (!bmp_) return -1;
    if (bmpDib_.Compression() != morna::platform::kDibRgb) return 2;
    const int32_t bits = bmpDib_.BitCount();
    if (bits != 16 && bits != 24) return 3;
    const int32_t w = bmpDib_.Width(), h = bmpDib_.Height();
    const int32_t from = bits == 24 ? RGB888 : RGB555;
    if (!CanTake(info, w, h, from, "LoadBmpToSurface")) return 4;
    const uint64_t stride = morna::platform::DibStride(w, bits);
    for (int32_t i = 0; i < h; ++i) {
        const int32_t row = bmpDib_.TopDown() ? i : h - 1 - i;
        ConvertPixelRun(bmpBits_ + stride * static_cast<uint64_t>(row), from, DestinationRow(info, i), info->type, w);
    }
    return 0;
}

int CGraphicLoader::LoadTvg(CSurfaceInfo* info) {
    int32_t w = 0, h = 0;
    if (!tvg_ || GetSize(&w, &h) != 0) return -1;
    const uint8_t* d = Data();
    const uint32_t size = DataSize();
    const uint64_t pixelBytes = uint64_t{static_cast<uint32_t>(w)} * static_cast<uint32_t>(h) * 4;
    if (!d || size < kTvgHeaderSize) return 3;
    const uint32_t stored = size - kTvgHeaderSize;
    if (!CanTake(info, w, h, ARGB8888, "LoadTvg")) return 4;
    const uint64_t rowBytes = uint64_t{static_cast<uint32_t>(w)} * 4;
    auto convertRows = [&](const uint8_t* from) {
        for (int32_t y = 0; y < h; ++y)
            ConvertPixelRun(from + rowBytes * static_cast<uint64_t>(y), ARGB8888, DestinationRow(info, y), info->type, w);
    };
    if (U32(d + 12) == 0) {
        if (pixelBytes > stored) {
            GetErrorLog().Out("CGraphicLoader::LoadTvgでデータが足りない");
            return 3;
        }
        convertRows(d + kTvgHeaderSize);
        return 0;
    }
    if (U32(d + 16) != pixelBytes || pixelBytes > Auxiliary::CLZSS::MaxUnpackedSize(stored)) {
        GetErrorLog().Out("CGraphicLoader::LoadTvgで展開後の大きさが不正");
        return 3;
    }
    std::unique_ptr<Auxiliary::CLZSS> lzss(new (std::nothrow) Auxiliary::CLZSS);
    if (!lzss) return 3;
    const auto unpacked = static_cast<uint32_t>(pixelBytes);
    int32_t r;
    if (info->type == ARGB8888 && static_cast<uint64_t>(info->pitch) == rowBytes) {
        uint8_t* out = info->pixels;
        r = lzss->Decode(d + kTvgHeaderSize, stored, &out, unpacked, false);
    } else {
        uint8_t* buffer = nullptr;
        r = lzss->Decode(d + kTvgHeaderSize, stored, &buffer, unpacked, true);
        std::unique_ptr<uint8_t[]> owner(buffer);
        if (r == Auxiliary::kLzssOk) convertRows(buffer);
    }
    if (r == Auxiliary::kLzssOk) return 0;
    GetErrorLog().Out("CGraphicLoader::LoadTvgでLZSSの展開に失敗(%d)", static_cast<int>(r));
    return 3;
}

int CGraphicLoader::Release() {
    bmp_ = false;
    bmpInfo_ = bmpBits_ = nullptr;
    bmpInfoSize_ = bmpBitsSize_ = 0;
    picture_.reset();
    spiBuffers_.reset();
    plugin_.reset();
    tvg_ = false;
    tvgWidth_ = tvgHeight_ = 0;
    file_ = nullptr;
    return 0;
}

int CGraphicLoader::GetPalette(morna::platform::PaletteEntry* entries) {
    if (!bmp_) return 1;
    const int32_t bits = bmpDib_.BitCount();
    if (bits > 8) return 2;
    if (!entries) return 0;
    for (int i = 0; i < 256; ++i) {
        const bool system = i < 10 || i >= 246;
        entries[i] = morna::platform::PaletteEntry{static_cast<uint8_t>(system ? i : 0), 0, 0,
                                                   static_cast<uint8_t>(system ? 2 : 0)};
    }
    const size_t count = bits == 1 ? 2 : bits == 2 ? 4 : bits == 4 ? 16 : bits == 8 ? 236 : 0;
    const std::vector<uint32_t>& table = bmpDib_.Palette();
    for (size_t i = 0; i < count && i < table.size(); ++i)
        entries[10 + i] = morna::platform::PaletteEntry{static_cast<uint8_t>(table[i] >> 16),
                                                        static_cast<uint8_t>(table[i] >> 8),
                                                        static_cast<uint8_t>(table[i]), 5};
    return 0;
}

int CGraphicLoader::FillColourTable(morna::platform::RgbQuad* table) {
    if (!table) return 0;
    for (int i = 0; i < 256; ++i) {
        const bool system = i < 10 || i >= 246;
        table[i].blue = static_cast<uint8_t>(system ? i : 0);
        table[i].green = 0;
        table[i].red = 0;
    }
    return 0;
}

VTL::smart_ptr<factory_i<IGraphicLoader>>& GetGraphicLoaderFactory() {
    static VTL::smart_ptr<factory_i<IGraphicLoader>> factory(new factory_i2<IGraphicLoader, CGraphicLoader>);
    return factory;
}

}  // namespace tovarineGameSDK3rd::Draw
