#include "tools/datagen/synth.h"

#include <algorithm>
#include <cmath>

#include "tools/wave/wave_writer.h"

namespace morna::datagen {
namespace {

constexpr double kTwoPi = 6.283185307179586;

double Oscillator(Wave wave, double phase, Random& noise) {
    const double f = phase - std::floor(phase);
    switch (wave) {
        case Wave::kSquare: return f < 0.5 ? 1.0 : -1.0;
        case Wave::kPulse25: return f < 0.25 ? 1.0 : -1.0;
        case Wave::kTriangle: return 1.0 - 4.0 * std::fabs(f - 0.5);
        case Wave::kSine: return std::sin(kTwoPi * f);
        case Wave::kNoise: break;
    }
    const double u = noise.Unit();
    return 2.0 * u - 1.0;
}

// The pitch path at u (0 to 1 over the tone): linear between evenly spread corners.
double PathHz(const std::vector<double>& hz, double u) {
    if (hz.size() < 2) return hz.empty() ? 0.0 : hz[0];
    const double x = u * static_cast<double>(hz.size() - 1);
    const size_t k = std::min(static_cast<size_t>(x), hz.size() - 2);
    return hz[k] + (hz[k + 1] - hz[k]) * (x - static_cast<double>(k));
}

double Envelope(const Tone& t, double at) {
    double level = 1;
    if (!t.flat) {
        const double attack = std::min(0.005, t.seconds / 2);
        level = at < attack ? at / attack
                            : std::exp(std::log(std::pow(10.0, -t.decayDb / 20)) * (at - attack) / (t.seconds - attack));
    }
    if (t.release > 0 && at > t.seconds - t.release) level *= std::max(0.0, (t.seconds - at) / t.release);
    if (t.pulseHz > 0) level *= 1 - t.pulseDepth / 2 + t.pulseDepth / 2 * std::cos(kTwoPi * t.pulseHz * at);
    return level;
}

// One-pole coefficient of a cutoff.
double Pole(double hz) { return 1 - std::exp(-kTwoPi * hz / kSoundRate); }

}  // namespace

double KeyHz(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

int SampleAt(double seconds) { return static_cast<int>(std::lround(seconds * kSoundRate)); }

void AddTone(std::vector<double>& mix, const Tone& tone, Random& noise) {
    const int first = SampleAt(tone.start);
    const int count = SampleAt(tone.seconds);
    if (mix.size() < static_cast<size_t>(first + count)) mix.resize(first + count, 0.0);
    double phase = 0, low = 0, high = 0;
    const bool steady = tone.hz.size() == 1 && tone.vibratoHz == 0;
    for (int n = 0; n < count; ++n) {
        const double at = static_cast<double>(n) / kSoundRate;
        const double u = static_cast<double>(n) / count;
        // A steady pitch takes its phase from the sample's number: whole periods then end
        // exactly where the next one starts (the loops rely on it).
        if (steady) phase = tone.hz[0] * n / kSoundRate;
        double x = Oscillator(tone.wave, phase, noise);
        double hz = PathHz(tone.hz, u);
        if (tone.vibratoHz > 0) hz += tone.vibratoDepth * std::sin(kTwoPi * tone.vibratoHz * at);
        phase += hz / kSoundRate;
        const double sweep = tone.lowPassEnd > 0 ? 1 + (tone.lowPassEnd / tone.lowPass - 1) * u : 1;
        if (tone.highPass > 0) {
            high += Pole(tone.highPass * sweep) * (x - high);
            x -= high;
        }
        if (tone.lowPass > 0) {
            low += Pole(tone.lowPass * sweep) * (x - low);
            x = low;
        }
        mix[first + n] += tone.gain * Envelope(tone, at) * x;
    }
}

std::vector<double> MixTones(const std::vector<Tone>& tones, Random& noise) {
    std::vector<double> mix;
    for (const Tone& t : tones) AddTone(mix, t, noise);
    return mix;
}

std::vector<int16_t> Finish(std::vector<double> mix, double peakDb) {
    double peak = 0;
    for (double x : mix) peak = std::max(peak, std::fabs(x));
    const double scale = peak > 0 ? std::pow(10.0, peakDb / 20) / peak : 0;
    const double limit = std::pow(10.0, -1.0 / 20);
    std::vector<int16_t> out(mix.size());
    for (size_t i = 0; i < mix.size(); ++i) {
        const double x = std::clamp(mix[i] * scale, -limit, limit);
        out[i] = static_cast<int16_t>(std::lround(x * 32767));
    }
    return out;
}

std::vector<uint8_t> WaveBytes(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> data(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        const uint16_t s = static_cast<uint16_t>(samples[i]);
        data[2 * i] = static_cast<uint8_t>(s);
        data[2 * i + 1] = static_cast<uint8_t>(s >> 8);
    }
    return tools::PcmWaveFileBytes(1, kSoundRate, 16, data);
}

}  // namespace morna::datagen
