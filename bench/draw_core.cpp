// The drawing core's frame-sized paths on 640x480, each beside its peers in this one run (SDL2's
// SDL_BlitSurface, SDL_BlitScaled, SDL_FillRect; pixman's composite and fill) and beside
// memcpy or memset of the frame as the limit; the closing table gives our time over theirs.
// Every contender is called as a caller calls it: through the public entry (DispatchBlt,
// ApplyEffect, the presenter) on surfaces of its own size, of random pixels, again and again on
// the same pixels; only the alpha rows put the destination back outside the timing.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/frame_surface.h"
#include "bench/ratio_report.h"
#include "draw/base/blend_tables.h"
#include "draw/base/vector_width.h"
#include "draw/blt_dispatch.h"
#include "draw/effect.h"
#include "draw/fast_draw.h"
#include "draw/text_dib_bitmap.h"
#include "platform/display_present.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using morna::bench::kH;
using morna::bench::kW;
using morna::bench::Repeated;
using Surface = morna::bench::FrameSurface;

void Add(const std::string& name, std::function<void(benchmark::State&)> fn) {
    Repeated(benchmark::RegisterBenchmark(name.c_str(), [fn](benchmark::State& st) {
        fn(st);
        st.SetItemsProcessed(st.iterations() * kW * kH);
    }));
}

// The limits: one move or fill of a frame of the given bytes per pixel.
void AddMemcpy(const std::string& row, int bpp) {
    Add(row + "/memcpy", [bpp](benchmark::State& st) {
        std::vector<uint8_t> a(static_cast<size_t>(kW) * kH * bpp, 1), b(a.size());
        for (auto _ : st) {
            std::memcpy(b.data(), a.data(), a.size());
            benchmark::ClobberMemory();
        }
    });
}

// A w x h corner of a frame surface, described for us, SDL2 and pixman.
struct Corner {
    Corner(Surface& s, int w, int h) : info(s.info) {
        info.width = w;
        info.height = h;
        sdl = SDL_CreateRGBSurfaceWithFormatFrom(s.bytes.data(), w, h, s.sdl->format->BitsPerPixel, s.info.pitch,
                                                 s.sdl->format->format);
        pix = pixman_image_create_bits(morna::bench::PixmanFormat(s.info.type), w, h,
                                       reinterpret_cast<uint32_t*>(s.bytes.data()), s.info.pitch);
    }
    ~Corner() {
        SDL_FreeSurface(sdl);
        pixman_image_unref(pix);
    }
    CSurfaceInfo info;
    SDL_Surface* sdl;
    pixman_image_t* pix;
};

// A blit of the whole source onto the destination, by us, SDL2 (key set when keyed, no RLE) and
// pixman (SRC, or ADD for op 2). keyEvery: one source pixel in so many is the key, 0 none.
void AddBlit(const std::string& row, int32_t s, int32_t d, EBltOp op, bool sdl, bool pixman, int keyEvery = 0) {
    Add(row + "/morna", [=](benchmark::State& st) {
        Surface src(s, 1, SDL_BLENDMODE_NONE, 0xFF, keyEvery), dst(d, 2);
        for (auto _ : st) benchmark::DoNotOptimize(DispatchBlt(dst.info, op, src.info, BltGeometry{}));
    });
    if (sdl) {
        Add(row + "/SDL2", [=](benchmark::State& st) {
            Surface src(s, 1, SDL_BLENDMODE_NONE, 0xFF, keyEvery), dst(d, 2);
            if (op == EBltOp::BltKeyedCopy) SDL_SetColorKey(src.sdl, SDL_TRUE, SDL_MapRGB(src.sdl->format, 255, 0, 255));
            for (auto _ : st) {
                SDL_Rect r{0, 0, kW, kH};
                benchmark::DoNotOptimize(SDL_BlitSurface(src.sdl, nullptr, dst.sdl, &r));
            }
        });
    }
    if (pixman) {
        Add(row + "/pixman", [=](benchmark::State& st) {
            Surface src(s, 1), dst(d, 2);
            const pixman_op_t how = op == EBltOp::BltAdd ? PIXMAN_OP_ADD : PIXMAN_OP_SRC;
            for (auto _ : st) pixman_image_composite32(how, src.pix, nullptr, dst.pix, 0, 0, 0, 0, 0, 0, kW, kH);
            benchmark::ClobberMemory();
        });
    }
}

