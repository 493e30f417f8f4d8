// The music: a step sequencer of sixteenth notes over fixed chord progressions (bass on roots
// and fifths, a lead of chord tones and passing notes in a 2-bar call and a 2-bar answer made
// by the track's seed, drums by feel), rendered by the synth or written as a MIDI file.
#include <algorithm>
#include <cstdlib>

#include "foundation/auxiliary/file.h"
#include "tools/datagen/sounds.h"
#include "tools/midi/midi_writer.h"

namespace morna::datagen {
namespace {

constexpr int kStepsPerBar = 16;
constexpr int kTicksPerStep = 120;  // 480 a quarter note

const int kScales[3][7] = {{0, 2, 4, 5, 7, 9, 11}, {0, 2, 3, 5, 7, 8, 10}, {0, 2, 3, 5, 7, 9, 10}};
const std::vector<int> kProgressions[4] = {{0, 4, 5, 3}, {0, 5, 2, 6}, {0, 3, 4, 0}, {1, 4, 0, 5}};

// The key of a scale degree counted from the tonic (any integer, 7 a step of an octave).
int DegreeKey(const TrackStyle& s, int degree) {
    const int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
    return s.tonic + 12 * octave + kScales[static_cast<int>(s.mode)][degree - 7 * octave];
}

int ChordOfBar(const TrackStyle& s, int bar) {
    if (bar < s.introBars) return 0;
    const std::vector<int>& p = kProgressions[s.progression];
    return p[(bar - s.introBars) % p.size()];
}

struct Hit {
    int step, length, which;  // which: 0 root, 1 fifth
};

std::vector<Hit> BassPattern(Feel f) {
    switch (f) {
        case Feel::kCalm: return {{0, 4, 0}, {4, 4, 1}, {8, 4, 0}, {12, 4, 1}};
        case Feel::kDrive: return {{0, 2, 0}, {2, 2, 0}, {4, 2, 1}, {6, 2, 0}, {8, 2, 0}, {10, 2, 0}, {12, 2, 1}, {14, 2, 0}};
        case Feel::kBoss: return {{0, 2, 0}, {2, 2, 0}, {4, 2, 0}, {6, 2, 1}, {8, 2, 0}, {10, 2, 0}, {12, 2, 1}, {14, 2, 1}};
        case Feel::kSlow: break;
    }
    return {{0, 8, 0}, {8, 8, 1}};
}

struct DrumSteps {
    std::vector<int> kick, snare, hat;
};

DrumSteps Drums(Feel f) {
    switch (f) {
        case Feel::kCalm: return {{0, 8}, {4, 12}, {2, 6, 10, 14}};
        case Feel::kDrive: return {{0, 6, 8}, {4, 12}, {0, 2, 4, 6, 8, 10, 12, 14}};
        case Feel::kBoss: return {{0, 3, 8, 11}, {4, 12}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};
        case Feel::kSlow: break;
    }
    return {{0}, {8}, {0, 4, 8, 12}};
}

// Note lengths (steps) a lead draws from.
std::vector<int> LeadLengths(Feel f) {
    switch (f) {
        case Feel::kCalm: return {2, 4, 4, 6, 8};
        case Feel::kDrive:
        case Feel::kBoss: return {2, 2, 4, 4, 6};
        case Feel::kSlow: break;
    }
    return {4, 8, 8, 12};
}

// The chord tone (degree) nearest to `from`, one of the two nearest drawn.
int NearChordTone(int chord, int from, Random& random) {
    std::vector<int> candidates;
    for (int octave = -14; octave <= 14; octave += 7) {
        for (int third = 0; third < 3; ++third) candidates.push_back(chord + 2 * third + octave);
    }
    std::sort(candidates.begin(), candidates.end(), [from](int a, int b) {
        return std::abs(a - from) != std::abs(b - from) ? std::abs(a - from) < std::abs(b - from) : a < b;
    });
    const int pick = random.Below(2);
    return candidates[pick];
}

// Two bars of lead from `bar` on, on a rhythm (step, length) within the two bars; the answer
// ends on its last chord's root.
void LeadBars(const TrackStyle& s, int bar, const std::vector<std::pair<int, int>>& rhythm, bool answer, Random& random,
              std::vector<Note>& out) {
    int degree = 4;  // around the fifth above the tonic
    for (size_t i = 0; i < rhythm.size(); ++i) {
        const auto [step, length] = rhythm[i];
        const int chord = ChordOfBar(s, bar + step / kStepsPerBar);
        if (answer && i + 1 == rhythm.size()) {
            degree = NearChordTone(chord, degree, random);
            degree = chord + 7 * ((degree - chord) / 7);  // the root in that octave
        } else if (step % 4 == 0) {
            degree = NearChordTone(chord, degree, random);
        } else {
            const int move = random.Below(2) == 0 ? -1 : 1;  // a passing note
            degree += move;
        }
        degree = std::clamp(degree, -2, 10);
        const int velocity = step % 4 == 0 ? 100 : 84;
        out.push_back({bar * kStepsPerBar + step, length, DegreeKey(s, degree), Part::kLead, velocity});
    }
}

std::vector<std::pair<int, int>> LeadRhythm(Feel f, Random& random) {
    const std::vector<int> lengths = LeadLengths(f);
    std::vector<std::pair<int, int>> rhythm;
    for (int step = 0; step < 2 * kStepsPerBar;) {
        const int length = std::min(lengths[random.Below(static_cast<int>(lengths.size()))], 2 * kStepsPerBar - step);
        const bool rest = step > 0 && random.Below(6) == 0;
        if (!rest) rhythm.push_back({step, length});
        step += length;
    }
    return rhythm;
}

}  // namespace

const std::vector<TrackStyle>& TrackStyles() {
    static const std::vector<TrackStyle> styles = {
        {0, 120, 72, Mode::kMajor, 2, 8, 0, Feel::kCalm, false},   // title
        {1, 120, 72, Mode::kMajor, 1, 2, 0, Feel::kDrive, false},  // stage start, after a boss
        {2, 150, 67, Mode::kMajor, 1, 8, 3, Feel::kDrive, false},  // stage 0
        {3, 150, 64, Mode::kMinor, 1, 8, 1, Feel::kBoss, false},   // boss 0
        {4, 125, 74, Mode::kDorian, 1, 8, 2, Feel::kDrive, false}, // stage 1
        {5, 150, 69, Mode::kMinor, 1, 8, 2, Feel::kBoss, false},   // boss 1
        {6, 120, 65, Mode::kMajor, 1, 8, 0, Feel::kDrive, false},  // stage 2
        {7, 150, 72, Mode::kMinor, 1, 8, 1, Feel::kBoss, false},   // boss 2
        {8, 100, 74, Mode::kMinor, 2, 8, 2, Feel::kBoss, false},   // boss 3
        {9, 100, 72, Mode::kMajor, 0, 8, 3, Feel::kSlow, false},   // ending
        {10, 75, 69, Mode::kMinor, 0, 4, 1, Feel::kSlow, true},    // game over
    };
    return styles;
}

int Bars(const TrackStyle& s) { return s.introBars + s.loopBars + 1; }
int32_t LoopStartMs(const TrackStyle& s) { return s.introBars * 240000 / s.tempo; }
int32_t LoopEndMs(const TrackStyle& s) { return (s.introBars + s.loopBars) * 240000 / s.tempo; }
int32_t LengthMs(const TrackStyle& s) { return Bars(s) * 240000 / s.tempo; }

std::vector<Note> Compose(const TrackStyle& s) {
    Random random(0xB6A000u + static_cast<uint32_t>(s.track));
    std::vector<Note> notes;
    const DrumSteps drums = Drums(s.feel);
    const int bassTonic = s.tonic - 24;
    for (int bar = 0; bar < s.introBars + s.loopBars; ++bar) {
        const int at = bar * kStepsPerBar;
        const int chord = ChordOfBar(s, bar);
        const int root = bassTonic + (DegreeKey(s, chord) - s.tonic);
        for (const Hit& h : BassPattern(s.feel)) notes.push_back({at + h.step, h.length, root + 7 * h.which, Part::kBass, 96});
        for (int step : drums.kick) notes.push_back({at + step, 2, 36, Part::kKick, 110});
        for (int step : drums.snare) notes.push_back({at + step, 2, 38, Part::kSnare, 96});
        for (int step : drums.hat) notes.push_back({at + step, 1, 42, Part::kHat, step % 4 == 0 ? 80 : 60});
        if (s.midi && bar >= s.introBars) {
            for (int third = 0; third < 3; ++third) notes.push_back({at, kStepsPerBar, DegreeKey(s, chord + 2 * third) - 12, Part::kChord, 64});
        }
    }
    // The lead: per four loop bars a call and its answer on the same rhythm.
    for (int bar = s.introBars; bar < s.introBars + s.loopBars; bar += 4) {
        const std::vector<std::pair<int, int>> rhythm = LeadRhythm(s.feel, random);
        LeadBars(s, bar, rhythm, false, random, notes);
        if (bar + 2 < s.introBars + s.loopBars) LeadBars(s, bar + 2, rhythm, true, random, notes);
    }
    // One more bar, a copy of the loop's first, so that a late jump back is not heard.
    const int first = s.introBars * kStepsPerBar, end = (s.introBars + s.loopBars) * kStepsPerBar;
    const size_t count = notes.size();
    for (size_t i = 0; i < count; ++i) {
        if (notes[i].step >= first && notes[i].step < first + kStepsPerBar) {
            Note copy = notes[i];
            copy.step += end - first;
            notes.push_back(copy);
        }
    }
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.step < b.step; });
    return notes;
}

