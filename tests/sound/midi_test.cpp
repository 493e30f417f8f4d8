#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/midi_file.h"
#include "platform/midi_mci.h"
#include "platform/midi_sequencer.h"
#include "sound/midi_output.h"
#include "sound/sound_factory.h"
#include "tests/common/log_capture.h"
#include "tests/sound/midi_songs.h"
#include "tests/sound/mixer_fixture.h"
#include "tests/sound/stream_helpers.h"

namespace {

using namespace tovarineGameSDK3rd::Multimedia;
using morna::platform::MidiSong;
using morna::test::MidiTrack;
using morna::tools::Bytes;
using morna::tools::MidiFileBytes;
using tovarineGameSDK3rd::VTL::VTLstring;

std::shared_ptr<const MidiSong> Parse(const Bytes& b, std::string* why = nullptr) {
    return MidiSong::Parse(b.data(), b.size(), why);
}

TEST(MidiFile, TempoMapLengthAndMusicTime) {
    auto song = Parse(morna::test::TwoTempoSong());
    ASSERT_TRUE(song);
    EXPECT_EQ(song->LengthMs(), 1250);
    EXPECT_EQ(song->MusicLength(), 2304);
    EXPECT_EQ(song->MusicToUs(1152), 750000);
    EXPECT_EQ(song->UsToMusic(750000), 1152);
    EXPECT_EQ(song->UsToMusic(1125000), 1920);  // half a quarter into the faster stretch
    // The tracks merged in time order: reverb, program, note, off, note, off.
    std::vector<std::pair<int64_t, int>> timeline;
    for (const auto& e : song->Events()) timeline.push_back({e.sample, e.status});
    EXPECT_EQ(timeline, (std::vector<std::pair<int64_t, int>>{
                            {0, 0xB0}, {0, 0xC0}, {0, 0x90}, {22050, 0x80}, {44100, 0x90}, {49612, 0x80}}));

    // SMPTE: 25 frames of 40 ticks, a quarter of music time is 0.5 s.
    MidiTrack t;
    t.Note(0, 0, 60, 100, 10).End(2500);
    auto smpte = Parse(MidiFileBytes(0, 0xE728, {t}));
    ASSERT_TRUE(smpte);
    EXPECT_EQ(smpte->LengthMs(), 2500);
    EXPECT_EQ(smpte->MusicLength(), 3840);

    // Ten minutes at 480 a quarter: music time and microseconds stay exact.
    MidiTrack ten;
    ten.Note(0, 0, 60, 100, 10).End(576000);
    auto longSong = Parse(MidiFileBytes(0, 480, {ten}));
    ASSERT_TRUE(longSong);
    EXPECT_EQ(longSong->LengthMs(), 600000);
    EXPECT_EQ(longSong->MusicToUs(829440), 540'000'000);

    // 32767 ticks a quarter at 1 us a quarter, then 0.5 s a quarter from tick 100: the second
    // stretch begins at 0 us too. Music time read back from its microseconds never runs ahead.
    MidiTrack fine;
    fine.Tempo(0, 1).Tempo(100, 500000).Note(0, 0, 60, 100, 10).End(65534);
    auto fineSong = Parse(MidiFileBytes(0, 0x7FFF, {fine}));
    ASSERT_TRUE(fineSong);
    EXPECT_EQ(fineSong->UsToMusic(0), 0);
    for (int64_t m = 0; m <= fineSong->MusicLength(); ++m) {
        ASSERT_LE(fineSong->UsToMusic(fineSong->MusicToUs(m)), m) << m;
    }
}

TEST(MidiFile, RefusesDamagedAndUnplayableFiles) {
    const Bytes good = morna::test::TwoTempoSong();
    auto with = [&](size_t at, std::vector<uint8_t> bytes) {
        Bytes b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    // The second track's body: delta 0, B0 5B 00, ...
    const size_t second = static_cast<size_t>(std::search(good.begin() + 14, good.end(), good.begin() + 14, good.begin() + 18) - good.begin());
    const size_t body = static_cast<size_t>(std::search(good.begin() + second + 1, good.end(), good.begin() + 14, good.begin() + 18) - good.begin()) + 8;
    MidiTrack huge;
    for (int i = 0; i < 40; ++i) huge.Tempo(int64_t{i} * 0x0FFFFFFF, 0xFFFFFF);
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"not a MIDI file", Bytes(good.begin() + 1, good.end())},
        {"format 2 or unknown", with(9, {2})},
        {"damaged track count", with(10, {0, 0})},
        {"bad division", with(12, {0, 0})},
        {"bad division", with(12, {0xE6, 40})},                      // 26 frames a second
        {"missing track", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(body) - 8)},
        {"chunk runs past the end", Bytes(good.begin(), good.end() - 1)},
        {"damaged track", with(body + 2, {0x80})},              // a status where data belongs
        {"damaged track", with(body, {0x80, 0x80, 0x80, 0x80})},  // a five-byte delta
        {"damaged track", with(body + 1, {0x5B})},              // running status before any status
        {"damaged track", with(body + 1, {0xF4})},              // no such event in a file
        {"too long", MidiFileBytes(0, 1, {huge})},
    };
    for (const auto& [reason, bytes] : cases) {
        std::string why;
        EXPECT_FALSE(Parse(bytes, &why)) << reason;
        EXPECT_EQ(why, reason);
    }
}

