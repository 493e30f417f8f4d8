#include "platform/sound_output.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>


namespace morna::platform {
namespace {

struct Mixer {
    std::mutex lock;  // the voice list; held while mixing
    std::vector<MixVoice*> voices;
    std::vector<float> mix;
    StereoGain lineGain[kSoundLines];

    std::mutex openLock;  // users and the back end
    int users = 0;
    OutputBackend backend = OutputBackend::kDevice;
    OutputBackend openBackend = OutputBackend::kDevice;
    SDL_AudioDeviceID device = 0;

    std::atomic<bool> active{true};
    std::atomic<int> probe{-1};
};

Mixer& GetMixer() {
    static Mixer* mixer = new Mixer;  // the device thread may outlive static destruction
    return *mixer;
}

void DeviceCallback(void*, Uint8* stream, int length) {
    RenderSoundOutput(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(length) / 4);
}

bool OpenDevice(Mixer& m) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{}, have{};
    want.freq = static_cast<int>(kOutputRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kOutputPeriodFrames;
    want.callback = DeviceCallback;
    m.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // SDL converts to what the device takes
    if (m.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(m.device, 0);
    return true;
}

void CloseDevice(Mixer& m) {
    SDL_CloseAudioDevice(m.device);  // waits for the callback to return
    m.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

void SetOutputBackend(OutputBackend backend) {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.openLock);
    m.backend = backend;
}

bool OpenSoundOutput() {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.openLock);
    if (m.users == 0) {
        if (m.backend == OutputBackend::kDevice && !OpenDevice(m)) return false;
        m.openBackend = m.backend;
    }
    ++m.users;
    return true;
}

void CloseSoundOutput() {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.openLock);
    if (m.users == 0 || --m.users > 0) return;
    if (m.openBackend == OutputBackend::kDevice) CloseDevice(m);
}

bool IsSoundOutputOpen() {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.openLock);
    return m.users > 0;
}

bool ProbeSoundOutput() {
    Mixer& m = GetMixer();
    int answer = m.probe.load();
    if (answer < 0) {
        answer = OpenSoundOutput() ? 1 : 0;
        if (answer == 1) CloseSoundOutput();
        int unknown = -1;
        m.probe.compare_exchange_strong(unknown, answer);
        answer = m.probe.load();
    }
    return answer == 1;
}

void ForceSoundOutputProbe(int answer) { GetMixer().probe.store(answer < 0 ? -1 : (answer != 0 ? 1 : 0)); }

void AddMixVoice(MixVoice* voice) {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.lock);
    m.voices.push_back(voice);
}

void RemoveMixVoice(MixVoice* voice) {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.lock);
    std::erase(m.voices, voice);
}

void SetLineGain(SoundLine line, StereoGain gain) {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.lock);
    m.lineGain[static_cast<int>(line)] = {std::max(gain.left, 0.0f), std::max(gain.right, 0.0f)};
}

StereoGain GetLineGain(SoundLine line) {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.lock);
    return m.lineGain[static_cast<int>(line)];
}

void SetApplicationActive(bool active) { GetMixer().active.store(active); }
bool IsSoundApplicationActive() { return GetMixer().active.load(); }

void RenderSoundOutput(int16_t* out, uint32_t frames) {
    Mixer& m = GetMixer();
    std::lock_guard<std::mutex> guard(m.lock);
    const bool active = m.active.load();
    while (frames > 0) {
        const uint32_t n = std::min(frames, kOutputPeriodFrames);
        m.mix.assign(2 * n, 0.0f);
        for (MixVoice* v : m.voices) v->Mix(m.mix.data(), n, m.lineGain[static_cast<int>(v->Line())], active);
        const StereoGain master = m.lineGain[static_cast<int>(SoundLine::kMaster)];
        const float gains[2] = {master.left, master.right};
        for (uint32_t i = 0; i < 2 * n; ++i) {
            const float x = std::clamp(m.mix[i] * gains[i & 1], -32768.0f, 32767.0f);
            out[i] = static_cast<int16_t>(x + (x >= 0 ? 0.5f : -0.5f));
        }
        out += 2 * n;
        frames -= n;
    }
}

}  // namespace morna::platform
