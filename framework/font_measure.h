#pragma once
// CFontMeasure: the pixel width of a Shift-JIS string in a font of a face and height
// (weight 300, Shift-JIS character set), as the text windows lay out their lines.
#include <cstdint>
#include <memory>

#include "foundation/vtl/vtl_string.h"
#include "platform/gdi_font.h"

namespace KestraneGameBase2 {

class CFontMeasure {
public:
    CFontMeasure(const tovarineGameSDK3rd::VTL::VTLstring& face, int32_t height) : face_(face), height_(height) {}

    // The summed advances of the text up to its first NUL; 0 when no font can be made.
    // The font is made on first use.
    int32_t GetTextWidth(tovarineGameSDK3rd::VTL::VTLstring text);

private:
    tovarineGameSDK3rd::VTL::VTLstring face_;
    int32_t height_;
    bool tried_ = false;
    std::unique_ptr<morna::platform::Font> font_;
};

}  // namespace KestraneGameBase2
