// One drawn play frame onto a 640x480 back plane in XRGB8888 and RGB565: the stage background
// (image 41, opaque and blended), the barrier gauge, the HUD with two pop-ups and the item
// timers, and a fade. The objects' own drawing comes with the object-drawing issues; until
// then this is the frame's own share.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "draw/fast_draw.h"
#include "framework/image_loader.h"
#include "fuzz/fuzz_play_state.h"
#include "tests/common/temp_base_folder.h"

namespace {

namespace D = tovarineGameSDK3rd::Draw;

// Plain pictures for images 0, 1 and 41 in a folder of their own, read by the image list.
struct Pictures {
    explicit Pictures(int32_t type) {
        draw.GetDDraw()->SetDisplayMode(type, 640, 480);
        bool retry = false;
        draw.GetPrimary()->CreatePrimary(&retry, 0, 0);
        std::filesystem::create_directory(folder.Path() + "/img");
        std::string list;
        const struct {
            int32_t id, w, h;
            uint32_t colour;
        } pictures[] = {{0, 256, 320, 0x336699}, {1, 240, 136, 0x996633}, {41, 1280, 480, 0x225522}};
        for (const auto& p : pictures) {
            D::CFastPlane plane;
            plane.CreateMemorySurface(p.w, p.h, D::XRGB8888, true);
            plane.SetFillColor(p.colour);
            plane.Clear(nullptr);
            const std::string name = std::to_string(p.id) + ".bmp";
            plane.SaveBitmap(tovarineGameSDK3rd::VTL::VTLstring(("img\\" + name).c_str()), nullptr);
            list += name + "," + std::to_string(p.id) + "\r\n";
        }
        std::ofstream(folder.Path() + "/img/list.txt", std::ios::binary) << list;
        KestraneGameBase2::CImageLoader::GetInstance().ReleasePlanes();
        KestraneGameBase2::CImageLoader::GetInstance().LoadList("img");
    }
    ~Pictures() { KestraneGameBase2::CImageLoader::GetInstance().ReleasePlanes(); }
    morna::test::TempBaseFolder folder{"morna-bench-draw"};
    D::CFastDraw draw;
};

SKindTables Kinds() {
    SKindTables t;
    for (int i = 0; i < 3; ++i) t.objects[0].emplace_back().power = 300;
    t.effects.emplace_back();
    return t;
}

void BM_DrawPlayFrame(benchmark::State& state) {
    const auto type = static_cast<int32_t>(state.range(0));
    const int32_t opacity = static_cast<int32_t>(state.range(1));
    Pictures pictures(type);
    int width = 0, height = 0;
    if (KestraneGameBase2::CImageLoader::GetImage(41).GetSize(&width, &height) != 0 || width != 1280) {
        state.SkipWithError("the pictures did not load");
        return;
    }
    static const SKindTables kinds = Kinds();
    const std::unique_ptr<CGameResource> game = MakeFuzzPlayState(kinds);
    CGameResource& g = *game;
    g.scene = Scene::kPlay;
    g.screenFx.hudOffset = 0;
    g.progress.stage = 0, g.progress.backgroundOpacity = opacity;
    g.backdrop.scrollX = 1000, g.backdrop.scrollY = 0;
    g.status.score = 1234567, g.status.barrierEnergy = 6000;
    g.status.speedUpTimer = g.status.magicTimer = g.status.energyTimer = 700;
    g.scoreChain.popups[SScoreChain::kChainPopup] = 140, g.scoreChain.popups[SScoreChain::kChainCount] = 2;
    g.scoreChain.popups[SScoreChain::kTimeBonusPopup] = 250, g.scoreChain.popups[SScoreChain::kTimeBonusValue] = 1200;
    g.screenFx.fadeCounter = 10, g.screenFx.fadeDuration = 60;
    D::CFastPlane back;
    back.CreateMemorySurface(640, 480, type, true);
    for (auto _ : state) {
        g.Draw(&back);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawPlayFrame)
    ->ArgNames({"type", "opacity"})
    ->Args({D::XRGB8888, 255})
    ->Args({D::XRGB8888, 128})
    ->Args({D::RGB565, 255})
    ->Args({D::RGB565, 128})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
