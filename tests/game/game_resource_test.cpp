// The play state: its construction and new-game reset, the drop list, the scripted walk,
// the screen effects as timelines, the camera and the clock stamp.
#include "game/play/game_resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <tuple>

#include "platform/file_system.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::PlayFixture;
using tovarineGameSDK3rd::Draw::Rect;

std::tuple<int, int, int, int> Sides(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST(GameResource, ConstructionIsANewGameWithTheHeroWalkingIn) {
    PlayFixture play;
    CGameResource& g = *play.game;
    const SPlayerStatus& s = g.status;
    EXPECT_EQ(std::tuple(s.hp, s.maxHp, s.barrierEnergy, s.maxBarrierEnergy, s.gauge, s.gaugeMax, s.score),
              std::tuple(10000, 10000, 10000, 10000, 5000, 10000, 0));
    EXPECT_EQ(std::tuple(g.progress.stage, g.progress.backgroundOpacity, g.progress.subStep, g.checkpoint.stage,
                         g.replayLog.header.backgroundOpacity, g.boss.bossId, g.boss.damageScale, g.screenFx.hudOffset),
              std::tuple(-1, -1, 1, -1, -1, -1, 100, -48));
    EXPECT_GE(g.replayLog.keys.capacity(), SReplayLog::kReserve);
    // Message lines rendered at 23 pixels in their 24-pixel rows, measured at 28.
    EXPECT_EQ(std::tuple(g.messageWindow.GetLineSize(), g.messageWindow.fontSize), std::tuple(23, 28));
    EXPECT_EQ(g.GetStartError(), nullptr);

    // The hero and barriers stand on section 0's records; the hero walks from the view's
    // centre 32 pixels up, with a budget of int(32 / 6.0 + 60.0) frames.
    const SKindTables& k = g.kinds;
    EXPECT_EQ(std::tuple(g.player->kind, g.barriers[0]->kind, g.barriers[1]->kind, g.player->GetType(),
                         g.barriers[1]->GetType()),
              std::tuple(&k.objects[0][0], &k.objects[0][1], &k.objects[0][2], 0, 1));
    EXPECT_EQ(std::tuple(g.player->x, g.player->y, g.move.targetX, g.move.targetY, g.move.speed, g.move.frameBudget),
              std::tuple(320.0, 240.0, 320, 208, 6.0, 65));

    // Each generator runs from its own seed: nothing of the start draws from them.
    tovarineGameSDK3rd::Math::CRand r[3];
    r[0].SetSeed(PlayFixture::kPlaySeed), r[1].SetSeed(PlayFixture::kBossSeed), r[2].SetSeed(PlayFixture::kDrawSeed);
    EXPECT_EQ(std::tuple(g.playRand.Get(), g.bossRand.Get(), g.drawRand.Get()), std::tuple(r[0].Get(), r[1].Get(), r[2].Get()));
}

TEST(PlayFixture, PictureSizesAndSoundRequests) {
    PlayFixture play;
    play.images.Add(7, 32, 16);
    int w = 0, h = 0;
    KestraneGameBase2::CImageLoader::GetImage(7).GetSize(&w, &h);
    EXPECT_EQ(std::tuple(w, h, KestraneGameBase2::CImageLoader::GetImage(8).GetSize(nullptr, nullptr)), std::tuple(32, 16, 1));
    KestraneGameBase2::GetSEList()->Play(104, true);
    EXPECT_EQ(play.sounds.played, (std::vector<morna::test::SPlay>{{104, true}}));
    EXPECT_EQ(&play.game->Config(), &play.settings.config);
}

TEST(GameResource, WithoutHeroRecordsTheStartFailsWithTheFileNamed) {
    // No data files at all: the tables read nothing, and a game cannot start.
    morna::test::LogCapture log;
    morna::test::TempBaseFolder folder("morna-play");
    std::vector<SBossBlock> noParts;
    SGameResourceSetup setup;
    setup.bossParts = &noParts;
    CGameResource g(tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl), setup);
    ASSERT_TRUE(!g.player && g.GetStartError() != nullptr && !log.Lines().empty());
    EXPECT_EQ(std::string(g.GetStartError()).find("data\\text\\data.txt"), 0u);
    EXPECT_NE(log.Lines().back().find("data\\text\\data.txt"), std::string::npos);

    // The committed data set makes the hero and reads every table.
    std::string base;
    ASSERT_TRUE(morna::platform::NameFromSystemPath(MORNA_SOURCE_DIR, base));
    tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(base.c_str());
    CGameResource data(tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl));
    EXPECT_EQ(data.GetStartError(), nullptr);
    EXPECT_EQ(data.player->kind, &data.kinds.objects[0][0]);
    EXPECT_FALSE(data.kinds.effects.empty() || data.kinds.cutins.empty() || data.bossAnimations.empty());
}

