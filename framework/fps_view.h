#pragma once
// CFPSView: the frame-rate overlay. The main loop counts the frames it draws, puts the count
// of the last second into framesShown once a second, calls Update and copies the text plane
// to (x, y). Mode -1 shows "FPS:nn"; any other mode shows the long form with the mode as the
// second rate and the free memory.
#include <cstdint>

#include "draw/text_fast_plane.h"
#include "foundation/vtl/text_output_stream.h"

namespace KestraneGameBase2 {

class CFPSView {
public:
    CFPSView();

    // Formats the text and renders it into the plane (which needs the thread's display).
    void Update();
    tovarineGameSDK3rd::Draw::CTextFastPlane& GetPlane() { return plane_; }

    // Kept by the main loop.
    uint32_t nextRefresh = 0;  // milliseconds; 0: not started
    int32_t framesCounted = 0;
    int32_t framesShown = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t mode = -1;
    int32_t drawDivisor = 1;
    int32_t drawCounter = 0;

private:
    tovarineGameSDK3rd::Draw::CTextFastPlane plane_;
};

// printf into a 16-byte and a 32-byte buffer, cut to fit (always NUL-terminated).
void FormatShort(char (&buffer)[16], const char* format, ...) MORNA_PRINTF_FORMAT(2, 3);
void FormatLong(char (&buffer)[32], const char* format, ...) MORNA_PRINTF_FORMAT(2, 3);

}  // namespace KestraneGameBase2
