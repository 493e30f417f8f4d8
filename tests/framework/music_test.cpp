#include <gtest/gtest.h>

#include "framework/bgm_player.h"
#include "framework/sound_list.h"
#include "tests/common/recording_sounds.h"

namespace {

namespace KB = KestraneGameBase2;
using Log = std::vector<std::string>;

TEST(Music, AttenuationFromVolume) {
    const int32_t rows[][2] = {{0, -10000}, {1, -4813}, {64, -1200}, {128, -598}, {160, -404},
                               {200, -211}, {254, -3},  {255, 0},     {300, 0}};
    for (const auto& r : rows) EXPECT_EQ(KB::AttenuationFromVolume(r[0]), r[1]) << r[0];
}

// The player and the effects on recording sounds: fades and switches are
// timelines of the calls they make, frame by frame.
class MusicTest : public ::testing::Test {
protected:
    MusicTest() {
        morna::test::WriteBelow(folder_.Path(), "data/music/list.txt", "5.wav,5\r\n6.wav,6\r\n");
        morna::test::WriteBelow(folder_.Path(), "data/music/loop.txt", "5,10000,50000\r\n// 6,1,2\r\n5,1,x\r\n6,300,200\r\n");
        morna::test::WriteBelow(folder_.Path(), "data/se/list.txt", "1.wav,1\r\n2.wav,2\r\n");
        bgm_.Initialize(ref_);
    }
    ~MusicTest() override {
        KB::DestroyBGMPlayer();
        KB::DestroyMusicLoader();
        KB::DestroySEList();
    }
    Log Take(int frames = 0) {
        for (int i = 0; i < frames; ++i) bgm_.OnFrame();
        return std::exchange(factory_->log, Log());
    }
    static Log Starts(int t) { return {std::to_string(t) + " loop", std::to_string(t) + " volume 0", std::to_string(t) + " play"}; }
    // Track t fading from countdown `from` of `length`, then stopped, then `next` starts.
    static Log Fade(int t, int from, int length, int next) {
        Log log;
        for (int c = from; c >= 1; --c) log.push_back(std::to_string(t) + " volume " + std::to_string(KB::AttenuationFromVolume(255 * c / length)));
        log.insert(log.end(), {std::to_string(t) + " stop", std::to_string(t) + " volume 0"});
        const Log start = Starts(next);
        log.insert(log.end(), start.begin(), start.end());
        return log;
    }

    morna::test::TempBaseFolder folder_{"morna-music"};
    morna::test::RecordingFactory* factory_ = new morna::test::RecordingFactory;
    KB::SoundFactoryRef ref_{factory_};
    KB::CBGMPlayer& bgm_ = *KB::GetBGMPlayer();
};

TEST_F(MusicTest, FadesSwitchesLoopPointsAndReset) {
    bgm_.PlayAfterFade(5);  // nothing current: at once
    EXPECT_EQ(Take(), Starts(5));
    bgm_.Play(5, 30);  // already current, nothing pending
    bgm_.Play(6, 30);
    const Log fade = Fade(5, 30, 30, 6);
    EXPECT_EQ(Take(29), Log(fade.begin(), fade.begin() + 29));
    EXPECT_EQ(Take(1), Log(fade.begin() + 29, fade.end()));  // 5 ends, 6 starts looping
    EXPECT_TRUE(factory_->GetStreamDefault());               // the music loader asked for streaming

    bgm_.Play(5, 0);  // at once: the track that sounds stops
    Log switched = {"6 stop", "6 volume 0"};
    for (const auto& l : Starts(5)) switched.push_back(l);
    EXPECT_EQ(Take(), switched);
    // A second fade-out at countdown 15 of 30 goes on from 30 of 60; a track
    // asked for meanwhile waits for its end; after a fade, one of 16 frames.
    bgm_.FadeOut(30);
    Take(15);
    bgm_.FadeOut(60);
    bgm_.PlayAfterFade(6);
    EXPECT_EQ(Take(30), Fade(5, 30, 60, 6));
    bgm_.PlayAfterFade(5);
    EXPECT_EQ(Take(16), Fade(6, 16, 16, 5));

    bgm_.SetUseLoopPoints(true);
    morna::test::RecordingSound& five = *factory_->made.at(0);  // track 5, made once
    five.position = 40000;
    EXPECT_EQ(bgm_.Tick(), 10000);
    five.position = 50000;
    EXPECT_EQ(bgm_.Tick(), 0);
    EXPECT_EQ(five.position, 10000);
    bgm_.SetVolume(0);
    EXPECT_EQ(Take(), (Log{"5 seek 10000", "5 volume -9999", "5 volume -10000"}));
    bgm_.SetVolume(255);
    bgm_.Play(6, 0);  // its loop line ends before it starts: skipped
    EXPECT_EQ(bgm_.Tick(), -1);
    Take();
    const size_t made = factory_->made.size();
    bgm_.Reset();  // the list again, the track that was current at once, on a new sound
    EXPECT_EQ(Take(), Starts(6));
    EXPECT_EQ(factory_->made.size(), made + 1);
}

TEST_F(MusicTest, SoundEffects) {
    KB::CSEList& se = *KB::GetSEList();
    se.Load(ref_);
    se.SetEnabled(false);
    EXPECT_EQ(se.Play(1, false), 0);
    EXPECT_EQ(Take(), Log{});
    se.SetEnabled(true);
    se.SetVolume(128);
    EXPECT_EQ(se.Play(1, false), 0);
    se.Play(2, true);
    EXPECT_EQ(Take(), (Log{"1 volume -598", "1 once", "1 play", "2 volume -598", "2 loop", "2 play"}));
    se.SetVolume(300);  // every loaded effect, most recent first
    EXPECT_EQ(Take(), (Log{"2 volume 1", "2 volume 0", "1 volume 1", "1 volume 0"}));
}

}  // namespace
