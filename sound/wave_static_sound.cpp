#include "sound/wave_static_sound.h"

#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Multimedia {

CWaveStaticSound::CWaveStaticSound(IWaveOutput* output) : buffer_(new CNullSoundBuffer), output_(output) {
    output_->AddSound(this);
}

CWaveStaticSound::~CWaveStaticSound() {
    Release();
    output_->RemoveSound(this);
}

int32_t CWaveStaticSound::Release() {
    if (IsPlay()) Stop();
    buffer_ = VTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
    name_ = VTL::VTLstring();
    bytesPerSec_ = 0;
    return 0;
}

int32_t CWaveStaticSound::Load(const VTL::VTLstring& name) {
    Release();
    if (name.empty()) return 0;
    const VTL::smart_ptr<CSoundParameter> parameter = output_->GetSoundParameter();
    VTL::smart_ptr<ISoundStream> stream = parameter->GetStreamFactory()->Open(name);
    const WAVEFORMATEX* format = stream->GetFormat();
    if (format == nullptr) return 0;
    const uint32_t size = static_cast<uint32_t>(static_cast<int64_t>(stream->GetLength()) * format->avgBytesPerSec / 1000);

    buffer_ = output_->CreateBuffer();
    if (buffer_->Create(format, size, false, parameter.GetNoCheck()) != 0) {
        GetErrorLog().Out("CWaveStaticSound::Load サウンドバッファの作成に失敗！");
        buffer_ = VTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
        return 1;
    }
    static constexpr FillMessages kMessages{"CWaveStaticSound::Load GetBuffer()->Lock()に失敗！",
                                            "CWaveStaticSound::Load stream->Read()に失敗！",
                                            "CWaveStaticSound::Load GetBuffer()->Unlock()に失敗！"};
    uint32_t got = 0;
    if (const int32_t r = FillFromStream(*buffer_, 0, size, *stream, kMessages, got); r != 0) return r + 1;
    WAVEFORMATEX actual;
    bytesPerSec_ = buffer_->GetFormat(&actual) == 0 ? actual.avgBytesPerSec : 0;
    name_ = name;
    length_ = bytesPerSec_ != 0 ? BytesToMs(size, bytesPerSec_) : 0;  // no rate, no length
    return 0;
}

int32_t CWaveStaticSound::Play() {
    pauseCount_ = 0;
    buffer_->SetCurrentPosition(0);
    if (buffer_->GetStatus() == 3) {
        buffer_->Stop();
        buffer_->SetCurrentPosition(0);
    }
    if (buffer_->Play(loop_) == 0) return 0;
    if (buffer_->GetStatus() == 1) return Restore();
    GetErrorLog().Out("CWaveStaticSound::Play GetBuffer()->Play()に失敗！");
    return 1;
}

int32_t CWaveStaticSound::Pause() {
    if (pauseCount_ > 0) ++pauseCount_;
    if (!IsPlay()) return 0;
    pauseCount_ = 1;
    return buffer_->Stop();
}

int32_t CWaveStaticSound::Replay() {
    if (pauseCount_ == 0) return 0;
    if (--pauseCount_ > 0) return 0;
    return buffer_->Play(loop_);
}

int32_t CWaveStaticSound::Stop() {
    if (!IsPlay()) return 0;
    const int32_t r = buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    return r;
}

int32_t CWaveStaticSound::SetCurrentPos(int32_t ms) {
    if (bytesPerSec_ == 0) return -1;
    return buffer_->SetCurrentPosition(MsToBytes(bytesPerSec_, ms));
}

int32_t CWaveStaticSound::GetCurrentPos() {
    if (bytesPerSec_ == 0) return -1;
    uint32_t play = 0, write = 0;
    if (buffer_->GetCurrentPosition(&play, &write) != 0) return -1;
    return BytesToMs(play, bytesPerSec_);
}

int32_t CWaveStaticSound::GetVolume() {
    int32_t v = 0;
    if (buffer_->GetVolume(&v) != 0) {
        GetErrorLog().Out("CWaveStaticSound::GetVolumeに失敗");
        return 0;
    }
    return v;
}

int32_t CWaveStaticSound::Restore() {
    if (buffer_->GetStatus() != 1) return 0;
    buffer_->Restore();
    if (name_.empty()) return 0;
    const VTL::VTLstring name = name_;
    return Load(name);
}

}  // namespace tovarineGameSDK3rd::Multimedia
