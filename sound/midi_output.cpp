#include "sound/midi_output.h"

#include <cmath>

#include "foundation/appframe/app_manager.h"
#include "foundation/thread/com.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/midi_mci.h"

namespace tovarineGameSDK3rd::Multimedia {

using morna::platform::MidiSong;

bool ProbeDirectMusic() { return morna::platform::ProbeMidi(morna::platform::MidiProbe::kDirectMusic); }
bool ProbeMidiMapper() { return morna::platform::ProbeMidi(morna::platform::MidiProbe::kMidiMapper); }

// ---- through a sequencer device --------------------------------------------------

CMIDIOutputMCI::CMIDIOutputMCI() { AppFrame::CAppManager::Hook(this); }

CMIDIOutputMCI::~CMIDIOutputMCI() {
    Release();
    AppFrame::CAppManager::Unhook(this);
}

int32_t CMIDIOutputMCI::Load(const VTL::VTLstring& name) {
    Release();
    if (file_.Read(name) != 0) {
        GetErrorLog().Out("CMIDIOutputMCI::Openで読み込むファイルが無い %s", name.c_str());
        return 1;
    }
    if (file_.CreateTemporary(false) != 0) {
        GetErrorLog().Out("CMIDIOutputMCI::OpenでCreateTemporaryに失敗");
        return 2;
    }
    return 0;
}

int32_t CMIDIOutputMCI::Release() {
    file_.Close();
    if (device_ == -1) return 0;
    if (playing_) Stop();
    if (morna::platform::CloseMidiSequencer(device_) != 0) {
        GetErrorLog().Out("CMIDIOutput::MIDIデバイスがクローズできない。");
        return 1;
    }
    device_ = -1;
    saved_ = 0;
    return 0;
}

int32_t CMIDIOutputMCI::OpenDevice() {
    if (device_ != -1) return 0;
    const VTL::VTLstring full = Auxiliary::CFile::GetFullName(file_.GetName());
    int32_t id = -1;
    if (morna::platform::OpenMidiSequencer(full.c_str(), globalFocus_, id) != 0) {
        GetErrorLog().Out("CMIDIOutput::MIDIデバイスがオープンできない。");
        return 1;
    }
    device_ = id;
    return 0;
}

int32_t CMIDIOutputMCI::Play() {
    pauseCount_ = 0;
    if (OpenDevice() != 0) return 1;
    Stop();
    if (morna::platform::PlayMidiSequencer(device_, 0, AppFrame::CAppManager::GetMyHWnd()) != 0) return 2;
    playing_ = true;
    return 0;
}

int32_t CMIDIOutputMCI::Stop() {
    if (pauseCount_ > 0) ++pauseCount_;
    if (device_ == -1) return 1;
    if (!playing_) return 0;
    pauseCount_ = 1;
    bool statusFailed = false;
    int32_t ms = 0;
    if (morna::platform::MidiSequencerPosition(device_, ms) == 0) {
        saved_ = ms;
    } else {
        GetErrorLog().Out("CMIDIOutput::MIDIデバイスステータスが読み出せない。");
        saved_ = 0;
        statusFailed = true;
    }
    if (morna::platform::StopMidiSequencer(device_) != 0) {
        GetErrorLog().Out("CMIDIOutput::MIDIデバイスが停止できない。");
        return 2;
    }
    // Stopped even when the position was lost; left set, a paused song could never resume.
    playing_ = false;
    return statusFailed ? 2 : 0;
}

int32_t CMIDIOutputMCI::Replay() {
    if (pauseCount_ == 0) return 0;
    if (--pauseCount_ != 0) return 0;
    if (device_ == -1) return 1;
    if (playing_) return 0;
    if (morna::platform::PlayMidiSequencer(device_, saved_, AppFrame::CAppManager::GetMyHWnd()) != 0) return 2;
    playing_ = true;
    return 0;
}

int32_t CMIDIOutputMCI::SetCurrentPos(int32_t ms) {
    if (device_ == -1) return -1;
    if (morna::platform::SeekMidiSequencer(device_, ms) != 0) {
        GetErrorLog().Out("Err SetCurrentPos");
        return -1;
    }
    if (playing_ && morna::platform::PlayMidiSequencer(device_, -1, AppFrame::CAppManager::GetMyHWnd()) != 0) return 2;
    return 0;
}

int32_t CMIDIOutputMCI::Status(bool length, const char* failure) {
    if (device_ == -1) return -1;
    int32_t ms = 0;
    const int32_t r = length ? morna::platform::MidiSequencerLength(device_, ms)
                             : morna::platform::MidiSequencerPosition(device_, ms);
    if (r != 0) {
        GetErrorLog().Out("%s", failure);
        return -1;
    }
    return ms;
}

int32_t CMIDIOutputMCI::GetCurrentPos() {
    return Status(false, "CMIDIOutputMCI::GetCurrentPosでMCI_STATUS(MCI_STATUS_POSITION)に失敗");
}

int32_t CMIDIOutputMCI::GetLength() {
    return Status(true, "CMIDIOutputMCI::GetCurrentPosでMCI_STATUS(MCI_STATUS_LENGTH)に失敗");
}

LRESULT CMIDIOutputMCI::WndProc(HWND, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg != morna::platform::MM_MCINOTIFY || device_ == -1 || lparam != device_ ||
        wparam != morna::platform::MCI_NOTIFY_SUCCESSFUL)
        return 0;
    if (loop_) {
        Play();
    } else {
        Stop();
    }
    return 1;
}

