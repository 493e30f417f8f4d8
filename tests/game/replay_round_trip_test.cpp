// A recorded game on the committed stage 0 and its replay, loaded into a play state seeded
// otherwise and drawn less often, go through the same gameplay states bit for bit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/bgm_player.h"
#include "game/objects/objects.h"
#include "platform/file_system.h"
#include "tests/common/recording_surface.h"
#include "tests/common/temp_base_folder.h"
#include "tests/game/support/play_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <class... T>
void Put(Bytes& out, const T&... values) {
    const auto one = [&](const auto& v) {
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        out.insert(out.end(), p, p + sizeof v);
    };
    (one(values), ...);
}

void PutObject(Bytes& out, const CObjectBase& o) {
    Put(out, o.GetType(), o.kind->index, o.state, o.x, o.y, o.motion.vx, o.motion.vy);
}

// The gameplay state as raw bits: player status, live stage progress, the hero, the objects.
Bytes Snapshot(const CGameResource& g) {
    Bytes out;
    const SPlayerStatus& s = g.status;
    Put(out, s.hp, s.maxHp, s.barrierEnergy, s.maxBarrierEnergy, s.gauge, s.gaugeMax, s.bonusCounters, s.speedUpTimer,
        s.magicTimer, s.energyTimer, s.score, s.barrierUp, s.magicRequest, s.barrierTimer, s.overload, s.hardOverload,
        s.skillRunning, s.finisherCounter, s.regenerating);
    const SStageProgress& p = g.progress;
    Put(out, p.stage, p.scrollX, p.scrollY, p.eventStep, p.dropCounter, p.itemLevel1, p.itemLevel2, p.vertical,
        p.scrollSpeed, p.targetSpeed, p.nextColumn, p.backgroundOpacity, p.backgroundSpeed, p.scoreCarry, p.invincible);
    PutObject(out, *g.player.GetNoCheck());
    for (const auto& o : g.objects) PutObject(out, *o.GetNoCheck());
    return out;
}

// The keys of frame f: walks, crouches, jumps and barrier bursts; no pause, and no skill, whose
// cut-in does not end until the effects' update is built.
uint32_t ScriptedKeys(int f) {
    uint32_t mask = (f / 90) % 4 == 3 ? 0x1 : 0x8;  // left a quarter of the time, else right
    if (f % 50 < 12) mask |= 0x4;                    // down
    if (f % 70 < 25) mask |= 0x100;                  // barrier
    if (f % 37 < 3) mask |= 0x2;                     // up
    return mask;
}

TEST(ReplayRoundTrip, PlaybackMatchesTheRecordedGameFrameByFrame) {
    // The stage's music requests stay in the process-wide player: later tests get a new one.
    struct MusicReset {
        ~MusicReset() { KestraneGameBase2::DestroyBGMPlayer(); }
    } musicReset;
    morna::test::FixtureImages images;
    morna::test::RecordingSE sounds{images.Path()};
    morna::test::FixtureSettings settings;
    morna::test::FakeClock clock{1000};
    morna::test::TempBaseFolder saves("morna-round-trip");
    std::string replay, source;
    ASSERT_TRUE(morna::platform::NameFromSystemPath(saves.Path(), replay));
    ASSERT_TRUE(morna::platform::NameFromSystemPath(MORNA_SOURCE_DIR, source));
    replay += "\\round.rpl";
    tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(source.c_str());  // the folder puts its base back
    morna::test::RecordingSurface screen(640, 480);

    // Runs scene frames while the game plays, drawing every drawEvery-th; the state after
    // each frame that ran the world.
    const auto run = [&](CGameResource& g, int frames, int drawEvery) {
        std::vector<Bytes> states;
        for (int f = 0; f < frames && (g.GetMode() == Scene::kPlay || g.GetMode() == Scene::kTalk); ++f) {
            // Playback gets other live keys, which the log overrides.
            KestraneGameBase2::SKey key(ScriptedKeys(g.replayLog.playing ? f + 45 : f));
            const bool world = g.GetMode() == Scene::kPlay;
            g.UpdateScene(key);
            if (world) states.push_back(Snapshot(g));
            if (f % drawEvery == 0) g.Draw(&screen);
        }
        return states;
    };
    const auto make = [&](uint32_t seed) {
        SGameResourceSetup setup;
        setup.clock = &clock;
        setup.playSeed = seed, setup.bossSeed = seed + 1, setup.drawSeed = seed + 2;
        auto game = std::make_unique<CGameResource>(tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>(new CKeyControl), setup);
        game->SetHost(&settings);
        return game;
    };

    auto recorder = make(11);
    SStageProgress start;
    start.stage = 0;
    recorder->StartGame(start);
    recorder->SetMode(Scene::kPlay);
    const std::vector<Bytes> recorded = run(*recorder, 1800, 1);
    ASSERT_FALSE(recorder->SaveReplay(replay.c_str()));
    ASSERT_FALSE(recorder->replayLog.keys.empty());

    auto player = make(700);
    ASSERT_EQ(player->LoadReplay(replay.c_str()), 0);
    const std::vector<Bytes> played = run(*player, 4000, 4);
    ASSERT_GE(played.size(), recorded.size());  // then frames up to the next key the log lacks
    for (size_t f = 0; f < recorded.size(); ++f) ASSERT_EQ(played[f], recorded[f]) << "frame " << f;
    EXPECT_EQ(player->GetMode(), Scene::kFadeToTitle);  // the log's end fades to a new game
}

}  // namespace