// Records what the sequencer sends, at the frame where it is sent.
struct RecordingSink : morna::platform::MidiSink {
    int64_t at = 0;
    std::vector<std::string> log;
    void Add(const char* format, int a, int b, int c) {
        char line[64];
        std::snprintf(line, sizeof line, format, a, b, c);
        log.push_back(std::to_string(at) + " " + line);
    }
    void Render(uint32_t frames) override { at += frames; }
    void Channel(uint8_t s, uint8_t d1, uint8_t d2) override { Add("%02X %d %d", s, d1, d2); }
    void SysEx(const uint8_t* data, uint32_t size) override { Add("sysex %02X %d%c", data[0], int(size), ' '); }
    void ReleaseNotes() override { Add("release%c%c%c", ' ', ' ', ' '); }
    void Reset() override { Add("reset%c%c%c", ' ', ' ', ' '); }
};

TEST(MidiSequencer, ChasesTheStateBeforeItsStartAndSendsEachEventAtItsSample) {
    MidiTrack t;
    t.Tempo(0, 500000).Tempo(192, 250000).Program(0, 1, 5).Note(0, 1, 60, 90, 96).Control(96, 1, 7, 80);
    t.PitchBend(144, 1, 9000).SysEx(150, {0x7E, 0x7F, 0x09, 0x01}).Note(192, 1, 64, 90, 48).End(288);
    auto song = Parse(MidiFileBytes(0, 96, {t}));
    ASSERT_TRUE(song);
    RecordingSink sink;
    morna::platform::MidiSequencer seq;
    seq.Start(song, 33075, false, sink);  // tick 144
    EXPECT_FALSE(seq.Render(20000, sink));
    EXPECT_TRUE(seq.Render(2100, sink));  // the end (sample 55125) comes here, once
    EXPECT_FALSE(seq.Render(100, sink));
    EXPECT_FALSE(seq.IsPlaying());
    EXPECT_EQ(sink.log, (std::vector<std::string>{"0 reset   ", "0 C1 5 0", "0 B1 7 80", "0 E1 40 70",
                                                  "1378 sysex 7E 4 ", "11025 91 64 90", "16537 81 64 0",
                                                  "22050 release   "}));

    // A loop starts again from the beginning, without a reset.
    sink.log.clear();
    sink.at = 0;
    seq.Start(song, 44100, true, sink);
    seq.Render(11025 + 1, sink);
    EXPECT_TRUE(seq.IsPlaying());
    EXPECT_EQ(seq.Position(), 1);
    EXPECT_EQ(std::vector<std::string>(sink.log.begin() + 5, sink.log.end()),
              (std::vector<std::string>{"0 91 64 90", "5512 81 64 0", "11025 C1 5 0", "11025 91 60 90"}));
}

