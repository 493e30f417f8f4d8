// The whole game headless on the data set, played by the policy: the title, "ゲームを始める",
// stage 0 with its enemies and markers, boss 0's intro with its talks, the fight to the defeat,
// the defeat sequence, and stage 1 in play, within the frame bound, with no error-log line and
// bounded lists. Snapshots of the title, stage 0, the fight and stage 1 go into the build
// folder for a person to look at.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/game/e2e/recorded_run.h"

namespace morna::e2e {
namespace {

TEST(GameRun, TitleToStageOneThroughBossZero) {
    const RunRecord& r = TheRun();
    std::printf("play from frame %d, boss 0 at %d, defeated at %d, stage 1 at %d; %zu enemies on stage 0; "
                "at most %zu objects and %zu effects\n",
                r.started, r.bossStart, r.defeat, r.stageOne, r.enemiesSeen, r.maxObjects, r.maxEffects);
    EXPECT_GT(r.started, 120);
    EXPECT_GT(r.enemiesSeen, 20u);
    EXPECT_EQ(r.lastEvent, 3) << "stage 0's four markers";
    EXPECT_GT(r.bossStart, r.started);
    EXPECT_GT(r.defeat, r.bossStart) << "boss 0 not beaten within " << kFrameBound << " frames";
    EXPECT_GT(r.stageOne, r.defeat);
    // Each music track starts as a streaming sound, whose front first asks its empty static
    // sound for the volume to carry over: the sound layer logs that one line by design.
    for (const std::string& line : r.log) EXPECT_EQ(line, "CWaveStaticSound::GetVolumeに失敗");
    EXPECT_LT(r.maxObjects, 600u);
    EXPECT_LT(r.maxEffects, 1500u);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(r.snapshots[i]) << "snapshot " << i;
    EXPECT_FALSE(r.replay.empty());
}

}  // namespace
}  // namespace morna::e2e
