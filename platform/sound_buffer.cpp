#include "platform/sound_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace morna::platform {
namespace {

constexpr uint64_t kOne = uint64_t{1} << 32;

// Hundredths of a decibel as a linear gain; the floor is silence.
float DecibelGain(int32_t hundredths) {
    return hundredths <= kVolumeMin ? 0.0f : static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

inline float Decode(const uint8_t* p, uint8_t) { return (static_cast<int32_t>(*p) - 128) * 256.0f; }
inline float Decode(const uint8_t* p, int16_t) {
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

}  // namespace

std::unique_ptr<SoundBuffer> SoundBuffer::Create(const WaveFormat& f, uint32_t bytes, SoundBufferFlags flags) {
    const bool pcm = f.formatTag == kWaveFormatPcm && (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
                     (f.channels == 1 || f.channels == 2) && f.samplesPerSec >= kFrequencyMin &&
                     f.samplesPerSec <= kFrequencyMax && f.blockAlign == f.channels * f.bitsPerSample / 8;
    if (!pcm || bytes < 4 || bytes > 0x0FFFFFFF) return nullptr;
    auto shared = std::make_shared<Shared>();
    shared->bytes.assign(bytes, 0);
    return std::unique_ptr<SoundBuffer>(new SoundBuffer(f, flags, std::move(shared)));
}

SoundBuffer::SoundBuffer(const WaveFormat& format, SoundBufferFlags flags, std::shared_ptr<Shared> shared)
    : format_(format),
      flags_(flags),
      shared_(std::move(shared)),
      size_(static_cast<uint32_t>(shared_->bytes.size())),
      frameBytes_(format.blockAlign),
      frameCount_(size_ / format.blockAlign) {
    AddMixVoice(this);
}

SoundBuffer::~SoundBuffer() { RemoveMixVoice(this); }

std::unique_ptr<SoundBuffer> SoundBuffer::Duplicate() {
    std::unique_ptr<SoundBuffer> copy(new SoundBuffer(format_, flags_, shared_));
    std::lock_guard<std::mutex> guard(shared_->lock);
    copy->volume_ = volume_;
    copy->pan_ = pan_;
    copy->frequency_ = frequency_;
    copy->UpdateGains();
    return copy;
}

bool SoundBuffer::IsPlaying() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return playing_;
}

bool SoundBuffer::IsLost() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return lost_;
}

BufferResult SoundBuffer::Play(bool loop) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (lost_) return BufferResult::kLost;
    playing_ = true;
    looping_ = loop;
    return BufferResult::kOk;
}

BufferResult SoundBuffer::Stop() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    playing_ = false;
    return BufferResult::kOk;
}

BufferResult SoundBuffer::Restore() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (lost_) std::fill(shared_->bytes.begin(), shared_->bytes.end(), 0);
    lost_ = false;
    return BufferResult::kOk;
}

void SoundBuffer::SetLostForTest() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    lost_ = true;
    playing_ = false;
}

BufferResult SoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    const uint32_t frame = static_cast<uint32_t>(position_ >> 32) % std::max(frameCount_, 1u);
    // The write cursor stays one output period ahead, playing or not.
    const uint64_t hz = frequency_ != 0 ? frequency_ : format_.samplesPerSec;
    const uint32_t ahead = static_cast<uint32_t>((kOutputPeriodFrames * hz + kOutputRate - 1) / kOutputRate);
    if (play != nullptr) *play = frame * frameBytes_;
    if (write != nullptr) *write = static_cast<uint32_t>((uint64_t{frame} + ahead) % std::max(frameCount_, 1u)) * frameBytes_;
    return BufferResult::kOk;
}

BufferResult SoundBuffer::SetCurrentPosition(uint32_t offset) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (offset >= size_) return BufferResult::kInvalid;
    position_ = uint64_t{offset / frameBytes_} << 32;
    return BufferResult::kOk;
}

void SoundBuffer::UpdateGains() {
    const float volume = DecibelGain(volume_);
    gainLeft_ = volume * (pan_ > 0 ? DecibelGain(-pan_) : 1.0f);
    gainRight_ = volume * (pan_ < 0 ? DecibelGain(pan_) : 1.0f);
}

BufferResult SoundBuffer::SetVolume(int32_t volume) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (volume < kVolumeMin || volume > 0) return BufferResult::kInvalid;
    volume_ = volume;
    UpdateGains();
    return BufferResult::kOk;
}

int32_t SoundBuffer::GetVolume() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return volume_;
}

BufferResult SoundBuffer::SetPan(int32_t pan) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (!flags_.pan || pan < -10000 || pan > 10000) return BufferResult::kInvalid;
    pan_ = pan;
    UpdateGains();
    return BufferResult::kOk;
}

int32_t SoundBuffer::GetPan() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return pan_;
}

BufferResult SoundBuffer::SetFrequency(uint32_t hz) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (!flags_.frequency || (hz != 0 && (hz < kFrequencyMin || hz > kFrequencyMax))) return BufferResult::kInvalid;
    frequency_ = hz;
    return BufferResult::kOk;
}