// A 320x240 source surface of its own drawn over the whole 640x480 destination.
void AddScaled(const std::string& row, int32_t type) {
    const auto source = [type] { return std::make_unique<Surface>(type, 1, SDL_BLENDMODE_NONE, 0xFF, 0, kW / 2, kH / 2); };
    Add(row + "/morna", [=](benchmark::State& st) {
        auto src = source();
        Surface dst(type, 2);
        const Size size{kW, kH};
        for (auto _ : st) benchmark::DoNotOptimize(DispatchBlt(dst.info, EBltOp::BltCopy, src->info, BltGeometry{nullptr, &size}));
    });
    Add(row + "/SDL2", [=](benchmark::State& st) {
        auto src = source();
        Surface dst(type, 2);
        for (auto _ : st) {
            SDL_Rect r{0, 0, kW, kH};
            benchmark::DoNotOptimize(SDL_BlitScaled(src->sdl, nullptr, dst.sdl, &r));
        }
    });
    Add(row + "/pixman", [=](benchmark::State& st) {
        auto src = source();
        Surface dst(type, 2);
        pixman_transform_t t;
        pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
        pixman_image_set_transform(src->pix, &t);
        pixman_image_set_filter(src->pix, PIXMAN_FILTER_NEAREST, nullptr, 0);
        for (auto _ : st) pixman_image_composite32(PIXMAN_OP_SRC, src->pix, nullptr, dst.pix, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    });
}

// An effect over the whole surface, pass after pass on the same surface.
void AddEffect(const std::string& row, int32_t type, EffectOp op, const void* param) {
    Add(row + "/morna", [=](benchmark::State& st) {
        InitBlendTables();
        Surface s(type);
        s.info.fillColour = 0x001044A0;  // RGB565 0x1234, as the peers fill
        for (auto _ : st) benchmark::DoNotOptimize(ApplyEffect(s.info, op, nullptr, param));
    });
}

// pixman's composite of a solid colour onto the surface, pass after pass.
void AddPixmanSolid(const std::string& row, int32_t type, pixman_op_t op, pixman_color_t colour) {
    Add(row + "/pixman", [=](benchmark::State& st) {
        Surface s(type);
        pixman_image_t* solid = pixman_image_create_solid_fill(&colour);
        for (auto _ : st) {
            pixman_image_composite32(op, solid, nullptr, s.pix, 0, 0, 0, 0, 0, 0, kW, kH);
            benchmark::ClobberMemory();
        }
        pixman_image_unref(solid);
    });
}

void AddPresent(const std::string& row, int32_t type) {
    Add(row + "/morna", [=](benchmark::State& st) {
        Surface s(type);
        const morna::platform::PresentPicture picture{s.bytes.data(), s.info.pitch, kW, kH, type, nullptr,
                                                      &WritePictureAsXrgb8888};
        auto presenter = morna::platform::DisplayPresenter::CreateOffscreen(kW, kH);
        if (!presenter) return st.SkipWithError("no software renderer");
        for (auto _ : st) benchmark::DoNotOptimize(presenter->Present(picture));
    });
    // The least a present does: one blit of the picture onto the output's format.
    Add(row + "/SDL2", [=](benchmark::State& st) {
        Surface s(type);
        SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_XRGB8888);
        for (auto _ : st) benchmark::DoNotOptimize(SDL_BlitSurface(s.sdl, nullptr, out, nullptr));
        SDL_FreeSurface(out);
    });
}

