#pragma once
// The process's sound output: one software mixer that adds every playing voice
// into 44.1 kHz 16-bit stereo. It is opened by its first user and closed by its
// last. Its back end is chosen at start-up: SDL2's audio device (SDL converts
// for a device that wants another format), or a manual one from which tests pull
// frames. Voices are wave buffers or synthesizers (MIDI). Each line has a gain
// for each channel: the wave and synth lines on their voices, the master line on
// everything; they act only on this mixer's output, never on the system's mixer.
#include <cstdint>

namespace morna::platform {

inline constexpr uint32_t kOutputRate = 44100;
// Frames the device asks for at a time; wave buffers keep their write cursor this far ahead.
inline constexpr uint32_t kOutputPeriodFrames = 1024;

enum class SoundLine { kMaster, kWave, kSynth };
inline constexpr int kSoundLines = 3;

struct StereoGain {
    float left = 1.0f;
    float right = 1.0f;
};

// Something the mixer plays. Mix runs on the mixer's thread while the voice list
// is locked, so a voice removed with RemoveMixVoice is never called again.
class MixVoice {
public:
    virtual ~MixVoice() = default;
    virtual SoundLine Line() const = 0;
    // Adds frames of output-rate stereo (left, right; in 16-bit sample units)
    // into mix, each channel scaled by its gain. applicationActive is false
    // while the application lacks the focus.
    virtual void Mix(float* mix, uint32_t frames, StereoGain gain, bool applicationActive) = 0;
};

enum class OutputBackend { kDevice, kManual };
// Takes effect at the next open.
void SetOutputBackend(OutputBackend backend);

// Counts one user; the first opens the back end. False (nothing counted) when
// it cannot open.
bool OpenSoundOutput();
void CloseSoundOutput();
bool IsSoundOutputOpen();

// Can the output open? Asked once per process (opening and closing it), unless
// forced: answer -1 asks again next time, 0 and 1 fix the answer.
bool ProbeSoundOutput();
void ForceSoundOutputProbe(int answer);

void AddMixVoice(MixVoice* voice);
void RemoveMixVoice(MixVoice* voice);

// Linear gains of a line's channels (1 at start; negative ones are 0).
void SetLineGain(SoundLine line, StereoGain gain);
StereoGain GetLineGain(SoundLine line);

// Whether the application is active (one of its windows or dialogs has the focus); the window
// layer decides it.
void SetApplicationActive(bool active);
// The activation the mixer last heard.
bool IsSoundApplicationActive();

// Mixes the next frames into out (stereo 16-bit). The device's thread calls it;
// with the manual back end tests do.
void RenderSoundOutput(int16_t* out, uint32_t frames);

}  // namespace morna::platform
