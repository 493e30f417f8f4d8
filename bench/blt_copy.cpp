// Full-frame 640x480 copy and keyed copy through DispatchBlt, side by side with
// SDL2's SDL_BlitSurface on the same pixels (no blending, colour keys without RLE) and with
// memcpy of the same rows. A quarter of the source pixels are the key colour.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "draw/base/pixel_format.h"
#include "draw/base/surface_info.h"
#include "draw/blt_dispatch.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

constexpr int kW = 640, kH = 480;
constexpr uint32_t kKey = 0x00FF00FF;

uint32_t SdlFormat(int32_t type) {
    switch (type) {
        case RGB565: return SDL_PIXELFORMAT_RGB565;
        case RGB555: return SDL_PIXELFORMAT_RGB555;
        case RGB888: return SDL_PIXELFORMAT_RGB24;
        case XRGB8888: return SDL_PIXELFORMAT_RGB888;  // SDL2's name for 32-bit xRGB
        case ARGB8888: return SDL_PIXELFORMAT_ARGB8888;
        default: return SDL_PIXELFORMAT_UNKNOWN;
    }
}

struct Surface {
    explicit Surface(int32_t type, uint32_t seed) : bytes(static_cast<size_t>(kW) * kH * PixelSizeOf(type)) {
        std::mt19937 rng(seed);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        const int bpp = PixelSizeOf(type);
        const uint32_t key = PackColorKey(type, kKey, type);
        for (size_t i = 0; i + bpp <= bytes.size(); i += bpp) {
            if (rng() % 4) continue;
            std::memcpy(&bytes[i], &key, type == ARGB8888 ? 3 : bpp);  // key colour, alpha kept
        }
        info.type = type;
        info.width = kW;
        info.height = kH;
        info.pitch = kW * bpp;
        info.pixels = bytes.data();
        info.initialised = true;
        info.colourKey = kKey;
        sdl = SDL_CreateRGBSurfaceWithFormatFrom(bytes.data(), kW, kH, bpp * 8, info.pitch, SdlFormat(type));
        SDL_SetSurfaceBlendMode(sdl, SDL_BLENDMODE_NONE);
    }
    ~Surface() { SDL_FreeSurface(sdl); }
    std::vector<uint8_t> bytes;
    CSurfaceInfo info;
    SDL_Surface* sdl;
};

void Ours(benchmark::State& state, int32_t s, int32_t d, EBltOp op) {
    Surface src(s, 1), dst(d, 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DispatchBlt(dst.info, op, src.info, BltGeometry{}));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void Sdl(benchmark::State& state, int32_t s, int32_t d, EBltOp op) {
    Surface src(s, 1), dst(d, 2);
    if (op == EBltOp::BltKeyedCopy) SDL_SetColorKey(src.sdl, SDL_TRUE, SDL_MapRGB(src.sdl->format, 255, 0, 255));
    for (auto _ : state) {
        SDL_Rect r{0, 0, kW, kH};
        benchmark::DoNotOptimize(SDL_BlitSurface(src.sdl, nullptr, dst.sdl, &r));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void Memcpy(benchmark::State& state, int32_t s, int32_t, EBltOp) {
    Surface src(s, 1), dst(s, 2);
    const size_t row = static_cast<size_t>(src.info.pitch);
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y) std::memcpy(dst.bytes.data() + y * row, src.bytes.data() + y * row, row);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

struct Case {
    const char* name;
    int32_t src, dst;
    bool sdl, memcpy, keyed = true;
};

const Case kCases[] = {
    {"RGB565>RGB565", RGB565, RGB565, true, true},
    {"RGB555>RGB555", RGB555, RGB555, true, true},
    {"XRGB8888>XRGB8888", XRGB8888, XRGB8888, true, true},
    {"ARGB8888>XRGB8888", ARGB8888, XRGB8888, true, false},
    // The byte-wise formats, for the row fast paths.
    {"RGB888>RGB888", RGB888, RGB888, false, false},
    {"ARGB4565>ARGB4565", ARGB4565, ARGB4565, false, false},
    {"RGB888>XRGB8888", RGB888, XRGB8888, false, false, false},
    {"XRGB8888>RGB565", XRGB8888, RGB565, false, false, false},
    {"RGB565>ARGB4565", RGB565, ARGB4565, false, false},
    {"ARGB4565>RGB565", ARGB4565, RGB565, false, false},
};

int Register() {
    for (const Case& c : kCases) {
        for (EBltOp op : {EBltOp::BltCopy, EBltOp::BltKeyedCopy}) {
            if (op == EBltOp::BltKeyedCopy && !c.keyed) continue;
            const std::string name = std::string(op == EBltOp::BltCopy ? "Copy/" : "KeyedCopy/") + c.name;
            auto add = [&](const char* who, auto fn) {
                benchmark::RegisterBenchmark((name + "/" + who).c_str(), fn, c.src, c.dst, op)
                    ->Repetitions(9)
                    ->ReportAggregatesOnly(true)
                    ->Unit(benchmark::kMicrosecond);
            };
            add("morna", Ours);
            if (c.sdl) add("SDL2", Sdl);
            if (c.memcpy && op == EBltOp::BltCopy) add("memcpy", Memcpy);
        }
    }
    return 0;
}
const int kRegistered = Register();

}  // namespace
