#pragma once
// Every playable sound is an ISound; wave sounds are IWaveSounds, which can also
// rebuild a lost buffer. CSoundNullDevice is the silent sound that stands in
// wherever a device is missing or a file cannot be opened.
#include <cstdint>

#include "foundation/vtl/vtl_string.h"

namespace tovarineGameSDK3rd::Multimedia {

// What GetType answers.
enum SoundClassId : int32_t {
    kSoundNullDevice = 0,
    kMIDIOutputMCI = 1,
    kMIDIOutputDM = 2,
    kWaveStaticSound = 3,
    kWaveStreamSound = 4,
    kWaveSound = 5,
};

// int results: 0 success, non-zero failure, unless stated.
class ISound {
public:
    virtual int32_t Load(const VTL::VTLstring& name) = 0;
    virtual int32_t Release() = 0;
    // From the beginning.
    virtual int32_t Play() = 0;
    // Nests: every Pause needs its Replay before playback resumes.
    virtual int32_t Pause() = 0;
    virtual int32_t Replay() = 0;
    virtual int32_t Stop() = 0;
    virtual bool IsPlay() = 0;
    virtual int32_t SetLoopPlay(bool loop) = 0;
    virtual bool IsLoopPlay() = 0;
    virtual int32_t SetCurrentPos(int32_t ms) = 0;
    // Milliseconds; -1 when not available.
    virtual int32_t GetCurrentPos() = 0;
    virtual int32_t GetLength() = 0;
    // Hundredths of a decibel: 0 full, -10000 silent.
    virtual int32_t SetVolume(int32_t volume) = 0;
    virtual int32_t GetVolume() = 0;
    virtual int32_t GetType() = 0;
    virtual VTL::VTLstring GetFileName() = 0;

    // -1 for a negative t (nothing written); hours have no upper bound.
    virtual int32_t MsecToHMS(int32_t t, int32_t& hours, int32_t& minutes, int32_t& seconds, int32_t& milliseconds);
    // -1 for any negative argument (nothing written); minutes and seconds above
    // 59 are taken as they are.
    virtual int32_t HMSToMsec(int32_t& t, int32_t hours, int32_t minutes, int32_t seconds, int32_t milliseconds);
    virtual ~ISound() {}
};

// Marks sounds whose buffers can be restored after a loss.
class ISoundRestorable {
public:
    virtual ~ISoundRestorable() {}
};

class IWaveSound : public ISoundRestorable, public ISound {
public:
    // Rebuilds and refills a lost buffer; 0 when there was nothing to do or it worked.
    virtual int32_t Restore() = 0;
};

class CSoundNullDevice : public ISound {
public:
    int32_t Load(const VTL::VTLstring&) override { return 0; }
    int32_t Release() override { return 0; }
    int32_t Play() override { return 0; }
    int32_t Pause() override { return 0; }
    int32_t Replay() override { return 0; }
    int32_t Stop() override { return 0; }
    bool IsPlay() override { return false; }
    int32_t SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int32_t SetCurrentPos(int32_t) override { return -1; }
    int32_t GetCurrentPos() override { return -1; }
    int32_t GetLength() override { return -1; }
    int32_t SetVolume(int32_t) override { return -1; }
    int32_t GetVolume() override { return -10000; }
    int32_t GetType() override { return kSoundNullDevice; }
    VTL::VTLstring GetFileName() override { return VTL::VTLstring(); }

private:
    bool loop_ = false;
};

}  // namespace tovarineGameSDK3rd::Multimedia
