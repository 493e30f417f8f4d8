#pragma once
// A sound stream opens one file and hands out its audio as PCM bytes in one
// fixed format, with millisecond positions. CNullSoundStream is the stream of a
// file that nothing could open.
#include <cstdint>

#include "platform/wave_format.h"

namespace tovarineGameSDK3rd::Multimedia {

using WAVEFORMATEX = morna::platform::WaveFormat;

// ms -> bytes and bytes -> ms through an average rate, in 64 bits, cut to 32.
inline uint32_t MsToBytes(uint32_t bytesPerSec, int32_t ms) {
    return static_cast<uint32_t>(static_cast<int64_t>(bytesPerSec) * ms / 1000);
}
inline int32_t BytesToMs(uint64_t bytes, uint32_t bytesPerSec) {
    return static_cast<int32_t>(static_cast<uint32_t>(bytes * 1000 / bytesPerSec));
}

// A stream's position or length in ms from bytes of its format: -1 without a rate.
inline int32_t StreamMs(uint64_t bytes, uint32_t bytesPerSec) { return bytesPerSec == 0 ? -1 : BytesToMs(bytes, bytesPerSec); }
// The byte position of ms; false without a rate or at 0xFFFFFFFF (SetCurrentPos answers 1).
inline bool StreamBytes(uint32_t bytesPerSec, int32_t ms, uint32_t& bytes) {
    bytes = MsToBytes(bytesPerSec, ms);
    return bytesPerSec != 0 && bytes != 0xFFFFFFFFu;
}

class ISoundStream {
public:
    virtual ~ISoundStream() {}
    // 0 opened; otherwise the stream is closed.
    virtual int32_t Open(const char* name) = 0;
    virtual int32_t Close() = 0;
    // Milliseconds; -1 without a usable format (none, or 0 bytes per second).
    virtual int32_t GetLength() = 0;
    // 0 done; 1 no usable format (or a byte position of 0xFFFFFFFF); 2 ms at or
    // past the length; 3 the decoder refused to start again.
    virtual int32_t SetCurrentPos(int32_t ms) = 0;
    virtual int32_t GetCurrentPos() = 0;
    // PCM bytes written: 0 at the end, fewer than asked near it.
    virtual uint32_t Read(void* buffer, uint32_t bytes) = 0;
    // The PCM format Read delivers; null when there is none.
    virtual WAVEFORMATEX* GetFormat() = 0;
};

class CNullSoundStream : public ISoundStream {
public:
    int32_t Open(const char*) override { return -1; }
    int32_t Close() override { return -1; }
    int32_t GetLength() override { return -1; }
    int32_t SetCurrentPos(int32_t) override { return -1; }
    int32_t GetCurrentPos() override { return -1; }
    uint32_t Read(void*, uint32_t) override { return 0; }
    WAVEFORMATEX* GetFormat() override { return nullptr; }
};

}  // namespace tovarineGameSDK3rd::Multimedia
