#include "platform/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

namespace morna::platform {

static_assert(kOutputRate == 44100, "songs are timed at the output rate");

struct MidiPlayback {
    enum class State { kPending, kPlaying, kStopped, kEnded };

    std::shared_ptr<const MidiSong> song;
    int64_t start = 0;
    bool loop = false;
    MidiNotify notify;
    State state = State::kPending;
    int64_t position = 0;

    bool Active() const { return state == State::kPending || state == State::kPlaying; }
};

namespace {

// Samples are rendered by the synth in blocks of this many frames.
constexpr uint64_t kSynthBlock = 64;

struct SoundFonts {
    std::mutex lock;
    std::string folder = "/usr/share/sounds/sf2";
    std::atomic<int> probe[2] = {-1, -1};
};

SoundFonts& Fonts() {
    static SoundFonts* fonts = new SoundFonts;
    return *fonts;
}

// default-GM.sf2 first, then the folder's other .sf2 files by name.
std::vector<std::string> SoundFontCandidates() {
    std::string folder;
    {
        std::lock_guard<std::mutex> guard(Fonts().lock);
        folder = Fonts().folder;
    }
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".sf2") found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        const bool da = a.ends_with("/default-GM.sf2"), db = b.ends_with("/default-GM.sf2");
        return da != db ? da : a < b;
    });
    return found;
}

void QuietLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
    });
}

}  // namespace

void SetSoundFontFolder(const std::string& folder) {
    std::lock_guard<std::mutex> guard(Fonts().lock);
    Fonts().folder = folder;
}

bool ProbeMidi(MidiProbe probe) {
    std::atomic<int>& cached = Fonts().probe[static_cast<int>(probe)];
    int answer = cached.load();
    if (answer < 0) {
        answer = MidiSynth::Create() ? 1 : 0;
        int unknown = -1;
        cached.compare_exchange_strong(unknown, answer);
        answer = cached.load();
    }
    return answer == 1;
}

void ForceMidiProbe(MidiProbe probe, int answer) {
    Fonts().probe[static_cast<int>(probe)].store(answer < 0 ? -1 : (answer != 0 ? 1 : 0));
}

std::unique_ptr<MidiSynth> MidiSynth::Create() {
    QuietLibrary();
    std::unique_ptr<MidiSynth> s(new MidiSynth);
    s->settings_ = new_fluid_settings();
    if (s->settings_ == nullptr) return nullptr;
    fluid_settings_setnum(s->settings_, "synth.sample-rate", kOutputRate);
    fluid_settings_setint(s->settings_, "synth.dynamic-sample-loading", 1);
    // The effects' modulation runs on in silence and their tails outlive a reset:
    // with them a song would depend on when it started and on what played before.
    fluid_settings_setint(s->settings_, "synth.chorus.active", 0);
    fluid_settings_setint(s->settings_, "synth.reverb.active", 0);
    // Only the render calls the synth once it is attached.
    fluid_settings_setint(s->settings_, "synth.threadsafe-api", 0);
    fluid_settings_setint(s->settings_, "synth.lock-memory", 0);
    s->synth_ = new_fluid_synth(s->settings_);
    if (s->synth_ == nullptr) return nullptr;
    for (const std::string& path : SoundFontCandidates()) {
        if (fluid_synth_sfload(s->synth_, path.c_str(), 1) != FLUID_FAILED) return s;
    }
    return nullptr;
}

MidiSynth::~MidiSynth() {
    if (attached_) {
        RemoveMixVoice(this);  // waits for a running mix
        CloseSoundOutput();
    }
    if (synth_ != nullptr) delete_fluid_synth(synth_);
    if (settings_ != nullptr) delete_fluid_settings(settings_);
}

bool MidiSynth::Attach() {
    if (attached_) return true;
    if (!OpenSoundOutput()) return false;
    block_.assign(2 * kOutputPeriodFrames, 0.0f);
    attached_ = true;
    AddMixVoice(this);
    return true;
}

// ---- the application's side ---------------------------------------------------

MidiPlaybackRef MidiSynth::Play(std::shared_ptr<const MidiSong> song, int64_t startSample, bool loop,
                                const MidiNotify& notify) {
    auto playback = std::make_shared<MidiPlayback>();
    playback->start = std::clamp<int64_t>(startSample, 0, song->LengthSamples());
    playback->position = playback->start;
    playback->song = std::move(song);
    playback->loop = loop;
    playback->notify = notify;
    std::lock_guard<std::mutex> guard(lock_);
    if (wanted_ && wanted_->Active()) wanted_->state = MidiPlayback::State::kStopped;
    wanted_ = playback;
    ++wantedGeneration_;
    return playback;
}

