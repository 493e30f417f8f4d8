#include "framework/mixer_volumes.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "foundation/auxiliary/file.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace KestraneGameBase2 {

namespace MM = tovarineGameSDK3rd::Multimedia;
namespace Th = tovarineGameSDK3rd::Thread;

namespace {

// Whether the name is something on the disk, even a folder or a file that cannot be read.
bool IsOnDisk(const VTLstring& name) {
    const VTLstring full = Aux::CFile::GetFullName(name);
    std::string path;
    std::error_code ec;
    return morna::platform::SystemPathFromName(std::string_view(full.c_str(), full.size()), path) &&
           std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found && !ec;
}

}  // namespace

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
    if (const int32_t r = ReadCheckedFile(name, ar); r != 0) return r == 1 && IsOnDisk(name) ? 3 : r;
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

bool SMixerVolumes::Save(const VTLstring& name) {
    // SaveConfigFile's bytes, without its log line: a slider dragged over a folder would log each try.
    Aux::CSerialize ar;
    int32_t version = 0;
    ar << version << *this;
    AppendCRC(ar);
    return ar.Save(name) != 0;
}

CKeptMixerDevice::CKeptMixerDevice(const VTLstring& name) : name_(name) {
    SMixerVolumes read;
    const int32_t r = read.Load(name_);
    if (r == 2) {
        tovarineGameSDK3rd::GetErrorLog().Out("CKeptMixerDevice %sが壊れているため音量を最大にした", name_.c_str());
        Store(read);
    } else if (r == 3) {
        // Not written back: what it holds is unknown, and a folder is the player's own.
        tovarineGameSDK3rd::GetErrorLog().Out("CKeptMixerDevice %sを読めないため音量を最大にした", name_.c_str());
    }
    // A missing file is a first start: full volume, as a new process's lines are.
    Apply(read);
    kept_ = read;
    pending_ = read;
    tried_ = false;  // the write-back does not delay the first change's save
    saving_ = saver_.CreateThread() == 0;
    if (!saving_)
        tovarineGameSDK3rd::GetErrorLog().Out("CKeptMixerDevice 保存スレッドを作れないため変更のたびに保存する");
}

CKeptMixerDevice::~CKeptMixerDevice() {
    saver_.StopThread();
    // What the saver had no time for, and a change whose save failed.
    const SMixerVolumes now = Current();
    if (!(now == kept_)) Store(now);
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

void CKeptMixerDevice::Store(const SMixerVolumes& volumes) {
    SMixerVolumes copy = volumes;
    tried_ = true;
    triedAt_ = morna::platform::MonotonicMilliseconds();
    if (copy.Save(name_)) {
        if (!failing_)
            tovarineGameSDK3rd::GetErrorLog().Out("CKeptMixerDevice %sを書き込めない (書き込めるまで記録しない)",
                                                  name_.c_str());
        failing_ = true;
        return;
    }
    kept_ = volumes;
    failing_ = false;
}

void CKeptMixerDevice::SaveLoop() {
    Th::CCriticalLock lock(saver_.GetMonitor().GetLock());
    try {
        while (saver_.IsThreadValid()) {
            if (!changed_) {
                saver_.wait();
                continue;
            }
            if (tried_) {
                const uint32_t since = morna::platform::MonotonicMilliseconds() - triedAt_;
                if (since < kSaveGapMs) {
                    saver_.wait(kSaveGapMs - since);
                    continue;
                }
            }
            changed_ = false;
            const SMixerVolumes volumes = pending_;
            if (volumes == kept_) continue;
            // Writes do not wait for the disk.
            Th::CCriticalUnlock away(saver_.GetMonitor().GetLock());
            Store(volumes);
        }
    } catch (const tovarineGameSDK3rd::VTL::CInterruptedException&) {
        // A stop forced on every thread: the device's end saves what is left.
    }
}

uint32_t CKeptMixerDevice::WriteLine(int32_t line, const std::vector<uint32_t>& values) {
    const uint32_t r = MM::CSoftwareMixerDevice::WriteLine(line, values);
    if (r != 0) return r;
    Th::CCriticalLock lock(saver_.GetMonitor().GetLock());
    // The lines as this write left them, read under the lock: of two writers, the later read wins.
    pending_ = Current();
    if (!saving_) {
        if (!(pending_ == kept_)) Store(pending_);
        return 0;
    }
    changed_ = true;
    saver_.notify();
    return 0;
}

}  // namespace KestraneGameBase2
