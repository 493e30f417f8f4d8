#include "sound/audio_mixer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "foundation/vtl/text_output_stream.h"
#include "platform/sound_output.h"

namespace tovarineGameSDK3rd::Multimedia {

namespace {

using morna::platform::SoundLine;

constexpr uint32_t kFull = 65535;

const char* ResultText(uint32_t result) {
    switch (result) {
        case 0: return "CAudioMixer::あれ？NOERRORが返ってますよ";
        case 2: return "CAudioMixer::デバイス識別子が不正または有効範囲外でした";
        case 4: return "CAudioMixer::指定したリソースは、最大許容数のクライアントにすでに割り当てられていました";
        case 5: return "CAudioMixer::指定したデバイスハンドルが不正です";
        case 6: return "CAudioMixer::デバイスドライバが存在しませんでした";
        case 7: return "CAudioMixer::必要なメモリを割り当てることができませんでした";
        case 10: return "CAudioMixer::フラグの指定が不正です";
        case 11: return "CAudioMixer::アドレスが不正です";
        case 1025: return "CAudioMixer::コントロールの参照が不正です";
        default: return "CAudioMixer::原因不明のエラーが起こりました";
    }
}

// The result's message, then the caller's context.
void LogResult(uint32_t result, const char* context) {
    GetErrorLog().Out("%s", ResultText(result));
    GetErrorLog().Out("%s", context);
}

uint64_t Sum(const std::vector<uint32_t>& v) { return std::accumulate(v.begin(), v.end(), uint64_t{0}); }

SoundLine OutputLine(int32_t line) {
    return line == 0 ? SoundLine::kMaster : (line == 1 ? SoundLine::kWave : SoundLine::kSynth);
}

}  // namespace

bool CSoftwareMixerDevice::ReadLine(int32_t line, std::vector<uint32_t>& values) {
    if (!HasLine(line)) return false;
    const morna::platform::StereoGain g = morna::platform::GetLineGain(OutputLine(line));
    values = {static_cast<uint32_t>(std::lround(g.left * kFull)), static_cast<uint32_t>(std::lround(g.right * kFull))};
    return true;
}

uint32_t CSoftwareMixerDevice::WriteLine(int32_t line, const std::vector<uint32_t>& values) {
    if (!HasLine(line) || values.size() != 2) return 1025;
    morna::platform::SetLineGain(OutputLine(line), {static_cast<float>(values[0]) / kFull, static_cast<float>(values[1]) / kFull});
    return 0;
}

CAudioMixer::CAudioMixer() : CAudioMixer(VTL::smart_ptr<IMixerDevice>(new CSoftwareMixerDevice)) {}

CAudioMixer::CAudioMixer(const VTL::smart_ptr<IMixerDevice>& device) : device_(device) { Open(); }

int32_t CAudioMixer::Open() {
    opened_ = false;
    if (Close() != 0) return 1;
    if (device_->GetDeviceCount() == 0) {
        GetErrorLog().Out("CAudioMixer::Open ミキサデバイス数が 0か、エラーが発生しました");
        return 2;
    }
    if (const uint32_t r = device_->Open(); r != 0) {
        LogResult(r, "ミキサデバイスをオープンできませんでした\n");
        return 3;
    }
    handle_ = true;
    // A line counts when its control reads; lines 1 to 3 are sources of the
    // speakers' line, found only with it.
    for (int32_t n = 0; n < 4; ++n) {
        std::vector<uint32_t> values;
        Line& line = lines_[n];
        line.found = (n == 0 || lines_[0].found) && device_->HasLine(n) && device_->ReadLine(n, values);
        line.saved = line.found ? values : std::vector<uint32_t>();
    }
    opened_ = true;
    return 0;
}

int32_t CAudioMixer::Close() {
    if (!handle_) return 0;
    if (const uint32_t r = device_->Close(); r != 0) {
        LogResult(r, "ミキサデバイスを閉じられませんでした\n");
        return 1;
    }
    handle_ = false;
    return 0;
}

bool CAudioMixer::ReadVolume(int32_t line, std::vector<uint32_t>& values) {
    if (!handle_) {
        GetErrorLog().Out("ミキサデバイスのハンドルがありませんでした");
        return false;
    }
    if (!IsLine(line) || !lines_[line].found) {
        GetErrorLog().Out("%dのIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした", line);
        return false;
    }
    if (!device_->ReadLine(line, values)) {
        GetErrorLog().Out("MixerControl構造体に関連付けられるオーディオラインコントロールがありませんでした");
        return false;
    }
    return true;
}

int32_t CAudioMixer::SetVolumeRate(int32_t line, double rate) {
    if (!opened_) return -1;
    std::vector<uint32_t> values = IsLine(line) ? lines_[line].saved : std::vector<uint32_t>();
    for (uint32_t& v : values) {
        // Kept within the range before converting: a negative, huge or NaN rate is no volume.
        const double x = v * rate;
        v = x >= 0.0 ? static_cast<uint32_t>(std::min(x, double{kFull})) : 0;
    }
    return SetVolume(line, values);
}

int32_t CAudioMixer::SetVolume(int32_t line, const std::vector<uint32_t>& values) {
    if (!opened_) return -1;
    std::vector<uint32_t> channels;
    if (!ReadVolume(line, channels)) return -1;
    for (size_t i = 0; i < channels.size(); ++i) channels[i] = i < values.size() ? std::min(values[i], kFull) : 0;
    if (const uint32_t r = device_->WriteLine(line, channels); r != 0) {
        LogResult(r, "ミキサコントロール状態情報構造体の取得ができませんでした\n");
        return 1;  // a refused write is no success
    }
    return 0;
}

int32_t CAudioMixer::RestoreVolume(int32_t line) {
    if (!opened_) return -1;
    if (!handle_) return 1;
    std::vector<uint32_t> channels;
    if (!ReadVolume(line, channels)) return 2;
    const std::vector<uint32_t>& saved = lines_[line].saved;
    for (size_t i = 0; i < channels.size() && i < saved.size(); ++i) channels[i] = saved[i];
    if (const uint32_t r = device_->WriteLine(line, channels); r != 0) {
        LogResult(r, "ミキサコントロール状態情報構造体の取得ができませんでした\n");
        return 1;
    }
    return 0;
}

int32_t CAudioMixer::GetVolumeRate(int32_t line, double* rate) {
    if (!opened_) return -1;
    std::vector<uint32_t> current, saved;
    if (GetVolume(line, current) != 0 || GetSavedVolume(line, saved) != 0) return 1;
    const uint64_t now = Sum(current), then = Sum(saved);
    if (rate != nullptr) *rate = then == 0 ? (now != 0 ? 65535.0 : 0.0) : double(now) / double(then);
    return 0;
}

int32_t CAudioMixer::GetVolume(int32_t line, std::vector<uint32_t>& out) {
    if (!opened_) return -1;
    return ReadVolume(line, out) ? 0 : -1;
}

int32_t CAudioMixer::GetSavedVolume(int32_t line, std::vector<uint32_t>& out) {
    if (!opened_ || !IsLine(line)) return -1;
    out = lines_[line].saved;
    return 0;
}

int32_t CAudioMixer::SaveVolume(int32_t line) {
    if (!opened_) return -1;
    std::vector<uint32_t> values;
    if (GetVolume(line, values) != 0) return 1;
    lines_[line].saved = values;
    return 0;
}

}  // namespace tovarineGameSDK3rd::Multimedia
