#pragma once
// CTextFastPlane: a plane that shows its font's text. It renders through a temporary
// CTextDIBitmap in one of three modes (1 plain, 2 and 3 smoothed with alpha) and renders
// again by the same mode when the display rebuilds its surface.
#include "draw/fast_plane.h"
#include "draw/font.h"

namespace tovarineGameSDK3rd::Draw {

class CTextFastPlane : public CFastPlane {
public:
    explicit CTextFastPlane(CFastDraw* owner = nullptr) : CFastPlane(owner) {}
    ~CTextFastPlane() override = default;

    // The font, position and vertical flag take effect at the next render.
    CFont* GetFont() { return &font_; }
    void SetTextPos(int x, int y) { x_ = x, y_ = y; }
    void GetTextPos(int* x, int* y) const { *x = x_, *y = y_; }
    void SetVertical(bool on) { vertical_ = on; }
    bool IsVertical() const { return vertical_; }
    // 0 not rendered yet, else the mode of the last render.
    int GetRenderMode() const { return mode_; }

    // 0 rendered; 1 no surface could be made (an empty text makes none), the mode is kept.
    int UpdateText() { return Render(1); }
    int UpdateTextAA() { return Render(2); }
    int UpdateTextAA2() { return Render(3); }
    // Renders again by the remembered mode; 0 when never rendered.
    int OnRestore() override { return mode_ == 0 ? 0 : Render(mode_); }

private:
    int Render(int mode);

    CFont font_;
    int x_ = 0;
    int y_ = 0;
    bool vertical_ = false;
    int mode_ = 0;
};

}  // namespace tovarineGameSDK3rd::Draw
