// Fuzz input over raw bytes, and surfaces described over plain byte vectors, shared by the blit
// fuzz targets.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "draw/base/surface_info.h"

namespace morna::fuzz {

// Reads little-endian values off the input; past its end they read as 0.
struct Reader {
    const uint8_t* p;
    size_t n;
    int32_t Int() {
        int32_t v = 0;
        const size_t k = n < 4 ? n : 4;
        std::memcpy(&v, p, k);
        p += k;
        n -= k;
        return v;
    }
    uint8_t Byte() {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
};

// A surface of exactly w x h pixels over bytes, so that a sanitizer sees any access outside it.
inline tovarineGameSDK3rd::Draw::CSurfaceInfo Describe(std::vector<uint8_t>& bytes, int32_t type, int w, int h) {
    tovarineGameSDK3rd::Draw::CSurfaceInfo info;
    info.type = type;
    info.width = w, info.height = h;
    info.pitch = w * tovarineGameSDK3rd::Draw::PixelSizeOf(type);
    info.pixels = bytes.data();
    info.initialised = true;
    return info;
}

}  // namespace morna::fuzz
