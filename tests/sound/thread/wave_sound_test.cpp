#include <gtest/gtest.h>

#include "sound/wave_sound.h"
#include "tests/common/log_capture.h"
#include "tests/sound/mixer_fixture.h"

namespace {

using namespace tovarineGameSDK3rd::Multimedia;

using WaveSoundTest = morna::test::MixerTest;

// Switching carries the file, the loop flag, the volume and the playing state over.
TEST_F(WaveSoundTest, SwitchesBetweenStaticAndStreaming) {
    morna::test::LogCapture log;
    CWaveSound front(&output_);
    front.SetStreamMode(true);  // the empty static sound's volume does not read
    EXPECT_TRUE(log.Contains("CWaveStaticSound::GetVolumeに失敗"));
    EXPECT_EQ(front.GetVolume(), 0);
    EXPECT_EQ(front.GetType(), kWaveSound);
    EXPECT_EQ(front.GetImplementation()->GetType(), kWaveStreamSound);

    const auto name = PutWave("a.wav", 2, 44100, Ramp(44100));
    ASSERT_EQ(front.Load(name), 0);
    front.SetLoopPlay(true);
    front.SetVolume(-600);
    ASSERT_EQ(front.Play(), 0);
    front.SetStreamMode(false);
    EXPECT_EQ(front.GetType(), kWaveSound);
    EXPECT_EQ(front.GetImplementation()->GetType(), kWaveStaticSound);
    EXPECT_TRUE(front.IsPlay());
    EXPECT_TRUE(front.IsLoopPlay());
    EXPECT_EQ(front.GetVolume(), -600);
    EXPECT_EQ(front.GetFileName(), name);
    EXPECT_EQ(front.GetCurrentPos(), 0);  // from its start

    front.Pause();
    front.SetStreamMode(true);  // a paused sound comes back stopped
    EXPECT_FALSE(front.IsPlay());
    EXPECT_EQ(front.Replay(), 0);
    EXPECT_FALSE(front.IsPlay());

    front.SetVolume(-300);
    front.Play();
    EXPECT_EQ(front.Stop(), 0);
    EXPECT_FALSE(front.IsPlay());
    EXPECT_EQ(front.GetVolume(), -300);
}

}  // namespace
