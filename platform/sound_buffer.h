#pragma once
// A secondary sound buffer: PCM bytes that the mixer plays from a play cursor,
// once or looping, with volume (hundredths of a decibel), pan and frequency.
// Writers never touch the bytes the mixer reads: Lock hands out copies of one
// or two regions (the second where the first wraps past the end) and Unlock
// writes them back under the buffer's lock. Duplicates share the bytes.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound_output.h"
#include "platform/wave_format.h"

namespace morna::platform {

struct SoundBufferFlags {
    bool globalFocus = false;  // keeps playing audibly while the application lacks the focus
    bool pan = false;
    bool frequency = false;
};

enum class BufferResult { kOk, kLost, kInvalid };

inline constexpr int32_t kVolumeMin = -10000;
inline constexpr uint32_t kFrequencyMin = 100;
inline constexpr uint32_t kFrequencyMax = 200000;

class SoundBuffer : public MixVoice {
public:
    // 8- or 16-bit PCM, 1 or 2 channels, 100 to 200,000 Hz, 4 to 0x0FFFFFFF bytes,
    // zero-filled; null for anything else.
    static std::unique_ptr<SoundBuffer> Create(const WaveFormat& format, uint32_t bytes, SoundBufferFlags flags);
    ~SoundBuffer() override;
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // A buffer over the same bytes, with this one's format, flags and settings, stopped at 0.
    std::unique_ptr<SoundBuffer> Duplicate();

    const WaveFormat& Format() const { return format_; }
    uint32_t Size() const { return size_; }
    bool IsPlaying();
    bool IsLost();
    BufferResult Play(bool loop);
    BufferResult Stop();
    // Restores a lost buffer (its bytes zeroed, as the device lost them).
    BufferResult Restore();
    BufferResult GetCurrentPosition(uint32_t* play, uint32_t* write);
    BufferResult SetCurrentPosition(uint32_t offset);
    BufferResult SetVolume(int32_t volume);  // kVolumeMin to 0
    int32_t GetVolume();
    BufferResult SetPan(int32_t pan);  // -10000 to 10000; kInvalid without the pan flag
    int32_t GetPan();
    BufferResult SetFrequency(uint32_t hz);  // 0 = the format's; kInvalid without the flag
    uint32_t GetFrequency();
    BufferResult Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2, uint32_t* size2);
    BufferResult Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2);

    // Test hook: the buffer is lost, as a device would lose it.
    void SetLostForTest();

    SoundLine Line() const override { return SoundLine::kWave; }
    void Mix(float* mix, uint32_t frames, StereoGain gain, bool applicationActive) override;

private:
    struct Shared {
        std::mutex lock;  // the bytes and every buffer's state over them
        std::vector<uint8_t> bytes;
    };
    struct Staged {
        std::vector<uint8_t> copy;
        uint32_t offset;
    };

    SoundBuffer(const WaveFormat& format, SoundBufferFlags flags, std::shared_ptr<Shared> shared);
    void UpdateGains();
    template <class Sample, int Channels>
    void MixFrames(float* mix, uint32_t frames, float left, float right);
    BufferResult Unstage(void* part, uint32_t size);

    const WaveFormat format_;
    const SoundBufferFlags flags_;
    const std::shared_ptr<Shared> shared_;
    const uint32_t size_;
    const uint32_t frameBytes_;
    const uint32_t frameCount_;
    // Under shared_->lock:
    uint64_t position_ = 0;  // frames, 32.32 fixed point
    bool playing_ = false;
    bool looping_ = false;
    bool lost_ = false;
    int32_t volume_ = 0;
    int32_t pan_ = 0;
    uint32_t frequency_ = 0;
    float gainLeft_ = 1.0f, gainRight_ = 1.0f;
    std::vector<Staged> staged_;
};

}  // namespace morna::platform
