#include "draw/text_fast_plane.h"

#include <utility>

#include "draw/blt_dispatch.h"
#include "draw/text_dib_bitmap.h"

namespace tovarineGameSDK3rd::Draw {

int CTextFastPlane::Render(int mode) {
    int w = 0, h = 0;
    font_.GetSize(&w, &h);
    if (vertical_) std::swap(w, h);
    if (CreateSurface(w, h, mode != 1) != 0) return 1;
    CTextDIBitmap bm;
    *bm.GetFont() = font_;
    bm.SetTextPos(x_, y_);
    bm.SetVertical(vertical_);
    if (mode == 1) bm.GetSurfaceInfo()->fillColour = GetSurfaceInfo()->fillColour;
    if (bm.Render(mode) != 0) return 1;
    const BltGeometry whole{};
    DispatchBlt(*GetSurfaceInfo(), EBltOp::BltCopy, *bm.GetSurfaceInfo(), whole);
    mode_ = mode;
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw
