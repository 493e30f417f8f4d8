#include "draw/surface_type_probe.h"

#include "draw/base/pixel_format.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Draw {

int32_t CDirectDrawSurfaceManager::GetSurfaceType(morna::platform::ISurfaceDescSource* surface) {
    if (!surface) return -1;
    morna::platform::SurfaceDesc d;
    if (!surface->GetSurfaceDesc(d)) {
        GetErrorLog().Out("CDirectDrawSurfaceManager::GetSurfaceTypeでGetSurfaceDescに失敗");
        return 0;
    }
    const bool rgb = d.redMask == 0xFF0000 && d.greenMask == 0x00FF00 && d.blueMask == 0x0000FF;
    const bool bgr = d.redMask == 0x0000FF && d.greenMask == 0x00FF00 && d.blueMask == 0xFF0000;
    switch (d.bitCount) {
        case 8:
            return Palette8;
        case 16:
            if (d.redMask == 0xF800 && d.greenMask == 0x07E0 && d.blueMask == 0x001F) return RGB565;
            if (d.redMask == 0x7C00 && d.greenMask == 0x03E0 && d.blueMask == 0x001F) return RGB555;
            GetErrorLog().Out("CDirectDrawSurfaceManager::16bppの不明ピクセルフォーマット検出");
            break;
        case 24:
            if (rgb) return RGB888;
            if (bgr) return BGR888;
            GetErrorLog().Out("CDirectDrawSurfaceManager::24bppの不明ピクセルフォーマット検出");
            break;
        case 32:
            if (rgb) return XRGB8888;
            if (bgr) return XBGR8888;
            GetErrorLog().Out("CDirectDrawSurfaceManager::32bppの不明ピクセルフォーマット検出");
            break;
        default:
            GetErrorLog().Out("CDirectDrawSurfaceManager::bpp不明のピクセルフォーマット検出");
            GetErrorLog().Out("nBpp=%d BMask=0x%x BMask=0x%x BMask=0x%x", static_cast<int>(d.bitCount),
                              d.redMask, d.greenMask, d.blueMask);
            return 1;
    }
    GetErrorLog().Out("BMask=0x%x BMask=0x%x BMask=0x%x", d.redMask, d.greenMask, d.blueMask);
    return 1;
}

}  // namespace tovarineGameSDK3rd::Draw
