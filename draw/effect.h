#pragma once
// Rectangle effects on one surface: clear, fade, add or subtract a colour, negative, mosaic.
// ApplyEffect takes the code and an untyped parameter; the three dispatchers below take
// theirs typed. Each locks the surface for the whole effect (1 when the lock is refused, nothing touched), cuts the rectangle (null: the
// whole surface) to the surface, runs the format's rule and answers 0; a format without the
// effect (Palette8) or an empty rectangle draws nothing and answers 0.
#include <cstdint>

#include "draw/base/surface_info.h"

namespace tovarineGameSDK3rd::Draw {

// Codes of ApplyEffect; any other value is refused.
enum EffectOp : uint32_t {
    EffectClear = 0,     // parameter: none; the colour is the fill colour
    EffectFade = 1,      // parameter: uint8_t rate, 255 unchanged, 0 black (or transparent)
    EffectAddColor = 2,  // parameter: uint32_t colour 0xAARRGGBB, added with saturation
    EffectSubColor = 3,  // parameter: uint32_t colour 0xAARRGGBB, subtracted, floored at 0
    EffectNegative = 4,  // parameter: none
    EffectMosaic = 5,    // parameter: int32_t block size in pixels
};

// Changes the pixels of `rect` (null: the whole surface), cut to the surface, in place.
// `param` points to what the operation takes (see EffectOp). 0 done, also for a format
// without the effect (Palette8), an empty rectangle or a mosaic block below 1; 1 an unknown
// code, a missing parameter or a refused lock, with nothing touched.
uint32_t ApplyEffect(CSurfaceInfo& surface, EffectOp op, const Rect* rect, const void* param);

// rate 255 leaves the colour (RGB565 goes to level 14 of 15), 0 makes it black; on the alpha
// formats the alpha is faded instead and the colour kept.
uint32_t DispatchEffectFade(CSurfaceInfo& surface, const Rect* rect, uint8_t rate);
uint32_t DispatchEffectNegative(CSurfaceInfo& surface, const Rect* rect);
// Blocks of blockSize x blockSize from the rectangle's top-left corner, each filled with its
// own top-left pixel; a block size below 1 draws nothing.
uint32_t DispatchEffectMosaic(CSurfaceInfo& surface, const Rect* rect, int32_t blockSize);

}  // namespace tovarineGameSDK3rd::Draw
