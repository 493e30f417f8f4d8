// The rectangle effects on a whole 640x480 surface: fade, add colour and mosaic on RGB565 and
// XRGB8888 (the two display formats the game runs in).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "draw/base/blend_tables.h"
#include "draw/effect.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

constexpr int kW = 640, kH = 480;

struct Surface {
    explicit Surface(int32_t type) : bytes(static_cast<size_t>(kW) * kH * PixelSizeOf(type)) {
        std::mt19937 rng(1);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        info.type = type;
        info.width = kW;
        info.height = kH;
        info.pitch = kW * PixelSizeOf(type);
        info.pixels = bytes.data();
        info.initialised = true;
    }
    std::vector<uint8_t> bytes;
    CSurfaceInfo info;
};

void Run(benchmark::State& state, int32_t type, EffectOp op, const void* param) {
    InitBlendTables();
    Surface s(type);
    for (auto _ : state) {
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
