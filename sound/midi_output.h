#pragma once
// MIDI songs: through a sequencer device opened on a file, as MCI offered it
// (the end comes back as a window message, where looping is done), and through
// the factory's shared synth, as DirectMusic offered it (the song is a segment
// read from memory; positions in music time, 768 ticks a quarter note).
#include <cstdint>
#include <memory>

#include "foundation/auxiliary/file.h"
#include "foundation/window/win_hook.h"
#include "platform/midi_file.h"
#include "platform/midi_synth.h"
#include "sound/direct_sound.h"
#include "sound/sound.h"

namespace tovarineGameSDK3rd::Multimedia {

// The factory's device probes: a SoundFont was found and a synth starts. Asked
// once per process; tests force them with morna::platform::ForceMidiProbe.
bool ProbeDirectMusic();
bool ProbeMidiMapper();

class CMIDIOutputMCI : public ISound, public Window::IWinHook {
public:
    // Hooks the calling thread's application window.
    CMIDIOutputMCI();
    ~CMIDIOutputMCI() override;
    CMIDIOutputMCI(const CMIDIOutputMCI&) = delete;
    CMIDIOutputMCI& operator=(const CMIDIOutputMCI&) = delete;

    // 0; 1 the file does not read; 2 no temporary copy. Opens no device yet.
    int32_t Load(const VTL::VTLstring& name) override;
    // Deletes the temporary copy and closes the device: 0, 1 the close failed.
    int32_t Release() override;
    // From 0: 0; 1 no device opens; 2 refused.
    int32_t Play() override;
    int32_t Pause() override { return Stop(); }
    int32_t Replay() override;
    // Remembers the position: 0; 1 no device; 2 failed.
    int32_t Stop() override;
    bool IsPlay() override { return playing_; }
    int32_t SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int32_t SetCurrentPos(int32_t ms) override;
    int32_t GetCurrentPos() override;
    int32_t GetLength() override;
    int32_t SetVolume(int32_t) override { return -1; }
    int32_t GetVolume() override { return 0; }
    int32_t GetType() override { return kMIDIOutputMCI; }
    VTL::VTLstring GetFileName() override { return file_.GetName(); }

    // The end of the song: restarts it when looping, else stops; 1 (handled).
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) override;

    // Heard while the application is inactive too; taken when the device opens.
    void SetGlobalFocus(bool on) { globalFocus_ = on; }

    int32_t GetDeviceId() const { return device_; }
    int32_t GetPauseCount() const { return pauseCount_; }

private:
    int32_t OpenDevice();
    int32_t Status(bool length, const char* failure);

    Auxiliary::CFile file_;
    int32_t saved_ = 0;  // ms
    int32_t device_ = -1;
    int32_t pauseCount_ = 0;
    bool loop_ = false;
    bool playing_ = false;
    bool globalFocus_ = false;
};

// One synth on the mixer; every DirectMusic song of a factory plays on it.
class CDirectMusic {
public:
    // Status 0 usable; 1 no synth (no SoundFont); 2 it cannot join the output.
    // The synth joins the process's one mixer, which the mediator's device shares.
    explicit CDirectMusic(CDirectSound* mediator);
    virtual ~CDirectMusic();
    CDirectMusic(const CDirectMusic&) = delete;
    CDirectMusic& operator=(const CDirectMusic&) = delete;

    int32_t GetStatus() const { return status_; }
    // Null unless the status is 0.
    morna::platform::MidiSynth* GetSynth() const { return synth_.get(); }
    // Hundredths of a decibel, for everything the synth plays.
    void SetMasterVolume(int32_t volume);
    int32_t GetMasterVolume() const { return volume_; }
    // Heard while the application is inactive too: every song on the synth.
    void SetGlobalFocus(bool on);

private:
    std::unique_ptr<morna::platform::MidiSynth> synth_;
    int32_t volume_ = 0;
    int32_t status_ = 0;
};

class CMIDIOutputDM : public ISound {
public:
    explicit CMIDIOutputDM(CDirectMusic* device) : device_(device) {}
    ~CMIDIOutputDM() override { Release(); }
    CMIDIOutputDM(const CMIDIOutputDM&) = delete;
    CMIDIOutputDM& operator=(const CMIDIOutputDM&) = delete;

    // Without DirectMusic every int operation but Release and SetLoopPlay answers -1.
    // 0; 1 the file does not read; 2 no song; 3 the synth is not usable.
    int32_t Load(const VTL::VTLstring& name) override;
    int32_t Release() override;
    // -2 without a song; 1 refused.
    int32_t Play() override;
    int32_t Pause() override { return Stop(); }
    int32_t Replay() override;
    int32_t Stop() override;
    bool IsPlay() override;
    // Takes effect at the next Play or Replay.
    int32_t SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int32_t SetCurrentPos(int32_t ms) override;
    // -2 while not playing.
    int32_t GetCurrentPos() override;
    int32_t GetLength() override;
    // The synth's master volume, shared by every song on it.
    int32_t SetVolume(int32_t volume) override;
    int32_t GetVolume() override;
    int32_t GetType() override { return kMIDIOutputDM; }
    VTL::VTLstring GetFileName() override { return file_.GetName(); }

    // Where Replay resumes, in music time.
    int64_t GetSavedPosition() const { return saved_; }
    // The playing position in music time, wrapping at the length when looping.
    int64_t GetSeek() const;

private:
    int32_t InnerStop();
    bool InnerIsPlay() const;
    // Starts the song at a music time: false when the synth refuses.
    bool PlaySegment(int64_t music);

    Auxiliary::CFile file_;
    int64_t saved_ = 0;
    int32_t pauseCount_ = 0;
    bool loop_ = false;
    std::shared_ptr<const morna::platform::MidiSong> segment_;
    morna::platform::MidiPlaybackRef state_;
    CDirectMusic* device_;
};

}  // namespace tovarineGameSDK3rd::Multimedia
