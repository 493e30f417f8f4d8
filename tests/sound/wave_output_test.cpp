#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "sound/wave_static_sound.h"
#include "tests/common/log_capture.h"
#include "sound/wave_stream_sound.h"
#include "tests/sound/mixer_fixture.h"

using namespace tovarineGameSDK3rd::Multimedia;
using tovarineGameSDK3rd::VTL::smart_ptr;
using morna::platform::PcmWaveFormat;

namespace {

class WaveOutputTest : public morna::test::MixerTest {
protected:
    // A secondary buffer holding the samples, playing once from 0.
    smart_ptr<ISoundBuffer> Buffer(const WAVEFORMATEX& f, const std::vector<int16_t>& samples, CSoundParameter* p = nullptr) {
        smart_ptr<ISoundBuffer> b = output_.CreateBuffer();
        const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
        EXPECT_EQ(b->Create(&f, bytes, false, p), 0);
        void* part = nullptr;
        uint32_t size = 0;
        EXPECT_EQ(b->Lock(0, bytes, &part, &size, nullptr, nullptr), 0);
        std::memcpy(part, samples.data(), size);
        EXPECT_EQ(b->Unlock(part, size, nullptr, 0), 0);
        return b;
    }
};

int32_t Status(const smart_ptr<ISoundBuffer>& b) { return b->GetStatus(); }

}  // namespace