namespace {

// The synth's voice of a note: pulse lead, triangle bass, square chords, and drums of a
// falling triangle (kick) and high-passed noise (snare, hat).
Tone PartTone(const Note& n, double step) {
    const double level = n.velocity / 127.0, seconds = n.length * step;
    Tone t;
    switch (n.part) {
        case Part::kLead:
            t = Voice(Wave::kPulse25, {KeyHz(n.key)}, seconds).Gain(0.30 * level);
            t.decayDb = 12;
            break;
        case Part::kBass:
            t = Voice(Wave::kTriangle, {KeyHz(n.key)}, seconds).Gain(0.55 * level);
            t.decayDb = 6;
            break;
        case Part::kChord: t = Voice(Wave::kSquare, {KeyHz(n.key)}, seconds).Gain(0.10 * level); break;
        case Part::kKick:
            t = Voice(Wave::kTriangle, {150, 45}, 0.12).Gain(0.9 * level);
            t.decayDb = 30;
            break;
        case Part::kSnare:
            t = Voice(Wave::kNoise, {0}, 0.12).Gain(0.35 * level);
            t.highPass = 1200, t.decayDb = 30;
            break;
        case Part::kHat:
            t = Voice(Wave::kNoise, {0}, 0.04).Gain(0.2 * level);
            t.highPass = 7000, t.decayDb = 30;
            break;
    }
    t.release = 0.01;
    return t.At(n.step * step);
}

}  // namespace

