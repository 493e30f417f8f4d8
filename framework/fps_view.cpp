#include "framework/fps_view.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "platform/memory_status.h"

namespace KestraneGameBase2 {

CFPSView::CFPSView() {
    tovarineGameSDK3rd::Draw::CFont* font = plane_.GetFont();
    font->SetColor(0xFFFFFF);
    font->SetBackColor(0);
    font->SetSize(16);
    font->SetLineHeight(20);
    font->SetShadowOffset(1, 1);
    plane_.SetColorKey(0);
}

void CFPSView::Update() {
    if (mode == -1) {
        char text[16];
        FormatShort(text, "FPS:%2d", framesShown);
        plane_.GetFont()->SetText(text);
    } else {
        morna::platform::MemoryStatus status;
        morna::platform::QueryMemoryStatus(status);  // zeroes when unknown
        // The free memory is read as a 32-bit count, so the figure stays within 4194303 KB.
        const uint64_t bytes = std::min<uint64_t>(status.availablePhysical, 0xFFFFFFFFu);
        char text[32];
        FormatLong(text, "FPS(%3d/%3d) MEM(%dKB)", framesShown, mode, static_cast<int32_t>(bytes >> 10));
        plane_.GetFont()->SetText(text);
    }
    plane_.UpdateText();
}

void FormatShort(char (&buffer)[16], const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
}

void FormatLong(char (&buffer)[32], const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
}

}  // namespace KestraneGameBase2
