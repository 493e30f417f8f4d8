#pragma once
// Plays a song's events into a sink at their samples: start from any point
// (sending the state the song built up before it, without notes), loop or end,
// stop. The sink renders the sound between events; the synthesizer is one sink,
// the fuzz target another that only counts.
#include <cstdint>
#include <memory>

#include "platform/midi_file.h"

namespace morna::platform {

class MidiSink {
public:
    virtual ~MidiSink() = default;
    // The next frames of sound.
    virtual void Render(uint32_t frames) = 0;
    // A channel message (status 0x80-0xEF).
    virtual void Channel(uint8_t status, uint8_t data1, uint8_t data2) = 0;
    // A system-exclusive message without its F0 and closing F7.
    virtual void SysEx(const uint8_t* data, uint32_t size) = 0;
    // Note-offs for every sounding note.
    virtual void ReleaseNotes() = 0;
    // Every channel back to its power-on state, sound cut.
    virtual void Reset() = 0;
};

class MidiSequencer {
public:
    // Resets the sink, sends every program, controller, pitch-bend, pressure and
    // system-exclusive event before startSample, then plays from there.
    void Start(std::shared_ptr<const MidiSong> song, int64_t startSample, bool loop, MidiSink& sink);
    // Releases every note; the position stays.
    void Stop(MidiSink& sink);
    // Renders frames, sending each event at its sample. At the end a looping song
    // starts again from its beginning; another stops (its notes released) and
    // Render answers true once.
    bool Render(uint32_t frames, MidiSink& sink);

    bool IsPlaying() const { return playing_; }
    // Samples from the song's start.
    int64_t Position() const { return position_; }

private:
    std::shared_ptr<const MidiSong> song_;
    size_t next_ = 0;
    int64_t position_ = 0;
    bool loop_ = false;
    bool playing_ = false;
};

}  // namespace morna::platform