std::vector<int16_t> RenderTrack(const TrackStyle& s) {
    Random noise(0x401CE0u + static_cast<uint32_t>(s.track));
    const double step = 15.0 / s.tempo;  // s a sixteenth
    std::vector<double> mix;
    for (const Note& n : Compose(s)) AddTone(mix, PartTone(n, step), noise);
    mix.resize(static_cast<size_t>(LengthMs(s)) * kSoundRate / 1000, 0.0);
    return Finish(std::move(mix), -3);
}

std::vector<uint8_t> MidiTrackBytes(const TrackStyle& s) {
    const int64_t end = int64_t{Bars(s)} * kStepsPerBar * kTicksPerStep;
    tools::MidiTrack conductor;
    conductor.Tempo(0, 60000000u / static_cast<uint32_t>(s.tempo)).Event(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}).End(end);
    // Lead flute on channel 1, acoustic bass on 2, strings on 3, drums on 10.
    const struct {
        Part part;
        int channel, program;
    } parts[] = {{Part::kLead, 0, 73}, {Part::kBass, 1, 32}, {Part::kChord, 2, 48}, {Part::kKick, 9, -1}};
    std::vector<tools::MidiTrack> tracks{conductor};
    const std::vector<Note> notes = Compose(s);
    for (const auto& p : parts) {
        tools::MidiTrack track;
        if (p.program >= 0) track.Program(0, p.channel, p.program);
        for (const Note& n : notes) {
            const bool drum = n.part == Part::kKick || n.part == Part::kSnare || n.part == Part::kHat;
            if (n.part == p.part || (p.channel == 9 && drum)) {
                track.Note(int64_t{n.step} * kTicksPerStep, p.channel, n.key, n.velocity, int64_t{n.length} * kTicksPerStep - 10);
            }
        }
        tracks.push_back(track.End(end));
    }
    return tools::MidiFileBytes(1, 480, tracks);
}

std::vector<int32_t> MusicBook::Ids() const {
    std::vector<int32_t> ids;
    for (const TrackStyle& s : TrackStyles()) ids.push_back(s.track);
    return ids;
}

bool MusicBook::Make(int32_t id, const std::string& name, std::string& error) {
    const TrackStyle& s = TrackStyles().at(static_cast<size_t>(id));
    const bool midiName = name.size() > 4 && name.compare(name.size() - 4, 4, ".mid") == 0;
    if (midiName != s.midi) {
        error = s.midi ? "the track is a MIDI file" : "the track is a WAV file";
        return false;
    }
    const std::vector<uint8_t> bytes = s.midi ? MidiTrackBytes(s) : WaveBytes(RenderTrack(s));
    tovarineGameSDK3rd::Auxiliary::CFile file;
    if (file.WriteVector(name.c_str(), bytes) == 0) return true;
    error = "cannot write";
    return false;
}

}  // namespace morna::datagen
