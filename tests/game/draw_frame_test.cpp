// The frame's picture as recorded draws: the draw list's order, the background fill, the
// stage background's wrap, flash and fade, the ranking highlight and the head-up display.
#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/screen/hud.h"
#include "platform/display_mode.h"
#include "tests/common/recording_surface.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::DrawCall;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;
using morna::test::RecordingSurface;
using tovarineGameSDK3rd::Draw::Rect;

std::vector<std::string>* gDrawn = nullptr;

template <class Base, class Kind>
struct Named : Base {
    Named(const Kind* kind, const char* name) : Base(kind), name(name) {}
    void Draw(tovarineGameSDK3rd::Draw::ISurface*) override { gDrawn->push_back(name); }
    std::string name;
};

struct Frame : PlayFixture {
    Frame() {
        images.Add(0, 256, 320);
        images.Add(1, 240, 135);
        gDrawn = &drawn;
        game->scene = Scene::kPlay;
    }
    ~Frame() { gDrawn = nullptr; }
    // The blits from image id, as "x,y [l,t,r,b]".
    std::vector<std::string> Blits(int32_t image) const {
        std::vector<std::string> out;
        for (const DrawCall& c : target.Calls("blt")) {
            if (c.image != image) continue;
            out.push_back(std::to_string(c.point.x) + "," + std::to_string(c.point.y) + " [" + std::to_string(c.rect.left) +
                          "," + std::to_string(c.rect.top) + "," + std::to_string(c.rect.right) + "," +
                          std::to_string(c.rect.bottom) + "]");
        }
        return out;
    }
    std::vector<DrawCall> Effects(int op) const {
        std::vector<DrawCall> out;
        for (const DrawCall& c : target.Calls("effect")) {
            if (c.op == op) out.push_back(c);
        }
        return out;
    }
    RecordingSurface target{640, 480};
    std::vector<std::string> drawn;
};

TEST(DrawFrame, DrawListOrderAndTheBackgroundFill) {
    Frame f;
    CGameResource& g = *f.game;
    const SEffectKind* e = &g.kinds.effects[0];
    const SObjectKind* o = &g.kinds.objects[0][0];
    g.effects.push_back(CGameResource::EffectPtr(new Named<CObjectEffect, SEffectKind>(e, "effect")));
    g.backEffects.push_back(CGameResource::EffectPtr(new Named<CObjectEffect, SEffectKind>(e, "back")));
    g.landEffects.push_back(CGameResource::EffectPtr(new Named<CObjectEffect, SEffectKind>(e, "land")));
    g.frontEffects.push_back(CGameResource::EffectPtr(new Named<CObjectEffect, SEffectKind>(e, "front")));
    g.objects.push_back(CGameResource::ObjectPtr(new Named<CObjectEnemy, SObjectKind>(o, "object")));
    g.barriers[0] = new Named<CObjectBarrier, SObjectKind>(o, "barrier");
    g.player = new Named<CObjectAvatar, SObjectKind>(o, "player");
    g.status.barrierUp = 1;

    // The four fills: black with the field, black without it, the tint, none.
    const struct {
        int32_t blackOut, gameOver, opacity;
        std::vector<uint32_t> fills;
        std::vector<std::string> drawn;
    } rows[] = {
        {1, 0, 255, {0}, {"effect", "land", "front", "object", "barrier", "player"}},
        {0, 300, 255, {0}, {"effect"}},
        {0, 0, 100, {0x0A14}, {"back", "effect", "land", "front", "object", "barrier", "player"}},
        {0, 0, 255, {}, {"effect", "land", "front", "object", "barrier", "player"}},
    };
    for (const auto& row : rows) {
        g.blackOutCounter = row.blackOut, g.gameOverCounter = row.gameOver;
        g.progress.backgroundOpacity = row.opacity, g.backdrop.tint = 10;
        f.target.ClearLog(), f.drawn.clear();
        g.Draw(&f.target);
        std::vector<uint32_t> fills;
        for (const DrawCall& c : f.target.Calls("fill")) fills.push_back(c.value);
        fills.resize(std::min(fills.size(), row.fills.size()));  // the HUD fills after it
        EXPECT_EQ(fills, row.fills) << row.gameOver;
        EXPECT_EQ(f.drawn, row.drawn) << row.gameOver;
    }
}