// ---- on the factory's synth ---------------------------------------------------

CDirectMusic::CDirectMusic(CDirectSound*) {
    Thread::AddRefCOM();
    synth_ = morna::platform::MidiSynth::Create();
    if (!synth_) {
        status_ = 1;
        return;
    }
    if (!synth_->Attach()) {
        synth_.reset();
        status_ = 2;
    }
}

CDirectMusic::~CDirectMusic() {
    synth_.reset();
    Thread::ReleaseCOM();
}

void CDirectMusic::SetMasterVolume(int32_t volume) {
    volume_ = volume;
    if (synth_) synth_->SetGain(volume <= -10000 ? 0.0f : std::pow(10.0f, static_cast<float>(volume) / 2000.0f));
}

void CDirectMusic::SetGlobalFocus(bool on) {
    if (synth_) synth_->SetGlobalFocus(on);
}

int32_t CMIDIOutputDM::Load(const VTL::VTLstring& name) {
    if (!ProbeDirectMusic()) return -1;
    Release();
    if (file_.Read(name) != 0) {
        GetErrorLog().Out("CMIDIOutputDM::Openで読み込むファイルが無い %s", name.c_str());
        return 1;
    }
    segment_ = MidiSong::Parse(static_cast<const uint8_t*>(file_.GetMemory()), file_.GetSize());
    if (!segment_) return 2;
    if (device_ == nullptr || device_->GetSynth() == nullptr) return 3;
    return 0;
}

int32_t CMIDIOutputDM::Release() {
    file_.Close();
    InnerStop();
    state_ = nullptr;
    segment_ = nullptr;
    return 0;
}

bool CMIDIOutputDM::PlaySegment(int64_t music) {
    morna::platform::MidiSynth* synth = device_ != nullptr ? device_->GetSynth() : nullptr;
    if (synth == nullptr) return false;
    state_ = synth->Play(segment_, MidiSong::UsToSamples(segment_->MusicToUs(music)), loop_);
    return true;
}

int32_t CMIDIOutputDM::Play() {
    if (!ProbeDirectMusic()) return -1;
    if (!segment_) return -2;
    pauseCount_ = 0;
    InnerStop();
    saved_ = 0;
    return PlaySegment(0) ? 0 : 1;
}

bool CMIDIOutputDM::InnerIsPlay() const {
    return state_ && device_ != nullptr && device_->GetSynth() != nullptr && device_->GetSynth()->IsPlaying(state_);
}

int64_t CMIDIOutputDM::GetSeek() const {
    if (!state_ || !segment_ || device_ == nullptr || device_->GetSynth() == nullptr) return 0;
    return segment_->UsToMusic(MidiSong::SamplesToUs(device_->GetSynth()->Position(state_)));
}

int32_t CMIDIOutputDM::InnerStop() {
    if (pauseCount_ > 0) ++pauseCount_;
    if (InnerIsPlay()) {
        pauseCount_ = 1;
        if (segment_ && state_) {
            saved_ = GetSeek();
            device_->GetSynth()->Stop(state_);
            state_ = nullptr;
        }
    }
    return 0;
}

int32_t CMIDIOutputDM::Stop() { return ProbeDirectMusic() ? InnerStop() : -1; }

bool CMIDIOutputDM::IsPlay() { return ProbeDirectMusic() && InnerIsPlay(); }

int32_t CMIDIOutputDM::Replay() {
    if (!ProbeDirectMusic()) return -1;
    if (!segment_) return -2;
    if (pauseCount_ > 0 && --pauseCount_ == 0 && !InnerIsPlay()) {
        InnerStop();
        if (!PlaySegment(saved_)) return 1;
        pauseCount_ = 0;
    }
    return 0;
}

int32_t CMIDIOutputDM::SetCurrentPos(int32_t ms) {
    if (!ProbeDirectMusic()) return -1;
    if (!segment_) return -1;
    const int32_t lengthMs = GetLength();
    if (lengthMs == 0) return -2;
    Pause();
    // In 64 bits: a 32-bit product overflows for songs of a few minutes.
    saved_ = int64_t{ms} * segment_->MusicLength() / lengthMs;
    Replay();
    return 0;
}

int32_t CMIDIOutputDM::GetCurrentPos() {
    if (!ProbeDirectMusic()) return -1;
    if (!state_) return -2;
    return static_cast<int32_t>((segment_->MusicToUs(GetSeek()) - segment_->MusicToUs(0)) / 1000);
}

int32_t CMIDIOutputDM::GetLength() {
    if (!ProbeDirectMusic()) return -1;
    if (!segment_) return -2;
    return static_cast<int32_t>((segment_->MusicToUs(segment_->MusicLength()) - segment_->MusicToUs(0)) / 1000);
}

int32_t CMIDIOutputDM::SetVolume(int32_t volume) {
    if (!ProbeDirectMusic()) return -1;
    if (device_ != nullptr) device_->SetMasterVolume(volume);
    return 0;
}

int32_t CMIDIOutputDM::GetVolume() {
    if (!ProbeDirectMusic()) return -1;
    return device_ != nullptr ? device_->GetMasterVolume() : 0;
}

}  // namespace tovarineGameSDK3rd::Multimedia
