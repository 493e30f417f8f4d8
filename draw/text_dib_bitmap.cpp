#include "draw/text_dib_bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tovarineGameSDK3rd::Draw {

namespace pf = morna::platform;

pf::PixelTarget PixelTargetOf(pf::DeviceContext* dc) {
    pf::DibSection* bm = dc ? dc->SelectedBitmap() : nullptr;
    if (bm == nullptr) return {};
    pf::PixelTarget t{bm->Bits(), bm->Width(), bm->Height(), bm->Stride(), bm->BitCount()};
    if (!bm->TopDown()) {  // bottom-up rows: start at the last one and step back
        t.bits += static_cast<ptrdiff_t>(bm->Height() - 1) * bm->Stride();
        t.stride = -t.stride;
    }
    return t;
}

namespace {

// COLORREF 0x00BBGGRR to 0x00RRGGBB.
uint32_t RgbOf(uint32_t colorref) {
    return (colorref & 0xFFu) << 16 | (colorref & 0xFF00u) | (colorref >> 16 & 0xFFu);
}

// The rows of a 32-bit top-down picture, looked up once per loop rather than per pixel.
class Rows {
public:
    explicit Rows(CDIBitmap& bm) : base_(static_cast<uint8_t*>(bm.GetPtr())) {
        int h = 0;
        bm.GetSize(&width_, &h);
    }
    uint32_t* operator[](int y) const {
        return reinterpret_cast<uint32_t*>(base_ + static_cast<size_t>(y) * width_ * 4);
    }

private:
    uint8_t* base_;
    int width_ = 0;
};

}  // namespace

int CTextDIBitmap::Render(int mode) {
    if (mode < 1 || mode > 3) return 1;
    if (!vertical_) return RenderFlat(mode);
    // Drawn unrotated with the "@" face, the shadow offset turned back so that after the
    // clockwise turn it lies where it was asked to.
    CTextDIBitmap flat;
    flat.font_ = font_;
    flat.font_.SetVertical(!font_.IsVertical());
    flat.font_.SetShadowOffset(font_.GetShadowOffsetY(), -font_.GetShadowOffsetX());
    flat.x_ = x_;
    flat.y_ = y_;
    flat.GetSurfaceInfo()->fillColour = GetSurfaceInfo()->fillColour;
    const int r = flat.RenderFlat(mode);
    if (r != 0) {
        Release();
        return r;
    }
    int w = 0, h = 0;
    flat.GetSize(&w, &h);
    if (CreateDIB(h, w, 32, mode != 1) != 0) return 1;
    // Work pixel (c, r) goes to (h - 1 - r, c).
    const Rows from(flat), to(*this);
    for (int row = 0; row < h; ++row) {
        const uint32_t* src = from[row];
        for (int col = 0; col < w; ++col) to[col][h - 1 - row] = src[col];
    }
    return 0;
}

int CTextDIBitmap::RenderFlat(int mode) {
    if (mode == 1) {
        int w = 0, h = 0;
        font_.GetSize(&w, &h);
        if (CreateDIB(w, h, 32, false) != 0) return 1;
        Clear(nullptr);
        font_.Draw(PixelTargetOf(GetHDC()), x_, y_);
        return 0;
    }
    const int factor = mode == 2 ? 2 : 4;
    const uint32_t shadow = font_.GetShadowColor();
    const int r = RenderCoverage(factor);
    if (r != 0 || shadow == CFont::kNoColour) return r;

    // The shadow: the same text in the shadow colour at the shadow's place, then the text
    // laid over it.
    CTextDIBitmap under;
    under.font_ = font_;
    under.font_.SetColor(shadow);
    under.font_.SetShadowColor(CFont::kNoColour);
    under.x_ = x_ + font_.GetShadowOffsetX();
    under.y_ = y_ + font_.GetShadowOffsetY();
    under.GetSurfaceInfo()->fillColour = GetSurfaceInfo()->fillColour;
    if (under.RenderCoverage(factor) != 0) return 0;  // the text stands without its shadow
    int w = 0, h = 0, sw = 0, sh = 0;
    GetSize(&w, &h);
    under.GetSize(&sw, &sh);
    const Rows to(*this), from(under);
    for (int y = 0; y < std::min(h, sh); ++y) {
        uint32_t* out = to[y];
        const uint32_t* sp = from[y];
        for (int x = 0; x < std::min(w, sw); ++x) {
            const uint32_t t = out[x], p = sp[x];
            const uint32_t at = t >> 24, ap = p >> 24;
            const uint32_t as = ap * (255 - at) / 255;
            const uint32_t a = as + at;
            if (a == 0 || as == 0) continue;
            uint32_t v = a << 24;
            for (int shift = 0; shift < 24; shift += 8)
                v |= (((p >> shift & 0xFF) * as + (t >> shift & 0xFF) * at) / a) << shift;
            out[x] = v;
        }
    }
    return 0;
}

// The text alone (no shadow) as alpha coverage in the text colour, F x F supersampled.
int CTextDIBitmap::RenderCoverage(int factor) {
    int w = 0, h = 0;
    font_.GetSize(&w, &h);
    if (CreateDIB(w, h, 32, true) != 0) return 1;
    Clear(nullptr);
    const CFont saved = font_;
    const uint32_t colour = font_.GetColor();
    if (colour == CFont::kNoColour) return 0;  // no text pass: nothing but the clear
    font_.SetShadowColor(CFont::kNoColour);
    font_.SetColor(0xFFFFFF);
    font_.SetQuality(4);  // one-bit glyphs at the large size: the reduction makes the grey
    font_.SetSize(saved.GetFontSize() * factor);
    font_.SetLineHeight(saved.GetLineHeight() * factor);
    // The work picture covers the whole output box at F times: measured at the large size
    // it would be narrower than F x (w, h), and the reduction would cut the shadow's edge.
    int ww = 0, wh = 0;
    font_.GetSize(&ww, &wh);
    ww = std::max(ww, w * factor);
    wh = std::max(wh, h * factor);
    CDIBitmap work;
    if (work.CreateDIB(ww, wh, 32, true) != 0) {
        font_ = saved;
        return 2;
    }
    work.GetSurfaceInfo()->fillColour = GetSurfaceInfo()->fillColour;
    work.Clear(nullptr);
    font_.Draw(PixelTargetOf(work.GetHDC()), x_ * factor, y_ * factor);
    font_ = saved;

    const int shift = factor == 2 ? 2 : 4;
    const uint32_t rgb = RgbOf(colour);
    const int ow = std::min(ww / factor, w), oh = std::min(wh / factor, h);
    const Rows to(*this), from(work);
    const auto reduce = [&]<int F>() {
        for (int y = 0; y < oh; ++y) {
            uint32_t* out = to[y];
            const uint32_t* in[F];
            for (int j = 0; j < F; ++j) in[j] = from[y * F + j];
            for (int x = 0; x < ow; ++x) {
                uint32_t sum = 0;
                for (int j = 0; j < F; ++j)
                    for (int i = 0; i < F; ++i) sum += in[j][x * F + i] & 0xFF;  // the blue byte
                out[x] = (sum >> shift) << 24 | rgb;
            }
        }
    };
    factor == 2 ? reduce.operator()<2>() : reduce.operator()<4>();
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw
