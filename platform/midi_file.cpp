#include "platform/midi_file.h"

#include <algorithm>
#include <climits>

namespace morna::platform {

namespace {

using Wide = __int128;

constexpr int64_t kRate = 44100;
// Music time is a 32-bit count, milliseconds an int: longer songs are refused.
constexpr int64_t kMaxMusic = INT32_MAX;
constexpr int64_t kMaxUs = static_cast<int64_t>(INT32_MAX) * 1000 + 999;
// SMPTE songs: a quarter note of music time lasts this long.
constexpr int64_t kSmpteQuarterUs = 500000;

uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

struct Cursor {
    const uint8_t* p;
    const uint8_t* end;

    size_t Left() const { return static_cast<size_t>(end - p); }
    bool Byte(uint8_t& b) {
        if (p == end) return false;
        b = *p++;
        return true;
    }
    // A variable-length quantity: at most four bytes.
    bool Vlq(uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(b)) return false;
            v = v << 7 | (b & 0x7F);
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }
    bool Skip(uint32_t n) {
        if (n > Left()) return false;
        p += n;
        return true;
    }
};

struct TempoChange {
    int64_t tick;
    int64_t usPerQuarter;
};

}  // namespace

class MidiFileReader {
public:
    MidiFileReader(const uint8_t* data, size_t size) : song_(new MidiSong) { song_->bytes_.assign(data, data + size); }

    std::shared_ptr<const MidiSong> Read(std::string& why) {
        const std::vector<uint8_t>& b = song_->bytes_;
        if (b.size() < 14 || !std::equal(b.begin(), b.begin() + 4, "MThd")) return Fail(why, "not a MIDI file");
        const uint32_t headerSize = Be32(&b[4]);
        if (headerSize < 6 || headerSize > b.size() - 8) return Fail(why, "damaged header");
        const uint16_t format = Be16(&b[8]);
        const uint16_t tracks = Be16(&b[10]);
        const uint16_t division = Be16(&b[12]);
        if (format > 1) return Fail(why, "format 2 or unknown");
        if (tracks == 0 || (format == 0 && tracks != 1)) return Fail(why, "damaged track count");
        if (!SetDivision(division)) return Fail(why, "bad division");

        Cursor file{b.data() + 8 + headerSize, b.data() + b.size()};
        int64_t lengthTick = 0;
        for (uint32_t found = 0; found < tracks;) {
            if (file.Left() < 8) return Fail(why, "missing track");
            const uint8_t* header = file.p;
            const uint32_t size = Be32(header + 4);
            file.p += 8;
            if (size > file.Left()) return Fail(why, "chunk runs past the end");
            if (std::equal(header, header + 4, "MTrk")) {
                int64_t end = 0;
                if (!ReadTrack(Cursor{file.p, file.p + size}, end)) return Fail(why, "damaged track");
                lengthTick = std::max(lengthTick, end);
                ++found;
            }
            file.p += size;
        }
        if (!BuildTimeline(lengthTick)) return Fail(why, "too long");
        return song_;
    }

private:
    std::shared_ptr<const MidiSong> Fail(std::string& why, const char* reason) {
        why = reason;
        return nullptr;
    }