// The songs play on real synths through the manual output.
class MidiOutputTest : public morna::test::MixerTest {
protected:
    VTLstring Put(const std::string& name, const Bytes& bytes) {
        EXPECT_TRUE(morna::tools::SaveBytes(folder_.Path() + "/" + name, bytes));
        return name.c_str();
    }
    std::vector<int16_t> Play(ISound& s, uint32_t frames) {
        EXPECT_EQ(s.Play(), 0);
        return Render(frames);
    }

    // A song of a factory whose switch is keep: 300 ms, then 750 ms with the application
    // away (when away), then 100 ms back. The samples, and the position at the return.
    std::pair<std::vector<int16_t>, int32_t> AwayAndBack(int32_t code, bool keep, bool away) {
        CSoundFactory factory;
        factory.GetSoundParameter()->SetGlobalFocus(keep);
        const auto s = factory.InnerCreateSound(code);
        EXPECT_EQ(s->Load("a.mid"), 0);
        std::vector<int16_t> out = Play(*s, 13230);
        morna::platform::SetApplicationActive(!away);
        const std::vector<int16_t> meanwhile = Render(33075);
        morna::platform::SetApplicationActive(true);
        const int32_t at = s->GetCurrentPos();
        const std::vector<int16_t> back = Render(4410);
        out.insert(out.end(), meanwhile.begin(), meanwhile.end());
        out.insert(out.end(), back.begin(), back.end());
        return {out, at};
    }

    // Away from the application a song runs on unheard (both notes fall in that stretch), unless
    // the factory's switch keeps it heard; back, it goes on where it got to.
    void ExpectUnheardWhileAway(int32_t code) {
        Put("a.mid", morna::test::TwoTempoSong());
        const auto [heard, at] = AwayAndBack(code, false, false);
        EXPECT_NEAR(at, 1050, 2);
        const size_t away = 2 * 13230, back = away + 2 * 33075;
        for (auto [from, to] : {std::pair{size_t{0}, away}, {away, back}, {back, heard.size()}})
            EXPECT_GT(morna::test::Rms(std::vector<int16_t>(heard.begin() + from, heard.begin() + to)), 100.0) << from;
        std::vector<int16_t> muted = heard;
        std::fill(muted.begin() + away, muted.begin() + back, 0);
        EXPECT_EQ(AwayAndBack(code, false, true), std::pair(muted, at));
        EXPECT_EQ(AwayAndBack(code, true, true), std::pair(heard, at));
    }
};

TEST_F(MidiOutputTest, DirectMusicPositionsInMusicTime) {
    CDirectMusic music(&device_);
    ASSERT_EQ(music.GetStatus(), 0);
    CMIDIOutputDM dm(&music);
    EXPECT_EQ(dm.Play(), -2);
    ASSERT_EQ(dm.Load(Put("a.mid", morna::test::TwoTempoSong())), 0);
    EXPECT_EQ(dm.GetLength(), 1250);
    EXPECT_EQ(dm.GetCurrentPos(), -2);  // not playing
    ASSERT_EQ(dm.Play(), 0);
    EXPECT_EQ(dm.SetCurrentPos(625), 0);
    EXPECT_EQ(dm.GetSavedPosition(), 1152);
    EXPECT_EQ(dm.GetCurrentPos(), 750);
    Render(2205);  // less the wait for the synth's block
    EXPECT_NEAR(dm.GetCurrentPos(), 800, 2);

    // Nested pauses; a loop flag set while playing waits for the next start.
    dm.Pause();
    dm.Pause();
    EXPECT_EQ(dm.Replay(), 0);
    EXPECT_FALSE(dm.IsPlay());
    EXPECT_EQ(dm.Replay(), 0);
    EXPECT_TRUE(dm.IsPlay());
    EXPECT_NEAR(dm.GetCurrentPos(), 800, 2);
    dm.SetLoopPlay(true);
    Render(22050);
    EXPECT_FALSE(dm.IsPlay());
    ASSERT_EQ(dm.Play(), 0);
    Render(55125 + 4410);
    EXPECT_TRUE(dm.IsPlay());
    EXPECT_EQ(dm.GetSeek(), 153);  // 100 ms into the second pass

    // Ten minutes at 480 a quarter: the seek's product needs 64 bits.
    MidiTrack ten;
    ten.Note(0, 0, 60, 100, 10).End(576000);
    ASSERT_EQ(dm.Load(Put("ten.mid", MidiFileBytes(0, 480, {ten}))), 0);
    ASSERT_EQ(dm.Play(), 0);
    EXPECT_EQ(dm.SetCurrentPos(540000), 0);
    EXPECT_EQ(dm.GetSavedPosition(), 829440);
    EXPECT_EQ(dm.GetCurrentPos(), 540000);
    dm.Release();
    EXPECT_EQ(dm.Play(), -2);
}

