#include "framework/font_measure.h"

#include <cstring>
#include <string_view>

namespace KestraneGameBase2 {

int32_t CFontMeasure::GetTextWidth(tovarineGameSDK3rd::VTL::VTLstring text) {
    if (!tried_) {
        // A face that cannot be had is reported once by the platform, not on every call.
        tried_ = true;
        morna::platform::FontRequest request;
        request.height = height_;
        request.weight = 300;
        request.charset = morna::platform::kCharsetShiftJis;
        request.faceName = face_.c_str();
        font_ = morna::platform::Font::Create(request);
    }
    if (!font_) return 0;
    int32_t cx = 0, cy = 0;
    font_->MeasureText(std::string_view(text.c_str(), std::strlen(text.c_str())), cx, cy);
    return cx;
}

}  // namespace KestraneGameBase2
