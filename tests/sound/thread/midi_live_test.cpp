#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <thread>

#include "platform/midi_mci.h"
#include "sound/midi_output.h"
#include "tests/common/app_thread.h"
#include "tests/sound/midi_songs.h"
#include "tests/sound/mixer_fixture.h"

namespace {

using namespace tovarineGameSDK3rd::Multimedia;
using morna::platform::MidiSong;
using morna::test::MidiTrack;

// A flute: four notes with silence between, the last two after a tempo change.
const int kKeys[] = {69, 72, 74, 76};
const int64_t kTicks[] = {0, 192, 448, 864};

morna::tools::Bytes FluteSong() {
    MidiTrack t;
    t.Tempo(0, 500000).Tempo(384, 250000).Program(0, 0, 73);
    for (int i = 0; i < 4; ++i) t.Note(kTicks[i], 0, kKeys[i], 110, i < 2 ? 96 : 192);
    return morna::tools::MidiFileBytes(0, 96, {t.End(1152)});
}

std::vector<int16_t> ManualRender(const char* name) {
    morna::test::ManualBackend manual;
    CDirectMusic music(nullptr);
    CMIDIOutputDM song(&music);
    EXPECT_EQ(song.Load(name), 0);
    EXPECT_EQ(song.Play(), 0);
    std::vector<int16_t> out(2 * 44100 * 4);
    morna::platform::RenderSoundOutput(out.data(), 44100 * 4);
    return out;
}

// The strongest frequency of a Hann-windowed stretch, between 100 and 2000 Hz.
double StrongestFrequency(const std::vector<int16_t>& s, size_t frame, size_t n) {
    auto power = [&](double f) {
        std::complex<double> sum;
        for (size_t i = 0; i < n; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(n));
            sum += w * s[2 * (frame + i)] * std::polar(1.0, -2 * M_PI * f * double(i) / 44100.0);
        }
        return std::norm(sum);
    };
    double best = 0, bestPower = -1;
    for (double f = 100; f <= 2000; f += 5) {
        if (const double p = power(f); p > bestPower) bestPower = p, best = f;
    }
    for (double f = best - 5; f <= best + 5; f += 0.1) {
        if (const double p = power(f); p > bestPower) bestPower = p, best = f;
    }
    return best;
}

TEST(MidiDevice, ASongThroughTheDiskDriverEqualsItsManualRenderAndKeepsTimeAndPitch) {
    morna::test::TempBaseFolder folder("morna-midi");
    const auto bytes = FluteSong();
    ASSERT_TRUE(morna::tools::SaveBytes(folder.Path() + "/flute.mid", bytes));
    const auto song = MidiSong::Parse(bytes.data(), bytes.size());
    const std::vector<int16_t> manual = ManualRender("flute.mid");

    // Each note starts within 2 ms of its tempo-mapped time, at its pitch within 1%.
    for (int i = 0; i < 4; ++i) {
        const size_t due = size_t(MidiSong::UsToSamples(song->TicksToUs(kTicks[i])));
        size_t onset = due > 2205 ? due - 2205 : 0;
        while (onset < manual.size() / 2 && manual[2 * onset] == 0 && manual[2 * onset + 1] == 0) ++onset;
        EXPECT_GE(onset, due) << i;
        EXPECT_LE(onset, due + 88) << i;
        const double pitch = 440.0 * std::pow(2.0, (kKeys[i] - 69) / 12.0);
        EXPECT_NEAR(StrongestFrequency(manual, due + 2205, 16384), pitch, pitch / 100) << i;
    }

    const std::string capture = folder.Path() + "/out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    {
        CDirectMusic music(nullptr);
        ASSERT_EQ(music.GetStatus(), 0);
        CMIDIOutputDM live(&music);
        ASSERT_EQ(live.Load("flute.mid"), 0);
        ASSERT_EQ(live.Play(), 0);
        while (live.IsPlay()) std::this_thread::yield();
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::ifstream in(capture, std::ios::binary);
    std::vector<int16_t> got;
    int16_t s;
    while (in.read(reinterpret_cast<char*>(&s), 2)) got.push_back(s);
    const auto heard = morna::test::FromFirstSound(got), expected = morna::test::FromFirstSound(manual);
    ASSERT_GE(heard.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()));
}

// The end of a song comes to the application window's queue; the hook runs when
// the application pumps it.
TEST(MidiDevice, TheEndReachesTheApplicationWindowsQueue) {
    morna::test::TempBaseFolder folder("morna-mci");
    ASSERT_TRUE(morna::tools::SaveBytes(folder.Path() + "/a.mid", morna::test::TwoTempoSong()));
    std::string name;  // the application thread has a base folder of its own
    ASSERT_TRUE(morna::platform::NameFromSystemPath(folder.Path() + "/a.mid", name));
    bool ranOnRender = true, stopped = false;
    int32_t pauses = 0;
    morna::test::RunOnAppThread([&](morna::test::BodyApp& app) {
        morna::test::ManualBackend manual;
        CMIDIOutputMCI mci;
        ASSERT_EQ(mci.Load(name.c_str()), 0);
        ASSERT_EQ(mci.Play(), 0);
        std::vector<int16_t> out(2 * 60000);
        morna::platform::RenderSoundOutput(out.data(), 60000);
        ranOnRender = !mci.IsPlay();
        app.IsThreadValid();  // pumps the queue
        stopped = !mci.IsPlay();
        pauses = mci.GetPauseCount();
    });
    EXPECT_FALSE(ranOnRender);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(pauses, 1);
}

}  // namespace