// 1000 keyed sprites of side n at fixed random places (some cut by the edges) on an RGB565 frame.
void AddSprites(const std::string& row, int n) {
    struct Places {
        explicit Places(int n) {
            std::mt19937 rng(7);
            for (auto& p : at) p = {static_cast<int32_t>(rng() % (kW + n)) - n, static_cast<int32_t>(rng() % (kH + n)) - n};
        }
        Point at[1000];
    };
    auto sprite = [n](Surface& sheet) { return Corner(sheet, n, n); };
    Add(row + "/morna", [=](benchmark::State& st) {
        Surface sheet(RGB565, 1), dst(RGB565, 2);
        Corner spr = sprite(sheet);
        const Places places(n);
        for (auto _ : st) {
            for (const Point& p : places.at) DispatchBlt(dst.info, EBltOp::BltKeyedCopy, spr.info, BltGeometry{&p});
            benchmark::ClobberMemory();
        }
    });
    for (bool rle : {false, true}) {
        Add(row + (rle ? "/SDL2-RLE" : "/SDL2"), [=](benchmark::State& st) {
            Surface sheet(RGB565, 1), dst(RGB565, 2);
            Corner spr = sprite(sheet);
            SDL_SetColorKey(spr.sdl, SDL_TRUE, SDL_MapRGB(spr.sdl->format, 255, 0, 255));
            SDL_SetSurfaceRLE(spr.sdl, rle ? 1 : 0);
            const Places places(n);
            for (auto _ : st) {
                for (const Point& p : places.at) {
                    SDL_Rect r{p.x, p.y, n, n};
                    SDL_BlitSurface(spr.sdl, nullptr, dst.sdl, &r);
                }
                benchmark::ClobberMemory();
            }
        });
    }
}

