// One logic frame of a busy field: 150 enemies, 100 shots and 300 terrain pieces at scroll
// speed 8, with the moves cut into sub-steps by the fastest body (shots at 20: three) and
// without sub-steps (one), on the same field. The field is rebuilt outside the timing every
// 8 frames, before the fast shots leave the view, where the view is then: the world has
// scrolled on, and a field left behind it would be culled at once. The "objects" counter is
// the mean number of objects a timed frame ran on.
#include <benchmark/benchmark.h>

#include <memory>

#include "fuzz/fuzz_play_state.h"
#include "game/play/game_resource.h"

namespace {

SKindTables Kinds() {
    SKindTables t;
    for (int i = 0; i < 3; ++i) t.objects[0].emplace_back().hitWidth = 24;
    for (int section : {1, 2, 5}) {
        SObjectKind& k = t.objects[section].emplace_back();
        k.hitWidth = k.hitHeight = 16;
        k.cellWidth = k.cellHeight = 16;
    }
    t.effects.emplace_back();
    return t;
}

void BuildField(CGameResource& g) {
    g.objects.clear();
    g.progress.scrollSpeed = g.progress.targetSpeed = 8;
    const int x0 = static_cast<int>(g.progress.scrollX);  // world x of the view's left edge
    for (int i = 0; i < 150; ++i) {
        CObjectEnemy* e = g.CreateEnemy(0, x0 + 40 + (i % 15) * 40, 40 + (i / 15) * 40, 0);
        e->motion.vx = -2, e->motion.vy = (i % 3) - 1.0;
    }
    for (int i = 0; i < 100; ++i) {
        CObjectShot* s = g.CreateShot(0, x0 + 20 + (i % 20) * 30, 30 + (i / 20) * 90, 0);
        s->motion.vx = (i % 2) != 0 ? 20 : -20;
    }
    for (int i = 0; i < 300; ++i) g.CreateLand(0, x0 + (i % 30) * 32, 448 - (i / 30) * 32);
    g.player->x = x0 + 320, g.player->y = 240;
    g.move.targetX = -1;
    g.scene = Scene::kPlay;
}

void BM_PlayFrame(benchmark::State& state) {
    static const SKindTables kinds = Kinds();
    const std::unique_ptr<CGameResource> owner = MakeFuzzPlayState(kinds);
    CGameResource& game = *owner;
    game.progress.subStep = static_cast<uint16_t>(state.range(0));
    int frame = 0;
    double objects = 0;
    for (auto _ : state) {
        if (frame++ % 8 == 0) {
            state.PauseTiming();
            BuildField(game);
            state.ResumeTiming();
        }
        objects += static_cast<double>(game.objects.size());
        KestraneGameBase2::SKey key(1u << 3);
        game.PlayFrame(&key, false);
    }
    state.counters["objects"] = frame ? objects / frame : 0;
}
BENCHMARK(BM_PlayFrame)->ArgName("subStep")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
