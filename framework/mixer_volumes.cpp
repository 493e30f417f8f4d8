#include "framework/mixer_volumes.h"

#include "foundation/vtl/text_output_stream.h"
#include "platform/clock.h"

namespace KestraneGameBase2 {

namespace MM = tovarineGameSDK3rd::Multimedia;

void SMixerVolumes::Serialize(Aux::ISerialize& ar) {
    for (auto& line : values) ar << line[0] << line[1];
}

bool SMixerVolumes::operator==(const SMixerVolumes& other) const {
    for (int n = 0; n < kLines; ++n)
        if (values[n][0] != other.values[n][0] || values[n][1] != other.values[n][1]) return false;
    return true;
}

int32_t SMixerVolumes::Load(const VTLstring& name) {
    Aux::CSerialize ar;
    if (const int32_t r = ReadCheckedFile(name, ar); r != 0) return r;
    int32_t version = -1;
    SMixerVolumes read;
    ar << version << read;
    // Every byte is the record's: a longer file is another format, not this one with extras.
    if (ar.IsFailed() || version != 0 || ar.GetReadPosition() != ar.GetData().size()) return 2;
    for (const auto& line : read.values)
        if (line[0] > kFull || line[1] > kFull) return 2;
    *this = read;
    return 0;
}

bool SMixerVolumes::Save(const VTLstring& name) { return SaveConfigFile(name, 0, *this); }

CKeptMixerDevice::CKeptMixerDevice(const VTLstring& name) : name_(name) {
    SMixerVolumes read;
    const int32_t r = read.Load(name_);
    if (r == 2) {
        tovarineGameSDK3rd::GetErrorLog().Out("CKeptMixerDevice %sが壊れているため音量を最大にした", name_.c_str());
        read.Save(name_);
    }
    // A missing file is a first start: full volume, as a new process's lines are.
    Apply(read);
    kept_ = read;
}

SMixerVolumes CKeptMixerDevice::Current() {
    SMixerVolumes now;
    for (int32_t n = 0; n < SMixerVolumes::kLines; ++n) {
        std::vector<uint32_t> v;
        if (ReadLine(n, v) && v.size() == 2) {
            now.values[n][0] = v[0];
            now.values[n][1] = v[1];
        }
    }
    return now;
}

void CKeptMixerDevice::Apply(const SMixerVolumes& volumes) {
    for (int32_t n = 0; n < SMixerVolumes::kLines; ++n)
        MM::CSoftwareMixerDevice::WriteLine(n, {volumes.values[n][0], volumes.values[n][1]});
}

CKeptMixerDevice::~CKeptMixerDevice() { SaveIfChanged(); }

void CKeptMixerDevice::SaveIfChanged() {
    SMixerVolumes now = Current();
    // A failed save is logged by the writer and tried again at the next change.
    if (!(now == kept_) && !now.Save(name_)) {
        kept_ = now;
        saved_ = true;
        savedAt_ = morna::platform::MonotonicMilliseconds();
    }
}

uint32_t CKeptMixerDevice::WriteLine(int32_t line, const std::vector<uint32_t>& values) {
    const uint32_t r = MM::CSoftwareMixerDevice::WriteLine(line, values);
    if (r != 0) return r;
    if (!saved_ || morna::platform::MonotonicMilliseconds() - savedAt_ >= kSaveGapMs) SaveIfChanged();
    return 0;
}

}  // namespace KestraneGameBase2
