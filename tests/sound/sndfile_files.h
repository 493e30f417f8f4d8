// Test helper: sound files written by libsndfile, and libsndfile's decoding of
// them, which the stream tests take as the reference.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace morna::test {

// A tone sweeping up with noise on it, so that adaptive coders move their steps.
inline std::vector<int16_t> TestSignal(int frames, int channels) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * channels);
    uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1103515245u + 12345u;
            const double tone = std::sin(i * (0.01 + i * 2e-6) * (c + 1)) * 20000.0;
            s[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(tone + static_cast<int32_t>(noise >> 20) - 2048);
        }
    }
    return s;
}

// Writes the samples in a libsndfile format; false when libsndfile refused.
inline bool WriteSndFile(const std::string& path, int format, int rate, int channels, const std::vector<int16_t>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (f == nullptr) return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    const bool ok = sf_writef_short(f, samples.data(), frames) == frames;
    return sf_close(f) == 0 && ok;
}

inline std::vector<int16_t> ReadSndFile(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (f == nullptr) return {};
    std::vector<int16_t> s(static_cast<size_t>(info.frames) * info.channels);
    s.resize(static_cast<size_t>(sf_readf_short(f, s.data(), info.frames)) * info.channels);
    sf_close(f);
    return s;
}

}  // namespace morna::test