void MidiSynth::Stop(const MidiPlaybackRef& playback) {
    std::lock_guard<std::mutex> guard(lock_);
    if (playback && playback->Active()) playback->state = MidiPlayback::State::kStopped;
    if (wanted_ == playback) {
        wanted_ = nullptr;
        ++wantedGeneration_;
    }
}

bool MidiSynth::IsPlaying(const MidiPlaybackRef& playback) {
    std::lock_guard<std::mutex> guard(lock_);
    return playback && playback->Active();
}

int64_t MidiSynth::Position(const MidiPlaybackRef& playback) {
    std::lock_guard<std::mutex> guard(lock_);
    return playback ? playback->position : 0;
}

void MidiSynth::SetGain(float gain) { gain_.store(std::max(gain, 0.0f)); }

void MidiSynth::SetGlobalFocus(bool on) { globalFocus_.store(on); }

// ---- the render ----------------------------------------------------------------

void MidiSynth::Mix(float* mix, uint32_t frames, StereoGain gain, bool applicationActive) {
    bool changed = false;
    MidiPlaybackRef next;
    if (lock_.try_lock()) {
        if (appliedGeneration_ != wantedGeneration_) {
            appliedGeneration_ = wantedGeneration_;
            changed = true;
            next = wanted_;
            if (next) next->state = MidiPlayback::State::kPlaying;
        }
        lock_.unlock();
    }
    mix_ = mix;
    // Muted, not held, while unheard: the song keeps its time as wave music does.
    const float master = applicationActive || globalFocus_.load() ? gain_.load() * 32768.0f : 0.0f;
    scale_[0] = gain.left * master;
    scale_[1] = gain.right * master;
    if (changed) {
        sequencer_.Stop(*this);
        if (next) Reset();  // the wait for the block is silent
        playing_ = std::move(next);
        startPending_ = playing_ != nullptr;
        endUnpublished_ = false;
    }
    while (frames > 0) {
        if (startPending_ && frames_ % kSynthBlock == 0) {
            sequencer_.Start(playing_->song, playing_->start, playing_->loop, *this);
            startPending_ = false;
        }
        const uint32_t n = startPending_ ? static_cast<uint32_t>(std::min<uint64_t>(frames, kSynthBlock - frames_ % kSynthBlock))
                                         : frames;
        if (sequencer_.Render(n, *this)) endUnpublished_ = true;
        frames -= n;
    }
    if (!playing_ || !lock_.try_lock()) return;
    MidiNotify notify;
    if (playing_->state == MidiPlayback::State::kPlaying) {
        playing_->position = startPending_ ? playing_->start : sequencer_.Position();
        if (endUnpublished_) {
            playing_->state = MidiPlayback::State::kEnded;
            notify = playing_->notify;
        }
    }
    lock_.unlock();
    if (endUnpublished_) {
        endUnpublished_ = false;
        playing_ = nullptr;
    }
    if (notify.window != 0) PostWindowMessage(notify.window, notify.message, notify.wparam, notify.lparam);
}

void MidiSynth::Render(uint32_t frames) {
    while (frames > 0) {
        const uint32_t n = std::min<uint32_t>(frames, kOutputPeriodFrames);
        // Float output: the synth's 16-bit output dithers.
        fluid_synth_write_float(synth_, static_cast<int>(n), block_.data(), 0, 2, block_.data(), 1, 2);
        for (uint32_t i = 0; i < 2 * n; ++i) mix_[i] += block_[i] * scale_[i & 1];
        mix_ += 2 * n;
        frames_ += n;
        frames -= n;
    }
}

void MidiSynth::Channel(uint8_t status, uint8_t data1, uint8_t data2) {
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
        case 0x80: fluid_synth_noteoff(synth_, channel, data1); break;
        case 0x90: fluid_synth_noteon(synth_, channel, data1, data2); break;
        case 0xA0: fluid_synth_key_pressure(synth_, channel, data1, data2); break;
        case 0xB0: fluid_synth_cc(synth_, channel, data1, data2); break;
        case 0xC0: fluid_synth_program_change(synth_, channel, data1); break;
        case 0xD0: fluid_synth_channel_pressure(synth_, channel, data1); break;
        case 0xE0: fluid_synth_pitch_bend(synth_, channel, data1 | data2 << 7); break;
        default: break;
    }
}

void MidiSynth::SysEx(const uint8_t* data, uint32_t size) {
    fluid_synth_sysex(synth_, reinterpret_cast<const char*>(data), static_cast<int>(size), nullptr, nullptr, nullptr, 0);
}

void MidiSynth::ReleaseNotes() { fluid_synth_all_notes_off(synth_, -1); }

void MidiSynth::Reset() {
    fluid_synth_system_reset(synth_);
    fluid_synth_all_sounds_off(synth_, -1);  // the reset leaves the voices sounding
}

}  // namespace morna::platform
