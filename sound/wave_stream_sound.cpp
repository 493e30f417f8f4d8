#include "sound/wave_stream_sound.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Multimedia {

using Thread::CCriticalLock;

namespace {
constexpr uint32_t kPollMs = 20;
}  // namespace

CWaveStreamSound::CWaveStreamSound(IWaveOutput* output) : output_(output) {
    {
        CCriticalLock lock(lock_);
        buffer_ = VTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
    }
    output_->AddSound(this);  // declined: streaming sounds get no activation restore
}

CWaveStreamSound::~CWaveStreamSound() {
    StopThread();  // a paused or draining thread ends before the members it uses
    Release();
    output_->RemoveSound(this);
}

VTL::smart_ptr<ISoundBuffer> CWaveStreamSound::GetBuffer() {
    CCriticalLock lock(lock_);
    return buffer_;
}

VTL::smart_ptr<ISoundStream> CWaveStreamSound::GetStream() {
    CCriticalLock lock(lock_);
    return stream_;
}

void CWaveStreamSound::SetPacer(const VTL::smart_ptr<IStreamPacer>& pacer) {
    CCriticalLock lock(lock_);
    pacer_ = pacer;
}

bool CWaveStreamSound::Pace() {
    VTL::smart_ptr<IStreamPacer> pacer;
    {
        CCriticalLock lock(lock_);
        pacer = pacer_;
    }
    return pacer ? pacer->Wait(*this, kPollMs) : sleep(kPollMs);
}

int32_t CWaveStreamSound::Release() {
    if (IsPlay()) {
        Stop();
    } else {
        StopThread();  // a paused sound's idle thread
    }
    CCriticalLock lock(lock_);
    buffer_ = VTL::smart_ptr<ISoundBuffer>(new CNullSoundBuffer);
    name_ = VTL::VTLstring();
    return 0;
}

int32_t CWaveStreamSound::Load(const VTL::VTLstring& name) {
    Release();
    if (name.empty()) return 0;
    VTL::smart_ptr<ISoundStream> stream = output_->GetSoundParameter()->GetStreamFactory()->Open(name);
    {
        CCriticalLock lock(lock_);
        stream_ = stream;
        const WAVEFORMATEX* format = stream_->GetFormat();
        bytesPerSec_ = format != nullptr ? format->avgBytesPerSec : 0;
        name_ = name;
        streamLength_ = static_cast<uint32_t>(static_cast<int64_t>(stream_->GetLength()) * bytesPerSec_ / 1000);
    }
    SetCurrentPos(0);
    return 0;
}

int32_t CWaveStreamSound::Play() {
    bool paused;
    {
        CCriticalLock lock(lock_);
        paused = pauseCount_ > 0;
    }
    if (IsPlay()) {
        Stop();
    } else if (paused) {
        // The idle thread goes, and playback starts from 0 (not from where the
        // stream was read ahead to).
        StopThread();
        InnerStop();
    }
    {
        CCriticalLock lock(lock_);
        pauseCount_ = 0;
    }
    if (InitBuffer() != 0) {
        Stop();
        return 1;
    }
    if (GetBuffer()->Play(true) != 0) {
        GetErrorLog().Out("CWaveStreamSound::InitBuffer GetBuffer()->Play()に失敗！");
        Stop();
        return 2;
    }
    if (CreateThread() != 0) {
        GetErrorLog().Out("CWaveStreamSound::InitBuffer CreateThread()に失敗！");
        Stop();
        return 3;
    }
    return 0;
}

int32_t CWaveStreamSound::InitBuffer() {
    CCriticalLock lock(lock_);
    if (name_.empty() || bytesPerSec_ == 0) {
        GetErrorLog().Out("CWaveStreamSound::InitBuffer ファイルが読み込めてない");
        return 1;
    }
    const WAVEFORMATEX* format = stream_->GetFormat();
    if (format == nullptr) {
        GetErrorLog().Out("CWaveStreamSound::InitBuffer GetStream()->GetFormat()==NULL");
        return 2;
    }
    buffer_ = output_->CreateBuffer();
    const VTL::smart_ptr<CSoundParameter> parameter = output_->GetSoundParameter();
    if (buffer_->Create(format, 3 * bytesPerSec_, true, parameter.GetNoCheck()) != 0) {
        GetErrorLog().Out("CWaveStreamSound::InitBuffer サウンドバッファの作成に失敗！");
        return 3;
    }
    lastWrite_ = writeOffset_ = shortfall_ = lastPlay_ = 0;
    buffer_->SetCurrentPosition(0);
    buffer_->SetVolume(volume_);
    const uint32_t n = (bytesPerSec_ * 21 / 8) & ~3u;  // 2.625 s
    static constexpr FillMessages kMessages{"CWaveStreamSound::InitBuffer GetBuffer()->Lock()に失敗！",
                                            "CWaveStreamSound::InitBuffer GetStream()->Read()に失敗！",
                                            "CWaveStreamSound::InitBuffer GetBuffer()->Unlock()に失敗！"};
    uint32_t got = 0;
    if (const int32_t r = FillFromStream(*buffer_, writeOffset_, n, *stream_, kMessages, got); r != 0) return r + 3;
    writeOffset_ += got;
    if (got < n) shortfall_ = n - got;
    return 0;
}

