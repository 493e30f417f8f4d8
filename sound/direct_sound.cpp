#include "sound/direct_sound.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "foundation/appframe/app_manager.h"
#include "foundation/thread/com.h"
#include "foundation/vtl/exception.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/sound_output.h"
#include "platform/window.h"

namespace tovarineGameSDK3rd::Multimedia {

using morna::platform::BufferResult;

namespace {
std::atomic<int32_t> gFault{0};

int32_t Code(BufferResult r) { return r == BufferResult::kOk ? 0 : 2; }
}  // namespace

bool ProbeDirectSound() { return morna::platform::ProbeSoundOutput(); }

// ---- the device --------------------------------------------------------------

void CDirectSound::SetFaultForTest(int32_t status) { gFault.store(status); }

CDirectSound::CDirectSound() : hwnd_(AppFrame::CAppManager::GetMyHWnd()) {
    Thread::AddRefCOM();
    if (!morna::platform::OpenSoundOutput()) {
        Thread::ReleaseCOM();
        GetErrorLog().Out("CDirectSound::CDirectSound() objectの作成に失敗");
        status_ = 1;
        return;
    }
    const int32_t fault = gFault.load();
    if (fault == 2 || fault == 3) {
        GetErrorLog().Out(fault == 2 ? "CDirectSound::CDirectSound() Initializeに失敗"
                                     : "CDirectSound::CDirectSound() SetCooperativeLevelの失敗");
        morna::platform::CloseSoundOutput();
        Thread::ReleaseCOM();
        status_ = fault;
    }
}

CDirectSound::~CDirectSound() {
    SetCooperativeLevel(1);
    if (status_ == 0) {
        morna::platform::CloseSoundOutput();
        Thread::ReleaseCOM();
    }
}

int32_t CDirectSound::SetCooperativeLevel(int32_t level) {
    if (status_ != 0) {
        GetErrorLog().Out("CDirectSound::SetCooperativeLevel(%d) DirectSoundの初期化に失敗している", level);
        return 1;
    }
    return 0;  // the mixer shares its output with every program; no level to refuse
}

// ---- buffers -------------------------------------------------------------------

int32_t CDirectSoundBuffer::GetStatus() {
    if (!buffer_) return 0;
    if (buffer_->IsLost()) return 1;
    return buffer_->IsPlaying() ? 3 : 2;
}

int32_t CDirectSoundBuffer::SetFormat(const WAVEFORMATEX*) { return buffer_ ? 2 : 1; }

int32_t CDirectSoundBuffer::GetFormat(WAVEFORMATEX* format) {
    if (!buffer_) return 1;
    if (format != nullptr) *format = buffer_->Format();
    return 0;
}

int32_t CDirectSoundBuffer::SetCurrentPosition(uint32_t offset) {
    return buffer_ ? Code(buffer_->SetCurrentPosition(offset)) : 1;
}

int32_t CDirectSoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
    return buffer_ ? Code(buffer_->GetCurrentPosition(play, write)) : 1;
}

int32_t CDirectSoundBuffer::SetVolume(int32_t volume) { return buffer_ ? Code(buffer_->SetVolume(volume)) : 1; }

int32_t CDirectSoundBuffer::GetVolume(int32_t* volume) {
    if (!buffer_) return 1;
    if (volume != nullptr) *volume = buffer_->GetVolume();
    return 0;
}

int32_t CDirectSoundBuffer::SetPan(int32_t pan) { return buffer_ ? Code(buffer_->SetPan(pan)) : 1; }

int32_t CDirectSoundBuffer::GetPan(int32_t* pan) {
    if (!buffer_) return 1;
    if (pan != nullptr) *pan = buffer_->GetPan();
    return 0;
}

int32_t CDirectSoundBuffer::SetFrequency(uint32_t hz) { return buffer_ ? Code(buffer_->SetFrequency(hz)) : 1; }

int32_t CDirectSoundBuffer::GetFrequency(uint32_t* hz) {
    if (!buffer_) return 1;
    if (hz != nullptr) *hz = buffer_->GetFrequency();
    return 0;
}

int32_t CDirectSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2,
                                 uint32_t* size2) {
    if (!buffer_) return 1;
    BufferResult r = buffer_->Lock(offset, bytes, part1, size1, part2, size2);
    if (r == BufferResult::kLost) {
        buffer_->Restore();
        r = buffer_->Lock(offset, bytes, part1, size1, part2, size2);
    }
    return Code(r);
}

int32_t CDirectSoundBuffer::Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) {
    return buffer_ ? Code(buffer_->Unlock(part1, size1, part2, size2)) : 1;
}

int32_t CDirectSoundBuffer::Play(bool loop) {
    if (!buffer_) return 1;
    const BufferResult r = buffer_->Play(loop);
    return r == BufferResult::kOk ? 0 : (r == BufferResult::kLost ? 2 : 3);
}

int32_t CDirectSoundBuffer::Stop() { return buffer_ ? Code(buffer_->Stop()) : 1; }

int32_t CDirectSoundBuffer::Restore() { return buffer_ ? Code(buffer_->Restore()) : 1; }

int32_t CDirectSoundPrimaryBuffer::Create(const WAVEFORMATEX*, uint32_t, bool, CSoundParameter*) {
    created_ = device_ != nullptr && device_->GetStatus() == 0;
    return created_ ? 0 : 1;
}

