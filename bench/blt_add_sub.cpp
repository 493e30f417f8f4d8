// Full-frame 640x480 add and subtract blits through CSurfaceInfo::DispatchBlt, side by side
// with SDL2's SDL_BlitSurface in SDL_BLENDMODE_ADD and pixman's ADD on the same pixels. The
// destination is put back outside the timing before every run, so that it never saturates.
// The 4-byte add also runs pixman's ADD with both images read as a8r8g8b8: the same bytes and
// the same saturating sum per colour byte (the fourth byte saturates too), on pixman's fast
// path, which its x8r8g8b8 ADD does not take; and once more with our rows held to 16-byte
// vectors.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/frame_surface.h"
#include "bench/ratio_report.h"
#include "draw/base/vector_width.h"
#include "draw/blt_dispatch.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using morna::bench::kH;
using morna::bench::kW;

// Half-bright pictures, so that the sums rarely saturate.
struct Surface : morna::bench::FrameSurface {
    Surface(int32_t type, uint32_t seed) : FrameSurface(type, seed, SDL_BLENDMODE_ADD, 0x7F) {}
};

struct Case {
    const char* name;
    int32_t type;
    EBltOp op;
    uint32_t rate = 0;
    bool peers = false;  // SDL2 and pixman run the plain add beside it
    int wide = -1;       // the vector width as the processor allows, or held to 16 bytes (0)
};

void Ours(benchmark::State& state, Case c) {
    Surface src(c.type, 1), dst(c.type, 2);
    ForceWideVectorsForTesting(c.wide);
    for (auto _ : state) {
        dst.Restore(state);
        benchmark::DoNotOptimize(DispatchBlt(dst.info, c.op, src.info, BltGeometry{}, &c.rate));
        benchmark::ClobberMemory();
    }
    ForceWideVectorsForTesting(-1);
}

void Sdl(benchmark::State& state, Case c) {
    Surface src(c.type, 1), dst(c.type, 2);
    for (auto _ : state) {
        dst.Restore(state);
        SDL_Rect r{0, 0, kW, kH};
        benchmark::DoNotOptimize(SDL_BlitSurface(src.sdl, nullptr, dst.sdl, &r));
        benchmark::ClobberMemory();
    }
}

void PixmanAdd(benchmark::State& state, Surface& dst, pixman_image_t* s, pixman_image_t* d) {
    for (auto _ : state) {
        dst.Restore(state);
        pixman_image_composite32(PIXMAN_OP_ADD, s, nullptr, d, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
}

void Pixman(benchmark::State& state, Case c) {
    Surface src(c.type, 1), dst(c.type, 2);
    PixmanAdd(state, dst, src.pix, dst.pix);
}

void PixmanAsArgb(benchmark::State& state, Case c) {
    Surface src(c.type, 1), dst(c.type, 2);
    auto argb = [](Surface& f) {
        auto* bits = reinterpret_cast<uint32_t*>(f.bytes.data());
        return pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, bits, f.info.pitch);
    };
    pixman_image_t *s = argb(src), *d = argb(dst);
    PixmanAdd(state, dst, s, d);
    pixman_image_unref(s);
    pixman_image_unref(d);
}

const Case kCases[] = {
    {"Add/XRGB8888", XRGB8888, EBltOp::BltAdd, 0, true},
    {"Add/XRGB8888_16-byte", XRGB8888, EBltOp::BltAdd, 0, true, 0},
    {"Add/RGB565", RGB565, EBltOp::BltAdd, 0, true},
    {"Sub/XRGB8888", XRGB8888, EBltOp::BltSub},
    {"Sub/RGB565", RGB565, EBltOp::BltSub},
    // Rate and key beside the plain add (a quarter of the source pixels are the key).
    {"AddRate128/XRGB8888", XRGB8888, EBltOp::BltAddRate, 128},
    {"AddRate128/RGB565", RGB565, EBltOp::BltAddRate, 128},
    {"KeyedAdd/XRGB8888", XRGB8888, EBltOp::BltKeyedAdd},
    {"KeyedAdd/RGB565", RGB565, EBltOp::BltKeyedAdd},
    {"KeyedAddRate128/XRGB8888", XRGB8888, EBltOp::BltKeyedAddRate, 128},
    {"KeyedAddRate128/RGB565", RGB565, EBltOp::BltKeyedAddRate, 128},
};

int Register() {
    for (const Case& c : kCases) {
        auto add = [&](const char* who, auto fn) {
            morna::bench::Repeated(benchmark::RegisterBenchmark((std::string(c.name) + "/" + who).c_str(), fn, c));
        };
        add("morna", Ours);
        if (!c.peers) continue;
        if (PixelSizeOf(c.type) == 4) add("pixman-a8r8g8b8", PixmanAsArgb);
        if (c.wide == 0) continue;  // the peers' figures are those of the row above
        add("SDL2", Sdl);
        add("pixman", Pixman);
    }
    return 0;
}
const int kRegistered = Register();

}  // namespace

int main(int argc, char** argv) { return morna::bench::RunWithRatios(argc, argv); }