TEST_F(MidiOutputTest, DirectMusicSharesItsVolumeAndChasesASeek) {
    // The same note after a program change, and with the program set from the
    // start: seeking past the change, both play the new program.
    MidiTrack late, early;
    late.Control(0, 0, 91, 0).Program(0, 0, 0).Program(96, 0, 73).Note(192, 0, 69, 100, 96).End(384);
    early.Control(0, 0, 91, 0).Program(0, 0, 73).Note(192, 0, 69, 100, 96).End(384);
    auto fromSeek = [&](const MidiTrack& t) {
        CDirectMusic fresh(&device_);
        CMIDIOutputDM s(&fresh);
        EXPECT_EQ(s.Load(Put("s.mid", MidiFileBytes(0, 96, {t}))), 0);
        s.Play();
        s.SetCurrentPos(750);
        return morna::test::FromFirstSound(Render(44100));
    };
    const auto fromLate = fromSeek(late), fromEarly = fromSeek(early);
    EXPECT_GT(morna::test::Rms(fromEarly), 100.0);
    EXPECT_EQ(fromLate, fromEarly);
    ExpectUnheardWhileAway(kTypeMIDIDirectMusic);  // while no other synth sounds

    CDirectMusic music(&device_);
    CMIDIOutputDM a(&music), b(&music);
    ASSERT_EQ(a.Load(Put("a.mid", morna::test::TwoTempoSong())), 0);
    ASSERT_EQ(b.Load("a.mid"), 0);
    // One song's volume is the synth's: it changes the other's loudness.
    const double loud = morna::test::Rms(Play(b, 66150));
    EXPECT_EQ(a.SetVolume(-600), 0);
    EXPECT_EQ(b.GetVolume(), -600);
    const double quiet = morna::test::Rms(Play(b, 66150));
    EXPECT_NEAR(quiet / loud, std::pow(10.0, -0.3), 0.01);
}

TEST_F(MidiOutputTest, WithoutTheProbeOrASoundFontMidiFails) {
    CDirectMusic music(&device_);
    CMIDIOutputDM dm(&music);
    ASSERT_EQ(dm.Load(Put("a.mid", morna::test::TwoTempoSong())), 0);
    ASSERT_EQ(dm.Play(), 0);
    morna::platform::ForceMidiProbe(morna::platform::MidiProbe::kDirectMusic, 0);
    EXPECT_FALSE(dm.IsPlay());
    for (int32_t r : {dm.Load("a.mid"), dm.Play(), dm.Pause(), dm.Replay(), dm.Stop(), dm.SetCurrentPos(0),
                      dm.GetCurrentPos(), dm.GetLength(), dm.SetVolume(0), dm.GetVolume()})
        EXPECT_EQ(r, -1);
    EXPECT_EQ(dm.SetLoopPlay(true), 0);
    EXPECT_EQ(dm.Release(), 0);

    // No SoundFont in the folder: the probes fail and no synth starts.
    morna::test::TempBaseFolder empty("morna-nosf2");
    morna::platform::SetSoundFontFolder(empty.Path());
    for (auto p : {morna::platform::MidiProbe::kDirectMusic, morna::platform::MidiProbe::kMidiMapper}) {
        morna::platform::ForceMidiProbe(p, -1);
        EXPECT_FALSE(morna::platform::ProbeMidi(p));
        morna::platform::ForceMidiProbe(p, -1);
    }
    EXPECT_EQ(CDirectMusic(&device_).GetStatus(), 1);
    morna::platform::SetSoundFontFolder("/usr/share/sounds/sf2");
}