    bool SetDivision(uint16_t division) {
        MidiSong& s = *song_;
        if ((division & 0x8000) == 0) {
            if (division == 0) return false;
            s.division_ = division;
            s.tempos_.push_back({0, 0, 500000, division});
            return true;
        }
        const int fps = -static_cast<int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0) return false;
        const int64_t framesPer100s = fps == 29 ? 2997 : fps * 100;  // 29 is 30 drop-frame
        s.tempos_.push_back({0, 0, 100'000'000, framesPer100s * ticksPerFrame});
        return true;
    }

    bool ReadTrack(Cursor c, int64_t& endTick) {
        int64_t tick = 0;
        uint8_t running = 0;
        while (c.Left() > 0) {
            uint32_t delta;
            uint8_t status;
            if (!c.Vlq(delta) || !c.Byte(status)) return false;
            tick += delta;
            endTick = tick;
            if (status < 0x80) {  // running status: this byte is the first data byte
                if (running == 0) return false;
                --c.p;
                status = running;
            }
            if (status < 0xF0) {
                running = status;
                MidiEvent e;
                e.tick = tick;
                e.status = status;
                if (!Data(c, e.data1)) return false;
                if ((status & 0xE0) != 0xC0 && !Data(c, e.data2)) return false;
                events_.push_back(e);
                continue;
            }
            running = 0;  // meta and system-exclusive events cancel running status
            uint8_t type = 0;
            if (status == 0xFF && !c.Byte(type)) return false;
            if (status != 0xFF && status != 0xF0 && status != 0xF7) return false;
            uint32_t size;
            if (!c.Vlq(size) || size > c.Left()) return false;
            const uint8_t* body = c.p;
            c.p += size;
            if (status == 0xFF && type == 0x2F) return true;  // end of track
            if (status == 0xFF && type == 0x51 && size == 3) {
                const int64_t us = int64_t{body[0]} << 16 | int64_t{body[1]} << 8 | body[2];
                if (us > 0) tempos_.push_back({tick, us});
            }
            if (status == 0xF0) {
                MidiEvent e;
                e.tick = tick;
                e.status = 0xF0;
                e.offset = static_cast<uint32_t>(body - song_->bytes_.data());
                e.size = size > 0 && body[size - 1] == 0xF7 ? size - 1 : size;
                events_.push_back(e);
            }
        }
        return true;  // a track without its end-of-track event ends at its last event
    }

    static bool Data(Cursor& c, uint8_t& d) { return c.Byte(d) && d < 0x80; }

    // The tempo map, the length and every event's sample; false when too long.
    bool BuildTimeline(int64_t lengthTick) {
        MidiSong& s = *song_;
        if (s.division_ > 0) {
            if (Wide{lengthTick} * kMusicPpq / s.division_ > kMaxMusic) return false;
            std::stable_sort(tempos_.begin(), tempos_.end(),
                             [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
            for (const TempoChange& t : tempos_) {
                if (t.tick > lengthTick) break;
                MidiSong::Tempo& last = s.tempos_.back();
                if (t.tick == last.tick) {
                    last.usNum = t.usPerQuarter;
                    continue;
                }
                const Wide us = last.us + Wide{t.tick - last.tick} * last.usNum / last.usDen;
                if (us > kMaxUs) return false;
                s.tempos_.push_back({t.tick, static_cast<int64_t>(us), t.usPerQuarter, s.division_});
            }
        }
        const MidiSong::Tempo& last = s.tempos_.back();
        const Wide lengthUs = last.us + Wide{lengthTick - last.tick} * last.usNum / last.usDen;
        if (lengthUs > kMaxUs) return false;
        s.lengthUs_ = static_cast<int64_t>(lengthUs);
        s.musicLength_ = s.division_ > 0 ? lengthTick * kMusicPpq / s.division_ : s.UsToMusic(s.lengthUs_);
        if (s.musicLength_ > kMaxMusic) return false;

        std::stable_sort(events_.begin(), events_.end(),
                         [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
        for (MidiEvent& e : events_) e.sample = MidiSong::UsToSamples(s.TicksToUs(e.tick));
        s.events_ = std::move(events_);
        return true;
    }

    std::shared_ptr<MidiSong> song_;
    std::vector<MidiEvent> events_;
    std::vector<TempoChange> tempos_;
};

std::shared_ptr<const MidiSong> MidiSong::Parse(const uint8_t* data, size_t size, std::string* why) {
    std::string reason;
    MidiFileReader reader(data, size);
    std::shared_ptr<const MidiSong> song = reader.Read(reason);
    if (why != nullptr) *why = reason;
    return song;
}

const MidiSong::Tempo& MidiSong::TempoAtTick(int64_t tick) const {
    auto it = std::upper_bound(tempos_.begin(), tempos_.end(), tick,
                               [](int64_t t, const Tempo& seg) { return t < seg.tick; });
    return it == tempos_.begin() ? tempos_.front() : *(it - 1);
}

int64_t MidiSong::TicksToUs(int64_t tick) const {
    const Tempo& t = TempoAtTick(std::max<int64_t>(tick, 0));
    return t.us + static_cast<int64_t>(Wide{std::max<int64_t>(tick, 0) - t.tick} * t.usNum / t.usDen);
}

int64_t MidiSong::MusicToUs(int64_t music) const {
    music = std::max<int64_t>(music, 0);
    if (division_ == 0) return static_cast<int64_t>(Wide{music} * kSmpteQuarterUs / kMusicPpq);
    // The fractional tick music x division / 768, through the stretch that holds it.
    const Wide scaled = Wide{music} * division_;
    auto it = std::upper_bound(tempos_.begin(), tempos_.end(), scaled,
                               [](Wide x, const Tempo& seg) { return x < Wide{seg.tick} * kMusicPpq; });
    const Tempo& t = it == tempos_.begin() ? tempos_.front() : *(it - 1);
    return t.us + static_cast<int64_t>((scaled - Wide{t.tick} * kMusicPpq) * t.usNum / (Wide{t.usDen} * kMusicPpq));
}

int64_t MidiSong::UsToMusic(int64_t us) const {
    us = std::max<int64_t>(us, 0);
    if (division_ == 0) return static_cast<int64_t>(Wide{us} * kMusicPpq / kSmpteQuarterUs);
    // The earliest music time at us: the stretch that reaches it from before. A stretch that
    // begins at us may not be the first to, as stretches of less than a microsecond all begin
    // at their predecessor's floored end; a seek to a reported place must never jump ahead.
    auto it = std::lower_bound(tempos_.begin(), tempos_.end(), us,
                               [](const Tempo& seg, int64_t x) { return seg.us < x; });
    const Tempo& t = it == tempos_.begin() ? tempos_.front() : *(it - 1);
    // music = (tick + (us - t.us) x den / num) x 768 / division, floored once.
    const Wide numerator = (Wide{t.tick} * t.usNum + Wide{us - t.us} * t.usDen) * kMusicPpq;
    return static_cast<int64_t>(numerator / (Wide{t.usNum} * division_));
}

int64_t MidiSong::UsToSamples(int64_t us) { return static_cast<int64_t>(Wide{us} * kRate / 1'000'000); }
int64_t MidiSong::SamplesToUs(int64_t samples) { return static_cast<int64_t>(Wide{samples} * 1'000'000 / kRate); }

}  // namespace morna::platform