TEST_F(WaveOutputTest, PrimaryFormatAndRegisteredSounds) {
    CWaveStaticSound fixed(&output_);
    CWaveStreamSound streamed(&output_);
    EXPECT_EQ(output_.GetSoundList().size(), 1u);  // the streaming sound is declined
    ASSERT_EQ(fixed.Load(PutWave("a.wav", 2, 44100, Ramp(4410))), 0);
    ASSERT_EQ(streamed.Load("a.wav"), 0);
    ASSERT_EQ(streamed.Play(), 0);

    WAVEFORMATEX f;
    ASSERT_EQ(output_.SetFormat(1, 1, true), 3);
    ASSERT_EQ(output_.GetPrimaryBuffer()->GetFormat(&f), 0);
    EXPECT_EQ(std::vector<uint32_t>({f.samplesPerSec, f.bitsPerSample, f.blockAlign, f.avgBytesPerSec}),
              std::vector<uint32_t>({22050, 16, 4, 88200}));
    EXPECT_EQ(output_.SetFormat(1, 1, true), 0);

    // A change and an activation restore the static sound's lost buffer, never the streaming one's.
    auto* lost = static_cast<CDirectSoundBuffer*>(fixed.GetBuffer().GetNoCheck())->GetPlatformBuffer();
    lost->SetLostForTest();
    ASSERT_EQ(output_.SetFormat(0, 0, false), 3);
    ASSERT_EQ(output_.GetPrimaryBuffer()->GetFormat(&f), 0);
    EXPECT_EQ(std::vector<uint32_t>({f.samplesPerSec, f.bitsPerSample, f.blockAlign, f.avgBytesPerSec}),
              std::vector<uint32_t>({11025, 8, 1, 11025}));
    EXPECT_EQ(Status(fixed.GetBuffer()), 2);
    static_cast<CDirectSoundBuffer*>(streamed.GetBuffer().GetNoCheck())->GetPlatformBuffer()->SetLostForTest();
    output_.WndProc(0, morna::platform::WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(Status(streamed.GetBuffer()), 1);
    streamed.Release();

    CNullSoundBuffer null;
    EXPECT_EQ(null.GetFormat(&f), -1);
    EXPECT_EQ(null.Duplicate()->IsValid(), 0);
}

TEST_F(WaveOutputTest, BuffersRefuseWhatTheyCannotPlay) {
    const WAVEFORMATEX good = PcmWaveFormat(2, 44100, 16);
    WAVEFORMATEX bad[4] = {PcmWaveFormat(2, 44100, 24), PcmWaveFormat(3, 44100, 16), PcmWaveFormat(1, 99, 8),
                           PcmWaveFormat(1, 200001, 8)};
    for (const WAVEFORMATEX& f : bad) EXPECT_EQ(output_.CreateBuffer()->Create(&f, 4000, true, nullptr), 1);
    EXPECT_EQ(output_.CreateBuffer()->Create(&good, 3, true, nullptr), 1);
    EXPECT_EQ(output_.CreateBuffer()->Create(&good, 0x10000000, true, nullptr), 1);
    auto plain = Buffer(good, Ramp(100));
    EXPECT_EQ(plain->SetPan(-600), 2);
    EXPECT_EQ(plain->SetFrequency(22050), 2);
    EXPECT_EQ(plain->SetVolume(1), 2);
}

TEST_F(WaveOutputTest, VolumePanPitchAndTheEndOfAOneShot) {
    const std::vector<int16_t> ramp = Ramp(3000);
    CSoundParameter controls;
    controls.SetPanControl(true);
    controls.SetFrequencyControl(true);
    auto b = Buffer(PcmWaveFormat(2, 44100, 16), ramp, &controls);
    // Each volume against a reference of its own: the sample times 10^(v/2000), rounded.
    for (int32_t volume : {0, -600, -10000}) {
        ASSERT_EQ(b->SetVolume(volume), 0);
        ASSERT_EQ(b->Play(false), 0);
        const std::vector<int16_t> out = Render(1000);
        ASSERT_EQ(b->Stop(), 0);
        ASSERT_EQ(b->SetCurrentPosition(0), 0);
        const double g = volume == -10000 ? 0.0 : std::pow(10.0, volume / 2000.0);
        for (size_t i = 0; i < out.size(); ++i) EXPECT_NEAR(out[i], std::lround(ramp[i] * g), volume == 0 ? 0 : 1) << volume;
    }
    ASSERT_EQ(b->SetVolume(0), 0);
    ASSERT_EQ(b->SetPan(-600), 0);
    ASSERT_EQ(b->Play(false), 0);
    const std::vector<int16_t> panned = Render(3100);
    for (size_t i = 0; i < 2000; i += 2) {
        EXPECT_EQ(panned[i], ramp[i]);
        EXPECT_NEAR(panned[i + 1], ramp[i + 1] * std::pow(10.0, -0.3), 1);
    }
    EXPECT_EQ(Status(b), 2);  // played once to its end: stopped at 0
    uint32_t play = 1, write = 0;
    ASSERT_EQ(b->GetCurrentPosition(&play, &write), 0);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(panned[2 * 3050], 0);

    // An 11,025 Hz tone of 441 Hz keeps its pitch: a period of 100 output frames.
    std::vector<int16_t> tone(2 * 1102);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>(std::lround(10000 * std::sin(2 * M_PI * (i / 2) / 25.0 + 0.1)));
    auto slow = Buffer(PcmWaveFormat(2, 11025, 16), tone);
    ASSERT_EQ(slow->Play(true), 0);
    const std::vector<int16_t> out = Render(4000);
    std::vector<size_t> rises;
    for (size_t i = 2; i < out.size(); i += 2) {
        if (out[i - 2] < 0 && out[i] >= 0) rises.push_back(i / 2);
    }
    ASSERT_GE(rises.size(), 30u);
    for (size_t k = 1; k < rises.size(); ++k) EXPECT_EQ(rises[k] - rises[k - 1], 100u);
}

TEST_F(WaveOutputTest, DuplicatesShareTheSamples) {
    auto a = Buffer(PcmWaveFormat(2, 44100, 16), std::vector<int16_t>(400, 0));
    auto b = a->Duplicate();
    const std::vector<int16_t> ramp = Ramp(200);
    void* part = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(a->Lock(0, 800, &part, &size, nullptr, nullptr), 0);
    std::memcpy(part, ramp.data(), size);
    ASSERT_EQ(a->Unlock(part, size, nullptr, 0), 0);
    ASSERT_EQ(b->Play(false), 0);
    EXPECT_EQ(Render(200), ramp);

    // Without the focus only global-focus buffers are heard.
    CSoundParameter global;
    global.SetGlobalFocus(true);
    auto heard = Buffer(morna::platform::PcmWaveFormat(2, 44100, 16), ramp, &global);
    ASSERT_EQ(a->Play(false), 0);
    ASSERT_EQ(heard->Play(false), 0);
    morna::platform::SetApplicationActive(false);
    const std::vector<int16_t> inactive = Render(200);
    morna::platform::SetApplicationActive(true);
    EXPECT_EQ(inactive, ramp);
}

TEST_F(WaveOutputTest, AFailedDeviceGivesSilentSounds) {
    morna::test::LogCapture log;
    CDirectSound::SetFaultForTest(2);
    {
        CDirectSound device;
        CDirectSound::SetFaultForTest(0);
        EXPECT_EQ(device.GetStatus(), 2);
        CWaveOutputDirectSound output(&device);
        EXPECT_EQ(output.CreateBuffer()->IsValid(), 0);
        EXPECT_EQ(output.SetFormat(1, 1, true), 3);
        CWaveStaticSound s(&output);
        EXPECT_EQ(s.Load(PutWave("f.wav", 1, 8000, std::vector<int16_t>(800, 1))), 1);
        EXPECT_EQ(s.GetCurrentPos(), -1);
    }
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"CDirectSound::CDirectSound() Initializeに失敗",
                                                     "CWaveStaticSound::Load サウンドバッファの作成に失敗！",
                                                     "CDirectSound::SetCooperativeLevel(1) DirectSoundの初期化に失敗している"}));
    EXPECT_THROW(CWaveOutputDirectSound(nullptr), tovarineGameSDK3rd::VTL::CSyntaxException);
}