TEST(DrawFrame, PauseAFinishedFadeAndSkippedFramesHideTheField) {
    Frame f;
    CGameResource& g = *f.game;
    g.effects.push_back(CGameResource::EffectPtr(new Named<CObjectEffect, SEffectKind>(&g.kinds.effects[0], "effect")));
    // The last row: paused (Alt+Enter or F1) during a cut-in over a faded-out screen, the menu shows.
    for (const auto& [scene, fade, skip, fills, cutin] :
         {std::tuple{Scene::kPause, 0, 0, 1u, false}, {Scene::kPlay, 60, 0, 1u, false}, {Scene::kPlay, 0, 1, 0u, false},
          {Scene::kPause, 60, 0, 1u, true}}) {
        g.scene = scene, g.screenFx.fadeCounter = fade, g.screenFx.fadeDuration = fade > 0 ? fade : -1, g.framesToSkip = skip;
        if (cutin) g.StartCutin(0, true);
        f.target.ClearLog(), f.drawn.clear();
        g.Draw(&f.target);
        EXPECT_TRUE(f.drawn.empty());
        EXPECT_EQ(f.target.Calls("fill").size(), fills);  // black, and no HUD
        EXPECT_TRUE(f.Blits(0).empty());
    }
}

TEST(DrawFrame, FlashFadeAndTheStageBackgroundsWrap) {
    Frame f;
    CGameResource& g = *f.game;
    g.screenFx.flashR = 200, g.screenFx.flashG = 100, g.screenFx.flashB = 51, g.screenFx.flashDuration = 30;
    for (const auto& [counter, colour] : {std::pair{30, -1}, {15, 0x643219}}) {
        g.screenFx.flashCounter = counter;
        f.target.ClearLog();
        g.Draw(&f.target);
        const std::vector<DrawCall> adds = f.Effects(tovarineGameSDK3rd::Draw::EffectAddColor);
        EXPECT_EQ(adds.empty() ? -1 : static_cast<int>(adds.back().value), colour);
    }
    g.screenFx.flashCounter = 0;
    g.screenFx.fadeCounter = 10, g.screenFx.fadeDuration = 60, g.screenFx.fadeDirection = 1;
    f.target.ClearLog();
    g.Draw(&f.target);
    ASSERT_EQ(f.Effects(tovarineGameSDK3rd::Draw::EffectSubColor).size(), 1u);
    EXPECT_EQ(f.Effects(tovarineGameSDK3rd::Draw::EffectSubColor)[0].value & 0xFFFFFF, 0x2A2A2Au);  // 10 x 255 / 60

    f.images.Add(41, 1280, 600);
    g.screenFx.fadeDuration = -1;
    g.progress.stage = 0;
    g.backdrop.scrollX = 1000.5, g.backdrop.scrollY = 20;
    for (int32_t opacity : {255, 128}) {
        g.progress.backgroundOpacity = opacity;
        f.target.ClearLog();
        g.Draw(&f.target);
        EXPECT_EQ(f.Blits(41), (std::vector<std::string>{"280,0 [0,20,360,500]", "0,0 [1000,20,1280,500]"}));
        EXPECT_EQ(f.target.Calls("blt")[0].op, opacity < 255 ? 14 : 0);
    }
}

// The still behind a cut-in is painted once: a turned body's trail, which its draw shifts, keeps
// the one shift it had (it moved 16 a draw while the still was painted on every frame).
TEST(DrawFrame, TheCutinStillIsPaintedOnce) {
    SObjectKind turned;
    turned.image = 1, turned.cellWidth = 16, turned.cellHeight = 48, turned.index = 3;  // shifts (16, -16) a draw
    turned.frames = {0, 1}, turned.frameTime = 8;
    Frame f;
    CGameResource& g = *f.game;
    g.effects.push_back(CGameResource::EffectPtr(new Named<CObjectEffect, SEffectKind>(&g.kinds.effects[0], "field")));
    auto* body = new CObjectBoss(&turned);
    body->pose = 7, body->trailLength = 1, body->trailScreen = {{250, 150}};
    g.objects.push_back(CGameResource::ObjectPtr(body));
    g.bossObjects.push_back(g.objects.back());
    g.StartCutin(4, false);
    for (int32_t frame = 0; frame < 6; ++frame) g.framesToSkip = 0, g.Draw(&f.target);
    EXPECT_EQ(f.drawn, std::vector<std::string>{"field"});
    EXPECT_EQ(body->trailScreen, (std::list<IObjectShadow::SPoint>{{266, 134}}));
}

TEST(DrawFrame, RankingHighlightRows) {
    Frame f;
    CGameResource& g = *f.game;
    g.scene = Scene::kRanking;
    g.ranking.resize(4);
    // The last case follows row 1's text, which starts at (40, 68).
    for (const auto& [row, blink, rect, grey] : {std::tuple{0, 0, Rect{16, 56, 550, 90}, 159u},
                                                 {3, 1, Rect{16, 164, 520, 200}, 157u}, {1, 0, Rect{40, 62, 540, 104}, 159u}}) {
        if (rect.left == 40) g.ShowRanking(-1);
        g.rankingScreen.row = row, g.rankingScreen.blink = static_cast<uint16_t>(blink);
        f.target.ClearLog();
        g.Draw(&f.target);
        const std::vector<DrawCall> adds = f.Effects(tovarineGameSDK3rd::Draw::EffectAddColor);
        ASSERT_FALSE(adds.empty());
        EXPECT_EQ(std::tuple(adds.back().rect.left, adds.back().rect.top, adds.back().rect.right, adds.back().rect.bottom,
                             adds.back().value & 0xFF),
                  std::tuple(rect.left, rect.top, rect.right, rect.bottom, grey));
    }
}

