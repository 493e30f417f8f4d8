#include "platform/midi_mci.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/file_system.h"
#include "platform/midi_synth.h"

namespace morna::platform {

namespace {

// A MIDI file is small; anything larger is refused unread.
constexpr size_t kMaxFileBytes = 64u << 20;

struct Device {
    std::unique_ptr<MidiSynth> synth;
    std::shared_ptr<const MidiSong> song;
    MidiPlaybackRef playback;  // the last one started; null after a stop or seek
    int64_t stopped = 0;       // samples, while there is no playback

    int64_t Position() { return playback ? synth->Position(playback) : stopped; }
    void Stop() {
        if (!playback) return;
        stopped = synth->Position(playback);
        synth->Stop(playback);
        playback = nullptr;
    }
};

struct Devices {
    std::mutex lock;
    std::map<int32_t, std::unique_ptr<Device>> open;
    int32_t nextId = 1;
    std::atomic<bool> failStatus{false};
};

Devices& D() {
    static Devices* devices = new Devices;
    return *devices;
}

bool ReadFile(std::string_view name, std::vector<uint8_t>& bytes) {
    std::FILE* f = OpenFile(name, "rb");
    if (f == nullptr) return false;
    size_t size = 0;
    bool ok = FileSize(f, size) && size <= kMaxFileBytes;
    if (ok) {
        bytes.resize(size);
        ok = std::fread(bytes.data(), 1, size, f) == size;
    }
    std::fclose(f);
    return ok;
}

int64_t MsToSamples(int32_t ms) { return MidiSong::UsToSamples(int64_t{ms} * 1000); }
int32_t SamplesToMs(int64_t samples) { return static_cast<int32_t>(MidiSong::SamplesToUs(samples) / 1000); }

// Runs f on the open device, under the lock; 1 for an unknown id.
template <class F>
int32_t WithDevice(int32_t id, F f) {
    std::lock_guard<std::mutex> guard(D().lock);
    auto it = D().open.find(id);
    if (it == D().open.end()) return 1;
    return f(*it->second);
}

}  // namespace

int32_t OpenMidiSequencer(std::string_view name, bool globalFocus, int32_t& id) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(name, bytes)) return 1;
    auto device = std::make_unique<Device>();
    device->song = MidiSong::Parse(bytes.data(), bytes.size());
    if (!device->song) return 2;
    device->synth = MidiSynth::Create();
    if (!device->synth) return 3;
    device->synth->SetGlobalFocus(globalFocus);
    if (!device->synth->Attach()) return 4;
    std::lock_guard<std::mutex> guard(D().lock);
    id = D().nextId++;
    D().open.emplace(id, std::move(device));
    return 0;
}

int32_t CloseMidiSequencer(int32_t id) {
    std::unique_ptr<Device> device;
    {
        std::lock_guard<std::mutex> guard(D().lock);
        auto it = D().open.find(id);
        if (it == D().open.end()) return 1;
        device = std::move(it->second);
        D().open.erase(it);
    }
    return 0;  // the synth leaves the mixer here, outside the lock
}

int32_t PlayMidiSequencer(int32_t id, int32_t fromMs, WindowHandle notify) {
    return WithDevice(id, [&](Device& d) {
        d.Stop();
        if (fromMs >= 0) d.stopped = MsToSamples(fromMs);
        const MidiNotify end{notify, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, id};
        d.playback = d.synth->Play(d.song, d.stopped, false, end);
        return 0;
    });
}

int32_t StopMidiSequencer(int32_t id) {
    return WithDevice(id, [](Device& d) {
        d.Stop();
        return 0;
    });
}

int32_t SeekMidiSequencer(int32_t id, int32_t ms) {
    return WithDevice(id, [ms](Device& d) {
        d.Stop();
        d.stopped = std::clamp<int64_t>(MsToSamples(ms), 0, d.song->LengthSamples());
        return 0;
    });
}

int32_t MidiSequencerPosition(int32_t id, int32_t& ms) {
    if (D().failStatus.exchange(false)) return 2;
    return WithDevice(id, [&ms](Device& d) {
        ms = SamplesToMs(d.Position());
        return 0;
    });
}

int32_t MidiSequencerLength(int32_t id, int32_t& ms) {
    return WithDevice(id, [&ms](Device& d) {
        ms = d.song->LengthMs();
        return 0;
    });
}

void FailMidiSequencerStatusForTest() { D().failStatus.store(true); }

}  // namespace morna::platform
