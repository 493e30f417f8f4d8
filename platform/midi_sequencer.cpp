#include "platform/midi_sequencer.h"

#include <algorithm>

namespace morna::platform {

namespace {

bool IsNote(uint8_t status) { return status < 0xA0; }

void Send(const MidiSong& song, const MidiEvent& e, MidiSink& sink) {
    if (e.status == 0xF0) {
        sink.SysEx(song.Bytes(e), e.size);
    } else {
        sink.Channel(e.status, e.data1, e.data2);
    }
}

}  // namespace

void MidiSequencer::Start(std::shared_ptr<const MidiSong> song, int64_t startSample, bool loop, MidiSink& sink) {
    song_ = std::move(song);
    loop_ = loop;
    position_ = std::clamp<int64_t>(startSample, 0, song_->LengthSamples());
    sink.Reset();
    const auto& events = song_->Events();
    next_ = 0;
    for (; next_ < events.size() && events[next_].sample < position_; ++next_) {
        // Key pressure belongs to the notes, which are not sent.
        if (!IsNote(events[next_].status) && (events[next_].status & 0xF0) != 0xA0) Send(*song_, events[next_], sink);
    }
    playing_ = true;
}

void MidiSequencer::Stop(MidiSink& sink) {
    if (playing_) sink.ReleaseNotes();
    playing_ = false;
}

bool MidiSequencer::Render(uint32_t frames, MidiSink& sink) {
    bool ended = false;
    while (frames > 0) {
        if (!playing_) {
            sink.Render(frames);
            break;
        }
        const auto& events = song_->Events();
        for (; next_ < events.size() && events[next_].sample <= position_; ++next_) Send(*song_, events[next_], sink);
        const int64_t length = song_->LengthSamples();
        if (position_ >= length) {
            if (loop_ && length > 0) {
                position_ = 0;
                next_ = 0;
                continue;
            }
            Stop(sink);
            ended = true;
            continue;
        }
        const int64_t until = next_ < events.size() ? std::min(events[next_].sample, length) : length;
        const uint32_t n = static_cast<uint32_t>(std::min<int64_t>(frames, until - position_));
        sink.Render(n);
        position_ += n;
        frames -= n;
    }
    return ended;
}

}  // namespace morna::platform
