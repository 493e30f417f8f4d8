// The generated sound effects and music: made again here (the bytes of the build's run folder
// and of the committed manifest), every listed file loaded through the
// game's sound-effect list and music player with the design's length and levels, the WAVE
// and MIDI bytes read back by the game's readers, the loop points inside their tracks.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/bgm_player.h"
#include "platform/file_system.h"
#include "platform/midi_sequencer.h"
#include "platform/sound_output.h"
#include "sound/midi_output.h"
#include "sound/wave_stream.h"
#include "tests/data/remade.h"
#include "tools/datagen/sounds.h"

namespace {

namespace KB = KestraneGameBase2;
namespace MM = tovarineGameSDK3rd::Multimedia;
namespace dg = morna::datagen;

// The build's sounds in its run folder, which is the base directory while the suite runs.
class GeneratedSounds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        saved_ = tovarineGameSDK3rd::Auxiliary::CFile::GetBaseDirectory();
        std::string base;
        ASSERT_TRUE(morna::platform::NameFromSystemPath(MORNA_RUN_DIR, base));
        tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(base.c_str());
        morna::platform::SetOutputBackend(morna::platform::OutputBackend::kManual);
    }
    static void TearDownTestSuite() {
        morna::platform::SetOutputBackend(morna::platform::OutputBackend::kDevice);
        tovarineGameSDK3rd::Auxiliary::CFile::SetBaseDirectory(saved_);
    }

    static inline tovarineGameSDK3rd::VTL::VTLstring saved_;
    static inline dg::SoundBook effects_;
    static inline dg::MusicBook music_;
};

TEST_F(GeneratedSounds, TwoRunsWriteTheBytesOfTheCommittedManifest) {
    morna::test::ExpectRemadeAsCommitted({&effects_, &music_}, effects_.Ids().size() + music_.Ids().size());
}

// Every effect through the game's list: a static wave sound of its recipe's length, whose
// stream reads back the synth's samples at 22,050 Hz mono 16-bit, peaking at -6 dBFS
// (-10 for the loops, which hold whole periods).
TEST_F(GeneratedSounds, EffectsLoadThroughTheSoundEffectList) {
    MM::CSoundFactory factory;
    KB::CSEList& list = *KB::GetSEList();
    list.Load(KB::SoundFactoryRef(&factory, false));
    for (const auto& [id, name] : effects_.ReadList()) {
        const std::vector<int16_t> samples = effects_.Samples(id);
        const auto sound = list.GetLoader()->GetSound(id);
        ASSERT_EQ(sound->GetType(), MM::kWaveSound) << name;
        // The static buffer is cut to whole ms of the stream, and its length again to whole ms.
        EXPECT_NEAR(sound->GetLength(), samples.size() * 1000.0 / dg::kSoundRate, 2.0) << name;

        MM::CWaveStream stream;
        ASSERT_EQ(stream.Open(("data\\se\\" + name).c_str()), 0) << name;
        const auto* f = stream.GetFormat();
        EXPECT_EQ(std::tuple(f->channels, f->samplesPerSec, f->bitsPerSample), std::tuple(1, 22050u, 16)) << name;
        std::vector<int16_t> read(samples.size() + 1);
        ASSERT_EQ(stream.Read(read.data(), static_cast<uint32_t>(read.size() * 2)), samples.size() * 2) << name;
        read.pop_back();
        EXPECT_EQ(read, samples) << name;

        const dg::Effect& recipe = effects_.Recipe(id);
        int peak = 0;
        for (int16_t v : samples) peak = std::max(peak, std::abs(int{v}));
        EXPECT_EQ(peak, static_cast<int>(std::lround(32767 * std::pow(10.0, (recipe.loop ? -10 : -6) / 20.0)))) << name;
        if (recipe.loop) {
            // One sample longer, the loop goes on into its own first sample.
            std::vector<dg::Tone> longer = recipe.tones;
            for (dg::Tone& t : longer) t.seconds += 1.0 / dg::kSoundRate;
            morna::datagen::Random noise(0);
            const std::vector<int16_t> more = dg::Finish(dg::MixTones(longer, noise), -10);
            ASSERT_EQ(more.size(), samples.size() + 1) << name;
            EXPECT_EQ(std::vector<int16_t>(more.begin(), more.end() - 1), samples) << name;
            EXPECT_NEAR(more.back(), samples.front(), 1) << name;
        }
    }
    KB::DestroySEList();
}

