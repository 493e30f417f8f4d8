// The rectangle effects on a whole 640x480 surface: fade, add colour and mosaic on RGB565 and
// XRGB8888 (the two display formats the game runs in).
#include <benchmark/benchmark.h>

#include "bench/frame_surface.h"
#include "draw/base/blend_tables.h"
#include "draw/effect.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using morna::bench::kH;
using morna::bench::kW;
using Surface = morna::bench::FrameSurface;

void Run(benchmark::State& state, int32_t type, EffectOp op, const void* param) {
    InitBlendTables();
    Surface s(type);
    for (auto _ : state) {
        s.Restore(state);  // a second fade of the same pixels would start from darker ones
        benchmark::DoNotOptimize(ApplyEffect(s.info, op, nullptr, param));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

const uint8_t kRate = 200;
const uint32_t kColour = 0x00402010;
const int32_t kBlock2 = 2, kBlock8 = 8;

}  // namespace

BENCHMARK_CAPTURE(Run, Clear_RGB565, RGB565, EffectClear, nullptr);
BENCHMARK_CAPTURE(Run, Negative_RGB565, RGB565, EffectNegative, nullptr);
BENCHMARK_CAPTURE(Run, Fade_RGB565, RGB565, EffectFade, &kRate);
BENCHMARK_CAPTURE(Run, Fade_XRGB8888, XRGB8888, EffectFade, &kRate);
BENCHMARK_CAPTURE(Run, AddColor_RGB565, RGB565, EffectAddColor, &kColour);
BENCHMARK_CAPTURE(Run, AddColor_XRGB8888, XRGB8888, EffectAddColor, &kColour);
BENCHMARK_CAPTURE(Run, Mosaic2_RGB565, RGB565, EffectMosaic, &kBlock2);
BENCHMARK_CAPTURE(Run, Mosaic2_XRGB8888, XRGB8888, EffectMosaic, &kBlock2);
BENCHMARK_CAPTURE(Run, Mosaic8_RGB565, RGB565, EffectMosaic, &kBlock8);
BENCHMARK_CAPTURE(Run, Mosaic8_XRGB8888, XRGB8888, EffectMosaic, &kBlock8);
