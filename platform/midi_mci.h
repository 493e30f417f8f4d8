#pragma once
// Sequencer devices opened on a MIDI file by name, as the MCI sequencer offered
// them: each has its own synth on the mixer, positions in milliseconds, and an
// end notice posted to a window's queue (never run on the audio thread). Ids
// count from 1 and are never reused. Results: 0 done, non-zero refused.
#include <cstdint>
#include <string_view>

#include "platform/window.h"

namespace morna::platform {

inline constexpr uint32_t MM_MCINOTIFY = 0x3B9;
inline constexpr uintptr_t MCI_NOTIFY_SUCCESSFUL = 1;

// 1 the file does not read, 2 it is no song, 3 no synth, 4 no sound output.
// globalFocus: heard while the application is inactive too (MidiSynth::SetGlobalFocus).
int32_t OpenMidiSequencer(std::string_view name, bool globalFocus, int32_t& id);
int32_t CloseMidiSequencer(int32_t id);
// From fromMs, or from the current position when fromMs < 0. At the end the
// window (when not 0) is posted MM_MCINOTIFY with MCI_NOTIFY_SUCCESSFUL and the id.
int32_t PlayMidiSequencer(int32_t id, int32_t fromMs, WindowHandle notify);
int32_t StopMidiSequencer(int32_t id);
// Stops and moves to ms (kept within the song).
int32_t SeekMidiSequencer(int32_t id, int32_t ms);
int32_t MidiSequencerPosition(int32_t id, int32_t& ms);
int32_t MidiSequencerLength(int32_t id, int32_t& ms);

// Test hook: the next position read fails.
void FailMidiSequencerStatusForTest();

}  // namespace morna::platform