int32_t CWaveStreamSound::GetNextSoundData() {
    CCriticalLock lock(lock_);
    delivered_ = false;
    const uint32_t ring = 3 * bytesPerSec_;
    uint32_t play = 0, write = 0;
    if (buffer_->GetCurrentPosition(&play, &write) != 0) {
        GetErrorLog().Out("CWaveStreamSound::GetNextSoundData GetBuffer()->GetCurrentPosition()に失敗！");
        return 5;
    }
    uint32_t n = 0;
    if (write != lastWrite_) {
        n = (write > lastWrite_ ? write - lastWrite_ : write - lastWrite_ + ring) + shortfall_;
        if (n < bytesPerSec_ / 2) n = 0;
    }
    if (n != 0) {
        // The refill stays behind the play cursor.
        if (writeOffset_ + n > ring) {
            const uint32_t toEnd = ring - writeOffset_;
            if (n - toEnd > play) n = toEnd + play;
        } else if (writeOffset_ < play && play < writeOffset_ + n) {
            n = play - writeOffset_;
        }
        n = std::min(n, ring) & ~3u;
    }
    if (n == 0) {  // nothing to do yet (a refill cut to nothing is not the end)
        lock.Leave();
        Pace();
        return 0;
    }
    std::vector<uint8_t> bytes(n);
    const uint32_t got = stream_->Read(bytes.data(), n);
    // The end: the last write cursor and the shortfall stay, so the refill after a
    // loop's rewind asks for all that is missing.
    if (got == 0) return 1;
    if (got > n) {
        GetErrorLog().Out("CWaveStreamSound::GetNextSoundData GetStream()->Read()に失敗！");
        return 2;
    }
    void *part1 = nullptr, *part2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (buffer_->Lock(writeOffset_, n, &part1, &size1, &part2, &size2) != 0) {
        GetErrorLog().Out("CWaveStreamSound::GetNextSoundData GetBuffer()->Lock()に失敗！");
        return 3;
    }
    std::memcpy(part1, bytes.data(), std::min(got, size1));
    if (part2 != nullptr && got > size1) std::memcpy(part2, bytes.data() + size1, std::min(got - size1, size2));
    if (buffer_->Unlock(part1, size1, part2, size2) != 0) {
        GetErrorLog().Out("CWaveStreamSound::GetNextSoundData GetBuffer()->Unlock()に失敗！");
        return 4;
    }
    lastWrite_ = write;
    shortfall_ = got < n ? n - got : 0;
    writeOffset_ = (writeOffset_ + got) % ring;
    delivered_ = true;
    return 0;
}

bool CWaveStreamSound::TrackPosition(uint32_t ring, uint32_t& play, bool* wrapped) {
    if (buffer_->GetCurrentPosition(&play, nullptr) != 0) return false;
    if (play >= lastPlay_) {
        position_ += play - lastPlay_;
    } else {
        position_ += play - lastPlay_ + ring;
        if (wrapped != nullptr) *wrapped = true;
    }
    lastPlay_ = play;
    position_ = streamLength_ != 0 ? position_ % streamLength_ : 0;  // an empty stream stays at 0
    return true;
}

void CWaveStreamSound::ThreadProc() {
    uint32_t ring;
    {
        CCriticalLock lock(lock_);
        ring = 3 * bytesPerSec_;
    }
    bool rewound = false;  // rewound, and nothing read since
    while (IsThreadValid()) {
        {
            CCriticalLock lock(lock_);
            uint32_t play = 0;
            if (!TrackPosition(ring, play, nullptr)) {
                GetErrorLog().Out("CWaveStreamSound::ThreadProc GetBuffer()->GetCurrentPosition()に失敗！");
                InnerStop();
                return;
            }
        }
        const int32_t r = GetNextSoundData();
        if (r == 0) {
            if (delivered_) rewound = false;
            continue;
        }
        if (r >= 2) {
            InnerStop();
            return;
        }
        // The end of the data: rewind once; a stream that gives nothing right after
        // its rewind plays out instead of spinning.
        if (IsLoopPlay() && !rewound) {
            CCriticalLock lock(lock_);
            stream_->SetCurrentPos(0);
            rewound = true;
            continue;
        }
        Drain(ring);
        return;
    }
}

