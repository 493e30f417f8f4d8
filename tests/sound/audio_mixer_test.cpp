#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "sound/audio_mixer.h"
#include "sound/wave_static_sound.h"
#include "tests/common/log_capture.h"
#include "tests/sound/mixer_fixture.h"

namespace {

using namespace tovarineGameSDK3rd::Multimedia;
using Values = std::vector<uint32_t>;

Values Get(CAudioMixer& m, int32_t line) {
    Values v;
    EXPECT_EQ(m.GetVolume(line, v), 0);
    return v;
}

class AudioMixerTest : public morna::test::MixerTest {
protected:
    ~AudioMixerTest() override {
        for (auto line : {morna::platform::SoundLine::kMaster, morna::platform::SoundLine::kWave})
            morna::platform::SetLineGain(line, {});
    }
};

TEST_F(AudioMixerTest, LinesScaleTheOutputRelativeToTheSavedVolumes) {
    morna::test::LogCapture log;
    CAudioMixer m;
    double rate = 0;
    EXPECT_EQ(m.GetVolumeRate(0, &rate), 0);
    EXPECT_EQ(rate, 1.0);
    EXPECT_EQ(m.SetVolume(0, {10000}), 0);  // the missing channel is 0
    EXPECT_EQ(Get(m, 0), (Values{10000, 0}));
    EXPECT_EQ(m.SetVolume(0, {70000, 20000}), 0);
    EXPECT_EQ(Get(m, 0), (Values{65535, 20000}));
    EXPECT_EQ(m.SetVolumeRate(0, 0.5), 0);  // of the saved values, whatever was set
    EXPECT_EQ(Get(m, 0), (Values{32767, 32767}));
    for (double bad : {-1.0, std::nan(""), 1e300}) {
        EXPECT_EQ(m.SetVolumeRate(0, bad), 0);
        EXPECT_EQ(Get(m, 0), (bad > 1 ? Values{65535, 65535} : Values{0, 0}));
    }
    EXPECT_EQ(m.RestoreVolume(0), 0);
    EXPECT_EQ(Get(m, 0), (Values{65535, 65535}));

    // No CD line here.
    Values v;
    EXPECT_EQ(m.GetVolume(3, v), -1);
    EXPECT_EQ(m.SetVolume(3, {1}), -1);
    EXPECT_EQ(m.RestoreVolume(3), 2);
    EXPECT_EQ(log.Lines(), std::vector<std::string>(3, "3のIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした"));

    // Half of line 1 halves what a wave buffer plays.
    CWaveStaticSound sound(&output_);
    ASSERT_EQ(sound.Load(PutWave("r.wav", 2, 44100, Ramp(4410))), 0);
    sound.Play();
    const std::vector<int16_t> full = Render(4410);
    EXPECT_EQ(m.SetVolume(1, {32768, 32768}), 0);
    sound.Play();
    const std::vector<int16_t> half = Render(4410);
    for (size_t i = 0; i < full.size(); ++i) ASSERT_NEAR(half[i], full[i] / 2.0, 1.0) << i;
}

// A device whose steps fail on demand.
struct FakeDevice : IMixerDevice {
    uint32_t count = 1, openResult = 0, writeResult = 0;
    bool readable = true;
    std::map<int32_t, Values> lines{{0, {0, 0}}, {1, {100, 200}}};
    uint32_t GetDeviceCount() override { return count; }
    uint32_t Open() override { return openResult; }
    uint32_t Close() override { return 0; }
    bool HasLine(int32_t line) override { return lines.count(line) != 0; }
    bool ReadLine(int32_t line, Values& v) override {
        v = lines[line];
        return readable;
    }
    uint32_t WriteLine(int32_t line, const Values& v) override {
        if (writeResult == 0) lines[line] = v;
        return writeResult;
    }
};

TEST(AudioMixer, AnswersTheDevicesFailures) {
    morna::test::LogCapture log;
    auto* device = new FakeDevice;
    const tovarineGameSDK3rd::VTL::smart_ptr<IMixerDevice> held(device);
    device->count = 0;
    CAudioMixer m(held);
    Values v;
    double rate;
    for (int32_t r : {m.SetVolumeRate(0, 1), m.SetVolume(0, {}), m.RestoreVolume(0), m.GetVolumeRate(0, &rate),
                      m.GetVolume(0, v), m.GetSavedVolume(0, v), m.SaveVolume(0)})
        EXPECT_EQ(r, -1);
    device->count = 1;
    device->openResult = 4;
    EXPECT_EQ(m.Open(), 3);
    device->openResult = 0;
    EXPECT_EQ(m.Open(), 0);

    // A saved sum of 0 under a current one above 0.
    EXPECT_EQ(m.SetVolume(0, {5, 5}), 0);
    EXPECT_EQ(m.GetVolumeRate(0, &rate), 0);
    EXPECT_EQ(rate, 65535.0);
    device->writeResult = 5;
    EXPECT_EQ(m.SetVolume(1, {1, 1}), 1);  // a refused write is no success
    EXPECT_EQ(m.RestoreVolume(1), 1);
    device->readable = false;
    EXPECT_EQ(m.GetVolume(1, v), -1);
    EXPECT_EQ(m.SaveVolume(1), 1);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                               "CAudioMixer::Open ミキサデバイス数が 0か、エラーが発生しました",
                               "CAudioMixer::指定したリソースは、最大許容数のクライアントにすでに割り当てられていました",
                               "ミキサデバイスをオープンできませんでした\n",
                               "CAudioMixer::指定したデバイスハンドルが不正です",
                               "ミキサコントロール状態情報構造体の取得ができませんでした\n",
                               "CAudioMixer::指定したデバイスハンドルが不正です",
                               "ミキサコントロール状態情報構造体の取得ができませんでした\n",
                               "MixerControl構造体に関連付けられるオーディオラインコントロールがありませんでした",
                               "MixerControl構造体に関連付けられるオーディオラインコントロールがありませんでした",
                           }));
}

}  // namespace