TEST(GameResource, DropListRepeatsItsTwentyThreeItems) {
    PlayFixture play;
    CGameResource& g = *play.game;
    std::vector<int> drawn;
    for (int i = 0; i < 24; ++i) drawn.push_back(g.NextDropItem());
    EXPECT_EQ(drawn, (std::vector<int>{2, 1, 0, 6, 3, 1, 2, 0, 6, 1, 0, 3, 2, 6, 0, 2, 3, 1, 6, 0, 2, 1, 6, 2}));
    EXPECT_EQ(g.progress.dropCounter, -24 * 50);
}

TEST(GameResource, ScriptedWalkBrakesAndArrivesOnItsBudgetOrNearTheTarget) {
    PlayFixture play;
    CGameResource& g = *play.game;
    CObjectAvatar& hero = *g.player;
    // Nothing moves the hero here, so the walk-in ends on its 65-frame budget. 32 pixels is
    // inside the 36-pixel stopping distance: the first frame brakes (no acceleration, friction
    // 0.5 along the way up); the later ones steer toward angle 192 again, the friction kept.
    using Frame = std::tuple<int, double, double, double, double>;
    std::vector<Frame> frames;
    while (g.UpdateScriptedMove()) {
        const ObjectMotion& m = hero.motion;
        frames.emplace_back(m.accelAngle, m.accel, m.speedLimit, m.frictionX, m.frictionY);
    }
    ASSERT_EQ(frames.size(), 64u);
    EXPECT_EQ(frames[0], Frame(0, 0.0, 0.0, 0.0, 0.5));
    EXPECT_EQ(frames[63], Frame(192, 1.0, 6.0, 0.0, 0.5));
    EXPECT_EQ(std::tuple(hero.x, hero.y, g.move.targetX, g.move.targetY, g.move.frameBudget, hero.motion.frictionY),
              std::tuple(320.0, 208.0, -1, -1, 0, 0.0));
    EXPECT_FALSE(g.UpdateScriptedMove());

    // Far away: the walk steers toward the target at its speed; 5 pixels away it ends at once.
    hero.motion.vx = 3;
    g.MovePlayerTo(420, 208, 0.0, 1.0);  // speed 0 budgets as 6.0 but stays 0
    EXPECT_EQ(std::tuple(hero.motion.vx, g.move.frameBudget, g.move.speed), std::tuple(0.0, 76, 0.0));
    EXPECT_TRUE(g.UpdateScriptedMove());
    EXPECT_EQ(std::tuple(hero.motion.accelAngle, hero.motion.accel, hero.motion.frictionX, g.move.brakeStarted),
              std::tuple(0, 1.0, 0.0, 0));
    hero.x = 415.5;
    EXPECT_FALSE(g.UpdateScriptedMove());
    EXPECT_EQ(std::tuple(hero.x, hero.y, g.move.targetX), std::tuple(420.0, 208.0, -1));

    hero.motion.vx = 1.5, hero.motion.vy = -2;
    double px = 0, py = 0;
    g.PredictPlayerPosition(px, py, 10);
    EXPECT_EQ(std::tuple(px, py), std::tuple(435.0, 188.0));
}

TEST(GameResource, FadeTimelines) {
    PlayFixture play;
    CGameResource& g = *play.game;
    // (fade in?, half flag, frames run) -> counter, direction
    const struct {
        bool in;
        uint8_t half;
        int frames;
        int counter, direction;
    } rows[] = {{false, 1, 100, 30, 1}, {false, 0, 59, 59, 1}, {false, 0, 100, 60, 1}, {true, 0, 59, 0, -1},
                {true, 0, 60, 0, 0},    {true, 1, 100, 30, -1}};
    for (const auto& r : rows) {
        r.in ? g.screenFx.StartFadeIn(60) : g.screenFx.StartFadeOut(60);
        g.screenFx.halfFade = r.half;
        for (int i = 0; i < r.frames; ++i) g.screenFx.UpdateFade();
        EXPECT_EQ(std::tuple(g.screenFx.fadeCounter, g.screenFx.fadeDirection), std::tuple(r.counter, r.direction))
            << r.in << int(r.half) << r.frames;
    }
}

