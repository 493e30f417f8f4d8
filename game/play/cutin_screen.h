#pragma once
// The cut-in screen: which cut-in runs, the point its zoom closes on, the zoom's frames left,
// and the snapshot of the field it is painted over.
#include <cstdint>

#include "draw/fast_plane.h"

struct SCutinScreen {
    // The still is painted once a cut-in: a change of the display's mode, which makes the
    // display's planes anew, carries its pixels over.
    SCutinScreen() { snapshot.SetKeepContents(true); }

    int32_t id = 0;
    int32_t focusX = 0;
    int32_t focusY = 0;
    int32_t zoom = 0;
    tovarineGameSDK3rd::Draw::CFastPlane snapshot;  // the field behind a cut-in
    uint8_t keepSnapshot = 0;
    uint32_t framesDrawn = 0;  // cut-in screens drawn; only drawing reads it
};
