// One second of 64 voices of 16-bit stereo mixed with their volumes into 44.1 kHz
// output: the mixer (voices at 44,100 Hz, and at 22,050 Hz resampled linearly),
// side by side with SDL2 mixing each voice with SDL_MixAudioFormat (after an
// SDL_AudioStream that converts 22,050 Hz to 44,100 Hz for the second pair).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/sound_buffer.h"
#include "platform/sound_output.h"

using namespace morna::platform;

namespace {

constexpr int kVoices = 64;
constexpr uint32_t kOut = 44100;

std::vector<int16_t> Noise(uint32_t frames, uint32_t seed) {
    std::vector<int16_t> s(2 * frames);
    for (auto& v : s) v = static_cast<int16_t>((seed = seed * 1664525u + 1013904223u) >> 20) - 2048;
    return s;
}

void Mixer(benchmark::State& state, uint32_t rate) {
    SetOutputBackend(OutputBackend::kManual);
    OpenSoundOutput();
    std::vector<std::unique_ptr<SoundBuffer>> voices;
    for (int v = 0; v < kVoices; ++v) {
        const std::vector<int16_t> s = Noise(rate, v + 1);
        auto b = SoundBuffer::Create(PcmWaveFormat(2, rate, 16), rate * 4, {});
        void* p = nullptr;
        uint32_t n = 0;
        b->Lock(0, rate * 4, &p, &n, nullptr, nullptr);
        std::memcpy(p, s.data(), n);
        b->Unlock(p, n, nullptr, 0);
        b->SetVolume(-v * 20);
        b->Play(true);
        voices.push_back(std::move(b));
    }
    std::vector<int16_t> out(2 * kOut);
    for (auto _ : state) {
        RenderSoundOutput(out.data(), kOut);
        benchmark::DoNotOptimize(out.data());
    }
    voices.clear();
    CloseSoundOutput();
}

void Sdl(benchmark::State& state, uint32_t rate) {
    std::vector<std::vector<int16_t>> sources;
    std::vector<SDL_AudioStream*> streams;
    for (int v = 0; v < kVoices; ++v) {
        sources.push_back(Noise(rate, v + 1));
        if (rate != kOut) streams.push_back(SDL_NewAudioStream(AUDIO_S16SYS, 2, rate, AUDIO_S16SYS, 2, kOut));
    }
    std::vector<int16_t> out(2 * kOut), converted(2 * kOut);
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0);
        for (int v = 0; v < kVoices; ++v) {
            const Uint8* src = reinterpret_cast<const Uint8*>(sources[v].data());
            if (rate != kOut) {
                SDL_AudioStreamPut(streams[v], sources[v].data(), static_cast<int>(rate * 4));
                SDL_AudioStreamGet(streams[v], converted.data(), static_cast<int>(kOut * 4));
                src = reinterpret_cast<const Uint8*>(converted.data());
            }
            // SDL's volume is 0..128; these stand for the same -0.2 dB steps.
            const int volume = static_cast<int>(128 * std::pow(10.0, -v * 20 / 2000.0));
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), src, AUDIO_S16SYS, kOut * 4, volume);
        }
        benchmark::DoNotOptimize(out.data());
    }
    for (SDL_AudioStream* s : streams) SDL_FreeAudioStream(s);
}

}  // namespace

BENCHMARK_CAPTURE(Mixer, 64_voices_44100, 44100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sdl, 64_voices_44100_MixAudioFormat, 44100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Mixer, 64_voices_22050, 22050)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sdl, 64_voices_22050_AudioStream_MixAudioFormat, 22050)->Unit(benchmark::kMillisecond);
