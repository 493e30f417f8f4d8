#pragma once
// Writes Standard MIDI Files: tracks of timed events (notes, programs,
// controllers, pitch bends, tempo changes, system exclusive, raw bytes), merged
// into time order with running status and closed by an end of track. Used by the
// tests and the data-set generator.
#include <cstdint>
#include <vector>

namespace morna::tools {

using Bytes = std::vector<uint8_t>;

class MidiTrack {
public:
    // A channel message, a meta event (0xFF, type, data) or system exclusive,
    // as the bytes after the delta time. Events at one tick keep their order.
    MidiTrack& Event(int64_t tick, const Bytes& bytes);
    MidiTrack& Note(int64_t tick, int channel, int key, int velocity, int64_t length);
    MidiTrack& Program(int64_t tick, int channel, int program);
    MidiTrack& Control(int64_t tick, int channel, int controller, int value);
    // value 0 to 16383, 8192 the centre.
    MidiTrack& PitchBend(int64_t tick, int channel, int value);
    MidiTrack& Tempo(int64_t tick, uint32_t usPerQuarter);
    // The bytes between F0 and the closing F7.
    MidiTrack& SysEx(int64_t tick, const Bytes& payload);
    // Where the track ends (else at its last event).
    MidiTrack& End(int64_t tick);

    // The "MTrk" chunk.
    Bytes ChunkBytes() const;

private:
    struct Timed {
        int64_t tick;
        Bytes bytes;
    };
    std::vector<Timed> events_;
    int64_t end_ = 0;
};

// division: ticks a quarter note, or an SMPTE word (0x8000 | -fps << 8 | ticks a frame).
Bytes MidiFileBytes(int format, uint16_t division, const std::vector<MidiTrack>& tracks);

}  // namespace morna::tools
