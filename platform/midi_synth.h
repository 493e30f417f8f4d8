#pragma once
// A General MIDI synthesizer (libfluidsynth with a SoundFont from the
// distribution) that joins the process's mixer on the synth line and plays one
// song at a time: a new song replaces the playing one. The application thread
// reaches the render through a small command state under a lock that the render
// only tries, so the render never waits on the application; positions and the
// end of a song are published back the same way. Songs start on the synth's
// 64-frame block, so no sample depends on when Play came.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi_file.h"
#include "platform/midi_sequencer.h"
#include "platform/sound_output.h"
#include "platform/window.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace morna::platform {

// The folder searched for SoundFonts ("default-GM.sf2" first, then every .sf2 by
// name); /usr/share/sounds/sf2 unless a test names another.
void SetSoundFontFolder(const std::string& folder);

// The two MIDI devices the sound factory asks for. Both mean: a SoundFont was
// found and a synth starts. Asked once per process, unless forced: answer -1
// asks again next time, 0 and 1 fix the answer.
enum class MidiProbe { kDirectMusic, kMidiMapper };
bool ProbeMidi(MidiProbe probe);
void ForceMidiProbe(MidiProbe probe, int answer);

// Posted to a window when a playback that names it reaches its end.
struct MidiNotify {
    WindowHandle window = 0;
    uint32_t message = 0;
    uintptr_t wparam = 0;
    intptr_t lparam = 0;
};

// One song started on a synth; its state lives under the synth's lock.
struct MidiPlayback;
using MidiPlaybackRef = std::shared_ptr<MidiPlayback>;

class MidiSynth : private MixVoice, private MidiSink {
public:
    // Null when no SoundFont loads.
    static std::unique_ptr<MidiSynth> Create();
    ~MidiSynth() override;
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // Joins the mixer (opening it); false when the output cannot open.
    bool Attach();

    // Replaces the playing song. startSample counts from the song's start.
    MidiPlaybackRef Play(std::shared_ptr<const MidiSong> song, int64_t startSample, bool loop,
                         const MidiNotify& notify = {});
    // Stops the playback when it still plays, releasing its notes.
    void Stop(const MidiPlaybackRef& playback);
    // Neither stopped, nor replaced, nor at the end of a song without loop.
    bool IsPlaying(const MidiPlaybackRef& playback);
    // Samples from its song's start; a looping song wraps at its length.
    int64_t Position(const MidiPlaybackRef& playback);

    // Linear gain of everything the synth plays (1 at start).
    void SetGain(float gain);
    // Heard while the application is inactive too (off at start), as a sound
    // buffer's global focus; without it a song runs on unheard meanwhile.
    void SetGlobalFocus(bool on);

private:
    MidiSynth() = default;

    // MixVoice, on the mixer's thread.
    SoundLine Line() const override { return SoundLine::kSynth; }
    void Mix(float* mix, uint32_t frames, StereoGain gain, bool applicationActive) override;
    // MidiSink, on the mixer's thread.
    void Render(uint32_t frames) override;
    void Channel(uint8_t status, uint8_t data1, uint8_t data2) override;
    void SysEx(const uint8_t* data, uint32_t size) override;
    void ReleaseNotes() override;
    void Reset() override;

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    bool attached_ = false;

    // The command state: what the application wants, under lock_.
    std::mutex lock_;
    MidiPlaybackRef wanted_;
    uint64_t wantedGeneration_ = 0;
    std::atomic<float> gain_{1.0f};
    std::atomic<bool> globalFocus_{false};

    // The render's own state.
    uint64_t appliedGeneration_ = 0;
    MidiPlaybackRef playing_;
    bool startPending_ = false;
    bool endUnpublished_ = false;
    MidiSequencer sequencer_;
    uint64_t frames_ = 0;  // rendered by the synth since it was made
    std::vector<float> block_;
    float* mix_ = nullptr;
    float scale_[2] = {0.0f, 0.0f};
};

}  // namespace morna::platform