TEST(Hud, ScoreGaugesAndStockMarks) {
    Frame f;
    CGameResource& g = *f.game;
    g.screenFx.hudOffset = 0;
    g.status.score = 1234567;
    g.status.maxHp = 13000;
    g.DrawHud(&f.target);
    std::vector<std::string> digits;
    for (const std::string& b : f.Blits(1)) {
        if (b.find(",80,") != std::string::npos) digits.push_back(b);
    }
    EXPECT_EQ(digits, (std::vector<std::string>{"608,8 [140,80,160,110]", "588,8 [120,80,140,110]", "568,8 [100,80,120,110]",
                                                "548,8 [80,80,100,110]", "528,8 [60,80,80,110]", "508,8 [40,80,60,110]",
                                                "488,8 [20,80,40,110]"}));
    const std::vector<std::string> ui = f.Blits(0);
    EXPECT_NE(std::find(ui.begin(), ui.end(), "45,8 [37,0,167,32]"), ui.end());  // the HP frame, 130 wide

    for (const auto& [gauge, marks] : {std::pair{2799, 0}, {2800, 1}, {10000, 3}}) {
        g.status.gauge = gauge;
        f.target.ClearLog();
        g.DrawHud(&f.target);
        int n = 0;
        for (const std::string& b : f.Blits(0)) n += b.find("[96,128,105,145]") != std::string::npos;
        EXPECT_EQ(n, marks) << gauge;
    }
    g.scene = Scene::kGallery;
    f.target.ClearLog();
    g.DrawHud(&f.target);
    EXPECT_TRUE(f.target.Log().empty());
}

// The boss gauge's fill falls by the finisher's damage so far while it runs: the boss's HP takes
// the whole blow on its last frame. m = 4000 - 10000 for a hero of no power.
TEST(Hud, TheBossGaugeShowsTheFinishersDamage) {
    Frame f;
    CGameResource& g = *f.game;
    g.screenFx.hudOffset = 0;
    g.boss.bossId = 3, g.boss.intro = 0, g.boss.hp = g.boss.maxHp = 9000;
    g.status.hp = 4000, g.status.finisherCounter = 150, g.status.skillRunning = 1;
    std::vector<std::string> fills;
    for (int frame = 0; frame < 150; ++frame) {
        g.SkillFinisher();
        if (frame != 0 && frame != 75 && frame < 148) continue;
        f.target.ClearLog();
        g.DrawHud(&f.target);
        for (const std::string& b : f.Blits(0)) {
            if (b.find("[37,256,") != std::string::npos) fills.push_back(b);
        }
    }
    EXPECT_EQ(fills, (std::vector<std::string>{"437,8 [37,256,187,288]", "437,8 [37,256,137,288]",
                                               "437,8 [37,256,88,288]", "437,8 [37,256,187,288]"}));
}

TEST(Hud, NumbersMultipliersAndAPopUp) {
    Frame f;
    const auto glyphs = [&f] {
        std::vector<int> lefts;
        for (const DrawCall& c : f.target.Calls("blt")) lefts.push_back(c.rect.left);
        f.target.ClearLog();
        return lefts;
    };
    DrawNumber(&f.target, 0, 0, 0, 255);
    EXPECT_EQ(glyphs(), (std::vector<int>{160}));
    DrawNumber(&f.target, 0, 0, 1200, 255);
    EXPECT_EQ(glyphs(), (std::vector<int>{160, 16, 32, 0, 0}));
    DrawMultiplier(&f.target, 0, 0, 255, 2.0);
    EXPECT_EQ(glyphs(), (std::vector<int>{176, 32, 192, 0}));
    DrawMultiplier(&f.target, 0, 0, 255, 1.25);
    EXPECT_EQ(glyphs(), (std::vector<int>{176, 16, 192, 32, 80}));
    DrawMultiplier(&f.target, 0, 0, 255, 1 + 0.2 * 3);
    EXPECT_EQ(glyphs(), (std::vector<int>{176, 16, 192, 96}));

    // Pop-up 1 slides out from counter 151: x 443 at 140; its glint is grey 96 at 130.
    CGameResource& g = *f.game;
    std::vector<int> seen;  // the label's x at 140, the glint's grey at 130
    for (const int counter : {140, 130}) {
        g.scoreChain.popups[SScoreChain::kChainPopup] = counter;
        g.DrawHud(&f.target);
        for (const DrawCall& c : f.target.Calls("blt")) {
            if (counter == 140 && c.image == 1 && c.rect.top == 0 && c.rect.right == 106) seen.push_back(c.point.x);
        }
        for (const DrawCall& c : f.Effects(tovarineGameSDK3rd::Draw::EffectAddColor)) {
            if (counter == 130 && c.rect.top == 48) seen.push_back(static_cast<int>(c.value & 0xFF));
        }
        f.target.ClearLog();
    }
    EXPECT_EQ(seen, (std::vector<int>{443, 96}));
}

}  // namespace

