// Whole drawn frames of the game on the data set, onto a 640 x 480 back plane in XRGB8888 and
// RGB565: the title's frame 120 (field, menu, head-up display, hero) and a play frame of stage 0
// with 300 sprites on the field and the head-up display (written to the build folder as
// bench_play_frame.bmp). Beside each, the same blits done by
// SDL2's SDL_BlitSurface over the same pixels: the frame's blits are recorded once and replayed
// with SDL's colour key, blend and add modes and alpha modulation for our rates (SDL has no
// subtraction on surfaces: those go as additions; polygon blits and effects have no SDL
// counterpart and are left out of its side, which flatters it).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

#include "bench/ratio_report.h"
#include "tests/common/recording_surface.h"
#include "tests/game/e2e/game_driver.h"
#include "tests/game/e2e/play_policy.h"

namespace {

namespace D = tovarineGameSDK3rd::Draw;
namespace e2e = morna::e2e;
using morna::test::DrawCall;

constexpr int kSprites = 300;

// The title at its frame 120.
std::unique_ptr<e2e::GameDriver> Title(int32_t type) {
    auto run = std::make_unique<e2e::GameDriver>(1, false, type);
    for (int f = 0; f <= 120; ++f) run->Frame(0, false);
    return run;
}

// Stage 0 a few seconds in, with enemies of the stage's small kinds on a grid until 300 sprites
// stand on the field.
std::unique_ptr<e2e::GameDriver> Play(int32_t type) {
    auto run = std::make_unique<e2e::GameDriver>(1, false, type);
    CGameResource& g = run->Game();
    SStageProgress start;
    start.stage = 0;
    g.StartGame(start);
    g.SetMode(Scene::kPlay);
    const e2e::PlayPolicy policy{.useSkill = false};  // a skill's cut-in would hide the field
    for (int f = 0; f < 300; ++f) run->Frame(policy(*run, run->Frames()), false);
    std::vector<int32_t> kinds;
    const std::vector<SObjectKind>& section = g.kinds.objects[1];
    for (size_t i = 0; i < section.size() && kinds.size() < 8; ++i) {
        if (section[i].cellWidth > 0 && section[i].cellWidth <= 48 && section[i].cellHeight <= 48) kinds.push_back(static_cast<int32_t>(i));
    }
    const int x0 = static_cast<int>(g.progress.scrollX), y0 = static_cast<int>(g.progress.scrollY);
    for (int i = 0; g.objects.size() < static_cast<size_t>(kSprites) && !kinds.empty(); ++i) {
        g.CreateEnemy(kinds[static_cast<size_t>(i) % kinds.size()], x0 + 40 + (i % 20) * 30, y0 + 60 + (i / 20 % 13) * 30, 0);
    }
    run->Frame(0, true);  // their screen places
    run->SaveScreen("bench_play_frame.bmp");
    return run;
}

// The frame's blits, recorded once, replayed by SDL over the same pixels.
class SdlReplay {
public:
    SdlReplay(e2e::GameDriver& run, int32_t type) {
        morna::test::RecordingSurface recorder(e2e::GameDriver::kWidth, e2e::GameDriver::kHeight, type);
        run.Game().Draw(&recorder);
        calls_ = recorder.Calls("blt");
        target_ = Wrap(*run.Screen().GetSurfaceInfo());
    }
    ~SdlReplay() {
        for (auto& [_, s] : sources_) SDL_FreeSurface(s);
        SDL_FreeSurface(target_);
    }

    void Draw() {
        for (const DrawCall& c : calls_) {
            if (c.sourceSurface == nullptr || !c.sourceSurface->initialised) continue;
            SDL_Surface*& s = sources_[c.sourceSurface];
            if (s == nullptr) s = Wrap(*c.sourceSurface);
            const int op = c.op;
            const bool keyed = op == 1 || op == 4 || op == 5 || op == 8 || op == 9 || op == 15 || op == 17;
            const bool add = op >= 2 && op <= 9;
            const bool blend = op == 10 || op >= 14;
            const uint32_t key = c.sourceSurface->colourKey;
            SDL_SetColorKey(s, keyed ? SDL_TRUE : SDL_FALSE, SDL_MapRGB(s->format, key >> 16 & 255, key >> 8 & 255, key & 255));
            SDL_SetSurfaceBlendMode(s, add ? SDL_BLENDMODE_ADD : blend ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
            SDL_SetSurfaceAlphaMod(s, (op >= 6 && op <= 9) || op >= 14 ? static_cast<uint8_t>(c.value) : 255);
            SDL_Rect src{0, 0, c.source.cx, c.source.cy};
            if (c.hasRect) src = {c.rect.left, c.rect.top, c.rect.right - c.rect.left, c.rect.bottom - c.rect.top};
            SDL_Rect dst{c.point.x, c.point.y, c.hasSize ? c.size.cx : src.w, c.hasSize ? c.size.cy : src.h};
            if (c.hasSize) {
                SDL_BlitScaled(s, &src, target_, &dst);
            } else {
                SDL_BlitSurface(s, &src, target_, &dst);
            }
        }
    }

private:
    static SDL_Surface* Wrap(const D::CSurfaceInfo& info) {
        const bool wide = info.type != D::RGB565;
        return SDL_CreateRGBSurfaceWithFormatFrom(info.pixels, info.width, info.height, wide ? 32 : 16, info.pitch,
                                                  wide ? SDL_PIXELFORMAT_XRGB8888 : SDL_PIXELFORMAT_RGB565);
    }
    std::vector<DrawCall> calls_;
    std::map<const D::CSurfaceInfo*, SDL_Surface*> sources_;
    SDL_Surface* target_ = nullptr;
};

template <std::unique_ptr<e2e::GameDriver> (*Make)(int32_t)>
void Ours(benchmark::State& state, int32_t type) {
    std::unique_ptr<e2e::GameDriver> run = Make(type);
    for (auto _ : state) {
        run->Game().Draw(&run->Screen());
        benchmark::ClobberMemory();
    }
}

template <std::unique_ptr<e2e::GameDriver> (*Make)(int32_t)>
void Sdl(benchmark::State& state, int32_t type) {
    std::unique_ptr<e2e::GameDriver> run = Make(type);
    SdlReplay replay(*run, type);
    for (auto _ : state) {
        replay.Draw();
        benchmark::ClobberMemory();
    }
}

void Register() {
    for (const auto& [name, type] : {std::pair{"XRGB8888", D::XRGB8888}, std::pair{"RGB565", D::RGB565}}) {
        const std::string title = std::string("TitleFrame") + name, play = std::string("PlayFrame300") + name;
        morna::bench::Repeated(benchmark::RegisterBenchmark((title + "/morna").c_str(), Ours<Title>, type));
        morna::bench::Repeated(benchmark::RegisterBenchmark((title + "/SDL_BlitSurface").c_str(), Sdl<Title>, type));
        morna::bench::Repeated(benchmark::RegisterBenchmark((play + "/morna").c_str(), Ours<Play>, type));
        morna::bench::Repeated(benchmark::RegisterBenchmark((play + "/SDL_BlitSurface").c_str(), Sdl<Play>, type));
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return morna::bench::RunWithRatios(argc, argv);
}
