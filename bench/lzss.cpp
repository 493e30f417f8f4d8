// Packing and unpacking 1 MiB of what the game stores: text tables and pixels.
#include "foundation/auxiliary/lzss.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

using tovarineGameSDK3rd::Auxiliary::CLZSS;

namespace {

std::vector<uint8_t> MixedData() {
    std::vector<uint8_t> data;
    data.reserve(1 << 20);
    std::mt19937 rng(2024);
    char line[96];
    // Half a mebibyte of CR LF table rows with varying numbers.
    while (data.size() < (1u << 19)) {
        auto pick = [&](unsigned m) { return static_cast<unsigned>(rng() % m); };
        const int n = std::snprintf(line, sizeof line, "%u,%u,%d,enemy%02u,\"moves\"\r\n", pick(640),
                                    pick(480), static_cast<int>(pick(200)) - 100, pick(40));
        data.insert(data.end(), line, line + n);
    }
    // Then 32-bit pixels: horizontal gradients with flat runs and noise, as sprites have.
    uint32_t colour = 0xFF000000;
    while (data.size() < (1u << 20)) {
        if (rng() % 16 == 0) colour = 0xFF000000 | (rng() & 0xFFFFFF);
        const uint32_t run = 1 + rng() % 24;
        for (uint32_t i = 0; i < run; ++i) {
            const uint32_t px = colour + (rng() % 4 == 0 ? (rng() & 0x030303) : 0);
            for (int b = 0; b < 4; ++b) data.push_back(static_cast<uint8_t>(px >> (8 * b)));
        }
    }
    data.resize(1u << 20);
    return data;
}

void BM_LzssEncode(benchmark::State& state) {
    const auto data = MixedData();
    CLZSS lz;
    std::vector<uint8_t> out(data.size());
    uint32_t packedSize = 0;
    for (auto _ : state) {
        uint8_t* p = out.data();
        benchmark::DoNotOptimize(lz.Encode(data.data(), &p, static_cast<uint32_t>(data.size()), &packedSize, false));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
    state.counters["ratio"] = static_cast<double>(packedSize) / static_cast<double>(data.size());
}
BENCHMARK(BM_LzssEncode)->Unit(benchmark::kMillisecond);

void BM_LzssDecode(benchmark::State& state) {
    const auto data = MixedData();
    CLZSS lz;
    uint8_t* packed = nullptr;
    uint32_t packedSize = 0;
    if (lz.Encode(data.data(), &packed, static_cast<uint32_t>(data.size()), &packedSize, true) != 0) {
        state.SkipWithError("data did not pack");
        return;
    }
    std::vector<uint8_t> out(data.size());
    for (auto _ : state) {
        uint8_t* p = out.data();
        benchmark::DoNotOptimize(lz.Decode(packed, packedSize, &p, static_cast<uint32_t>(out.size()), false));
    }
    delete[] packed;
    if (out != data) state.SkipWithError("round trip differs");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_LzssDecode)->Unit(benchmark::kMillisecond);

}  // namespace
