#pragma once
// Standard MIDI Files: the reader (formats 0 and 1, PPQ and SMPTE divisions,
// running status, meta and system-exclusive events) and the song it makes: the
// tracks' channel and system-exclusive events merged in time order, the tempo
// map, the length and music time (768 ticks a quarter note) with their
// conversions. Every length is checked against its chunk; a damaged file, a
// format 2 file and a song longer than the int range of milliseconds are refused.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace morna::platform {

// Ticks a quarter note in music time.
inline constexpr int64_t kMusicPpq = 768;

struct MidiEvent {
    int64_t tick = 0;
    int64_t sample = 0;  // at the output rate, from the song's start
    uint8_t status = 0;  // a channel message, or 0xF0 for system exclusive
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint32_t offset = 0;  // system exclusive: its bytes in the song (without F0 and a closing F7)
    uint32_t size = 0;
};

class MidiSong {
public:
    // The song of a file's bytes; null with a reason when refused.
    static std::shared_ptr<const MidiSong> Parse(const uint8_t* data, size_t size, std::string* why = nullptr);

    const std::vector<MidiEvent>& Events() const { return events_; }
    const uint8_t* Bytes(const MidiEvent& e) const { return bytes_.data() + e.offset; }

    // Through every tempo change (microseconds, floored).
    int64_t TicksToUs(int64_t tick) const;
    // To the last end of track.
    int64_t LengthUs() const { return lengthUs_; }
    int32_t LengthMs() const { return static_cast<int32_t>(lengthUs_ / 1000); }
    int64_t LengthSamples() const { return UsToSamples(lengthUs_); }
    // Music time: 768 ticks a quarter note; SMPTE songs count a quarter note as 0.5 s.
    int64_t MusicLength() const { return musicLength_; }
    int64_t MusicToUs(int64_t music) const;
    int64_t UsToMusic(int64_t us) const;

    static int64_t UsToSamples(int64_t us);
    static int64_t SamplesToUs(int64_t samples);

private:
    // A stretch of constant tempo from tick (at us): usNum / usDen microseconds a tick.
    struct Tempo {
        int64_t tick;
        int64_t us;
        int64_t usNum;
        int64_t usDen;
    };
    const Tempo& TempoAtTick(int64_t tick) const;

    std::vector<uint8_t> bytes_;
    std::vector<MidiEvent> events_;
    std::vector<Tempo> tempos_;
    int64_t division_ = 0;  // ticks a quarter note; 0 for SMPTE timing
    int64_t lengthUs_ = 0;
    int64_t musicLength_ = 0;

    friend class MidiFileReader;
};

}  // namespace morna::platform
