#include "framework/bgm_player.h"

#include <algorithm>

#include "foundation/auxiliary/file.h"
#include "foundation/auxiliary/string_scanner.h"
#include "foundation/thread/singleton.h"

namespace KestraneGameBase2 {

namespace MM = tovarineGameSDK3rd::Multimedia;
namespace Aux = tovarineGameSDK3rd::Auxiliary;
using tovarineGameSDK3rd::Thread::CCriticalLock;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {
constinit tovarineGameSDK3rd::Thread::CSingletonHolder<CBGMPlayer> gPlayer;
}  // namespace

tovarineGameSDK3rd::Thread::CCriticalSection& MusicLock() {
    static auto* lock = new tovarineGameSDK3rd::Thread::CCriticalSection;  // outlives the threads that take it
    return *lock;
}

bool ReadLoopPoints(const VTLstring& file, LoopPoints& out) {
    Aux::CFile f;
    if (f.Read(file) != 0) return false;
    VTLstring line;
    while (f.ReadLine(line) == 0) {
        if (line.empty() || (line.size() >= 2 && line[0] == '/' && line[1] == '/')) continue;
        const char* cursor = line.c_str();
        int32_t track = 0, start = 0, end = 0;
        // A line that does not parse, or ends before it starts, would restart the track every tick.
        if (Aux::CStringScanner::GetNextToken(&cursor, &track, false) != 0 ||
            Aux::CStringScanner::GetNextToken(&cursor, &start, false) != 0 ||
            Aux::CStringScanner::GetNextToken(&cursor, &end, false) != 0 || end <= start)
            continue;
        out[track] = {start, end};
    }
    return true;
}

// ---- the player ------------------------------------------------------------------

SoundRef CBGMPlayer::TrackSound(int32_t track) {
    MM::CSoundLoader* loader = GetMusicLoader()->GetLoader();
    SoundRef sound;
    if (loader != nullptr) {
        loader->Load(track);
        sound = loader->GetSound(track);
    }
    return sound ? sound : SoundRef(new MM::CSoundNullDevice);
}

void CBGMPlayer::Initialize(const SoundFactoryRef& factory) {
    CCriticalLock lock(MusicLock());
    CMusicLoader& music = *GetMusicLoader();
    music.Load(factory);
    factory_ = factory;
    loopPoints_.clear();
    ReadLoopPoints(music.GetFolder() + loopFile_, loopPoints_);  // a missing file: no loop points
}

void CBGMPlayer::EndTrack(int32_t track) {
    if (track < 0) return;
    const SoundRef sound = TrackSound(track);
    if (pauseAtEnd_) {
        sound->Pause();
    } else {
        sound->Stop();
    }
    sound->SetVolume(AttenuationFromVolume(volume_));
}

void CBGMPlayer::Play(int32_t track, int32_t fadeFrames) {
    CCriticalLock lock(MusicLock());
    if (track < 0 || (track == current_ && pending_ == -1)) return;
    if (current_ == -1 || fadeFrames < 1) {
        fadeInCount_ = fadeInLength_ = fadeOutCount_ = fadeOutLength_ = 0;
        // The track that sounds: the one fading out, else the current one (a
        // switch without a fade must stop it too).
        EndTrack(fading_ >= 0 ? fading_ : current_);
        pauseAtEnd_ = false;
        current_ = fading_ = pending_ = -1;
        Start(track);
        return;
    }
    FadeOut(fadeFrames);
    pending_ = track;
}

void CBGMPlayer::PlayAfterFade(int32_t track) {
    CCriticalLock lock(MusicLock());
    if (track < 0) return;
    if (fadeOutCount_ > 0) {
        pending_ = track;
    } else if (current_ == -1) {
        pending_ = -1;
        Start(track);
    } else {
        FadeOut(16);
        pending_ = track;
    }
}

void CBGMPlayer::Start(int32_t track) {
    CCriticalLock lock(MusicLock());
    if (enabled_) {
        const SoundRef sound = TrackSound(track);
        sound->SetLoopPlay(true);
        sound->SetVolume(AttenuationFromVolume(volume_));
        sound->Play();
    }
    current_ = track;
}

void CBGMPlayer::FadeOut(int32_t frames) {
    CCriticalLock lock(MusicLock());
    if (current_ < 0) return;
    if (!enabled_) {
        current_ = -1;
        return;
    }
    fading_ = current_;
    SetFade(frames);
    pending_ = -1;
}

void CBGMPlayer::SetFade(int32_t frames) {
    CCriticalLock lock(MusicLock());
    fadeInCount_ = fadeInLength_ = -1;
    const int32_t f = std::max(frames, 1);
    fadeOutCount_ = fadeOutLength_ >= 1 ? static_cast<int32_t>(int64_t{fadeOutCount_} * f / fadeOutLength_) : f;
    fadeOutLength_ = f;
}

void CBGMPlayer::OnFrame() {
    CCriticalLock lock(MusicLock());
    if (fadeOutCount_ > 0) {
        const int32_t level = fadeOutLength_ == 0 ? volume_ : volume_ * fadeOutCount_ / fadeOutLength_;
        TrackSound(fading_)->SetVolume(AttenuationFromVolume(level));
        if (--fadeOutCount_ == 0) {
            fadeOutLength_ = 0;
            EndTrack(fading_);
            pauseAtEnd_ = false;
            fading_ = current_ = -1;
            if (pending_ >= 0) {
                Start(pending_);
                pending_ = -1;
            }
        }
    }
    if (fadeInCount_ > 0) {
        const int32_t level = fadeInLength_ == 0 ? volume_ : volume_ * (fadeInLength_ - fadeInCount_) / fadeInLength_;
        TrackSound(current_)->SetVolume(AttenuationFromVolume(level));
        if (--fadeInCount_ == 0) fadeInLength_ = 0;
    }
}

void CBGMPlayer::SetVolume(int32_t volume) {
    CCriticalLock lock(MusicLock());
    volume_ = std::clamp(volume, 0, 255);
    if (current_ < 0) return;
    const SoundRef sound = TrackSound(current_);
    const int32_t attenuation = AttenuationFromVolume(volume_);
    sound->SetVolume(volume_ == 0 ? -9999 : attenuation - 1);  // a change the buffer cannot skip
    sound->SetVolume(attenuation);
}

int32_t CBGMPlayer::GetVolume() {
    CCriticalLock lock(MusicLock());
    return volume_;
}

void CBGMPlayer::Reset() {
    CCriticalLock lock(MusicLock());
    const int32_t was = current_;
    if (MM::CSoundLoader* loader = GetMusicLoader()->GetLoader()) loader->Clear();
    Initialize(factory_);
    fadeInCount_ = fadeInLength_ = fadeOutCount_ = fadeOutLength_ = 0;
    current_ = pending_ = -1;
    pauseAtEnd_ = false;
    spare_ = 0;
    if (was >= 0) PlayAfterFade(was);
}

int32_t CBGMPlayer::Tick() {
    CCriticalLock lock(MusicLock());
    if (!useLoopPoints_ || loopPoints_.empty() || current_ < 0) return -1;
    const auto it = loopPoints_.find(current_);
    if (it == loopPoints_.end()) return -1;
    const SoundRef sound = TrackSound(current_);
    const int32_t position = sound->GetCurrentPos();
    if (position >= it->second.second) {
        sound->SetCurrentPos(it->second.first);
        return 0;
    }
    return it->second.second - position;
}

void CBGMPlayer::SetEnabled(bool enabled) {
    CCriticalLock lock(MusicLock());
    enabled_ = enabled;
}

bool CBGMPlayer::IsEnabled() {
    CCriticalLock lock(MusicLock());
    return enabled_;
}

void CBGMPlayer::SetUseLoopPoints(bool use) {
    CCriticalLock lock(MusicLock());
    useLoopPoints_ = use;
}

bool CBGMPlayer::IsUseLoopPoints() {
    CCriticalLock lock(MusicLock());
    return useLoopPoints_;
}

int32_t CBGMPlayer::GetCurrent() {
    CCriticalLock lock(MusicLock());
    return current_;
}

int32_t CBGMPlayer::GetPending() {
    CCriticalLock lock(MusicLock());
    return pending_;
}

CBGMPlayer* GetBGMPlayer() { return gPlayer.Get(); }
CBGMPlayer* CreateBGMPlayer() { return gPlayer.Get(); }
void DestroyBGMPlayer() { gPlayer.Destroy(); }

// ---- the music thread ------------------------------------------------------------

void CMusicThread::RequestLoad(int32_t track) {
    requestedTrack_.store(track);
    request_.store(true);
}

void CMusicThread::ThreadProc() {
    while (IsThreadValid()) {
        if (request_.exchange(false)) {
            const int32_t track = requestedTrack_.load();
            CCriticalLock lock(MusicLock());
            MM::CSoundLoader* loader = GetMusicLoader()->GetLoader();
            if (track >= 0 && loader != nullptr) loader->Load(track);
        }
        const int32_t left = GetBGMPlayer()->Tick();
        // -1 (no loop points) reads as far from a loop end.
        if (sleep(static_cast<uint32_t>(left) > 1000 ? 1000 : 1)) break;
    }
}

}  // namespace KestraneGameBase2