TEST_F(MidiOutputTest, MciPausesResumesAndLoopsAtTheEndNotice) {
    morna::test::LogCapture log;
    CMIDIOutputMCI mci;
    ASSERT_EQ(mci.Load(Put("a.mid", morna::test::TwoTempoSong())), 0);
    EXPECT_EQ(mci.GetCurrentPos(), -1);  // no device before the first Play
    EXPECT_EQ(mci.GetLength(), -1);
    Play(mci, 22050);
    EXPECT_EQ(mci.GetLength(), 1250);
    EXPECT_EQ(mci.GetCurrentPos(), 500);
    mci.Pause();
    mci.Pause();
    mci.Replay();
    EXPECT_FALSE(mci.IsPlay());
    Render(4410);
    mci.Replay();
    EXPECT_TRUE(mci.IsPlay());
    EXPECT_EQ(mci.GetCurrentPos(), 500);
    mci.Stop();
    mci.Replay();
    EXPECT_EQ(mci.GetCurrentPos(), 500);
    mci.Stop();
    mci.Play();
    EXPECT_EQ(mci.GetCurrentPos(), 0);
    EXPECT_EQ(mci.SetCurrentPos(1000), 0);
    EXPECT_TRUE(mci.IsPlay());
    EXPECT_EQ(mci.GetCurrentPos(), 1000);

    // The end notice: other ids and other notices pass; with loop it restarts.
    const int32_t id = mci.GetDeviceId();
    Render(11025 + 64);
    EXPECT_EQ(mci.GetCurrentPos(), 1250);
    EXPECT_EQ(mci.WndProc(0, morna::platform::MM_MCINOTIFY, 1, id + 1), 0);
    EXPECT_EQ(mci.WndProc(0, morna::platform::MM_MCINOTIFY, 2, id), 0);
    mci.SetLoopPlay(true);
    EXPECT_EQ(mci.WndProc(0, morna::platform::MM_MCINOTIFY, 1, id), 1);
    EXPECT_TRUE(mci.IsPlay());
    EXPECT_EQ(mci.GetCurrentPos(), 0);
    mci.SetLoopPlay(false);
    EXPECT_EQ(mci.WndProc(0, morna::platform::MM_MCINOTIFY, 1, id), 1);
    EXPECT_FALSE(mci.IsPlay());
    EXPECT_EQ(mci.GetPauseCount(), 1);

    // A lost position still stops the song (answering 2), so it can resume.
    mci.Play();
    morna::platform::FailMidiSequencerStatusForTest();
    EXPECT_EQ(mci.Stop(), 2);
    EXPECT_FALSE(mci.IsPlay());
    EXPECT_EQ(mci.Replay(), 0);
    EXPECT_TRUE(mci.IsPlay());
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CMIDIOutput::MIDIデバイスステータスが読み出せない。"});
}

TEST_F(MidiOutputTest, MciPlaysATemporaryCopyThatReleaseDeletes) {
    const Bytes song = morna::test::TwoTempoSong();
    CMIDIOutputMCI mci;
    ASSERT_EQ(mci.Load(morna::test::MemoryName(song).c_str()), 0);
    std::string path;
    ASSERT_TRUE(morna::platform::SystemPathFromName(mci.GetFileName().c_str(), path));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(mci.Play(), 0);
    EXPECT_GT(morna::test::Rms(Render(4410)), 100.0);
    EXPECT_EQ(mci.Release(), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(mci.GetCurrentPos(), -1);
    ExpectUnheardWhileAway(kTypeMIDIMCI);
}

}  // namespace