TEST(GameResource, ShakeAndHudSlideTimelines) {
    PlayFixture play;
    CGameResource& g = *play.game;
    g.screenFx.shakeCounterX = 40;
    g.screenFx.shakeCounterY = 1;
    g.screenFx.shakeY = 5;
    std::vector<int> xs;
    for (int i = 0; i < 10; ++i) {
        g.screenFx.UpdateShake();
        xs.push_back(g.screenFx.shakeX);
        if (i == 0) {
            EXPECT_EQ(std::tuple(g.screenFx.shakeY, g.screenFx.shakeCounterY), std::tuple(0, 0));
        }
    }
    EXPECT_EQ(xs, (std::vector<int>{7, 2, -1, -5, -8, -8, -7, -3, 0, 3}));

    std::vector<int> offsets;
    for (int i = 0; i < 49; ++i) {
        g.screenFx.UpdateHudSlide();
        offsets.push_back(g.screenFx.hudOffset);
    }
    EXPECT_EQ(std::tuple(offsets[0], offsets[46], offsets[47], offsets[48], g.screenFx.hudSlideSpeed), std::tuple(-47, -1, 0, 0, 0));
    g.screenFx.hudSlideSpeed = -5;
    for (int i = 0; i < 10; ++i) g.screenFx.UpdateHudSlide();
    EXPECT_EQ(std::tuple(g.screenFx.hudOffset, g.screenFx.hudSlideSpeed), std::tuple(-48, 0));
    g.screenFx.hudBlink = 0xFFFF;
    g.screenFx.UpdateHudSlide();
    EXPECT_EQ(g.screenFx.hudBlink, 0);
}

TEST(GameResource, CameraViewAndScrollBounds) {
    PlayFixture play;
    CGameResource& g = *play.game;
    g.progress.scrollX = 0.5, g.progress.scrollY = 100.75;
    g.screenFx.shakeX = -1, g.screenFx.shakeY = 2;
    int32_t x = 9, y = 9;
    g.GetCameraOrigin(x, y);
    EXPECT_EQ(std::tuple(x, y), std::tuple(0, 102));  // int(-0.5) is 0, not -1
    Rect r{};
    g.GetViewRect(r, 16);
    EXPECT_EQ(Sides(r), std::tuple(-16, 86, 656, 598));
    g.GetScrollBounds(r);
    EXPECT_EQ(Sides(r), std::tuple(0, 100, 640, 580));
    g.progress.vertical = 1;
    g.verticalScrollRange = 320;
    g.GetScrollBounds(r);
    EXPECT_EQ(Sides(r), std::tuple(0, 0, 640, 800));

    // Screen top-left in 16 bits; the jitter is the play generator's draw & 7, less 4.
    int16_t sx = -32760, sy = 300;
    g.ToScreenTopLeft(sx, sy, 64, 33, false);
    EXPECT_EQ(std::tuple(sx, sy), std::tuple(32744, 182));
    sx = 32767, sy = 0;
    tovarineGameSDK3rd::Math::CRand copy = g.playRand;
    g.ToScreenTopLeft(sx, sy, 0, 0, true);
    EXPECT_EQ(sx, int16_t(uint16_t(32767 + int32_t(copy.Get() & 7) - 4)));
}

TEST(GameResource, StampLocalTimeTakesTheZonesDateAndTime) {
    const char* saved = std::getenv("TZ");
    const std::string before = saved ? saved : "";
    setenv("TZ", "UTC", 1);
    tzset();
    PlayFixture play;
    SRankingEntry e;
    play.game->StampLocalTime(e);
    EXPECT_EQ(std::vector<int>(e.date, e.date + 6), (std::vector<int>{18, 4, 8, 12, 34, 56}));
    saved ? setenv("TZ", before.c_str(), 1) : unsetenv("TZ");
    tzset();
}

}  // namespace
