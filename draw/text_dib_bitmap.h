#pragma once
// CTextDIBitmap: a DIB bitmap that renders its font's text into itself. Mode 1 draws the
// text and its shadow as they are, on the fill colour; modes 2 and 3 draw it white at two
// or four times the size, reduce that to an alpha channel, colour it and lay it over its
// shadow in ARGB8888. A vertical bitmap draws with the font's "@" face and turns the
// picture 90 degrees clockwise.
#include "draw/dib_bitmap.h"
#include "draw/font.h"

namespace tovarineGameSDK3rd::Draw {

class CTextDIBitmap : public CDIBitmap {
public:
    CFont* GetFont() { return &font_; }
    void SetTextPos(int x, int y) { x_ = x, y_ = y; }
    void GetTextPos(int* x, int* y) const { *x = x_, *y = y_; }
    void SetVertical(bool on) { vertical_ = on; }
    bool IsVertical() const { return vertical_; }

    // 0 rendered; 1 the bitmap cannot be created (or the text is empty); 2 the work
    // bitmap of modes 2 and 3 cannot be created.
    int UpdateText() { return Render(1); }
    int UpdateTextAA() { return Render(2); }
    int UpdateTextAA2() { return Render(3); }
    int Render(int mode);

private:
    int RenderFlat(int mode);
    int RenderCoverage(int factor);

    CFont font_;
    int x_ = 0;
    int y_ = 0;
    bool vertical_ = false;
};

// The pixels selected into a drawing context, as the font layer draws on them.
morna::platform::PixelTarget PixelTargetOf(morna::platform::DeviceContext* dc);

}  // namespace tovarineGameSDK3rd::Draw