int32_t CDirectSoundPrimaryBuffer::SetFormat(const WAVEFORMATEX* format) {
    if (!created_) return 1;
    if (format == nullptr) return 2;
    format_ = *format;
    return 0;
}

int32_t CDirectSoundPrimaryBuffer::GetFormat(WAVEFORMATEX* format) {
    if (!created_) return 1;
    if (format != nullptr) *format = format_;
    return 0;
}

int32_t CDirectSoundSeconderyBuffer::Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear,
                                            CSoundParameter* parameter) {
    buffer_.reset();
    if (format == nullptr || device_ == nullptr || device_->GetStatus() != 0) return 1;
    morna::platform::SoundBufferFlags flags;
    if (parameter != nullptr) {
        flags.globalFocus = parameter->IsGlobalFocus();
        flags.pan = parameter->IsPanControl();
        flags.frequency = parameter->IsFrequencyControl();
    }
    buffer_ = morna::platform::SoundBuffer::Create(*format, bytes, flags);
    if (!buffer_) return 1;
    if (!clear) return 0;  // new buffers are zero-filled whatever the caller asks
    void* part = nullptr;
    uint32_t size = 0;
    if (Lock(0, bytes, &part, &size, nullptr, nullptr) != 0) return 2;
    std::memset(part, 0, size);
    return Unlock(part, size, nullptr, 0) != 0 ? 3 : 0;
}

VTL::smart_ptr<ISoundBuffer> CDirectSoundSeconderyBuffer::Duplicate() {
    if (buffer_) {
        auto* copy = new CDirectSoundSeconderyBuffer(device_);
        copy->buffer_ = buffer_->Duplicate();
        return VTL::smart_ptr<ISoundBuffer>(copy);
    }
    return VTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
}

int32_t FillFromStream(ISoundBuffer& buffer, uint32_t offset, uint32_t bytes, ISoundStream& stream,
                       const FillMessages& messages, uint32_t& got) {
    got = 0;
    void* region = nullptr;
    uint32_t size = 0;
    if (buffer.Lock(offset, bytes, &region, &size, nullptr, nullptr) != 0) {
        GetErrorLog().Out("%s", messages.lock);
        return 1;
    }
    got = stream.Read(region, size);
    if (got > size) {
        GetErrorLog().Out("%s", messages.read);
        buffer.Unlock(region, size, nullptr, 0);
        return 2;
    }
    if (buffer.Unlock(region, size, nullptr, 0) != 0) {
        GetErrorLog().Out("%s", messages.unlock);
        return 3;
    }
    return 0;
}

// ---- the wave output ---------------------------------------------------------------

CWaveOutputDirectSound::CWaveOutputDirectSound(CDirectSound* device) : parameter_(new CSoundParameter), device_(device) {
    if (device == nullptr) throw VTL::CSyntaxException("引数がNULLなのでCWaveOutputDirectSoundのコンストラクトが出来ません");
    primary_ = VTL::smart_ptr<ISoundBuffer>(new CDirectSoundPrimaryBuffer(device));
    AppFrame::CAppManager::Hook(this);
}

CWaveOutputDirectSound::~CWaveOutputDirectSound() { AppFrame::CAppManager::Unhook(this); }

int32_t CWaveOutputDirectSound::AddSound(ISound* sound) {
    if (sound == nullptr || sound->GetType() != kWaveStaticSound) return 1;
    sounds_.push_back(sound);
    return 0;
}

int32_t CWaveOutputDirectSound::RemoveSound(ISound* sound) {
    const auto it = std::find(sounds_.begin(), sounds_.end(), sound);
    if (it == sounds_.end()) return 1;
    sounds_.erase(it);
    return 0;
}

void CWaveOutputDirectSound::RestoreAll() {
    for (ISound* s : sounds_) {
        if (auto* wave = dynamic_cast<IWaveSound*>(s)) wave->Restore();
    }
}

int32_t CWaveOutputDirectSound::SetFormat(int32_t rateStep, int32_t bitsStep, bool stereo) {
    const int32_t key = (bitsStep + 2 * rateStep) * 2 + (stereo ? 1 : 0);
    if (key == formatKey_) return 0;
    if (device_->GetStatus() != 0) return 3;
    if (device_->SetCooperativeLevel(2) != 0) return 1;
    if (formatKey_ == -1) primary_->Create(nullptr, 0, false, nullptr);
    const uint16_t channels = stereo ? 2 : 1;
    const WAVEFORMATEX format = morna::platform::PcmWaveFormat(channels, static_cast<uint32_t>((rateStep + 1) * 11025),
                                                               static_cast<uint16_t>(8 * bitsStep + 8));
    if (primary_->SetFormat(&format) != 0) return 2;
    formatKey_ = key;
    RestoreAll();
    return 3;
}

VTL::smart_ptr<ISoundBuffer> CWaveOutputDirectSound::MakeBuffer() {
    if (device_->GetStatus() == 0) return VTL::smart_ptr<ISoundBuffer>(new CDirectSoundSeconderyBuffer(device_));
    return VTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
}

LRESULT CWaveOutputDirectSound::WndProc(HWND, UINT msg, WPARAM wparam, LPARAM) {
    if (msg == morna::platform::WM_ACTIVATEAPP && wparam != 0) RestoreAll();
    return 0;
}

}  // namespace tovarineGameSDK3rd::Multimedia