uint32_t SoundBuffer::GetFrequency() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return frequency_ != 0 ? frequency_ : format_.samplesPerSec;
}

BufferResult SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2,
                               uint32_t* size2) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (lost_) return BufferResult::kLost;
    if (part1 == nullptr || size1 == nullptr || offset >= size_ || bytes == 0 || bytes > size_) return BufferResult::kInvalid;
    const uint32_t first = std::min(bytes, size_ - offset);
    const uint32_t second = bytes - first;
    const uint8_t* data = shared_->bytes.data();
    staged_.push_back({std::vector<uint8_t>(data + offset, data + offset + first), offset});
    *part1 = staged_.back().copy.data();
    *size1 = first;
    if (part2 != nullptr) *part2 = nullptr;
    if (size2 != nullptr) *size2 = 0;
    if (second > 0 && part2 != nullptr && size2 != nullptr) {
        staged_.push_back({std::vector<uint8_t>(data, data + second), 0});
        *part2 = staged_.back().copy.data();
        *size2 = second;
    }
    return BufferResult::kOk;
}

BufferResult SoundBuffer::Unstage(void* part, uint32_t size) {
    const auto it = std::find_if(staged_.begin(), staged_.end(), [&](const Staged& s) { return s.copy.data() == part; });
    if (it == staged_.end()) return BufferResult::kInvalid;
    const size_t n = std::min<size_t>(size, it->copy.size());
    std::memcpy(shared_->bytes.data() + it->offset, it->copy.data(), n);
    staged_.erase(it);
    return BufferResult::kOk;
}

BufferResult SoundBuffer::Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (part1 == nullptr) return BufferResult::kInvalid;
    BufferResult r = Unstage(part1, size1);
    if (part2 != nullptr && Unstage(part2, size2) != BufferResult::kOk) r = BufferResult::kInvalid;
    return r;
}

template <class Sample, int Channels>
void SoundBuffer::MixFrames(float* mix, uint32_t frames, float left, float right) {
    const uint8_t* data = shared_->bytes.data();
    const uint64_t hz = frequency_ != 0 ? frequency_ : format_.samplesPerSec;
    const uint64_t step = (hz << 32) / kOutputRate;
    const uint32_t width = sizeof(Sample);
    const uint64_t end = uint64_t{frameCount_} << 32;
    const float gains[2] = {left, right};
    uint32_t i = 0;
    while (i < frames && playing_) {
        const uint32_t frame = static_cast<uint32_t>(position_ >> 32);
        if (step == kOne && (position_ & 0xFFFFFFFFu) == 0) {
            // At the output's rate the samples pass unchanged: one run up to the end.
            const uint32_t run = std::min(frames - i, frameCount_ - frame);
            const uint8_t* src = data + static_cast<size_t>(frame) * frameBytes_;
            float* out = mix + 2 * i;
            if (Channels == 2) {
                for (uint32_t j = 0; j < 2 * run; ++j) out[j] += Decode(src + j * width, Sample{}) * gains[j & 1];
            } else {
                for (uint32_t j = 0; j < run; ++j) {
                    const float v = Decode(src + j * width, Sample{});
                    out[2 * j] += v * left;
                    out[2 * j + 1] += v * right;
                }
            }
            i += run;
            position_ += uint64_t{run} << 32;
        } else {
            // Linear interpolation towards the next frame (the first again when looping).
            const uint32_t next = frame + 1 < frameCount_ ? frame + 1 : (looping_ ? 0 : frame);
            const float t = static_cast<float>(position_ & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
            for (int c = 0; c < 2; ++c) {
                const int sc = Channels == 2 ? c : 0;
                const float a = Decode(data + static_cast<size_t>(frame) * frameBytes_ + sc * width, Sample{});
                const float b = Decode(data + static_cast<size_t>(next) * frameBytes_ + sc * width, Sample{});
                mix[2 * i + c] += (a + (b - a) * t) * gains[c];
            }
            ++i;
            position_ += step;
        }
        if (position_ >= end) {
            if (looping_) {
                position_ %= end;
            } else {
                playing_ = false;  // a one-shot ends stopped at 0
                position_ = 0;
            }
        }
    }
}

void SoundBuffer::Mix(float* mix, uint32_t frames, StereoGain gain, bool applicationActive) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (!playing_ || lost_ || frameCount_ == 0) return;
    const float audible = applicationActive || flags_.globalFocus ? 1.0f : 0.0f;
    const float left = gainLeft_ * gain.left * audible, right = gainRight_ * gain.right * audible;
    const bool wide = format_.bitsPerSample == 16;
    if (format_.channels == 2) {
        wide ? MixFrames<int16_t, 2>(mix, frames, left, right) : MixFrames<uint8_t, 2>(mix, frames, left, right);
    } else {
        wide ? MixFrames<int16_t, 1>(mix, frames, left, right) : MixFrames<uint8_t, 1>(mix, frames, left, right);
    }
}

}  // namespace morna::platform