void CWaveStreamSound::Drain(uint32_t ring) {
    uint32_t end;
    bool mustWrap;
    {
        CCriticalLock lock(lock_);
        end = writeOffset_;
        uint32_t play = 0;
        if (buffer_->GetCurrentPosition(&play, nullptr) != 0) {
            InnerStop();
            return;
        }
        // Silence over what was heard already, from the end of the data to where
        // the play cursor stands (when it must still wrap) or to the end of the ring.
        mustWrap = play >= end;
        const uint32_t n = mustWrap ? play - end : ring - end;
        if (n > 0) {
            void* region = nullptr;
            uint32_t size = 0;
            if (buffer_->Lock(end, n, &region, &size, nullptr, nullptr) != 0) {
                GetErrorLog().Out("CWaveStreamSound::ThreadProc GetBuffer()->Lock()に失敗！");
                InnerStop();
                return;
            }
            std::memset(region, 0, size);
            if (buffer_->Unlock(region, size, nullptr, 0) != 0) {
                GetErrorLog().Out("CWaveStreamSound::ThreadProc GetBuffer()->Unlock()に失敗！");
                InnerStop();
                return;
            }
        }
    }
    while (IsThreadValid()) {
        CCriticalLock lock(lock_);
        uint32_t play = 0;
        if (buffer_->GetCurrentPosition(&play, nullptr) != 0) {
            InnerStop();
            return;
        }
        if (!mustWrap && play >= end) {
            InnerStop();
            return;
        }
        if (play == lastPlay_) {
            lock.Leave();
            if (Pace()) return;
            continue;
        }
        bool wrapped = false;
        TrackPosition(ring, play, &wrapped);
        if (wrapped) mustWrap = false;
    }
}

int32_t CWaveStreamSound::InnerStop() {
    CCriticalLock lock(lock_);
    const int32_t r = buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    if (stream_) stream_->SetCurrentPos(0);
    position_ = 0;
    pauseCount_ = 0;
    return r;
}

int32_t CWaveStreamSound::Stop() {
    {
        CCriticalLock lock(lock_);
        if (pauseCount_ != 0) return 0;
    }
    StopThread();
    return InnerStop();
}

int32_t CWaveStreamSound::Pause() {
    CCriticalLock lock(lock_);
    if (pauseCount_ > 0) ++pauseCount_;
    if (!IsPlay()) return 0;
    pauseCount_ = 1;
    return buffer_->Stop();
}

int32_t CWaveStreamSound::Replay() {
    CCriticalLock lock(lock_);
    if (pauseCount_ == 0) return 0;
    if (--pauseCount_ > 0) return 0;
    return buffer_->Play(true);
}

bool CWaveStreamSound::IsPlay() {
    CCriticalLock lock(lock_);
    return buffer_->GetStatus() == 3;
}

int32_t CWaveStreamSound::SetLoopPlay(bool loop) {
    CCriticalLock lock(lock_);
    loop_ = loop;
    return 0;
}

bool CWaveStreamSound::IsLoopPlay() {
    CCriticalLock lock(lock_);
    return loop_;
}

int32_t CWaveStreamSound::SetCurrentPos(int32_t ms) {
    {
        CCriticalLock lock(lock_);
        if (bytesPerSec_ == 0) return 1;
    }
    const bool was = IsPlay();
    Stop();
    {
        CCriticalLock lock(lock_);
        stream_->SetCurrentPos(ms);
        position_ = static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(ms)) * bytesPerSec_ / 1000);
    }
    return was ? Play() : 0;
}

int32_t CWaveStreamSound::GetCurrentPos() {
    CCriticalLock lock(lock_);
    return bytesPerSec_ == 0 ? -1 : BytesToMs(position_, bytesPerSec_);
}

int32_t CWaveStreamSound::GetLength() {
    CCriticalLock lock(lock_);
    return stream_ ? stream_->GetLength() : -1;
}

int32_t CWaveStreamSound::SetVolume(int32_t volume) {
    CCriticalLock lock(lock_);
    volume_ = volume;
    return buffer_->SetVolume(volume);
}

int32_t CWaveStreamSound::GetVolume() {
    CCriticalLock lock(lock_);
    return volume_;
}

VTL::VTLstring CWaveStreamSound::GetFileName() {
    CCriticalLock lock(lock_);
    return name_;
}

int32_t CWaveStreamSound::Restore() {
    VTL::VTLstring name;
    {
        CCriticalLock lock(lock_);
        if (name_.empty() || buffer_->GetStatus() != 1) return 0;
        name = name_;
    }
    const bool was = IsPlay();
    Stop();
    Load(name);
    return was ? Play() : 0;
}

}  // namespace tovarineGameSDK3rd::Multimedia