int Register() {
    AddBlit("copy_RGB565", RGB565, RGB565, EBltOp::BltCopy, true, true);
    AddMemcpy("copy_RGB565", 2);
    AddScaled("scaled_RGB565", RGB565);
    AddMemcpy("scaled_RGB565", 2);
    AddScaled("scaled_XRGB8888", XRGB8888);
    AddMemcpy("scaled_XRGB8888", 4);
    AddBlit("copy_XRGB8888>RGB565", XRGB8888, RGB565, EBltOp::BltCopy, true, true);
    AddMemcpy("copy_XRGB8888>RGB565", 2);
    AddBlit("copy_RGB565>XRGB8888", RGB565, XRGB8888, EBltOp::BltCopy, true, true);
    AddMemcpy("copy_RGB565>XRGB8888", 4);
    AddBlit("add_XRGB8888", XRGB8888, XRGB8888, EBltOp::BltAdd, false, true);
    AddBlit("copy_ARGB4565>RGB565", ARGB4565, RGB565, EBltOp::BltCopy, false, false);
    AddMemcpy("copy_ARGB4565>RGB565", 2);
    AddBlit("keyed_ARGB4565>RGB565", ARGB4565, RGB565, EBltOp::BltKeyedCopy, false, false, 4);
    AddMemcpy("keyed_ARGB4565>RGB565", 2);
    // Random pixels (next to no key pixel, as an opaque picture) and a quarter of them keyed.
    AddBlit("keyed_RGB565", RGB565, RGB565, EBltOp::BltKeyedCopy, true, false);
    AddMemcpy("keyed_RGB565", 2);
    AddBlit("keyed_RGB565_quarter", RGB565, RGB565, EBltOp::BltKeyedCopy, true, false, 4);
    AddMemcpy("keyed_RGB565_quarter", 2);
    AddBlit("keyed_XRGB8888", XRGB8888, XRGB8888, EBltOp::BltKeyedCopy, true, false);
    AddMemcpy("keyed_XRGB8888", 4);
    AddBlit("keyed_RGB888", RGB888, RGB888, EBltOp::BltKeyedCopy, true, false, 4);
    AddMemcpy("keyed_RGB888", 3);

    AddEffect("clear_RGB565", RGB565, EffectClear, nullptr);
    Add("clear_RGB565/SDL2", [](benchmark::State& st) {
        Surface s(RGB565);
        for (auto _ : st) benchmark::DoNotOptimize(SDL_FillRect(s.sdl, nullptr, 0x1234));
    });
    Add("clear_RGB565/pixman", [](benchmark::State& st) {
        Surface s(RGB565);
        for (auto _ : st) {
            pixman_fill(reinterpret_cast<uint32_t*>(s.bytes.data()), s.info.pitch / 4, 16, 0, 0, kW, kH, 0x1234);
            benchmark::ClobberMemory();
        }
    });
    Add("clear_RGB565/memset", [](benchmark::State& st) {
        std::vector<uint8_t> a(static_cast<size_t>(kW) * kH * 2);
        for (auto _ : st) {
            std::memset(a.data(), 0x12, a.size());
            benchmark::ClobberMemory();
        }
    });

    static const uint8_t kRate = 200;
    static const uint32_t kColour = 0x00402010;
    static const int32_t kBlock2 = 2;
    AddEffect("fade_200_XRGB8888", XRGB8888, EffectFade, &kRate);
    // Over with black at alpha 255 - rate keeps rate / 255 of every channel.
    AddPixmanSolid("fade_200_XRGB8888", XRGB8888, PIXMAN_OP_OVER, {0, 0, 0, (255 - kRate) * 257});
    AddMemcpy("fade_200_XRGB8888", 4);
    AddEffect("fade_200_RGB565", RGB565, EffectFade, &kRate);
    AddMemcpy("fade_200_RGB565", 2);
    AddEffect("add_colour_XRGB8888", XRGB8888, EffectAddColor, &kColour);
    AddPixmanSolid("add_colour_XRGB8888", XRGB8888, PIXMAN_OP_ADD, {0x40 * 257, 0x20 * 257, 0x10 * 257, 0});
    AddMemcpy("add_colour_XRGB8888", 4);
    AddEffect("add_colour_RGB565", RGB565, EffectAddColor, &kColour);
    AddMemcpy("add_colour_RGB565", 2);
    AddEffect("mosaic_2_RGB565", RGB565, EffectMosaic, &kBlock2);
    AddMemcpy("mosaic_2_RGB565", 2);
    AddEffect("mosaic_2_XRGB8888", XRGB8888, EffectMosaic, &kBlock2);
    AddMemcpy("mosaic_2_XRGB8888", 4);

    AddPresent("present_RGB565", RGB565);
    AddPresent("present_XRGB8888", XRGB8888);

    Add("UpdateTextAA_20_chars/morna", [](benchmark::State& st) {
        CTextDIBitmap bm;
        bm.GetFont()->SetText("今日は良い天気ですね。明日も晴れるでしょう");
        bm.GetFont()->SetSize(16);
        for (auto _ : st) benchmark::DoNotOptimize(bm.UpdateTextAA());
    });

    // Blend by the source's alpha, with the vector rows as the processor allows and held to 16 bytes.
    for (int wide : {-1, 0}) {
        const std::string row = wide ? "alpha_ARGB8888>XRGB8888" : "alpha_ARGB8888>XRGB8888_16-byte";
        Add(row + "/morna", [wide](benchmark::State& st) {
            InitBlendTables();
            ForceWideVectorsForTesting(wide);
            Surface src(ARGB8888, 1), dst(XRGB8888, 2);
            for (auto _ : st) {
                dst.Restore(st);
                benchmark::DoNotOptimize(DispatchBlt(dst.info, EBltOp::BltAlpha, src.info, BltGeometry{}));
            }
            ForceWideVectorsForTesting(-1);
        });
        Add(row + "/pixman", [](benchmark::State& st) {
            Surface src(ARGB8888, 1), dst(XRGB8888, 2);
            for (auto _ : st) {
                dst.Restore(st);
                pixman_image_composite32(PIXMAN_OP_OVER, src.pix, nullptr, dst.pix, 0, 0, 0, 0, 0, 0, kW, kH);
                benchmark::ClobberMemory();
            }
        });
    }

    AddSprites("sprites_1000x16", 16);
    AddSprites("sprites_1000x32", 32);
    return 0;
}
const int kRegistered = Register();

}  // namespace

int main(int argc, char** argv) { return morna::bench::RunWithRatios(argc, argv); }
