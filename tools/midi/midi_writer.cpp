#include "tools/midi/midi_writer.h"

#include <algorithm>
#include <stdexcept>

namespace morna::tools {
namespace {

void AppendBE(Bytes& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AppendVlq(Bytes& out, uint64_t v) {
    if (v > 0x0FFFFFFF) throw std::invalid_argument("a delta time has at most 28 bits");
    uint8_t groups[4];
    int n = 0;
    do {
        groups[n++] = static_cast<uint8_t>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    while (n-- > 0) out.push_back(static_cast<uint8_t>(groups[n] | (n > 0 ? 0x80 : 0)));
}

uint8_t Status(int kind, int channel) { return static_cast<uint8_t>(kind | (channel & 0x0F)); }
uint8_t Data(int v) { return static_cast<uint8_t>(v & 0x7F); }

}  // namespace

MidiTrack& MidiTrack::Event(int64_t tick, const Bytes& bytes) {
    if (tick < 0 || bytes.empty()) throw std::invalid_argument("an event needs a tick and bytes");
    events_.push_back({tick, bytes});
    return *this;
}

MidiTrack& MidiTrack::Note(int64_t tick, int channel, int key, int velocity, int64_t length) {
    Event(tick, {Status(0x90, channel), Data(key), Data(velocity)});
    return Event(tick + length, {Status(0x80, channel), Data(key), 0});
}

MidiTrack& MidiTrack::Program(int64_t tick, int channel, int program) {
    return Event(tick, {Status(0xC0, channel), Data(program)});
}

MidiTrack& MidiTrack::Control(int64_t tick, int channel, int controller, int value) {
    return Event(tick, {Status(0xB0, channel), Data(controller), Data(value)});
}

MidiTrack& MidiTrack::PitchBend(int64_t tick, int channel, int value) {
    return Event(tick, {Status(0xE0, channel), Data(value), Data(value >> 7)});
}

MidiTrack& MidiTrack::Tempo(int64_t tick, uint32_t usPerQuarter) {
    Bytes b{0xFF, 0x51, 3};
    AppendBE(b, usPerQuarter, 3);
    return Event(tick, b);
}

MidiTrack& MidiTrack::SysEx(int64_t tick, const Bytes& payload) {
    Bytes b{0xF0};
    AppendVlq(b, payload.size() + 1);
    b.insert(b.end(), payload.begin(), payload.end());
    b.push_back(0xF7);
    return Event(tick, b);
}

MidiTrack& MidiTrack::End(int64_t tick) {
    end_ = tick;
    return *this;
}

Bytes MidiTrack::ChunkBytes() const {
    std::vector<Timed> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Timed& a, const Timed& b) { return a.tick < b.tick; });
    Bytes body;
    int64_t at = 0;
    uint8_t running = 0;
    for (const Timed& e : sorted) {
        AppendVlq(body, static_cast<uint64_t>(e.tick - at));
        at = e.tick;
        const uint8_t status = e.bytes[0];
        const bool channel = status >= 0x80 && status < 0xF0;
        body.insert(body.end(), e.bytes.begin() + (channel && status == running ? 1 : 0), e.bytes.end());
        running = channel ? status : 0;
    }
    AppendVlq(body, static_cast<uint64_t>(std::max(end_, at) - at));
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    Bytes out{'M', 'T', 'r', 'k'};
    AppendBE(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes MidiFileBytes(int format, uint16_t division, const std::vector<MidiTrack>& tracks) {
    Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    AppendBE(out, static_cast<uint32_t>(format), 2);
    AppendBE(out, static_cast<uint32_t>(tracks.size()), 2);
    AppendBE(out, division, 2);
    for (const MidiTrack& t : tracks) {
        const Bytes chunk = t.ChunkBytes();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

}  // namespace morna::tools
