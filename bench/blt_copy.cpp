// Full-frame 640x480 copy and keyed copy through DispatchBlt, side by side with
// SDL2's SDL_BlitSurface on the same pixels (no blending, colour keys without RLE) and with
// memcpy of the same rows. A quarter of the source pixels are the key colour.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench/frame_surface.h"
#include "draw/blt_dispatch.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using morna::bench::kH;
using morna::bench::kW;
using Surface = morna::bench::FrameSurface;

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
