#pragma once
// The audio mixer's volume controls for four lines: 0 everything the process
// plays, 1 wave output, 2 the MIDI synth, 3 CD audio (a line this output lacks).
// Each line's channel volumes (0 to 65535) are recorded when the mixer opens, so
// that a line can be set relative to them and put back. The controls belong to
// this process's own output; the machine's mixer is never touched.
#include <cstdint>
#include <vector>

#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::Multimedia {

// The device under the mixer; answers are the mixer functions' result codes
// (0 success). Tests put failing devices in its place.
class IMixerDevice {
public:
    virtual ~IMixerDevice() {}
    virtual uint32_t GetDeviceCount() = 0;
    virtual uint32_t Open() = 0;
    virtual uint32_t Close() = 0;
    virtual bool HasLine(int32_t line) = 0;
    // The line's volume control, one value per channel; false when it cannot be read.
    virtual bool ReadLine(int32_t line, std::vector<uint32_t>& values) = 0;
    virtual uint32_t WriteLine(int32_t line, const std::vector<uint32_t>& values) = 0;
};

// The line gains of the process's software mixer: lines 0 to 2, two channels each.
class CSoftwareMixerDevice : public IMixerDevice {
public:
    uint32_t GetDeviceCount() override { return 1; }
    uint32_t Open() override { return 0; }
    uint32_t Close() override { return 0; }
    bool HasLine(int32_t line) override { return line >= 0 && line <= 2; }
    bool ReadLine(int32_t line, std::vector<uint32_t>& values) override;
    uint32_t WriteLine(int32_t line, const std::vector<uint32_t>& values) override;
};

class IAudioMixer {
public:
    virtual int32_t SetVolumeRate(int32_t line, double rate) = 0;
    virtual int32_t SetVolume(int32_t line, const std::vector<uint32_t>& values) = 0;
    virtual int32_t RestoreVolume(int32_t line) = 0;
    virtual int32_t GetVolumeRate(int32_t line, double* rate) = 0;
    virtual int32_t GetVolume(int32_t line, std::vector<uint32_t>& out) = 0;
    virtual int32_t GetSavedVolume(int32_t line, std::vector<uint32_t>& out) = 0;
    virtual int32_t SaveVolume(int32_t line) = 0;
    virtual ~IAudioMixer() {}
};

// Every operation answers -1 while the mixer is not open.
class CAudioMixer : public IAudioMixer {
public:
    CAudioMixer();
    explicit CAudioMixer(const VTL::smart_ptr<IMixerDevice>& device);
    ~CAudioMixer() override { Close(); }
    CAudioMixer(const CAudioMixer&) = delete;
    CAudioMixer& operator=(const CAudioMixer&) = delete;

    // The saved values x rate, each kept within 0..65535; SetVolume's answer.
    int32_t SetVolumeRate(int32_t line, double rate) override;
    // Values above 65535 are written as 65535, missing ones as 0: 0, -1 the
    // control does not read, 1 the write was refused.
    int32_t SetVolume(int32_t line, const std::vector<uint32_t>& values) override;
    // 0; 2 the control does not read; 1 the write was refused.
    int32_t RestoreVolume(int32_t line) override;
    // Current sum / saved sum (65535.0 for a saved sum of 0 under a current one
    // above 0): 0, 1 when either does not read.
    int32_t GetVolumeRate(int32_t line, double* rate) override;
    int32_t GetVolume(int32_t line, std::vector<uint32_t>& out) override;
    int32_t GetSavedVolume(int32_t line, std::vector<uint32_t>& out) override;
    // 0, 1 the control does not read.
    int32_t SaveVolume(int32_t line) override;

    // 0; 1 closing failed; 2 no device; 3 the device refused to open.
    int32_t Open();
    int32_t Close();

private:
    bool ReadVolume(int32_t line, std::vector<uint32_t>& values);
    bool IsLine(int32_t line) const { return line >= 0 && line < 4; }

    struct Line {
        bool found = false;
        std::vector<uint32_t> saved;
    };
    Line lines_[4];
    VTL::smart_ptr<IMixerDevice> device_;
    bool handle_ = false;
    bool opened_ = false;
};

}  // namespace tovarineGameSDK3rd::Multimedia
