#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>

#include "platform/sound_output.h"
#include "sound/wave_static_sound.h"
#include "sound/wave_stream_sound.h"
#include "tests/sound/mixer_fixture.h"

using namespace tovarineGameSDK3rd::Multimedia;

namespace {

// Holds the streaming thread in its waits until the test lets it take one pass.
class StepPacer : public IStreamPacer {
public:
    bool Wait(tovarineGameSDK3rd::Thread::CThread& thread, uint32_t) override {
        std::unique_lock<std::mutex> lock(mutex_);
        ++arrivals_;
        changed_.notify_all();
        while (released_ == 0) {
            if (!thread.IsThreadValid()) return true;
            changed_.wait_for(lock, std::chrono::milliseconds(1));
        }
        --released_;
        return !thread.IsThreadValid();
    }
    // Until the thread waits again (or has ended), after letting it go once when step.
    void Step(CWaveStreamSound& sound, bool step = true) {
        std::unique_lock<std::mutex> lock(mutex_);
        const uint64_t seen = arrivals_;
        if (step) ++released_;
        changed_.notify_all();
        while ((step ? arrivals_ == seen : arrivals_ == 0) && sound.IsThreadValid()) {  // valid: not ended
            changed_.wait_for(lock, std::chrono::milliseconds(1));
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t arrivals_ = 0;
    int released_ = 0;
};

class StreamSoundTest : public morna::test::MixerTest {
protected:
    StreamSoundTest() : pacer_(new StepPacer) { sound_.SetPacer(pacer_); }
    ~StreamSoundTest() override { sound_.Release(); }

    void Play() {
        ASSERT_EQ(sound_.Play(), 0);
        pacer_->Step(sound_, false);
    }
    // Renders in pieces of a tenth of a second, the thread taking a pass after each.
    std::vector<int16_t> Run(uint32_t pieces) {
        std::vector<int16_t> out;
        for (uint32_t i = 0; i < pieces; ++i) {
            const std::vector<int16_t> piece = Render(4410);
            out.insert(out.end(), piece.begin(), piece.end());
            pacer_->Step(sound_);
        }
        return out;
    }
    int32_t StreamMs() { return sound_.GetStream()->GetCurrentPos(); }

    tovarineGameSDK3rd::VTL::smart_ptr<StepPacer> pacer_;
    CWaveStreamSound sound_{&output_};
};

}  // namespace

TEST_F(StreamSoundTest, RingFirstFillAndRefillThreshold) {
    ASSERT_EQ(sound_.Load(PutWave("long.wav", 2, 44100, Ramp(44100 * 5))), 0);
    Play();
    auto* ring = static_cast<CDirectSoundBuffer*>(sound_.GetBuffer().GetNoCheck())->GetPlatformBuffer();
    EXPECT_EQ(ring->Size(), 529200u);
    EXPECT_EQ(StreamMs(), 2624);  // 463,048 bytes read
    // The write cursor starts a period (4096 bytes) ahead; refills wait for 88,200 more.
    Render(21025);
    pacer_->Step(sound_);
    EXPECT_EQ(StreamMs(), 2624);
    Render(1);
    pacer_->Step(sound_);
    EXPECT_EQ(StreamMs(), BytesToMs(463048 + 88200, 176400));
}

TEST_F(StreamSoundTest, ALoopingStreamRepeatsTheFileByteForByte) {
    const std::vector<int16_t> file = Ramp(52920);  // 1.2 s
    ASSERT_EQ(sound_.Load(PutWave("loop.wav", 2, 44100, file)), 0);
    sound_.SetLoopPlay(true);
    Play();
    const std::vector<int16_t> out = Run(600);  // 60 s
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] != file[i % file.size()]) FAIL() << "sample " << i;
    }
    EXPECT_TRUE(sound_.IsPlay());
}

TEST_F(StreamSoundTest, AStreamDrainsAndStops) {
    const std::vector<int16_t> file = Ramp(88200);  // 2 s
    ASSERT_EQ(sound_.Load(PutWave("two.wav", 2, 44100, file)), 0);
    Play();
    const std::vector<int16_t> out = Run(40);
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + file.size()), file);
    EXPECT_EQ(std::vector<int16_t>(out.begin() + file.size(), out.begin() + file.size() + 44100), std::vector<int16_t>(44100, 0));
    EXPECT_FALSE(sound_.IsPlay());
    EXPECT_EQ(sound_.GetCurrentPos(), 0);
}

TEST_F(StreamSoundTest, PlayAfterPauseStartsAtZeroAndPausedSoundsGoCleanly) {
    const std::vector<int16_t> file = Ramp(44100 * 4);
    ASSERT_EQ(sound_.Load(PutWave("p.wav", 2, 44100, file)), 0);
    EXPECT_EQ(CWaveStreamSound(&output_).GetLength(), -1);
    Play();
    Run(10);
    sound_.Pause();
    pacer_->Step(sound_);
    Play();
    const std::vector<int16_t> again = Render(4410);
    EXPECT_EQ(again[0], file[0]);
    EXPECT_EQ(again, std::vector<int16_t>(file.begin(), file.begin() + 8820));
    sound_.Pause();
    sound_.Release();  // joins the idle thread
    EXPECT_EQ(sound_.GetThreadHandle(), nullptr);

    auto* other = new CWaveStreamSound(&output_);
    other->SetPacer(pacer_);
    ASSERT_EQ(other->Load("p.wav"), 0);
    ASSERT_EQ(other->Play(), 0);
    other->Pause();
    delete other;  // its thread ends before its members go
}

// The live device: SDL's dummy driver (or the disk driver) calls the mixer from its own thread.
TEST(SoundDevice, AToneThroughTheDiskDriverIsCapturedUnchanged) {
    morna::test::TempBaseFolder folder("morna-disk");
    const std::string capture = folder.Path() + "/out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    std::vector<int16_t> tone(2 * 8820);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * 440 * (i / 2) / 44100.0 + 0.3)));
    std::vector<uint8_t> bytes(tone.size() * 2);
    std::memcpy(bytes.data(), tone.data(), bytes.size());
    ASSERT_TRUE(morna::tools::SaveBytes(folder.Path() + "/tone.wav", morna::tools::PcmWaveFileBytes(2, 44100, 16, bytes)));
    {
        CDirectSound device;
        ASSERT_EQ(device.GetStatus(), 0);
        CWaveOutputDirectSound output(&device);
        CWaveStaticSound sound(&output);
        ASSERT_EQ(sound.Load("tone.wav"), 0);
        ASSERT_EQ(sound.Play(), 0);
        while (sound.IsPlay()) std::this_thread::yield();  // a one-shot ends by itself
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::ifstream in(capture, std::ios::binary);
    std::vector<int16_t> got;
    int16_t s;
    while (in.read(reinterpret_cast<char*>(&s), 2)) got.push_back(s);
    const auto first = std::find_if(got.begin(), got.end(), [](int16_t v) { return v != 0; });
    ASSERT_GE(got.end() - first, static_cast<std::ptrdiff_t>(tone.size()));
    EXPECT_EQ(std::vector<int16_t>(first, first + tone.size()), tone);
}
