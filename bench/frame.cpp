// One frame of the game in boss 0's fight, on the data set: the logic (the scene step) and the
// drawing onto a 640 x 480 XRGB8888 back plane with its present (the offscreen software
// renderer), timed apart. The fight is reached by the play policy of the headless runs, talks
// skipped; a fight that ends (or a game that does) starts again outside the timing. Both are
// reported in milliseconds, against the 16.7 ms of a frame.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/display_present.h"
#include "tests/game/e2e/game_driver.h"
#include "tests/game/e2e/play_policy.h"

namespace {

namespace e2e = morna::e2e;
namespace mp = morna::platform;

// A driver in boss 0's fight, its intro over.
std::unique_ptr<e2e::GameDriver> InFight() {
    auto run = std::make_unique<e2e::GameDriver>();
    CGameResource& g = run->Game();
    SStageProgress start;
    start.stage = 0;
    g.StartGame(start);
    g.SetMode(Scene::kPlay);
    g.talkState.shown = ~0u;
    g.StartBossRecord(0);
    const e2e::PlayPolicy policy{.useSkill = false};  // a skill's cut-in would freeze the field
    for (int f = 0; f < 3000 && !(g.scene == Scene::kPlay && g.boss.intro == 0); ++f)
        run->Frame(policy(*run, run->Frames()), false);
    for (int f = 0; f < 120; ++f) run->Frame(policy(*run, run->Frames()), false);  // into the fight
    return run;
}

bool Fighting(const CGameResource& g) { return g.scene == Scene::kPlay && g.boss.bossId == 0 && g.boss.hp > 0; }

void BM_BossFrameLogic(benchmark::State& state) {
    std::unique_ptr<e2e::GameDriver> run = InFight();
    const e2e::PlayPolicy policy{.useSkill = false};  // a skill's cut-in would freeze the field
    for (auto _ : state) {
        if (!Fighting(run->Game())) {
            state.PauseTiming();
            run.reset();
            run = InFight();
            state.ResumeTiming();
        }
        run->Frame(policy(*run, run->Frames()), false);
    }
    state.counters["objects"] = static_cast<double>(run->Game().objects.size());
}

void BM_BossFrameDrawAndPresent(benchmark::State& state) {
    std::unique_ptr<e2e::GameDriver> run = InFight();
    auto presenter = mp::DisplayPresenter::CreateOffscreen(e2e::GameDriver::kWidth, e2e::GameDriver::kHeight);
    if (!presenter) {
        state.SkipWithError("no software renderer");
        return;
    }
    const e2e::PlayPolicy policy{.useSkill = false};  // a skill's cut-in would freeze the field
    int frame = 0;
    for (auto _ : state) {
        // The field moves on every eighth drawing, outside the timing.
        if (++frame % 8 == 0) {
            state.PauseTiming();
            if (!Fighting(run->Game())) run = InFight();
            run->Frame(policy(*run, run->Frames()), false);
            state.ResumeTiming();
        }
        run->Game().Draw(&run->Screen());
        const auto* screen = run->Screen().GetSurfaceInfo();
        presenter->Present({screen->pixels, screen->pitch, screen->width, screen->height, mp::kPresentXRGB8888, nullptr});
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_BossFrameLogic)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_BossFrameDrawAndPresent)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
