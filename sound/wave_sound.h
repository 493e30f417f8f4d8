#pragma once
// The wave sound the factory hands out: a front over one implementation, the
// static sound (the whole file in one buffer) or the streaming one (a ring
// refilled by a thread), which it can swap, carrying the file, the loop flag,
// the volume and the playing state over.
#include <cstdint>

#include "foundation/vtl/smart_ptr.h"
#include "sound/direct_sound.h"
#include "sound/sound.h"

namespace tovarineGameSDK3rd::Multimedia {

class CWaveSound : public IWaveSound {
public:
    // A static sound with nothing loaded.
    explicit CWaveSound(IWaveOutput* output);

    // The new implementation loads the file again and, when the old one
    // played, plays it from its start; a pause in progress is not carried over.
    void SetStreamMode(bool streaming);
    bool GetStreamMode() const { return streaming_; }

    int32_t Load(const VTL::VTLstring& name) override { return Impl()->Load(name); }
    int32_t Release() override { return Impl()->Release(); }
    int32_t Play() override { return Impl()->Play(); }
    int32_t Pause() override { return Impl()->Pause(); }
    int32_t Replay() override { return Impl()->Replay(); }
    // Keeps the volume across the stop; always 0.
    int32_t Stop() override;
    bool IsPlay() override { return Impl()->IsPlay(); }
    int32_t SetLoopPlay(bool loop) override { return Impl()->SetLoopPlay(loop); }
    bool IsLoopPlay() override { return Impl()->IsLoopPlay(); }
    int32_t SetCurrentPos(int32_t ms) override { return Impl()->SetCurrentPos(ms); }
    int32_t GetCurrentPos() override { return Impl()->GetCurrentPos(); }
    int32_t GetLength() override { return Impl()->GetLength(); }
    int32_t SetVolume(int32_t volume) override { return Impl()->SetVolume(volume); }
    int32_t GetVolume() override { return Impl()->GetVolume(); }
    int32_t GetType() override { return kWaveSound; }
    VTL::VTLstring GetFileName() override { return Impl()->GetFileName(); }
    int32_t Restore() override { return Impl()->Restore(); }

    // The implementation (tests reach its own answers here).
    VTL::smart_ptr<IWaveSound> GetImplementation() const { return impl_; }

private:
    // A counted copy for the length of a call.
    VTL::smart_ptr<IWaveSound> Impl() const { return impl_; }

    VTL::smart_ptr<IWaveSound> impl_;
    IWaveOutput* output_;
    bool streaming_ = false;
};

}  // namespace tovarineGameSDK3rd::Multimedia
