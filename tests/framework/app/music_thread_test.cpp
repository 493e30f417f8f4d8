// The music thread: it ends when asked, also from its long sleep; and on the
// whole sound layer it brings a streaming track back to its loop start.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

#include "framework/bgm_player.h"
#include "platform/sound_output.h"
#include "sound/wave_sound.h"
#include "tests/common/recording_sounds.h"
#include "tools/wave/wave_writer.h"

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
namespace MM = tovarineGameSDK3rd::Multimedia;

TEST(MusicThread, StopsAndJoinsFromItsSleep) {
    KB::CMusicThread thread;  // no loop points: each tick sleeps 1000 ms
    ASSERT_EQ(thread.CreateThread(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // into its first sleep
    const auto asked = std::chrono::steady_clock::now();
    thread.Interrupt();
    EXPECT_EQ(thread.StopThread(), 0);
    // Woken, not timed out: a sleep that ignored the request would hold the join ~950 ms.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(800));
    EXPECT_EQ(thread.GetThreadHandle(), nullptr);
    KB::DestroyBGMPlayer();
}

// Waits (bounded) until done holds; nothing renders meanwhile.
bool Await(const std::function<bool()>& done) {
    for (int i = 0; i < 30000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

TEST(MusicThread, BringsAStreamingTrackBackToItsLoopStart) {
    mp::SetOutputBackend(mp::OutputBackend::kManual);
    morna::test::TempBaseFolder folder("morna-loop");
    morna::test::WriteBelow(folder.Path(), "data/music/list.txt", "track.wav,3\r\n");
    morna::test::WriteBelow(folder.Path(), "data/music/loop.txt", "3,500,1500\r\n");
    // 2.5 s whose frame i tells i: (its low 14 bits) + 1, then its high bits.
    std::vector<int16_t> samples(2 * 110250);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(i % 2 ? (i / 2) >> 14 : (i / 2 & 0x3FFF) + 1);
    std::vector<uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    ASSERT_TRUE(morna::tools::SaveBytes(folder.Path() + "/data/music/track.wav", morna::tools::PcmWaveFileBytes(2, 44100, 16, bytes)));
    {
        MM::CSoundFactory factory;
        KB::CBGMPlayer& bgm = *KB::GetBGMPlayer();
        bgm.Initialize(KB::SoundFactoryRef(&factory, false));
        bgm.SetUseLoopPoints(true);
        bgm.Play(3, 0);
        const auto track = KB::GetMusicLoader()->GetLoader()->GetSound(3);
        ASSERT_EQ(dynamic_cast<MM::CWaveSound&>(*track).GetImplementation()->GetType(), MM::kWaveStreamSound);
        // 1.6 s, past the loop end, within the stream's first fill; the music
        // thread starts once the stream has counted them, so its seek meets a
        // track that nothing renders meanwhile.
        std::vector<int16_t> out(2 * 441);
        for (int i = 0; i < 160; ++i) mp::RenderSoundOutput(out.data(), 441);
        ASSERT_TRUE(Await([&] { return track->GetCurrentPos() >= 1500; }));
        KB::CMusicThread thread;
        ASSERT_EQ(thread.CreateThread(), 0);
        ASSERT_TRUE(Await([&] { return track->GetCurrentPos() == 500 && track->IsPlay(); }));
        mp::RenderSoundOutput(out.data(), 441);
        const int32_t first = (out[0] - 1) + (out[1] << 14);
        ASSERT_EQ(first, 22050);
        for (uint32_t j = 0; j < 441; ++j) ASSERT_EQ(out[2 * j], samples[2 * (first + j)]) << j;
        thread.Interrupt();
        EXPECT_EQ(thread.StopThread(), 0);
        KB::DestroyBGMPlayer();
        KB::DestroyMusicLoader();
    }
    mp::SetOutputBackend(mp::OutputBackend::kDevice);
}

}  // namespace
