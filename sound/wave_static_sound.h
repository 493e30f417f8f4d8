#pragma once
// A wave file decoded once, whole, into one buffer of the wave output; play,
// loop, pause, seek and volume act on that buffer. It registers with the wave
// output, which restores it when the application is activated again.
#include <cstdint>

#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"
#include "sound/direct_sound.h"
#include "sound/sound.h"

namespace tovarineGameSDK3rd::Multimedia {

class CWaveStaticSound : public IWaveSound {
public:
    explicit CWaveStaticSound(IWaveOutput* output);
    ~CWaveStaticSound() override;
    CWaveStaticSound(const CWaveStaticSound&) = delete;
    CWaveStaticSound& operator=(const CWaveStaticSound&) = delete;

    // 0 (also for "" and a file no stream opens: the sound stays empty); 1 no
    // buffer, 2 lock, 3 read, 4 unlock failed.
    int32_t Load(const VTL::VTLstring& name) override;
    int32_t Release() override;
    int32_t Play() override;
    int32_t Pause() override;
    int32_t Replay() override;
    int32_t Stop() override;
    bool IsPlay() override { return buffer_->GetStatus() == 3; }
    int32_t SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int32_t SetCurrentPos(int32_t ms) override;
    int32_t GetCurrentPos() override;
    // 0 before the first Load.
    int32_t GetLength() override { return length_; }
    int32_t SetVolume(int32_t volume) override { return buffer_->SetVolume(volume); }
    int32_t GetVolume() override;
    int32_t GetType() override { return kWaveStaticSound; }
    VTL::VTLstring GetFileName() override { return name_; }
    int32_t Restore() override;

    VTL::smart_ptr<ISoundBuffer> GetBuffer() const { return buffer_; }

private:
    VTL::smart_ptr<ISoundBuffer> buffer_;
    VTL::VTLstring name_;
    int32_t pauseCount_ = 0;
    bool loop_ = false;
    uint32_t bytesPerSec_ = 0;
    int32_t length_ = 0;
    IWaveOutput* output_;
};

}  // namespace tovarineGameSDK3rd::Multimedia
