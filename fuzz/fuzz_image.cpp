// Loads an arbitrary picture as a surface does: the first byte picks the file's extension
// (tvg or bmp) and the surface format, the rest is the file. Load, GetSize, then the direct
// path into a description of that size, or else drawing into a 24-bit DIB bitmap.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/base/surface_info.h"
#include "draw/dib_bitmap.h"
#include "draw/graphic_loader.h"
#include "foundation/auxiliary/file.h"
#include "tests/common/temp_base_folder.h"
#include "platform/dib.h"
#include "platform/file_system.h"

using namespace tovarineGameSDK3rd;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

const std::string& Folder() { return morna::test::ProgramBaseFolder("morna-fuzz-image"); }

const int32_t kTypes[] = {Draw::RGB565, Draw::RGB555, Draw::RGB888, Draw::XRGB8888,
                          Draw::ARGB4565, Draw::ARGB8888, Draw::ABGR8888, Draw::BGR888};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool tvg = data[0] & 1;
    const int32_t type = kTypes[(data[0] >> 1) & 7];
    const std::string name = tvg ? "pic.tvg" : "pic.bmp";
    std::FILE* out = std::fopen((Folder() + "/" + name).c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 1 && std::fwrite(data + 1, 1, size - 1, out) != size - 1) std::abort();
    std::fclose(out);

    Auxiliary::CFile file;
    if (file.Read(VTLstring(name.c_str())) != 0) return 0;
    Draw::CGraphicLoader loader;
    if (loader.Load(&file) != 0) return 0;
    int32_t w = 0, h = 0;
    if (loader.GetSize(&w, &h) != 0) return 0;
    if (!morna::platform::PictureSizeAllowed(w, h)) return 0;
    const int32_t surfaceType = loader.HasAlpha() ? Draw::ToAlphaSurfaceType(type) : type;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * Draw::PixelSizeOf(surfaceType));
    Draw::CSurfaceInfo s;
    s.initialised = true, s.pixels = pixels.data(), s.pitch = w * Draw::PixelSizeOf(surfaceType);
    s.width = w, s.height = h, s.type = surfaceType;
    s.Lock();
    const int direct = loader.LoadToSurface(&s);
    s.Unlock();
    if (direct == 0) return 0;
    Draw::CDIBitmap dib;
    if (dib.CreateDIB(w, h, 24, false) != 0) return 0;
    loader.DrawToDC(dib.GetHDC());
    return 0;
}
