// The framework's own pixel helpers on 640x480 planes, side by side with their peers on the
// same pixels: BltAlphaOver ARGB8888 against SDL2's blend-mode blit, BltAddRate XRGB8888
// against SDL2's additive blit with alpha modulation 128, DarkenRect RGB565 against memcpy of
// the same bytes.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "draw/fast_plane.h"
#include "framework/blt_support.h"

using namespace tovarineGameSDK3rd::Draw;
using KestraneGameBase2::CBltSupport;

namespace {

constexpr int kW = 640, kH = 480;

struct Plane {
    Plane(int32_t type, uint32_t sdlFormat, uint32_t seed) {
        plane.CreateMemorySurface(kW, kH, type, false);
        CSurfaceInfo& info = *plane.GetSurfaceInfo();
        std::mt19937 rng(seed);
        for (int i = 0; i < info.pitch * kH; ++i) info.pixels[i] = static_cast<uint8_t>(rng());
        sdl = SDL_CreateRGBSurfaceWithFormatFrom(info.pixels, kW, kH, PixelSizeOf(type) * 8, info.pitch, sdlFormat);
    }
    ~Plane() { SDL_FreeSurface(sdl); }
    CFastPlane plane;
    SDL_Surface* sdl;
};

void Run(benchmark::State& state, auto&& fn) {
    for (auto _ : state) {
        fn();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void AlphaOverMorna(benchmark::State& state) {
    Plane src(ARGB8888, SDL_PIXELFORMAT_ARGB8888, 1), dst(ARGB8888, SDL_PIXELFORMAT_ARGB8888, 2);
    Run(state, [&] { CBltSupport::BltAlphaOver(dst.plane, src.plane, 0, 0); });
}
void AlphaOverSdl(benchmark::State& state) {
    Plane src(ARGB8888, SDL_PIXELFORMAT_ARGB8888, 1), dst(ARGB8888, SDL_PIXELFORMAT_ARGB8888, 2);
    SDL_SetSurfaceBlendMode(src.sdl, SDL_BLENDMODE_BLEND);
    Run(state, [&] { SDL_BlitSurface(src.sdl, nullptr, dst.sdl, nullptr); });
}
void AddRateMorna(benchmark::State& state) {
    Plane src(XRGB8888, SDL_PIXELFORMAT_RGB888, 1), dst(XRGB8888, SDL_PIXELFORMAT_RGB888, 2);
    Run(state, [&] { CBltSupport::BltAddRate(dst.plane, src.plane, 0, 0, 128); });
}
void AddRateSdl(benchmark::State& state) {
    Plane src(XRGB8888, SDL_PIXELFORMAT_RGB888, 1), dst(XRGB8888, SDL_PIXELFORMAT_RGB888, 2);
    SDL_SetSurfaceBlendMode(src.sdl, SDL_BLENDMODE_ADD);
    SDL_SetSurfaceAlphaMod(src.sdl, 128);
    Run(state, [&] { SDL_BlitSurface(src.sdl, nullptr, dst.sdl, nullptr); });
}
void DarkenMorna(benchmark::State& state) {
    Plane dst(RGB565, SDL_PIXELFORMAT_RGB565, 2);
    Run(state, [&] { CBltSupport::DarkenRect(dst.plane, 0, 0, kW, kH); });
}
void DarkenMemcpy(benchmark::State& state) {
    Plane src(RGB565, SDL_PIXELFORMAT_RGB565, 1), dst(RGB565, SDL_PIXELFORMAT_RGB565, 2);
    const CSurfaceInfo &s = *src.plane.GetSurfaceInfo(), &d = *dst.plane.GetSurfaceInfo();
    Run(state, [&] { std::memcpy(d.pixels, s.pixels, static_cast<size_t>(s.pitch) * kH); });
}

#define MORNA_BENCH(fn) BENCHMARK(fn)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond)
MORNA_BENCH(AlphaOverMorna);
MORNA_BENCH(AlphaOverSdl);
MORNA_BENCH(AddRateMorna);
MORNA_BENCH(AddRateSdl);
MORNA_BENCH(DarkenMorna);
MORNA_BENCH(DarkenMemcpy);

}  // namespace
