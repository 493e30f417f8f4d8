// Full-frame 640x480 blends through CSurfaceInfo::DispatchBlt, side by side with SDL2's
// SDL_BlitSurface (SDL_BLENDMODE_BLEND, the rate as the source's alpha modulation) and
// pixman's OVER (the rate as a solid mask) on the same pixels; the peers have no 4-bit alpha
// and take ARGB8888 there. Source and destination are different random pictures. The two
// workers of XRGB8888 onto itself by one rate are also run on their own.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <string>
#include <vector>

#include "bench/frame_surface.h"
#include "bench/ratio_report.h"
#include "blit/blend/blend_pixel.h"
#include "draw/base/blend_tables.h"
#include "draw/base/pixel_format.h"
#include "draw/base/surface_info.h"
#include "draw/blt_dispatch.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using morna::bench::kH;
using morna::bench::kW;

using morna::bench::PixmanFormat;
using morna::bench::SdlFormat;
using Surface = morna::bench::FrameSurface;

struct Case {
    const char* name;
    EBltOp op;
    int32_t src, dst;
    uint8_t rate;
    int32_t peerSrc;               // the peers' source format
    BltMemberFn member = nullptr;  // run on its own instead of through the dispatch
};

void Ours(benchmark::State& state, Case c) {
    InitBlendTables();
    Surface src(c.src, 1), dst(c.dst, 2);
    const uint32_t rates[2] = {c.rate, 0};
    BltParam param;
    param.rate = c.rate;
    for (auto _ : state) {
        dst.Restore(state);
        benchmark::DoNotOptimize(c.member ? c.member(src.info, dst.info, param, BltGeometry{})
                                          : DispatchBlt(dst.info, c.op, src.info, BltGeometry{}, rates));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void Sdl(benchmark::State& state, Case c) {
    Surface src(c.peerSrc, 1), dst(c.dst, 2);
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(src.bytes.data(), kW, kH, PixelSizeOf(c.peerSrc) * 8,
                                                        src.info.pitch, SdlFormat(c.peerSrc));
    SDL_Surface* d =
        SDL_CreateRGBSurfaceWithFormatFrom(dst.bytes.data(), kW, kH, PixelSizeOf(c.dst) * 8, dst.info.pitch, SdlFormat(c.dst));
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    if (c.op != EBltOp::BltAlpha) SDL_SetSurfaceAlphaMod(s, c.rate);
    for (auto _ : state) {
        dst.Restore(state);
        SDL_Rect r{0, 0, kW, kH};
        benchmark::DoNotOptimize(SDL_BlitSurface(s, nullptr, d, &r));
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(s);
    SDL_FreeSurface(d);
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void Pixman(benchmark::State& state, Case c) {
    Surface src(c.peerSrc, 1), dst(c.dst, 2);
    pixman_image_t* s = pixman_image_create_bits(PixmanFormat(c.peerSrc), kW, kH,
                                                 reinterpret_cast<uint32_t*>(src.bytes.data()), src.info.pitch);
    pixman_image_t* d = pixman_image_create_bits(PixmanFormat(c.dst), kW, kH,
                                                 reinterpret_cast<uint32_t*>(dst.bytes.data()), dst.info.pitch);
    const pixman_color_t rate{0, 0, 0, static_cast<uint16_t>(c.rate * 257)};
    pixman_image_t* mask = c.op == EBltOp::BltAlpha ? nullptr : pixman_image_create_solid_fill(&rate);
    for (auto _ : state) {
        dst.Restore(state);
        pixman_image_composite32(PIXMAN_OP_OVER, s, mask, d, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    if (mask) pixman_image_unref(mask);
    pixman_image_unref(s);
    pixman_image_unref(d);
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

const Case kCases[] = {
    {"Blend128/XRGB8888>XRGB8888", EBltOp::BltBlend, XRGB8888, XRGB8888, 128, XRGB8888},
    {"Blend128/RGB565>RGB565", EBltOp::BltBlend, RGB565, RGB565, 128, RGB565},
    {"Blend128/XRGB8888>XRGB8888/table", EBltOp::BltBlend, XRGB8888, XRGB8888, 128, 0,
     &BltMember<XRGB8888, XRGB8888, BlendPixel>},
    {"Blend128/XRGB8888>XRGB8888/packed", EBltOp::BltBlend, XRGB8888, XRGB8888, 128, 0,
     &BltMember<XRGB8888, XRGB8888, PackedBlendPixel>},
    {"SourceAlpha/ARGB8888>XRGB8888", EBltOp::BltAlpha, ARGB8888, XRGB8888, 0, ARGB8888},
    {"SourceAlpha/ARGB4565>RGB565", EBltOp::BltAlpha, ARGB4565, RGB565, 0, ARGB8888},
};

int Register() {
    for (const Case& c : kCases) {
        auto add = [&](const char* who, void (*fn)(benchmark::State&, Case)) {
            morna::bench::Repeated(benchmark::RegisterBenchmark((std::string(c.name) + "/" + who).c_str(), fn, c));
        };
        add("morna", Ours);
        if (c.member) continue;
        add("SDL2", Sdl);
        add("pixman", Pixman);
    }
    return 0;
}
const int kRegistered = Register();

}  // namespace

int main(int argc, char** argv) { return morna::bench::RunWithRatios(argc, argv); }
