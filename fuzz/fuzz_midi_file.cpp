// Reads arbitrary bytes as a Standard MIDI File. A song that loads is checked
// (events in time order within its length, music time and microseconds
// converting back and forth without running backwards) and sequenced without a
// synth: from its start to its end, then from a point inside it, then once
// round its loop. Each pass is a bounded number of steps.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/midi_file.h"
#include "platform/midi_sequencer.h"

using morna::platform::MidiSong;

namespace {

// Counts what it is sent; renders nothing.
struct CountingSink : morna::platform::MidiSink {
    int64_t frames = 0;
    int64_t messages = 0;
    void Render(uint32_t n) override { frames += n; }
    void Channel(uint8_t, uint8_t, uint8_t) override { ++messages; }
    void SysEx(const uint8_t*, uint32_t) override { ++messages; }
    void ReleaseNotes() override {}
    void Reset() override {}
};

// Says which check failed: an abort alone names no line.
void Check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_midi_file: the check on line %d failed\n", line);
    std::abort();
}

// Renders until the song ends, or once round its loop; a looping song is
// rendered a length at a time, so that no call wraps more than twice.
void Run(const std::shared_ptr<const MidiSong>& song, int64_t start, bool loop) {
    CountingSink sink;
    morna::platform::MidiSequencer seq;
    seq.Start(song, start, loop, sink);
    const int64_t length = song->LengthSamples();
    const int64_t budget = int64_t(song->Events().size()) + 8;
    int64_t steps = 0;
    int64_t rendered = 0;
    while (seq.IsPlaying() && rendered <= length) {
        const uint32_t n = loop ? uint32_t(std::clamp<int64_t>(length, 1, 1 << 30)) : 1u << 30;
        seq.Render(n, sink);
        rendered += n;
        Check(++steps <= budget + length / n + 2);
    }
    Check(loop || !seq.IsPlaying());
    Check(seq.Position() >= 0 && seq.Position() <= length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto song = MidiSong::Parse(data, size);
    if (!song) return 0;
    int64_t last = 0;
    for (const auto& e : song->Events()) {
        Check(e.sample >= last && e.sample <= song->LengthSamples());
        Check(e.status == 0xF0 ? e.offset + uint64_t(e.size) <= size : e.status >= 0x80 && e.status < 0xF0);
        last = e.sample;
    }
    Check(song->LengthMs() >= 0);
    const int64_t music = song->MusicLength();
    Check(song->MusicToUs(music / 2) <= song->MusicToUs(music) + 1);
    Check(song->UsToMusic(song->MusicToUs(music / 3)) <= music / 3);
    Run(song, 0, false);
    Run(song, song->LengthSamples() / 2, false);
    Run(song, 0, true);
    return 0;
}
