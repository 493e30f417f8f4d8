#pragma once
// The head-up display's numbers, drawn from image 1's digits.
#include <cstdint>

#include "draw/surface.h"

// "x1.5": the sign, the units, the point, the tenths and a hundredths digit other than 0.
void DrawMultiplier(tovarineGameSDK3rd::Draw::ISurface* target, int32_t x, int32_t y, uint8_t alpha, double m);
// The sign, then the digits without leading zeros (the sign alone for 0).
void DrawNumber(tovarineGameSDK3rd::Draw::ISurface* target, int32_t x, int32_t y, int32_t value, uint8_t alpha);
