// The blit worker frame on a 640x480 XRGB8888 copy: the 1:1 path (row fast path and the
// groups of eight), the scaled path, and memcpy of the same rows for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "draw/base/blt_loop.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using F = PixelFormat<XRGB8888>;

struct Surface {
    Surface(int w, int h) : bytes(static_cast<size_t>(w) * h * 4, 0x5A) {
        info.type = XRGB8888;
        info.width = w;
        info.height = h;
        info.pitch = w * 4;
        info.pixels = bytes.data();
        info.initialised = true;
    }
    std::vector<uint8_t> bytes;
    CSurfaceInfo info;
};

// The same copy as SameFormatCopyPixel, without its row fast path.
template <class S, class D>
struct PerPixelCopy {
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, S::Load(s)); }
};

// A converting operator, as the copy blits between formats have.
template <class S, class D>
struct ConvertTo565 {
    void operator()(const uint8_t* s, uint8_t* d) const {
        PixelFormat<RGB565>::Store(d, FromColor<PixelFormat<RGB565>>(ToColor<S>(S::Load(s))));
    }
};

constexpr int kW = 640, kH = 480;

void Memcpy(benchmark::State& state) {
    Surface src(kW, kH), dst(kW, kH);
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y) std::memcpy(dst.bytes.data() + y * kW * 4, src.bytes.data() + y * kW * 4, kW * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

template <template <class, class> class Op>
void OneToOne(benchmark::State& state) {
    Surface src(kW, kH), dst(kW, kH);
    for (auto _ : state) {
        BltLoop<F, F>(src.info, dst.info, BltGeometry{}, Op<F, F>{});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

void OneToOneTo565(benchmark::State& state) {
    Surface src(kW, kH), dst(kW, kH);
    dst.info.type = RGB565;
    dst.info.pitch = kW * 2;
    for (auto _ : state) {
        BltLoop<F, PixelFormat<RGB565>>(src.info, dst.info, BltGeometry{}, ConvertTo565<F, PixelFormat<RGB565>>{});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

// A source of w x h drawn 640x480.
void Scaled(benchmark::State& state) {
    Surface src(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))), dst(kW, kH);
    Size size{kW, kH};
    for (auto _ : state) {
        BltLoop<F, F>(src.info, dst.info, BltGeometry{nullptr, &size}, SameFormatCopyPixel<F, F>{});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

}  // namespace

BENCHMARK(Memcpy);
BENCHMARK(OneToOne<SameFormatCopyPixel>)->Name("OneToOne/RowPath");
BENCHMARK(OneToOne<PerPixelCopy>)->Name("OneToOne/GroupsOfEight");
BENCHMARK(OneToOneTo565)->Name("OneToOne/ConvertTo565");
BENCHMARK(Scaled)->Args({320, 240})->Args({1280, 960})->Args({639, 479});
