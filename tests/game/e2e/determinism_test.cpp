// Replays reproduce the game from its start record and one key byte a frame: the policy's run
// (talks shown) saved as a replay and played in play states seeded otherwise at construction,
// drawn every frame, never and every fourth frame (the 240-fps mode), passes through the
// recording's gameplay state at every logged frame. A failure names the first frame and field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/e2e/recorded_run.h"

namespace morna::e2e {
namespace {

constexpr uint32_t kRecordingSeed = 1;  // GameDriver's default

// The playback every test compares with: another seed, drawn every frame.
const Playback& ReferencePlayback() {
    static const Playback p = PlayReplay(TheRun().replay, 700, 1);
    return p;
}

// "" when the hashes agree; else the first logged frame that differs and, when `where` can
// name it, its first field.
std::string Compare(const std::vector<uint64_t>& expected, const std::vector<uint64_t>& actual,
                    const std::function<std::string(int)>& where = nullptr) {
    for (size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
        if (expected[i] != actual[i]) return "logged frame " + std::to_string(i) + (where ? ": " + where(static_cast<int>(i)) : "");
    }
    if (expected.size() != actual.size())
        return "logged frames: " + std::to_string(expected.size()) + " against " + std::to_string(actual.size());
    return "";
}

TEST(Replay, RoundTripReproducesEveryLoggedFrame) {
    const RunRecord& r = TheRun();
    ASSERT_FALSE(r.replay.empty());
    ASSERT_GT(r.loggedHashes.size(), 1000u);
    const Playback& p = ReferencePlayback();
    // The first field that differs: the playback stopped there against the run recorded again.
    const auto where = [&](int frame) {
        const Playback stopped = PlayReplay(r.replay, 700, 1, [&](int logged, uint64_t) { return logged == frame; });
        std::vector<Field> recorded;
        RecordRun(frame, &recorded);
        return FirstDifference(recorded, stopped.fieldsAtStop);
    };
    EXPECT_EQ(Compare(r.loggedHashes, p.hashes, where), "");
}

TEST(Replay, ClockSeedsDoNotReachTheGame) {
    const Playback& a = ReferencePlayback();
    const Playback b = PlayReplay(TheRun().replay, kRecordingSeed + 40, 1);
    EXPECT_EQ(Compare(a.hashes, b.hashes), "");
    const auto where = [&](int frame) {
        const auto at = [&](uint32_t seed) {
            return PlayReplay(TheRun().replay, seed, 1, [&](int logged, uint64_t) { return logged == frame; }).effectsAtStop;
        };
        return FirstDifference(at(700), at(kRecordingSeed + 40));
    };
    EXPECT_EQ(Compare(a.effectHashes, b.effectHashes, where), "") << "effect lists";
}

TEST(Replay, DrawingDoesNotReachTheGame) {
    const Playback& every = ReferencePlayback();
    EXPECT_EQ(Compare(every.hashes, PlayReplay(TheRun().replay, 700, 0).hashes), "") << "never drawn";
    EXPECT_EQ(Compare(every.hashes, PlayReplay(TheRun().replay, 700, 4).hashes), "") << "every fourth frame drawn";
}

}  // namespace
}  // namespace morna::e2e
