// One present of a 640x480 picture: the copy into the streaming texture and the software
// renderer's draw onto a 640x480 output, for the two formats the game runs in.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/display_present.h"

namespace mp = morna::platform;

namespace {

constexpr int kW = 640, kH = 480;

void Present(benchmark::State& state, int32_t format, int32_t bytesPerPixel) {
    std::vector<uint8_t> bytes(static_cast<size_t>(kW) * kH * bytesPerPixel);
    std::mt19937 rng(1);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    mp::PresentPicture picture{bytes.data(), kW * bytesPerPixel, kW, kH, format, nullptr};
    auto presenter = mp::DisplayPresenter::CreateOffscreen(kW, kH);
    if (!presenter) {
        state.SkipWithError("no software renderer");
        return;
    }
    for (auto _ : state) {
        if (!presenter->Present(picture)) {
            state.SkipWithError(presenter->LastError().c_str());
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_PresentRGB565(benchmark::State& state) { Present(state, mp::kPresentRGB565, 2); }
void BM_PresentXRGB8888(benchmark::State& state) { Present(state, mp::kPresentXRGB8888, 4); }
BENCHMARK(BM_PresentRGB565)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentXRGB8888)->Unit(benchmark::kMicrosecond);

}  // namespace
