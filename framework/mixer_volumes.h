#pragma once
// The software mixer's line volumes kept between runs, as a machine's mixer keeps
// its own: the frame's mixer starts with the volumes the game last set. The file
// is a checked configuration file: the version word (0), lines 0 to 2 with two
// channel volumes each (u32, 0 to 65535) and the trailer, 32 bytes.
#include <cstdint>

#include "foundation/thread/thread.h"
#include "framework/config.h"
#include "sound/audio_mixer.h"

namespace KestraneGameBase2 {

// Relative to the game's folder, beside the other settings.
inline constexpr const char* kMixerVolumesFile = "save\\mixer.cfg";

struct SMixerVolumes : Aux::IArchive {
    static constexpr int kLines = 3;
    static constexpr uint32_t kFull = 65535;
    uint32_t values[kLines][2] = {{kFull, kFull}, {kFull, kFull}, {kFull, kFull}};

    void Serialize(Aux::ISerialize& ar) override;
    bool operator==(const SMixerVolumes& other) const;

    // 0 loaded; 1 missing (nothing under the name); 2 damaged: its trailer, its size, its
    // version or a volume above 65535; 3 there but unreadable (a folder, a file that will not
    // open or read). On 1 to 3 the record keeps its values.
    int32_t Load(const VTLstring& name);
    // The whole file through a temporary name; true on failure, which the caller logs.
    bool Save(const VTLstring& name);
};

// The process's software mixer, keeping its volumes in a file. Made, it sets the lines to the
// kept volumes: full ones when the file is missing (silently), damaged (logged, and the full
// ones written back) or unreadable (logged, and left as it is: a later change writes it, which
// fails and is logged when it is a folder). A write that changes what the lines hold is saved,
// so the game keeps what it set whatever path set it (the settings' live slider, their Cancel).
// The saves run on a thread of the device's own, at most one per kSaveGapMs: a dragged slider's
// first step is saved at once, its later ones together kSaveGapMs after the save before, so
// the last change reaches the file within kSaveGapMs (and the disk's time) even when nothing
// follows it, not even the device's end (a killed run). The end saves what is still unsaved.
// A failed save is logged once until one succeeds, and tried again at the next change.
class CKeptMixerDevice : public tovarineGameSDK3rd::Multimedia::CSoftwareMixerDevice {
public:
    static constexpr uint32_t kSaveGapMs = 250;
    explicit CKeptMixerDevice(const VTLstring& name = kMixerVolumesFile);
    ~CKeptMixerDevice() override;
    uint32_t WriteLine(int32_t line, const std::vector<uint32_t>& values) override;

private:
    class CSaver : public tovarineGameSDK3rd::Thread::CThread {
    public:
        explicit CSaver(CKeptMixerDevice& device) : device_(device) {}
        ~CSaver() override { StopThread(); }
        void ThreadProc() override { device_.SaveLoop(); }

    private:
        CKeptMixerDevice& device_;
    };

    SMixerVolumes Current();
    void Apply(const SMixerVolumes& volumes);
    void SaveLoop();
    // Saves and logs the first failure of a run of them; the saver's alone while it runs.
    void Store(const SMixerVolumes& volumes);

    VTLstring name_;
    // The saver's, and the device's own before the saver starts and after it ends.
    SMixerVolumes kept_;  // what the file holds (or was last asked to hold)
    bool failing_ = false;
    bool tried_ = false;  // a save was tried at triedAt_
    uint32_t triedAt_ = 0;
    // Under the saver's monitor.
    SMixerVolumes pending_;  // what the lines held at the last write
    bool changed_ = false;   // a write came since the saver last looked
    bool saving_ = false;    // the saver runs; without it each write saves at once
    CSaver saver_{*this};
};

}  // namespace KestraneGameBase2