namespace {

// The game's display (640 x 480, XRGB8888 windowed and in full screen at 32 bits), whose mode
// changes without the wait for the screen.
struct GameDisplay {
    GameDisplay() {
        morna::platform::SelectDesktopFormatForTests(tovarineGameSDK3rd::Draw::XRGB8888);
        morna::platform::SetDisplaySleeper([](uint32_t) {});
        EXPECT_EQ(display.SetDisplayMode(false, 640, 480, 32), 0);
    }
    ~GameDisplay() {
        morna::platform::SetDisplaySleeper(nullptr);
        morna::platform::SelectDesktopFormatForTests(0);
    }
    tovarineGameSDK3rd::Draw::CFastDraw& display = *tovarineGameSDK3rd::Draw::CFastDraw::GetCurrent();
};

std::vector<uint32_t> PixelsOf(tovarineGameSDK3rd::Draw::CFastPlane& plane) {
    std::vector<uint32_t> out(640 * 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) plane.GetSurfaceInfo()->GetPixel(x, y, &out[y * 640 + x]);
    }
    return out;
}

// The still behind a cut-in is the field less 0x80 a channel, floored at 0 (a dark sky goes
// black), after the cut-in's pictures were released and loaded again under the reduce-memory
// switch; Alt+Enter twice during the cut-in (full screen and back, which makes the display's
// planes anew, the still one of them) leaves its every pixel as it was.
TEST(DrawFrame, TheCutinStillIsTheFieldLess0x80AChannel) {
    KindTableBuilder kinds;
    for (int r = 0; r < 4; ++r) {
        SEffectKind& layer = kinds.Cutin();
        layer.image = 400 + r, layer.frames = {0};
    }
    PlayFixture f(kinds);
    f.settings.config.reduceMemory = true;
    f.images.Add(41, 1280, 600, 0xC8233E);
    for (int r = 0; r < 4; ++r) f.images.Add(400 + r, 64, 64, 0xFFFFFF);
    GameDisplay screen;
    CGameResource& g = *f.game;
    g.scene = Scene::kPlay, g.progress.stage = 0, g.progress.backgroundOpacity = 255;
    tovarineGameSDK3rd::Draw::CFastPlane field, frame;
    field.CreateSurface(640, 480), frame.CreateSurface(640, 480);
    g.Draw(&field);
    g.StartCutin(0, true);
    g.framesToSkip = 0;  // the cut-in's loading time is not what is looked at
    g.Draw(&frame);  // paints the still
    int wrong = 0;
    uint32_t sky = 0, still = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            uint32_t c = 0, d = 0;
            field.GetSurfaceInfo()->GetPixel(x, y, &c);
            g.cutinScreen.snapshot.GetSurfaceInfo()->GetPixel(x, y, &d);
            uint32_t want = 0;
            for (const int shift : {0, 8, 16}) {
                want |= static_cast<uint32_t>(std::max(0, static_cast<int>(c >> shift & 0xFF) - 0x80)) << shift;
            }
            wrong += (d & 0xFFFFFF) != want;
            if (x == 8 && y == 8) sky = c & 0xFFFFFF, still = d & 0xFFFFFF;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(std::pair(sky, still), std::pair(0xC8233Eu, 0x480000u));

    ASSERT_NE(g.cutinScreen.snapshot.GetDDSurface(), nullptr);  // a display plane, as in the game
    const std::vector<uint32_t> painted = PixelsOf(g.cutinScreen.snapshot);
    ASSERT_EQ(screen.display.ChangeDisplay(true), 0);
    ASSERT_EQ(screen.display.ChangeDisplay(false), 0);
    g.Draw(&frame);
    const std::vector<uint32_t> kept = PixelsOf(g.cutinScreen.snapshot);
    int changed = 0;
    for (size_t i = 0; i < kept.size(); ++i) changed += kept[i] != painted[i];
    EXPECT_EQ(std::pair(changed, kept[8 * 640 + 8] & 0xFFFFFF), std::pair(0, 0x480000u));
}

}  // namespace
