#include "draw/image_writer.h"

#include <memory>
#include <new>
#include <vector>

#include "draw/image_file.h"
#include "draw/pixel_convert.h"
#include "foundation/auxiliary/file.h"
#include "foundation/auxiliary/lzss.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Draw {
namespace {

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

// What both writers check before they read a pixel: the clipped rectangle, something to
// read, a converter from the surface's format. 0 to go on, else the writer's answer.
int PrepareSave(const CSurfaceInfo& s, const Rect* rect, int32_t to, const char* who, Rect& r) {
    if (!s.initialised || !s.pixels) {
        GetErrorLog().Out("CSurfaceInfo::%sで画素のない記述子が渡された", who);
        return -2;
    }
    r = s.ClipRect(nullptr, rect);
    if (r.right - r.left < 1 || r.bottom - r.top < 1) return -1;
    if (!HasPixelConverter(s.type, to)) {
        GetErrorLog().Out("CSurfaceInfo::%sで変換できないピクセルフォーマット(%d)", who, static_cast<int>(s.type));
        return -2;
    }
    return 0;
}

const uint8_t* RowOf(const CSurfaceInfo& s, const Rect& r, int32_t y) {
    return s.pixels + static_cast<intptr_t>(r.top + y) * s.pitch + static_cast<intptr_t>(r.left) * s.GetPixelSize();
}

}  // namespace

int SaveBitmap(const CSurfaceInfo& surface, const VTL::VTLstring& fileName, const Rect* rect) {
    Rect r;
    if (const int e = PrepareSave(surface, rect, RGB888, "SaveBitmap", r)) return e;
    const uint32_t w = static_cast<uint32_t>(r.right - r.left), h = static_cast<uint32_t>(r.bottom - r.top);
    const uint64_t stride = BmpStride24(w);
    const uint64_t total = kBmpHeadersSize + stride * h;
    if (total > UINT32_MAX) {
        GetErrorLog().Out("CSurfaceInfo::SaveBitmapで大きすぎる画像(%ux%u)", w, h);
        return -2;
    }
    std::vector<uint8_t> file;
    try {
        file.assign(total, 0);  // the fill bytes of every row stay 0
    } catch (const std::bad_alloc&) {
        GetErrorLog().Out("CSurfaceInfo::SaveBitmapでメモリ確保に失敗");
        return -2;
    }
    uint8_t* p = file.data();
    p[0] = 'B', p[1] = 'M';
    PutU32(p + 2, static_cast<uint32_t>(total));
    PutU32(p + 10, kBmpHeadersSize);
    PutU32(p + 14, 40);
    PutU32(p + 18, w);
    PutU32(p + 22, h);
    PutU16(p + 26, 1);
    PutU16(p + 28, 24);
    PutU32(p + 38, kBmpPixelsPerMetre);
    PutU32(p + 42, kBmpPixelsPerMetre);
    for (uint32_t i = 0; i < h; ++i)
        ConvertPixelRun(RowOf(surface, r, static_cast<int32_t>(h - 1 - i)), surface.type, p + kBmpHeadersSize + i * stride,
                        RGB888, static_cast<int32_t>(w));
    Auxiliary::CFile out;
    return out.Write(fileName, file.data(), static_cast<uint32_t>(total));
}

int SaveTvg(const CSurfaceInfo& surface, const VTL::VTLstring& fileName, const Rect* rect, bool compress) {
    Rect r;
    if (const int e = PrepareSave(surface, rect, ARGB8888, "SaveTvg", r)) return e;
    const uint32_t w = static_cast<uint32_t>(r.right - r.left), h = static_cast<uint32_t>(r.bottom - r.top);
    const uint64_t size64 = uint64_t{w} * h * 4;
    if (size64 + kTvgHeaderSize > UINT32_MAX) {
        GetErrorLog().Out("CSurfaceInfo::SaveTvgで大きすぎる画像(%ux%u)", w, h);
        return -2;
    }
    const uint32_t size = static_cast<uint32_t>(size64);
    std::vector<uint8_t> converted;
    const uint8_t* data = surface.pixels;
    const bool asItStands = surface.type == ARGB8888 && r.left == 0 && r.top == 0 && r.right == surface.width &&
                            r.bottom == surface.height && static_cast<int64_t>(surface.pitch) == int64_t{w} * 4;
    try {
        if (!asItStands) {
            converted.resize(size);
            for (uint32_t y = 0; y < h; ++y)
                ConvertPixelRun(RowOf(surface, r, static_cast<int32_t>(y)), surface.type, converted.data() + uint64_t{y} * w * 4,
                                ARGB8888, static_cast<int32_t>(w));
            data = converted.data();
        }
        uint8_t* packed = nullptr;
        uint32_t packedSize = 0;
        bool isPacked = false;
        if (compress) {
            std::unique_ptr<Auxiliary::CLZSS> lzss(new Auxiliary::CLZSS);
            isPacked = lzss->Encode(data, &packed, size, &packedSize, true) == 0 && packed;
        }
        std::unique_ptr<uint8_t[]> packedOwner(packed);
        const uint32_t stored = isPacked ? packedSize : size;
        std::vector<uint8_t> file(kTvgHeaderSize + uint64_t{stored});
        uint8_t* p = file.data();
        p[0] = 't', p[1] = 'v', p[2] = 'g', p[3] = 0;
        PutU32(p + 4, w);
        PutU32(p + 8, h);
        PutU32(p + 12, isPacked ? 1 : 0);
        PutU32(p + 16, size);
        PutU32(p + 20, stored);
        std::copy(isPacked ? packed : data, (isPacked ? packed : data) + stored, p + kTvgHeaderSize);
        Auxiliary::CFile out;
        return out.Write(fileName, file.data(), static_cast<uint32_t>(file.size()));
    } catch (const std::bad_alloc&) {
        GetErrorLog().Out("CSurfaceInfo::SaveTvgでメモリ確保に失敗");
        return -2;
    }
}

}  // namespace tovarineGameSDK3rd::Draw
