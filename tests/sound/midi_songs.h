// Test helper: the songs the MIDI tests play, made by the MIDI writer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/midi/midi_writer.h"

namespace morna::test {

using morna::tools::MidiTrack;

// Division 96: two quarters at 500,000 us, then one at 250,000 (1250 ms); the
// notes on a second track, no reverb.
inline morna::tools::Bytes TwoTempoSong(int program = 73) {
    MidiTrack conductor, notes;
    conductor.Tempo(0, 500000).Tempo(192, 250000).End(288);
    notes.Control(0, 0, 91, 0).Program(0, 0, program).Note(0, 0, 69, 100, 96).Note(192, 0, 72, 100, 48);
    return morna::tools::MidiFileBytes(1, 96, {conductor, notes});
}

// From the first frame that is not silent (a song starts on the synth's block).
inline std::vector<int16_t> FromFirstSound(const std::vector<int16_t>& s) {
    const size_t first = static_cast<size_t>(std::find_if(s.begin(), s.end(), [](int16_t v) { return v != 0; }) - s.begin());
    return std::vector<int16_t>(s.begin() + static_cast<std::ptrdiff_t>(first & ~size_t{1}), s.end());
}

inline double Rms(const std::vector<int16_t>& s, size_t from = 0) {
    double sum = 0;
    for (size_t i = from; i < s.size(); ++i) sum += double(s[i]) * s[i];
    return s.size() > from ? std::sqrt(sum / double(s.size() - from)) : 0.0;
}

}  // namespace morna::test
