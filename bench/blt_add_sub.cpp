// Full-frame 640x480 add and subtract blits through CSurfaceInfo::DispatchBlt, side by side
// with SDL2's SDL_BlitSurface in SDL_BLENDMODE_ADD and pixman's ADD on the same pixels. The
// destination is put back outside the timing before every run, so that it never saturates.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/frame_surface.h"
#include "bench/ratio_report.h"
#include "draw/blt_dispatch.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using morna::bench::kH;
using morna::bench::kW;

// Half-bright pictures, so that the sums rarely saturate.
struct Surface : morna::bench::FrameSurface {
    Surface(int32_t type, uint32_t seed) : FrameSurface(type, seed, SDL_BLENDMODE_ADD, 0x7F) {}
};

void Ours(benchmark::State& state, int32_t type, EBltOp op, uint32_t rate) {
    Surface src(type, 1), dst(type, 2);
    for (auto _ : state) {
        dst.Restore(state);
        benchmark::DoNotOptimize(DispatchBlt(dst.info, op, src.info, BltGeometry{}, &rate));
        benchmark::ClobberMemory();
    }
}

void Sdl(benchmark::State& state, int32_t type, EBltOp, uint32_t) {
    Surface src(type, 1), dst(type, 2);
    for (auto _ : state) {
        dst.Restore(state);
        SDL_Rect r{0, 0, kW, kH};
        benchmark::DoNotOptimize(SDL_BlitSurface(src.sdl, nullptr, dst.sdl, &r));
        benchmark::ClobberMemory();
    }
}

void Pixman(benchmark::State& state, int32_t type, EBltOp, uint32_t) {
    Surface src(type, 1), dst(type, 2);
    for (auto _ : state) {
        dst.Restore(state);
        pixman_image_composite32(PIXMAN_OP_ADD, src.pix, nullptr, dst.pix, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
}

struct Case {
    const char* name;
    int32_t type;
    EBltOp op;
    uint32_t rate;
    bool peers;  // SDL2 and pixman run the plain add beside it
};

const Case kCases[] = {
    {"Add/XRGB8888", XRGB8888, EBltOp::BltAdd, 0, true},
    {"Add/RGB565", RGB565, EBltOp::BltAdd, 0, true},
    {"Sub/XRGB8888", XRGB8888, EBltOp::BltSub, 0, false},
    {"Sub/RGB565", RGB565, EBltOp::BltSub, 0, false},
    // Rate and key beside the plain add (a quarter of the source pixels are the key).
    {"AddRate128/XRGB8888", XRGB8888, EBltOp::BltAddRate, 128, false},
    {"AddRate128/RGB565", RGB565, EBltOp::BltAddRate, 128, false},
    {"KeyedAdd/XRGB8888", XRGB8888, EBltOp::BltKeyedAdd, 0, false},
    {"KeyedAdd/RGB565", RGB565, EBltOp::BltKeyedAdd, 0, false},
    {"KeyedAddRate128/XRGB8888", XRGB8888, EBltOp::BltKeyedAddRate, 128, false},
    {"KeyedAddRate128/RGB565", RGB565, EBltOp::BltKeyedAddRate, 128, false},
};

int Register() {
    for (const Case& c : kCases) {
        auto add = [&](const char* who, auto fn) {
            morna::bench::Repeated(benchmark::RegisterBenchmark((std::string(c.name) + "/" + who).c_str(), fn, c.type, c.op, c.rate));
        };
        add("morna", Ours);
        if (c.peers) {
            add("SDL2", Sdl);
            add("pixman", Pixman);
        }
    }
    return 0;
}
const int kRegistered = Register();

}  // namespace

int main(int argc, char** argv) { return morna::bench::RunWithRatios(argc, argv); }
