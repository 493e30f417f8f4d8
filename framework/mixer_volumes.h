#pragma once
// The software mixer's line volumes kept between runs, as a machine's mixer keeps
// its own: the frame's mixer starts with the volumes the game last set. The file
// is a checked configuration file: the version word (0), lines 0 to 2 with two
// channel volumes each (u32, 0 to 65535) and the trailer, 32 bytes.
#include <cstdint>

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

    // 0 loaded; 1 the file cannot be read (missing); 2 damaged: its trailer, its size,
    // its version or a volume above 65535. On 1 and 2 the record keeps its values.
    int32_t Load(const VTLstring& name);
    // The whole file through a temporary name; true on failure (the error log notes it).
    bool Save(const VTLstring& name);
};

// The process's software mixer, keeping its volumes in a file. Made, it sets the lines to the
// kept volumes (full ones when the file is missing or damaged; damaged, it logs that and writes
// the full ones back); a write that changes what the lines hold saves them all, so the game
// keeps what it set whatever path set it (the settings' live slider, their Cancel) however the
// run ends. A slider dragged writes on every step: within kSaveGapMs of the last save the change
// waits for the next one, or for the device's end.
class CKeptMixerDevice : public tovarineGameSDK3rd::Multimedia::CSoftwareMixerDevice {
public:
    static constexpr uint32_t kSaveGapMs = 250;
    explicit CKeptMixerDevice(const VTLstring& name = kMixerVolumesFile);
    ~CKeptMixerDevice() override;
    uint32_t WriteLine(int32_t line, const std::vector<uint32_t>& values) override;

private:
    SMixerVolumes Current();
    void Apply(const SMixerVolumes& volumes);
    void SaveIfChanged();

    VTLstring name_;
    SMixerVolumes kept_;  // what the file holds (or was last asked to hold)
    bool saved_ = false;  // since the start
    uint32_t savedAt_ = 0;
};

}  // namespace KestraneGameBase2
