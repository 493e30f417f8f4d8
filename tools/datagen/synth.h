#pragma once
// The sound synth of the data set: naive oscillators (the chip sound is wanted), linear pitch
// paths with vibrato, one-pole filters, the envelope rule, mixing, peak normalisation, a hard
// limit at -1 dBFS and rounding to 16 bits. Mono at 22,050 Hz, as the game's sounds are.
// Deterministic: plain double arithmetic in a fixed order, noise from the caller's generator.
#include <cstdint>
#include <vector>

#include "tools/datagen/raster.h"

namespace morna::datagen {

constexpr int kSoundRate = 22050;

enum class Wave { kSquare, kPulse25, kTriangle, kSine, kNoise };

// One voice of a sound.
struct Tone {
    Wave wave = Wave::kSine;
    std::vector<double> hz{440};  // one pitch, or the corners of a linear path spread evenly over the time
    double seconds = 0.1;
    double start = 0;             // s from the sound's start
    bool flat = false;            // no envelope: full level throughout
    double decayDb = 40;          // the envelope: 5 ms attack, then exponential decay to -decayDb at the end
    double release = 0;           // s of linear fade at the end (clicks in music)
    double vibratoHz = 0, vibratoDepth = 0;  // depth in Hz
    double pulseHz = 0, pulseDepth = 0;      // amplitude pulse: 1 - depth/2 + depth/2 cos(2 pi f t)
    double highPass = 0, lowPass = 0;        // one-pole cutoffs in Hz; 0: none
    double lowPassEnd = 0;                   // when set, both cutoffs move linearly to it (x its ratio)
    double gain = 1;

    Tone& Flat() { flat = true; return *this; }
    Tone& At(double s) { start = s; return *this; }
    Tone& Gain(double g) { gain = g; return *this; }
};

inline Tone Voice(Wave wave, std::vector<double> hz, double seconds) {
    Tone t;
    t.wave = wave;
    t.hz = std::move(hz);
    t.seconds = seconds;
    return t;
}

double KeyHz(int key);  // MIDI key number to Hz, 69 = 440
int SampleAt(double seconds);  // the sample that starts at a time, rounded

// Adds a tone into mix from its start (mix grows to hold it).
void AddTone(std::vector<double>& mix, const Tone& tone, Random& noise);
// Mixes tones into one signal as long as the latest end.
std::vector<double> MixTones(const std::vector<Tone>& tones, Random& noise);
// Scales so the loudest sample sits at peakDb dBFS (silence stays silent), limits at -1 dBFS
// and rounds to 16-bit samples.
std::vector<int16_t> Finish(std::vector<double> mix, double peakDb);
// 16-bit mono PCM samples as a RIFF WAVE file at the synth's rate.
std::vector<uint8_t> WaveBytes(const std::vector<int16_t>& samples);

}  // namespace morna::datagen