// Every track through the music player's loader (streaming WAV, the MIDI file through the MIDI
// device when the machine has a SoundFont) with the design's length, and its loop points.
TEST_F(GeneratedSounds, MusicLoadsThroughTheMusicListWithItsLoopPoints) {
    MM::CSoundFactory factory;
    KB::GetBGMPlayer()->Initialize(KB::SoundFactoryRef(&factory, false));
    KB::LoopPoints loops;
    ASSERT_TRUE(KB::ReadLoopPoints("data\\music\\loop.txt", loops));
    ASSERT_EQ(loops.size(), dg::TrackStyles().size());
    for (const dg::TrackStyle& s : dg::TrackStyles()) {
        MM::CSoundLoader& loader = *KB::GetMusicLoader()->GetLoader();
        ASSERT_EQ(loader.Load(s.track), 0) << s.track;
        const auto sound = loader.GetSound(s.track);
        if (!s.midi) {
            ASSERT_EQ(sound->GetType(), MM::kWaveSound) << s.track;
            EXPECT_EQ(sound->GetLength(), dg::LengthMs(s)) << s.track;
        } else if (MM::ProbeDirectMusic()) {
            EXPECT_EQ(sound->GetLength(), dg::LengthMs(s));
        }
        const auto [start, end] = loops.at(s.track);
        EXPECT_EQ(std::tuple(start, end), std::tuple(dg::LoopStartMs(s), dg::LoopEndMs(s))) << s.track;
        EXPECT_TRUE(start % 20 == 0 && end % 20 == 0 && end < dg::LengthMs(s)) << s.track;
    }
    KB::DestroyBGMPlayer();
    KB::DestroyMusicLoader();
}

// The MIDI track read back and played by the game's sequencer: its length, and every composed
// note sounding on its part's channel after that part's program.
TEST_F(GeneratedSounds, TheMidiTrackPlaysItsNotesOnTheirChannels) {
    const dg::TrackStyle& s = dg::TrackStyles().back();
    ASSERT_TRUE(s.midi);
    const std::string bytes = morna::test::FileText(std::string(MORNA_RUN_DIR) + "/data/music/bgm10.mid");
    std::string why;
    const auto song = morna::platform::MidiSong::Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &why);
    ASSERT_TRUE(song) << why;
    EXPECT_EQ(song->LengthMs(), dg::LengthMs(s));

    struct Counter : morna::platform::MidiSink {
        void Render(uint32_t) override {}
        void Channel(uint8_t status, uint8_t data1, uint8_t velocity) override {
            if ((status & 0xF0) == 0xC0) programs.push_back({status & 0x0F, data1});
            if ((status & 0xF0) == 0x90 && velocity > 0) notes[status & 0x0F]++;
        }
        void SysEx(const uint8_t*, uint32_t) override {}
        void ReleaseNotes() override {}
        void Reset() override {}
        std::vector<std::pair<int, int>> programs;  // channel, program
        std::map<int, int> notes;
    } sink;
    morna::platform::MidiSequencer sequencer;
    sequencer.Start(song, 0, false, sink);
    for (int i = 0; i < 1000 && !sequencer.Render(44100, sink); ++i) {
    }
    std::map<int, int> composed;
    for (const dg::Note& n : dg::Compose(s)) {
        composed[n.part == dg::Part::kLead ? 0 : n.part == dg::Part::kBass ? 1 : n.part == dg::Part::kChord ? 2 : 9]++;
    }
    EXPECT_EQ(sink.notes, composed);
    EXPECT_EQ(sink.programs, (std::vector<std::pair<int, int>>{{0, 73}, {1, 32}, {2, 48}}));  // flute, bass, strings
}

}  // namespace
