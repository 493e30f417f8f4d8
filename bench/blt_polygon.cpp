// Polygon blits as the game draws them: 500 sprites of 64x64 turned to random angles (fixed
// seed; about a fifth of them cross an edge) onto a 640x480 frame, each built by
// MakeRotatePolygon and drawn by DispatchPolyBlt, and one unturned quad over the whole frame;
// in frames per second. Beside them pixman draws the same turned rectangles with a nearest
// filter through an affine transform (OVER: an opaque source copies, an alpha source blends;
// pixman has no colour key, so beside a keyed copy it copies).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "bench/frame_surface.h"
#include "bench/ratio_report.h"
#include "blit/polygon/poly_blt.h"
#include "blit/polygon/rotate_polygon.h"
#include "draw/base/blend_tables.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

using morna::bench::kH;
using morna::bench::kW;
using morna::bench::PixmanFormat;
using Surface = morna::bench::FrameSurface;

constexpr int kSprites = 500, kSide = 64;

struct Sprite {
    int32_t x, y, angle;
};

std::vector<Sprite> Sprites() {
    std::mt19937 rng(500);
    std::vector<Sprite> out;
    for (int i = 0; i < kSprites; ++i) {
        const int x = static_cast<int>(rng() % (kW + kSide)) - kSide, y = static_cast<int>(rng() % (kH + kSide)) - kSide;
        out.push_back({x, y, static_cast<int32_t>(rng() % 256)});
    }
    return out;
}

struct Case {
    const char* name;
    int32_t op, src, dst;
    pixman_format_code_t peerSrc;
};

void SetFps(benchmark::State& state) {
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The 64x64 sprite is the frame picture's top-left corner.
void OursSprites(benchmark::State& state, Case c) {
    InitBlendTables();
    Surface sheet(c.src, 1), dst(c.dst, 2);
    sheet.info.width = sheet.info.height = kSide;
    const auto sprites = Sprites();
    for (auto _ : state) {
        for (const Sprite& s : sprites) {
            Point sp[4], dp[4];
            Rect buf;
            PolyBltGeometry g;
            MakeRotatePolygon(&g, &sheet.info, s.x, s.y, s.angle, 65535, 4, nullptr, nullptr, &buf, sp, dp);
            benchmark::DoNotOptimize(DispatchPolyBlt(dst.info, c.op, &sheet.info, &g));
        }
        benchmark::ClobberMemory();
    }
    SetFps(state);
}

void OursFrame(benchmark::State& state, Case c) {
    InitBlendTables();
    Surface src(c.src, 1), dst(c.dst, 2);
    Point sp[4], dp[4];
    Rect buf;
    PolyBltGeometry g;
    MakeRotatePolygon(&g, &src.info, 0, 0, 0, 65535, 4, nullptr, nullptr, &buf, sp, dp);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DispatchPolyBlt(dst.info, c.op, &src.info, &g));
        benchmark::ClobberMemory();
    }
    SetFps(state);
}

// Each sprite: the destination box of the turned rectangle, sampled through the inverse turn
// about the sprite's centre.
void PixmanSprites(benchmark::State& state, Case c) {
    Surface sheet(c.src, 1), dst(c.dst, 2);
    pixman_image_t* s = pixman_image_create_bits(c.peerSrc, kSide, kSide, reinterpret_cast<uint32_t*>(sheet.bytes.data()),
                                                 sheet.info.pitch);
    pixman_image_set_filter(s, PIXMAN_FILTER_NEAREST, nullptr, 0);
    const auto sprites = Sprites();
    std::vector<pixman_transform_t> turns;
    for (const Sprite& p : sprites) {
        const double a = p.angle * std::numbers::pi / 128, cx = p.x + kSide / 2.0, cy = p.y + kSide / 2.0;
        const double ca = std::cos(a), sa = std::sin(a);
        pixman_f_transform_t f = {{{ca, sa, kSide / 2.0 - ca * cx - sa * cy}, {-sa, ca, kSide / 2.0 + sa * cx - ca * cy}, {0, 0, 1}}};
        pixman_transform_t t;
        pixman_transform_from_pixman_f_transform(&t, &f);
        turns.push_back(t);
    }
    for (auto _ : state) {
        for (size_t i = 0; i < sprites.size(); ++i) {
            pixman_image_set_transform(s, &turns[i]);
            const int x = sprites[i].x - 14, y = sprites[i].y - 14;
            pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, dst.pix, x, y, 0, 0, x, y, kSide + 28, kSide + 28);
        }
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    SetFps(state);
}

void PixmanFrame(benchmark::State& state, Case c) {
    Surface src(c.src, 1), dst(c.dst, 2);
    pixman_image_t* s = pixman_image_create_bits(c.peerSrc, kW, kH, reinterpret_cast<uint32_t*>(src.bytes.data()), src.info.pitch);
    // The quad's box is one pixel wider and taller than the picture: the same slight stretch.
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(kW / (kW + 1.0)), pixman_double_to_fixed(kH / (kH + 1.0)));
    pixman_image_set_transform(s, &t);
    pixman_image_set_filter(s, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, dst.pix, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    SetFps(state);
}

const Case kCases[] = {
    {"Copy/XRGB8888>XRGB8888", 0, XRGB8888, XRGB8888, PIXMAN_x8r8g8b8},
    {"SourceAlpha/ARGB8888>XRGB8888", 10, ARGB8888, XRGB8888, PIXMAN_a8r8g8b8},
    {"KeyedCopy/RGB565>RGB565", 1, RGB565, RGB565, PIXMAN_r5g6b5},
};

int Register() {
    for (const Case& c : kCases) {
        auto add = [&](const char* load, const char* who, void (*fn)(benchmark::State&, Case)) {
            morna::bench::Repeated(benchmark::RegisterBenchmark((std::string(c.name) + "/" + load + "/" + who).c_str(), fn, c));
        };
        add("500sprites", "morna", OursSprites);
        add("500sprites", "pixman", PixmanSprites);
        add("frame", "morna", OursFrame);
        add("frame", "pixman", PixmanFrame);
    }
    return 0;
}
const int kRegistered = Register();

}  // namespace

int main(int argc, char** argv) { return morna::bench::RunWithRatios(argc, argv); }
