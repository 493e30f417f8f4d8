#pragma once
// A picture for the blit benchmarks, 640x480 unless sized otherwise: random pixels, a quarter
// of them the colour key unless asked for none, described for our blits, as an SDL2 surface
// and as a pixman image over the same bytes, its rows exactly as wide as its pixels.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>
#include <vector>

#include "draw/base/pixel_format.h"
#include "draw/base/surface_info.h"

namespace morna::bench {

using tovarineGameSDK3rd::Draw::CSurfaceInfo;
namespace fmt = tovarineGameSDK3rd::Draw;

inline constexpr int kW = 640, kH = 480;
inline constexpr uint32_t kKey = 0x00FF00FF;

inline uint32_t SdlFormat(int32_t type) {
    switch (type) {
        case fmt::RGB565: return SDL_PIXELFORMAT_RGB565;
        case fmt::RGB555: return SDL_PIXELFORMAT_RGB555;
        case fmt::RGB888: return SDL_PIXELFORMAT_RGB24;
        case fmt::XRGB8888: return SDL_PIXELFORMAT_XRGB8888;
        case fmt::ARGB8888: return SDL_PIXELFORMAT_ARGB8888;
        default: return SDL_PIXELFORMAT_UNKNOWN;
    }
}

inline pixman_format_code_t PixmanFormat(int32_t type) {
    switch (type) {
        case fmt::RGB565: return PIXMAN_r5g6b5;
        case fmt::RGB555: return PIXMAN_x1r5g5b5;
        case fmt::XRGB8888: return PIXMAN_x8r8g8b8;
        case fmt::XBGR8888: return PIXMAN_x8b8g8r8;
        case fmt::ARGB8888: return PIXMAN_a8r8g8b8;
        case fmt::ABGR8888: return PIXMAN_a8b8g8r8;
        default: return static_cast<pixman_format_code_t>(0);
    }
}

struct FrameSurface {
    // byteMask: each random byte is masked with it (0x7F: half-bright pictures whose sums
    // rarely saturate). keyEvery: about one pixel in so many is the key; 0 none (random
    // pixels, whose keyed rows have next to no key pixel).
    explicit FrameSurface(int32_t type, uint32_t seed = 1, SDL_BlendMode mode = SDL_BLENDMODE_NONE, uint8_t byteMask = 0xFF,
                          int keyEvery = 4, int w = kW, int h = kH)
        : bytes(static_cast<size_t>(w) * h * fmt::PixelSizeOf(type)) {
        std::mt19937 rng(seed);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng() & byteMask);
        const int bpp = fmt::PixelSizeOf(type);
        const uint32_t key = fmt::PackColorKey(type, kKey, type);
        const int keyBytes = type == fmt::ARGB8888 || type == fmt::ABGR8888 ? 3 : bpp;  // key colour, alpha kept
        for (size_t i = 0; keyEvery > 0 && i + bpp <= bytes.size(); i += bpp) {
            if (rng() % keyEvery == 0) std::memcpy(&bytes[i], &key, keyBytes);
        }
        original = bytes;
        info.type = type;
        info.width = w;
        info.height = h;
        info.pitch = w * bpp;
        info.pixels = bytes.data();
        info.initialised = true;
        info.colourKey = kKey;
        sdl = SDL_CreateRGBSurfaceWithFormatFrom(bytes.data(), w, h, bpp * 8, info.pitch, SdlFormat(type));
        if (sdl) SDL_SetSurfaceBlendMode(sdl, mode);
        if (PixmanFormat(type)) {
            pix = pixman_image_create_bits(PixmanFormat(type), w, h, reinterpret_cast<uint32_t*>(bytes.data()), info.pitch);
        }
    }
    ~FrameSurface() {
        if (sdl) SDL_FreeSurface(sdl);
        if (pix) pixman_image_unref(pix);
    }
    FrameSurface(const FrameSurface&) = delete;
    FrameSurface& operator=(const FrameSurface&) = delete;

    // The pixels as they were made, put back outside the timing.
    void Restore(benchmark::State& state) {
        state.PauseTiming();
        std::memcpy(bytes.data(), original.data(), bytes.size());
        state.ResumeTiming();
    }

    std::vector<uint8_t> bytes, original;
    CSurfaceInfo info;
    SDL_Surface* sdl = nullptr;
    pixman_image_t* pix = nullptr;
};

}  // namespace morna::bench