TEST_F(WaveOutputTest, StaticSoundLoadsPlaysPausesAndComesBack) {
    CWaveStaticSound s(&output_);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_EQ(s.SetVolume(-100), -1);  // lost: no buffer yet
    const std::vector<int16_t> samples = Ramp(66150);  // 1.5 s at 44.1 kHz, 16-bit stereo
    ASSERT_EQ(s.Load(PutWave("s.wav", 2, 44100, samples)), 0);
    auto* buffer = static_cast<CDirectSoundBuffer*>(s.GetBuffer().GetNoCheck())->GetPlatformBuffer();
    EXPECT_EQ(buffer->Size(), 264600u);
    EXPECT_EQ(s.GetLength(), 1500);
    EXPECT_EQ(s.GetVolume(), 0);
    ASSERT_EQ(s.SetCurrentPos(1000), 0);
    uint32_t play = 0;
    ASSERT_EQ(s.GetBuffer()->GetCurrentPosition(&play, nullptr), 0);
    EXPECT_EQ(play, 176400u);

    ASSERT_EQ(s.Play(), 0);
    EXPECT_EQ(Render(1000), std::vector<int16_t>(samples.begin(), samples.begin() + 2000));
    s.Pause();
    s.Pause();
    s.Replay();
    EXPECT_FALSE(s.IsPlay());
    s.Replay();
    EXPECT_TRUE(s.IsPlay());
    EXPECT_EQ(Render(500), std::vector<int16_t>(samples.begin() + 2000, samples.begin() + 3000));

    // A lost buffer: Play reloads the file and leaves the sound stopped.
    buffer->SetLostForTest();
    EXPECT_EQ(s.Play(), 0);
    EXPECT_EQ(Status(s.GetBuffer()), 2);
    ASSERT_EQ(s.Play(), 0);
    EXPECT_EQ(Render(1000), std::vector<int16_t>(samples.begin(), samples.begin() + 2000));
}
