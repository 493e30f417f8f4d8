#include "sound/wave_sound.h"

#include "sound/wave_static_sound.h"
#include "sound/wave_stream_sound.h"

namespace tovarineGameSDK3rd::Multimedia {

CWaveSound::CWaveSound(IWaveOutput* output) : impl_(new CWaveStaticSound(output)), output_(output) {}

int32_t CWaveSound::Stop() {
    const VTL::smart_ptr<IWaveSound> impl = Impl();
    const int32_t volume = GetVolume();
    impl->Stop();
    impl->SetVolume(volume);
    return 0;
}

void CWaveSound::SetStreamMode(bool streaming) {
    if (streaming == streaming_) return;
    streaming_ = streaming;
    const VTL::smart_ptr<IWaveSound> old = Impl();
    const VTL::VTLstring name = old->GetFileName();
    const bool loop = old->IsLoopPlay();
    const int32_t volume = old->GetVolume();
    const bool playing = old->IsPlay();
    old->Release();
    if (streaming) {
        impl_ = new CWaveStreamSound(output_);
    } else {
        impl_ = new CWaveStaticSound(output_);
    }
    const VTL::smart_ptr<IWaveSound> now = Impl();
    now->SetLoopPlay(loop);
    now->Load(name);
    if (playing) now->Play();
    now->SetVolume(volume);
}

}  // namespace tovarineGameSDK3rd::Multimedia
